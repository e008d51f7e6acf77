#pragma once
// The mouse cursor looks ("cursor-..."): 32-pixel shapes with a soft shadow and a dark rim.
#include "tools/artgen/Looks.h"

namespace artgen {

// False when the look is not a cursor look.
bool DrawCursorFrame(cairo_t* cr, const ImageSpec& spec, int frame);

} // namespace artgen
