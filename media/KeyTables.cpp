#include "media/KeyTables.h"

#include "app/Log.h"
#include "media/KBManager.h"
#include "media/MSManager.h"
#include "media/PADManager.h"
#include "platform/window/MainWindow.h"

#include <array>

namespace {

constexpr IInputDevice* KB = &kbManager;
constexpr IInputDevice* MS = &msManager;
constexpr IInputDevice* PAD = &padManager;

ShellActionHooks& Hooks()
{
    static ShellActionHooks hooks;
    return hooks;
}

void RunShellHook(const std::function<void()>& hook, const char* name)
{
    if (hook)
        hook();
    else
        WriteLog("No handler for the action %s\n", name);
}

void Nop(int, uint32_t) {}

void Quit(int value, uint32_t)
{
    if (value == 0)
        return;
    if (Hooks().quit)
        Hooks().quit();
    else
        platform::RequestQuit();
}

void ChangeDisplayMode(int value, uint32_t)
{
    if (value != 0)
        RunShellHook(Hooks().changeDisplayMode, "ChangeDisplayMode");
}

void ToggleMovieMode(int value, uint32_t)
{
    if (value != 0)
        RunShellHook(Hooks().toggleMovieMode, "ToggleMovieMode");
}

void ToggleConsole(int value, uint32_t)
{
    if (value != 0 && Hooks().toggleConsole)
        Hooks().toggleConsole();
}

void CloseConsole(int value, uint32_t)
{
    if (value != 0 && Hooks().closeConsole)
        Hooks().closeConsole();
}

void Screenshot(int value, uint32_t)
{
    if (value != 0)
        RunShellHook(Hooks().screenshot, "screenshot");
}

void LeftClick(int value, uint32_t time) { msManager.RouteButton(0, value, time); }
void RightClick(int value, uint32_t time) { msManager.RouteButton(1, value, time); }
void OnWheel(int value, uint32_t time) { msManager.RouteWheel(value, time); }
void Pad1(int value, uint32_t time) { padManager.RunPadAction(1, value, time); }
void Pad4(int value, uint32_t time) { padManager.RunPadAction(4, value, time); }
void Pad5(int value, uint32_t time) { padManager.RunPadAction(5, value, time); }

struct CharTables {
    std::array<char, 256> plain{};
    std::array<char, 256> shifted{};
    CharTables()
    {
        const char* digits = "1234567890-=";
        for (int i = 0; i < 12; ++i)
            plain[2 + i] = digits[i];
        plain[14] = 8;
        plain[15] = 9;
        plain[28] = plain[156] = 10;
        const char* rows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
        const int starts[] = {16, 30, 44};
        for (int r = 0; r < 3; ++r)
            for (int i = 0; rows[r][i]; ++i)
                plain[starts[r] + i] = rows[r][i];
        plain[26] = '[';
        plain[27] = ']';
        plain[39] = ';';
        plain[40] = '\'';
        plain[41] = '`';
        plain[43] = '\\';
        plain[51] = ',';
        plain[52] = '.';
        plain[53] = '/';
        plain[55] = '*';
        plain[57] = ' ';
        const char* pad = "789-456+1230.";
        for (int i = 0; i < 13; ++i)
            plain[71 + i] = pad[i];
        plain[141] = '=';
        plain[181] = '/';
        plain[201] = 1;
        plain[209] = 2;
        plain[199] = 3;
        plain[200] = 24;
        plain[208] = 25;

        shifted = plain;
        const char* shiftedDigits = "!@#$%^&*()_+";
        for (int i = 0; i < 12; ++i)
            shifted[2 + i] = shiftedDigits[i];
        for (int code = 0; code < 256; ++code)
            if (plain[code] >= 'a' && plain[code] <= 'z')
                shifted[code] = static_cast<char>(plain[code] - 'a' + 'A');
        shifted[26] = '{';
        shifted[27] = '}';
        shifted[39] = ':';
        shifted[40] = '"';
        shifted[41] = '~';
        shifted[43] = '|';
        shifted[51] = '<';
        shifted[52] = '>';
        shifted[53] = '?';
    }
};

const CharTables& Chars()
{
    static const CharTables tables;
    return tables;
}

} // namespace

