#include "world/WorldState.h"

#include "traps/Trap.h"
#include "world/FlimbTable.h"
#include "world/TrapRegistry.h"

namespace {

// Per thread: a preview loaded on a worker thread makes its own world current there only.
thread_local WorldState* current = nullptr;

WorldState& GameWorld()
{
    static WorldState world;
    return world;
}

} // namespace

WorldState::WorldState() : flimbs(new Flimb[kMaxFlimbs]{}) {}

WorldState::~WorldState()
{
    // The traps and the flimbs' tags are destroyed with the world they belong to.
    ScopedWorld use(*this);
    DeleteAllTraps();
    for (Flimb& flimb : *this)
        DestroyFlimbTag(flimb);
}

WorldState& World()
{
    return current ? *current : GameWorld();
}

void SetCurrentWorld(WorldState* world)
{
    current = world;
}

ScopedWorld::ScopedWorld(WorldState& world) : previous_(current)
{
    current = &world;
}

ScopedWorld::~ScopedWorld()
{
    current = previous_;
}

uint32_t& CurrentUpdateCounter()
{
    return World().clock.updateCounter;
}

uint32_t& CurrentGameTime()
{
    return World().clock.gameTime;
}

uint32_t& CurrentElapsedTime()
{
    return World().clock.elapsed;
}

Flimb* FindNextClearFlag(int32_t& cursor)
{
    WorldState& world = World();
    while (cursor < world.flimbCount) {
        Flimb& flimb = world.flimbs[static_cast<size_t>(cursor++)];
        if (!flimb.IsFree())
            return &flimb;
    }
    return nullptr;
}

bool PreviewRunning()
{
    return World().preview.running;
}

bool IsPreviewFlimb(const Flimb* flimb)
{
    return flimb && flimb == &World().preview.copy;
}
