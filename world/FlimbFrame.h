#pragma once
// What the flimb behaviour shares: its open constants, the flimb's own frame, the landscape
// it reads and changes, its sounds and its removal.
//
// The own frame: x points the way the flimb faces when its walkSpeed is positive and it
// stands upright (direction 0), y points along its gravity. OffsetByDirection turns a frame
// offset into the world: direction 1 turns it half round, 2 and 3 a quarter. Walking
// speeds are world signs (along x for gravity 0 and 1, along y for 2 and 3), so the way a
// flimb faces in its own frame is the sign of walkSpeed, reversed under gravity 1 and 3.
#include "world/BashTypes.h"
#include "world/Flimb.h"

#include <cstdint>

class Landscape;

namespace flimbs {

// --- Open values, one constant each --------------------------------------------------------
// The world's step-down limit: the largest drop one walking step takes, trunc(8 x scale)
// (a sixth of a flimb), at least one pixel.
constexpr float kStepDownPerScale = 8.0f;
// The walking probes, as fractions of the body W = trunc(32 s) and H = trunc(48 s): the
// foothold is looked for trunc(W x 0.0625) to each side of the feet; the wall scan runs in
// the column trunc(W x 0.28) ahead of the feet, from trunc(0.95 H) above the feet down to
// 3 s above them, and calls an obstacle a wall when it reaches more than trunc(H / 3.4)
// above the feet.
constexpr float kFootholdWidth = 0.0625f;
constexpr float kWallAhead = 0.28f;
constexpr float kWallTop = 0.95f;
constexpr float kWallRise = 3.4f;
// Steered flimbs stand on five probes: the feet, trunc(W / 4) and trunc(W x 3 / 8) to
// each side.
constexpr float kSupportNear = 0.25f;
constexpr float kSupportFar = 0.375f;
// Safe fall height: trunc(190 x scale).
constexpr float kSafeFallPerScale = 190.0f;
// Spin: flies up trunc(2 s) a step while the band from trunc(45 s) to trunc(47 s) above
// the feet is clear; backs off when ground lies within trunc(2 s) under its leading edge
// (the wall-scan column); fallDistance is held at trunc(5 s).
constexpr float kSpinClearance = 45.0f;
constexpr float kSpinRise = 2.0f;
constexpr float kSpinFallHold = 5.0f;
// Drill: brush 3, centred on the feet with its top row in the feet row; a digging step
// throws its particle -8..+7 across and -4..+3 along gravity.
constexpr int kDrillBrush = 3;
// Clob: brush 13 with its bottom row one pixel above the feet and its far edge
// kClobReach x W ahead of them.
constexpr float kClobReach = 0.5f;
// Nova: brush 12 centred kNovaCentre x H above the feet.
constexpr float kNovaCentre = 0.35f;

// Brushes (the predefined mask numbers).
constexpr int kDoppelBrush = 2;
constexpr int kMoldBrush = 4; // + group
constexpr int kNovaBrush = 12;
constexpr int kClobBrush = 13;
constexpr int kGulpUpBrush = 14;
constexpr int kGulpDownBrush = 15;

// Material sets.
constexpr uint32_t Bit(int material) { return 1u << material; }
// What digging removes: everything but rock (2), steel (3) and the one-way walls (8, 9).
constexpr uint32_t kDiggable = ~(Bit(2) | Bit(3) | Bit(8) | Bit(9));
constexpr uint32_t kEmptyOnly = Bit(0);
constexpr uint32_t kOneWayWalls = Bit(8) | Bit(9);
constexpr uint32_t kNeutralTint = 0xFF808080u;

// --- Sizes and the frame -------------------------------------------------------------------
int BodyWidth(const Flimb& flimb);  // trunc(32 s)
int BodyHeight(const Flimb& flimb); // trunc(48 s)
int Scaled(const Flimb& flimb, float value); // trunc(value x s)
int StepDownLimit(const Flimb& flimb);
// The safe fall height for the walking step (steered: x 1.5 rounded), doubled by the
// game mode's double safe fall.
int SafeFallHeight(const Flimb& flimb);
// +1 or -1: the way the flimb faces in its own frame.
int Facing(const Flimb& flimb);
// +1 or -1: the world sign of walkSpeed (a stopped flimb faces positive).
int WalkSign(const Flimb& flimb);
// The same turn as OffsetByDirection, inline: the probes run it thousands of times an update.
inline void FrameToWorld(const Flimb& flimb, int fx, int fy, int32_t& wx, int32_t& wy)
{
    switch (flimb.gravity) {
    case 1:
        wx = flimb.x - fx, wy = flimb.y - fy;
        break;
    case 2:
        wx = flimb.x - fy, wy = flimb.y + fx;
        break;
    case 3:
        wx = flimb.x + fy, wy = flimb.y - fx;
        break;
    default:
        wx = flimb.x + fx, wy = flimb.y + fy;
        break;
    }
}
// The frame offset of a world point (the inverse turn).
inline void WorldToFrame(const Flimb& flimb, int32_t wx, int32_t wy, int& fx, int& fy)
{
    const int dx = wx - flimb.x, dy = wy - flimb.y;
    switch (flimb.gravity) {
    case 1:
        fx = -dx, fy = -dy;
        break;
    case 2:
        fx = dy, fy = -dx;
        break;
    case 3:
        fx = -dy, fy = dx;
        break;
    default:
        fx = dx, fy = dy;
        break;
    }
}
void MoveInFrame(Flimb& flimb, int fx, int fy);
// Ground: any material but 0 and the one-way walls 8 and 9.
constexpr bool IsGround(uint8_t material) { return material != 0 && material != 8 && material != 9; }
// Ground in the feet row at offset `row`, anywhere within the foot width.
bool GroundAcrossFeet(const Flimb& flimb, int row);

// --- The landscape ---------------------------------------------------------------------------
// The game's landscape for reading (null without one).
Landscape* Terrain();
// The same for changes; null while a preview or a flight simulation steps a copy.
Landscape* TerrainForChanges();
// A brush laid with its frame-oriented rectangle's top-left at frame offset (left, top)
// from the feet; 0 without a landscape to change or a mask. The brush is mirrored in the
// frame with flip.
// size: the size class of the brush, -1 for the flimb's own.
uint32_t StrokeBrush(const Flimb& flimb, int brush, bool flip, int left, int top, int material, bool useSourceColour,
                     uint32_t affected, BashEmitter* emitter, uint32_t tint, int size = -1);
// The brush's width and height in the flimb's own frame (0, 0 without a mask).
void BrushFrameSize(const Flimb& flimb, int brush, bool flip, int& width, int& height, int size = -1);
// Whether the brush, laid in the flimb's own frame, is solid at (column, row) of its
// frame-oriented rectangle: the same shape under every gravity direction.
bool BrushSolidAt(const Flimb& flimb, int brush, bool flip, int column, int row, int size = -1);
// Walks the brush's solid pixels laid as StrokeBrush would: fn(material, row, column) with
// row and column counted in the frame from the rectangle's top-left.
template <class Fn>
void ForBrushPixels(const Flimb& flimb, int brush, bool flip, int left, int top, Fn fn);

// --- Effects ---------------------------------------------------------------------------------
// Plays the effect at the flimb (nothing while a copy is stepped ahead of time).
void Sound(const Flimb& flimb, int effect);
// Takes the flimb out of the world and of the tallies (the world frees it).
void Remove(Flimb& flimb);
// True while the step belongs to a copy (Quantum Time preview, flight simulation): nothing
// outside the copy's own record may change.
bool SteppingCopy();
// The type change of the handlers that must happen whatever SetType's rules say (a Doppel
// that falls or is stunned): type, fresh flag, frame, typeAge and animation 0.
void ForceType(Flimb& flimb, uint8_t type);

} // namespace flimbs