const KeyNameRow keyNameTable[kKeyNameRowCount + 1] = {
    {"ESCAPE", KB, 1}, {"1", KB, 2}, {"2", KB, 3}, {"3", KB, 4}, {"4", KB, 5}, {"5", KB, 6},
    {"6", KB, 7}, {"7", KB, 8}, {"8", KB, 9}, {"9", KB, 10}, {"0", KB, 11}, {"MINUS", KB, 12},
    {"EQUALS", KB, 13}, {"BACKSPACE", KB, 14}, {"TAB", KB, 15}, {"Q", KB, 16}, {"W", KB, 17},
    {"E", KB, 18}, {"R", KB, 19}, {"T", KB, 20}, {"Y", KB, 21}, {"U", KB, 22}, {"I", KB, 23},
    {"O", KB, 24}, {"P", KB, 25}, {"LBRACKET", KB, 26}, {"RBRACKET", KB, 27}, {"RETURN", KB, 28},
    {"LCONTROL", KB, 29}, {"A", KB, 30}, {"S", KB, 31}, {"D", KB, 32}, {"F", KB, 33},
    {"G", KB, 34}, {"H", KB, 35}, {"J", KB, 36}, {"K", KB, 37}, {"L", KB, 38},
    {"SEMICOLON", KB, 39}, {"APOSTROPHE", KB, 40}, {"GRAVE", KB, 41}, {"LSHIFT", KB, 42},
    {"BACKSLASH", KB, 43}, {"Z", KB, 44}, {"X", KB, 45}, {"C", KB, 46}, {"V", KB, 47},
    {"B", KB, 48}, {"N", KB, 49}, {"M", KB, 50}, {"COMMA", KB, 51}, {"PERIOD", KB, 52},
    {"SLASH", KB, 53}, {"RSHIFT", KB, 54}, {"NUMPADSTAR", KB, 55}, {"LALT", KB, 56},
    {"SPACE", KB, 57}, {"CAPSLOCK", KB, 58}, {"F1", KB, 59}, {"F2", KB, 60}, {"F3", KB, 61},
    {"F4", KB, 62}, {"F5", KB, 63}, {"F6", KB, 64}, {"F7", KB, 65}, {"F8", KB, 66},
    {"F9", KB, 67}, {"F10", KB, 68}, {"NUMLOCK", KB, 69}, {"SCROLL", KB, 70},
    {"NUMPAD7", KB, 71}, {"NUMPAD8", KB, 72}, {"NUMPAD9", KB, 73}, {"NUMPADMINUS", KB, 74},
    {"NUMPAD4", KB, 75}, {"NUMPAD5", KB, 76}, {"NUMPAD6", KB, 77}, {"NUMPADPLUS", KB, 78},
    {"NUMPAD1", KB, 79}, {"NUMPAD2", KB, 80}, {"NUMPAD3", KB, 81}, {"NUMPAD0", KB, 82},
    {"NUMPADPERIOD", KB, 83},
    {"F11", KB, 87}, {"F12", KB, 88}, {"F13", KB, 100}, {"F14", KB, 101}, {"F15", KB, 102},
    {"KANA", KB, 112}, {"CONVERT", KB, 121}, {"NOCONVERT", KB, 123}, {"YEN", KB, 125},
    {"NUMPADEQUALS", KB, 141}, {"CIRCUMFLEX", KB, 144}, {"AT", KB, 145}, {"COLON", KB, 146},
    {"UNDERLINE", KB, 147}, {"KANJI", KB, 148}, {"STOP", KB, 149}, {"AX", KB, 150},
    {"UNLABELED", KB, 151},
    {"NUMPADENTER", KB, 156}, {"RCONTROL", KB, 157}, {"NUMPADCOMMA", KB, 179},
    {"NUMPADSLASH", KB, 181}, {"SYSRQ", KB, 183}, {"RALT", KB, 184},
    {"HOME", KB, 199}, {"UPARROW", KB, 200}, {"PGUP", KB, 201}, {"LEFTARROW", KB, 203},
    {"RIGHTARROW", KB, 205}, {"END", KB, 207}, {"DOWNARROW", KB, 208}, {"PGDN", KB, 209},
    {"INSERT", KB, 210}, {"DELETE", KB, 211}, {"PAUSE", KB, 197}, {"LWIN", KB, 219},
    {"RWIN", KB, 220}, {"APPS", KB, 221},
    {"LEFT MOUSE", MS, 12}, {"RIGHT MOUSE", MS, 13}, {"MIDDLE MOUSE", MS, 14}, {"WHEEL", MS, 8},
    {"PAD0", PAD, 48}, {"PAD1", PAD, 49}, {"PAD2", PAD, 50}, {"PAD3", PAD, 51}, {"PAD4", PAD, 52},
    {"PAD5", PAD, 53}, {"PAD6", PAD, 54}, {"PAD7", PAD, 55}, {"PAD8", PAD, 56}, {"PAD9", PAD, 57},
    {"PAD10", PAD, 58},
    {"PADDOWN", PAD, 5}, {"PADUP", PAD, 4}, {"PADLEFT", PAD, 0}, {"PADRIGHT", PAD, 1},
    {"", nullptr, 0},
};

