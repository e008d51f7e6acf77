// One 1280 x 720 frame of a sample level through the game view on the software device (one
// core): the level's terrain at the zoom that shows it whole, 200 flimbs at work with their
// markers, 30 exit traps and the particles of 10 digs among them; then with health bars over every
// flimb, and with the minimap panel over it all. Run from the build's game folder.
#include "media/ImageCache.h"
#include "tools/viewrun/ViewScene.h"
#include "traps/Trap.h"
#include "world/ParticleEmitters.h"
#include "world/ParticleManager.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr uint32_t kExitKind = 22;

struct ViewBench {
    ViewBench() : scene("s_dm_first_steps")
    {
        scene.AddFlimbs(200);
        Landscape& land = *GameLandscape();
        for (int i = 0; i < 30; ++i) {
            auto trap = std::make_unique<Trap>(kExitKind);
            trap->x = float(64 + (i * 331) % (land.Width() - 128));
            trap->y = float(200 + (i * 173) % (land.Height() - 400));
            trap->LoadGraphics();
            if (!trap->sprite)
                trap->sprite = ImageCache::GetImage("Graphics\\Traps\\Exit\\exit.png");
            RegisterTrap(std::move(trap));
        }
        // Digs along the ground spray the pixels they take away as particles.
        for (int i = 0; i < 10; ++i) {
            const int x = 40 + (i * 509) % (land.Width() - 80);
            int y = 16;
            while (y < land.Height() - 1 && land.CountSolidPixels(x, y, x, y) == 0)
                ++y;
            AreaEffectParams spray(EmitSpray, float(x), float(y), 0.0f, 0.0f, 0.0f, 0, 3, 3);
            land.BashBrush(12, 2, 0, 0, 0, false, 0xFFFE0CE3u, &spray, 0xFF808080u, x, y);
        }
        RebuildParticleVertices();
        scene.OpenView();
        scene.View()->ZoomToFit();
        for (int i = 0; i < 60; ++i) // the zoom settles
            scene.Frame(16);
    }
    ViewScene scene;
};

ViewBench& Bench()
{
    static ViewBench bench;
    return bench;
}

// range(0): 1 with the minimap panel shown; range(1): 1 with health bars over every flimb
// (the modes that show them).
void BM_GameViewFrame(benchmark::State& state)
{
    ViewBench& bench = Bench();
    bench.scene.ShowMinimap(state.range(0) != 0);
    World().healthScale = state.range(1) != 0 ? kFlimbStartEnergy : 0;
    for (auto _ : state)
        bench.scene.Frame(16);
    int flimbs = 0;
    for (const Flimb& flimb : World())
        flimbs += flimb.IsFree() ? 0 : 1;
    state.counters["flimbs"] = flimbs;
    state.counters["traps"] = double(World().traps.all.size());
    state.counters["particles"] = Particles() ? Particles()->DrawnParticles() : 0;
}
BENCHMARK(BM_GameViewFrame)
    ->ArgNames({"minimap", "healthbars"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace
