#pragma once
// Glyph drawing for the font atlases: the game's face names resolved to installed font
// files, and single glyphs rasterised to 8-bit coverage.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::font {

// An installed font file chosen for a face name of the game.
struct ResolvedFace {
    std::string path;
    int index = 0;       // face index inside the file
    std::string family;  // the installed family
    bool bold = false;   // the file itself is bold
    bool italic = false; // the file itself is italic or oblique
};

// The installed family that stands for a face name of the game ("Arial", "Lucida Console",
// "Comic Sans MS", "Blessed"); the name itself when the table does not list it.
std::string InstalledFamilyFor(const std::string& gameFace);

// Finds the font file of the face in the style. Without anyFallback only a file of the
// wanted family is accepted; with it, any installed face will do.
std::optional<ResolvedFace> ResolveFace(const std::string& gameFace, bool bold, bool italic, bool anyFallback);

struct GlyphBitmap {
    int width = 0;
    int height = 0;
    int left = 0;    // pen position to the bitmap's left edge
    int top = 0;     // baseline to the bitmap's top edge (up is positive)
    int advance = 0; // pen advance in whole pixels
    std::vector<uint8_t> coverage; // width * height
};

class GlyphRasterizer {
public:
    ~GlyphRasterizer();
    GlyphRasterizer(const GlyphRasterizer&) = delete;
    GlyphRasterizer& operator=(const GlyphRasterizer&) = delete;

    // Opens the face at a pixel height. Bold or italic that the file lacks is synthesised.
    static std::unique_ptr<GlyphRasterizer> Open(const ResolvedFace& face, int pixelSize, bool bold, bool italic,
                                                 std::string* error);

    bool HasGlyph(char32_t codePoint) const;
    bool Render(char32_t codePoint, GlyphBitmap& out);
    int Ascent() const { return ascent_; }
    int LineHeight() const { return lineHeight_; }

private:
    GlyphRasterizer() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int ascent_ = 0;
    int lineHeight_ = 0;
};

} // namespace platform::font
