// The handlers of the types that change the terrain as they work: Clob (a tunnel forward),
// Gulp (a diagonal tunnel), Drill (a shaft down), Mold (a stair of bricks) and Doppel (a
// block that stops walkers).
#include "app/Random.h"
#include "world/FlimbFrame.h"
#include "world/FlimbHandlers.h"
#include "world/FlimbParticles.h"
#include "world/FlimbSounds.h"
#include "world/WorldClock.h"

namespace {

using namespace flimbs;

constexpr int kClobHardHits = 12;
constexpr int kGulpHardHits = 6;

// What a digger's brush finds where it would go.
struct DigSurvey {
    bool blocked = false;
    int32_t blockX = 0, blockY = 0;
    bool hard = false;
    bool diggable = false;
};

// Surveys the brush laid at (left, top): rock and steel stop the digger anywhere, a
// one-way wall against its walking direction in the leading part (frame rows from
// `leadFrom` of the brush's height down), material 7 is a hard hit, 1 and 17 dig.
DigSurvey Survey(const Flimb& flimb, int brush, bool flip, int left, int top, float leadFrom)
{
    DigSurvey survey;
    int width = 0, height = 0;
    BrushFrameSize(flimb, brush, flip, width, height);
    const int leadRow = static_cast<int>(static_cast<float>(height) * leadFrom);
    const int sign = WalkSign(flimb);
    ForBrushPixels(flimb, brush, flip, left, top, [&](uint8_t material, int row, int column) {
        if (survey.blocked)
            return;
        const bool oneWayAgainst = (material == 8 && sign > 0) || (material == 9 && sign < 0);
        if (material == 2 || material == 3 || (oneWayAgainst && row >= leadRow)) {
            survey.blocked = true;
            FrameToWorld(flimb, left + column, top + row, survey.blockX, survey.blockY);
        } else if (material == 7) {
            survey.hard = true;
        } else if (material == 1 || material == 17) {
            survey.diggable = true;
        }
    });
    return survey;
}

// Up to two pixels of drop when the feet find nothing; Fall past the safe height.
bool SettleOrFall(Flimb& flimb)
{
    for (int pass = 0; pass < 2; ++pass) {
        if (GroundAcrossFeet(flimb, 0)) {
            flimb.fallDistance = 0;
            return true;
        }
        MoveInFrame(flimb, 0, 1);
        ++flimb.fallDistance;
    }
    if (flimb.fallDistance > SafeFallHeight(flimb)) {
        flimb.SetType(kFall);
        return false;
    }
    return true;
}

// The tunnelling of Clob and Gulp once the brush is placed.
void Tunnel(Flimb& flimb, int brush, bool flip, int left, int top, float leadFrom, int hardHits,
            BashEmitter::Callback dust)
{
    const DigSurvey survey = Survey(flimb, brush, flip, left, top, leadFrom);
    FlimbDustEmitter emitter = DustEmitterOf(flimb, dust);
    emitter.stepX = emitter.stepY = 2;
    if (survey.blocked) {
        Sound(flimb, kSoundBlocked);
        StrokeBrush(flimb, brush, flip, left, top, 0, false, kDiggable, &emitter, kNeutralTint);
        flimb.SetType(kWalk);
        ThrowDebris(survey.blockX, survey.blockY);
        return;
    }
    if (survey.hard)
        ++flimb.counter;
    if ((survey.diggable && flimb.counter < hardHits) || flimb.typeAge < 10) {
        StrokeBrush(flimb, brush, flip, left, top, 0, false, kDiggable, &emitter, kNeutralTint);
        MoveInFrame(flimb, Facing(flimb), 0);
        flimb.flags &= static_cast<uint8_t>(~kFlimbFreshType);
        return;
    }
    if (flimb.typeAge > 10) {
        MoveInFrame(flimb, -Facing(flimb), 0);
        flimb.prevX = flimb.x;
        flimb.prevY = flimb.y;
    }
    flimb.SetType(kWalk);
}

// --- Mold ----------------------------------------------------------------------------------

int MoldBrush(const Flimb& flimb)
{
    return kMoldBrush + (flimb.group & 7);
}

// The next brick's place: ahead of the feet, its bottom row just above them.
void BrickPlace(const Flimb& flimb, int& left, int& top, int& width, int& height)
{
    BrushFrameSize(flimb, MoldBrush(flimb), Facing(flimb) < 0, width, height);
    left = Facing(flimb) > 0 ? 0 : -(width - 1);
    top = -height;
}

// A wall or a ceiling where the next brick and the body over it would go.
bool BrickBlocked(const Flimb& flimb)
{
    int left = 0, top = 0, width = 0, height = 0;
    BrickPlace(flimb, left, top, width, height);
    if (width <= 0 || height <= 0)
        return false;
    const int headRoom = static_cast<int>(static_cast<float>(BodyHeight(flimb)) / kWallRise);
    const int sign = WalkSign(flimb);
    for (int row = top - headRoom; row < 0; ++row) {
        for (int column = left; column < left + width; ++column) {
            const uint8_t material = flimb.ProbeTerrain(column, row);
            if (material == 0 || material == 4 || material == 7 || material == 17)
                continue;
            if ((material == 8 && sign < 0) || (material == 9 && sign > 0))
                continue; // a one-way wall that lets it pass
            return true;
        }
    }
    return false;
}

void TurnAway(Flimb& flimb)
{
    flimb.walkSpeed = static_cast<int8_t>(-flimb.walkSpeed);
    Sound(flimb, kSoundMoldTurn);
    flimb.SetType(kWalk, true, 2);
}

uint32_t BrickTint(int bricksLeft)
{
    switch (bricksLeft) {
    case 3:
        return 0xFF404040u;
    case 2:
        return 0xFF202020u;
    case 1:
        return 0xFF000000u;
    default:
        return kNeutralTint;
    }
}

void LayBrick(Flimb& flimb)
{
    int left = 0, top = 0, width = 0, height = 0;
    BrickPlace(flimb, left, top, width, height);
    StrokeBrush(flimb, MoldBrush(flimb), Facing(flimb) < 0, left, top, 7, true, kEmptyOnly, nullptr,
                BrickTint(flimb.counter));
    --flimb.counter;
}

} // namespace

void ClobHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    if (!SettleOrFall(flimb))
        return;
    const bool flip = Facing(flimb) < 0;
    int width = 0, height = 0;
    BrushFrameSize(flimb, kClobBrush, flip, width, height);
    const int reach = static_cast<int>(static_cast<float>(BodyWidth(flimb)) * kClobReach);
    const int left = flip ? -reach : reach - width + 1;
    int top = -height;
    if (flimb.scale == 2.0f && flimb.gravity == 0)
        --top;
    Tunnel(flimb, kClobBrush, flip, left, top, 0.25f, kClobHardHits, ClobDust);
}

void GulpHandler(Flimb& flimb)
{
    flimb.AdvanceFrame();
    const bool down = (flimb.flags & kFlimbGulpVariant) != 0;
    if (!down && GroundAcrossFeet(flimb, -1))
        MoveInFrame(flimb, 0, -1);
    if (!SettleOrFall(flimb))
        return;
    const int brush = down ? kGulpDownBrush : kGulpUpBrush;
    const bool flip = Facing(flimb) < 0;
    int width = 0, height = 0;
    BrushFrameSize(flimb, brush, flip, width, height);
    // The brush's centre: 25 pixels ahead and 12 along gravity, a little more or less for
    // double and half size.
    int ahead = 25, along = 12;
    if (flimb.scale == 2.0f) {
        ahead += 3;
        along += 2;
    } else if (flimb.scale == 0.5f) {
        ahead -= 1;
        along -= 1;
    }
    const int left = Facing(flimb) * ahead - width / 2;
    const int top = along - height / 2;
    if (flimb.typeAge % 15 == 14 && ParticlePoolHasRoom(false) && !SteppingCopy()) {
        ParticleRequest dust;
        int32_t px = 0, py = 0;
        FrameToWorld(flimb, Facing(flimb) * ahead, along, px, py);
        dust.x = static_cast<float>(px);
        dust.y = static_cast<float>(py);
        dust.flags = kParticleFalls | kParticlePhysical;
        dust.gravity = flimb.gravity;
        dust.life = 20;
        EmitParticle(dust);
    }
    Tunnel(flimb, brush, flip, left, top, 0.3f, kGulpHardHits, GulpDust);
}

