#pragma once
// The symbols on the actions and speed pickups' orbs: "action-<Name>" (the eleven morph
// actions and "extra") and "speed-<mode>-<factor>".
#include <cairo.h>

#include <string>

namespace artgen {

// False for a symbol that is none of these.
bool DrawScenicPickupSymbol(cairo_t* cr, const std::string& symbol, double cx, double cy, double r);

} // namespace artgen
