#pragma once
// The clickable leaf widget: a three-state look (normal, hover, pressed), left and right
// click callbacks with repeat while held, keyboard activation with Space or Enter, the
// click sound and a brightness pulse. The subclasses only draw.

#include "gui/Primitive.h"

#include <cstdint>
#include <functional>
#include <string>

class Button;

// Called with (the button's parent, the button).
using ButtonCallback = std::function<void(Primitive* parent, Button* button)>;

enum : int32_t { kButtonNormal = 0, kButtonHover = 1, kButtonPressed = 2 };
enum : int32_t { kPulseNever = 0, kPulseOnHover = 1, kPulseAlways = 2, kPulseOnFocus = 3 };

// Keyboard scan codes that activate a button.

// The generic close action of a button: closes the nearest enclosing window (a container
// with the window flag) through its Close, which runs its close animation when it has one.
// Nothing happens when no ancestor is a window.
void CloseParentWindow(Primitive* parent, Button* button);

class Button : public Primitive {
public:
    Button() = default;

    // Inside the rectangle: press, hold (repeat) and release; returns the button.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    // Inside: hover unless pressed.
    Primitive* HitTest(int x, int y) override;
    std::string GetCursorName() override;
    bool OnPointerLeft(Primitive* nowUnder) override;
    // Space and Enter while focused, with keyboard activation on and the button enabled.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // Runs the pulse.
    void Update() override;
    int GetWidgetType() override { return 6; }
    std::string GetText() override { return text; }

    virtual void SetCaption(const char* caption);
    // The left click proper: only when enabled; the sound (when on), then onClick.
    virtual void Click();

    // True while the pulse mode applies now.
    bool PulseRuns() const;
    bool HasFocus() const;

    uint8_t keyboardActivation = 0;
    uint8_t clickSound = 1;
    uint8_t clickOnPress = 0;
    int32_t pulseMode = kPulseNever;
    ButtonCallback onClick;
    ButtonCallback onRightClick;
    int32_t state = kButtonNormal;
    int32_t repeatInterval = -1;      // ms; negative: no repeat
    int32_t rightRepeatInterval = -1; // ms; negative: no repeat
    uint32_t lastClickTime = 0;
    std::string text;                 // what is shown
    float pulseAlpha = 255.0f;
    int32_t pulseDirection = -1;
    // Free values of the owner (a command id, a second id, a tooltip text).
    int32_t commandId = 0;
    int32_t secondId = -1;
    std::string toolTip;
};
