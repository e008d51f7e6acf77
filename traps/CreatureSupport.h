#pragma once
// What the creature and collectible kinds share: taking a flimb out of play the way a trap
// kills it, and drawing a sheet at a world point. Their groups: traps/TrapGroupChoice.h.
#include <cstdint>

struct Flimb;

// The flimb leaves play the way a trap kills it: its in-world and alive bits cleared, so that
// no query of this update finds it again; the world frees the record at its next update.
void ClearInWorld(Flimb& flimb);

// Draws a frame of a sheet at a world point through the game view (its zoom and turn), as
// the base draws the trap's sprite: `how` gives the frame, the scale and turn in the world,
// the colour and alpha. With signedAdd the colour is an additive tint (0x808080 neutral),
// else a modulating colour. Nothing without a sheet.
struct SheetDraw;
class AnimSurface;
void DrawSheetInWorld(AnimSurface* sheet, float worldX, float worldY, const SheetDraw& how, bool signedAdd);
