// The modify-land trap's run: the final values at activation, the update's passes (push
// prediction, erase, platform carry, step and stamp, unstick, push and crush, end test) and
// one step of a primitive.
#include "traps/ModifyLandTrap.h"

#include "app/Random.h"
#include "app/SimMath.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "levelmodel/MapPrimitive.h"
#include "media/AnimSurface.h"
#include "traps/TrapKindHelpers.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"
#include "world/LockedBitmap.h"
#include "world/ParticleEmitters.h"
#include "world/ParticleKinds.h"
#include "world/ParticleManager.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kEraseColour = 0xFF808080u;
// Land-to-bash values of the shrinking stamp: every material, and the loose ones.
constexpr uint32_t kEveryMaterial = 0xFFFFFFFFu;
constexpr uint32_t kLooseLand = static_cast<uint32_t>(-127773);
constexpr float kDegreesPerRadian = 180.0f / 3.1415927f;

PrimitivePose PoseOf(const MapPrimitive& prim)
{
    return {prim.posX, prim.posY, prim.scaleX, prim.scaleY, prim.rotation};
}

void SetPose(MapPrimitive& prim, const PrimitivePose& pose)
{
    prim.posX = pose.x;
    prim.posY = pose.y;
    prim.scaleX = pose.scaleX;
    prim.scaleY = pose.scaleY;
    prim.rotation = pose.rotation;
}

// The box of a w x h image scaled and turned about its centre at the pose's point (through
// the angle table).
gfx::RECT PoseRect(const PrimitivePose& pose, int32_t w, int32_t h)
{
    const float hw = static_cast<float>(w) * std::fabs(pose.scaleX) / 2.0f;
    const float hh = static_cast<float>(h) * std::fabs(pose.scaleY) / 2.0f;
    const float c = std::fabs(CosDegF(pose.rotation)), s = std::fabs(SinDegF(pose.rotation));
    const float ex = hw * c + hh * s, ey = hw * s + hh * c;
    const int32_t cx = RoundToInt(pose.x), cy = RoundToInt(pose.y);
    return gfx::RECT{cx - TruncToInt(std::ceil(ex)), cy - TruncToInt(std::ceil(ey)), cx + TruncToInt(std::ceil(ex)),
                     cy + TruncToInt(std::ceil(ey))};
}

// The image of the primitive at a scale and turn, its hot spot at the image's centre.
BashMaskPtr CaptureMask(const ModifiedPrimitive& primitive, float scaleX, float scaleY, float rotation)
{
    const AnimSurface* image = primitive.prim ? primitive.prim->Image() : nullptr;
    if (!image || !image->bitmap)
        return nullptr;
    const LockedBitmap locked(image->bitmap);
    if (!locked.Locked())
        return nullptr;
    const BashMask& source = locked.Image();
    return Landscape::GenerateBashMask(source, nullptr, scaleX, scaleY, static_cast<float>(RoundToInt(rotation)),
                                       false, source.width / 2, source.height / 2);
}

// Whether the mask, its hot spot on (cx, cy), is opaque at the world point.
bool MaskOpaqueAt(const BashMask* mask, int32_t cx, int32_t cy, int32_t px, int32_t py)
{
    if (!mask)
        return false;
    const int mx = px - (cx - mask->hotspotX), my = py - (cy - mask->hotspotY);
    return mask->Contains(mx, my) && (mask->Row(my)[mx] >> 24) != 0;
}

// The body of a flimb: its sprite rectangle without the margins (10, 18, -10, -2), scaled
// and turned to its gravity.
gfx::RECT BodyRect(const Flimb& flimb)
{
    gfx::RECT body = flimb.GetCurrentSprite();
    const float s = flimb.scale;
    const gfx::RECT margins{TruncToInt(10.0f * s), TruncToInt(18.0f * s), TruncToInt(-10.0f * s),
                            TruncToInt(-2.0f * s)};
    InsetRectByDirection(margins, flimb.gravity, body);
    return body;
}

int32_t CountSolid(const gfx::RECT& r)
{
    const Landscape* land = GameLandscape();
    return land ? land->CountSolidPixels(r.left, r.top, r.right, r.bottom) : 0;
}

bool EntirelySolid(const gfx::RECT& r)
{
    const int64_t area = (int64_t(r.right) - r.left + 1) * (int64_t(r.bottom) - r.top + 1);
    return area > 0 && CountSolid(r) >= area;
}

