#pragma once
// The game's start-up without a display, on the hand-written data of the source tree (it has
// no archive), for the targets that need the game's data. Files that no folder holds are
// looked for among the start-up's memory files.
#include "frontend/GameStartup.h"

#include <string>

inline void StartOnSourceData(GameStartup& startup)
{
    GameStartOptions options;
    options.programFolder = std::string(FLIMBS_SOURCE_DIR) + "/data/game";
    options.archiveRequired = false;
    options.display = false;
    startup.Start(options);
}
