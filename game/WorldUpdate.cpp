#include "game/WorldUpdate.h"

#include "app/ConsoleParam.h"
#include "app/Log.h"
#include "modes/ModeServices.h"
#include "world/FlimbUpdate.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

namespace {

ConsoleParam stateHashEvery("statehash", ConsoleParamType::Int, "0",
                            "writes the world state hash to the log every N updates (0: never)");

} // namespace

void UpdateWorld(void (*beforeCount)())
{
    UpdateFlimbs();
    UpdateTraps();
    // The particle pool moves once a game mode has started a match.
    if (ModeMatchStarted())
        UpdateParticles();
    if (particleRebuild)
        RebuildParticleVertices();
    if (ModeExists())
        ModeUpdate();
    if (beforeCount)
        beforeCount();
    WorldState& world = World();
    ++world.clock.updateCounter;
    const int every = stateHashEvery.GetInt();
    if (every > 0 && world.clock.updateCounter % static_cast<uint32_t>(every) == 0)
        WriteLog("STATE HASH %u %016llx\n", world.clock.updateCounter,
                 static_cast<unsigned long long>(WorldStateHash()));
}
