// The HUD's part of the simulation's hooks (game/GameHooks.h), filled at start-up
// (InstallHudHooks): the history strip, the selection, the action belt and its lock, the
// landscape press, the score button, the end-of-level pop-ups, the stamp tool and the HUD's
// refresh. The game view's maker is installed on request (InstallHudGameView).
#include "game/GameHooks.h"
#include "hud/HudServices.h"

#include "game/GameViewPort.h"
#include "gui/CheckBox.h"
#include "gui/WindowList.h"
#include "hud/EndOfLevelPopups.h"
#include "hud/FlimbsBelt.h"
#include "hud/HistoryFilmStrip.h"
#include "hud/HudWindow.h"
#include "hud/PopupSupport.h"
#include "hud/StampUI.h"
#include "hud/TimeControls.h"
#include "world/Flimb.h"

#include <memory>

void InstallHudGameHooks()
{
    GameHooks& hooks = CurrentGameHooks();
    hooks.addToHistoryStrip = [](Flimb* flimb) {
        if (HistoryFilmStrip* strip = flimb ? FindHistoryStrip() : nullptr)
            strip->AddFlimb(flimb->id, false);
    };
    // The belt stays with the selection: a belt open on another flimb follows the new
    // selection while the belt lock is held, and closes otherwise.
    hooks.noteSelection = [](Flimb* flimb) {
        FlimbsBelt* belt = FindHudBelt(false);
        if (!belt || !belt->IsOpen() || (flimb && belt->Target() == flimb->id))
            return;
        if (flimb && belt->Locked())
            belt->Open(flimb->id);
        else
            belt->Hide();
    };
    // A press on the landscape closes the minimap that the "Show mini map" box opened.
    hooks.landscapePressed = [] {
        auto* window = dynamic_cast<Container<Primitive>*>(FindOpenWindow("FLIMBS_HUD"));
        if (!window)
            window = dynamic_cast<Container<Primitive>*>(FindOpenWindow("PlaybackVCR"));
        auto* box = window ? dynamic_cast<CheckBox*>(window->FindChild("MinimapCheckBox")) : nullptr;
        if (box && box->IsChecked())
            box->SetChecked(false, false, true);
    };
    hooks.setBeltLock = [](bool locked) {
        if (FlimbsBelt* belt = FindHudBelt(locked))
            belt->SetLocked(locked);
    };
    hooks.openBelt = [](const Flimb* flimb) {
        if (FlimbsBelt* belt = flimb ? FindHudBelt(true) : nullptr)
            belt->Open(flimb->id);
    };
    // An order given by key closes the belt, unless the belt lock holds it open.
    hooks.hideBelt = [] {
        if (FlimbsBelt* belt = FindHudBelt(false); belt && !belt->Locked())
            belt->Hide();
    };
    hooks.beltOpen = [] {
        const FlimbsBelt* belt = FindHudBelt(false);
        return belt && belt->IsOpen();
    };
    hooks.beltIconForAction = [](int action) -> const AnimSurface* {
        const FlimbsBelt* belt = FindHudBelt(false);
        return belt ? belt->IconForCode(action) : nullptr;
    };
    hooks.pressScoreButton = [](bool down) {
        if (!FindOpenWindow("ScoreButton"))
            return false;
        ShowScoresWindow(down);
        return true;
    };
    hooks.queueEndOfLevelPopups = QueueEndOfLevelPopups;
    hooks.closePopups = CloseHudPopups;
    hooks.openStampTool = [](const std::string& stampImage) { AddStampUI(stampImage); };
    hooks.refreshHud = [] {
        if (HudWindow* hud = FindHud())
            hud->Refresh();
    };
}

void InstallHudGameView()
{
    SetHudGameViewMaker([]() -> std::unique_ptr<Primitive> { return std::make_unique<GameViewPort>(); });
}
