// One world update of a 2048 x 1024 level with 8 start traps releasing one flimb per update,
// 8 exits taking flimbs in and 500 walkers at work: the trap pass of the level-flow kinds
// against the 2 ms update budget. The world is built afresh every 100 updates.
#include "bench/TrapBenchWorld.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "game/WorldUpdate.h"
#include "modes/MatchOptions.h"
#include "tools/replaycheck/HeadlessGame.h"
#include "tools/replaycheck/MatchRecipe.h"
#include "traps/Trap.h"
#include "traps_flow/StartTrap.h"
#include "world/FlimbTable.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace {

constexpr int kRebuildEvery = 100;

void BuildWorld()
{
    FreshBenchWorld();
    for (int i = 0; i < 8; ++i) {
        const int sx = 100 + i * 250;
        auto* start = static_cast<StartTrap*>(PlaceBenchTrap(kTrapStart, sx, recipe::HillTop(sx) - 60));
        start->SetGroup(static_cast<uint8_t>(i));
        start->releaseRate = 50;
        start->SetFlimbsLeft(999);
        start->SetScale(1.0f, 1.0f);
        const int ex = sx + 120;
        PlaceBenchTrap(kTrapExit, ex, recipe::HillTop(ex))->SetGroup(static_cast<uint8_t>(i));
    }
    for (int i = 0; i < 500; ++i) {
        const int x = 20 + (i * 97) % (recipe::kWidth - 40);
        AddFlimb(int16_t(x), int16_t(recipe::HillTop(x)), int16_t(i + 1), uint8_t(i % 8), kWalk, 0, kFlimbStartEnergy,
                 0, i % 2 ? 1 : -1);
    }
}

void BM_FlowTrapsUpdate(benchmark::State& state)
{
    BuildWorld();
    for (Trap* start : GetTrapsOfKind(kTrapStart))
        start->activated = 1;
    int updates = 0;
    for (auto _ : state) {
        if (++updates % kRebuildEvery == 0) {
            state.PauseTiming();
            BuildWorld();
            state.ResumeTiming();
        }
        UpdateWorld();
    }
}
BENCHMARK(BM_FlowTrapsUpdate)->Unit(benchmark::kMicrosecond);

} // namespace
