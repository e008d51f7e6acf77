#pragma once
// The buffered mouse: relative X/Y/wheel data and three buttons, plus the cursor position
// in frame pixels (the pixels of the picture drawn into the main window: the window's
// client pixels mapped through the window's frame fit; unchanged without a window).

#include "platform/input/BufferedDevice.h"

#include <cstdint>

union SDL_Event;

namespace platform {

struct MouseState {
    int32_t dx = 0;    // movement since the last state read
    int32_t dy = 0;
    int32_t wheel = 0; // wheel movement since the last read, kWheelDelta per notch
    uint8_t buttons[4] = {0, 0, 0, 0}; // left, right, middle, fourth: 0x80 down
};

class MouseDevice : public BufferedDevice {
public:
    explicit MouseDevice(InputSystem& system);

    // The state since the last read; the relative fields start again from 0.
    InputResult GetState(MouseState& state);

    // The cursor position in frame pixels (known whether or not the device is acquired).
    int CursorX() const { return cursorX_; }
    int CursorY() const { return cursorY_; }
    // Moves the cursor to a frame pixel (warps the pointer in the main window when there is one).
    void SetCursorPosition(int x, int y);

private:
    friend class InputSystem;
    void Feed(const SDL_Event& event) override;
    void OnInputLost() override;
    void ToFrame(int clientX, int clientY, int& frameX, int& frameY) const;

    MouseState state_;
    int cursorX_ = 0;
    int cursorY_ = 0;
};

} // namespace platform
