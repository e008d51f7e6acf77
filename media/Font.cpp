#include "media/Font.h"

#include "app/Log.h"
#include "media/TextConversion.h"
#include "platform/font/GlyphRasterizer.h"
#include "platform/gfx/Device.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct TextVertex {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};
constexpr uint32_t kTextFvf = gfx::D3DFVF_XYZRHW | gfx::D3DFVF_DIFFUSE | gfx::D3DFVF_TEX1;

// Point size to pixels at 96 dots an inch.
int PixelSize(int pointSize)
{
    return std::max(1, (pointSize * 96 + 36) / 72);
}

uint32_t Highlighted(uint32_t colour)
{
    uint32_t out = colour & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t c = colour >> shift & 0xFF;
        out |= (c + (255 - c) / 2) << shift;
    }
    return out;
}

} // namespace

Font::Font(const std::string& face, int pointSize, int style, float shadeX, float shadeY)
    : face_(face), pointSize_(pointSize), style_(style), shadeX_(shadeX), shadeY_(shadeY)
{
}

Font::~Font()
{
    if (texture_)
        texture_->Release();
}

std::string Font::AtlasName() const
{
    const char* suffix = (style_ & kFontBold) ? "-bold" : (style_ & kFontItalic) ? "-italic" : "-regular";
    return face_ + std::to_string(pointSize_) + suffix;
}

bool Font::BuildAtlas(const std::u32string& codePoints, bool anyFace)
{
    const bool bold = style_ & kFontBold, italic = style_ & kFontItalic;
    auto resolved = platform::font::ResolveFace(face_, bold, italic, anyFace);
    if (!resolved) {
        WriteLog("Font: no installed face for [%s]\n", face_.c_str());
        return false;
    }
    std::string error;
    auto rasterizer = platform::font::GlyphRasterizer::Open(*resolved, PixelSize(pointSize_), bold, italic, &error);
    if (!rasterizer) {
        WriteLog("Font: %s\n", error.c_str());
        return false;
    }
    std::u32string all = codePoints;
    for (char32_t c = 0x20; c < 0x7F; ++c)
        all.push_back(c);
    atlas_ = GlyphAtlas::Build(*rasterizer, all);
    if (texture_) {
        texture_->Release();
        texture_ = nullptr;
    }
    return !atlas_.Empty();
}

bool Font::LoadAtlas(const std::string& hostBase)
{
    GlyphAtlas loaded;
    if (!loaded.Load(hostBase))
        return false;
    atlas_ = std::move(loaded);
    if (texture_) {
        texture_->Release();
        texture_ = nullptr;
    }
    return true;
}

bool Font::CreateTexture()
{
    if (texture_)
        return true;
    if (!device_ || atlas_.Empty())
        return false;
    gfx::Texture* texture = nullptr;
    if (device_->CreateTexture(atlas_.width, atlas_.height, 1, 0, gfx::D3DFMT_A8R8G8B8, gfx::D3DPOOL_DEFAULT, &texture) <
        0)
        return false;
    gfx::D3DLOCKED_RECT locked;
    if (texture->LockRect(0, &locked, nullptr, 0) < 0) {
        texture->Release();
        return false;
    }
    for (int y = 0; y < atlas_.height; ++y)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + ptrdiff_t(y) * locked.Pitch,
                    atlas_.argb.data() + size_t(y) * atlas_.width, size_t(atlas_.width) * 4);
    texture->UnlockRect(0);
    texture_ = texture;
    return true;
}

void Font::OnDeviceLost()
{
    ++lossCount_;
    if (texture_) {
        texture_->Release();
        texture_ = nullptr;
    }
}

void Font::OnDeviceRestored()
{
    CreateTexture();
}

std::u32string Font::ToCodePoints(std::string_view text)
{
    if (conversion_)
        return conversion_->ToCodePoints(text);
    TextConversion utf8;
    return utf8.ToCodePoints(text);
}

float Font::LineHeight(float scale) const
{
    return float(atlas_.lineHeight) * scale;
}

