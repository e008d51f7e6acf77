#pragma once
// The image cache: one shared animated surface per image name (and blur setting), counted
// by references. Every Get takes one reference that the caller gives back with
// ReleaseImage; the surface is freed when its count reaches zero. A missing image gives
// "Graphics\default.png". Calls are serialised by the cache's lock.
#include "media/AnimSurface.h"

#include <string>

namespace ImageCache {

// name is a game path; one that neither begins with "Graphics\" nor lies in a user folder
// ("User\", "Cache\" ...) is taken below "Graphics\".
AnimSurface* GetImage(const std::string& name);
// folder + "\" + name (no second backslash when the folder ends in one).
AnimSurface* GetImageFromParts(const std::string& folder, const std::string& name);
// radius 0: the plain image. Otherwise a Gaussian blur of that radius (sigma); bleed lets
// the edge pixels run on beyond the image instead of fading to transparent. The blurred
// pixels are kept as a PNG under Cache\BlurredImages\ and read from there afterwards.
AnimSurface* GetBlurredImage(const std::string& name, float radius, bool bleed);
// Drops one reference; null and unknown surfaces are ignored.
void ReleaseImage(AnimSurface* image);

// Cache file (user-relative game path) of a blurred copy.
std::string BlurredCacheName(const std::string& name, float radius, bool bleed);
int ReferenceCount(const AnimSurface* image);
size_t CachedImageCount();
// Frees every cached surface whatever its count (shutdown).
void Clear();

} // namespace ImageCache