enum Side { kWhole, kRight, kLeft, kBottom, kTop };

// The strip at one side of a body rectangle, 4 x scale deep.
gfx::RECT Strip(gfx::RECT body, float scale, Side side)
{
    const int32_t w = body.right - body.left, h = body.bottom - body.top;
    const int32_t depth = TruncToInt(4.0f * scale);
    switch (side) {
    case kRight:
        body.top += h / 4, body.bottom -= h / 4, body.left = body.right - depth;
        break;
    case kLeft:
        body.top += h / 4, body.bottom -= h / 4, body.right = body.left + depth;
        break;
    case kBottom:
        body.left += w / 4, body.right -= w / 4, body.top = body.bottom - depth;
        break;
    case kTop:
        body.left += w / 4, body.right -= w / 4, body.bottom = body.top + depth;
        break;
    default:
        break;
    }
    return body;
}

Side SideOfMotion(float dx, float dy)
{
    if (dx > 0.0f)
        return kRight;
    if (dx < 0.0f)
        return kLeft;
    if (dy > 0.0f)
        return kBottom;
    if (dy < 0.0f)
        return kTop;
    return kWhole;
}

Side SideOfAngle(float degrees)
{
    if (degrees > -45.0f && degrees < 45.0f)
        return kRight;
    if (degrees >= 45.0f && degrees < 135.0f)
        return kTop;
    if (degrees > -135.0f && degrees <= -45.0f)
        return kBottom;
    if ((degrees >= 135.0f && degrees <= 180.0f) || (degrees >= -180.0f && degrees <= -135.0f))
        return kLeft;
    return kWhole;
}

// The displacement of a point turned about a centre by `degrees` (world y grows downwards).
void TurnOffset(int32_t px, int32_t py, int32_t cx, int32_t cy, float degrees, int32_t& ox, int32_t& oy)
{
    const int32_t dx = px - cx, dy = cy - py;
    const float d = std::sqrt(static_cast<float>(dx) * static_cast<float>(dx) +
                              static_cast<float>(dy) * static_cast<float>(dy));
    const float a = Atan2Deg(static_cast<float>(dy), static_cast<float>(dx)) + degrees;
    ox = RoundToInt(CosDegF(a) * d) - dx;
    oy = dy - RoundToInt(SinDegF(a) * d);
}

bool Holds(const std::vector<Flimb*>& list, const Flimb* flimb)
{
    return std::find(list.begin(), list.end(), flimb) != list.end();
}

void MoveFlimb(Flimb& flimb, int32_t dx, int32_t dy)
{
    flimb.x = static_cast<int16_t>(flimb.x + dx);
    flimb.y = static_cast<int16_t>(flimb.y + dy);
}

} // namespace

// A flimb the push prediction found in the way of a target, and the solid pixels its body
// held then.
struct ModifyLandTrap::PushedFlimb {
    int32_t primId = 0;
    Flimb* flimb = nullptr;
    int32_t solid = 0;
};

// What one update notes about flimbs, in the order they were noted.
class ModifyLandTrap::RunState {
public:
    std::vector<Flimb*> standing;
    std::vector<PushedFlimb> pushed;
};

