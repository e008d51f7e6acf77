#include "gui/SliderBar.h"

#include "app/StringUtil.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "platform/input/ScanCodes.h"

#include <algorithm>
#include <cmath>

namespace {


float DrawnWidth(const AnimSurface* image) { return image ? float(image->imageWidth) * ScreenImageScale() : 0.0f; }
float DrawnHeight(const AnimSurface* image) { return image ? float(image->imageHeight) * ScreenImageScale() : 0.0f; }

} // namespace

GraphicSliderBar::GraphicSliderBar(const std::string& folder, const std::string& barImage,
                                   const std::string& gripperImage)
    : bar_(ImageCache::GetImage(JoinImagePath(folder, barImage))),
      gripper_(ImageCache::GetImage(JoinImagePath(folder, gripperImage)))
{
    // Held-button events carry the pointer: they drag the gripper.
    leftRepeat = {1, 0, 16};
    PlaceMarks();
}

GraphicSliderBar::~GraphicSliderBar()
{
    ImageCache::ReleaseImage(bar_);
    ImageCache::ReleaseImage(gripper_);
}

void GraphicSliderBar::SetMinimum(float minimum)
{
    SetRange(minimum, maximum_);
}

void GraphicSliderBar::SetMaximum(float maximum)
{
    SetRange(minimum_, maximum);
}

void GraphicSliderBar::SetRange(float minimum, float maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    minimum_ = std::min(minimum, maximum);
    maximum_ = maximum;
    PlaceMarks();
    SetValue(value_, false);
}

void GraphicSliderBar::PlaceMarks()
{
    marks_ = {minimum_, (minimum_ + maximum_) / 2.0f, maximum_};
}

bool GraphicSliderBar::SetValue(float value, bool notify)
{
    if (std::isnan(value))
        return false;
    value = std::clamp(value, minimum_, maximum_);
    // Whole numbers when the range holds one.
    if (wholeNumbers && std::ceil(minimum_) <= std::floor(maximum_))
        value = std::clamp(std::round(value), std::ceil(minimum_), std::floor(maximum_));
    if (value == value_)
        return false;
    value_ = value;
    if (notify) {
        pressed = 1;
        if (onChange)
            onChange(parent, this);
    }
    return true;
}

std::string GraphicSliderBar::GetText()
{
    if (wholeNumbers || value_ == std::floor(value_))
        return std::to_string(GetIntValue());
    return StringPrintf("%.4f", value_);
}

int GraphicSliderBar::GetIntValue()
{
    return static_cast<int>(std::lround(value_));
}

float GraphicSliderBar::GripperWidth() const
{
    return DrawnWidth(gripper_);
}

float GraphicSliderBar::TrackLeft() const
{
    return rect.left + margins.left + GripperWidth() / 2.0f;
}

float GraphicSliderBar::TrackRight() const
{
    return std::max(TrackLeft(), rect.right - margins.right - GripperWidth() / 2.0f);
}

float GraphicSliderBar::ValueAt(int x) const
{
    const float width = TrackRight() - TrackLeft();
    if (width <= 0.0f)
        return minimum_;
    const float share = std::clamp((float(x) - TrackLeft()) / width, 0.0f, 1.0f);
    return minimum_ + share * (maximum_ - minimum_);
}

Primitive* GraphicSliderBar::OnLeftButton(int x, int y, int phase)
{
    if (!enabled || !visible)
        return nullptr;
    if (phase == kPhaseDown) {
        if (!PointInRect(x, y))
            return nullptr;
        dragging_ = true;
        SetValue(ValueAt(x), true);
        return this;
    }
    if (phase == kPhaseHeld) {
        if (dragging_)
            SetValue(ValueAt(x), true);
        return this;
    }
    const bool wasDragging = dragging_;
    dragging_ = false;
    return wasDragging || PointInRect(x, y) ? this : nullptr;
}

Primitive* GraphicSliderBar::OnWheel(int delta)
{
    // The router gives 1 for up and 0 for down; raw deltas keep their sign.
    if (!enabled || !visible)
        return nullptr;
    SetValue(value_ + (delta > 0 ? step : -step), true);
    return this;
}

int GraphicSliderBar::OnKey(int value, int code, bool, IInputDevice&)
{
    if (GetKeyboardFocus() != this || !enabled || !visible)
        return 0;
    const float page = std::max(step, (maximum_ - minimum_) / 10.0f);
    float target;
    switch (code) {
    case kKeyLeft:
    case kKeyDown:
        target = value_ - step;
        break;
    case kKeyRight:
    case kKeyUp:
        target = value_ + step;
        break;
    case kKeyPageDown:
        target = value_ - page;
        break;
    case kKeyPageUp:
        target = value_ + page;
        break;
    case kKeyHome:
        target = minimum_;
        break;
    case kKeyEnd:
        target = maximum_;
        break;
    default:
        return 0;
    }
    if (value != 0)
        SetValue(target, true);
    return 1;
}

bool GraphicSliderBar::GetSize(float* width, float* height)
{
    const float tallest = std::max(DrawnHeight(bar_), DrawnHeight(gripper_));
    if (width)
        *width = ToVirtualX(rect.right - rect.left);
    if (height)
        *height = ToVirtualY(std::max(rect.bottom - rect.top, tallest + margins.top + margins.bottom));
    return true;
}

void GraphicSliderBar::Draw()
{
    if (!visible || !highlight)
        return;
    const uint32_t colour = WithAlpha(0xFFFFFFFF, enabled ? alpha : uint8_t(alpha / 2));
    const float middle = (rect.top + rect.bottom) / 2.0f;
    if (bar_) {
        const float half = DrawnHeight(bar_) / 2.0f;
        DrawImageFrame(bar_, bar_->imageWidth, bar_->imageHeight, 0,
                       {rect.left + margins.left, middle - half, rect.right - margins.right, middle + half}, colour);
    }
    const float range = maximum_ - minimum_;
    const float width = TrackRight() - TrackLeft();
    auto xOf = [&](float v) { return range > 0.0f ? TrackLeft() + (v - minimum_) / range * width : TrackLeft(); };
    const float tick = std::max(2.0f, DrawnHeight(bar_) / 2.0f);
    for (float mark : marks_)
        Draw2D::DrawLine(xOf(mark), middle + tick, xOf(mark), middle + 2.0f * tick, WithAlpha(markColour, alpha));
    if (gripper_) {
        const float x = xOf(value_);
        const float halfW = DrawnWidth(gripper_) / 2.0f;
        const float halfH = DrawnHeight(gripper_) / 2.0f;
        DrawImageFrame(gripper_, gripper_->imageWidth, gripper_->imageHeight, 0,
                       {x - halfW, middle - halfH, x + halfW, middle + halfH}, colour);
    }
}
