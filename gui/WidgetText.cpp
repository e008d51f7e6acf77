#include "gui/WidgetText.h"

#include "media/Font.h"
#include "media/FontManager.h"

#include <algorithm>
#include <cmath>

namespace {

Font* FontFor(int fontId)
{
    return FontManager::GetFont(fontId);
}

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

float WidgetTextWidth(int fontId, const std::string& text, float scale)
{
    if (text.empty())
        return 0.0f;
    Font* font = FontFor(fontId);
    return font ? font->TextWidth(text, scale) : 0.0f;
}

float WidgetLineHeight(int fontId, float scale)
{
    Font* font = FontFor(fontId);
    return font ? font->LineHeight(scale) : 0.0f;
}

size_t WidgetWrappedLineCount(int fontId, const std::string& text, float scale, float width)
{
    Font* font = FontFor(fontId);
    if (!font || text.empty())
        return 1;
    return std::max<size_t>(1, font->LayoutLines(text, scale, width).size());
}

void DrawWidgetText(int fontId, float x, float y, float scale, uint32_t colour, const std::string& text,
                    uint32_t flags, float wrapWidth)
{
    if (text.empty())
        return;
    if (Font* font = FontFor(fontId))
        font->DrawTextLines(x, y, scale, scale, colour, text, flags, wrapWidth);
}

std::string CutTextToWidth(int fontId, const std::string& text, float scale, float width)
{
    if (WidgetTextWidth(fontId, text, scale) <= width)
        return text;
    size_t end = 0;
    for (size_t next = NextCharBoundary(text, 0); next <= text.size() && next > end;
         next = NextCharBoundary(text, next)) {
        if (WidgetTextWidth(fontId, text.substr(0, next), scale) > width)
            break;
        end = next;
    }
    return text.substr(0, end);
}

uint32_t WithAlpha(uint32_t colour, uint8_t alpha)
{
    return (colour & 0x00FFFFFFu) | (uint32_t(alpha) << 24);
}

size_t NextCharBoundary(const std::string& text, size_t at)
{
    if (at >= text.size())
        return text.size();
    ++at;
    while (at < text.size() && IsContinuation(text[at]))
        ++at;
    return at;
}

size_t PreviousCharBoundary(const std::string& text, size_t at)
{
    if (at == 0)
        return 0;
    at = std::min(at, text.size()) - 1;
    while (at > 0 && IsContinuation(text[at]))
        --at;
    return at;
}

ScopedWidgetClip::ScopedWidgetClip(const FloatRect& area)
{
    GetDeviceViewport(&kept_);
    const float left = std::max(float(kept_.X), std::floor(area.left));
    const float top = std::max(float(kept_.Y), std::floor(area.top));
    const float right = std::min(float(kept_.X) + float(kept_.Width), std::ceil(area.right));
    const float bottom = std::min(float(kept_.Y) + float(kept_.Height), std::ceil(area.bottom));
    if (left >= right || top >= bottom) {
        empty_ = true;
        return;
    }
    GuiViewport inner = kept_;
    inner.X = uint32_t(left);
    inner.Y = uint32_t(top);
    inner.Width = uint32_t(right - left);
    inner.Height = uint32_t(bottom - top);
    SetDeviceViewport(&inner);
}

ScopedWidgetClip::~ScopedWidgetClip()
{
    SetDeviceViewport(&kept_);
}