void ModifyLandTrap::PrepareTargets(bool /*prediction*/)
{
    for (ModifyLandTarget& target : targets) {
        if (!target.prim || !target.prim->prim)
            continue;
        ModifiedPrimitive& primitive = *target.prim;
        const MapPrimitive& prim = *primitive.prim;
        target.final_rot = RoundToInt(prim.rotation);
        target.final_scale_x = prim.scaleX;
        target.final_scale_y = prim.scaleY;
        target.final_x = RoundToInt(prim.posX);
        target.final_y = RoundToInt(prim.posY);
        if (rot_delta != 0.0f)
            target.final_rot = rotation_final + (relative ? target.final_rot : 0);
        if (x_delta != 0.0f)
            target.final_scale_x = x_final_scale + (relative ? target.final_scale_x : 0.0f);
        if (y_delta != 0.0f)
            target.final_scale_y = y_final_scale + (relative ? target.final_scale_y : 0.0f);
        if (x_pos_delta != 0.0f)
            target.final_x = x_final_pos + (relative ? target.final_x : 0);
        if (y_pos_delta != 0.0f)
            target.final_y = y_final_pos + (relative ? target.final_y : 0);
        target.center_x = custom_center ? x_center : RoundToInt(prim.posX);
        target.center_y = custom_center ? y_center : RoundToInt(prim.posY);
        const int32_t dx = RoundToInt(prim.posX) - target.center_x;
        const int32_t dy = target.center_y - RoundToInt(prim.posY);
        target.orbit_angle = Atan2Deg(static_cast<float>(dy), static_cast<float>(dx));
        target.orbit_radius = RoundToInt(std::sqrt(static_cast<float>(dx) * static_cast<float>(dx) +
                                                   static_cast<float>(dy) * static_cast<float>(dy)));
        if (target.orbit_radius > 0 && rot_delta != 0.0f)
            target.final_rot = rotation_final + (relative ? RoundToInt(target.orbit_angle) : 0);
        if (restore_land && !primitive.restoreBuffer)
            primitive.restoreBuffer = CaptureMask(primitive, prim.scaleX, prim.scaleY, prim.rotation);
        if (platform && !primitive.platformMask)
            primitive.platformMask = CaptureMask(primitive, prim.scaleX, prim.scaleY, prim.rotation);
    }
}

void ModifyLandTrap::StepPrimitive(ModifyLandTarget& t, ModifiedPrimitive& primitive, PrimitivePose& pose,
                                   bool commit, bool& allDone)
{
    const bool orbit = t.orbit_radius > 0;
    // 1. Scales.
    const bool movesScaleX =
        (t.final_scale_x < pose.scaleX && x_delta < 0.0f) || (pose.scaleX < t.final_scale_x && x_delta > 0.0f);
    if (movesScaleX)
        pose.scaleX += x_delta;
    const bool movesScaleY =
        (t.final_scale_y < pose.scaleY && y_delta < 0.0f) || (pose.scaleY < t.final_scale_y && y_delta > 0.0f);
    if (movesScaleY)
        pose.scaleY += y_delta;
    // 2. The turn (the orbit angle with an orbit).
    float angle = orbit ? t.orbit_angle : pose.rotation;
    const int32_t rounded = RoundToInt(angle);
    const bool turns =
        (t.final_rot < rounded && rot_delta < 0.0f) || (rounded < t.final_rot && rot_delta > 0.0f) || infinite_rot;
    if (turns) {
        if (!no_rotate)
            pose.rotation += rot_delta;
        if (orbit) {
            angle += rot_delta;
            if (commit)
                t.orbit_angle = angle;
        }
    }
    // 3. Position.
    const bool movesX = (t.final_x < RoundToInt(pose.x) && x_pos_delta < 0.0f) ||
                        (RoundToInt(pose.x) < t.final_x && x_pos_delta > 0.0f);
    if (movesX)
        pose.x += x_pos_delta;
    const bool movesY = (t.final_y < RoundToInt(pose.y) && y_pos_delta < 0.0f) ||
                        (RoundToInt(pose.y) < t.final_y && y_pos_delta > 0.0f);
    if (movesY)
        pose.y += y_pos_delta;
    const bool moved = movesScaleX || movesScaleY || turns || movesX || movesY;
    // 4. A value that passed its final on this step comes back to it (one that points away
    // from its final never moved and stays).
    auto clampToFinal = [](bool stepped, float& value, float final, float delta) {
        if (stepped && ((delta > 0.0f && value > final) || (delta < 0.0f && value < final)))
            value = final;
    };
    clampToFinal(movesScaleX, pose.scaleX, t.final_scale_x, x_delta);
    clampToFinal(movesScaleY, pose.scaleY, t.final_scale_y, y_delta);
    if (turns && rot_delta != 0.0f && !infinite_rot) {
        const float final = static_cast<float>(t.final_rot);
        float& turned = orbit ? angle : pose.rotation;
        if ((rot_delta > 0.0f && turned > final) || (rot_delta < 0.0f && turned < final)) {
            turned = final;
            if (orbit && commit)
                t.orbit_angle = final;
        }
    }
    clampToFinal(movesX, pose.x, static_cast<float>(t.final_x), x_pos_delta);
    clampToFinal(movesY, pose.y, static_cast<float>(t.final_y), y_pos_delta);
    // 5. The orbit places the primitive on its circle.
    if (orbit) {
        const float r = static_cast<float>(t.orbit_radius);
        pose.x = static_cast<float>(t.center_x + RoundToInt(CosDegF(angle) * r));
        pose.y = static_cast<float>(t.center_y - RoundToInt(SinDegF(angle) * r));
    }
    // 6. A turning platform's mask follows the turn.
    if (commit && platform && rot_delta != 0.0f && !no_rotate)
        primitive.platformMask = CaptureMask(primitive, pose.scaleX, pose.scaleY, pose.rotation);
    // 7. Finished: every changing property at its final.
    bool finished = !infinite_rot;
    if (finished) {
        if (x_delta != 0.0f && pose.scaleX != t.final_scale_x)
            finished = false;
        if (y_delta != 0.0f && pose.scaleY != t.final_scale_y)
            finished = false;
        if (rot_delta != 0.0f && RoundToInt(orbit ? angle : pose.rotation) != t.final_rot)
            finished = false;
        if (x_pos_delta != 0.0f && RoundToInt(pose.x) != t.final_x)
            finished = false;
        if (y_pos_delta != 0.0f && RoundToInt(pose.y) != t.final_y)
            finished = false;
    }
    if (moved && !finished)
        allDone = false;
    if (!finished && infinite_rot)
        allDone = false;
}

