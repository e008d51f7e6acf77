#pragma once
// Whether a flimb may be given an action (an order type 0..10): used by the belt, the
// action keys and the queued actions of the flimbs.
#include <cstdint>

struct Flimb;

// The type the checks go by: a steered Entangle counts as a Walk.
uint8_t EffectiveType(const Flimb& flimb);
// side 1 wants a flimb facing the negative way, 2 the positive one (0: either). checkUses
// also asks for a use left in the group's budget.
bool CanGiveAction(const Flimb& flimb, int side, uint8_t action, bool checkUses);
// The check of a player's order; an exhausted budget plays sound 23.
bool CheckActionWithSound(const Flimb& flimb, uint8_t action);
// side 1: the flimb faces the negative way, 2: the positive one (swapped under gravity 1
// and 3). A turning Walk faces the other way for Clob and Gulp.
bool ActionAllowedByDirection(const Flimb& flimb, int side, uint8_t action);
