// How a flimb meets the terrain: probes, the walking step, falls and splats, pushes and
// jumps, the Mold's climb and the Doppel's block.
#include "app/Random.h"
#include "app/SimMath.h"
#include "levelmodel/EditorPicking.h"
#include "modes/MatchOptions.h"
#include "traps/Trap.h"
#include "world/FlimbFrame.h"
#include "world/FlimbParticles.h"
#include "world/FlimbSounds.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/WorldClock.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using namespace flimbs;

constexpr int kJumpSpeed = 31;
constexpr int kHoverTrapKind = 29;

// Ground at the feet row `row` for the foothold of a walking step.
bool FootholdAt(const Flimb& flimb, int row)
{
    if (flimb.attributes & kAttrSteered) {
        const int w = BodyWidth(flimb);
        const int near = static_cast<int>(static_cast<float>(w) * kSupportNear);
        const int far = static_cast<int>(static_cast<float>(w) * kSupportFar);
        for (const int column : {0, -near, near, -far, far})
            if (IsGround(flimb.ProbeTerrain(column, row)))
                return true;
        return false;
    }
    return GroundAcrossFeet(flimb, row);
}

// The highest ground from `rise` rows above the feet down to the feet: the rows to climb,
// or -1 for none.
int FindFoothold(const Flimb& flimb, int rise)
{
    for (int row = -rise; row <= 0; ++row)
        if (FootholdAt(flimb, row))
            return -row;
    return -1;
}

bool PassesWallScan(uint8_t material)
{
    return material == 0 || material == 4 || material == 7 || material == 17;
}

// The column ahead blocks the way: an obstacle higher than a step, or a one-way wall
// against the walking direction anywhere in the scan.
bool WallAhead(const Flimb& flimb)
{
    const int w = BodyWidth(flimb), h = BodyHeight(flimb);
    const int top = static_cast<int>(static_cast<float>(h) * kWallTop);
    const int bottom = Scaled(flimb, 3.0f);
    if (top <= bottom)
        return false;
    const int column = Facing(flimb) * static_cast<int>(static_cast<float>(w) * kWallAhead);
    const int stepRise = static_cast<int>(static_cast<float>(h) / kWallRise);
    const int sign = WalkSign(flimb);
    for (int row = -top; row <= -bottom; row += 2) {
        const uint8_t material = flimb.ProbeTerrain(column, row);
        if (material == 8 || material == 9) {
            if ((material == 8) == (sign > 0))
                return true;
            continue;
        }
        if (!PassesWallScan(material) && -row > stepRise)
            return true;
    }
    return false;
}

// The world rectangle of frame offsets (left..right, top..bottom), inclusive.
void FrameRectToWorld(const Flimb& flimb, int left, int top, int right, int bottom, int32_t& x0, int32_t& y0,
                      int32_t& x1, int32_t& y1)
{
    int32_t ax = 0, ay = 0, bx = 0, by = 0;
    FrameToWorld(flimb, left, top, ax, ay);
    FrameToWorld(flimb, right, bottom, bx, by);
    x0 = std::min(ax, bx);
    x1 = std::max(ax, bx);
    y0 = std::min(ay, by);
    y1 = std::max(ay, by);
}

// The body's collision box would fit with the feet at (px, py).
bool BodyFits(const Flimb& flimb, int32_t px, int32_t py, bool againstGravity)
{
    const Landscape* land = Terrain();
    if (!land)
        return true;
    Flimb at = flimb;
    at.x = static_cast<int16_t>(px);
    at.y = static_cast<int16_t>(py);
    const FrameLayout layout = flimb.Layout();
    const float s = flimb.scale;
    const int left = static_cast<int>(static_cast<float>(-layout.hotX) * s) + 2;
    const int right = static_cast<int>(static_cast<float>(layout.width - layout.hotX) * s) - 2;
    const int cut = againstGravity ? Scaled(flimb, 30.0f) + 10 : Scaled(flimb, 10.0f);
    const int top = static_cast<int>(static_cast<float>(-layout.hotY) * s) + cut;
    if (left > right || top > -1)
        return true;
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    FrameRectToWorld(at, left, top, right, -1, x0, y0, x1, y1);
    return !land->HitTestRect(false, false, x0, y0, x1, y1);
}

