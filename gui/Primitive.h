#pragma once
// The node of the GUI tree: a named rectangle on the screen with a parent, a position
// relative to the parent's content origin, an absolute rectangle in pixels, margins and an
// alignment. Callers speak virtual units (1000 x 1000 is the whole screen); the primitive
// stores pixels of the current screen.

#include "media/ButtonPresses.h"

#include <cstdint>
#include <string>

class Primitive;

// Button event phases.
enum : int { kPhaseUp = 0, kPhaseHeld = 1, kPhaseDown = 2 };

// Alignment codes.
enum : int32_t { kAlignLeft = 0, kAlignRight = 1, kAlignHCentre = 2 };
enum : int32_t { kAlignTop = 16, kAlignBottom = 8, kAlignVCentre = 32 };

// Any coordinate argument equal to this (positions) or at or below it (sizes, margins)
// leaves the coordinate unchanged.
constexpr float kKeepCoordinate = -999.0f;

// Click or key repeat of one button: first repeat after `delay`, then every `rate` ms.
struct RepeatSetting {
    uint8_t enabled = 1;
    int32_t delay = 50;
    int32_t rate = 50;
};

struct FloatRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    bool operator==(const FloatRect&) const = default;
};

struct FloatPoint {
    float x = 0.0f;
    float y = 0.0f;
    bool operator==(const FloatPoint&) const = default;
};

// The interface base of every GUI node: the name, the visibility flags and the first
// operations of the node.
class IPanel {
public:
    IPanel() = default;
    IPanel(const IPanel&) = delete;
    IPanel& operator=(const IPanel&) = delete;
    virtual ~IPanel() = default;

    virtual Primitive* OnLeftButton(int x, int y, int phase) = 0;
    virtual Primitive* OnRightButton(int x, int y, int phase) = 0;
    virtual Primitive* OnWheel(int delta) = 0;
    virtual Primitive* HitTest(int x, int y) = 0;
    virtual std::string GetCursorName() = 0;
    virtual bool OnPointerLeft(Primitive* nowUnder) = 0;
    virtual void OnFocusLost(Primitive* taker) = 0;
    virtual int OnKey(int value, int code, bool shift, IInputDevice& device) = 0;
    virtual void OnFocusGained() = 0;
    virtual void Draw() = 0;
    virtual void Update() = 0;
    virtual int GetPrimitiveKind() = 0;
    virtual uint8_t SetVisible(uint8_t visible);
    virtual void SetName(const char* name);
    virtual bool Deactivate();

    std::string name;
    uint8_t visible = 1;
    uint8_t enabled = 1;
    uint8_t highlight = 1;        // drawn; cleared by Deactivate
    uint8_t clipToParent = 1;     // gets input and is drawn only inside the parent's rectangle
    uint8_t deleteWhenClosed = 1; // the container deletes it when it leaves the list
    RepeatSetting leftRepeat;
    RepeatSetting rightRepeat;
    RepeatSetting keyRepeat;
    uint8_t active = 1;
};

class Primitive : public IPanel, public IKeyTarget {
public:
    Primitive() = default;
    // Leaves its parent's child list and forgets itself in the input routing.
    ~Primitive() override;

    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    Primitive* OnWheel(int delta) override;
    // This primitive when the point lies in the absolute rectangle, edges included.
    Primitive* HitTest(int x, int y) override;
    std::string GetCursorName() override;
    // Passes the notice to the parent; true.
    bool OnPointerLeft(Primitive* nowUnder) override;
    void OnFocusLost(Primitive* taker) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void OnFocusGained() override;
    void Draw() override;
    void Update() override;
    int GetPrimitiveKind() override;
    virtual void UpdateAbsolutePosition();
    // Makes this primitive the keyboard-focus holder.
    virtual void TakeFocus();
    // Widget type code (buttons, check boxes, ...); 0 here.
    virtual int GetWidgetType();
    virtual void SetSize(float width, float height);
    virtual void Move(float x, float y);
    virtual void SetPosition(float x, float y);
    // The size in virtual units; false when none is known.
    virtual bool GetSize(float* width, float* height);
    // Bit 0: width + dx; bit 1: height + dy; the other axis unchanged.
    virtual void AdjustSize(int flags, float dx, float dy);
    // Stores the flag byte (the draw alpha).
    virtual uint8_t SetFlag(uint8_t value, int recursive);
    virtual bool GetPressed();
    virtual void ClearPressed();
    virtual std::string GetText();
    virtual int GetIntValue();
    virtual float GetFloatValue();
    virtual bool IsChecked();
    virtual void SetIntValue(int value);
    virtual void SetText(const std::string& text);
    virtual void SetFloatValue(float value);
    virtual void SetReserved(int value);
    // Pixels; dx of exactly -999.0 keeps the horizontal offset.
    virtual void SetScrollOffset(float dy, float dx);
    virtual void SetMargins(float left, float top, float right, float bottom);
    virtual void AdjustMargins(float left, float top, float right, float bottom);
    virtual FloatPoint ScreenToLocal(FloatPoint point);
    virtual FloatPoint LocalToScreen(FloatPoint point);

    // IKeyTarget: visible, enabled and with key repeat on.
    bool WantsKeyRepeat() const override;
    uint32_t KeyRepeatDelay() const override;
    uint32_t KeyRepeatInterval() const override;

    // The absolute rectangle in virtual units.
    FloatRect GetScreenRect() const;
    // The absolute rectangle relative to the parent's content origin, in pixels.
    FloatRect GetRelativeRect() const;
    FloatRect GetRelativeRectVirtual() const;
    // The content area inside the margins, relative to the own top-left, virtual units.
    FloatRect GetClientRect() const;
    FloatRect GetRelativeClientRect() const;
    FloatPoint GetSizeVirtual() const;
    FloatPoint GetPositionVirtual() const;
    FloatRect GetMarginsVirtual() const;
    bool PointInRect(int x, int y) const;
    // True when this primitive is `node` or one of its ancestors.
    bool IsSelfOrAncestorOf(const Primitive* node) const;
    // The nearest ancestor with the window container flag, else the topmost ancestor;
    // null without a parent.
    Primitive* FindOwningWindow() const;
    // Button handlers: close or deactivate the owning window, or deactivate this primitive.
    bool CloseOwningWindow();
    void DeactivateOwningWindow();
    void DeactivateSelf();
    // Moves the primitive back onto the screen when it sticks out.
    void KeepOnScreen();
    void Invalidate() { dirty = 1; }

    // Conversions between virtual units and pixels of the current screen.
    static float ToPixelsX(float value);
    static float ToPixelsY(float value);
    static float ToVirtualX(float pixels);
    static float ToVirtualY(float pixels);

    int32_t vAlign = kAlignTop;
    int32_t hAlign = kAlignLeft;
    uint32_t dirty = 0;
    int32_t tag = 0;                // free for owners
    uint8_t excludeFromBounds = 0;  // left out of the container's bounding box
    Primitive* parent = nullptr;    // not owned
    float relX = 0.0f;              // pixels, relative to the parent's content origin
    float relY = 0.0f;
    float scrollX = 0.0f;           // pixels by which the children are shifted
    float scrollY = 0.0f;
    uint32_t focus = 0;
    std::string secondText;         // a child's cursor name for its container
    FloatRect rect;                 // absolute, pixels
    FloatRect margins;              // pixels
    uint8_t alpha = 255;            // the flag byte
    uint8_t pressed = 0;
    uint32_t absolutelyPlaced = 0;  // the parent's origin is not added
    uint8_t tabNumber = 0;
    uint8_t tabStop = 0;
};
