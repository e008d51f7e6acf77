// The per-update step of one flimb (Flimb::Update) and what it runs around the type
// handler: orders, steering, the Nova fuse, boost, leaving the landscape, the name tag.
#include "app/Log.h"
#include "game/GameController.h"
#include "gui/Primitive.h"
#include "modes/MatchOptions.h"
#include "modes/ModeServices.h"
#include "world/ActionChecks.h"
#include "world/AnimationSpec.h"
#include "world/FlimbFrame.h"
#include "world/FlimbQueries.h"
#include "world/FlimbSounds.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <cmath>

namespace {

constexpr int kMultiverseMode = 4;
constexpr int kQuarrelMode = 3;
constexpr uint8_t kSteerPositive = 1, kSteerNegative = 2, kPressedNegativeLast = 16, kPressedPositiveLast = 32;

bool NoUsesLeft(const Flimb& flimb, uint8_t action)
{
    if (flimb.group >= 8 || action >= kActionCount)
        return true;
    const uint8_t uses = Controller().groups[flimb.group].uses[action];
    return uses == 0 || uses >= 200;
}

// Takes a type at the start of an update: the mode hears of it first; a steered flimb in a
// jump stops jumping.
void TakeType(Flimb& flimb, uint8_t type)
{
    if (!flimbs::SteppingCopy())
        ModeFlimbTypeChange(flimb.id, type, flimb.type);
    if ((flimb.attributes & kAttrSteered) && (flimb.flags2 & kFlimbJumping)) {
        flimb.flags2 &= static_cast<uint8_t>(~kFlimbJumping);
        flimb.jumpVX = flimb.jumpVY = 0;
    }
    flimb.SetType(type);
}

void DropQueuedAction(Flimb& flimb, Flimb* linked)
{
    flimb.queuedAction = kNoType;
    if (linked)
        linked->queuedAction = kNoType;
}

void TryQueuedAction(Flimb& flimb)
{
    const bool ranOut = flimb.queuedDelay == 1;
    if (flimb.queuedDelay > 0)
        --flimb.queuedDelay;
    if (flimb.queuedDelay > 0)
        return;
    const uint8_t action = flimb.queuedAction;
    Flimb* linked = flimb.linkedId >= 0 ? FindFlimbById(flimb.linkedId) : nullptr;
    if (linked == &flimb)
        linked = nullptr;
    if (!linked || linked->queuedAction == action) {
        if (CanGiveAction(flimb, 0, action, true)) {
            if (!flimbs::SteppingCopy())
                UseGroupAction(action, flimb);
            flimb.queuedAction = kNoType;
            TakeType(flimb, action);
        } else if (ranOut || NoUsesLeft(flimb, action)) {
            DropQueuedAction(flimb, linked);
        }
        return;
    }
    // The linked flimb holds another order: this one needs no use of its own.
    if (CanGiveAction(flimb, 0, action, false)) {
        flimb.queuedAction = kNoType;
        TakeType(flimb, action);
    } else if (ranOut) {
        DropQueuedAction(flimb, linked);
    }
}

bool IsFastType(const Flimb& flimb)
{
    const int fast = CurrentMatchOptions().doubleSpeedMorph;
    return fast >= 0 && fast == flimb.type;
}

// A steered walker standing without keys held waits as an Entangle; a key wakes it.
void SteeredStandStill(Flimb& flimb)
{
    if (!(flimb.attributes & kAttrSteered))
        return;
    const bool keysHeld = (flimb.steerKeys & (kSteerPositive | kSteerNegative)) != 0;
    const FlimbTypeRow& entangle = FlimbTypeRowOf(kEntangle);
    if (!keysHeld && flimb.type == kWalk && flimb.fallDistance < 7 &&
        (flimb.fallDistance < 4 || entangle.whileFalling)) {
        flimb.type = kEntangle;
        flimb.flags |= kFlimbFreshType;
        flimb.attributes &= static_cast<uint8_t>(~kAttrCounted);
        flimb.frame = 0;
        flimb.typeAge = 0;
        flimb.SetGroupAnimation(3, 0);
        if (entangle.final)
            flimb.queuedAction = kNoType;
        flimb.targetX = flimb.prevX = flimb.x;
        flimb.targetY = flimb.prevY = flimb.y;
    } else if (keysHeld && flimb.type == kEntangle && flimb.anim == 3) {
        flimb.SetType(kWalk, true);
    }
}

void RunHandler(Flimb& flimb)
{
    if (FlimbTypeHandler handler = GetFlimbTypeHandler(flimb.type))
        handler(flimb);
    ++flimb.typeAge;
}

void MovementStep(Flimb& flimb)
{
    if (flimb.pushX || flimb.pushY)
        flimb.ApplyPush();
    if (!flimb.InWorld())
        return;
    if (flimb.attributes & kAttrSteered)
        flimb.StepJump();
    if (flimb.attributes & kAttrNovaFuse) {
        flimb.fuse = static_cast<uint8_t>(flimb.fuse > 5 ? flimb.fuse - 5 : 0);
        if (flimb.fuse == 0) {
            flimb.attributes &= static_cast<uint8_t>(~kAttrNovaFuse);
            flimb.SetType(kNova);
        }
    }
    SteeredStandStill(flimb);
    if (flimb.autoBehaviour && flimb.typeAge >= 16)
        flimb.CheckEnemies();
    if (!flimb.InWorld())
        return;
    const bool steeredWalker = (flimb.attributes & kAttrSteered) && flimb.type == kWalk;
    RunHandler(flimb);
    if (steeredWalker && flimb.InWorld())
        RunHandler(flimb);
}

// Leaves (or wraps round) the landscape once the feet are far enough beyond an edge.
void LeaveLandscape(Flimb& flimb)
{
    const Landscape* land = flimbs::Terrain();
    if (!land || land->Width() <= 0 || land->Height() <= 0)
        return;
    const FrameLayout layout = flimb.Layout();
    const int32_t w = static_cast<int32_t>(static_cast<float>(layout.width) * flimb.scale);
    const int32_t h = static_cast<int32_t>(static_cast<float>(layout.height) * flimb.scale);
    const int32_t width = land->Width(), height = land->Height();
    const auto wraps = [&](int edge) { return land->edgeModes[static_cast<size_t>(edge)] == TileStore::kEdgeWrap; };
    bool leaves = false;
    if (flimb.y > height - 1 + h) {
        if (wraps(TileStore::kEdgeBottom)) {
            flimb.y = static_cast<int16_t>(flimb.y - height);
            flimb.prevY = static_cast<int16_t>(flimb.prevY - height);
        } else {
            leaves = flimb.y > height - 1 + 4 * h / 3;
        }
    } else if (flimb.y < -h) {
        if (wraps(TileStore::kEdgeTop)) {
            flimb.y = static_cast<int16_t>(flimb.y + height);
            flimb.prevY = static_cast<int16_t>(flimb.prevY + height);
        } else {
            leaves = flimb.y < -(4 * h / 3);
        }
    }
    if (flimb.x > width - 1 + w) {
        if (wraps(TileStore::kEdgeRight)) {
            flimb.x = static_cast<int16_t>(flimb.x - width);
            flimb.prevX = static_cast<int16_t>(flimb.prevX - width);
        } else {
            leaves = leaves || flimb.x > width - 1 + 4 * w / 3;
        }
    } else if (flimb.x < -w) {
        if (wraps(TileStore::kEdgeLeft)) {
            flimb.x = static_cast<int16_t>(flimb.x + width);
            flimb.prevX = static_cast<int16_t>(flimb.prevX + width);
        } else {
            leaves = leaves || flimb.x < -(4 * w / 3);
        }
    }
    if (!leaves)
        return;
    if (!(flimb.attributes & kAttrQuietEnd))
        flimbs::Sound(flimb, flimbs::kSoundLeave);
    flimbs::Remove(flimb);
}

// A size from a trap or a level file that no table can hold is refused here.
void CheckScale(Flimb& flimb)
{
    if (std::isfinite(flimb.scale) && flimb.scale > 0.0f && flimb.scale <= 8.0f)
        return;
    WriteLog("WARNING: FLIMB %d scale %f refused (above 0, at most 8): 1.0 taken\n", flimb.id,
             static_cast<double>(flimb.scale));
    flimb.scale = 1.0f;
}

} // namespace

