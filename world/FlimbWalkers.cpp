// The handlers of the types that walk, fall, float, fly, turn, come out of spawners and
// are held: Walk, Fall, Stun, Puff, Spin, Graviturn, Spawn, Entangle, CopySpawn.
#include "app/Random.h"
#include "game/Directions.h"
#include "world/FlimbFrame.h"
#include "world/FlimbHandlers.h"
#include "world/FlimbSounds.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cstdlib>

namespace {

using namespace flimbs;

constexpr int kTurning = 2;
constexpr int kTurnedBack = 3;
constexpr int kKnocked = 4;

// The end of a turning animation: anim 3 first faces away from turnSign.
void FinishTurn(Flimb& flimb)
{
    if (flimb.anim == kTurnedBack) {
        if (flimb.turnSign != 0 && (flimb.walkSpeed < 0) == (flimb.turnSign < 0))
            flimb.walkSpeed = static_cast<int8_t>(-flimb.walkSpeed);
        flimb.SetGroupAnimation(0, 0);
    } else if (flimb.anim == kTurning && flimb.frame == 0) {
        flimb.SetGroupAnimation(0, 0);
    }
}

void StepTowards(Flimb& flimb, int most)
{
    const int dx = std::clamp(flimb.targetX - flimb.x, -most, most);
    const int dy = std::clamp(flimb.targetY - flimb.y, -most, most);
    flimb.x = static_cast<int16_t>(flimb.x + dx);
    flimb.y = static_cast<int16_t>(flimb.y + dy);
}

// Whether the animation wrapped to its first frame in this step.
bool AdvanceAndWrapped(Flimb& flimb)
{
    const int before = flimb.frame;
    flimb.AdvanceFrame();
    return flimb.frame == 0 && before != 0;
}

// The angle of a gravity direction as a trap's rotation: down 0, right 90, up 180, left 270.
int DirectionAngle(int direction)
{
    switch (direction & 3) {
    case 1:
        return 180;
    case 2:
        return 270;
    case 3:
        return 90;
    default:
        return 0;
    }
}

} // namespace

void WalkHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    // At the start of a cycle a walker may idle for one; a knock-back plays once.
    if (flimb.frame == 0 && (flimb.anim == 0 || flimb.anim == 1 || flimb.anim == kKnocked)) {
        SimSrand(CurrentUpdateCounter());
        const int next = ((flimb.typeAge ^ SimRand()) & 15) == 0 ? 1 : 0;
        if (next != flimb.anim)
            flimb.SetGroupAnimation(next, 0);
    }
    const int32_t startX = flimb.x, startY = flimb.y;
    switch (flimb.WalkStep()) {
    case kWalked:
        if (flimb.anim == kTurning) {
            flimb.x = static_cast<int16_t>(startX);
            flimb.y = static_cast<int16_t>(startY);
        }
        FinishTurn(flimb);
        flimb.attributes &= static_cast<uint8_t>(~kAttrCounted);
        flimb.counter = 0;
        break;
    case kNoFoothold:
        FinishTurn(flimb);
        if (++flimb.counter >= 5) {
            flimb.counter = 0;
            flimb.SetType(kFall);
        }
        break;
    case kWall:
        if (flimb.attributes & kAttrSteered)
            break;
        if (flimb.anim == kTurning) {
            const int8_t oldSign = static_cast<int8_t>(flimb.walkSpeed < 0 ? -1 : 1);
            flimb.SetGroupAnimation(kTurnedBack, 0);
            flimb.turnSign = oldSign;
        } else if (flimb.anim != kTurnedBack) {
            flimb.SetGroupAnimation(kTurning, 0);
        }
        flimb.prevX = flimb.x;
        flimb.prevY = flimb.y;
        flimb.walkSpeed = static_cast<int8_t>(-flimb.walkSpeed);
        flimb.counter = 0;
        break;
    case kFatalFall:
        flimb.Splat();
        break;
    }
}

void FallHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    switch (flimb.WalkStep()) {
    case kNoFoothold:
        if (!flimb.pushX && !flimb.pushY && !(flimb.attributes & (kAttrSureFooted | kAttrQuietEnd)))
            flimb.CheckFall();
        break;
    case kWall:
        if (flimb.attributes & kAttrSteered)
            break;
        flimb.SetType(kWalk);
        flimb.prevX = flimb.x;
        flimb.prevY = flimb.y;
        break;
    case kWalked:
        if ((flimb.attributes & kAttrSteered) && (flimb.flags2 & kFlimbJumping))
            break;
        flimb.SetType(kWalk);
        flimb.prevX = flimb.x;
        flimb.prevY = flimb.y;
        break;
    case kFatalFall:
        flimb.Splat();
        break;
    }
}

void StunHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    if (flimb.typeAge > 25) {
        flimb.SetType(flimb.fallDistance > 3 ? kFall : kWalk);
        return;
    }
    const int16_t startX = flimb.x, startY = flimb.y;
    const int result = flimb.WalkStep();
    if (result == kFatalFall) {
        flimb.Splat();
        return;
    }
    if (result != kNoFoothold) {
        flimb.x = startX;
        flimb.y = startY;
    }
}

void PuffHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    flimb.fallDistance = static_cast<uint16_t>(Scaled(flimb, 25.0f));
    const int result = flimb.WalkStep();
    if (result == kWall || result == kWalked)
        flimb.SetType(kWalk);
    else
        flimb.fallDistance = static_cast<uint16_t>(Scaled(flimb, 25.0f));
}

namespace {

// The flight test of a computer-controlled Spin: a quiet copy flies ahead of time; true
// when it stops spinning within 51 updates.
bool FlightEndsSoon(const Flimb& flimb)
{
    WorldState& world = World();
    const bool wasRunning = world.preview.running;
    const bool wasSuspended = world.countingSuspended;
    const uint32_t generator = SimRandom().State();
    world.preview.running = true;
    world.countingSuspended = true;
    Flimb copy = flimb;
    copy.tag = nullptr;
    copy.attributes |= kAttrQuietEnd;
    copy.flags &= static_cast<uint8_t>(~kFlimbSelected);
    bool ends = false;
    for (int update = 0; update < 51; ++update) {
        copy.Update();
        if (!copy.InWorld() || copy.type != kSpin) {
            ends = true;
            break;
        }
    }
    SimRandom().SetState(generator);
    world.countingSuspended = wasSuspended;
    world.preview.running = wasRunning;
    return ends;
}

} // namespace

void SpinHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    flimb.fallDistance = static_cast<uint16_t>(Scaled(flimb, kSpinFallHold));
    const int band = Scaled(flimb, kSpinRise);
    const int clearance = Scaled(flimb, kSpinClearance);
    const int reach = static_cast<int>(static_cast<float>(BodyWidth(flimb)) * kFootholdWidth);
    // The band over the head must be clear, across the feet's width.
    for (int row = clearance; row <= clearance + band; ++row) {
        for (int column = -reach; column <= reach; ++column) {
            if (IsGround(flimb.ProbeTerrain(column, -row))) {
                Sound(flimb, kSoundSpin);
                flimb.SetType(kFall);
                return;
            }
        }
    }
    MoveInFrame(flimb, 0, -band);
    int along = Scaled(flimb, 1.0f);
    if (along < 1 && (flimb.typeAge & 1) == 0)
        along = 1;
    const int ahead = static_cast<int>(static_cast<float>(BodyWidth(flimb)) * kWallAhead);
    bool groundUnder = false;
    for (int row = 0; row <= band && !groundUnder; ++row)
        groundUnder = IsGround(flimb.ProbeTerrain(Facing(flimb) * ahead, row));
    MoveInFrame(flimb, (groundUnder ? -1 : 1) * Facing(flimb) * along, 0);

    if ((flimb.autoBehaviour & 1) && !(flimb.attributes & (kAttrNovaFuse | kAttrQuietEnd)) && !SteppingCopy() &&
        FlightEndsSoon(flimb)) {
        flimb.attributes |= kAttrNovaFuse;
        flimb.fuse = 255;
        flimb.flags |= kFlimbFuseLit;
    }
}

void GraviturnHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    StepTowards(flimb, 3);
    const int from = DirectionAngle(flimb.counter);
    int difference = DirectionAngle(flimb.gravity) - from;
    if (difference > 180)
        difference -= 360;
    else if (difference <= -180)
        difference += 360;
    flimb.angle = static_cast<int16_t>(from + static_cast<int>(static_cast<float>(difference) * 0.125f *
                                                               static_cast<float>(flimb.typeAge)));
    if (flimb.typeAge >= 8) {
        MoveInFrame(flimb, 0, Scaled(flimb, 17.0f));
        flimb.angle = 0;
        flimb.SetType(kFall);
    }
}

void SpawnHandler(Flimb& flimb)
{
    const int frame = flimb.frame;
    if (frame <= 7)
        MoveInFrame(flimb, 0, 4);
    else if (frame >= 18)
        MoveInFrame(flimb, 0, 3);
    if (AdvanceAndWrapped(flimb)) {
        flimb.SetType(kFall);
        MoveInFrame(flimb, 0, 2);
    }
}

void EntangleHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    if ((flimb.attributes & kAttrSteered) && flimb.anim == 3) {
        if (flimb.IsSupported()) {
            flimb.fallDistance = 0;
            return;
        }
        for (int drop = 0; drop < 6 && !flimb.IsSupported(); ++drop) {
            MoveInFrame(flimb, 0, 1);
            ++flimb.fallDistance;
        }
        if (flimb.fallDistance > 6)
            flimb.SetType(kFall);
        return;
    }
    const auto pull = [](int16_t at, int16_t target) {
        const int distance = target - at;
        if (distance == 0)
            return at;
        int step = distance / 4;
        if (step == 0)
            step = distance > 0 ? 1 : -1;
        return static_cast<int16_t>(at + step);
    };
    flimb.x = pull(flimb.x, flimb.targetX);
    flimb.y = pull(flimb.y, flimb.targetY);
}

void CopySpawnHandler(Flimb& flimb)
{
    if (!AdvanceAndWrapped(flimb))
        return;
    if (flimb.anim == 0) {
        flimb.SetGroupAnimation(1, 0);
        return;
    }
    int32_t x = flimb.x, y = flimb.y;
    OffsetByDirection(flimb.gravity, x, y, 0, 2);
    flimb.x = static_cast<int16_t>(x);
    flimb.y = static_cast<int16_t>(y);
    flimb.SetType(kFall);
}
