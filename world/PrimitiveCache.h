#pragma once
// The caches of primitive stamping: the images of primitive files and their transformed
// copies (by cache key, world/MaskTransform.h), and the masks GenerateBashMask keeps by name.
// Entries are never replaced: the first one made for a key serves until Clear. Keys hold
// everything that decides the pixels, so a cache never changes what a stamp lays.
//
// The game's landscape owns one; level previews and the editor stamp through their own, so
// that they never fill the game's.
#include "world/BashTypes.h"

#include <map>
#include <string>

class PrimitiveCache {
public:
    // Null when there is none.
    const BashMask* FindImage(const std::string& key) const;
    const BashMask* FindMask(const std::string& key) const;
    // Keeps the entry unless the key has one; returns the entry kept (null for a null entry).
    const BashMask* AddImage(const std::string& key, BashMaskPtr image);
    const BashMask* AddMask(const std::string& key, BashMaskPtr mask);
    // Frees every image, copy and mask.
    void Clear();

    size_t ImageCount() const { return images_.size(); }
    size_t MaskCount() const { return masks_.size(); }

private:
    static const BashMask* Find(const std::map<std::string, BashMaskPtr>& map, const std::string& key);
    static const BashMask* Add(std::map<std::string, BashMaskPtr>& map, const std::string& key, BashMaskPtr entry);

    std::map<std::string, BashMaskPtr> images_;
    std::map<std::string, BashMaskPtr> masks_;
};

// Primitive names come from level files and network bashes: a game path below "Graphics\"
// ('\' or '/' between parts, any case), with no "..", no absolute path and no drive letter.
bool IsPrimitiveNameAllowed(const std::string& name);
