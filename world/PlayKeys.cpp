#include "world/PlayKeys.h"

#include "app/ConsoleParam.h"
#include "app/GameClock.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "levelmodel/EditorPicking.h"
#include "modes/ModeServices.h"
#include "world/AnimationSpec.h"
#include "world/ConsoleValues.h"
#include "world/Flimb.h"
#include "world/LandscapeKeys.h"
#include "world/WorldState.h"

#include <algorithm>

namespace {

constexpr uint8_t kSteerArgument = 77;

Flimb* Selected()
{
    return World().selected;
}

void ClearActionStamp()
{
    World().actionKeyStamp = 0;
}

template <uint8_t Action>
void ActionKey(bool down)
{
    if (down)
        SelectAction(Action, 0, true);
    else
        ClearActionStamp();
}

// The turn keys: bit 1 of the value is the press, bit 0 the positive side.
template <bool Positive>
void TurnKey(bool down)
{
    Flimb* flimb = Selected();
    if (down && ConsoleInt("god") && LevelEditorOpen()) {
        NudgeDecorationHotspot(Positive ? 1 : -1, 0);
        return;
    }
    if (!flimb)
        return;
    const bool qualifies = Positive ? (flimb->attributes & kAttrSteered) != 0 : flimb->attributes != 0;
    if (!(qualifies || GodModeOn()) || !ModeAcceptsCommand(flimb->id))
        return;
    const uint8_t value = static_cast<uint8_t>((down ? 2 : 0) + (Positive ? 1 : 0));
    SendUpdateFlimbType(flimb->id, value, kSteerArgument, 0);
}

} // namespace

void JumpKey(bool down)
{
    Flimb* flimb = Selected();
    if (!down || !flimb || !ModeAcceptsCommand(flimb->id))
        return;
    const bool standing = flimb->type == kWalk || (flimb->type == kEntangle && flimb->anim == 3);
    if ((flimb->attributes & kAttrSteered) && !(flimb->flags2 & kFlimbJumping) && standing)
        SendUpdateFlimbType(flimb->id, 4, kSteerArgument, 0);
}

namespace {

template <uint8_t Variant>
void GulpVariantKey(bool down)
{
    if (!down) {
        ClearActionStamp();
        return;
    }
    Flimb* flimb = Selected();
    if (!flimb || LocalPlayerIsSpectator())
        return;
    SendGulpChange(flimb->id, Variant);
    if (Variant == 0 && flimb->linkedId >= 0)
        SendGulpChange(flimb->linkedId, 0);
}

// The two walking-direction selection requests: a press switches one on (2) or off and
// the other off; a release leaves a set request on for one more pick or order (1).
template <int Side>
void SelectionCycleKey(bool down)
{
    auto& requests = World().selectRequests;
    uint8_t& request = requests[Side];
    if (down) {
        request = request ? 0 : 2;
        requests[1 - Side] = 0;
    } else if (request) {
        request = 1;
    }
}

template <int Switch>
void OverlaySwitchKey(bool down)
{
    World().overlaySwitches[Switch] = down ? 0 : 1;
}

} // namespace

void HoldBeltKey(bool down)
{
    HudSetBeltLock(down);
}

void FollowFlimbKey(bool down)
{
    if (!down)
        return;
    if (ConsoleParam* follow = ConsoleParam::Find("follow_selected"))
        follow->SetInt(follow->GetInt() == 1 ? 0 : 1);
}

void ShowScoresKey(bool down)
{
    if (Controller().modeIndex == 1) {
        if (!down)
            HudPressScoreButton(down);
        return;
    }
    if (!down)
        return;
    if (ConsoleParam* lag = ConsoleParam::Find("lag"))
        lag->SetInt(lag->GetInt() > 20 ? 4 : 75);
}

void QuickKey(bool down)
{
    if (!down)
        return;
    WorldState& world = World();
    world.quickState = static_cast<uint8_t>((world.quickState + 1) % 3);
    world.quickRedraw = true;
    world.quickCounters = {};
}

void ClobKey(bool down) { ActionKey<kClob>(down); }
void MoldKey(bool down) { ActionKey<kMold>(down); }
void NovaKey(bool down) { ActionKey<kNova>(down); }
void DrillKey(bool down) { ActionKey<kDrill>(down); }
void GulpKey(bool down) { GulpVariantKey<0>(down); }
void DoppelKey(bool down) { ActionKey<kDoppel>(down); }
void AtomizeKey(bool down) { ActionKey<kAtomize>(down); }
void LopKey(bool down) { ActionKey<kLop>(down); }
void PuffKey(bool down) { ActionKey<kPuff>(down); }
void SpinKey(bool down) { ActionKey<kSpin>(down); }
void GulpUpKey(bool down) { GulpVariantKey<1>(down); }
void WalkKey(bool down) { ActionKey<kWalk>(down); }
void WalkLeftKey(bool down) { TurnKey<false>(down); }
void WalkRightKey(bool down) { TurnKey<true>(down); }
void HideOwnTeamKey(bool down) { OverlaySwitchKey<0>(down); }
void HideOtherTeamsKey(bool down) { OverlaySwitchKey<1>(down); }
void ForceLeftKey(bool down) { SelectionCycleKey<0>(down); }
void ForceRightKey(bool down) { SelectionCycleKey<1>(down); }

void SelectAction(uint8_t action, uint8_t argument, bool stamp)
{
    if (Controller().runState == kRunPaused)
        return;
    if (stamp)
        World().actionKeyStamp = std::max<uint32_t>(1, gameClock.Now());
    if (Flimb* flimb = Selected()) {
        HudHideBelt();
        NoteFlimbSelected(action, argument, flimb);
    }
}

void OverlaysOffKey(bool down)
{
    WorldState& world = World();
    world.hideOverlays = down ? 1 : 0;
    world.overlaySwitches = {static_cast<uint8_t>(!down), static_cast<uint8_t>(!down)};
}