void Flimb::Update()
{
    CheckScale(*this);
    // 1. Energy in the Multiverse match, the cooldown.
    if (CurrentGameModeIndex() == kMultiverseMode && energy > 0)
        --energy;
    if (cooldown > 0)
        --cooldown;
    // 2. The pending type, else the queued action.
    if (pendingType != kNoType) {
        const uint8_t next = pendingType;
        pendingType = kNoType;
        TakeType(*this, next);
    } else if (queuedAction != kNoType) {
        TryQueuedAction(*this);
    }
    // 3. Steering.
    if ((attributes & kAttrSteered) && !(type == kLop && typeAge < 10)) {
        const int direction = SteerDirection();
        const int speed = walkSpeed < 0 ? -walkSpeed : walkSpeed;
        if (direction != 0)
            walkSpeed = static_cast<int8_t>(direction * speed);
    }
    // 4. Where it was.
    prevX = x;
    prevY = y;
    // 5. Movement steps.
    int steps = stepsPerUpdate;
    if (IsFastType(*this) || (type == kMold && (attributes & kAttrSureFooted)))
        steps *= 2;
    for (int step = 0; step < steps && InWorld(); ++step)
        MovementStep(*this);
    // 6. Boost.
    if (boostLeft > 0 && --boostLeft == 0)
        stepsPerUpdate = 1;
    // 7. Edges.
    if (InWorld())
        LeaveLandscape(*this);
    // 8. The name tag.
    if (tag)
        PlaceTag();
}

