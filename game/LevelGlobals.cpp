#include "game/LevelGlobals.h"

LevelGlobals& CurrentLevelGlobals()
{
    static LevelGlobals globals;
    return globals;
}
