#pragma once
// What the minimap and the boss map ask of the scenery traps: a background layer drawn at a
// screen point (its tiles without clipping or clip margins) with the place's scale, turn
// and alpha, and its animation stepped.
#include "traps_flow/BackgroundTrap.h"

class Trap;

// Nothing for a trap that is no background layer.
void DrawBackgroundLayerAt(Trap& layer, float screenX, float screenY, const LayerPlacement& placement);
void StepBackgroundLayer(Trap& layer);