float Font::LineWidth(const std::u32string& line, float scaleX) const
{
    int width = 0;
    for (char32_t c : line) {
        const AtlasGlyph* glyph = atlas_.Find(c);
        if (!glyph)
            glyph = atlas_.Find(U'?');
        if (glyph)
            width += glyph->advance;
    }
    return float(width) * scaleX;
}

std::vector<std::u32string> Font::LayoutLines(std::string_view text, float scaleX, float wrapWidth)
{
    std::vector<std::u32string> lines;
    const std::u32string all = ToCodePoints(text);
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(all.find(U'\n', start), all.size());
        std::u32string line = all.substr(start, end - start);
        if (!line.empty() && line.back() == U'\r')
            line.pop_back();
        if (wrapWidth > 0) {
            // Break at the last space that keeps the line within the width; a word wider
            // than the width stands on a line of its own.
            while (LineWidth(line, scaleX) > wrapWidth) {
                size_t cut = std::u32string::npos;
                for (size_t i = line.find(U' '); i != std::u32string::npos; i = line.find(U' ', i + 1)) {
                    if (LineWidth(line.substr(0, i), scaleX) > wrapWidth && cut != std::u32string::npos)
                        break;
                    cut = i;
                }
                if (cut == std::u32string::npos)
                    break;
                lines.push_back(line.substr(0, cut));
                line.erase(0, cut + 1);
            }
        }
        lines.push_back(std::move(line));
        if (end >= all.size())
            break;
        start = end + 1;
    }
    return lines;
}

float Font::TextWidth(std::string_view text, float scale)
{
    return MeasureText(text, scale, scale, 0).width;
}

TextExtent Font::MeasureText(std::string_view text, float scaleX, float scaleY, float wrapWidth)
{
    TextExtent extent;
    const auto lines = LayoutLines(text, scaleX, wrapWidth);
    for (const auto& line : lines)
        extent.width = std::max(extent.width, LineWidth(line, scaleX));
    extent.height = float(lines.size()) * LineHeight(scaleY);
    return extent;
}

void Font::DrawTextTransformed(float x, float y, uint32_t colour, std::string_view text, uint32_t flags, float scale,
                               float angle)
{
    Draw(x, y, scale, scale, angle, colour, text, flags, 0);
}

void Font::DrawTextLines(float x, float y, float scaleX, float scaleY, uint32_t colour, std::string_view text,
                         uint32_t flags, float wrapWidth)
{
    Draw(x, y, scaleX, scaleY, 0, colour, text, flags, wrapWidth);
}

void Font::Draw(float x, float y, float scaleX, float scaleY, float angle, uint32_t colour, std::string_view text,
                uint32_t flags, float wrapWidth)
{
    if (text.empty() || !CreateTexture())
        return;
    if (flags & kTextHighlight)
        colour = Highlighted(colour);
    const auto lines = LayoutLines(text, scaleX, wrapWidth);
    const gfx::DeviceState saved = device_->CaptureState();
    device_->SetTexture(0, texture_);
    device_->SetFVF(kTextFvf);
    device_->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 1);
    device_->SetRenderState(gfx::D3DRS_SRCBLEND, gfx::D3DBLEND_SRCALPHA);
    device_->SetRenderState(gfx::D3DRS_DESTBLEND, gfx::D3DBLEND_INVSRCALPHA);
    device_->SetRenderState(gfx::D3DRS_ZENABLE, 0);
    device_->SetRenderState(gfx::D3DRS_CULLMODE, gfx::D3DCULL_NONE);
    device_->SetTextureStageState(0, gfx::D3DTSS_COLOROP, gfx::D3DTOP_MODULATE);
    device_->SetTextureStageState(0, gfx::D3DTSS_COLORARG1, gfx::D3DTA_TEXTURE);
    device_->SetTextureStageState(0, gfx::D3DTSS_COLORARG2, gfx::D3DTA_DIFFUSE);
    device_->SetTextureStageState(0, gfx::D3DTSS_ALPHAOP, gfx::D3DTOP_MODULATE);
    device_->SetTextureStageState(0, gfx::D3DTSS_ALPHAARG1, gfx::D3DTA_TEXTURE);
    device_->SetTextureStageState(0, gfx::D3DTSS_ALPHAARG2, gfx::D3DTA_DIFFUSE);
    device_->SetTextureStageState(1, gfx::D3DTSS_COLOROP, gfx::D3DTOP_DISABLE);
    const bool exact = scaleX == 1.0f && scaleY == 1.0f && angle == 0.0f;
    const gfx::DWORD filter = exact ? gfx::D3DTEXF_POINT : gfx::D3DTEXF_LINEAR;
    device_->SetSamplerState(0, gfx::D3DSAMP_MINFILTER, filter);
    device_->SetSamplerState(0, gfx::D3DSAMP_MAGFILTER, filter);
    device_->SetSamplerState(0, gfx::D3DSAMP_ADDRESSU, gfx::D3DTADDRESS_CLAMP);
    device_->SetSamplerState(0, gfx::D3DSAMP_ADDRESSV, gfx::D3DTADDRESS_CLAMP);
    if (shadeX_ != 0 || shadeY_ != 0)
        EmitLines(lines, x, y, scaleX, scaleY, angle, colour & 0xFF000000u, flags, shadeX_ * scaleX,
                  shadeY_ * scaleY);
    EmitLines(lines, x, y, scaleX, scaleY, angle, colour, flags, 0, 0);
    device_->ApplyState(saved);
}

