#pragma once
// What the HUD asks of the screens above it (the front end and the editor). They fill these
// at start-up (InstallScreenHooks); an empty hook does nothing (the makers give null), so
// the HUD also runs alone in headless tools and in its own tests.
#include <functional>
#include <memory>
#include <string>

class LevelChooserView;
class PrimContainer;
class Primitive;

struct HudScreenHooks {
    // The front end's menus (a playback was left, a screen build gave no screen).
    std::function<void()> showFrontEnd;
    // The closing credits on a fresh menu backdrop, not opened; their close returns to the
    // main menu. Built on a loader's worker thread.
    std::function<Primitive*()> buildFinalCredits;
    // The campaign planet's visit (the end of a beaten FlimbMaster's outro).
    std::function<void()> visitPlanet;
    // The reduced options menu, not opened, and what its close runs.
    std::function<PrimContainer*(std::function<void()> onClosed)> makeOptionsMenu;
    // The level chooser as a panel of the level-change window, listing the levels of a
    // category ("s" single-player, "m" multiplayer; all for any other).
    std::function<std::unique_ptr<LevelChooserView>(const std::string& category)> makeLevelChooser;
    // The lobby's admin players panel over the HUD; while it is empty the HUD's "Players"
    // controls are greyed.
    std::function<void()> openAdminPlayersPanel;
};
void SetHudScreenHooks(HudScreenHooks hooks);
const HudScreenHooks& CurrentHudScreenHooks();

// The front end's menus through the hook (nothing without one).
void ShowFrontEndFromHud();