// Components of a world vector along the flimb's gravity (positive: falling) and across it.
int AlongGravity(const Flimb& flimb, int vx, int vy)
{
    switch (flimb.gravity) {
    case 1:
        return -vy;
    case 2:
        return -vx;
    case 3:
        return vx;
    default:
        return vy;
    }
}

// The unit vector of the flimb's gravity in the world.
void GravityUnit(uint8_t gravity, int32_t& gx, int32_t& gy)
{
    gx = gravity == 2 ? -1 : gravity == 3 ? 1 : 0;
    gy = gravity == 0 ? 1 : gravity == 1 ? -1 : 0;
}

int16_t Clamp31(int value)
{
    return static_cast<int16_t>(std::clamp(value, -kJumpSpeed, kJumpSpeed));
}

} // namespace

const BashMask* Flimb::GetBrushMask(int brush, bool flip, int size) const
{
    Landscape* land = Terrain();
    if (!land)
        return nullptr;
    return land->BrushMask(brush, size >= 0 && size <= 3 ? size : SizeClass(), gravity & 3, flip ? 1 : 0);
}

uint8_t Flimb::ProbeTerrain(int dx, int dy) const
{
    const Landscape* land = Terrain();
    if (!land)
        return 0;
    int32_t wx = 0, wy = 0;
    FrameToWorld(*this, dx, dy, wx, wy);
    return land->HitTestPoint(wx, wy);
}

bool Flimb::IsSupported() const
{
    const int w = BodyWidth(*this);
    const int near = static_cast<int>(static_cast<float>(w) * kSupportNear);
    const int far = static_cast<int>(static_cast<float>(w) * kSupportFar);
    for (const int column : {0, -near, near, -far, far})
        if (IsGround(ProbeTerrain(column, 0)))
            return true;
    return false;
}

void Flimb::GetTopPoint(int32_t& px, int32_t& py) const
{
    FrameToWorld(*this, 0, -Scaled(*this, 27.0f), px, py);
}

int Flimb::WalkStep()
{
    const int n = std::abs(static_cast<int>(walkSpeed));
    const int dropLimit = type == kPuff ? n : StepDownLimit(*this);
    int used = 0, drops = 0;
    do {
        // 1. Foothold: climb a step within reach, or drop and try the pixel again.
        const int climb = FindFoothold(*this, n);
        if (climb < 0) {
            MoveInFrame(*this, 0, 1);
            ++fallDistance;
            if (++drops >= dropLimit)
                return kNoFoothold;
            continue;
        }
        if (climb > 0) {
            MoveInFrame(*this, 0, -climb);
            used += climb;
        }
        // 2. Standing.
        if (!(attributes & kAttrSureFooted) && fallDistance > SafeFallHeight(*this))
            return kFatalFall;
        fallDistance = 0;
        if (used >= n)
            break;
        // 3. Wall.
        if (WallAhead(*this))
            return kWall;
        // 4. One pixel on.
        MoveInFrame(*this, Facing(*this), 0);
        ++used;
    } while (used < n);
    return kWalked;
}

void Flimb::CheckFall()
{
    if (type != kFall || (attributes & kAttrSureFooted) || LevelEditorOpen())
        return;
    int safe = Scaled(*this, kSafeFallPerScale);
    if (CurrentMatchOptions().doubleFall)
        safe *= 2;
    if (attributes & kAttrSteered)
        safe = RoundToInt(static_cast<float>(safe) * 1.5f) - 1;
    // Ground within reach of a safe landing: from the fall so far to the safe height.
    const int reach = safe - static_cast<int>(fallDistance);
    bool ground = false;
    if (reach > 0) {
        const int foot = static_cast<int>(static_cast<float>(BodyWidth(*this)) * kFootholdWidth);
        int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        FrameRectToWorld(*this, -foot, 1, foot, reach, x0, y0, x1, y1);
        const Landscape* land = Terrain();
        // Most falls have open air below: one rectangle test answers; else pixel by pixel.
        if (land && land->HitTestRect(false, true, x0, y0, x1, y1))
            for (int row = 1; row <= reach && !ground; ++row)
                ground = GroundAcrossFeet(*this, row);
    }
    if (ground) {
        attributes &= static_cast<uint8_t>(~kAttrCounted);
        if (anim != 0)
            SetGroupAnimation(0, -1);
        return;
    }
    if (attributes & kAttrCounted)
        return;
    SetAttribute(kAttrCounted);
    SimSrand(CurrentUpdateCounter());
    SetGroupAnimation(SimRand() % 2 == 0 ? 1 : 2, -1);
}

