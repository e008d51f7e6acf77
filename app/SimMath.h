#pragma once
// Simulation maths: sines, cosines, arc tangents and exp(-d / 50) from tables, and the game's
// rounding to a whole number. The tables are computed by the compiler (constant evaluation,
// every operation correctly rounded), never by the C library at run time, so every peer and
// every replay gets the same bits. Simulation code calls these, never libm's sin, cos, tan,
// atan2, exp or pow.
#include <cstdint>

// Sine and cosine of whole degrees (any integer, taken modulo 360); exactly 0, 1 and -1 at
// 0, 90, 180 and 270 degrees.
float SinDeg(int degrees);
float CosDeg(int degrees);

// Sine and cosine of any angle in degrees, interpolated linearly between the whole degrees
// around it. A non-finite angle gives 0.
float SinDegF(float degrees);
float CosDegF(float degrees);

// The angle of the vector (x, y) in degrees, -180 < angle <= 180, signs as C's atan2; 0 for
// (0, 0) and for non-finite arguments. Within 0.0001 degrees of the true angle.
float Atan2Deg(float y, float x);

// exp(-d / 50) for a whole d: 1 for d <= 0, 0 from kExpTableSize on.
constexpr int kExpTableSize = 2048;
float ExpNeg50(int d);

// The nearest whole number, halves away from zero, at four decimals: n = trunc(v x 10000),
// n = (n +- 5) / 10, then (n +- 500) / 1000 (signs as v's, integer division truncates).
// Computed in 64 bits; saturates at the int32 range; 0 for a non-finite value.
int32_t RoundToInt(float v);
