// One world update of a 2048 x 1024 level with 500 flimbs at work (walkers, fallers,
// diggers, builders, blockers) and 200 registered base traps; the same with 200 liquid,
// teleport, size, anti-gravity and shock traps (a fifth of them on the hills among the
// flimbs); the same with 200 bridge, sling-shot, mush-bomb, acid-rain, swap and squish
// traps; the same with 200 creature and collectible traps (frozen flimbs, slugs, particles,
// copiers, qdots, receptacles, gravitize areas, black holes, followers, walk bugs and
// entanglement machines); and the world state hash over
// the same world. The level is the replay check's fixed landscape with the game's flimb art;
// it is built afresh every 100 updates so that the diggers and builders stay at work.
#include "game/GameController.h"
#include "game/WorldUpdate.h"
#include "modes/MatchOptions.h"
#include "tools/replaycheck/HeadlessGame.h"
#include "tools/replaycheck/MatchRecipe.h"
#include "traps/AcidRainTrap.h"
#include "traps/AntiGravTrap.h"
#include "traps/BallTrap.h"
#include "traps/BridgeTrap.h"
#include "traps/CopierTrap.h"
#include "traps/FollowTrap.h"
#include "traps/GravitizeTrap.h"
#include "traps/MushBombTrap.h"
#include "traps/ShockTrap.h"
#include "traps/TelePortTrap.h"
#include "traps/Trap.h"
#include "traps/WaterTrap.h"
#include "world/FlimbTable.h"
#include "world/TrapSpecs.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <benchmark/benchmark.h>

#include <algorithm>
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

// Traps of the five flimb-effect kinds, set up as a level would have them.
std::unique_ptr<Trap> MakeEffectTrap(int i)
{
    static const int32_t kinds[] = {WaterTrap::kKind, TelePortTrap::kKind, 6, AntiGravTrap::kKind, ShockTrap::kKind};
    std::unique_ptr<Trap> trap = Trap::Create(kinds[i % 5]);
    if (auto* water = dynamic_cast<WaterTrap*>(trap.get())) {
        water->sizex = 120;
        water->sizey = 60;
        water->water_type = i % 3;
        water->hightide = 20;
        water->hightime = 30;
        water->lowtime = 30;
        water->changetime = 25;
        water->ReleaseGraphics();
        water->LoadGraphics();
    } else if (auto* ring = dynamic_cast<AntiGravTrap*>(trap.get())) {
        ring->oldGravity = {0, 1, -1, -1};
        ring->newGravity = {1, 0, -1, -1};
        ring->useArea = i % 2;
    } else if (auto* pad = dynamic_cast<TelePortTrap*>(trap.get())) {
        pad->mode = TelePortTrap::kRelative; // a hop along the hills
        pad->destx = 40;
        pad->desty = -10;
    } else if (auto* barrier = dynamic_cast<ShockTrap*>(trap.get())) {
        barrier->sections = 1 + i % 4;
    }
    return trap;
}

// A hazard trap of the i-th kind of six (bridge, sling-shot, mush-bomb, acid-rain, swap,
// squish), with settings that keep it at work.
std::unique_ptr<Trap> MakeHazardTrap(int i)
{
    static const int32_t kinds[] = {10, 12, 13, 11, 2, 7};
    std::unique_ptr<Trap> trap = Trap::Create(kinds[i % 6]);
    if (auto* bridge = dynamic_cast<BridgeTrap*>(trap.get()))
        bridge->timeOpen = 20, bridge->timeClosed = 20;
    if (auto* bomb = dynamic_cast<MushBombTrap*>(trap.get()))
        bomb->period = 30, bomb->maxRadius = 150, bomb->radiusStep = 10, bomb->mushType = MushBombTrap::kStun;
    if (auto* rain = dynamic_cast<AcidRainTrap*>(trap.get()))
        rain->updatesPerDrop = 5;
    return trap;
}

