#pragma once
// The globals a level load sets: the level boundaries, the zoom flimb, the FlimbMaster
// group (the single player's rival in a Multiverse match) and the editor's read-only switch.
#include <cstdint>

struct LevelGlobals {
    int32_t boundaryTop = 0;
    int32_t boundaryBottom = 0;
    int32_t boundaryLeft = 0;
    int32_t boundaryRight = 0;
    // The zoom flimb: the placed flimb's object id in the file, its runtime id after a game load.
    int32_t zoomFlimbId = 0;
    int32_t flimbMasterGroup = 1;
    bool editorReadOnly = false;
};

LevelGlobals& CurrentLevelGlobals();
