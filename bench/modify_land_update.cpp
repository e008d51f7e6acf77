// One world update of a 2048 x 1024 level whose 20 modify-land traps each keep a 64 x 64
// slab circling its own centre (taken out of the land and stamped back every update, with
// the platform and push passes on), alone and among 200 walking flimbs. The level is the
// replay check's fixed landscape; the slabs circle in the air above its hills.
#include "game/LevelReaders.h"
#include "game/WorldUpdate.h"
#include "levelmodel/MapPrimitive.h"
#include "tools/replaycheck/HeadlessGame.h"
#include "tools/replaycheck/MatchRecipe.h"
#include "traps/ModifyLandTrap.h"
#include "world/FlimbTable.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kTraps = 20;

HeadlessGame& Game()
{
    // The primitive store is made before the game, so that it outlives the game's undoing at
    // exit (statics go in the reverse order of their making).
    static const bool storeMade = (ModifyLandPrimStore::Clear(), true);
    (void)storeMade;
    static HeadlessGame game(64, 48);
    return game;
}

void BuildLevel(int flimbs)
{
    HeadlessGame& game = Game();
    DeleteAllTraps();
    ClearWorldFlimbs(World());
    ModifyLandPrimStore::Clear();
    recipe::BuildLandscape(game.Land());
    for (int i = 0; i < kTraps; ++i) {
        auto made = Trap::Create(ModifyLandTrap::kKind);
        auto* trap = static_cast<ModifyLandTrap*>(made.get());
        const int cx = 80 + i * 100, cy = 200 + (i % 3) * 110;
        auto placed = std::make_unique<MapPrimitive>();
        placed->id = static_cast<uint32_t>(1000 + i);
        placed->fileName = "Graphics\\Terrain\\slab.png";
        placed->alphaThreshold = 128;
        placed->posX = static_cast<float>(cx);
        placed->posY = static_cast<float>(cy + 40);
        auto primitive = std::make_shared<ModifiedPrimitive>(std::move(placed));
        ModifyLandPrimStore::Add(primitive);
        StampLevelPrimitive(game.Land(), *primitive->prim, 1.0f, 0, 0, false);
        ModifyLandTarget target;
        target.prim = primitive;
        target.prim_id = static_cast<int32_t>(primitive->Id());
        trap->targets.push_back(target);
        trap->custom_center = 1;
        trap->x_center = cx;
        trap->y_center = cy;
        trap->rot_delta = 3.0f;
        trap->infinite_rot = 1;
        trap->no_rotate = 1;
        trap->platform = 1;
        trap->can_push = 1;
        trap->can_crush = 1;
        RegisterTrap(std::move(made));
        trap->Activate(nullptr);
    }
    for (int i = 0; i < flimbs; ++i) {
        const int x = 40 + (i * 397) % 1960;
        AddFlimb(int16_t(x), int16_t(recipe::HillTop(x) - 1), int16_t(i + 1), uint8_t(i % 4), kWalk, 0,
                 kFlimbStartEnergy, 0, i % 2 ? 1 : -1);
    }
}

void BM_ModifyLandUpdate(benchmark::State& state)
{
    const int flimbs = static_cast<int>(state.range(0));
    BuildLevel(flimbs);
    int updates = 0;
    for (auto _ : state) {
        if (++updates % 500 == 0) {
            state.PauseTiming();
            BuildLevel(flimbs);
            state.ResumeTiming();
        }
        UpdateWorld();
    }
}
BENCHMARK(BM_ModifyLandUpdate)->Arg(0)->Arg(200)->Unit(benchmark::kMicrosecond);

} // namespace
