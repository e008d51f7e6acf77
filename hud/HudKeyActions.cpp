#include "hud/HudKeyActions.h"

#include "gui/CheckBox.h"
#include "gui/WindowList.h"
#include "hud/FlimbsHUD.h"
#include "hud/HudActions.h"
#include "hud/HistoryFilmStrip.h"
#include "hud/HudGame.h"
#include "hud/Selectors.h"
#include "hud/TimeControls.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"
#include "world/BindableAction.h"

#include <iterator>

namespace {

constexpr int kPlaybackSession = 2;
constexpr int kRunPaused = 2;

Container<Primitive>* OpenContainer(const char* name)
{
    return dynamic_cast<Container<Primitive>*>(FindOpenWindow(name));
}

// The game view of the HUD, or of the playback HUD during a playback.
HudGameView* CountsView()
{
    const char* window = CurrentHudGame().SessionKind() == kPlaybackSession ? "PLAYBACK_HUD" : "FLIMBS_HUD";
    auto* hud = dynamic_cast<HudWindow*>(FindOpenWindow(window));
    return hud ? hud->GameView() : nullptr;
}

} // namespace

namespace HudKeyActions {

void ChatMode(int pressed)
{
    if (!pressed)
        return;
    if (Container<Primitive>* hud = OpenContainer("FLIMBS_HUD"))
        if (Primitive* chat = hud->FindChild("CHAT_BOX"))
            chat->TakeFocus();
}

void ShowScores(int pressed)
{
    if (FindOpenWindow("ScoreButton"))
        ShowScoresWindow(pressed != 0);
}

void SuperNova(int pressed)
{
    if (pressed && !CurrentHudGame().LocalIsSpectator())
        GoSuperNova(nullptr);
}

void ShowFlimbCounts(int pressed)
{
    if (HudGameView* view = CountsView())
        view->SetShowCounts(pressed != 0);
}

void MiniMap(int pressed)
{
    Container<Primitive>* window = OpenContainer("FLIMBS_HUD");
    if (!window)
        window = OpenContainer("PlaybackVCR");
    auto* box = window ? dynamic_cast<CheckBox*>(window->FindChild("MinimapCheckBox")) : nullptr;
    if (box)
        box->SetChecked(pressed != 0, false, true);
}

void ChatHistory(int pressed)
{
    if (!pressed)
        return;
    Container<Primitive>* hud = OpenContainer("FLIMBS_HUD");
    if (auto* box = hud ? dynamic_cast<CheckBox*>(hud->FindChild("chatCheck")) : nullptr)
        box->SetChecked(!box->IsChecked(), false, true);
}

void LoadCheckpoint(int pressed)
{
    if (pressed)
        RestoreCheckpoint(nullptr);
}

void SaveCheckpoint(int pressed)
{
    if (pressed)
        SetCheckpoint(nullptr);
}

void Stamp(int pressed)
{
    if (pressed)
        OpenStampSelector(nullptr);
}

void Decoration(int pressed)
{
    if (pressed)
        OpenDecorationSelector(nullptr);
}

void ShowFuture(int pressed)
{
    Container<Primitive>* hud = pressed ? OpenContainer("FLIMBS_HUD") : nullptr;
    if (auto* box = hud ? dynamic_cast<QuantumTimeCheckBox*>(hud->FindChild(QuantumTimeCheckBox::kName)) : nullptr)
        box->Toggle();
}

void ShowFMView(int pressed)
{
    if (pressed)
        ShowOtherView(nullptr);
}

void NextHistory(int pressed)
{
    HistoryNextKey(pressed != 0);
}

void PrevHistory(int pressed)
{
    HistoryPreviousKey(pressed != 0);
}

void PinFlimb(int pressed)
{
    HistoryPinKey(pressed != 0);
}

void FreezeTime(int pressed)
{
    HudGame& game = CurrentHudGame();
    if (!pressed || game.IsMultiplayer() || game.SessionKind() != 0 || game.RunState() == kRunPaused)
        return;
    if (GameMode* mode = CurrentGameMode())
        mode->ToggleFreeze();
}

const std::vector<std::string>& Names()
{
    static const std::vector<std::string> names = {
        "ChatMode",   "ShowScores", "SuperNova",   "ShowFlimbCounts", "MiniMap",     "ChatHistory",
        "LoadCheckpoint", "SaveCheckpoint", "Stamp", "Decoration", "FreezeTime", "ShowFuture",
        "ShowFMView", "NextHistory", "PrevHistory", "PinFlimb"};
    return names;
}

} // namespace HudKeyActions

void RegisterHudKeyActions()
{
    using namespace HudKeyActions;
    void (*const handlers[])(int) = {ChatMode,   ShowScores,  SuperNova,   ShowFlimbCounts, MiniMap,
                                     ChatHistory, LoadCheckpoint, SaveCheckpoint, Stamp, Decoration,
                                     FreezeTime, ShowFuture,  ShowFMView,  NextHistory,     PrevHistory,
                                     PinFlimb};
    static_assert(std::size(handlers) == 16);
    for (size_t i = 0; i < Names().size(); ++i)
        SetBindableActionHandler(Names()[i], handlers[i]);
}
