#pragma once
// The key actions a player can bind keys to: one table of 44 rows, each with the action's
// name (the binding store's key and the first part of the binding boxes' names), its
// handler, the tab of the key binding window it shows on ("Common" or "Advanced") and the
// boxes' tooltip. Handlers get a non-zero value on key down and 0 on key up.
//
// The play keys are the world's. The HUD's actions and "PauseGame" do nothing (the hint key
// only flips the hint switch) until the HUD and the session install their handlers
// (SetBindableActionHandler); "TrapAction" and "TrapExit" have no handler. The game modes
// copy the rows into their command lists.
#include <functional>
#include <string>
#include <vector>

struct BindableAction {
    std::string name;
    std::function<void(int pressed)> handler; // none for "TrapAction" and "TrapExit"
    std::string category;                     // "Common" or "Advanced"
    std::string description;
};

// The 44 actions in table order.
const std::vector<BindableAction>& BindableActions();
// The row of that name (exact), or null.
const BindableAction* FindBindableAction(const std::string& name);
// Whether the action has a handler (every action but "TrapAction" and "TrapExit").
bool BindableActionHasHandler(const std::string& name);
// Runs the named action's handler; false for an unknown name or an action without one.
bool RunBindableAction(const std::string& name, int pressed);
// Replaces a row's handler (tests, and actions whose subsystem installs its own); null
// gives the row its own handler back. "TrapAction" and "TrapExit" keep none; an unknown
// name is ignored.
void SetBindableActionHandler(const std::string& name, std::function<void(int pressed)> handler);
