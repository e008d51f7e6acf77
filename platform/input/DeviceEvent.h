#pragma once
// Records and codes shared by the buffered input devices.
//
// Keys use the classic PC set-1 scan codes (Escape 1, A 30, Home 199 ...). Mouse and pad
// events name the byte offset of the field they change in the device's state record, so a
// binding table can hold keyboard, mouse and pad buttons side by side.

#include <cstdint>

namespace platform {

// One buffered event: the changed key/field, its new data, a millisecond stamp and a
// sequence number that orders events across all devices.
struct DeviceEvent {
    uint32_t code = 0;
    uint32_t value = 0; // keys and buttons: 0x80 down, 0 up; axes: signed data in two's complement
    uint32_t timeStamp = 0;
    uint32_t sequence = 0;
    uint32_t appData = 0;
};

// Results of device calls. Ok and AlreadyAcquired are successes.
enum class InputResult {
    Ok,
    AlreadyAcquired,
    BufferOverflow,    // success; some events were lost because the buffer was full
    InputLost,         // the device lost its input (focus left the window): acquire again
    NotAcquired,
    OtherAppHasPriority, // acquiring fails while the window is not in the foreground
    NoDevice,
};

inline bool Succeeded(InputResult result)
{
    return result == InputResult::Ok || result == InputResult::AlreadyAcquired ||
           result == InputResult::BufferOverflow;
}

constexpr uint32_t kButtonDown = 0x80;
constexpr int kKeyCount = 256;

// Mouse state record: relative X, Y, wheel, then four button bytes.
constexpr uint32_t kMouseX = 0;
constexpr uint32_t kMouseY = 4;
constexpr uint32_t kMouseWheel = 8;
constexpr uint32_t kMouseLeft = 12;
constexpr uint32_t kMouseRight = 13;
constexpr uint32_t kMouseMiddle = 14;
constexpr uint32_t kMouseStateSize = 16;
// One notch of the wheel.
constexpr int kWheelDelta = 120;

// Pad state record: X axis, Y axis, ... buttons from byte 48 on (32 of them).
constexpr uint32_t kPadX = 0;
constexpr uint32_t kPadY = 4;
constexpr uint32_t kPadButton0 = 48;
constexpr uint32_t kPadButtonCount = 32;
constexpr uint32_t kPadStateSize = 80;
// Axis range of the pad: -kPadAxisMax (left/up) .. kPadAxisMax (right/down).
constexpr int kPadAxisMax = 1000;

} // namespace platform
