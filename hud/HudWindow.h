#pragma once
// What the HUD's widgets need of the HUD window "FLIMBS_HUD" and of its game view. The HUD
// window implements HudWindow (its two layers, its top container, its game view, the
// FlimbMaster display, the stamp tool and the refresh); the game view implements
// HudGameView. Widgets find the open HUD through FindHud and do nothing without one.
#include "game/HudGameView.h"
#include "gui/Primitive.h"

#include <cstdint>
#include <memory>
#include <string>

class FlimbMasterDisplay;
class PrimContainer;

// The game view a new HUD window puts under its panels: a primitive that is a HudGameView.
// The viewports install their maker; without one the HUD gets a plain stand-in view.
using HudGameViewMaker = std::unique_ptr<Primitive> (*)();
void SetHudGameViewMaker(HudGameViewMaker maker);
std::unique_ptr<Primitive> MakeHudGameView();
// Makes the game's view (GameViewPort, "MOUSEPORT") the one every new HUD window puts under
// its panels.
void InstallHudGameView();

class HudWindow {
public:
    virtual ~HudWindow() = default;
    // The layer for pop-ups and menus, the layer for panels under them, and the HUD's top
    // container (the restore watcher goes there). The top container's front child is its
    // topmost: offered input first and drawn last.
    virtual PrimContainer* UpperLayer() = 0;
    virtual PrimContainer* LowerLayer() = 0;
    virtual PrimContainer* TopContainer() = 0;
    // Null while the HUD has none.
    virtual HudGameView* GameView() = 0;
    virtual FlimbMasterDisplay* MasterDisplay() = 0;
    // Rebuilds what depends on the options and the checkpoints.
    virtual void Refresh() = 0;
};

// The open "FLIMBS_HUD" window when it is a HudWindow, else null.
HudWindow* FindHud();
// The HUD's game view, null without a HUD or a view.
HudGameView* FindHudGameView();
// The vertical centre of the HUD's game view in virtual units (500 without one).
float HudGameViewCentreY();
// The bottom edge of the HUD's game view in virtual units (1000 without one).
float HudGameViewBottom();
