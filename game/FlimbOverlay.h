#pragma once
// The flimb and overlay pass of the landscape's frame draw: every visible flimb in a fixed
// layer order (other groups' walkers, fallers and floaters under the rest; marked flimbs
// and the selected one on top), then the markers over them (pre-select, select, particle
// carrier triangles and stars), the queued-action icons, the health bars, and the splat
// alerts of the local team. Everything is drawn in the current view; nothing here writes
// the simulation's state.
#include "gui/Primitive.h"

#include <cstdint>

class AnimSurface;
class Trap;
class WorldState;
struct Flimb;

void DrawFlimbOverlay(WorldState& world);

// The flimb's centre: its position, or for a flimb a carrier (kind 26) holds, halfway
// between it and the carrier.
FloatPoint GetFlimbCentre(const Flimb& flimb);
// The attached object's position scaled by its scale, truncated.
void GetAttachedPosition(const Trap& object, int32_t& x, int32_t& y);
// Draws the sprite's current frame with its hot spot at a screen point; in a rectangle
// shrunk by the inset (left, top, right, bottom margins). Nothing without a sprite.
void DrawSpriteAt(const AnimSurface* sprite, float x, float y);
void DrawSpriteAt(const AnimSurface* sprite, int x, int y);
void DrawSpriteInRect(const AnimSurface* sprite, const FloatRect& area, const FloatRect& inset);

// The belt slot of an action code (the order types, 132 the Gulp variant); -1 for none.
int BeltSlotOfAction(int action);

// Forgets the markers' images (the triangles, the star) and the animation step.
void ReleaseOverlayImages();
