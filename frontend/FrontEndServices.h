#pragma once
// The front end's main menu.

// Opens the main menu unless it is open already.
void ShowFrontEnd();

// ---- The bindable actions (the key binding window's table) ---------------------------
#include <functional>
#include <string>
#include <vector>

struct BindableAction {
    std::string name;
    std::function<void(int pressed)> handler; // none for "TrapAction" and "TrapExit"
    std::string category;                     // "Common" or "Advanced"
    std::string description;
};

// The 44 actions in table order; the game modes copy them into their command lists.
const std::vector<BindableAction>& BindableActions();
// The HUD and the game's routines give their actions a handler; an unknown name is
// ignored. Null takes the handler away.
void SetBindableActionHandler(const std::string& name, std::function<void(int pressed)> handler);
