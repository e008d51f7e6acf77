#include "gui/FlimbsEditBox.h"

#include "gui/UiScale.h"

#include <algorithm>

FlimbsEditBox::FlimbsEditBox(int font, uint32_t colour)
    : EditBox(font, colour), left_(kFolder, "edit-left.png"), middle_(kFolder, "edit-mid.png"),
      right_(kFolder, "edit-right.png"), imageScale_(ScreenImageScale())
{
    const float ui = GetUiScale();
    margins.left = 6.0f * ui;
    margins.right = std::max(margins.right, RightCapWidth());
    rect.bottom = rect.top + left_.DrawnHeight(imageScale_);
}

FlimbsEditBox::~FlimbsEditBox() = default;

float FlimbsEditBox::MiddleWidth() const
{
    return ThreeSliceMiddleWidth(left_, right_, rect.right - rect.left, imageScale_);
}

void FlimbsEditBox::SetSize(float width, float height)
{
    const int imageHeight = left_.FrameHeight();
    if (height > kKeepCoordinate && imageHeight > 0) {
        const float pixels = ToPixelsY(height);
        if (pixels > 0.0f)
            imageScale_ = pixels / float(imageHeight);
    }
    margins.right = std::max(3.0f * GetUiScale(), RightCapWidth());
    // The height is always the left cap's drawn height.
    const float drawnHeight = imageHeight > 0 ? ToVirtualY(left_.DrawnHeight(imageScale_)) : height;
    EditBox::SetSize(width, drawnHeight);
}

bool FlimbsEditBox::GetSize(float* width, float* height)
{
    float w = 0.0f;
    float h = 0.0f;
    EditBox::GetSize(&w, &h);
    if (width)
        *width = w;
    if (height)
        *height = std::max(h, ToVirtualY(std::max(left_.DrawnHeight(imageScale_), right_.DrawnHeight(imageScale_))));
    return true;
}

void FlimbsEditBox::Draw()
{
    if (!visible || !highlight)
        return;
    DrawThreeSlice(left_, middle_, right_, rect.left, rect.top, rect.right - rect.left, imageScale_,
                   WithAlpha(0xFFFFFFFF, alpha));
    DrawTextAndCaret();
}

FlimbsEditBoxMultiline::FlimbsEditBoxMultiline(int font, uint32_t colour) : EditBox(font, colour)
{
    multiline = 1;
    const float ui = GetUiScale();
    margins = FloatRect{6.0f * ui, 6.0f * ui, 6.0f * ui, 6.0f * ui};
}

FlimbsEditBoxMultiline::~FlimbsEditBoxMultiline() = default;

void FlimbsEditBoxMultiline::Draw()
{
    if (!visible || !highlight)
        return;
    frame_.Draw(rect, ScreenImageScale(), WithAlpha(0xFFFFFFFF, alpha));
    DrawTextAndCaret();
}
