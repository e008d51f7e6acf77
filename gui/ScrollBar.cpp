#include "gui/ScrollBar.h"

#include "gui/UiScale.h"
#include "media/Draw2D.h"

#include <algorithm>
#include <cmath>

ScrollBar::ScrollBar() { leftRepeat.delay = 200; }

std::string ScrollBar::GetCursorName() { return dragging || thumbHover ? "hand" : "regular"; }

int ScrollBar::Clamp(int pos) const
{
    const int last = std::max(count - page, 0);
    return std::clamp(pos, 0, last);
}

void ScrollBar::MoveTo(int pos)
{
    const int clamped = Clamp(pos);
    if (clamped == position)
        return;
    position = clamped;
    if (changeCallback)
        changeCallback();
}

void ScrollBar::SetScrollPosition(int pos, bool notify)
{
    const int clamped = Clamp(pos);
    const bool changed = clamped != position;
    position = clamped;
    if (changed && notify && changeCallback)
        changeCallback();
}

void ScrollBar::SetScrollRange(int newCount, int newPage)
{
    count = std::max(newCount, 0);
    page = std::max(newPage, 0);
    position = Clamp(position);
}

void ScrollBar::SetScrollCallback(std::function<void(int position)> onChange)
{
    if (!onChange) {
        changeCallback = nullptr;
        return;
    }
    changeCallback = [this, onChange = std::move(onChange)] { onChange(position); };
}

void ScrollBar::StepUp(int n) { MoveTo(position - step * n); }
void ScrollBar::StepDown(int n) { MoveTo(position + step * n); }

bool ScrollBar::ThumbRect(float trackTop, float trackBottom, float* top, float* bottom) const
{
    if (count <= 0)
        return false;
    const float length = trackBottom - trackTop + 1.0f;
    const float thumbTop = trackTop + length * static_cast<float>(std::max(position, 0)) / static_cast<float>(count);
    const float thumbLength = length * static_cast<float>(std::min(page, count)) / static_cast<float>(count);
    *top = thumbTop;
    *bottom = thumbTop + thumbLength;
    return true;
}

int ScrollBar::PositionForThumbTop(float top, float trackTop, float trackBottom) const
{
    const float length = trackBottom - trackTop + 1.0f;
    if (count <= 0 || length <= 0.0f)
        return 0;
    return Clamp(static_cast<int>(std::lround((top - trackTop) * static_cast<float>(count) / length)));
}

SimpleScrollBar::SimpleScrollBar()
{
    const float width = 16.0f * GetUiScale();
    rect.right = rect.left + width;
}

float SimpleScrollBar::ArrowLength() const
{
    const float width = rect.right - rect.left;
    const float height = rect.bottom - rect.top;
    return std::max(std::min(width, height / 3.0f), 0.0f);
}

void SimpleScrollBar::Act(int y)
{
    const float py = static_cast<float>(y);
    if (py < TrackTop()) {
        StepUp(1);
        return;
    }
    if (py > TrackBottom()) {
        StepDown(1);
        return;
    }
    float top = 0.0f;
    float bottom = 0.0f;
    if (!ThumbRect(TrackTop(), TrackBottom(), &top, &bottom))
        return;
    if (py < top)
        StepUp(std::max(page, 1));
    else if (py > bottom)
        StepDown(std::max(page, 1));
}

Primitive* SimpleScrollBar::OnLeftButton(int x, int y, int phase)
{
    if (phase == kPhaseUp) {
        const bool wasDragging = dragging != 0;
        dragging = 0;
        return wasDragging || PointInRect(x, y) ? this : nullptr;
    }
    if (phase == kPhaseHeld) {
        float top = 0.0f;
        float bottom = 0.0f;
        if (dragging && ThumbRect(TrackTop(), TrackBottom(), &top, &bottom)) {
            const float thumbTop = static_cast<float>(y) - (bottom - top) / 2.0f;
            MoveTo(PositionForThumbTop(thumbTop, TrackTop(), TrackBottom()));
        } else if (PointInRect(x, y)) {
            Act(y);
        }
        return this;
    }
    if (!PointInRect(x, y))
        return nullptr;
    float top = 0.0f;
    float bottom = 0.0f;
    const float py = static_cast<float>(y);
    if (py >= TrackTop() && py <= TrackBottom() && ThumbRect(TrackTop(), TrackBottom(), &top, &bottom) &&
        py >= top && py <= bottom) {
        dragging = 1;
        return this;
    }
    Act(y);
    return this;
}

Primitive* SimpleScrollBar::HitTest(int x, int y)
{
    if (!PointInRect(x, y)) {
        thumbHover = 0;
        return nullptr;
    }
    float top = 0.0f;
    float bottom = 0.0f;
    const float py = static_cast<float>(y);
    thumbHover = ThumbRect(TrackTop(), TrackBottom(), &top, &bottom) && py >= top && py <= bottom ? 1 : 0;
    return this;
}

bool SimpleScrollBar::OnPointerLeft(Primitive* nowUnder)
{
    thumbHover = 0;
    return ScrollBar::OnPointerLeft(nowUnder);
}

void SimpleScrollBar::Draw()
{
    const float arrow = ArrowLength();
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, trackColour);
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.top + arrow, arrowColour);
    Draw2D::DrawFilledRect(rect.left, rect.bottom - arrow, rect.right, rect.bottom, arrowColour);
    const float midX = (rect.left + rect.right) / 2.0f;
    const float inset = arrow / 4.0f;
    Draw2D::DrawLine(rect.left + inset, rect.top + arrow - inset, midX, rect.top + inset, 0xFFFFFFFF);
    Draw2D::DrawLine(midX, rect.top + inset, rect.right - inset, rect.top + arrow - inset, 0xFFFFFFFF);
    Draw2D::DrawLine(rect.left + inset, rect.bottom - arrow + inset, midX, rect.bottom - inset, 0xFFFFFFFF);
    Draw2D::DrawLine(midX, rect.bottom - inset, rect.right - inset, rect.bottom - arrow + inset, 0xFFFFFFFF);
    float top = 0.0f;
    float bottom = 0.0f;
    if (ThumbRect(TrackTop(), TrackBottom(), &top, &bottom))
        Draw2D::DrawFilledRect(rect.left + 1.0f, top, rect.right - 1.0f, bottom,
                               dragging || thumbHover ? thumbHoverColour : thumbColour);
}

bool SimpleScrollBar::GetSize(float* width, float* height)
{
    if (width)
        *width = ToVirtualX(16.0f * GetUiScale());
    if (height)
        *height = GetSizeVirtual().y;
    return true;
}
