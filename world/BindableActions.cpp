// The key action table: name, handler, tab and tooltip of every game action a key can be
// bound to, in the key binding window's order.
#include "world/BindableAction.h"

#include "game/GameController.h"
#include "world/LandscapeKeys.h"
#include "world/PlayKeys.h"

namespace {

using PlainKeyHandler = void (*)(int pressed);

// The world's play keys take a flag.
template <void (*Key)(bool)>
void PlayAction(int pressed)
{
    Key(pressed != 0);
}

// "PauseGame" asks the game server; the session installs its handler
// (SetBindableActionHandler), so without one there is nothing to ask.
void NoSessionYet(int) {}

// The HUD's actions act on HUD controls: the HUD installs its handlers when its console
// starts, and until then none is open.
void NoHudYet(int) {}

// The hint key flips the level's hint switch.
void HintKey(int pressed)
{
    if (pressed)
        Controller().hintsShown = Controller().hintsShown ? 0 : 1;
}

struct ActionRow {
    const char* name;
    PlainKeyHandler handler;
    const char* category;
    const char* description;
};

// clang-format off
constexpr ActionRow kActionRows[] = {
    {"Clob", PlayAction<ClobKey>, "Common", "Issues the Clob Morph to the selected flimb."},
    {"Mold", PlayAction<MoldKey>, "Common", "Issues the Mold Morph to the selected flimb."},
    {"Nova", PlayAction<NovaKey>, "Common", "Issues the Nova Morph to the selected flimb."},
    {"Drill", PlayAction<DrillKey>, "Common", "Issues the Drill Morph to the selected flimb."},
    {"Gulp", PlayAction<GulpKey>, "Common", "Issues the Gulp Down Morph to the selected flimb."},
    {"Doppel", PlayAction<DoppelKey>, "Common", "Issues the Doppel Morph to the selected flimb."},
    {"Atomize", PlayAction<AtomizeKey>, "Common", "Issues the Atomize Morph to the selected flimb."},
    {"Lop", PlayAction<LopKey>, "Common", "Issues the Lop Morph to the selected flimb."},
    {"Puff", PlayAction<PuffKey>, "Common", "Issues the Puff Morph to the selected flimb."},
    {"Spin", PlayAction<SpinKey>, "Common", "Issues the Spin Morph to the selected flimb."},
    {"GulpUp", PlayAction<GulpUpKey>, "Common", "Issues the Gulp Up Morph to the selected flimb."},
    {"Walk", PlayAction<WalkKey>, "Common", "Cancels the Mold, Drill, Gulp, Clob, or Puff Morph for the selected flimb."},
    {"ChatMode", NoHudYet, "Common", "Enter chat mode during multiplayer."},
    {"SuperNova", NoHudYet, "Common", "Issues a Nova Morph to all your flimbs."},
    {"ShowFuture", NoHudYet, "Common", "Displays the future of the selected flimb."},
    {"PauseGame", NoSessionYet, "Common", "Pauses the game. (server only)"},
    {"ShowScores", PlayAction<ShowScoresKey>, "Advanced", "Shows multiplayer score."},
    {"WalkLeft", PlayAction<WalkLeftKey>, "Advanced", "Move a light flimb to the left."},
    {"WalkRight", PlayAction<WalkRightKey>, "Advanced", "Move a light flimb to the right"},
    {"Jump", PlayAction<JumpKey>, "Advanced", "Make a light flimb jump."},
    {"LeftFlimb", PlayAction<SelectFlimbLeft>, "Advanced", "Select the nearest flimb to the left of the currently selected flimb."},
    {"RightFlimb", PlayAction<SelectFlimbRight>, "Advanced", "Select the nearest flimb to the right of the currently selected flimb."},
    {"HideOwnTeam", PlayAction<HideOwnTeamKey>, "Advanced", "Hide all flimbs in your group. (to spot opponent flimbs)"},
    {"HideOtherTeams", PlayAction<HideOtherTeamsKey>, "Advanced", "Hide all flimbs in groups you do not control. (to spot your own flimbs)"},
    {"MiniMap", NoHudYet, "Common", "Displays the mini-map for the current level."},
    {"ShowFlimbCounts", NoHudYet, "Advanced", "Displays the number of flimbs underneath the mouse cursor."},
    {"ShowFMView", NoHudYet, "Advanced", "During a Multiverse match this will cycle through each FlimbMaster's view."},
    {"ShowHint", HintKey, "Advanced", "Display puzzle hints. (not all levels have hints)"},
    {"Quick", PlayAction<QuickKey>, "Common", "Speed up/slow down time in singleplayer."},
    {"LoadCheckpoint", NoHudYet, "Common", "Load the auto or user checkpoint in singleplayer."},
    {"SaveCheckpoint", NoHudYet, "Common", "Save a user checkpoint in singleplayer."},
    {"FollowFlimb", PlayAction<FollowFlimbKey>, "Advanced", "Enable follow-flimb mode. (camera will follow selected flimb)"},
    {"HoldBelt", PlayAction<HoldBeltKey>, "Advanced", "Hold the belt open after you select a morph. (for quick combos)"},
    {"ChatHistory", NoHudYet, "Advanced", "Show/hide the chat history window in multiplayer."},
    {"NextHistory", NoHudYet, "Advanced", "Cycle through the flimbs in the history filmstrip."},
    {"PrevHistory", NoHudYet, "Advanced", "Cycle through the flimbs in the history filmstrip."},
    {"PinFlimb", NoHudYet, "Advanced", "Pins the selected flimb in the history filmstrip."},
    {"ForceLeft", PlayAction<ForceLeftKey>, "Advanced", "Force the next selection/morph to only apply to flimbs facing left."},
    {"ForceRight", PlayAction<ForceRightKey>, "Advanced", "Force the next selection/morph to only apply to flimbs facing right."},
    {"Stamp", NoHudYet, "Advanced", "Show the stamp menu."},
    {"Decoration", NoHudYet, "Advanced", "Show the decoration menu if a flimb is selected."},
    {"TrapAction", nullptr, "Advanced", "Perform action when flimb is in a trap."},
    {"TrapExit", nullptr, "Advanced", "Exit a trap that a flimb is in."},
    {"FreezeTime", NoHudYet, "Advanced",
     "Freeze time to help issue morphs. Increases the time stat and lowers your ranking."},
};
// clang-format on
static_assert(std::size(kActionRows) == 44);

std::vector<BindableAction> MakeActionTable()
{
    std::vector<BindableAction> table;
    for (const ActionRow& row : kActionRows) {
        BindableAction action{row.name, {}, row.category, row.description};
        if (row.handler)
            action.handler = row.handler;
        table.push_back(std::move(action));
    }
    return table;
}

std::vector<BindableAction>& ActionTable()
{
    static std::vector<BindableAction> table = MakeActionTable();
    return table;
}

const ActionRow* FindActionRow(const std::string& name)
{
    for (const ActionRow& row : kActionRows)
        if (name == row.name)
            return &row;
    return nullptr;
}

} // namespace

const std::vector<BindableAction>& BindableActions()
{
    return ActionTable();
}

const BindableAction* FindBindableAction(const std::string& name)
{
    for (const BindableAction& action : ActionTable())
        if (action.name == name)
            return &action;
    return nullptr;
}

bool BindableActionHasHandler(const std::string& name)
{
    const ActionRow* row = FindActionRow(name);
    return row && row->handler;
}

bool RunBindableAction(const std::string& name, int pressed)
{
    const BindableAction* action = FindBindableAction(name);
    if (!action || !action->handler)
        return false;
    action->handler(pressed);
    return true;
}

void SetBindableActionHandler(const std::string& name, std::function<void(int pressed)> handler)
{
    const ActionRow* row = FindActionRow(name);
    if (!row || !row->handler)
        return; // unknown, or one of the two actions without a handler
    for (BindableAction& action : ActionTable())
        if (action.name == name) {
            action.handler = handler ? std::move(handler) : std::function<void(int)>(row->handler);
            return;
        }
}
