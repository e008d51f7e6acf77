// The stamp overlay over a game view: the wheel by mode, the mode button, the terrain-bash
// request of a click, Ctrl keeping it open and its release closing it, and no view.
#include "HudFixture.h"

#include "hud/StampUI.h"
#include "media/KBManager.h"
#include "platform/input/ScanCodes.h"
#include "world/ViewServices.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
const char* const kStamp = "Graphics\\Stamps\\star.png";

class StampUITest : public HudFixture {
protected:
    void TearDown() override
    {
        ResetGameViewHooks();
        HudFixture::TearDown();
    }
    // The view turns screen points into world points by adding (1000, 2000).
    void OpenView(float rotation)
    {
        OpenScene();
        scene->View()->rotation = rotation;
        GameViewHooks hooks;
        hooks.screenToWorld = [](float sx, float sy, float& wx, float& wy) {
            wx = sx + 1000.0f;
            wy = sy + 2000.0f;
        };
        SetGameViewHooks(hooks);
    }
    void Click(int x, int y)
    {
        RouteLeftButton(kPhaseDown, now_, x, y);
        RouteLeftButton(kPhaseUp, now_ + 5, x, y);
    }
};

TEST_F(StampUITest, AClickBashesThePictureAtTheWorldPointAndCloses)
{
    OpenView(kPi / 2);
    StampUI* ui = AddStampUI(kStamp);
    EXPECT_EQ(FindOpenWindow("StampUI"), ui);
    EXPECT_NEAR(ui->Transform().rotation, -kPi / 2 - kPi / 2, 1e-5f);
    EXPECT_EQ(ui->GetCursorName(), "diagonal-right");
    // Wheel in each mode: up scales, the mode button turns to Rotate, down turns back by
    // pi / 16, then Flip mirrors.
    RouteWheel(1);
    EXPECT_FLOAT_EQ(ui->Transform().scaleX, 1.1f);
    RouteRightButton(kPhaseDown, now_, 10, 10);
    RouteRightButton(kPhaseUp, now_, 10, 10);
    EXPECT_EQ(ui->GetCursorName(), "rotate");
    const float before = ui->Transform().rotation;
    RouteWheel(0);
    RouteWheel(0);
    RouteWheel(1);
    EXPECT_NEAR(std::remainder(ui->Transform().rotation - before + kPi / 16, 2 * kPi), 0.0f, 1e-4f);
    RouteRightButton(kPhaseDown, now_, 10, 10);
    EXPECT_EQ(ui->GetCursorName(), "horizontal");
    RouteWheel(1);
    EXPECT_FLOAT_EQ(ui->Transform().scaleX, -1.1f);
    EXPECT_FLOAT_EQ(ui->Transform().scaleY, 1.1f);

    const float rotation = ui->Transform().rotation;
    Click(300, 200);
    ASSERT_EQ(session.requests.size(), 1u);
    char expected[160];
    std::snprintf(expected, sizeof expected, "bash %s -1.1 1.1 16 6 ff808080 %.1f 0 1300 2200", kStamp, rotation);
    EXPECT_EQ(session.requests[0], expected);
    EXPECT_FALSE(ui->active);
    EXPECT_EQ(FindOpenWindow("StampUI"), nullptr);
}

TEST_F(StampUITest, CtrlKeepsTheOverlayForMoreStampsAndItsReleaseCloses)
{
    OpenView(0.0f);
    for (int ctrl : {kKeyLeftCtrl, kKeyRightCtrl}) {
        session.requests.clear();
        StampUI* ui = AddStampUI(kStamp);
        game.heldKeys = {ctrl};
        Click(100, 100);
        Click(120, 100);
        EXPECT_EQ(session.requests.size(), 2u);
        EXPECT_TRUE(ui->active) << "Ctrl held: the overlay stays";
        game.heldKeys.clear();
        RouteKeyToGui(0, 30, false, kbManager); // another key's release changes nothing
        EXPECT_TRUE(ui->active);
        RouteKeyToGui(0, ctrl, false, kbManager);
        EXPECT_FALSE(ui->active);
        EXPECT_EQ(session.requests.size(), 2u) << "the release stamps nothing";
        UpdateGuiInput(0, 0);
    }
}

TEST_F(StampUITest, WithoutAGameViewNothingIsSentAndTheOverlayCloses)
{
    StampUI* ui = AddStampUI(kStamp);
    EXPECT_FLOAT_EQ(ui->Transform().rotation, 0.0f);
    Click(200, 200);
    EXPECT_TRUE(session.requests.empty());
    EXPECT_FALSE(ui->active);

    // With Ctrl held it stays, still sending nothing.
    StampUI* kept = AddStampUI(kStamp);
    game.heldKeys = {kKeyLeftCtrl};
    Click(200, 200);
    EXPECT_TRUE(session.requests.empty());
    EXPECT_TRUE(kept->active);
}

TEST_F(StampUITest, TheOverlayIsDrawnHalfTransparentAtThePointer)
{
    OpenView(0.0f);
    ResetGameViewHooks(); // screen and world alike
    AddStampUI("Graphics\\HUD\\InGame\\supernova.png");
    UpdateGuiInput(640, 330);
    DrawFrame([] { DrawOpenWindows(); });
    int x = 0, y = 0;
    GetPointerPosition(&x, &y);
    ASSERT_EQ(x, 640);
    EXPECT_NE(Pixel(640, 330), 0x2A4A6Au) << "the picture over the sky";
}

TEST_F(StampUITest, TheStandInGameViewOpensTheOverlayWithTheChosenStamp)
{
    std::unique_ptr<Primitive> view = MakeHudGameView();
    auto* hudView = dynamic_cast<HudGameView*>(view.get());
    ASSERT_NE(hudView, nullptr);
    EXPECT_EQ(view->name, "MOUSEPORT");
    hudView->SetCurrentStamp(kStamp);
    auto* ui = dynamic_cast<StampUI*>(FindOpenWindow("StampUI"));
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(ui->ImageFile(), kStamp);
    hudView->SetCurrentStamp(kStamp); // one overlay at a time
    EXPECT_FALSE(ui->active);
}

} // namespace