void ModifyLandTrap::ComputeSteps(ModifyLandTarget& t, const ModifiedPrimitive& primitive) const
{
    const MapPrimitive& prim = *primitive.prim;
    t.step_x = t.final_x == RoundToInt(prim.posX) ? 0.0f : x_pos_delta;
    t.step_y = t.final_y == RoundToInt(prim.posY) ? 0.0f : y_pos_delta;
    t.step_rot = (!infinite_rot && t.final_rot == RoundToInt(prim.rotation)) ? 0.0f : rot_delta;
}

int ModifyLandTrap::CacheFlags(const ModifiedPrimitive& primitive) const
{
    return primitive.firstBash ? Landscape::kCacheStore : (Landscape::kCacheLookup | Landscape::kCacheStore);
}

void ModifyLandTrap::Update()
{
    if (!active || !enabled) {
        if (can_trigger) {
            const gfx::RECT area = GetBounds();
            const FlimbList inside = FindFlimbsInArea(true, false, area.left, area.top, area.right, area.bottom);
            if (!inside.empty())
                Activate(inside.front());
        }
        ExpireCooldowns(kTouchUpdates);
        return;
    }
    if (World().clock.updateCounter % static_cast<uint32_t>(mod_speed) != 0)
        return;
    RunState run;
    if (can_push)
        PredictPushes(run);
    ErasePass();
    if (platform)
        PlatformPass(run);
    bool allDone = true;
    if (!forceAir)
        allDone = StepPass();
    if (platform)
        UnstickPass(run);
    if (can_push)
        PushPass(run);
    if ((allDone || forceAir) && !mouseLink) {
        active = 0;
        FireEvent(0, nullptr, false);
        if (oneshot)
            alive = 0;
    }
}

void ModifyLandTrap::PredictPushes(RunState& run)
{
    for (ModifyLandTarget& target : targets) {
        if (!target.prim || !target.prim->prim)
            continue;
        ModifiedPrimitive& primitive = *target.prim;
        PrimitivePose pose = PoseOf(*primitive.prim);
        bool ignored = true;
        ModifyLandTarget scratch = target;
        StepPrimitive(scratch, primitive, pose, false, ignored);
        const gfx::RECT area = PoseRect(pose, primitive.ImageWidth(), primitive.ImageHeight());
        for (Flimb* flimb : FindFlimbsInArea(true, false, area.left, area.top, area.right, area.bottom))
            run.pushed.push_back({target.prim_id, flimb, CountSolid(BodyRect(*flimb))});
    }
}

