#pragma once
// The game view as the world's passes use it: the world looks up the game viewport
// ("MOUSEPORT"), makes its view current around its work and reads the visible part of the
// world. The answers come from the game's landscape's current view (the viewports of
// game/); without a view screen and world coordinates are the same. Tests may install
// their own answers as hooks.
#include "platform/gfx/D3DTypes.h"

#include <cstdint>
#include <functional>

struct Flimb;

struct GameViewHooks {
    // Makes the game viewport's view current when the viewport is open; answers the view
    // that was current (for restoreView) and whether the viewport was found.
    std::function<bool(void*& previous)> makeGameViewCurrent;
    std::function<void(void* previous)> restoreView;
    // The current view's screen rectangle in world pixels (corners rounded).
    std::function<gfx::RECT()> visibleWorldRect;
    // The current view's width and height in pixels (0 without a view).
    std::function<float()> viewWidth;
    std::function<float()> viewHeight;
    // The centre of the current view in world pixels.
    std::function<void(float& x, float& y)> viewCentre;
    // Pans the game view to a world x (clamped by the view), keeping y.
    std::function<void(float x)> panToX;
    // The mouse pointer in world pixels through the current view.
    std::function<void(int32_t& x, int32_t& y)> mouseWorldPoint;
    // World pixels to screen pixels through the current view, and the view's zoom.
    std::function<void(float& x, float& y)> worldToScreen;
    std::function<float()> viewScale;
    // The flimb the local player's view follows (null: none), and letting it go.
    std::function<const Flimb*()> followedFlimb;
    std::function<void()> stopFollowing;
    // Starts the game viewport's shake (a Nova went off).
    std::function<void()> shake;
    // Whether the view dims the group's flimbs (its show-all and group visibility switches).
    std::function<bool(uint8_t group)> groupDimmed;
    // A screen point (pixels) in world pixels through the game view.
    std::function<void(float screenX, float screenY, float& worldX, float& worldY)> screenToWorld;
    // The game view's rotation in radians, within [0, 2 pi).
    std::function<float()> viewRotation;
    // Match start: whether the game viewport ("MOUSEPORT") is open; its view direction reset
    // to the unit vector of 3 pi / 2; a scroll over `ms` to a world point; a turn to a gravity
    // direction 0..3; centring on a flimb; the zoom-out over `ms` to the whole landscape.
    std::function<bool()> gameViewOpen;
    std::function<void()> resetViewDirection;
    std::function<void(float x, float y, uint32_t ms)> scrollTo;
    std::function<void(uint8_t direction)> turnTo;
    std::function<void(const Flimb& flimb)> lookAt;
    std::function<void(uint32_t ms)> zoomToFit;
};

// Replaces the hooks; empty members keep the built-in answers.
void SetGameViewHooks(GameViewHooks hooks);
void ResetGameViewHooks();

// Makes the game view current for the object's life when it is open, then the view that was
// current before again.
class ScopedGameView {
public:
    ScopedGameView();
    ~ScopedGameView();
    ScopedGameView(const ScopedGameView&) = delete;
    ScopedGameView& operator=(const ScopedGameView&) = delete;
    bool Found() const { return found_; }

private:
    void* previous_ = nullptr;
    bool found_ = false;
};

gfx::RECT VisibleWorldRect();
float CurrentViewWidth();
float CurrentViewHeight();
void CurrentViewCentre(float& x, float& y);
void PanGameViewToX(float x);
// The mouse pointer in world pixels; without a view its client pixels.
void MouseWorldPoint(int32_t& x, int32_t& y);
// A world point on the screen (unchanged without a view) and the view's zoom (1 without), both
// at the current sprite depth (media/SpriteDepth.h).
void WorldToScreen(float& x, float& y);
float CurrentViewScale();
// The flimb the view follows, or null; StopFollowing lets it go.
const Flimb* FollowedFlimb();
void StopFollowingFlimb();
void ShakeGameView();
bool GroupDimmedInView(uint8_t group);
// The match-start placement of the game view (nothing without the hooks).
bool GameViewOpen();
void ResetGameViewDirection();
void ScrollGameViewTo(float x, float y, uint32_t ms);
void TurnGameViewTo(uint8_t direction);
void CentreGameViewOn(const Flimb& flimb);
void ZoomGameViewToFit(uint32_t ms);

// The in-between-frame switch: set by the game client in the second half of a game update,
// so that sprites with 26-frame sheets show their in-between frame. Drawing state only.
bool InBetweenFrame();
void SetInBetweenFrame(bool on);
// The box, on the landscape plane, of a rectangle of half extents (halfWidth, halfHeight)
// turned by `radians` and centred on (x, y) at height `depth`: with a depth other than 0 and a
// current view its corners go to the screen at that depth and back onto the plane; without
// one they stay where they are. Drawing and editing only.
struct FloatRect;
FloatRect ProjectRectOntoLandscape(float x, float y, float depth, float halfWidth, float halfHeight, float radians);
// A screen point in world pixels through the game view; the same point without a view.
void ScreenToWorldPoint(float screenX, float screenY, float& worldX, float& worldY);
// The current view's rotation in radians, within [0, 2 pi); 3 pi / 2 (the untouched view,
// world y down on the screen) without a view. A sprite turned by a in the world shows
// turned by a + 3 pi / 2 - GameViewRotation() on the screen.
float GameViewRotation();
// Where a sprite drawn at a world point lands on the screen: the point through the view,
// the view's scale and the turn (radians) the view adds to the sprite's own.
struct ScreenPlacement {
    float x = 0.0f, y = 0.0f;
    float scale = 1.0f;
    float turn = 0.0f;
};
ScreenPlacement PlaceOnScreen(float worldX, float worldY);