// A creature or collectible trap of the i-th kind of eleven, with settings that keep it at
// work: killing slugs, copiers that copy every 10 updates, digging followers.
std::unique_ptr<Trap> MakeCreatureTrap(int i)
{
    static const int32_t kinds[] = {17, 18, 19, 46, 49, 51, 31, 32, 23, 26, 5};
    std::unique_ptr<Trap> trap = Trap::Create(kinds[i % 11]);
    if (auto* slug = dynamic_cast<BallTrap*>(trap.get()))
        slug->ballKill = 1;
    if (auto* copier = dynamic_cast<CopierTrap*>(trap.get()))
        copier->updatesPerCopy = 10, copier->numCopies = 3;
    if (auto* follower = dynamic_cast<FollowTrap*>(trap.get()))
        follower->landMode = FollowTrap::kDiggingLandMode, follower->killFlimbs = 1;
    if (auto* area = dynamic_cast<GravitizeTrap*>(trap.get()))
        area->triggerWidth = area->triggerHight = 64;
    return trap;
}

enum class TrapSet { kBase, kEffect, kHazard, kCreature };

void BuildWorld(TrapSet traps = TrapSet::kBase)
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
        const bool effectTraps = traps == TrapSet::kEffect || traps == TrapSet::kCreature;
        std::unique_ptr<Trap> trap = traps == TrapSet::kEffect     ? MakeEffectTrap(i)
                                     : traps == TrapSet::kHazard   ? MakeHazardTrap(i)
                                     : traps == TrapSet::kCreature ? MakeCreatureTrap(i)
                                                                   : std::make_unique<Trap>(1 + i % 50);
        const int x = (i * 97) % recipe::kWidth;
        trap->x = static_cast<float>(x);
        // Effect traps: a fifth (of every kind) on a hill top among the flimbs, the others in the sky above
        // the hills, where only fallers meet them.
        const int sky = std::max(1, recipe::HillTop(x) - 160);
        trap->y = static_cast<float>(!effectTraps ? (i * 61) % recipe::kHeight
                                     : (i / 5) % 5 == 0 ? recipe::HillTop(x)
                                                    : (i * 61) % sky);
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

void BM_UpdateWorldWithEffectTraps(benchmark::State& state)
{
    BuildWorld(TrapSet::kEffect);
    int updates = 0;
    for (auto _ : state) {
        if (++updates % kRebuildEvery == 0) {
            state.PauseTiming();
            BuildWorld(TrapSet::kEffect);
            state.ResumeTiming();
        }
        UpdateWorld();
    }
    state.counters["flimbs"] = World().clock.flimbsInPlay;
}
BENCHMARK(BM_UpdateWorldWithEffectTraps)->Unit(benchmark::kMicrosecond);

void BM_UpdateWorldHazardTraps(benchmark::State& state)
{
    BuildWorld(TrapSet::kHazard);
    int updates = 0;
    for (auto _ : state) {
        if (++updates % kRebuildEvery == 0) {
            state.PauseTiming();
            BuildWorld(TrapSet::kHazard);
            state.ResumeTiming();
        }
        UpdateWorld();
    }
    state.counters["flimbs"] = World().clock.flimbsInPlay;
}
BENCHMARK(BM_UpdateWorldHazardTraps)->Unit(benchmark::kMicrosecond);

void BM_UpdateWorldCreatureTraps(benchmark::State& state)
{
    BuildWorld(TrapSet::kCreature);
    int updates = 0;
    for (auto _ : state) {
        if (++updates % kRebuildEvery == 0) {
            state.PauseTiming();
            BuildWorld(TrapSet::kCreature);
            state.ResumeTiming();
        }
        UpdateWorld();
    }
    state.counters["flimbs"] = World().clock.flimbsInPlay;
}
BENCHMARK(BM_UpdateWorldCreatureTraps)->Unit(benchmark::kMicrosecond);

void BM_WorldStateHash(benchmark::State& state)
{
    BuildWorld();
    for (auto _ : state)
        benchmark::DoNotOptimize(WorldStateHash());
}
BENCHMARK(BM_WorldStateHash)->Unit(benchmark::kMicrosecond);

} // namespace
