#include "platform/input/MouseDevice.h"

#include "platform/input/InputSystem.h"

#include <SDL.h>

namespace platform {

namespace {

uint32_t Stamp(uint32_t timestamp)
{
    return timestamp != 0 ? timestamp : InputSystem::Ticks();
}

int ButtonIndex(uint8_t sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_X1: return 3;
    default: return -1;
    }
}

} // namespace

MouseDevice::MouseDevice(InputSystem& system) : BufferedDevice(system, Kind::Mouse) {}

InputResult MouseDevice::GetState(MouseState& state)
{
    if (!system_)
        return InputResult::NoDevice;
    if (IsLost())
        return InputResult::InputLost;
    if (!IsAcquired())
        return InputResult::NotAcquired;
    state = state_;
    state_.dx = state_.dy = state_.wheel = 0;
    return InputResult::Ok;
}

void MouseDevice::ToFrame(int clientX, int clientY, int& frameX, int& frameY) const
{
    const MainWindow* window = system_ ? system_->Window() : nullptr;
    if (window)
        window->ClientToFrame(clientX, clientY, frameX, frameY);
    else {
        frameX = clientX;
        frameY = clientY;
    }
}

void MouseDevice::SetCursorPosition(int x, int y)
{
    cursorX_ = x;
    cursorY_ = y;
    const MainWindow* window = system_ ? system_->Window() : nullptr;
    if (window && window->Handle()) {
        int clientX = x, clientY = y;
        window->FrameToClient(x, y, clientX, clientY);
        SDL_WarpMouseInWindow(window->Handle(), clientX, clientY);
    }
}

void MouseDevice::Feed(const SDL_Event& event)
{
    // Positions arrive in client pixels and are kept in frame pixels; the movement is the
    // change of that position, so it never drifts from it.
    int moveX = 0, moveY = 0;
    if (event.type == SDL_MOUSEMOTION) {
        int fromX = 0, fromY = 0;
        ToFrame(event.motion.x - event.motion.xrel, event.motion.y - event.motion.yrel, fromX, fromY);
        ToFrame(event.motion.x, event.motion.y, cursorX_, cursorY_);
        moveX = cursorX_ - fromX;
        moveY = cursorY_ - fromY;
    } else if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) {
        ToFrame(event.button.x, event.button.y, cursorX_, cursorY_);
    }
    if (!IsAcquired() || IsLost() || !system_ || !system_->IsForeground())
        return;
    switch (event.type) {
    case SDL_MOUSEMOTION: {
        const uint32_t stamp = Stamp(event.motion.timestamp);
        state_.dx += moveX;
        state_.dy += moveY;
        if (moveX != 0)
            Push(kMouseX, static_cast<uint32_t>(moveX), stamp);
        if (moveY != 0)
            Push(kMouseY, static_cast<uint32_t>(moveY), stamp);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const int index = ButtonIndex(event.button.button);
        if (index < 0)
            break;
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        state_.buttons[index] = down ? kButtonDown : 0;
        Push(kMouseLeft + static_cast<uint32_t>(index), down ? kButtonDown : 0, Stamp(event.button.timestamp));
        break;
    }
    case SDL_MOUSEWHEEL: {
        int notches = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            notches = -notches;
        if (notches == 0)
            break;
        const int32_t delta = notches * kWheelDelta;
        state_.wheel += delta;
        Push(kMouseWheel, static_cast<uint32_t>(delta), Stamp(event.wheel.timestamp));
        break;
    }
    default:
        break;
    }
}

void MouseDevice::OnInputLost()
{
    state_ = MouseState{};
}

} // namespace platform
