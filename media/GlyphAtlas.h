#pragma once
// A font's glyphs packed into one ARGB image (white, coverage in alpha) with the
// placement of each glyph; built with the glyph rasteriser and cached as a PNG file with
// a glyph table beside it.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::font {
class GlyphRasterizer;
}

struct AtlasGlyph {
    int x = 0, y = 0;          // top-left in the atlas
    int width = 0, height = 0; // bitmap size
    int left = 0, top = 0;     // pen to left edge, baseline to top edge (up positive)
    int advance = 0;
};

struct GlyphAtlas {
    int width = 0;
    int height = 0;
    int ascent = 0;
    int lineHeight = 0;
    std::vector<uint32_t> argb;
    std::unordered_map<char32_t, AtlasGlyph> glyphs;

    bool Empty() const { return argb.empty(); }
    const AtlasGlyph* Find(char32_t codePoint) const;

    // Packs the given code points (those the face lacks are left out, except '?' which the
    // drawing uses for them).
    static GlyphAtlas Build(platform::font::GlyphRasterizer& rasterizer, const std::u32string& codePoints);
    // "<base>.png" and "<base>.glyphs" as host paths.
    bool Save(const std::string& hostBase) const;
    bool Load(const std::string& hostBase);
};
