#pragma once
// Looks of in-game markers drawn over the landscape: the selection halo and the group
// selector's marker.
#include "tools/artgen/Looks.h"

namespace artgen {

// False when the look is not a marker look.
bool DrawMarkerFrame(cairo_t* cr, const ImageSpec& spec, int frame);

} // namespace artgen
