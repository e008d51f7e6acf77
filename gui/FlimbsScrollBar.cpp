#include "gui/FlimbsScrollBar.h"

#include "gui/UiScale.h"
#include "gui/WidgetText.h"

#include <algorithm>

FlimbsScrollBar::FlimbsScrollBar()
    : up_(kFolder, "scroll-up.png"), down_(kFolder, "scroll-down.png"), track_(kFolder, "scroll-mid.png"),
      gripEnd_(kFolder, "scroll-grip-end.png"), gripMiddle_(kFolder, "scroll-grip-mid.png"),
      gripMark_(kFolder, "scroll-grip-grip.png")
{
    rect.right = rect.left + up_.DrawnWidth(ScreenImageScale());
}

FlimbsScrollBar::~FlimbsScrollBar() = default;

float FlimbsScrollBar::ArrowLength() const
{
    const float height = rect.bottom - rect.top;
    return std::max(0.0f, std::min(up_.DrawnHeight(ScreenImageScale()), height / 3.0f));
}

bool FlimbsScrollBar::GetSize(float* width, float* height)
{
    if (width)
        *width = ToVirtualX(up_.DrawnWidth(ScreenImageScale()));
    if (height)
        *height = GetSizeVirtual().y;
    return true;
}

int FlimbsScrollBar::DistanceFromEnd() const
{
    return std::max(count - page - std::max(position, 0), 0);
}

void FlimbsScrollBar::ScrollToEnd(bool notify)
{
    SetScrollPosition(count - page, notify);
}

bool FlimbsScrollBar::GripRect(float* top, float* bottom) const
{
    if (count <= page)
        return false;
    return ThumbRect(TrackTop(), TrackBottom(), top, bottom);
}

void FlimbsScrollBar::Draw()
{
    if (!visible || !highlight)
        return;
    const float scale = ScreenImageScale();
    const uint32_t colour = WithAlpha(0xFFFFFFFF, alpha);
    const float arrow = ArrowLength();
    const float left = rect.left;
    const float right = rect.right;
    track_.DrawStretched(left, TrackTop(), right, TrackBottom(), colour);
    up_.DrawStretched(left, rect.top, right, rect.top + arrow, colour);
    down_.DrawStretched(left, rect.bottom - arrow, right, rect.bottom, colour);

    float top = 0.0f;
    float bottom = 0.0f;
    if (!GripRect(&top, &bottom))
        return;
    const float length = bottom - top;
    // The caps shrink in proportion on a grip shorter than both of them.
    const float end = std::min(gripEnd_.DrawnHeight(scale), length / 2.0f);
    gripEnd_.DrawStretched(left, top, right, top + end, colour);
    gripMiddle_.DrawStretched(left, top + end, right, bottom - end, colour);
    gripEnd_.DrawStretched(left, bottom - end, right, bottom, colour);
    const float mark = std::min(gripMark_.DrawnHeight(scale), std::max(length - 2.0f * end, 0.0f));
    const float centre = (top + bottom) / 2.0f;
    gripMark_.DrawStretched(left, centre - mark / 2.0f, right, centre + mark / 2.0f, colour);
}

std::unique_ptr<Primitive> CreateFlimbsScrollBar()
{
    return std::make_unique<FlimbsScrollBar>();
}
