#include "world/ActionChecks.h"

#include "game/GameController.h"
#include "media/SoundManager.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"

namespace {

bool UsesLeft(const Flimb& flimb, uint8_t action)
{
    if (flimb.group >= 8)
        return false;
    const uint8_t uses = Controller().groups[flimb.group].uses[action];
    return uses != 0 && uses < 200;
}

bool InPlay(const Flimb& flimb)
{
    return flimb.IsAlive() && flimb.InWorld();
}

} // namespace

uint8_t EffectiveType(const Flimb& flimb)
{
    return flimb.type == kEntangle && (flimb.attributes & kAttrSteered) ? static_cast<uint8_t>(kWalk) : flimb.type;
}

bool CanGiveAction(const Flimb& flimb, int side, uint8_t action, bool checkUses)
{
    if (side != 0 && !ActionAllowedByDirection(flimb, side, action))
        return false;
    if (action >= kActionCount)
        return false;
    const uint8_t type = EffectiveType(flimb);
    if (type >= kFlimbTypeCount)
        return false;
    const FlimbTypeRow& row = FlimbTypeRowOf(type);
    if (!row.acceptsOrders || row.final || !row.changeInto[action])
        return false;
    if (!InPlay(flimb))
        return false;
    if (flimb.fallDistance > 3 && !FlimbTypeRowOf(action).whileFalling)
        return false;
    if (checkUses && !UsesLeft(flimb, action))
        return false;
    if (action == type && action != kMold)
        return false;
    if (action == kNova && (flimb.attributes & kAttrNovaFuse))
        return false;
    if (action == kPuff &&
        (flimb.fallDistance < 5 || (type != kWalk && type != kFall) || (flimb.attributes & kAttrNoPuff)))
        return false;
    return true;
}

bool CheckActionWithSound(const Flimb& flimb, uint8_t action)
{
    if (action >= kActionCount || !InPlay(flimb))
        return false;
    if (!UsesLeft(flimb, action)) {
        soundManager.PlayEffect(23, 1.0f);
        return false;
    }
    const uint8_t type = EffectiveType(flimb);
    if (action == type && action != kMold && action != kWalk)
        return false;
    if (action == kNova && (flimb.attributes & kAttrNovaFuse))
        return false;
    if (action == kPuff && (flimb.attributes & kAttrNoPuff))
        return false;
    return true;
}

bool ActionAllowedByDirection(const Flimb& flimb, int side, uint8_t action)
{
    if (side != 1 && side != 2)
        return true;
    bool wantsPositive = side == 2;
    if (flimb.gravity == 1 || flimb.gravity == 3)
        wantsPositive = !wantsPositive;
    int speed = flimb.walkSpeed;
    if ((action == kClob || action == kGulp) && flimb.type == kWalk && flimb.anim == 2)
        speed = -speed; // a turning walker already faces the other way
    return wantsPositive ? speed > 0 : speed < 0;
}
