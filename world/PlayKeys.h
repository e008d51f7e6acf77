#pragma once
// The play keys: the handlers of the player's key commands that act on the selected flimb
// or on the world's switches. Each gets down = true on a press and false on a release. The
// rows below are the world's part of the program's key-command table, which the game mode
// copies into its command list and runs for the command bound to a key.
#include <cstdint>
#include <string>
#include <vector>

using KeyCommandHandler = void (*)(bool down);

struct KeyCommand {
    const char* name;
    KeyCommandHandler handler;
    const char* category;    // tab of the key binding window
    const char* description; // "" where the binding window shows none
};

// The world's key commands, in table order.
const std::vector<KeyCommand>& WorldKeyCommands();
// The handler of a command name (exact), or null.
KeyCommandHandler FindWorldKeyCommand(const std::string& name);
// Runs the world command bound to the key (by its key-table name) in the player's key
// bindings; true when one ran.
bool RunBoundKeyCommand(const std::string& keyName, bool down);

// Orders an action for the selected flimb (the action keys, the belt): unless the game is
// paused, stamps the action-key time when asked, hides the belt and passes the order on.
void SelectAction(uint8_t action, uint8_t argument, bool stamp);

// The handlers of the table and those waiting for a name in it.
void OverlaysOffKey(bool down);
