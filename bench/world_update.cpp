// One world update with 500 flimbs and 200 traps that look for the flimbs touching them,
// as the trap kinds do in their update; and the world state hash over the same world.
// (The flimb behaviour and the terrain come with their own subsystems.)
#include "game/WorldUpdate.h"
#include "media/AnimSurface.h"
#include "traps/Trap.h"
#include "world/FlimbQueries.h"
#include "world/FlimbTable.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <benchmark/benchmark.h>

namespace {

class ContactTrap : public Trap {
public:
    using Trap::Trap;
    void Update() override
    {
        const gfx::RECT r = GetBounds();
        benchmark::DoNotOptimize(FindFlimbsInArea(true, false, r.left, r.top, r.right, r.bottom));
    }
};

struct BusyWorld {
    WorldState world;
    ScopedWorld use{world};
    AnimSurface frame;

    BusyWorld()
    {
        frame.frameWidth = 32;
        frame.frameHeight = 48;
        frame.hotspotX = 16;
        frame.hotspotY = 46;
        for (int i = 0; i < 500; ++i) {
            Flimb* flimb = AddFlimb(static_cast<int16_t>((i * 37) % 2048), static_cast<int16_t>((i * 53) % 1024),
                                    static_cast<int16_t>(i), static_cast<uint8_t>(i % 8), kWalk, 0,
                                    kFlimbStartEnergy, 0, 1);
            flimb->animation = &frame;
        }
        for (int i = 0; i < 200; ++i) {
            auto trap = std::make_unique<ContactTrap>(1 + i % 50);
            trap->x = static_cast<float>((i * 97) % 2048);
            trap->y = static_cast<float>((i * 61) % 1024);
            RegisterTrap(std::move(trap));
        }
    }
};

void BM_UpdateWorld(benchmark::State& state)
{
    BusyWorld busy;
    for (auto _ : state)
        UpdateWorld();
}
BENCHMARK(BM_UpdateWorld)->Unit(benchmark::kMicrosecond);

void BM_WorldStateHash(benchmark::State& state)
{
    BusyWorld busy;
    for (auto _ : state)
        benchmark::DoNotOptimize(WorldStateHash());
}
BENCHMARK(BM_WorldStateHash)->Unit(benchmark::kMicrosecond);

} // namespace
