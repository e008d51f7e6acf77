#include "world/ViewServices.h"

#include "game/GameViewPort.h"
#include "gui/WindowList.h"
#include "media/MSManager.h"
#include "media/SpriteDepth.h"
#include "world/ConsoleValues.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "game/GameController.h"
#include "world/WorldState.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr float kUprightRotation = 4.712389f; // the untouched view: world y down on the screen

GameViewHooks& Hooks()
{
    static GameViewHooks hooks;
    return hooks;
}

bool inBetweenFrame = false;

// The current view of the game's landscape, or null.
ViewPort* CurrentView()
{
    const Landscape* land = GameLandscape();
    return land ? land->CurrentView() : nullptr;
}

int32_t Rounded(float value)
{
    return std::isfinite(value) ? static_cast<int32_t>(std::lround(value)) : 0;
}

} // namespace

void SetGameViewHooks(GameViewHooks hooks)
{
    Hooks() = std::move(hooks);
}

void ResetGameViewHooks()
{
    Hooks() = GameViewHooks{};
}

ScopedGameView::ScopedGameView()
{
    if (Hooks().makeGameViewCurrent) {
        found_ = Hooks().makeGameViewCurrent(previous_);
        return;
    }
    GameViewPort* view = FindGameViewPort();
    Landscape* land = GameLandscape();
    found_ = view != nullptr;
    if (view && land)
        previous_ = land->MakeCurrent(view);
}

ScopedGameView::~ScopedGameView()
{
    if (!found_)
        return;
    if (Hooks().makeGameViewCurrent) {
        if (Hooks().restoreView)
            Hooks().restoreView(previous_);
        return;
    }
    if (Landscape* land = GameLandscape())
        land->MakeCurrent(static_cast<ViewPort*>(previous_));
}

gfx::RECT VisibleWorldRect()
{
    if (Hooks().visibleWorldRect)
        return Hooks().visibleWorldRect();
    const ViewPort* view = CurrentView();
    if (!view)
        return gfx::RECT{};
    FloatRect area = view->rect;
    Landscape::ScreenRectToWorld(area);
    return gfx::RECT{Rounded(area.left), Rounded(area.top), Rounded(area.right), Rounded(area.bottom)};
}

float CurrentViewWidth()
{
    if (Hooks().viewWidth)
        return Hooks().viewWidth();
    const ViewPort* view = CurrentView();
    return view ? view->rect.right - view->rect.left : 0.0f;
}

float CurrentViewHeight()
{
    if (Hooks().viewHeight)
        return Hooks().viewHeight();
    const ViewPort* view = CurrentView();
    return view ? view->rect.bottom - view->rect.top : 0.0f;
}

void CurrentViewCentre(float& x, float& y)
{
    x = 0.0f;
    y = 0.0f;
    if (Hooks().viewCentre) {
        Hooks().viewCentre(x, y);
        return;
    }
    if (const ViewPort* view = CurrentView()) {
        x = view->camera.target.x;
        y = view->camera.target.y;
    }
}

void PanGameViewToX(float x)
{
    if (Hooks().panToX) {
        Hooks().panToX(x);
        return;
    }
    if (GameViewPort* view = FindGameViewPort())
        view->PanTo(static_cast<int>(x), static_cast<int>(view->Y()), 500, true);
}

void MouseWorldPoint(int32_t& x, int32_t& y)
{
    if (Hooks().mouseWorldPoint) {
        Hooks().mouseWorldPoint(x, y);
        return;
    }
    x = msManager.X();
    y = msManager.Y();
    if (const Landscape* land = GameLandscape())
        land->ScreenToWorld(msManager.X(), msManager.Y(), x, y);
}

void WorldToScreen(float& x, float& y)
{
    if (Hooks().worldToScreen) {
        Hooks().worldToScreen(x, y);
        return;
    }
    if (const Landscape* land = GameLandscape()) {
        const FloatPoint screen = land->WorldToScreenF(SpriteDepth(), x, y);
        x = screen.x;
        y = screen.y;
    }
}

float CurrentViewScale()
{
    if (Hooks().viewScale)
        return Hooks().viewScale();
    const ViewPort* view = CurrentView();
    if (!view)
        return 1.0f;
    const float scale = view->camera.PixelsPerUnit(view->camera.EyeDistance() - SpriteDepth());
    return scale > 0.0f ? scale : 1.0f;
}

const Flimb* FollowedFlimb()
{
    if (Hooks().followedFlimb)
        return Hooks().followedFlimb();
    // The view follows the selected flimb while "follow_selected" is on, and a player's
    // own (steered) flimb always.
    const Flimb* selected = World().selected;
    if (!selected || !FindGameViewPort())
        return nullptr;
    return ConsoleInt("follow_selected") != 0 || (selected->flags2 & 0x80) ? selected : nullptr;
}

void StopFollowingFlimb()
{
    if (Hooks().stopFollowing) {
        Hooks().stopFollowing();
        return;
    }
    if (GameViewPort* view = FindGameViewPort())
        view->lastFollowed = nullptr;
}

