#pragma once
// The buffered keyboard: 256 key-state bytes and press/release events by scan code.
//
// Codes are positional (the key's place on the keyboard). `ToUsLayout` turns a code into
// the key of the US layout that types the same character under the user's layout.

#include "platform/input/BufferedDevice.h"

#include <array>
#include <cstdint>

union SDL_Event;

namespace platform {

class KeyboardDevice : public BufferedDevice {
public:
    explicit KeyboardDevice(InputSystem& system);

    // Copies the state of all keys (0x80 = down). InputLost after the focus was lost.
    InputResult GetState(uint8_t (&state)[kKeyCount]);

    // The US-layout key that types what the key at `code` types under the current layout;
    // `code` itself when the layout's character is not typed by an unshifted US key.
    uint32_t ToUsLayout(uint32_t code) const;

private:
    friend class InputSystem;
    void Feed(const SDL_Event& event) override;
    void OnInputLost() override;

    std::array<uint8_t, kKeyCount> state_{};
    // The layout's key symbol last seen for each code (0: not seen, ask the layout).
    std::array<int32_t, kKeyCount> layoutSymbol_{};
};

} // namespace platform
