#include "world/StateHash.h"

#include "app/Random.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

namespace {

void HashFlimb(StateHasher& h, const Flimb& f)
{
    h.Add(static_cast<uint8_t>(f.flags & ~kFlimbSelected)); // the selection is the local player's
    h.Add(f.flags2);
    h.Add(f.type);
    h.Add(f.pendingType);
    h.Add(f.queuedAction);
    h.Add(f.queuedDelay);
    h.Add(f.attributes);
    h.Add(f.walkSpeed);
    h.Add(f.steerKeys);
    h.Add(f.turnSign);
    h.Add(f.frame);
    h.Add(f.fuse);
    h.Add(f.counter);
    h.Add(f.typeAge);
    h.Add(f.anim);
    h.Add(f.gravity);
    h.Add(f.stepsPerUpdate);
    h.Add(f.cooldown);
    h.Add(f.rise);
    h.Add(f.group);
    h.Add(f.alpha);
    h.Add(f.autoBehaviour);
    h.Add(f.splatHeight);
    h.Add(f.id);
    h.Add(f.fallDistance);
    h.Add(f.boostLeft);
    h.Add(f.angle);
    h.Add(f.linkedId);
    h.Add(f.x);
    h.Add(f.y);
    h.Add(f.prevX);
    h.Add(f.prevY);
    h.Add(f.targetX);
    h.Add(f.targetY);
    h.Add(f.pushX);
    h.Add(f.pushY);
    h.Add(f.jumpVX);
    h.Add(f.jumpVY);
    h.Add(f.drawScaleX);
    h.Add(f.drawScaleY);
    h.Add(f.energy);
    h.Add(f.scale);
}

} // namespace

uint64_t WorldStateHash()
{
    WorldState& world = World();
    StateHasher h;
    h.Add(LandscapeStateHash());
    h.Add(world.flimbCount);
    for (int32_t index = 0; index < world.flimbCount; ++index) {
        const Flimb& flimb = world.flimbs[static_cast<size_t>(index)];
        if (flimb.IsFree())
            continue;
        h.Add(index);
        HashFlimb(h, flimb);
    }
    for (const auto& trap : world.traps.all) {
        h.Add(trap->kind);
        h.Add(trap->id);
        h.Add(trap->alive);
        trap->HashCommonState(h);
        trap->HashState(h);
    }
    for (const auto& row : world.tallies)
        for (const int32_t value : row)
            h.Add(value);
    h.Add(SimulationParticlesHash());
    h.Add(world.clock.flimbsInPlay);
    h.Add(world.clock.updateCounter);
    h.Add(SimRandom().State());
    h.Add(ModeStateHash());
    return h.Value();
}
