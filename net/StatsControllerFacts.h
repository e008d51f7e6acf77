#pragma once
// The part of a statistics snapshot read from the game controller and the match facts
// (StatsSnapshot.h): the players, the local group, the session kind, the match GUID and
// the user-level flag.
#include "net/StatsSnapshot.h"

// `fallbackLocalGroup` is used when the controller has no local player.
void GatherControllerFacts(StatsSnapshot& match, int fallbackLocalGroup);