const ActionRow actionTable[] = {
    {"nop", Nop},
    {"quit", Quit},
    {"ChangeDisplayMode", ChangeDisplayMode},
    {"ToggleMovieMode", ToggleMovieMode},
    {"screenshot", Screenshot},
    {"leftclick", LeftClick},
    {"rightclick", RightClick},
    {"toggleconsole", ToggleConsole},
    {"closeconsole", CloseConsole},
    {"pad0", Nop},
    {"pad1", Pad1},
    {"pad2", Nop},
    {"pad3", Nop},
    {"pad4", Pad4},
    {"pad5", Pad5},
    {"OnWheel", OnWheel},
    {"", nullptr},
};

std::string KeyNameFromCode(const IInputDevice* device, int code)
{
    for (const KeyNameRow* row = keyNameTable; row->device; ++row)
        if (row->device == device && row->code == code)
            return row->name;
    return {};
}

std::string KeyName(int code, const IInputDevice* device)
{
    return KeyNameFromCode(device, code);
}

int KeyCodeFromName(std::string_view name)
{
    for (const KeyNameRow* row = keyNameTable; row->device; ++row)
        if (row->device == KB && name == row->name)
            return row->code;
    return 0;
}

ActionHandler FindAction(std::string_view name)
{
    for (const ActionRow* row = actionTable; row->handler; ++row)
        if (name == row->name)
            return row->handler;
    return nullptr;
}

int BindKeyToAction(std::string_view keyName, std::string_view actionName)
{
    const KeyNameRow* key = nullptr;
    for (const KeyNameRow* row = keyNameTable; row->device; ++row) {
        if (keyName == row->name) {
            key = row;
            break;
        }
    }
    if (!key)
        return kBindUnknownKey;
    const ActionHandler handler = FindAction(actionName);
    if (!handler)
        return kBindUnknownAction;
    return key->device->BindButton(key->code, handler, kNoRepeat, 0);
}

char KeyToChar(int code, bool shift)
{
    if (code < 0 || code > 255)
        return 0;
    return shift ? Chars().shifted[static_cast<std::size_t>(code)] : Chars().plain[static_cast<std::size_t>(code)];
}

void SetShellActionHooks(ShellActionHooks hooks)
{
    Hooks() = std::move(hooks);
}
