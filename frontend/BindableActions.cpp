// The bindable actions: name, category and tooltip of every game action a key can be bound
// to, in the key binding window's order. Handlers are given by the HUD and the game's
// routines as they are built.
#include "frontend/FrontEndServices.h"

namespace {

std::vector<BindableAction> MakeTable()
{
    struct Row {
        const char* name;
        const char* category;
        const char* description;
    };
    static const Row rows[] = {
        {"Clob", "Common", "Issues the Clob Morph to the selected flimb."},
        {"Mold", "Common", "Issues the Mold Morph to the selected flimb."},
        {"Nova", "Common", "Issues the Nova Morph to the selected flimb."},
        {"Drill", "Common", "Issues the Drill Morph to the selected flimb."},
        {"Gulp", "Common", "Issues the Gulp Down Morph to the selected flimb."},
        {"Doppel", "Common", "Issues the Doppel Morph to the selected flimb."},
        {"Atomize", "Common", "Issues the Atomize Morph to the selected flimb."},
        {"Lop", "Common", "Issues the Lop Morph to the selected flimb."},
        {"Puff", "Common", "Issues the Puff Morph to the selected flimb."},
        {"Spin", "Common", "Issues the Spin Morph to the selected flimb."},
        {"GulpUp", "Common", "Issues the Gulp Up Morph to the selected flimb."},
        {"Walk", "Common", "Cancels the Mold, Drill, Gulp, Clob, or Puff Morph for the selected flimb."},
        {"ChatMode", "Common", "Enter chat mode during multiplayer."},
        {"SuperNova", "Common", "Issues a Nova Morph to all your flimbs."},
        {"ShowFuture", "Common", "Displays the future of the selected flimb."},
        {"PauseGame", "Common", "Pauses the game. (server only)"},
        {"ShowScores", "Advanced", "Shows multiplayer score."},
        {"WalkLeft", "Advanced", "Move a light flimb to the left."},
        {"WalkRight", "Advanced", "Move a light flimb to the right"},
        {"Jump", "Advanced", "Make a light flimb jump."},
        {"LeftFlimb", "Advanced", "Select the nearest flimb to the left of the currently selected flimb."},
        {"RightFlimb", "Advanced", "Select the nearest flimb to the right of the currently selected flimb."},
        {"HideOwnTeam", "Advanced", "Hide all flimbs in your group. (to spot opponent flimbs)"},
        {"HideOtherTeams", "Advanced", "Hide all flimbs in groups you do not control. (to spot your own flimbs)"},
        {"MiniMap", "Common", "Displays the mini-map for the current level."},
        {"ShowFlimbCounts", "Advanced", "Displays the number of flimbs underneath the mouse cursor."},
        {"ShowFMView", "Advanced", "During a Multiverse match this will cycle through each FlimbMaster's view."},
        {"ShowHint", "Advanced", "Display puzzle hints. (not all levels have hints)"},
        {"Quick", "Common", "Speed up/slow down time in singleplayer."},
        {"LoadCheckpoint", "Common", "Load the auto or user checkpoint in singleplayer."},
        {"SaveCheckpoint", "Common", "Save a user checkpoint in singleplayer."},
        {"FollowFlimb", "Advanced", "Enable follow-flimb mode. (camera will follow selected flimb)"},
        {"HoldBelt", "Advanced", "Hold the belt open after you select a morph. (for quick combos)"},
        {"ChatHistory", "Advanced", "Show/hide the chat history window in multiplayer."},
        {"NextHistory", "Advanced", "Cycle through the flimbs in the history filmstrip."},
        {"PrevHistory", "Advanced", "Cycle through the flimbs in the history filmstrip."},
        {"PinFlimb", "Advanced", "Pins the selected flimb in the history filmstrip."},
        {"ForceLeft", "Advanced", "Force the next selection/morph to only apply to flimbs facing left."},
        {"ForceRight", "Advanced", "Force the next selection/morph to only apply to flimbs facing right."},
        {"Stamp", "Advanced", "Show the stamp menu."},
        {"Decoration", "Advanced", "Show the decoration menu if a flimb is selected."},
        {"TrapAction", "Advanced", "Perform action when flimb is in a trap."},
        {"TrapExit", "Advanced", "Exit a trap that a flimb is in."},
        {"FreezeTime", "Advanced",
         "Freeze time to help issue morphs. Increases the time stat and lowers your ranking."},
    };
    std::vector<BindableAction> table;
    for (const Row& row : rows)
        table.push_back(BindableAction{row.name, {}, row.category, row.description});
    return table;
}

std::vector<BindableAction>& Table()
{
    static std::vector<BindableAction> table = MakeTable();
    return table;
}

} // namespace

const std::vector<BindableAction>& BindableActions()
{
    return Table();
}

void SetBindableActionHandler(const std::string& name, std::function<void(int pressed)> handler)
{
    if (name == "TrapAction" || name == "TrapExit")
        return; // these two have no handler
    for (BindableAction& action : Table())
        if (action.name == name) {
            action.handler = std::move(handler);
            return;
        }
}