void ModifyLandTrap::ErasePass()
{
    const bool moves = rot_delta != 0.0f || x_pos_delta != 0.0f || y_pos_delta != 0.0f;
    if (!forceAir && !(writeover && moves))
        return;
    Landscape* land = GameLandscape();
    if (!land)
        return;
    for (ModifyLandTarget& target : targets) {
        if (!target.prim || !target.prim->prim)
            continue;
        ModifiedPrimitive& primitive = *target.prim;
        const MapPrimitive& prim = *primitive.prim;
        if (!restore_land) {
            std::unique_ptr<AreaEffectParams> record = MakeParticleRecord(primitive);
            BashOptions options;
            options.forceOpaque = prim.alphaOpaque;
            options.alphaThreshold = prim.alphaThreshold;
            options.shadowDarken = prim.shadowVal;
            land->BashPrimitiveFile(0, prim.fileName, options, prim.landToBash, prim.scaleX, prim.scaleY,
                                    static_cast<float>(RoundToInt(prim.rotation)), true, nullptr, kEraseColour,
                                    CacheFlags(primitive), false, record.get(), false, nullptr, prim.noCache != 0,
                                    static_cast<float>(primitive.CentreX()), static_cast<float>(primitive.CentreY()));
        } else if (primitive.restoredBefore && primitive.restoreBuffer) {
            const BashMask& buffer = *primitive.restoreBuffer;
            BashRect dest;
            dest.left = primitive.CentreX() - buffer.hotspotX;
            dest.top = primitive.CentreY() - buffer.hotspotY;
            dest.right = dest.left + buffer.width;
            dest.bottom = dest.top + buffer.height;
            land->Bash(dest, &buffer, 1, true, prim.landToBash, BashOptions{}, MaskReader{}, kEraseColour, nullptr,
                       false, false, nullptr, false, false);
        }
    }
}

void ModifyLandTrap::PlatformPass(RunState& run)
{
    for (ModifyLandTarget& target : targets) {
        if (!target.prim || !target.prim->prim)
            continue;
        ComputeSteps(target, *target.prim);
        CarryStanding(target, *target.prim, run);
    }
}

void ModifyLandTrap::CarryStanding(ModifyLandTarget& target, ModifiedPrimitive& primitive, RunState& run)
{
    const BashMask* mask = primitive.platformMask.get();
    if (!mask)
        return;
    const gfx::RECT area = PoseRect(PoseOf(*primitive.prim), primitive.ImageWidth(), primitive.ImageHeight());
    const int32_t cx = primitive.CentreX(), cy = primitive.CentreY();
    for (Flimb* flimb : FindFlimbsInArea(true, false, area.left, area.top, area.right, area.bottom)) {
        if (Holds(run.standing, flimb))
            continue;
        int32_t ax = 0, ay = 0; // one pixel beyond the feet, then across
        int32_t bx = 0, by = 0;
        switch (flimb->gravity) {
        case 1: ay = -1, bx = 1; break;
        case 2: ax = -1, by = 1; break;
        case 3: ax = 1, by = 1; break;
        default: ay = 1, bx = 1; break;
        }
        bool onIt = false;
        for (int32_t across = 2; across >= -2 && !onIt; --across)
            onIt = MaskOpaqueAt(mask, cx, cy, flimb->x + ax + across * bx, flimb->y + ay + across * by);
        if (!onIt)
            continue;
        run.standing.push_back(flimb);
        const gfx::RECT body = BodyRect(*flimb);
        if (EntirelySolid(Strip(body, flimb->scale, SideOfMotion(x_pos_delta, y_pos_delta))))
            continue;
        if (target.step_rot == 0.0f) {
            MoveFlimb(*flimb, RoundToInt(target.step_x), RoundToInt(target.step_y));
            continue;
        }
        const bool orbit = target.orbit_radius > 0;
        const int32_t px = orbit ? cx : flimb->x, py = orbit ? cy : flimb->y;
        int32_t ox = 0, oy = 0;
        TurnOffset(px, py, target.center_x, target.center_y, target.step_rot, ox, oy);
        MoveFlimb(*flimb, ox, oy);
    }
}

bool ModifyLandTrap::StepPass()
{
    bool allDone = true;
    for (ModifyLandTarget& target : targets) {
        if (!target.prim || !target.prim->prim)
            continue;
        ModifiedPrimitive& primitive = *target.prim;
        const PrimitivePose before = PoseOf(*primitive.prim);
        PrimitivePose pose = before;
        StepPrimitive(target, primitive, pose, true, allDone);
        SetPose(*primitive.prim, pose);
        StampTarget(target, primitive, before);
    }
    return allDone;
}