void Flimb::Jump()
{
    if (fallDistance > 6 || (flags2 & kFlimbJumping))
        return;
    jumpVX = jumpVY = 0;
    switch (gravity) {
    case 1:
        jumpVY = kJumpSpeed;
        break;
    case 2:
        jumpVX = kJumpSpeed;
        break;
    case 3:
        jumpVX = -kJumpSpeed;
        break;
    default:
        jumpVY = -kJumpSpeed;
        break;
    }
    flags2 |= kFlimbJumping;
    rise = 0;
    type = kFall;
}

void Flimb::Land(bool stop, bool settle)
{
    const bool rising = AlongGravity(*this, jumpVX, jumpVY) < 0;
    if (!stop || rising) {
        flags2 &= static_cast<uint8_t>(~kFlimbJumping);
        jumpVX = jumpVY = 0;
    }
    if (!settle)
        return;
    if (rising) {
        SetType(kFall, true);
    } else if (fallDistance > RoundToInt(static_cast<float>(Scaled(*this, kSafeFallPerScale)) * 1.5f)) {
        Splat();
    } else {
        fallDistance = 0;
        SetType(kWalk, true);
    }
}

void Flimb::StepJump()
{
    if (!(flags2 & kFlimbJumping))
        return;
    const int accel = rise % 5 == 4 ? 5 : 6;
    int vx = jumpVX, vy = jumpVY;
    if (rise == 0 && (vx || vy)) {
        int32_t ux = 0, uy = 0;
        GravityUnit(gravity, ux, uy);
        vx -= ux;
        vy -= uy;
    }
    if (const int steer = SteerDirection(); steer != 0)
        (gravity < 2 ? vx : vy) += accel * steer;
    const int32_t startX = x, startY = y;
    const int blocked = MoveWithCollision(vx, vy);
    const int moved = AlongGravity(*this, x - startX, y - startY);
    if (moved > 0)
        fallDistance = static_cast<uint16_t>(std::min(65535, fallDistance + moved));
    else if (moved < 0)
        fallDistance = 0;
    const bool gravityAxisBlocked = (blocked & (gravity < 2 ? 2 : 1)) != 0;
    jumpVX = Clamp31(vx);
    jumpVY = Clamp31(vy);
    if (gravityAxisBlocked) {
        prevX = x;
        prevY = y;
        if (AlongGravity(*this, vx, vy) > 0)
            Land(false, true);
        else
            (gravity < 2 ? jumpVY : jumpVX) = 0;
        return;
    }
    int32_t gx = 0, gy = 0;
    GravityUnit(gravity, gx, gy);
    jumpVX = Clamp31(vx + 4 * gx);
    jumpVY = Clamp31(vy + 4 * gy);
    ++rise;
}

int Flimb::MoveWithCollision(int dx, int dy)
{
    const float length = std::sqrt(static_cast<float>(dx * dx + dy * dy));
    const int steps = RoundToInt(length);
    if (steps <= 0)
        return 0;
    const bool againstGravity = AlongGravity(*this, dx, dy) < 0;
    const int32_t startX = x, startY = y;
    int32_t atX = x, atY = y;
    int blocked = 0;
    for (int i = 1; i <= steps && blocked != 3; ++i) {
        const int32_t tx = startX + RoundToInt(static_cast<float>(dx) * static_cast<float>(i) / static_cast<float>(steps));
        const int32_t ty = startY + RoundToInt(static_cast<float>(dy) * static_cast<float>(i) / static_cast<float>(steps));
        if (!(blocked & 1) && tx != atX) {
            if (BodyFits(*this, tx, atY, againstGravity))
                atX = tx;
            else
                blocked |= 1;
        }
        if (!(blocked & 2) && ty != atY) {
            if (BodyFits(*this, atX, ty, againstGravity))
                atY = ty;
            else
                blocked |= 2;
        }
    }
    x = static_cast<int16_t>(atX);
    y = static_cast<int16_t>(atY);
    return blocked;
}

