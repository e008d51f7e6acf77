// The HUD test scene drawn at 1280 x 720 on the software device, on one core: the belt open
// on a flimb with a slot hovered, the history strip of three, the FlimbMaster display, the
// countdown, three chat lines and the in-game menu, over the stand-in game view. The game
// view's own drawing (a sky and a ground band) is timed separately and left out of the
// HUD's figure. Starts as the game does from the build's game folder.
#include "gui/GuiClock.h"
#include "media/DXManager.h"
#include "media/InputClock.h"
#include "platform/gfx/Device.h"
#include "tests/support/FakeHudGame.h"
#include "tests/support/HudSceneContent.h"
#include "tools/headless/HeadlessSession.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

uint32_t g_now = 1000;

// Everything the scene needs, made once for the program's life.
struct HudBench {
    HudBench()
    {
        ok = DXManager::GetDevice() != nullptr;
        SetInputClock([] { return g_now; });
        world = std::make_unique<WorldState>();
        use = std::make_unique<ScopedWorld>(*world);
        auto player = std::make_unique<PlayerRecord>();
        player->control.fill(1);
        Controller().localPlayer = player.get();
        Controller().players.push_back(std::move(player));
        game.speakers[1] = ChatSpeaker{true, "Ann", 0, nullptr};
        game.speakers[2] = ChatSpeaker{true, "Bo", 2, nullptr};
        scene = std::make_unique<TestHudScene>();
        content = std::make_unique<HudSceneContent>(*scene, log, [this](uint32_t ms) {
            g_now += ms;
            SetGuiFrameElapsed(ms);
            scene->Update();
        });
        SetGuiFrameElapsed(0);
        for (int i = 0; i < 30; ++i)
            Draw(true); // the belt fades in
        content->Hover();
    }

    void Draw(bool withView)
    {
        gfx::Device* device = DXManager::GetDevice();
        g_now += 16;
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        if (withView)
            scene->Draw();
        else
            scene->View()->Draw();
        device->EndScene();
    }

    HeadlessSession session{1280, 720};
    bool ok = false;
    std::unique_ptr<WorldState> world;
    std::unique_ptr<ScopedWorld> use;
    FakeHudGame game;
    MessageLog log{100};
    std::unique_ptr<TestHudScene> scene;
    std::unique_ptr<HudSceneContent> content;
};

HudBench& Bench()
{
    static HudBench bench;
    return bench;
}

void BM_HudSceneFrame(benchmark::State& state)
{
    HudBench& bench = Bench();
    if (!bench.ok) {
        state.SkipWithError("no device: run from the build's game folder");
        return;
    }
    for (auto _ : state)
        bench.Draw(true);
}
BENCHMARK(BM_HudSceneFrame)->Unit(benchmark::kMillisecond);

// The stand-in game view alone: its share is the view's, not the HUD's.
void BM_GameViewStandIn(benchmark::State& state)
{
    HudBench& bench = Bench();
    if (!bench.ok) {
        state.SkipWithError("no device");
        return;
    }
    for (auto _ : state)
        bench.Draw(false);
}
BENCHMARK(BM_GameViewStandIn)->Unit(benchmark::kMillisecond);

} // namespace
