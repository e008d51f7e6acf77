#pragma once
// Conversions between SDL key identifiers and the scan codes the game uses.

#include <cstdint>

namespace platform {

// Scan code of a positional SDL scancode; 0 when the key has none.
uint32_t ScanCodeFromSdl(int sdlScancode);
// SDL scancode of a scan code; 0 (unknown) when there is none.
int SdlFromScanCode(uint32_t code);
// The US key that types the character of an SDL key symbol without Shift (letters in
// either case): 'a' -> 30, ';' -> 39. 0 when no unshifted US key types it.
uint32_t UsKeyForSymbol(int32_t sdlKeySymbol);

} // namespace platform
