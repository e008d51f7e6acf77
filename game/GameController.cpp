#include "game/GameController.h"

#include "hud/HudServices.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "session/SessionServices.h"
#include "world/ActionChecks.h"
#include "world/Flimb.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

GameController& Controller()
{
    static GameController controller;
    return controller;
}

void ResetGameController()
{
    GameController& controller = Controller();
    controller.runState = kRunNone;
    controller.groups = {};
    controller.stats = {};
    controller.visibleRect = {};
    controller.detonation = {};
    controller.matchResult = -1;
    controller.messages.Clear(true);
}

void UseGroupAction(uint8_t action, const Flimb& flimb)
{
    if (action >= kActionCount || flimb.group >= 8)
        return;
    GameController& controller = Controller();
    uint8_t& uses = controller.groups[flimb.group].uses[action];
    if (uses >= 1 && uses <= 198)
        --uses;
    ++controller.stats[flimb.group].actionCounts[action];
}

void NoteFlimbSelected(uint8_t action, uint8_t flag, Flimb* flimb)
{
    if (!flimb || LocalPlayerIsSpectator() || !ModeAcceptsCommand(flimb->id))
        return;
    WorldState& world = World();
    uint8_t delay = 0;
    if (world.preview.soundPlayed) {
        // The order waits for as long as the preview looked ahead.
        delay = world.preview.steps;
        world.preview.steps = 1;
        world.preview.state = 0;
        world.preview.soundPlayed = false;
        world.preview.source = nullptr;
    }
    uint8_t tag = 255;
    for (int side = 0; side < 2; ++side) {
        uint8_t& request = world.selectRequests[static_cast<size_t>(side)];
        if (!request)
            continue;
        tag = side == 0 ? 98 : 99;
        if (request == 1)
            request = 0;
        break;
    }
    if (CheckActionWithSound(*flimb, action)) {
        const bool strip = action != kWalk && action != kAtomize && action != kLop && action != kNova;
        if (Controller().runState == kRunRunning && strip)
            HudAddToHistoryStrip(flimb);
        SendUpdateFlimbType(flimb->id, action, tag, delay);
    }
    if (action == kGulp) {
        const bool variant = (flimb->flags & kFlimbGulpVariant) != 0;
        const bool wanted = flag == 0;
        if (variant != wanted)
            SendGulpChange(flimb->id, wanted ? 1 : 0);
    }
}

namespace {
EffectAtListener g_effectAtListener = nullptr;
} // namespace

void SetEffectAtListener(EffectAtListener listener)
{
    g_effectAtListener = listener;
}

void PlayEffectAt(int soundId, int32_t x, int32_t y)
{
    if (g_effectAtListener)
        g_effectAtListener(soundId, x, y);
    const gfx::RECT& r = Controller().visibleRect;
    const float width = CurrentViewWidth();
    const float height = CurrentViewHeight();
    const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    if (inside || width <= 0.0f || height <= 0.0f) {
        soundManager.PlayEffect(soundId, 1.0f, true, 0.0f, 0.0f);
        return;
    }
    soundManager.PlayEffect(soundId, 1.0f, false, 2.0f * static_cast<float>(x) / width - 1.0f,
                            1.0f - 2.0f * static_cast<float>(y) / height);
}

PlayerRecord* FindPlayerByFlimb(uint32_t flimbId)
{
    for (const auto& player : Controller().players)
        if (player->ownFlimbId == flimbId)
            return player.get();
    return nullptr;
}

bool LocalPlayerControls(uint8_t group)
{
    const PlayerRecord* local = Controller().localPlayer;
    return local && group < 8 && local->control[group] != 0;
}

bool LocalPlayerIsSpectator()
{
    const PlayerRecord* local = Controller().localPlayer;
    return local && local->spectator != 0;
}
