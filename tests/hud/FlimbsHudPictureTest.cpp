// The HUD window drawn on the software device into the build folder: a single-player match
// at 1280 x 720 with the belt open and the door open (build/hud-single-1280x720.png), and a
// paused multiplayer match of the admin at 1024 x 768 (build/hud-admin-1024x768.png).
#include "HudFixture.h"

#include "../support/FakeBeltWorld.h"
#include "../support/FakeMatch.h"

#include "gui/FlimbsDoor.h"
#include "gui/UiScale.h"
#include "hud/FlimbActionButton.h"
#include "hud/FlimbsHUD.h"
#include "hud/HudActions.h"
#include "game/MessageLog.h"
#include "media/PngFile.h"
#include "modes/ModeServices.h"

namespace {

std::unique_ptr<Primitive> MakeFakeView()
{
    return std::make_unique<FakeGameView>();
}

class FlimbsHudPictureTest : public HudFixture {
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        SetHudGameViewMaker(MakeFakeView);
        SetMatchWorld(&matchWorld);
        SetMatchEffects(&effects);
        for (int type = 0; type < 12; ++type)
            belt.counts[{0, type}] = type == 6 ? 199 : 3 + type;
        CreateCurrentGameMode(0);
    }
    void TearDown() override
    {
        if (hud)
            CloseWindow(hud.get());
        hud.reset();
        ClearCurrentGameMode();
        SetMatchWorld(nullptr);
        SetMatchEffects(nullptr);
        SetHudGameViewMaker(nullptr);
        HudFixture::TearDown();
    }
    void Run(int frames)
    {
        for (int i = 0; i < frames; ++i) {
            now_ += 20;
            SetGuiFrameElapsed(20);
            hud->Update();
            DrawFrame([&] { hud->Draw(); });
        }
        SetGuiFrameElapsed(0);
    }
    void Write(const std::string& file, int width, int height)
    {
        std::vector<uint32_t> pixels(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[size_t(y) * size_t(width) + size_t(x)] = 0xFF000000u | Pixel(x, y);
        EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/" + file, pixels.data(), width, height));
    }

    FakeMatchWorld matchWorld;
    RecordingMatchEffects effects;
    FakeBeltWorld belt;
    std::unique_ptr<FlimbsHUD> hud;
};

TEST_F(FlimbsHudPictureTest, SinglePlayerAt1280x720WithTheBeltShown)
{
    game.runState = 1;
    game.checkpoints = {"dm_test_1.xml"};
    hud = std::make_unique<FlimbsHUD>();
    hud->deleteWhenClosed = 0;
    OpenWindow(hud.get(), true);
    Run(40);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(hud->BeltButton(i)->State(), FlimbActionButton::Show::Shown) << i;
    EXPECT_FLOAT_EQ(hud->Door()->Fraction(), 1.0f);
    // The frame's bottom-left corner, the panels and the view differ: not one flat colour.
    const uint32_t sky = 0x2A4A6A;
    EXPECT_EQ(Pixel(640, 200), sky);
    EXPECT_NE(Pixel(640, 700), sky);
    EXPECT_NE(Pixel(5, 5), 0u);
    Write("hud-single-1280x720.png", 1280, 720);
}

TEST_F(FlimbsHudPictureTest, PausedMultiplayerAdminAt1024x768)
{
    StartScreen(1024, 768);
    game.multiplayer = true;
    game.admin = true;
    game.runState = 1;
    game.players = {{0, "Me", false}, {1, "Ann", true}, {2, "Bo", true}};
    HudMessageLog().Add("Ann: ready when you are", 1);
    HudMessageLog().Add("Bo: go!", 2);
    hud = std::make_unique<FlimbsHUD>();
    hud->deleteWhenClosed = 0;
    OpenWindow(hud.get(), true);
    Run(40);
    game.runState = 2;
    Run(2);
    ASSERT_NE(hud->PauseShade(), nullptr);
    EXPECT_EQ(hud->LeftExtender(), nullptr);
    // The sky under the shade: 0x2A4A6A darkened by 0x5F / 255.
    EXPECT_NEAR(int(Pixel(200, 200) & 0xFF), 0x6A * (255 - 0x5F) / 255, 2) << std::hex << Pixel(200, 200);
    Write("hud-admin-1024x768.png", 1024, 768);
}

} // namespace
