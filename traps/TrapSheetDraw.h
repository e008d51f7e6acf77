#pragma once
// Drawing one frame of a kind's extra sprite sheet the way the base draws its sprite: at the
// trap's position taken to the nearest pixels, through the current view, tinted additively,
// with the given scale, alpha and turn (degrees). The sheet's drawing fields are put back
// afterwards.
#include <cstdint>

class AnimSurface;
class Trap;

void DrawTrapSheet(AnimSurface& sheet, int32_t frame, const Trap& trap, float degrees, float scaleX, float scaleY,
                   uint8_t alpha);
// The frame shown for `frame` of the sheet: paired sheets show the odd half on alternate
// drawing frames.
int32_t DisplayedSheetFrame(const AnimSurface& sheet, int32_t frame);
