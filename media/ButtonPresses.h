#pragma once
// Button press records shared by the keyboard and the pad, the dispatch of a button event
// to the GUI or the bound action, and the auto-repeat of held buttons.

#include "media/InputDevice.h"

#include <cstdint>
#include <functional>
#include <vector>

// What the GUI offers as a receiver of key events (a primitive).
class IKeyTarget {
public:
    virtual ~IKeyTarget() = default;
    // value 0x80 (or any non-zero) press, 2 repeat, 0 release; non-zero result: taken.
    virtual int OnKey(int value, int code, bool shift, IInputDevice& device) = 0;
    // Visible, enabled and with key repeat on.
    virtual bool WantsKeyRepeat() const = 0;
    virtual uint32_t KeyRepeatDelay() const = 0;
    virtual uint32_t KeyRepeatInterval() const = 0;
};

// Offers an event to the GUI: the keyboard-focus holder (when visible and enabled), else the
// modal window, else each open window in list order. Returns the target that took it.
using GuiKeyRouter = std::function<IKeyTarget*(int value, int code, bool shift, IInputDevice& device)>;

enum : uint8_t { kPressUp = 0, kPressDown = 1, kPressRepeating = 2 };

struct ButtonPressRecord {
    uint8_t state = kPressUp;
    uint32_t pressTime = 0;
    uint32_t lastRepeat = 0;
    IKeyTarget* target = nullptr; // the primitive that took the press; none: the action did
};

class ButtonPresses {
public:
    // Keyboard codes index the records directly; pad codes start at kPadBase.
    static constexpr int kRecordCount = 337;
    static constexpr int kPadBase = 256;

    ButtonPressRecord& Record(int index) { return records_[static_cast<std::size_t>(index)]; }
    // Record indices of the buttons down now, in press order.
    const std::vector<int>& Pressed() const { return pressed_; }

    void MarkDown(int index);
    // Removes only this index from the pressed list.
    void MarkUp(int index);
    // A target going away must be forgotten so that no event reaches it afterwards.
    void Forget(const IKeyTarget* target);
    void Clear();

    void SetGuiRouter(GuiKeyRouter router) { router_ = std::move(router); }
    const GuiKeyRouter& GuiRouter() const { return router_; }

private:
    ButtonPressRecord records_[kRecordCount];
    std::vector<int> pressed_;
    GuiKeyRouter router_;
};

// The one table of press records.
extern ButtonPresses buttonPresses;

// Hands a button event (value non-zero = press) to the primitive that took the press, the
// GUI, or else the action bound to the code on the device.
void DispatchButtonEvent(int value, int code, bool shift, IInputDevice& device);

// Once a frame: repeats every held button whose delay and interval have passed.
void RepeatHeldButtons();
