#pragma once
// The vertical scroll bar of lists and containers: a position (the first visible row) out
// of a count of rows with a page of rows visible at once, moved by steps, pages and the
// dragged thumb. SimpleScrollBar draws it plainly: arrows at both ends, a track and a thumb.

#include "gui/PrimContainer.h"
#include "gui/Primitive.h"

#include <functional>

class ListBox;

class ScrollBar : public Primitive, public IScrollDelegate {
public:
    ScrollBar();

    // "hand" while dragging or while the thumb is under the pointer, else "regular".
    std::string GetCursorName() override;

    // Clamps into [0, count - page]; calls the change callback only when the position
    // changed and notify is set.
    void SetScrollPosition(int pos, bool notify) override;
    int GetScrollPosition() const override { return position; }
    // Count and page (negative values count as 0); the position is clamped again.
    void SetScrollRange(int newCount, int newPage) override;
    void SetScrollCallback(std::function<void(int position)> onChange) override;

    // position - step x n / position + step x n; the callback runs when it changed.
    void StepUp(int n);
    void StepDown(int n);
    // The thumb's top and bottom in pixels for a track from trackTop to trackBottom; false
    // (no thumb) while the count is 0.
    bool ThumbRect(float trackTop, float trackBottom, float* top, float* bottom) const;
    // The position whose thumb top lies at `top` (pixels) on that track.
    int PositionForThumbTop(float top, float trackTop, float trackBottom) const;

    ListBox* owner = nullptr;
    std::function<void()> changeCallback;
    int32_t position = -1;
    int32_t count = 0;
    int32_t page = 0;
    int32_t step = 1;
    uint8_t dragging = 0;
    uint8_t thumbHover = 0;
    uint8_t stateA = 0;
    uint8_t stateB = 0;

protected:
    // Moves to pos (clamped) and calls the callback when it changed.
    void MoveTo(int pos);
    int Clamp(int pos) const;
};

class SimpleScrollBar : public ScrollBar {
public:
    SimpleScrollBar();

    // Press: arrows step, the track pages, the thumb starts a drag. Held: the same again
    // (or the dragged thumb centres on the pointer). Release: the drag ends.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* HitTest(int x, int y) override;
    bool OnPointerLeft(Primitive* nowUnder) override;
    void Draw() override;
    // The bar's width (16 pixels x UI scale) and its present height; true.
    bool GetSize(float* width, float* height) override;

    // Arrow length, track and thumb in pixels of the present rectangle.
    virtual float ArrowLength() const;
    float TrackTop() const { return rect.top + ArrowLength(); }
    float TrackBottom() const { return rect.bottom - ArrowLength(); }

    uint32_t trackColour = 0x88223322;
    uint32_t arrowColour = 0xCC778877;
    uint32_t thumbColour = 0xCCAABBAA;
    uint32_t thumbHoverColour = 0xFFDDEEDD;

private:
    // What a press or a repeat at y does.
    void Act(int y);
};
