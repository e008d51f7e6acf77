#include "platform/input/KeyboardDevice.h"

#include "platform/input/InputSystem.h"
#include "platform/input/KeyCodes.h"

#include <SDL.h>

#include <cstring>

namespace platform {

KeyboardDevice::KeyboardDevice(InputSystem& system) : BufferedDevice(system, Kind::Keyboard) {}

InputResult KeyboardDevice::GetState(uint8_t (&state)[kKeyCount])
{
    if (!system_)
        return InputResult::NoDevice;
    if (IsLost())
        return InputResult::InputLost;
    if (!IsAcquired())
        return InputResult::NotAcquired;
    std::memcpy(state, state_.data(), kKeyCount);
    return InputResult::Ok;
}

uint32_t KeyboardDevice::ToUsLayout(uint32_t code) const
{
    if (code >= kKeyCount)
        return code;
    int32_t symbol = layoutSymbol_[code];
    if (symbol == 0) {
        const int scancode = SdlFromScanCode(code);
        if (scancode == 0)
            return code;
        symbol = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode));
    }
    const uint32_t usKey = UsKeyForSymbol(symbol);
    return usKey != 0 ? usKey : code;
}

void KeyboardDevice::Feed(const SDL_Event& event)
{
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP)
        return;
    if (event.key.repeat != 0)
        return; // typematic repeats are the game's business, not the device's
    const uint32_t code = ScanCodeFromSdl(event.key.keysym.scancode);
    if (code == 0)
        return;
    if (!IsAcquired() || IsLost() || !system_ || !system_->IsForeground())
        return;
    layoutSymbol_[code] = event.key.keysym.sym;
    const bool down = event.type == SDL_KEYDOWN;
    state_[code] = down ? kButtonDown : 0;
    const uint32_t stamp = event.key.timestamp != 0 ? event.key.timestamp : InputSystem::Ticks();
    Push(code, down ? kButtonDown : 0, stamp);
}

void KeyboardDevice::OnInputLost()
{
    state_.fill(0);
}

} // namespace platform
