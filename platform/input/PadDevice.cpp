#include "platform/input/PadDevice.h"

#include "platform/input/InputSystem.h"
#include "platform/log_sink.h"

#include <SDL.h>

namespace platform {

namespace {

// Pad button index of a controller button; -1 for the d-pad and unknown buttons.
int PadButtonIndex(uint8_t button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return 0;
    case SDL_CONTROLLER_BUTTON_B: return 1;
    case SDL_CONTROLLER_BUTTON_X: return 2;
    case SDL_CONTROLLER_BUTTON_Y: return 3;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return 4;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return 5;
    case SDL_CONTROLLER_BUTTON_BACK: return 6;
    case SDL_CONTROLLER_BUTTON_START: return 7;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: return 8;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return 9;
    case SDL_CONTROLLER_BUTTON_GUIDE: return 10;
    default: return -1;
    }
}

// A stick past half of its travel counts as pushed.
int StickDirection(int16_t value)
{
    if (value <= -16384)
        return -1;
    if (value >= 16384)
        return 1;
    return 0;
}

uint32_t Stamp(uint32_t timestamp)
{
    return timestamp != 0 ? timestamp : InputSystem::Ticks();
}

} // namespace

PadDevice::PadDevice(InputSystem& system) : BufferedDevice(system, Kind::Pad)
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        PlatformLog("Game controllers are not available: %s\n", SDL_GetError());
        return;
    }
    subsystemStarted_ = true;
    AttachFirst();
}

PadDevice::~PadDevice()
{
    Detach();
    if (subsystemStarted_)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool PadDevice::AttachFirst()
{
    if (controller_ || !subsystemStarted_)
        return controller_ != nullptr;
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        if (!SDL_IsGameController(index))
            continue;
        SDL_GameController* controller = SDL_GameControllerOpen(index);
        if (!controller)
            continue;
        controller_ = controller;
        instance_ = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
        const char* name = SDL_GameControllerName(controller);
        PlatformLog("Game pad attached: %s\n", name ? name : "(unnamed)");
        return true;
    }
    return false;
}

void PadDevice::Detach()
{
    if (controller_) {
        SDL_GameControllerClose(controller_);
        controller_ = nullptr;
        instance_ = -1;
    }
    state_ = PadState{};
    dpadX_ = dpadY_ = stickX_ = stickY_ = 0;
}

InputResult PadDevice::GetState(PadState& state)
{
    if (!system_ || !controller_)
        return InputResult::NoDevice;
    if (IsLost())
        return InputResult::InputLost;
    if (!IsAcquired())
        return InputResult::NotAcquired;
    state = state_;
    return InputResult::Ok;
}

void PadDevice::SetAxis(uint32_t offset, int32_t value, uint32_t stamp)
{
    int32_t& axis = offset == kPadX ? state_.x : state_.y;
    if (axis == value)
        return;
    axis = value;
    Push(offset, static_cast<uint32_t>(value), stamp);
}

void PadDevice::UpdateAxes(uint32_t stamp)
{
    const int x = dpadX_ != 0 ? dpadX_ : stickX_;
    const int y = dpadY_ != 0 ? dpadY_ : stickY_;
    SetAxis(kPadX, x * kPadAxisMax, stamp);
    SetAxis(kPadY, y * kPadAxisMax, stamp);
}

void PadDevice::Feed(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        AttachFirst();
        return;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (controller_ && event.cdevice.which == instance_) {
            PlatformLog("Game pad removed\n");
            Detach();
            AttachFirst();
        }
        return;
    default:
        break;
    }
    if (!controller_ || !IsAcquired() || IsLost() || !system_ || !system_->IsForeground())
        return;
    if (event.type == SDL_CONTROLLERBUTTONDOWN || event.type == SDL_CONTROLLERBUTTONUP) {
        if (event.cbutton.which != instance_)
            return;
        const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
        const uint32_t stamp = Stamp(event.cbutton.timestamp);
        switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: dpadX_ = down ? -1 : (dpadX_ == -1 ? 0 : dpadX_); break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: dpadX_ = down ? 1 : (dpadX_ == 1 ? 0 : dpadX_); break;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: dpadY_ = down ? -1 : (dpadY_ == -1 ? 0 : dpadY_); break;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: dpadY_ = down ? 1 : (dpadY_ == 1 ? 0 : dpadY_); break;
        default: {
            const int index = PadButtonIndex(event.cbutton.button);
            if (index < 0)
                return;
            state_.buttons[index] = down ? kButtonDown : 0;
            Push(kPadButton0 + static_cast<uint32_t>(index), down ? kButtonDown : 0, stamp);
            return;
        }
        }
        UpdateAxes(stamp);
    } else if (event.type == SDL_CONTROLLERAXISMOTION) {
        if (event.caxis.which != instance_)
            return;
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
            stickX_ = StickDirection(event.caxis.value);
        else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
            stickY_ = StickDirection(event.caxis.value);
        else
            return;
        UpdateAxes(Stamp(event.caxis.timestamp));
    }
}

void PadDevice::OnInputLost()
{
    state_ = PadState{};
    dpadX_ = dpadY_ = stickX_ = stickY_ = 0;
}

} // namespace platform
