#pragma once
// Pixel-exact drawing for the looks whose pixels are game data (brush masks, particle
// sprites): every pixel of the frame is written directly, no antialiasing, so an image is
// the same on every machine. Shapes test pixel centres in doubled integer coordinates:
// pixel x has its centre at 2x + 1.
#include "tools/artgen/Looks.h"

#include <cstdint>
#include <functional>

namespace artgen {

// Writes every pixel of the frame with argb(x, y) (opaque colours only: alpha 0 or 255).
// False when the target is not an image surface.
bool WritePixels(cairo_t* cr, const ImageSpec& s, const std::function<uint32_t(int x, int y)>& argb);

// rgb scaled by numerator / denominator, plus add, each channel limited to 255.
uint32_t ScaledRgb(uint32_t rgb, int numerator, int denominator, int add);

} // namespace artgen
