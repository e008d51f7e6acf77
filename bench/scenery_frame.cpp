// One 1280 x 720 frame of the scenic sample level through the game view on the software
// device (one core): its sky behind the landscape, three tiled background layers at their
// depths and an animated one, the terrain, the pickups, the checkpoint, the annotations and
// 40 flimbs at work, one world pixel to a screen pixel. Run from the build's game folder.
#include "app/ConsoleParam.h"
#include "tools/viewrun/ViewScene.h"
#include "world/TrapDraw.h"

#include <benchmark/benchmark.h>

namespace {

struct SceneryBench {
    SceneryBench() : scene("s_dm_scenery")
    {
        scene.AddFlimbs(40);
        scene.OpenView();
        scene.ShowMinimap(false);
        GameViewPort& view = *scene.View();
        view.SetZoom(view.GetNormalZoom(), -1);
        view.PanTo(900, 690, -1, false);
        for (int i = 0; i < 30; ++i) // the view settles
            scene.Frame(16);
    }
    ViewScene scene;
};

SceneryBench& Bench()
{
    static SceneryBench bench;
    return bench;
}

// range(0): the sky drawn; range(1): the background layers drawn (the player's options).
void BM_SceneryFrame(benchmark::State& state)
{
    SceneryBench& bench = Bench();
    ConsoleParam* sky = ConsoleParam::Find("showsky");
    ConsoleParam* layers = ConsoleParam::Find("showback");
    if (!sky || !layers) {
        state.SkipWithError("no showsky / showback");
        return;
    }
    sky->SetInt(int(state.range(0)));
    layers->SetInt(int(state.range(1)));
    for (auto _ : state)
        bench.scene.Frame(16);
    state.counters["bg_tiles"] = BackgroundTilesDrawn();
    sky->SetInt(1);
    layers->SetInt(1);
}
BENCHMARK(BM_SceneryFrame)
    ->ArgNames({"sky", "layers"})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond);

} // namespace
