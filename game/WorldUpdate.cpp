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
    // Game time is simulation time: every update stands for the same 71 ms on every peer.
    WorldClock& clock = World().clock;
    clock.elapsed = kUpdateMilliseconds;
    clock.gameTime += kUpdateMilliseconds;
    UpdateFlimbs();
    UpdateTraps();
    // The particle pool moves while its switch is on: the match start sets it.
    UpdateParticles();
    if (particleRebuild)
        RebuildParticleVertices();
    ModeUpdate();
    if (beforeCount)
        beforeCount();
    ++clock.updateCounter;
    const int every = stateHashEvery.GetInt();
    if (every > 0 && clock.updateCounter % static_cast<uint32_t>(every) == 0)
        WriteLog("STATE HASH %u %016llx\n", clock.updateCounter, static_cast<unsigned long long>(WorldStateHash()));
}
