// The HUD window "FLIMBS_HUD" at 1280 x 720 on the software device, on one core: a single
// player's running match with the belt shown, the door open and the mode's statistics strip,
// over the stand-in game view of the tests (a sky and a ground band). One frame is the HUD's
// update and its drawing; the game view's own drawing is timed alone so that the HUD's share
// can be told. Starts as the game does from the build's game folder.
#include "gui/GuiClock.h"
#include "gui/WindowList.h"
#include "hud/FlimbsHUD.h"
#include "media/DXManager.h"
#include "media/InputClock.h"
#include "modes/ModeServices.h"
#include "platform/gfx/Device.h"
#include "tests/support/FakeBeltWorld.h"
#include "tests/support/FakeHudGame.h"
#include "tests/support/FakeMatch.h"
#include "tests/support/TestHudScene.h"
#include "tools/headless/HeadlessSession.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

uint32_t g_now = 1000;

std::unique_ptr<Primitive> MakeView()
{
    return std::make_unique<FakeGameView>();
}

struct HudWindowBench {
    HudWindowBench()
    {
        ok = DXManager::GetDevice() != nullptr;
        SetInputClock([] { return g_now; });
        SetHudGameViewMaker(MakeView);
        SetMatchWorld(&matchWorld);
        SetMatchEffects(&effects);
        CreateCurrentGameMode(0);
        for (int type = 0; type < 12; ++type)
            belt.counts[{0, type}] = 3 + type;
        game.runState = 1;
        game.admin = true;
        hud = std::make_unique<FlimbsHUD>();
        hud->deleteWhenClosed = 0;
        OpenWindow(hud.get(), true);
        for (int i = 0; i < 40; ++i)
            Frame(true); // the belt flips open, the door opens
    }

    void Frame(bool withHud)
    {
        gfx::Device* device = DXManager::GetDevice();
        g_now += 16;
        SetGuiFrameElapsed(16);
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        if (withHud) {
            hud->Update();
            hud->Draw();
        } else {
            hud->GameViewPanel()->Draw();
        }
        device->EndScene();
    }

    HeadlessSession session{1280, 720};
    bool ok = false;
    FakeHudGame game;
    FakeBeltWorld belt;
    FakeMatchWorld matchWorld;
    RecordingMatchEffects effects;
    std::unique_ptr<FlimbsHUD> hud;
};

HudWindowBench& Bench()
{
    static HudWindowBench bench;
    return bench;
}

void BM_HudWindowFrame(benchmark::State& state)
{
    HudWindowBench& bench = Bench();
    if (!bench.ok) {
        state.SkipWithError("no device: run from the build's game folder");
        return;
    }
    for (auto _ : state)
        bench.Frame(true);
}
BENCHMARK(BM_HudWindowFrame)->Unit(benchmark::kMillisecond);

// The stand-in game view alone: its share is the view's, not the HUD's.
void BM_HudWindowGameViewAlone(benchmark::State& state)
{
    HudWindowBench& bench = Bench();
    if (!bench.ok) {
        state.SkipWithError("no device");
        return;
    }
    for (auto _ : state)
        bench.Frame(false);
}
BENCHMARK(BM_HudWindowGameViewAlone)->Unit(benchmark::kMillisecond);

} // namespace
