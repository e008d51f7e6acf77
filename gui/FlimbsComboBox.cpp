#include "gui/FlimbsComboBox.h"

#include "gui/ListBox.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/Font.h"

#include <algorithm>

FlimbsComboBox::FlimbsComboBox()
    : left_("Graphics\\Menu\\EditBox\\", "edit-left.png"), middle_("Graphics\\Menu\\EditBox\\", "edit-mid.png"),
      arrow_("Graphics\\Menu\\ScrollBar\\", "scroll-down.png")
{
    const float ui = GetUiScale();
    listOffsetX = 0.0f;
    listOffsetY = -1.0f * ui;
    margins.left = 6.0f * ui;
    const float scale = ScreenImageScale();
    rect.bottom = rect.top + std::max(left_.DrawnHeight(scale), arrow_.DrawnHeight(scale));
}

FlimbsComboBox::~FlimbsComboBox() = default;

float FlimbsComboBox::ImageScale() const
{
    const float height = rect.bottom - rect.top;
    const int imageHeight = left_.FrameHeight();
    if (height <= 0.0f || imageHeight <= 0)
        return ScreenImageScale();
    return height / float(imageHeight);
}

bool FlimbsComboBox::GetSize(float* width, float* height)
{
    float w = 0.0f;
    float h = 0.0f;
    ComboBox::GetSize(&w, &h);
    const float scale = ScreenImageScale();
    const float imagesHeight = std::max(left_.DrawnHeight(scale), arrow_.DrawnHeight(scale));
    // The base keeps a square of the text's height for its arrow; the skin's arrow replaces it.
    const float textWidth = ToPixelsX(w) - ToPixelsY(h);
    if (width)
        *width = ToVirtualX(std::max(textWidth, 0.0f) + left_.DrawnWidth(scale) + arrow_.DrawnWidth(scale));
    if (height)
        *height = std::max(h, ToVirtualY(imagesHeight));
    return true;
}

void FlimbsComboBox::Draw()
{
    if (!visible || !highlight)
        return;
    const float scale = ImageScale();
    const uint32_t colour = WithAlpha(0xFFFFFFFF, enabled ? alpha : uint8_t(alpha / 2));
    DrawThreeSlice(left_, middle_, arrow_, rect.left, rect.top, rect.right - rect.left, scale, colour);
    const std::string shown = GetText();
    if (shown.empty())
        return;
    const float textScale = GetUiScale();
    const float room = rect.right - rect.left - margins.left - arrow_.DrawnWidth(scale);
    DrawWidgetText(fontId, rect.left + margins.left, (rect.top + rect.bottom) / 2.0f, textScale,
                   WithAlpha(textColour, uint8_t(((textColour >> 24) * alpha) / 255)),
                   CutTextToWidth(fontId, shown, textScale, std::max(room, 0.0f)), kTextVCentre);
}

void FlimbsComboBox::OpenList()
{
    SimpleListBox& list = List();
    list.backgroundColour = listBackgroundColour;
    list.highlightColour = listHighlightColour;
    ComboBox::OpenList();
}
