#include "world/ViewServices.h"

#include "gui/WindowList.h"
#include "media/MSManager.h"

namespace {

GameViewHooks& Hooks()
{
    static GameViewHooks hooks;
    return hooks;
}

bool inBetweenFrame = false;

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
    if (Hooks().makeGameViewCurrent)
        found_ = Hooks().makeGameViewCurrent(previous_);
    else
        found_ = FindOpenWindow("MOUSEPORT") != nullptr; // no view to make current yet
}

ScopedGameView::~ScopedGameView()
{
    if (found_ && Hooks().restoreView)
        Hooks().restoreView(previous_);
}

gfx::RECT VisibleWorldRect()
{
    return Hooks().visibleWorldRect ? Hooks().visibleWorldRect() : gfx::RECT{};
}

float CurrentViewWidth()
{
    return Hooks().viewWidth ? Hooks().viewWidth() : 0.0f;
}

float CurrentViewHeight()
{
    return Hooks().viewHeight ? Hooks().viewHeight() : 0.0f;
}

void CurrentViewCentre(float& x, float& y)
{
    x = 0.0f;
    y = 0.0f;
    if (Hooks().viewCentre)
        Hooks().viewCentre(x, y);
}

void PanGameViewToX(float x)
{
    if (Hooks().panToX)
        Hooks().panToX(x);
}

void MouseWorldPoint(int32_t& x, int32_t& y)
{
    if (Hooks().mouseWorldPoint) {
        Hooks().mouseWorldPoint(x, y);
        return;
    }
    x = msManager.X();
    y = msManager.Y();
}

void WorldToScreen(float& x, float& y)
{
    if (Hooks().worldToScreen)
        Hooks().worldToScreen(x, y);
}

float CurrentViewScale()
{
    return Hooks().viewScale ? Hooks().viewScale() : 1.0f;
}

const Flimb* FollowedFlimb()
{
    return Hooks().followedFlimb ? Hooks().followedFlimb() : nullptr;
}

void StopFollowingFlimb()
{
    if (Hooks().stopFollowing)
        Hooks().stopFollowing();
}

void ShakeGameView()
{
    if (Hooks().shake)
        Hooks().shake();
}

bool GroupDimmedInView(uint8_t group)
{
    return Hooks().groupDimmed && Hooks().groupDimmed(group);
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
}

float GameViewRotation()
{
    return Hooks().viewRotation ? Hooks().viewRotation() : 0.0f;
}

bool GameViewOpen()
{
    return Hooks().gameViewOpen && Hooks().gameViewOpen();
}

void ResetGameViewDirection()
{
    if (Hooks().resetViewDirection)
        Hooks().resetViewDirection();
}

void ScrollGameViewTo(float x, float y, uint32_t ms)
{
    if (Hooks().scrollTo)
        Hooks().scrollTo(x, y, ms);
}

void TurnGameViewTo(uint8_t direction)
{
    if (Hooks().turnTo)
        Hooks().turnTo(direction);
}

void CentreGameViewOn(const Flimb& flimb)
{
    if (Hooks().lookAt)
        Hooks().lookAt(flimb);
}

void ZoomGameViewToFit(uint32_t ms)
{
    if (Hooks().zoomToFit)
        Hooks().zoomToFit(ms);
}
