// The handlers of the types that end a flimb or throw: Nova, Lop, Atomize, Squish, Drown,
// Shock, Splat and Burn.
#include "app/Random.h"
#include "app/SimMath.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "modes/MatchOptions.h"
#include "world/FlimbFrame.h"
#include "world/FlimbHandlers.h"
#include "world/FlimbParticles.h"
#include "world/FlimbQueries.h"
#include "world/FlimbSounds.h"
#include "world/TrapRegistry.h"
#include "world/ViewServices.h"
#include "world/WorldClock.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using namespace flimbs;

// What a Nova crater takes: everything but rock, steel and the Doppel blocks (the Doppels
// near it are dealt with one by one).
constexpr uint32_t kCraterAffects = kDiggable;
constexpr int kNovaBlastAge = 13;
constexpr int kNovaLastAge = 19;

// A world rectangle given for gravity 0 around the feet (left of, above ... the feet).
FlimbList FlimbsAround(const Flimb& flimb, int left, int top, int right, int bottom)
{
    int32_t ax = 0, ay = 0, bx = 0, by = 0;
    FrameToWorld(flimb, left, top, ax, ay);
    FrameToWorld(flimb, right, bottom, bx, by);
    return FindFlimbsInArea(true, false, std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by));
}

void ShatterOrStunDoppels(const Flimb& nova)
{
    const bool shatterEnemies = CurrentMatchOptions().shatterDoppel;
    const int square = Scaled(nova, 50.0f);
    for (Flimb* other : FindFlimbsInArea(true, false, nova.x - square, nova.y - square, nova.x + square,
                                         nova.y + square)) {
        if (other == &nova || other->type != kDoppel)
            continue;
        const int dx = other->x - nova.x, dy = other->y - nova.y;
        if (dx * dx + dy * dy > 40 * 40)
            continue;
        other->DigAt(false);
        if (shatterEnemies && other->group != nova.group) {
            AtomizeFlimbSprite(*other, true, false, nullptr, 2, 2);
            Remove(*other);
        } else {
            ForceType(*other, kStun);
        }
    }
}

void BlastPush(const Flimb& nova)
{
    const int strength = CurrentMatchOptions().explosionMag;
    for (Flimb* other : FlimbsAround(nova, -180, -164, 180, 48)) {
        if (other == &nova)
            continue;
        int dx = other->x - nova.x;
        int dy = other->y - nova.y - 24;
        if (dx == 0)
            dx = 1;
        if (dy == 0)
            dy = -1;
        const int d = RoundToInt(std::sqrt(static_cast<float>(dx * dx + dy * dy)));
        const int v = static_cast<int>(ExpNeg50(d) * static_cast<float>(strength));
        int pushX = std::clamp(dx < 0 ? -v : v, -70, 70);
        int pushY = std::clamp((dy < 0 ? -v : v) * 30 / 20, -70, 70);
        if (d < 10)
            pushY = pushY * 30 / 20;
        other->pushX = static_cast<int16_t>(pushX);
        other->pushY = static_cast<int16_t>(pushY);
    }
}

} // namespace

void ExplodeNova(Flimb& flimb)
{
    Sound(flimb, kSoundNova);
    if (Controller().runState == kRunRunning && !SteppingCopy())
        ShakeGameView();
    const bool sureFooted = (flimb.attributes & kAttrSureFooted) != 0;
    const int size = sureFooted ? 3 : flimb.SizeClass();
    // The crater's dust is the drawing's own: its emitter reseeds only the drawing
    // generator, so the simulation generator is the same with or without particles.
    FlimbDustEmitter dust = DustEmitterOf(flimb, sureFooted ? NovaFountain : NovaDust);
    int width = 0, height = 0;
    BrushFrameSize(flimb, kNovaBrush, false, width, height, size);
    const int centre = -static_cast<int>(static_cast<float>(BodyHeight(flimb)) * kNovaCentre);
    StrokeBrush(flimb, kNovaBrush, false, -(width / 2), centre - height / 2, 0, false, kCraterAffects, &dust,
                kNeutralTint, size);
    DrawRandom().Seed(CurrentUpdateCounter());
    BurstNovaSprite(flimb, DrawRand() % 3);
    flimb.flags &= static_cast<uint8_t>(~kFlimbFuseLit);
    if (!SteppingCopy()) {
        NotifyTrapsFlimbExploded(&flimb);
        const MatchOptions& options = CurrentMatchOptions();
        if (options.contagiousNova)
            for (Flimb* other : FlimbsAround(flimb, -45, -84, 45, 36))
                if (other != &flimb)
                    SendUpdateFlimbType(other->id, kNova, 255, 0);
        ShatterOrStunDoppels(flimb);
        if (options.explosionPhysics)
            BlastPush(flimb);
    }
    Remove(flimb);
}

void NovaHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    if (flimb.typeAge == kNovaBlastAge)
        ExplodeNova(flimb);
    else if (flimb.typeAge >= kNovaLastAge)
        Remove(flimb);
}

void LopHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    if (flimb.typeAge == 9) {
        Sound(flimb, kSoundLop);
        if (!SteppingCopy())
            LaunchLopMissile(flimb);
    } else if (flimb.typeAge == 14) {
        flimb.fallDistance = 4;
        flimb.SetType(kWalk);
    }
}

void AtomizeHandler(Flimb& flimb)
{
    AtomizeFlimbSprite(flimb, false, true, nullptr, 1, 1);
    Remove(flimb);
}

void SquishHandler(Flimb& flimb)
{
    if (flimb.typeAge == 0)
        Sound(flimb, kSoundSquish);
    AtomizeFlimbSprite(flimb, true, false, nullptr, 2, 2);
    Remove(flimb);
}

void DrownHandler(Flimb& flimb)
{
    flimb.frame = static_cast<int8_t>((flimb.frame + 1) % 4);
    flimb.x = static_cast<int16_t>(flimb.x + std::clamp(flimb.targetX - flimb.x, -2, 2));
    flimb.y = static_cast<int16_t>(flimb.y + std::clamp(flimb.targetY - flimb.y, -2, 2));
    if (flimb.typeAge >= 14)
        Remove(flimb);
}

void ShockHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    if (flimb.typeAge == 5)
        flimb.SetGroupAnimation(1, 0);
    else if (flimb.typeAge == 10)
        flimb.SetGroupAnimation(2, 0);
    else if (flimb.typeAge >= 16)
        Remove(flimb);
}

void SplatHandler(Flimb& flimb)
{
    if (flimb.typeAge == 0 && !(flimb.attributes & kAttrQuietEnd))
        Sound(flimb, kSoundSplat);
    flimb.AdvanceFrame();
    flimb.Sink();
    if (flimb.splatHeight == 0)
        Remove(flimb);
}

void BurnHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    if (flimb.typeAge == 3) {
        flimb.SetGroupAnimation(1, 0);
    } else if (flimb.typeAge >= 19) {
        AtomizeFlimbSprite(flimb, true, false, nullptr, 2, 2);
        Remove(flimb);
    }
}
