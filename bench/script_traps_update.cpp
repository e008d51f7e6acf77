// One world update of a 2048 x 1024 level with 500 walkers, 50 proximity areas along the
// hills (each triggered by up to 8 walkers every fifth update, running three actions) and 20
// modify-traps turning, moving and fading a target each for ever: the scripted kinds'
// share of the 2 ms update budget. The same level without the traps is the baseline.
// The world is built afresh every 100 updates.
#include "bench/TrapBenchWorld.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "game/WorldUpdate.h"
#include "modes/MatchOptions.h"
#include "tools/replaycheck/HeadlessGame.h"
#include "tools/replaycheck/MatchRecipe.h"
#include "traps/Trap.h"
#include "traps_flow/ModifyTrapTrap.h"
#include "traps_flow/ProximityTrap.h"
#include "world/FlimbTable.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRebuildEvery = 100;
constexpr int32_t kProximityKind = 24;
constexpr int32_t kModifyTrapKind = 39;
constexpr int32_t kPathKind = 27;

void BuildWorld(bool withScripts)
{
    FreshBenchWorld();
    if (withScripts) {
        std::vector<uint32_t> movers;
        for (int i = 0; i < 20; ++i) {
            const int x = 60 + i * 100;
            Trap* target = PlaceBenchTrap(kPathKind, x, recipe::HillTop(x) - 120);
            auto* mover = PlaceBenchTrap<ModifyTrapTrap>(kModifyTrapKind, x, recipe::HillTop(x) - 160);
            mover->targets.push_back(ModifyTarget{target->id});
            mover->rot_delta = 3.0f;
            mover->infinite_rot = true;
            mover->x_pos_delta = 0.5f;
            mover->x_final_pos = 1000;
            mover->alpha_delta = -1;
            mover->final_alpha = -255;
            mover->can_trigger = false;
            mover->Activate(nullptr);
            movers.push_back(mover->id);
        }
        for (int i = 0; i < 50; ++i) {
            const int x = 30 + i * 40;
            auto* area = PlaceBenchTrap<ProximityTrap>(kProximityKind, x, recipe::HillTop(x) - 24);
            area->trigger_delay = 4;
            area->multi_trigger = true;
            area->maxTriggerFlimbs = 8;
            const auto target = static_cast<int32_t>(movers[static_cast<size_t>(i) % movers.size()]);
            area->actions = {TriggerAction{target, TriggerAction::kActivate, 0, -1},
                             TriggerAction{target, TriggerAction::kShow, 1, -1},
                             TriggerAction{static_cast<int32_t>(area->id), TriggerAction::kFlushList, 2, -1}};
        }
    }
    for (int i = 0; i < 500; ++i) {
        const int x = 20 + (i * 97) % (recipe::kWidth - 40);
        AddFlimb(int16_t(x), int16_t(recipe::HillTop(x)), int16_t(i + 1), uint8_t(i % 8), kWalk, 0, kFlimbStartEnergy,
                 0, i % 2 ? 1 : -1);
    }
}

void RunUpdates(benchmark::State& state, bool withScripts)
{
    BuildWorld(withScripts);
    int updates = 0;
    for (auto _ : state) {
        if (++updates % kRebuildEvery == 0) {
            state.PauseTiming();
            BuildWorld(withScripts);
            state.ResumeTiming();
        }
        UpdateWorld();
    }
}

void BM_WalkersOnlyUpdate(benchmark::State& state)
{
    RunUpdates(state, false);
}
BENCHMARK(BM_WalkersOnlyUpdate)->Unit(benchmark::kMicrosecond);

void BM_ScriptTrapsUpdate(benchmark::State& state)
{
    RunUpdates(state, true);
}
BENCHMARK(BM_ScriptTrapsUpdate)->Unit(benchmark::kMicrosecond);

} // namespace