void Flimb::AdvanceFrame()
{
    const int32_t count = Layout().count;
    int next = frame + 1;
    // 26-frame sheets are pairs: the simulation shows the even frame of each pair.
    if (count == 26 && (next & 1))
        ++next;
    frame = static_cast<int8_t>(next >= count ? 0 : next);
}

void Flimb::SetSteerKey(bool pressed, bool positive)
{
    const uint8_t side = positive ? kSteerPositive : kSteerNegative;
    if (pressed) {
        steerKeys = static_cast<uint8_t>((steerKeys | side) & ~(kPressedNegativeLast | kPressedPositiveLast));
        steerKeys |= positive ? kPressedPositiveLast : kPressedNegativeLast;
        if (!(attributes & kAttrSteered) && CurrentMatchOptions().steerAll)
            walkSpeed = static_cast<int8_t>(positive ? 3 : -3);
    } else {
        steerKeys &= static_cast<uint8_t>(~side);
    }
}

int Flimb::SteerDirection() const
{
    const bool positive = (steerKeys & kSteerPositive) != 0;
    const bool negative = (steerKeys & kSteerNegative) != 0;
    if (positive && negative)
        return (steerKeys & kPressedPositiveLast) ? 1 : (steerKeys & kPressedNegativeLast) ? -1 : 0;
    return positive ? 1 : negative ? -1 : 0;
}

void Flimb::PlaceTag()
{
    if (!tag)
        return;
    if (!tag->active) {
        DestroyFlimbTag(*this);
        return;
    }
    const float viewWidth = CurrentViewWidth(), viewHeight = CurrentViewHeight();
    if (viewWidth <= 0.0f || viewHeight <= 0.0f)
        return;
    float sx = static_cast<float>(x), sy = static_cast<float>(y);
    WorldToScreen(sx, sy);
    // Over the head: the sprite's height against gravity, 30 more in the duel modes.
    float rise = static_cast<float>(Layout().height) * scale;
    const int mode = CurrentGameModeIndex();
    if (mode == kQuarrelMode || mode == kMultiverseMode)
        rise += 30.0f;
    switch (gravity) {
    case 1:
        sy += rise;
        break;
    case 2:
        sx += rise;
        break;
    case 3:
        sx -= rise;
        break;
    default:
        sy -= rise;
        break;
    }
    tag->SetPosition(sx / viewWidth * 1000.0f, sy / viewHeight * 1000.0f);
}
