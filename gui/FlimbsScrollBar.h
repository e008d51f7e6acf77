#pragma once
// The skinned vertical scroll bar, from "Graphics\Menu\ScrollBar\": "scroll-up.png" and
// "scroll-down.png" at the ends, "scroll-mid.png" stretched along the track, and the grip
// as "scroll-grip-end.png" caps around a stretched "scroll-grip-mid.png" with
// "scroll-grip-grip.png" centred on it. The grip's length is the page share of the track.
// It behaves as the plain bar: arrows step, the track pages, the grip drags.
#include "gui/ScrollBar.h"
#include "gui/SkinImage.h"

#include <memory>

class FlimbsScrollBar : public SimpleScrollBar {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\ScrollBar\\";

    FlimbsScrollBar();
    ~FlimbsScrollBar() override;

    void Draw() override;
    // The arrows' drawn width and the present height; true.
    bool GetSize(float* width, float* height) override;
    // The drawn height of the up arrow (no more than a third of the bar).
    float ArrowLength() const override;

    // Rows between the last visible row and the end (0 at the end).
    int DistanceFromEnd() const;
    // Moves to the last page; the callback runs when the position changed and notify is set.
    void ScrollToEnd(bool notify);
    // The grip's top and bottom (pixels); false while there is nothing to scroll over.
    bool GripRect(float* top, float* bottom) const;

private:
    SkinImage up_;
    SkinImage down_;
    SkinImage track_;
    SkinImage gripEnd_;
    SkinImage gripMiddle_;
    SkinImage gripMark_;
};

// The scroll bar that skinned containers give PrimContainer::CreateScrollBar.
std::unique_ptr<Primitive> CreateFlimbsScrollBar();
