#pragma once
// The trap specs: "Graphics\Traps\trap-spec.xml", loaded once at start-up, names the sprite
// animations of every trap kind in an element named after the kind's type name:
//
//   <trap-spec rootPath="Graphics\Traps\">
//     <Teleport><animation name="base" file="teleport-base.png" frameWidth="64" .../> ...</Teleport>
//   </trap-spec>
//
// Animation files lie in the kind's folder below the root path ("Graphics\Traps\Teleport\").
#include <cstdint>

class AnimSurface;
typedef struct _xmlDoc xmlDoc;

// Reads the trap specs, loads the group-select marker and resets the trap draw state.
// Throws GameException "Cannot load the trap-spec.xml file!".
void LoadTrapSpecs();
// The named animation of the kind (its first animation when name is null), from the image
// cache with its frame layout: one reference for the caller. Null when the kind or the
// animation is not in the specs. `extra` is the group (0..7) whose label replaces
// "{group-label}" in the animation's file name (group 0's for other values).
AnimSurface* LoadTrapSprites(const char* name, int32_t kind, int extra = 0);
// Frees the trap specs and the marker, then deletes every trap and empties the store of
// modify-land primitives (shutdown).
void UnloadTraps();
// The shell's name for UnloadTraps.
void ReleaseTrapSpecs();
xmlDoc* TrapSpecDocument();
// "Graphics\Menu\FlimbGroupSelector\group-select.png", hot spot at its centre; null before
// LoadTrapSpecs.
AnimSurface* GroupSelectImage();
