// The front end's part of the simulation's hooks (game/GameHooks.h), filled when the program
// starts: the key action table the game modes copy into their command lists.
#include "game/GameHooks.h"

#include "frontend/options/BindableAction.h"

namespace {

std::vector<KeyActionRow> KeyActionTable()
{
    std::vector<KeyActionRow> rows;
    for (const BindableAction& action : BindableActions())
        rows.push_back(KeyActionRow{action.name, action.handler, action.category, action.description});
    return rows;
}

[[maybe_unused]] const bool g_installed = [] {
    CurrentGameHooks().keyActions = KeyActionTable;
    return true;
}();

} // namespace
