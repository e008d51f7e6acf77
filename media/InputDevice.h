#pragma once
// What the keyboard, mouse and pad managers share: the device interface, button bindings
// and the records of the frame's input-event list and of recorded input.

#include <cstdint>

namespace platform {
class InputSystem;
}

// An action handler receives the event value (0x80 press, 0 release, 2 repeat, or the
// wheel delta) and the game clock time in milliseconds.
using ActionHandler = void (*)(int value, uint32_t time);

struct ButtonBinding {
    ActionHandler handler = nullptr; // none: not bound
    bool repeat = true;
    uint32_t repeatDelay = 300;
    uint32_t repeatInterval = 50;
};

// Results of binding.
constexpr int kBindUnknownKey = -11;
constexpr int kBindUnknownAction = -12;
constexpr int kBindBadCode = -13;
// Passed as the repeat delay: the binding does not repeat.
constexpr int kNoRepeat = -1;

// Binds in a device's table of `count` codes: 0, or kBindBadCode for a code outside it.
// A delay of kNoRepeat switches repeat off and keeps the stored timing.
inline int BindInTable(ButtonBinding* table, int count, int code, ActionHandler handler, int repeatDelay,
                       int repeatInterval)
{
    if (code < 0 || code >= count)
        return kBindBadCode;
    ButtonBinding& binding = table[code];
    binding.handler = handler;
    binding.repeat = repeatDelay != kNoRepeat;
    if (binding.repeat) {
        binding.repeatDelay = static_cast<uint32_t>(repeatDelay);
        binding.repeatInterval = static_cast<uint32_t>(repeatInterval);
    }
    return 0;
}

class IInputDevice {
public:
    virtual ~IInputDevice() = default;

    // Creates and acquires the device on the given input system; throws GameException.
    virtual void Init(platform::InputSystem& system) = 0;
    // Waits at most 15000 ms for an event: 0 when one arrived, 1 on time-out, -1 without a device.
    virtual int WaitForEvent() = 0;
    virtual bool IsButtonDown(int code) const = 0;
    // Binds a handler to a button; a delay of kNoRepeat switches repeat off. 0 or kBindBadCode.
    virtual int BindButton(int code, ActionHandler handler, int repeatDelay = 300, int repeatInterval = 50) = 0;
    // True when the device is acquired (or already was).
    virtual bool Acquire() = 0;

    // The binding record of a code, null when the code is out of range.
    virtual const ButtonBinding* Binding(int code) const = 0;
    // Index of the code in the shared button press records, -1 when the device has none.
    virtual int PressRecordIndex(int code) const = 0;
};

// One event of the frame's input-event list.
enum : uint32_t { kInputKeyboard = 0, kInputMouse = 1 };
struct InputEvent {
    int32_t code = 0;
    int32_t value = 0;
    uint32_t time = 0;
    uint32_t sequence = 0;
    uint32_t kind = kInputKeyboard;
};

// Recording and playback of a device's input (the movie mode).
enum class InputMode : int { Off = 0, Record = 1, Playback = 2 };
// A recorded record: kind 1 a button event (code, value); kind 2 a cursor position
// (code = x, value = y).
struct RecordedInput {
    int kind = 1;
    int code = 0;
    int value = 0;
    uint32_t time = 0;
};