void ModifyLandTrap::StampTarget(ModifyLandTarget& /*target*/, ModifiedPrimitive& primitive,
                                 const PrimitivePose& before)
{
    Landscape* land = GameLandscape();
    if (!land)
        return;
    const MapPrimitive& prim = *primitive.prim;
    std::unique_ptr<AreaEffectParams> record = MakeParticleRecord(primitive);
    BashOptions options;
    options.forceOpaque = prim.alphaOpaque;
    options.alphaThreshold = prim.alphaThreshold;
    options.shadowDarken = prim.shadowVal;
    const uint32_t colour = (static_cast<uint32_t>(prim.alpha & 0xFF) << 24) | (prim.tint & 0xFFFFFFu);
    const int cache = CacheFlags(primitive);
    const bool shadow = prim.shadowMode != 0;
    const float newX = static_cast<float>(primitive.CentreX()), newY = static_cast<float>(primitive.CentreY());
    const float newTurn = static_cast<float>(RoundToInt(prim.rotation));
    const bool single = (x_delta == 0.0f && y_delta == 0.0f) ||
                        (x_delta >= 0.0f && y_delta >= 0.0f && prim.scaleX > 0.0f && prim.scaleY > 0.0f) ||
                        (x_delta <= 0.0f && y_delta <= 0.0f && prim.scaleX < 0.0f && prim.scaleY < 0.0f);
    if (single) {
        land->BashPrimitiveFile(static_cast<int>(prim.bashType), prim.fileName, options, prim.landToBash, prim.scaleX,
                                prim.scaleY, newTurn, true, nullptr, colour, cache, false, record.get(), false,
                                primitive.restoreBuffer.get(), shadow, newX, newY);
        if (restore_land)
            primitive.restoredBefore = 1;
        return;
    }
    // A shrinking (or sign-crossing) scale: mark the old place, lay the new one, then clear
    // what is left of the old.
    const float oldX = static_cast<float>(RoundToInt(before.x)), oldY = static_cast<float>(RoundToInt(before.y));
    const float oldTurn = static_cast<float>(RoundToInt(before.rotation));
    land->BashPrimitiveFile(1, prim.fileName, options, kEveryMaterial, before.scaleX, before.scaleY, oldTurn, true,
                            nullptr, colour, cache, false, record.get(), false, nullptr, shadow, oldX, oldY);
    land->BashPrimitiveFile(2, prim.fileName, options, kEveryMaterial, prim.scaleX, prim.scaleY, newTurn, true,
                            nullptr, colour, cache, false, record.get(), false, nullptr, shadow, newX, newY);
    land->BashPrimitiveFile(0, prim.fileName, options, kLooseLand, before.scaleX, before.scaleY, oldTurn, true,
                            nullptr, colour, cache, false, record.get(), false, nullptr, shadow, oldX, oldY);
}

void ModifyLandTrap::UnstickPass(RunState& run)
{
    for (ModifyLandTarget& target : targets) {
        if (!target.prim || !target.prim->prim || target.orbit_radius != 0 || rot_delta == 0.0f)
            continue;
        const ModifiedPrimitive& primitive = *target.prim;
        const BashMask* mask = primitive.platformMask.get();
        if (!mask)
            continue;
        const int32_t cx = primitive.CentreX(), cy = primitive.CentreY();
        for (Flimb* flimb : run.standing) {
            if (!MaskOpaqueAt(mask, cx, cy, flimb->x, flimb->y))
                continue;
            const float dx = static_cast<float>(flimb->x - target.center_x);
            const float dy = static_cast<float>(flimb->y - target.center_y);
            const float length = std::sqrt(dx * dx + dy * dy);
            const float ux = length > 0.0f ? dx / length : 0.0f, uy = length > 0.0f ? dy / length : -1.0f;
            bool freed = false;
            for (int distance = 1; distance <= 4 && !freed; ++distance) {
                for (const int side : {-1, 1}) {
                    const int32_t px = RoundToInt(static_cast<float>(flimb->x) + side * distance * ux);
                    const int32_t py = RoundToInt(static_cast<float>(flimb->y) + side * distance * uy);
                    if (!MaskOpaqueAt(mask, cx, cy, px, py)) {
                        flimb->x = static_cast<int16_t>(px);
                        flimb->y = static_cast<int16_t>(py);
                        freed = true;
                        break;
                    }
                }
            }
            break;
        }
    }
}

