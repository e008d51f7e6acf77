#pragma once
// The flimb step of the world update.
#include <cstdint>


// Steps every flimb in the world in table order and counts the tallies afresh; removes the
// flimbs that left the world (in the same pass); steps the Quantum Time preview; shows the
// name tags of a networked match. The preview changes no simulation state: counting stays
// suspended, the simulation generator is put back afterwards, and nothing is sent.
void UpdateFlimbs();

// The colour of a group's name tags (ARGB).
uint32_t NameTagColour(int group);
constexpr int kNameTagMark = 424242; // the tag value by which the overlay knows a name tag
