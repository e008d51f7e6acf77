#include "world/FlimbFrame.h"

#include "app/SimMath.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "modes/MatchOptions.h"
#include "world/AnimationSpec.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/WorldState.h"

#include <algorithm>

namespace flimbs {

int Scaled(const Flimb& flimb, float value)
{
    return static_cast<int>(value * flimb.scale);
}

int BodyWidth(const Flimb& flimb)
{
    return Scaled(flimb, 32.0f);
}

int BodyHeight(const Flimb& flimb)
{
    return Scaled(flimb, 48.0f);
}

int StepDownLimit(const Flimb& flimb)
{
    return std::max(1, Scaled(flimb, kStepDownPerScale));
}

int SafeFallHeight(const Flimb& flimb)
{
    int safe = Scaled(flimb, kSafeFallPerScale);
    if (CurrentMatchOptions().doubleFall)
        safe *= 2;
    if (flimb.attributes & kAttrSteered)
        safe = RoundToInt(static_cast<float>(safe) * 1.5f);
    return safe;
}

int WalkSign(const Flimb& flimb)
{
    return flimb.walkSpeed < 0 ? -1 : 1;
}

int Facing(const Flimb& flimb)
{
    const int sign = WalkSign(flimb);
    return flimb.gravity == 1 || flimb.gravity == 3 ? -sign : sign;
}

void MoveInFrame(Flimb& flimb, int fx, int fy)
{
    int32_t wx = 0, wy = 0;
    FrameToWorld(flimb, fx, fy, wx, wy);
    flimb.x = static_cast<int16_t>(wx);
    flimb.y = static_cast<int16_t>(wy);
}

bool GroundAcrossFeet(const Flimb& flimb, int row)
{
    const int reach = static_cast<int>(static_cast<float>(BodyWidth(flimb)) * kFootholdWidth);
    for (int column = -reach; column <= reach; ++column)
        if (IsGround(flimb.ProbeTerrain(column, row)))
            return true;
    return false;
}

Landscape* Terrain()
{
    return GameLandscape();
}

bool SteppingCopy()
{
    return PreviewRunning();
}

Landscape* TerrainForChanges()
{
    return SteppingCopy() ? nullptr : GameLandscape();
}

void BrushFrameSize(const Flimb& flimb, int brush, bool flip, int& width, int& height, int size)
{
    width = height = 0;
    const BashMask* mask = flimb.GetBrushMask(brush, flip, size);
    if (!mask)
        return;
    const bool quarterTurn = flimb.gravity == 2 || flimb.gravity == 3;
    width = quarterTurn ? mask->height : mask->width;
    height = quarterTurn ? mask->width : mask->height;
}

bool BrushSolidAt(const Flimb& flimb, int brush, bool flip, int column, int row, int size)
{
    const BashMask* mask = flimb.GetBrushMask(brush, flip, size);
    int width = 0, height = 0;
    BrushFrameSize(flimb, brush, flip, width, height, size);
    if (!mask || column < 0 || row < 0 || column >= width || row >= height)
        return false;
    int32_t cornerX = 0, cornerY = 0, farX = 0, farY = 0, wx = 0, wy = 0;
    FrameToWorld(flimb, 0, 0, cornerX, cornerY);
    FrameToWorld(flimb, width - 1, height - 1, farX, farY);
    FrameToWorld(flimb, column, row, wx, wy);
    const int32_t mx = wx - std::min(cornerX, farX), my = wy - std::min(cornerY, farY);
    return mask->Contains(mx, my) && (mask->Row(my)[mx] >> 24) != 0;
}

uint32_t StrokeBrush(const Flimb& flimb, int brush, bool flip, int left, int top, int material, bool useSourceColour,
                     uint32_t affected, BashEmitter* emitter, uint32_t tint, int size)
{
    Landscape* land = TerrainForChanges();
    const BashMask* mask = flimb.GetBrushMask(brush, flip, size);
    if (!land || !mask)
        return 0;
    int width = 0, height = 0;
    BrushFrameSize(flimb, brush, flip, width, height, size);
    int32_t cornerX = 0, cornerY = 0, farX = 0, farY = 0;
    FrameToWorld(flimb, left, top, cornerX, cornerY);
    FrameToWorld(flimb, left + width - 1, top + height - 1, farX, farY);
    // BashBrush places the mask by its hot spot: put the hot spot where the corner lands.
    const int32_t x = std::min(cornerX, farX) + mask->hotspotX;
    const int32_t y = std::min(cornerY, farY) + mask->hotspotY;
    return land->BashBrush(brush, size >= 0 ? size : flimb.SizeClass(), flimb.gravity & 3, flip ? 1 : 0, material,
                           useSourceColour,
                           affected, emitter, tint, x, y);
}

void Sound(const Flimb& flimb, int effect)
{
    if (!SteppingCopy())
        PlayEffectAt(effect, flimb.x, flimb.y);
}

void Remove(Flimb& flimb)
{
    UncountFlimb(flimb);
}

void ForceType(Flimb& flimb, uint8_t type)
{
    flimb.type = type;
    flimb.flags |= kFlimbFreshType;
    flimb.attributes &= static_cast<uint8_t>(~kAttrCounted);
    flimb.typeAge = 0;
    flimb.counter = 0;
    flimb.SetGroupAnimation(0, 0);
    if (FlimbTypeRowOf(type).final)
        flimb.queuedAction = kNoType;
}

} // namespace flimbs
