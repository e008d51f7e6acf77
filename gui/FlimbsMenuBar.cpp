#include "gui/FlimbsMenuBar.h"

#include "app/LanguageTexts.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/Font.h"

#include <algorithm>

namespace {
const char* const kMenuBarFolder = "Graphics\\Menu\\MenuBar\\";
constexpr float kItemPaddingX = 35.0f; // design pixels
constexpr float kItemPaddingY = 7.0f;
constexpr float kTextScale = 0.75f;
} // namespace

FlimbsMenuBar::FlimbsMenuBar(const std::string& text, int font)
    : CheckBox(text, font), paddingX(kItemPaddingX * GetUiScale()), paddingY(kItemPaddingY * GetUiScale()),
      left_(kMenuBarFolder, "menu-bar-left.png"),
      middle_{SkinImage(kMenuBarFolder, "menu-bar-mid.png"), SkinImage(kMenuBarFolder, "menu-bar-mid-hover.png"),
              SkinImage(kMenuBarFolder, "menu-bar-mid-on.png")},
      right_(kMenuBarFolder, "menu-bar-right.png")
{
    textScale = kTextScale * GetUiScale();
}

void FlimbsMenuBar::SetMenuText(const std::string& text, int fontHeight)
{
    caption = text;
    const float lineAtOne = WidgetLineHeight(fontId, 1.0f);
    if (fontHeight > 0 && lineAtOne > 0.0f)
        textScale = float(fontHeight) * GetUiScale() / lineAtOne;
}

int FlimbsMenuBar::MiddleLook() const
{
    if (lookState_ != 0)
        return kMenuBarMidHover;
    return checked ? kMenuBarMidOn : kMenuBarMidNormal;
}

bool FlimbsMenuBar::GetSize(float* width, float* height)
{
    const float scale = ScreenImageScale();
    const std::string shown = ConvertCaptionText(fontId, caption);
    const float textWidth = WidgetTextWidth(fontId, shown, textScale) + 2.0f * paddingX;
    const float textHeight = WidgetLineHeight(fontId, textScale) + 2.0f * paddingY;
    if (width)
        *width = ToVirtualX(std::max(textWidth, left_.DrawnWidth(scale) + right_.DrawnWidth(scale)));
    if (height)
        *height = ToVirtualY(std::max(textHeight, left_.DrawnHeight(scale)));
    return true;
}

void FlimbsMenuBar::Draw()
{
    if (!visible || !highlight)
        return;
    const float height = rect.bottom - rect.top;
    if (height > 0.0f && left_.FrameHeight() > 0) {
        // The plate fills the bar's height; the caps keep their proportions.
        const float scale = height / float(left_.FrameHeight());
        DrawThreeSlice(left_, middle_[MiddleLook()], right_, rect.left, rect.top, rect.right - rect.left, scale,
                       WithAlpha(0xFFFFFFFFu, alpha));
    }
    if (caption.empty())
        return;
    const uint32_t colour = WithAlpha(textColour, uint8_t(((textColour >> 24) * alpha) / 255));
    DrawWidgetText(fontId, (rect.left + rect.right) / 2.0f, (rect.top + rect.bottom) / 2.0f, textScale, colour,
                   ConvertCaptionText(fontId, caption), kTextCentre | kTextVCentre);
}
