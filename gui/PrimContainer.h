#pragma once
// The container base of every window, screen and composite widget: adds the cursor name,
// the close handler, the input delegate (the automatic vertical scroll bar), the content
// height and tab-order numbering.

#include "gui/Container.h"

#include <functional>
#include <memory>

class PrimContainer;

// What the container needs of its automatic scroll bar.
class IScrollDelegate {
public:
    virtual ~IScrollDelegate() = default;
    virtual void SetScrollRange(int count, int page) = 0;
    // Calls the change callback only when the position changed and notify is set.
    virtual void SetScrollPosition(int position, bool notify) = 0;
    virtual int GetScrollPosition() const = 0;
    virtual void SetScrollCallback(std::function<void(int position)> onChange) = 0;
};

// True keeps the container open.
using CloseHandler = std::function<bool(PrimContainer* container)>;

// The global switch of the close handlers (on at start).
void SetCloseHandlersEnabled(bool enabled);
bool CloseHandlersEnabled();

class PrimContainer : public Container<Primitive> {
public:
    PrimContainer() = default;
    // Deletes the delegate, then the children.
    ~PrimContainer() override;

    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* HitTest(int x, int y) override;
    bool OnPointerLeft(Primitive* nowUnder) override;
    void UpdateAbsolutePosition() override;
    // The bounding box of the children plus the right and bottom margins; always true.
    bool GetSize(float* width, float* height) override;
    uint8_t SetFlag(uint8_t value, int recursive) override;
    bool GetPressed() override;
    void ClearPressed() override;
    FloatPoint ScreenToLocal(FloatPoint point) override;
    FloatPoint LocalToScreen(FloatPoint point) override;

    virtual PrimContainer* AsContainer();
    // Runs the close handler when one is set and enabled; true from it keeps the container
    // open, else Deactivate.
    virtual void Close();
    virtual void ReservedSlot42() {}
    virtual int ReservedSlot43() { return 0; }
    // Makes the automatic scroll bar: a primitive that implements IScrollDelegate (a plain
    // SimpleScrollBar here; skinned containers make their own).
    virtual std::unique_ptr<Primitive> CreateScrollBar();

    // Pixels; compared with the container's height for the scroll bar.
    void SetContentHeight(float pixels) { contentHeight_ = pixels; }
    float ContentHeight() const { return contentHeight_; }
    Primitive* InputDelegate() const { return delegate_.get(); }
    const std::string& CursorName() const { return cursorName_; }

    CloseHandler closeHandler;
    float delegateValue = 0.0f;
    uint8_t nextTabNumber = 0;
    uint8_t tabNumbering = 1;

protected:
    void DrawOverlay() override;
    void NumberTabStop(Primitive* child) override;

private:
    void ApplyScrollBarRule();
    void PlaceDelegate();

    std::string cursorName_;
    std::unique_ptr<Primitive> delegate_;
    float contentHeight_ = 0.0f;
};