void Font::EmitLines(const std::vector<std::u32string>& lines, float x, float y, float scaleX, float scaleY,
                     float angle, uint32_t colour, uint32_t flags, float offsetX, float offsetY)
{
    const float lineHeight = LineHeight(scaleY);
    float top = 0;
    if (flags & kTextVCentre)
        top = -lineHeight * float(lines.size()) / 2;
    const float cosA = std::cos(angle), sinA = std::sin(angle);
    const float invW = 1.0f / float(atlas_.width), invH = 1.0f / float(atlas_.height);
    std::vector<TextVertex> vertices;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::u32string& line = lines[n];
        float penX = 0;
        if (flags & kTextRight)
            penX = -LineWidth(line, scaleX);
        else if (flags & kTextCentre)
            penX = -std::floor(LineWidth(line, scaleX) / 2);
        const float baseline = top + float(n) * lineHeight + float(atlas_.ascent) * scaleY;
        for (char32_t c : line) {
            const AtlasGlyph* glyph = atlas_.Find(c);
            if (!glyph)
                glyph = atlas_.Find(U'?');
            if (!glyph)
                continue;
            if (glyph->width > 0 && glyph->height > 0) {
                // Local corners relative to (x, y); pixel centres lie on integers.
                const float left = penX + float(glyph->left) * scaleX + offsetX - 0.5f;
                const float right = left + float(glyph->width) * scaleX;
                const float upper = baseline - float(glyph->top) * scaleY + offsetY - 0.5f;
                const float lower = upper + float(glyph->height) * scaleY;
                const float u0 = float(glyph->x) * invW, u1 = float(glyph->x + glyph->width) * invW;
                const float v0 = float(glyph->y) * invH, v1 = float(glyph->y + glyph->height) * invH;
                auto corner = [&](float lx, float ly, float u, float v) {
                    return TextVertex{x + lx * cosA - ly * sinA, y + lx * sinA + ly * cosA, 0.0f, 1.0f, colour, u, v};
                };
                const TextVertex a = corner(left, upper, u0, v0), b = corner(right, upper, u1, v0);
                const TextVertex c2 = corner(left, lower, u0, v1), d = corner(right, lower, u1, v1);
                vertices.insert(vertices.end(), {a, b, c2, b, d, c2});
            }
            penX += float(glyph->advance) * scaleX;
        }
    }
    if (!vertices.empty())
        device_->DrawPrimitiveUP(gfx::D3DPT_TRIANGLELIST, uint32_t(vertices.size() / 3), vertices.data(),
                                 sizeof(TextVertex));
}
