#include "platform/input/KeyCodes.h"

#include <SDL.h>

#include <array>
#include <utility>

namespace platform {

namespace {

struct ScanPair {
    SDL_Scancode sdl;
    uint8_t code;
};

constexpr ScanPair kScanPairs[] = {
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_1, 2}, {SDL_SCANCODE_2, 3}, {SDL_SCANCODE_3, 4}, {SDL_SCANCODE_4, 5},
    {SDL_SCANCODE_5, 6}, {SDL_SCANCODE_6, 7}, {SDL_SCANCODE_7, 8}, {SDL_SCANCODE_8, 9},
    {SDL_SCANCODE_9, 10}, {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_MINUS, 12}, {SDL_SCANCODE_EQUALS, 13}, {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16}, {SDL_SCANCODE_W, 17}, {SDL_SCANCODE_E, 18}, {SDL_SCANCODE_R, 19},
    {SDL_SCANCODE_T, 20}, {SDL_SCANCODE_Y, 21}, {SDL_SCANCODE_U, 22}, {SDL_SCANCODE_I, 23},
    {SDL_SCANCODE_O, 24}, {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_LEFTBRACKET, 26}, {SDL_SCANCODE_RIGHTBRACKET, 27}, {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29},
    {SDL_SCANCODE_A, 30}, {SDL_SCANCODE_S, 31}, {SDL_SCANCODE_D, 32}, {SDL_SCANCODE_F, 33},
    {SDL_SCANCODE_G, 34}, {SDL_SCANCODE_H, 35}, {SDL_SCANCODE_J, 36}, {SDL_SCANCODE_K, 37},
    {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39}, {SDL_SCANCODE_APOSTROPHE, 40}, {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_LSHIFT, 42}, {SDL_SCANCODE_BACKSLASH, 43}, {SDL_SCANCODE_NONUSHASH, 43},
    {SDL_SCANCODE_Z, 44}, {SDL_SCANCODE_X, 45}, {SDL_SCANCODE_C, 46}, {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_B, 48}, {SDL_SCANCODE_N, 49}, {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51}, {SDL_SCANCODE_PERIOD, 52}, {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_RSHIFT, 54}, {SDL_SCANCODE_KP_MULTIPLY, 55}, {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_SPACE, 57}, {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59}, {SDL_SCANCODE_F2, 60}, {SDL_SCANCODE_F3, 61}, {SDL_SCANCODE_F4, 62},
    {SDL_SCANCODE_F5, 63}, {SDL_SCANCODE_F6, 64}, {SDL_SCANCODE_F7, 65}, {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67}, {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69}, {SDL_SCANCODE_SCROLLLOCK, 70},
    {SDL_SCANCODE_KP_7, 71}, {SDL_SCANCODE_KP_8, 72}, {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_4, 75}, {SDL_SCANCODE_KP_5, 76}, {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79}, {SDL_SCANCODE_KP_2, 80}, {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_0, 82}, {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86},
    {SDL_SCANCODE_F11, 87}, {SDL_SCANCODE_F12, 88},
    {SDL_SCANCODE_F13, 100}, {SDL_SCANCODE_F14, 101}, {SDL_SCANCODE_F15, 102},
    {SDL_SCANCODE_INTERNATIONAL2, 112}, // kana
    {SDL_SCANCODE_INTERNATIONAL1, 115}, // ro
    {SDL_SCANCODE_INTERNATIONAL4, 121}, // convert
    {SDL_SCANCODE_INTERNATIONAL5, 123}, // no convert
    {SDL_SCANCODE_INTERNATIONAL3, 125}, // yen
    {SDL_SCANCODE_KP_EQUALS, 141},
    {SDL_SCANCODE_STOP, 149},
    {SDL_SCANCODE_KP_ENTER, 156}, {SDL_SCANCODE_RCTRL, 157},
    {SDL_SCANCODE_KP_COMMA, 179}, {SDL_SCANCODE_KP_DIVIDE, 181},
    {SDL_SCANCODE_PRINTSCREEN, 183}, {SDL_SCANCODE_RALT, 184},
    {SDL_SCANCODE_PAUSE, 197},
    {SDL_SCANCODE_HOME, 199}, {SDL_SCANCODE_UP, 200}, {SDL_SCANCODE_PAGEUP, 201},
    {SDL_SCANCODE_LEFT, 203}, {SDL_SCANCODE_RIGHT, 205}, {SDL_SCANCODE_END, 207},
    {SDL_SCANCODE_DOWN, 208}, {SDL_SCANCODE_PAGEDOWN, 209}, {SDL_SCANCODE_INSERT, 210},
    {SDL_SCANCODE_DELETE, 211},
    {SDL_SCANCODE_LGUI, 219}, {SDL_SCANCODE_RGUI, 220}, {SDL_SCANCODE_APPLICATION, 221},
};

struct Tables {
    std::array<uint8_t, SDL_NUM_SCANCODES> toCode{};
    std::array<int, 256> toSdl{};
    Tables()
    {
        for (const ScanPair& pair : kScanPairs) {
            toCode[pair.sdl] = pair.code;
            if (toSdl[pair.code] == 0)
                toSdl[pair.code] = pair.sdl;
        }
    }
};

const Tables& GetTables()
{
    static const Tables tables;
    return tables;
}

// The characters the US layout types without Shift, with their keys.
constexpr std::pair<char, uint8_t> kUsCharacters[] = {
    {'1', 2}, {'2', 3}, {'3', 4}, {'4', 5}, {'5', 6}, {'6', 7}, {'7', 8}, {'8', 9}, {'9', 10},
    {'0', 11}, {'-', 12}, {'=', 13},
    {'q', 16}, {'w', 17}, {'e', 18}, {'r', 19}, {'t', 20}, {'y', 21}, {'u', 22}, {'i', 23},
    {'o', 24}, {'p', 25}, {'[', 26}, {']', 27},
    {'a', 30}, {'s', 31}, {'d', 32}, {'f', 33}, {'g', 34}, {'h', 35}, {'j', 36}, {'k', 37},
    {'l', 38}, {';', 39}, {'\'', 40}, {'`', 41}, {'\\', 43},
    {'z', 44}, {'x', 45}, {'c', 46}, {'v', 47}, {'b', 48}, {'n', 49}, {'m', 50},
    {',', 51}, {'.', 52}, {'/', 53},
};

} // namespace

uint32_t ScanCodeFromSdl(int sdlScancode)
{
    if (sdlScancode <= 0 || sdlScancode >= SDL_NUM_SCANCODES)
        return 0;
    return GetTables().toCode[static_cast<std::size_t>(sdlScancode)];
}

int SdlFromScanCode(uint32_t code)
{
    return code < 256 ? GetTables().toSdl[code] : 0;
}

uint32_t UsKeyForSymbol(int32_t sdlKeySymbol)
{
    if (sdlKeySymbol <= 0 || sdlKeySymbol > 0x7F)
        return 0;
    char c = static_cast<char>(sdlKeySymbol);
    if (c >= 'A' && c <= 'Z')
        c = static_cast<char>(c - 'A' + 'a');
    for (const auto& [character, code] : kUsCharacters)
        if (character == c)
            return code;
    return 0;
}

} // namespace platform
