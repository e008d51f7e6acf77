#pragma once
// The trap layers of the landscape's frame draw, and the draw list they walk: the traps
// whose bounds meet the visible part of the world, in registration order.
class Trap;

// Offers a trap that appeared or moved to the draw list.
void AddTrapToDrawList(Trap* trap);
// Empties the draw list; visible rectangle (-1, -1, -1, -1); registration numbers start
// again at 0; no highlighted trap.
void ResetTrapDrawState();
// Before the terrain's back tiles: rebuilds the list when the view moved or a trap was
// registered, steps every trap's frame (not while paused), draws the back parts and the
// traps under the shadow.
void RebuildTrapDrawList();
// The background tiles drawn in the current frame (the frame-rate line's "bg"): reset by
// RebuildTrapDrawList, counted by the background layers.
int& BackgroundTilesDrawn();
// After the back tiles: the traps behind the terrain and the flimbs.
void DrawTrapsBackLayer();
// After the front tiles, before the flimbs: the traps behind the flimbs.
void DrawTrapsMiddleLayer();
// After the flimbs: the extra passes, the traps in front and the highlighted trap's marker.
void DrawTrapsFrontLayer();