void Flimb::ApplyPush()
{
    if (type == kDoppel) {
        // Its own block would hold it; it stamps a new one where it comes to stand.
        DigAt(false);
        flags |= kFlimbFreshType;
    }
    const int32_t startX = x, startY = y;
    const float length = std::sqrt(static_cast<float>(pushX * pushX + pushY * pushY));
    const int blocked = MoveWithCollision(pushX, pushY);
    if (blocked == 3 && length > 125.0f) {
        AtomizeFlimbSprite(*this, true, false, nullptr, 2, 2);
        Remove(*this);
        return;
    }
    if (blocked & 1)
        pushX = 0;
    if (blocked & 2)
        pushY = 0;
    if (x != startX || y != startY) {
        if (blocked) {
            prevX = x;
            prevY = y;
        }
        DecayPush();
    }
    if (std::abs(static_cast<int>(pushX)) <= 1 && std::abs(static_cast<int>(pushY)) <= 1) {
        pushX = pushY = 0;
        attributes &= static_cast<uint8_t>(~kAttrCounted);
        CheckFall();
    }
}

void Flimb::DecayPush()
{
    const int across = gravity < 2 ? pushX : pushY;
    if (type == kWalk && across != 0 && (across < 0) != (walkSpeed < 0) && anim != 4)
        SetGroupAnimation(4, 0); // knocked back against its walking direction
    pushX = static_cast<int16_t>(pushX * 3 / 4);
    pushY = static_cast<int16_t>(pushY * 3 / 4);
    attributes &= static_cast<uint8_t>(~kAttrCounted);
}

void Flimb::StepUp()
{
    int width = 0, height = 0;
    BrushFrameSize(*this, kMoldBrush + (group & 7), Facing(*this) < 0, width, height);
    if (width <= 0 || height <= 0)
        return;
    int forward = width / 2;
    if (scale < 1.0f)
        forward += 1;
    else if (scale == 2.0f)
        forward -= 2;
    MoveInFrame(*this, Facing(*this) * forward, -height);
}

void Flimb::Sink()
{
    const int depth = std::max(1, Scaled(*this, 2.0f));
    splatHeight = static_cast<uint8_t>(splatHeight > depth ? splatHeight - depth : 0);
}

void Flimb::Splat()
{
    SetType(kSplat);
    if (type != kSplat)
        return;
    const FrameLayout layout = Layout();
    splatHeight = static_cast<uint8_t>(std::clamp(static_cast<int>(static_cast<float>(layout.height) * scale), 1, 255));
    AtomizeFlimbSprite(*this, true, false, nullptr, 2, 2);
}

void Flimb::DigAt(bool stamp)
{
    // The left half-block (brush 2) and its mirror: the half on the negative side of the
    // walking axis is material 8 (stops walkers going the positive way), the other 9.
    const bool reversed = gravity == 1 || gravity == 3;
    int width = 0, height = 0;
    BrushFrameSize(*this, kDoppelBrush, false, width, height);
    if (width <= 0 || height <= 0)
        return;
    for (const bool right : {false, true}) {
        const int material = stamp ? ((right != reversed) ? 9 : 8) : 0;
        const int left = right ? 0 : -width;
        StrokeBrush(*this, kDoppelBrush, right, left, -height, material, false, stamp ? kEmptyOnly : kOneWayWalls,
                    nullptr, kNeutralTint);
    }
}

bool Flimb::IsOverTrapKind() const
{
    for (Trap* hover : GetTrapsOfKind(kHoverTrapKind))
        if (hover->CarriesFlimb(this))
            return true;
    return false;
}
