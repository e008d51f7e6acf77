#include "gui/TextButtons.h"

#include "app/LanguageTexts.h"
#include "gui/UiScale.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "media/ImageCache.h"

#include <algorithm>

namespace {

uint32_t WithAlpha(uint32_t colour, uint8_t alpha)
{
    return (colour & 0x00FFFFFFu) | (static_cast<uint32_t>(alpha) << 24);
}

} // namespace

TextButton::TextButton() : textScale(GetUiScale())
{
    const float scale = GetUiScale();
    margins = FloatRect{5.0f * scale, 3.0f * scale, 5.0f * scale, 3.0f * scale};
}

TextButton::TextButton(const std::string& newCaption) : TextButton()
{
    SetCaption(newCaption.c_str());
}

void TextButton::SetCaption(const char* newCaption)
{
    caption = newCaption ? newCaption : "";
    text = ConvertCaptionText(fontId, caption);
}

void TextButton::SetFont(int newFontId, uint32_t colour, float scale)
{
    fontId = newFontId;
    textColour = colour;
    textScale = scale * GetUiScale();
    text = ConvertCaptionText(fontId, caption);
}

FloatRect TextButton::TextArea() const
{
    return FloatRect{rect.left + margins.left, rect.top + margins.top, rect.right - margins.right,
                     rect.bottom - margins.bottom};
}

void TextButton::DrawCaption(const FloatRect& area)
{
    Font* font = FontManager::GetFont(fontId);
    if (!font || text.empty())
        return;
    uint32_t flags = kTextVCentre | extraTextFlags;
    float x = (area.left + area.right) / 2.0f + textOffsetX;
    if (alignment == kTextAlignLeft) {
        x = area.left + textOffsetX;
    } else if (alignment == kTextAlignRight) {
        x = area.right + textOffsetX;
        flags |= kTextRight;
    } else {
        flags |= kTextCentre;
    }
    const float y = (area.top + area.bottom) / 2.0f + textOffsetY;
    font->DrawTextLines(x, y, textScale, textScale, WithAlpha(textColour, alpha), text, flags);
}

void TextButton::Draw() { DrawCaption(TextArea()); }

bool TextButton::GetSize(float* width, float* height)
{
    TextExtent extent;
    if (Font* font = FontManager::GetFont(fontId))
        extent = font->MeasureText(text, textScale, textScale);
    if (width)
        *width = ToVirtualX(extent.width + margins.left + margins.right);
    if (height)
        *height = ToVirtualY(extent.height + margins.top + margins.bottom);
    return true;
}

void SimpleButton::UpdateAbsolutePosition()
{
    TextButton::UpdateAbsolutePosition();
    const uint32_t fill = state == kButtonPressed ? pressedColour : state == kButtonHover ? hoverColour : normalColour;
    shape_ = Shape{rect, fill, outlineColour, outlineColour ? 255u : 1u};
}

void SimpleButton::Draw()
{
    Draw2D::DrawFilledRect(shape_.rect.left, shape_.rect.top, shape_.rect.right, shape_.rect.bottom, shape_.fill);
    if (shape_.flags == 255)
        Draw2D::DrawRectOutline(shape_.rect.left, shape_.rect.top, shape_.rect.right, shape_.rect.bottom,
                                shape_.outline);
    TextButton::Draw();
}

IconButton::IconButton(const std::string& newCaption, const std::string& iconFile) : TextButton(newCaption)
{
    SetIcon(iconFile, 1, 1, true);
}

IconButton::~IconButton()
{
    ImageCache::ReleaseImage(icon);
    ImageCache::ReleaseImage(highlightImage);
}

void IconButton::SetIcon(const std::string& iconName, int columns, int rows, bool left)
{
    ImageCache::ReleaseImage(icon);
    icon = ImageCache::GetImage(iconName);
    iconLeft = left ? 1 : 0;
    if (!icon)
        return;
    columns = std::max(columns, 1);
    rows = std::max(rows, 1);
    icon->SetFrameSize(icon->imageWidth / columns, icon->imageHeight / rows);
    const float side = IconWidth() + 10.0f * GetUiScale();
    if (left)
        margins.left = side;
    else
        margins.right = side;
}

float IconButton::IconWidth() const { return icon ? static_cast<float>(icon->frameWidth) * iconScale : 0.0f; }
float IconButton::IconHeight() const { return icon ? static_cast<float>(icon->frameHeight) * iconScale : 0.0f; }

bool IconButton::GetSize(float* width, float* height)
{
    float h = 0.0f;
    TextButton::GetSize(width, &h);
    if (height)
        *height = std::max(h, ToVirtualY(IconHeight()));
    return true;
}

void IconButton::SetHighlight(const std::string& imageName)
{
    ImageCache::ReleaseImage(highlightImage);
    highlightImage = imageName.empty() ? nullptr : ImageCache::GetImage(imageName);
}

void IconButton::Draw()
{
    const FloatRect area = TextArea();
    const float centreY = (area.top + area.bottom) / 2.0f;
    const float scale = GetUiScale();
    if (state != kButtonNormal) {
        hoverAlpha = 128.0f;
        hoverOffsetX = 2.0f * scale;
        hoverOffsetY = -1.0f * scale;
        if (highlightImage && highlightImage->bitmap && highlightImage->frameWidth > 0 &&
            highlightImage->frameHeight > 0) {
            BaseSurface* bitmap = highlightImage->bitmap;
            const float width = rect.right - rect.left + 61.0f * scale;
            const float height = rect.bottom - rect.top + 15.0f * scale;
            bitmap->scaleX = width / static_cast<float>(highlightImage->frameWidth);
            bitmap->scaleY = height / static_cast<float>(highlightImage->frameHeight);
            bitmap->alpha = static_cast<uint8_t>(hoverAlpha * static_cast<float>(alpha) / 255.0f);
            const float x = (rect.left + rect.right - width) / 2.0f;
            const float y = (rect.top + rect.bottom - height) / 2.0f;
            highlightImage->Draw(x + static_cast<float>(highlightImage->hotspotX) * bitmap->scaleX,
                                 y + static_cast<float>(highlightImage->hotspotY) * bitmap->scaleY);
        }
    } else {
        hoverAlpha = 0.0f;
        hoverOffsetX = 0.0f;
        hoverOffsetY = 0.0f;
    }
    if (icon && icon->bitmap) {
        icon->SetFrame(state);
        icon->bitmap->scaleX = iconScale;
        icon->bitmap->scaleY = iconScale;
        icon->bitmap->alpha = alpha;
        const float iconX = iconLeft ? rect.left : rect.right - IconWidth();
        const float iconY = centreY - IconHeight() / 2.0f;
        icon->Draw(iconX + hoverOffsetX + static_cast<float>(icon->hotspotX) * iconScale,
                   iconY + hoverOffsetY + static_cast<float>(icon->hotspotY) * iconScale);
    }
    DrawCaption(area);
}
