#pragma once
// The cached preview image of a level: "Cache\Previews\<file title>.jpg", made from a
// preview load of the level.
#include <memory>
#include <string>

class BitmapBaseSurface;

// Makes the preview when it is missing, or, with checkTime, when it is older than the
// level; then loads it for the caller (null when there is none or no device to hold it).
// A level name with a folder keeps it; a bare one is looked for in Level\.
std::unique_ptr<BitmapBaseSurface> CreateLevelPreview(const std::string& levelName, bool checkTime);
// Only the making: true when the preview exists afterwards.
bool RefreshLevelPreview(const std::string& levelName, bool checkTime);