void ShakeGameView()
{
    if (Hooks().shake) {
        Hooks().shake();
        return;
    }
    if (GameViewPort* view = FindGameViewPort())
        view->Shake();
}

bool GroupDimmedInView(uint8_t group)
{
    if (Hooks().groupDimmed)
        return Hooks().groupDimmed(group);
    // The hide-own-team and hide-other-teams switches dim those flimbs.
    const WorldState& world = World();
    const PlayerRecord* local = Controller().localPlayer;
    const bool own = local && local->team == group;
    return own ? world.overlaySwitches[0] == 0 : world.overlaySwitches[1] == 0;
}

bool InBetweenFrame()
{
    return inBetweenFrame;
}

void SetInBetweenFrame(bool on)
{
    inBetweenFrame = on;
}

void ScreenToWorldPoint(float screenX, float screenY, float& worldX, float& worldY)
{
    if (Hooks().screenToWorld) {
        Hooks().screenToWorld(screenX, screenY, worldX, worldY);
        return;
    }
    worldX = screenX;
    worldY = screenY;
    if (const Landscape* land = GameLandscape()) {
        const FloatPoint world = land->UnprojectPoint(screenX, screenY);
        worldX = world.x;
        worldY = world.y;
    }
}

ScreenPlacement PlaceOnScreen(float worldX, float worldY)
{
    ScreenPlacement placed;
    placed.x = worldX;
    placed.y = worldY;
    WorldToScreen(placed.x, placed.y);
    placed.scale = CurrentViewScale();
    placed.turn = 3.0f * 3.1415927410125732f / 2.0f - GameViewRotation();
    return placed;
}

float GameViewRotation()
{
    if (Hooks().viewRotation)
        return Hooks().viewRotation();
    const ViewPort* view = CurrentView();
    return view ? view->GetRotation() : kUprightRotation;
}

bool GameViewOpen()
{
    if (Hooks().gameViewOpen)
        return Hooks().gameViewOpen();
    return FindGameViewPort() != nullptr;
}

void ResetGameViewDirection()
{
    if (Hooks().resetViewDirection) {
        Hooks().resetViewDirection();
        return;
    }
    if (GameViewPort* view = FindGameViewPort())
        view->InteractiveVP::SetRotation(kUprightRotation, -1, -1.0f);
}

void ScrollGameViewTo(float x, float y, uint32_t ms)
{
    if (Hooks().scrollTo) {
        Hooks().scrollTo(x, y, ms);
        return;
    }
    if (GameViewPort* view = FindGameViewPort())
        view->PanTo(Rounded(x), Rounded(y), ms == 0 ? -1 : static_cast<int>(std::min<uint32_t>(ms, INT32_MAX)), true);
}

void TurnGameViewTo(uint8_t direction)
{
    if (Hooks().turnTo) {
        Hooks().turnTo(direction);
        return;
    }
    // The view's rotation that shows a gravity direction's floor at the bottom.
    constexpr float kHalfPi = kUprightRotation / 3.0f;
    constexpr float kTurns[4] = {kUprightRotation, kHalfPi, 0.0f, 2.0f * kHalfPi};
    if (GameViewPort* view = FindGameViewPort())
        view->SetRotation(kTurns[direction & 3], 500u);
}

void CentreGameViewOn(const Flimb& flimb)
{
    if (Hooks().lookAt) {
        Hooks().lookAt(flimb);
        return;
    }
    if (GameViewPort* view = FindGameViewPort())
        view->InteractiveVP::LookAt(flimb.x, flimb.y, view->GetZoom());
}

void ZoomGameViewToFit(uint32_t ms)
{
    if (Hooks().zoomToFit) {
        Hooks().zoomToFit(ms);
        return;
    }
    if (GameViewPort* view = FindGameViewPort())
        view->SetZoom(view->GetFitZoom(true), ms == 0 ? -1 : static_cast<int>(std::min<uint32_t>(ms, INT32_MAX)));
}

FloatRect ProjectRectOntoLandscape(float x, float y, float depth, float halfWidth, float halfHeight, float radians)
{
    const float c = std::cos(radians), s = std::sin(radians);
    const float corners[4][2] = {{-halfWidth, -halfHeight}, {halfWidth, -halfHeight}, {halfWidth, halfHeight},
                                 {-halfWidth, halfHeight}};
    const Landscape* land = depth != 0.0f ? GameLandscape() : nullptr;
    const bool projected = land && land->CurrentView();
    FloatRect box{0.0f, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 4; ++i) {
        FloatPoint point{x + corners[i][0] * c - corners[i][1] * s, y + corners[i][0] * s + corners[i][1] * c};
        if (projected) {
            const FloatPoint screen = land->WorldToScreenF(depth, point.x, point.y);
            point = land->UnprojectPoint(screen.x, screen.y);
        }
        if (i == 0 || point.x < box.left)
            box.left = point.x;
        if (i == 0 || point.x > box.right)
            box.right = point.x;
        if (i == 0 || point.y < box.top)
            box.top = point.y;
        if (i == 0 || point.y > box.bottom)
            box.bottom = point.y;
    }
    return box;
}