void ModifyLandTrap::PushPass(RunState& run)
{
    for (ModifyLandTarget& target : targets) {
        if (!target.prim || !target.prim->prim)
            continue;
        ModifiedPrimitive& primitive = *target.prim;
        ComputeSteps(target, primitive);
        primitive.firstBash = 0;
        for (const PushedFlimb& noted : run.pushed) {
            if (noted.primId != target.prim_id || Holds(run.standing, noted.flimb))
                continue;
            Flimb& flimb = *noted.flimb;
            if (!flimb.InWorld())
                continue;
            const gfx::RECT body = BodyRect(flimb);
            const int32_t now = CountSolid(body);
            if (now > noted.solid || EntirelySolid(body))
                PushFlimb(target, primitive, flimb);
        }
    }
}

void ModifyLandTrap::PushFlimb(ModifyLandTarget& target, ModifiedPrimitive& primitive, Flimb& flimb)
{
    if (flimb.type == kDoppel) {
        flimb.DigAt(false);
        flimb.SetType(kWalk);
    }
    int32_t ox = RoundToInt(target.step_x), oy = RoundToInt(target.step_y);
    float turnedTo = 360.0f;
    if (target.step_rot != 0.0f) {
        const bool orbit = target.orbit_radius > 0;
        const int32_t cx = orbit ? target.center_x : primitive.CentreX();
        const int32_t cy = orbit ? target.center_y : primitive.CentreY();
        TurnOffset(flimb.x, flimb.y, cx, cy, target.step_rot, ox, oy);
        turnedTo = Atan2Deg(static_cast<float>(cy - (flimb.y + oy)), static_cast<float>(flimb.x + ox - cx));
    }
    MoveFlimb(flimb, ox, oy);
    flimb.pushX = static_cast<int16_t>(ox);
    flimb.pushY = static_cast<int16_t>(oy);
    if (!can_crush)
        return;
    const gfx::RECT body = BodyRect(flimb);
    if (CrushIfWalledIn(flimb, Strip(body, flimb.scale, SideOfMotion(x_pos_delta, y_pos_delta))))
        return;
    CrushIfWalledIn(flimb, Strip(body, flimb.scale, SideOfAngle(turnedTo)));
}

bool ModifyLandTrap::CrushIfWalledIn(Flimb& flimb, const gfx::RECT& strip)
{
    if (!EntirelySolid(strip))
        return false;
    // The particles fly towards the crushed flimb's head.
    int32_t hx = 0, hy = 0;
    flimb.GetTopPoint(hx, hy);
    AreaEffectParams record(EmitCrushParticle, static_cast<float>(hx), static_cast<float>(hy), 0.0f, 0.0f, 0.0f, 2,
                            3, 3);
    record.word = 1;
    AtomizeLand(&flimb, true, false, &record, 2, 2);
    flimb.flags &= static_cast<uint8_t>(~kFlimbInWorld);
    FireEvent(1, &flimb, false);
    if (audible)
        PlayEffectAt(kCrushSound, hx, hy);
    return true;
}

void EmitCrushParticle(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    auto& record = static_cast<AreaEffectParams&>(emitter);
    // The crush's particles are the drawing's own: the same on every machine, and no part of
    // the game's state.
    RandomGenerator& random = DrawRandom();
    random.Seed(CurrentUpdateCounter() * static_cast<uint32_t>(x) + static_cast<uint32_t>(y));
    ParticleManager* manager = Particles();
    Particle* p = manager ? manager->AllocParticle(false, ParticleRole::Visual) : nullptr;
    if (!p)
        return;
    p->kind = kParticleDot;
    p->SetPosition(static_cast<float>(x), static_cast<float>(y), 1.0f);
    p->flags |= kParticleFalls | kParticlePhysical;
    p->colour = colour & 0x00FFFFFFu;
    const float dx = record.x - static_cast<float>(x), dy = record.y - static_cast<float>(y);
    const float length = std::sqrt(dx * dx + dy * dy);
    p->vx = length > 0.0f ? 9.0f * dx / length : 0.0f;
    p->vy = length > 0.0f ? 9.0f * dy / length : -9.0f;
    p->gravity = record.gravity;
    p->spin = static_cast<float>(random.Next() % 30);
    p->alpha = static_cast<uint8_t>(127 + random.Next() % 128);
    if (random.Next() & 1)
        p->flags |= kParticleMirrorX;
    if (random.Next() & 1)
        p->flags |= kParticleFlipY;
    p->elasticity = static_cast<uint8_t>(55 + random.Next() % 20);
    p->life = static_cast<uint16_t>(10 + random.Next() % 20);
    manager->CountParticle(*p);
}
