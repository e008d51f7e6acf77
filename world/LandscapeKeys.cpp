#include "world/LandscapeKeys.h"

#include "game/GameController.h"
#include "game/GameHooks.h"
#include "media/KBManager.h"
#include "modes/ModeServices.h"
#include "platform/input/ScanCodes.h"
#include "world/ConsoleValues.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/ViewServices.h"
#include "world/WorldClock.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <array>
#include <cstdlib>

namespace {

constexpr std::array<uint32_t, 5> kDebugParticleColours = {0xFFFF4040, 0xFF40FF40, 0xFF4040FF, 0xFFFFFF40,
                                                           0xFFFF40FF};

bool DebugOn()
{
    return ConsoleInt("debug_mode") != 0;
}

void CreateFlimbAtMouse()
{
    ScopedGameView view;
    if (!view.Found())
        return;
    int32_t x = 0, y = 0;
    MouseWorldPoint(x, y);
    const PlayerRecord* local = Controller().localPlayer;
    uint8_t group = local ? local->team : 0;
    for (uint8_t g = 0; g < 4; ++g)
        if (kbManager.IsButtonDown(2 + g)) // keys 1..4
            group = g;
    uint8_t variant = 0;
    for (uint8_t v = 0; v < 3; ++v)
        if (kbManager.IsButtonDown(6 + v)) // keys 5..7
            variant = static_cast<uint8_t>(v + 1);
    BroadcastCreateFlimb(x, y, group, variant);
}

void SpawnParticleAtMouse()
{
    ScopedGameView view;
    if (!view.Found())
        return;
    int32_t x = 0, y = 0;
    MouseWorldPoint(x, y);
    SpawnDebugParticle(x, y, kDebugParticleColours[CurrentGameTime() % kDebugParticleColours.size()]);
}

// The walking-direction filters of the selection: true when the flimb is left out.
bool FilteredOut(const Flimb& flimb)
{
    const auto& requests = World().selectRequests;
    const bool reversed = flimb.gravity == 1 || flimb.gravity == 3;
    const int speed = reversed ? -flimb.walkSpeed : flimb.walkSpeed;
    if (requests[0] && speed >= 0)
        return true;
    if (requests[1] && speed <= 0)
        return true;
    return false;
}

void SelectNext(bool right)
{
    WorldState& world = World();
    Flimb* old = world.selected;
    if (Controller().runState == kRunPaused || !old)
        return;
    const int32_t left = right ? old->x : old->x - 200;
    const int32_t top = old->y - 25;
    Flimb* best = nullptr;
    int32_t bestDistance = 0;
    for (Flimb* candidate : FindFlimbsInArea(false, false, left, top, left + 200, old->y)) {
        if (candidate == old || FilteredOut(*candidate) || !ModeMaySelect(candidate->id))
            continue;
        if (right ? candidate->x <= old->x : candidate->x >= old->x)
            continue;
        const int32_t distance = std::abs(candidate->x - old->x);
        if (!best || distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    if (!best)
        return;
    PlayEffectAt(kFlimbSelectEffect, old->x, old->y);
    SendHighlight(old->id);
    SendHighlight(best->id);
    world.selected = best;
    HudNoteSelection(best);
}

} // namespace

bool LandscapeOnKey(int key, int state, const IInputDevice* device)
{
    const int32_t runState = Controller().runState;
    if (runState != kRunRunning && runState != kRunPaused)
        return false;
    if (ModeOnKey(key, state, device ? device : &kbManager))
        return true;
    if (runState != kRunRunning || state != 1)
        return false;
    if (key == kKeyInsert && GodModeOn() && DebugOn()) {
        CreateFlimbAtMouse();
        return true;
    }
    if (key == kKeyF11 && ConsoleInt("god")) {
        SpawnParticleAtMouse();
        return true;
    }
    return false;
}

void SelectFlimbLeft(bool down)
{
    if (down)
        SelectNext(false);
}

void SelectFlimbRight(bool down)
{
    if (down)
        SelectNext(true);
}
