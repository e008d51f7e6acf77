#pragma once
// The tables shared by all input devices: every bindable button by name, the named action
// handlers that buttons are bound to, and the characters that keys type.

#include "media/InputDevice.h"

#include <functional>
#include <string>
#include <string_view>

struct KeyNameRow {
    const char* name;      // empty in the terminating row
    IInputDevice* device;  // none in the terminating row
    int code;
};

struct ActionRow {
    const char* name;      // empty in the terminating row
    ActionHandler handler; // none in the terminating row
};

constexpr int kKeyNameRowCount = 140;
// The 140 buttons, then the terminating row.
extern const KeyNameRow keyNameTable[kKeyNameRowCount + 1];
extern const ActionRow actionTable[];

// The name of the first row with this device and code, or the empty text.
std::string KeyNameFromCode(const IInputDevice* device, int code);
std::string KeyName(int code, const IInputDevice* device);
// The code of the first keyboard row with exactly this name, or 0.
int KeyCodeFromName(std::string_view name);
// The handler of the named action, or none.
ActionHandler FindAction(std::string_view name);
// Binds the named action to the named button without repeat: 0, kBindUnknownKey or
// kBindUnknownAction (the bindings then stay as they were).
int BindKeyToAction(std::string_view keyName, std::string_view actionName);

// The character a key types (0 for none); the second table holds the shifted characters.
char KeyToChar(int code, bool shift);

// What the shell actions do; each runs on a press. Without a quit hook "quit" asks the
// main loop to end; without a console hook "toggleconsole" and "closeconsole" do nothing;
// without the others they only log.
struct ShellActionHooks {
    std::function<void()> quit;
    std::function<void()> changeDisplayMode;
    std::function<void()> toggleMovieMode;
    std::function<void()> screenshot;
    std::function<void()> toggleConsole;
    std::function<void()> closeConsole;
};
void SetShellActionHooks(ShellActionHooks hooks);
