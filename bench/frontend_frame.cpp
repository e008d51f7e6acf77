// One 1280 x 720 frame of the front end on the software device, one core: the menu
// backdrop (stars, flimbs, frame, logo, two layers of rising bubbles) with the main menu in
// it, updated and drawn as the game's frame does; and the drawing alone. Runs headless in a
// user folder of its own, started as the game starts from the build's game folder.
#include "app/ConsoleParam.h"
#include "app/PlayerProfile.h"
#include "app/Random.h"
#include "app/UserFolders.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "gui/GuiClock.h"
#include "gui/ScreenImage.h"
#include "gui/WindowList.h"
#include "media/DXManager.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "platform/gfx/Device.h"
#include "tools/headless/HeadlessSession.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 1280, kHeight = 720;

class FrontEnd {
public:
    FrontEnd()
    {
        std::string home = (std::filesystem::temp_directory_path() / "flimbs-bench-XXXXXX").string();
        if (mkdtemp(home.data()))
            home_ = home;
        setenv("FLIMBS_HOME", home_.c_str(), 1);
        session_ = std::make_unique<HeadlessSession>(kWidth, kHeight);
        // A known player: the main menu, not the new-user prompt.
        CurrentProfile().Load(PlayerProfile::kDefaultName);
        CurrentProfile().Save("Bench");
        ConsoleParam::Find("profile")->SetFromString("Bench");
        ConsoleParam::Find("username")->SetFromString("Bench");
        DrawRandom().Seed(99);
        ShowMainMenu(false);
        for (int i = 0; i < 300; ++i) // the fly-in ends and the bubble layers fill
            Update();
    }
    ~FrontEnd()
    {
        CloseAllWindows();
        session_.reset();
        std::error_code ignored;
        if (!home_.empty())
            std::filesystem::remove_all(home_, ignored);
    }
    bool Ok() const { return DXManager::GetDevice() != nullptr; }

    static void Update()
    {
        SetGuiFrameElapsed(16);
        UpdateGuiInput(0, 0);
        UpdateOpenWindows();
    }
    static void Draw()
    {
        gfx::Device* device = DXManager::GetDevice();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        device->SetSamplerState(0, gfx::D3DSAMP_MINFILTER, gfx::D3DTEXF_LINEAR);
        device->SetSamplerState(0, gfx::D3DSAMP_MAGFILTER, gfx::D3DTEXF_LINEAR);
        DrawOpenWindows();
        device->EndScene();
    }

private:
    std::string home_;
    std::unique_ptr<HeadlessSession> session_;
};

FrontEnd& Scene()
{
    static FrontEnd scene;
    return scene;
}

void BM_MenuFrame(benchmark::State& state)
{
    if (!Scene().Ok()) {
        state.SkipWithError("no device: build the game folder first");
        return;
    }
    for (auto _ : state) {
        FrontEnd::Update();
        FrontEnd::Draw();
    }
}
BENCHMARK(BM_MenuFrame)->Unit(benchmark::kMillisecond);

void BM_MenuDrawOnly(benchmark::State& state)
{
    if (!Scene().Ok()) {
        state.SkipWithError("no device: build the game folder first");
        return;
    }
    for (auto _ : state)
        FrontEnd::Draw();
}
BENCHMARK(BM_MenuDrawOnly)->Unit(benchmark::kMillisecond);

// The yardstick of the same run: one blended, bilinear-filtered picture stretched over the
// whole screen (the star field's image), so the frame can be read as a number of such
// quads whatever else runs on the machine.
void BM_ReferenceFullScreenPicture(benchmark::State& state)
{
    if (!Scene().Ok()) {
        state.SkipWithError("no device: build the game folder first");
        return;
    }
    AnimSurface* stars = ImageCache::GetImage("Graphics\\Menu\\TemplateWindow\\main_menu_stars.jpg");
    gfx::Device* device = DXManager::GetDevice();
    for (auto _ : state) {
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        device->SetSamplerState(0, gfx::D3DSAMP_MINFILTER, gfx::D3DTEXF_LINEAR);
        device->SetSamplerState(0, gfx::D3DSAMP_MAGFILTER, gfx::D3DTEXF_LINEAR);
        DrawImageFrame(stars, stars->imageWidth, stars->imageHeight, 0, {0.0f, 0.0f, float(kWidth), float(kHeight)},
                       0xFFFFFFFFu);
        device->EndScene();
    }
    ImageCache::ReleaseImage(stars);
}
BENCHMARK(BM_ReferenceFullScreenPicture)->Unit(benchmark::kMillisecond);

} // namespace
