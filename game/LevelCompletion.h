#pragma once
// The completion records: "Cache\Settings\complete.cfg" lists the title of every level the
// player has passed.
#include <string>

namespace LevelCompletion {

constexpr const char* kFile = "Cache\\Settings\\complete.cfg";

bool IsComplete(const std::string& levelPath);
// Records the level (by its file title) as complete. True when it was not complete before.
bool MarkComplete(const std::string& levelPath);

} // namespace LevelCompletion
