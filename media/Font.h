#pragma once
// The glyph-atlas font: one face at one size and style, its glyphs packed into a texture
// of the graphics device, drawing and measuring text in pixels.
//
// Text flags: kTextCentre (1) centres each line on x, kTextRight (16) ends it at x,
// kTextVCentre (2) centres the block of lines on y (else y is the top), kTextHighlight
// (0x80) lightens the colour. A colour of 0xFFFFFFFF (-1) is white. Lines are separated
// by '\n'; a wrap width above 0 also breaks lines at spaces so none is wider.

#include "platform/gfx/D3DTypes.h"

#include "media/GlyphAtlas.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TextConversion;
namespace gfx {
class Device;
class Texture;
}

constexpr uint32_t kTextCentre = 1;
constexpr uint32_t kTextVCentre = 2;
constexpr uint32_t kTextRight = 16;
constexpr uint32_t kTextHighlight = 0x80;

constexpr int kFontBold = 1;
constexpr int kFontItalic = 2;

struct TextExtent {
    float width = 0;
    float height = 0;
};

class Font {
public:
    // shadeX/shadeY: offset in pixels (at scale 1) of a dark shadow drawn under the text;
    // 0, 0 draws none.
    Font(const std::string& face, int pointSize, int style, float shadeX, float shadeY);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    void SetConversion(std::shared_ptr<TextConversion> conversion) { conversion_ = std::move(conversion); }
    void Bind(gfx::Device* device) { device_ = device; }

    // "<face><size>-bold", "-italic" or "-regular".
    std::string AtlasName() const;
    // Rasterises the code points (plus printable ASCII) into the atlas. With `anyFace` a
    // missing face falls back to any installed one. False (and a log line) when no face.
    bool BuildAtlas(const std::u32string& codePoints, bool anyFace);
    bool SaveAtlas(const std::string& hostBase) const { return atlas_.Save(hostBase); }
    bool LoadAtlas(const std::string& hostBase);
    bool HasAtlas() const { return !atlas_.Empty(); }
    const GlyphAtlas& Atlas() const { return atlas_; }

    // Device loss: the texture is released and rebuilt from the kept atlas.
    void OnDeviceLost();
    void OnDeviceRestored();
    bool HasTexture() const { return texture_ != nullptr; }
    int DeviceLossCount() const { return lossCount_; }

    const std::string& Face() const { return face_; }
    int PointSize() const { return pointSize_; }
    int Style() const { return style_; }

    // Line height in pixels at a scale.
    float LineHeight(float scale = 1.0f) const;
    // Width in pixels of the widest line at a scale.
    float TextWidth(std::string_view text, float scale = 1.0f);
    TextExtent MeasureText(std::string_view text, float scaleX = 1.0f, float scaleY = 1.0f, float wrapWidth = 0);
    // The lines the text is drawn as (wrap width in pixels at the scale; 0: no wrap).
    std::vector<std::u32string> LayoutLines(std::string_view text, float scaleX = 1.0f, float wrapWidth = 0);

    // Text at (x, y) pixels, turned by angle (radians) about that point.
    void DrawTextTransformed(float x, float y, uint32_t colour, std::string_view text, uint32_t flags = 0,
                             float scale = 1.0f, float angle = 0.0f);
    void DrawTextLines(float x, float y, float scaleX, float scaleY, uint32_t colour, std::string_view text,
                       uint32_t flags = 0, float wrapWidth = 0);

private:
    std::u32string ToCodePoints(std::string_view text);
    float LineWidth(const std::u32string& line, float scaleX) const;
    void Draw(float x, float y, float scaleX, float scaleY, float angle, uint32_t colour, std::string_view text,
              uint32_t flags, float wrapWidth);
    void EmitLines(const std::vector<std::u32string>& lines, float x, float y, float scaleX, float scaleY,
                   float angle, uint32_t colour, uint32_t flags, float offsetX, float offsetY);
    bool CreateTexture();

    std::string face_;
    int pointSize_;
    int style_;
    float shadeX_, shadeY_;
    std::shared_ptr<TextConversion> conversion_;
    gfx::Device* device_ = nullptr;
    gfx::Texture* texture_ = nullptr;
    GlyphAtlas atlas_;
    int lossCount_ = 0;
};
