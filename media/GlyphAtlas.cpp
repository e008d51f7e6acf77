#include "media/GlyphAtlas.h"

#include "platform/font/GlyphRasterizer.h"
#include "platform/image/ImageCodec.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
constexpr int kPadding = 1;
constexpr int kMaxAtlasSide = 2048;
} // namespace

const AtlasGlyph* GlyphAtlas::Find(char32_t codePoint) const
{
    auto it = glyphs.find(codePoint);
    return it == glyphs.end() ? nullptr : &it->second;
}

GlyphAtlas GlyphAtlas::Build(platform::font::GlyphRasterizer& rasterizer, const std::u32string& codePoints)
{
    std::u32string wanted = codePoints;
    wanted.push_back(U'?');
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());

    std::vector<std::pair<char32_t, platform::font::GlyphBitmap>> bitmaps;
    for (char32_t cp : wanted) {
        platform::font::GlyphBitmap bitmap;
        if (rasterizer.Render(cp, bitmap))
            bitmaps.emplace_back(cp, std::move(bitmap));
    }

    GlyphAtlas atlas;
    atlas.ascent = rasterizer.Ascent();
    atlas.lineHeight = rasterizer.LineHeight();
    // Shelf packing into the narrowest power-of-two width that keeps the atlas square-ish.
    int width = 64;
    for (;;) {
        int x = 0, y = 0, shelf = 0;
        for (auto& [cp, bitmap] : bitmaps) {
            if (x + bitmap.width + kPadding > width) {
                x = 0;
                y += shelf + kPadding;
                shelf = 0;
            }
            x += bitmap.width + kPadding;
            shelf = std::max(shelf, bitmap.height);
        }
        const int height = y + shelf + kPadding;
        if (height <= width || width >= kMaxAtlasSide) {
            atlas.width = width;
            atlas.height = std::min(std::max(height, 1), kMaxAtlasSide);
            break;
        }
        width *= 2;
    }
    atlas.argb.assign(size_t(atlas.width) * atlas.height, 0x00FFFFFFu);
    int x = 0, y = 0, shelf = 0;
    for (auto& [cp, bitmap] : bitmaps) {
        if (x + bitmap.width + kPadding > atlas.width) {
            x = 0;
            y += shelf + kPadding;
            shelf = 0;
        }
        if (y + bitmap.height > atlas.height)
            break; // atlas full: the rest draw as missing
        AtlasGlyph glyph{x, y, bitmap.width, bitmap.height, bitmap.left, bitmap.top, bitmap.advance};
        for (int row = 0; row < bitmap.height; ++row)
            for (int col = 0; col < bitmap.width; ++col) {
                const uint32_t a = bitmap.coverage[size_t(row) * bitmap.width + col];
                atlas.argb[size_t(y + row) * atlas.width + x + col] = a << 24 | 0x00FFFFFFu;
            }
        atlas.glyphs[cp] = glyph;
        x += bitmap.width + kPadding;
        shelf = std::max(shelf, bitmap.height);
    }
    return atlas;
}

bool GlyphAtlas::Save(const std::string& hostBase) const
{
    if (Empty())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(hostBase).parent_path(), ec);
    std::vector<uint8_t> png;
    if (!platform::image::EncodePng(argb.data(), width, height, width * 4, true, png) ||
        !platform::image::WriteFileBytes(hostBase + ".png", png))
        return false;
    std::ofstream table(hostBase + ".glyphs", std::ios::binary | std::ios::trunc);
    table << "atlas " << width << ' ' << height << ' ' << ascent << ' ' << lineHeight << '\n';
    for (const auto& [cp, g] : glyphs)
        table << uint32_t(cp) << ' ' << g.x << ' ' << g.y << ' ' << g.width << ' ' << g.height << ' ' << g.left
              << ' ' << g.top << ' ' << g.advance << '\n';
    return bool(table);
}

bool GlyphAtlas::Load(const std::string& hostBase)
{
    std::vector<uint8_t> png;
    platform::image::Image image;
    if (!platform::image::ReadFileBytes(hostBase + ".png", png) ||
        !platform::image::DecodePng(png.data(), png.size(), image))
        return false;
    std::ifstream table(hostBase + ".glyphs", std::ios::binary);
    std::string tag;
    GlyphAtlas loaded;
    if (!(table >> tag >> loaded.width >> loaded.height >> loaded.ascent >> loaded.lineHeight) || tag != "atlas" ||
        loaded.width != image.width || loaded.height != image.height)
        return false;
    uint32_t cp = 0;
    AtlasGlyph g;
    while (table >> cp >> g.x >> g.y >> g.width >> g.height >> g.left >> g.top >> g.advance) {
        if (g.x < 0 || g.y < 0 || g.width < 0 || g.height < 0 || g.x + g.width > loaded.width ||
            g.y + g.height > loaded.height)
            return false;
        loaded.glyphs[char32_t(cp)] = g;
    }
    if (!table.eof() || loaded.glyphs.empty())
        return false;
    loaded.argb = std::move(image.argb);
    *this = std::move(loaded);
    return true;
}
