// One world update of a 2048 x 1024 level with 500 flimbs at work (walkers, fallers,
// diggers, builders, blockers) and 200 registered base traps; and the world state hash over
// the same world. The level is the replay check's fixed landscape with the game's flimb art;
// it is built afresh every 100 updates so that the diggers and builders stay at work.
#include "game/GameController.h"
#include "game/WorldUpdate.h"
#include "modes/MatchOptions.h"
#include "tools/replaycheck/HeadlessGame.h"
#include "tools/replaycheck/MatchRecipe.h"
#include "traps/Trap.h"
#include "world/FlimbTable.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRebuildEvery = 100;

HeadlessGame& Game()
{
    static HeadlessGame game(64, 48);
    return game;
}

// What the 500 flimbs are doing, in placement order.
uint8_t WorkOf(int i)
{
    static const uint8_t kinds[] = {kWalk, kWalk, kWalk, kWalk, kFall, kFall, kClob, kMold,
                                    kDrill, kGulp, kWalk, kMold, kClob, kDoppel, kWalk, kFall};
    return kinds[i % 16];
}

void BuildWorld()
{
    HeadlessGame& game = Game();
    ClearWorldFlimbs(World());
    DeleteAllTraps();
    World().clock = WorldClock{};
    Controller() = GameController{};
    Controller().runState = kRunRunning;
    for (GroupEntry& group : Controller().groups) {
        group.inUse = 1;
        group.uses.fill(kUnlimitedUses);
    }
    ResetMatchOptions();
    recipe::BuildLandscape(game.Land());
    recipe::InstallStandInBrushes(game.Land());
    for (int i = 0; i < 500; ++i) {
        const int x = 20 + (i * 97) % (recipe::kWidth - 40);
        const uint8_t work = WorkOf(i);
        const int y = recipe::HillTop(x) - (work == kFall ? 30 + (i * 13) % 150 : 0);
        Flimb* flimb = AddFlimb(int16_t(x), int16_t(y), int16_t(i + 1), uint8_t(i % 8), kWalk, 0, kFlimbStartEnergy,
                                0, i % 2 ? 1 : -1);
        if (work != kWalk)
            flimb->SetType(work, true);
    }
    for (int i = 0; i < 200; ++i) {
        auto trap = std::make_unique<Trap>(1 + i % 50);
        trap->x = static_cast<float>((i * 97) % recipe::kWidth);
        trap->y = static_cast<float>((i * 61) % recipe::kHeight);
        RegisterTrap(std::move(trap));
    }
}

void BM_UpdateWorld(benchmark::State& state)
{
    BuildWorld();
    int updates = 0;
    for (auto _ : state) {
        if (++updates % kRebuildEvery == 0) {
            state.PauseTiming();
            BuildWorld();
            state.ResumeTiming();
        }
        UpdateWorld();
    }
    state.counters["flimbs"] = World().clock.flimbsInPlay;
}
BENCHMARK(BM_UpdateWorld)->Unit(benchmark::kMicrosecond);

void BM_WorldStateHash(benchmark::State& state)
{
    BuildWorld();
    for (auto _ : state)
        benchmark::DoNotOptimize(WorldStateHash());
}
BENCHMARK(BM_WorldStateHash)->Unit(benchmark::kMicrosecond);

} // namespace