void DrillHandler(Flimb& flimb)
{
    int width = 0, height = 0;
    BrushFrameSize(flimb, kDrillBrush, false, width, height);
    const int left = -(width / 2);
    const DigSurvey survey = [&] {
        DigSurvey found;
        ForBrushPixels(flimb, kDrillBrush, false, left, 0, [&](uint8_t material, int row, int column) {
            if (!found.blocked && (material == 2 || material == 3 || material == 8 || material == 9)) {
                found.blocked = true;
                FrameToWorld(flimb, left + column, row, found.blockX, found.blockY);
            }
        });
        return found;
    }();
    if (survey.blocked) {
        Sound(flimb, kSoundBlocked);
        ThrowDebris(survey.blockX, survey.blockY);
        flimb.SetType(kWalk);
        return;
    }
    const int strokes = (flimb.flags & kFlimbFreshType) ? 5 : 1;
    flimb.flags &= static_cast<uint8_t>(~kFlimbFreshType);
    for (int stroke = 0; stroke < strokes; ++stroke) {
        const uint32_t removed =
            StrokeBrush(flimb, kDrillBrush, false, left, 0, 0, false, kDiggable, nullptr, kNeutralTint);
        if (!removed) {
            flimb.SetType(kFall);
            return;
        }
        if (ParticlePoolHasRoom(false) && !SteppingCopy()) {
            DrawRandom().Seed(CurrentUpdateCounter());
            ParticleRequest chip;
            int32_t cx = 0, cy = 0;
            FrameToWorld(flimb, 0, 0, cx, cy);
            chip.x = static_cast<float>(cx);
            chip.y = static_cast<float>(cy);
            const int across = DrawRand() % 16 - 8, along = DrawRand() % 8 - 4;
            int32_t vx = 0, vy = 0;
            FrameToWorld(flimb, across, along, vx, vy);
            chip.vx = static_cast<float>(vx - flimb.x);
            chip.vy = static_cast<float>(vy - flimb.y);
            chip.flags = kParticleFalls | kParticlePhysical;
            chip.gravity = flimb.gravity;
            chip.colour = removed & 0x00FFFFFFu;
            chip.life = 20;
            EmitParticle(chip);
        }
        MoveInFrame(flimb, 0, 1);
        flimb.AdvanceFrame();
    }
}

void MoldHandler(Flimb& flimb)
{
    if (flimb.counter <= 0 && flimb.frame < 2) {
        // The stair is done: a short rest, then on foot.
        if (--flimb.counter <= -24)
            flimb.SetType(kWalk);
        return;
    }
    const int before = flimb.frame;
    flimb.AdvanceFrame();
    const bool wrapped = flimb.frame == 0 && before != 0;
    if (flimb.frame <= 14 && !GroundAcrossFeet(flimb, 0)) {
        MoveInFrame(flimb, 0, 1);
        ++flimb.fallDistance;
    }
    if (flimb.frame == 8 && flimb.counter >= 1 && flimb.counter <= 3)
        Sound(flimb, kSoundBricksLow);
    if (flimb.frame == 2 && (flimb.flags & kFlimbFreshType)) {
        flimb.flags &= static_cast<uint8_t>(~kFlimbFreshType);
        if (BrickBlocked(flimb)) {
            TurnAway(flimb);
            return;
        }
    }
    if (flimb.frame == 14) {
        if (!GroundAcrossFeet(flimb, 0)) {
            flimb.SetType(kFall);
            return;
        }
        if (BrickBlocked(flimb)) {
            TurnAway(flimb);
            return;
        }
        LayBrick(flimb);
    }
    if (flimb.frame == 18)
        flimb.attributes &= static_cast<uint8_t>(~kAttrCounted);
    if (wrapped && flimb.typeAge > 0)
        flimb.StepUp();
}

void DoppelHandler(Flimb& flimb)
{
    const int reach = Scaled(flimb, 8.0f);
    bool support = false;
    for (int column = -reach; column <= reach && !support; ++column) {
        const uint8_t material = flimb.ProbeTerrain(column, 0);
        support = material == 1 || material == 2 || material == 3 || material == 4 || material == 7 || material == 17;
    }
    if (!support) {
        Sound(flimb, kSoundDoppel);
        flimb.DigAt(false);
        ForceType(flimb, kFall);
        return;
    }
    if (flimb.flags & kFlimbFreshType) {
        flimb.DigAt(true);
        flimb.flags &= static_cast<uint8_t>(~kFlimbFreshType);
    }
    flimb.AdvanceFrame();
}
