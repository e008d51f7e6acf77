#pragma once
// The buffered game pad on the first game controller present: a digital X/Y axis
// (-kPadAxisMax, 0, kPadAxisMax) from the d-pad or the left stick, and buttons from
// offset 48 on: A, B, X, Y, left shoulder, right shoulder, back, start, left stick,
// right stick, guide.

#include "platform/input/BufferedDevice.h"

#include <cstdint>

union SDL_Event;
struct _SDL_GameController;

namespace platform {

struct PadState {
    int32_t x = 0;
    int32_t y = 0;
    uint8_t buttons[kPadButtonCount] = {};
};

class PadDevice : public BufferedDevice {
public:
    explicit PadDevice(InputSystem& system);
    ~PadDevice() override;

    // True while a controller is attached.
    bool IsAttached() const { return controller_ != nullptr; }
    InputResult GetState(PadState& state);

private:
    friend class InputSystem;
    void Feed(const SDL_Event& event) override;
    void OnInputLost() override;
    bool AttachFirst();
    void Detach();
    void SetAxis(uint32_t offset, int32_t value, uint32_t stamp);
    void UpdateAxes(uint32_t stamp);

    _SDL_GameController* controller_ = nullptr;
    int32_t instance_ = -1;
    bool subsystemStarted_ = false;
    PadState state_;
    // Digital d-pad (-1, 0, 1 per axis) and stick directions, combined into the state axes.
    int dpadX_ = 0, dpadY_ = 0, stickX_ = 0, stickY_ = 0;
};

} // namespace platform