// --- template ----------------------------------------------------------------------------------
#include "world/Landscape.h"

template <class Fn>
void flimbs::ForBrushPixels(const Flimb& flimb, int brush, bool flip, int left, int top, Fn fn)
{
    Landscape* land = Terrain();
    const BashMask* mask = flimb.GetBrushMask(brush, flip);
    if (!land || !mask)
        return;
    int width = 0, height = 0;
    BrushFrameSize(flimb, brush, flip, width, height);
    // The world rectangle's top-left corner: mask pixel (0, 0).
    int32_t cornerX = 0, cornerY = 0, farX = 0, farY = 0;
    FrameToWorld(flimb, left, top, cornerX, cornerY);
    FrameToWorld(flimb, left + width - 1, top + height - 1, farX, farY);
    const int32_t originX = cornerX < farX ? cornerX : farX;
    const int32_t originY = cornerY < farY ? cornerY : farY;
    // Row by row of the world mask: only its solid pixels are read.
    for (int32_t my = 0; my < mask->height; ++my) {
        const uint32_t* pixels = mask->Row(my);
        for (int32_t mx = 0; mx < mask->width; ++mx) {
            if ((pixels[mx] >> 24) == 0)
                continue;
            const int32_t wx = originX + mx, wy = originY + my;
            int fx = 0, fy = 0;
            WorldToFrame(flimb, wx, wy, fx, fy);
            fn(land->HitTestPoint(wx, wy), fy - top, fx - left);
        }
    }
}
