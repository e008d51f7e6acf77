#pragma once
// The interface through which the HUD steers the game view: the view implements it, the HUD
// window hands it to the HUD's widgets.
#include "gui/Primitive.h"

#include <cstdint>
#include <string>

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
    // Multiverse matches: pans to the next universe (the next player's or group's share of
    // the landscape).
    virtual void ShowNextUniverse() {}
};
