#pragma once
// What the HUD's widgets need of the HUD window "FLIMBS_HUD" and of its game view. The HUD
// window implements HudWindow (its two layers, its top container, its game view, the
// FlimbMaster display, the stamp tool and the refresh); the game view implements
// HudGameView. Widgets find the open HUD through FindHud and do nothing without one.
#include "gui/Primitive.h"

#include <cstdint>
#include <memory>
#include <string>

class FlimbMasterDisplay;
class PrimContainer;

// The game view "MOUSEPORT" as the HUD steers it. Pixels are screen pixels.
class HudGameView {
public:
    virtual ~HudGameView() = default;
    // The view's panel (keyboard focus, placement).
    virtual Primitive* Panel() = 0;
    // Turns the view to an angle (radians) over a time.
    virtual void SetRotation(float radians, uint32_t ms) = 0;
    // The angle in [0, 2 pi).
    virtual float Rotation() const = 0;
    // Centres the view on a world point at a zoom distance.
    virtual void LookAt(float zoom, float x, float y) = 0;
    // The zoom buttons: new distance = distance x tan(field angle) / tan(pi / 4) + delta,
    // limited by the view, animated over the time.
    virtual void ZoomBy(float delta, uint32_t ms) = 0;
    virtual void ZoomTo(float distance, uint32_t ms) = 0;
    virtual bool IsScrolling() const = 0;
    // A world point on the screen (pixels).
    virtual FloatPoint WorldToScreen(float x, float y) const = 0;
    // The view's visible rectangle on the screen (pixels).
    virtual FloatRect VisibleRect() const = 0;
    // The view's show-flimb-counts flag.
    virtual void SetShowCounts(bool show) = 0;
    // The stamp tool's current stamp (the stamp image's path).
    virtual void SetCurrentStamp(const std::string& stampImage) = 0;
    // What the HUD window sets and reads each frame; a view without them keeps nothing.
    // The view rectangle in screen pixels.
    virtual void SetViewRect(float left, float top, float right, float bottom)
    {
        (void)left, (void)top, (void)right, (void)bottom;
    }
    virtual bool ShowCounts() const { return false; }
    // Whether the view follows the selected flimb.
    virtual bool FollowFlag() const { return false; }
    virtual void SetFollowFlag(bool follow) { (void)follow; }
    // Hides the world highlight under the pointer (the pointer is over a HUD button).
    virtual void HideHoverMarker() {}
};

// The game view a new HUD window puts under its panels: a primitive that is a HudGameView.
// The viewports install their maker; without one the HUD gets a plain stand-in view.
using HudGameViewMaker = std::unique_ptr<Primitive> (*)();
void SetHudGameViewMaker(HudGameViewMaker maker);
std::unique_ptr<Primitive> MakeHudGameView();

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
