// Flimb::SetType, the one road of every type change, and the local selection.
#include "app/Log.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "world/AnimationSpec.h"
#include "world/FlimbFrame.h"
#include "world/FlimbHandlers.h"
#include "world/FlimbQueries.h"
#include "world/FlimbSounds.h"
#include "world/ViewServices.h"

namespace {

bool IsFinal(uint8_t type)
{
    return type < kFlimbTypeCount && FlimbTypeRowOf(type).final;
}

// The sound a fresh type plays (0: none).
int StartSound(uint8_t type)
{
    switch (type) {
    case kClob:
    case kGulp:
        return flimbs::kSoundClob;
    case kMold:
        return flimbs::kSoundMold;
    case kDrill:
        return flimbs::kSoundDrill;
    case kDoppel:
        return flimbs::kSoundDoppel;
    case kPuff:
        return flimbs::kSoundPuff;
    case kSpin:
        return flimbs::kSoundSpin;
    case kAtomize:
        return flimbs::kSoundAtomize;
    default:
        return 0;
    }
}

} // namespace

void Flimb::SetType(uint8_t newType, bool quiet, int newAnim)
{
    using namespace flimbs;
    if (newType >= kFlimbTypeCount) {
        // Network commands carry the type: an unknown one changes nothing.
        WriteLog("WARNING: FLIMB type not defined!\n");
        return;
    }
    if (fallDistance >= 4 && !FlimbTypeRowOf(newType).whileFalling) {
        if (!quiet)
            Sound(*this, kSoundRefused);
        return;
    }
    if (IsFinal(type))
        return;
    if (type == kDoppel) {
        if (!IsFinal(newType))
            return;
        DigAt(false);
    }
    if (newType != kSplat && newType != kAtomize)
        attributes &= static_cast<uint8_t>(~kAttrCounted);
    flags |= kFlimbFreshType;
    if (type == kMold && newType != kMold && frame > 13)
        StepUp();

    const uint8_t oldType = type;
    const bool wasTurning = type == kWalk && anim == 2;
    type = newType;
    if (wasTurning && (newType == kClob || newType == kGulp))
        walkSpeed = static_cast<int8_t>(-walkSpeed);

    if (newType == kSplat || newType == kAtomize || newType == kSquish) {
        typeAge = 0;
        PlayMorphEffect();
    } else {
        int animation = newAnim;
        if (newType == kGulp && !(flags & kFlimbGulpVariant))
            animation = 1;
        if (!(newType == oldType && (newType == kMold || newType == kGulp))) {
            frame = 0;
            typeAge = 0;
        }
        SetGroupAnimation(animation, frame);
    }
    if (IsFinal(newType))
        queuedAction = kNoType;

    const int sound = quiet ? 0 : StartSound(newType);
    switch (newType) {
    case kClob:
    case kGulp:
    case kWalk:
        counter = 0;
        break;
    case kMold:
        counter = 13;
        break;
    case kDrill:
        frame = 22;
        break;
    case kAtomize:
    case kNova:
    case kDrown:
    case kShock:
    case kBurn:
        flags &= static_cast<uint8_t>(~kFlimbAlive);
        break;
    case kSquish:
        flags &= static_cast<uint8_t>(~kFlimbAlive);
        SquishHandler(*this);
        break;
    case kFall:
        counter = 0;
        if (!quiet)
            CheckFall();
        if ((attributes & kAttrSteered) && !(flags2 & kFlimbJumping)) {
            flags2 |= kFlimbJumping;
            jumpVX = jumpVY = 0;
            rise = 0;
        }
        break;
    case kStun: {
        const FrameLayout layout = Layout();
        frame = static_cast<int8_t>(((x % layout.count) + layout.count) % layout.count);
        if (!quiet && !(attributes & kAttrSteered))
            Sound(*this, kSoundStun);
        break;
    }
    case kSplat:
        prevX = x;
        prevY = y;
        flags &= static_cast<uint8_t>(~kFlimbAlive);
        break;
    default:
        break;
    }
    if (sound)
        Sound(*this, sound);
}

void Flimb::SetSelected(bool on, bool alsoLinked)
{
    const bool was = IsSelected();
    if (on)
        flags |= kFlimbSelected;
    else
        flags &= static_cast<uint8_t>(~kFlimbSelected);
    // steerKeys belong to the simulation: they change only through commands.
    if (was && !on && IsAlive() && FollowedFlimb() == this) {
        StopFollowingFlimb();
        if (Controller().runState == kRunRunning)
            SendHighlight(id);
    }
    if (alsoLinked && linkedId >= 0)
        if (Flimb* linked = FindFlimbById(linkedId); linked && linked != this)
            linked->SetSelected(on, false);
}
