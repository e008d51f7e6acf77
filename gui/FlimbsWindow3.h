#pragma once
// The titled skinned dialog window: a title plate ("flimbs_title") across the top with a
// close button ("close_button") at its right end, and under it the client frame, inset by
// the border thickness on both sides. A draggable window follows the pointer while its
// title is held, through a position animator (75 ms). FlimbsWindow3a deactivates on Escape,
// FlimbsWindow3b hides on Escape and hides instead of giving up a child.
#include "gui/FlimbsTablet.h"
#include "gui/PrimContainer.h"
#include "gui/SkinFrame.h"

class AnimatePosition;
class GraphicButton;

// The client area's frame: nine pieces of "Graphics\Menu\FlimbsWindow3\" plus a second,
// taller pair of side pieces ("left2.png", "right2.png") drawn at the top of the sides,
// where the client meets the title.
class FlimbsWindow3Client : public PrimContainer {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\FlimbsWindow3\\";

    FlimbsWindow3Client();
    void Draw() override;
    // The larger of the own size and the children's bounding box: an empty client keeps
    // its frame's size.
    bool GetSize(float* width, float* height) override;

    const SkinFrame& Border() const { return border_; }

private:
    SkinFrame border_;
    SkinImage upperLeft_;
    SkinImage upperRight_;
};

class FlimbsWindow3 : public PrimContainer {
public:
    static constexpr const char* kCloseFolder = "Graphics\\Menu\\FlimbsWindow3";
    static constexpr const char* kCloseFile = "close-button2.png";
    static constexpr uint32_t kDragAnimationMs = 75;

    FlimbsWindow3();

    // Ends a drag on release; moves the window while dragging; a press on the title of a
    // draggable window starts a drag.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    // The close button first; a hit on the title answers the window.
    Primitive* HitTest(int x, int y) override;
    // "hand" over the title of a draggable window, else "regular".
    std::string GetCursorName() override;
    // Title across the full width, the client inset by the border and under the title, the
    // close button on the title; then the own size. -999 keeps an axis.
    void SetSize(float width, float height) override;
    // Client width + 2 x border, client height + title height.
    bool GetSize(float* width, float* height) override;
    // The client re-sizes to its content first (zero deltas), then the window by the deltas.
    void AdjustSize(int flags, float dx, float dy) override;
    // Stores the flag; gives it to the client only, or to every child when recursive.
    uint8_t SetFlag(uint8_t value, int recursive) override;
    virtual void SetTitle(const char* title);

    FlimbsWindow3Title* Title() const { return title_; }
    FlimbsWindow3Client* Client() const { return client_; }
    GraphicButton* CloseButton() const { return closeButton_; }
    AnimatePosition* DragAnimator() const { return animator_; }
    bool Dragging() const { return dragging_ != 0; }
    // Pixels.
    float BorderThickness() const { return borderThickness_; }

    uint8_t draggable = 0;

protected:
    // Clears the visible and highlight bytes.
    void Hide();

private:
    void Drag(int x, int y);
    void LayoutParts(float width, float height);

    AnimatePosition* animator_;        // a child
    FlimbsWindow3Title* title_;        // a child
    FlimbsWindow3Client* client_;      // a child
    GraphicButton* closeButton_;       // a child
    float borderThickness_;
    int32_t grabX_ = 0;
    int32_t grabY_ = 0;
    uint8_t dragging_ = 0;
    bool overTitle_ = false;
};

class FlimbsWindow3a : public FlimbsWindow3 {
public:
    // Escape pressed: Deactivate, consumed. Anything else goes to the children.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
};

class FlimbsWindow3b : public FlimbsWindow3 {
public:
    // Escape pressed: hidden, consumed. Anything else goes to the children.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // Hides the window and keeps every child; false.
    bool RemoveChild(Primitive* child, bool destroy) override;
};
