#pragma once
// The four gravity directions as flimbs, traps and views use them: 0 towards +y (down),
// 1 towards -y (up), 2 towards -x (left), 3 towards +x (right).
#include "platform/gfx/D3DTypes.h"

#include <cstdint>

// Degrees, wrapped once into range: [0, 45) and [315, 361) give 0, [45, 135) 3,
// [135, 225) 1, [225, 315) 2.
uint8_t AngleToDirection(int32_t degrees);
// Radians: the direction whose centre (3 pi/2, pi/2, 0, pi) lies within pi/4; 0 for none.
uint8_t RadiansToDirection(float radians);
uint8_t OppositeDirection(uint8_t direction);

// Turns a vector of direction 0 into the direction, and back.
void RotateVectorByDirection(uint8_t direction, int32_t& x, int32_t& y);
void UnrotateVectorByDirection(uint8_t direction, int32_t& x, int32_t& y);
// The point moved by (dx, dy) turned into the direction.
void OffsetByDirection(uint8_t direction, int32_t& px, int32_t& py, int32_t dx, int32_t dy);
// Offsets (left, top, right, bottom) turned into the direction, placed at (x, y).
gfx::RECT RotateRectByDirection(const gfx::RECT& offsets, uint8_t direction, int32_t x, int32_t y);
gfx::RECT UnrotateRectByDirection(const gfx::RECT& rect, uint8_t direction, int32_t x, int32_t y);
// Moves the rectangle's sides inwards by margins given for direction 0.
void InsetRectByDirection(const gfx::RECT& margins, uint8_t direction, gfx::RECT& rect);
