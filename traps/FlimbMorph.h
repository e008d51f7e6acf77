#pragma once
// Morphs that pickups give a flimb directly, as the player's immediate morph order does.
#include <cstdint>

struct Flimb;

// The flimb takes the action at its next step: its pending type becomes the action and its
// queued order is dropped.
void MorphAtOnce(Flimb& flimb, uint8_t action);
// For a flimb that gulps, will gulp or has a gulp queued: the downward (normal) or upward
// gulp; one gulping now gulps again in the new way.
void SetGulpMode(Flimb& flimb, bool normal);
