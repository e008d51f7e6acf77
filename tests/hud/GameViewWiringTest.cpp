// The HUD with the game's own view under it: the HUD window gets the game view "MOUSEPORT",
// steers it through HudGameView, its stamp tool opens the stamp overlay, and the game's
// minimap maker builds the minimap panel.
#include "HudFixture.h"

#include "game/GameServices.h"
#include "game/GameViewPort.h"
#include "gui/PrimContainer.h"
#include "hud/FlimbsHUD.h"
#include "hud/HudGame.h"
#include "hud/HudWindow.h"
#include "hud/StampUI.h"
#include "world/MinimapView.h"

#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

class GameViewWiringTest : public HudFixture {
protected:
    void TearDown() override
    {
        if (hud)
            CloseWindow(hud.get());
        hud.reset();
        SetHudGameViewMaker(nullptr);
        HudFixture::TearDown();
    }
    std::unique_ptr<FlimbsHUD> hud;
};

TEST_F(GameViewWiringTest, TheHudSteersTheGameViewAndItsStampToolOpensTheOverlay)
{
    InstallHudGameView();
    hud = std::make_unique<FlimbsHUD>();
    hud->deleteWhenClosed = 0;
    OpenWindow(hud.get(), true);

    auto* port = dynamic_cast<GameViewPort*>(hud->GameViewPanel());
    ASSERT_NE(port, nullptr) << "the game's view, not the stand-in";
    EXPECT_EQ(port->name, "MOUSEPORT");
    HudGameView* view = hud->GameView();
    ASSERT_EQ(view, static_cast<HudGameView*>(port));
    EXPECT_EQ(view->Panel(), port);

    // The HUD placed the view; what it sets, the view keeps.
    const FloatRect placed = port->ViewRect();
    EXPECT_GT(placed.right - placed.left, 100.0f);
    EXPECT_GT(placed.bottom - placed.top, 100.0f);
    EXPECT_EQ(view->VisibleRect().right, port->rect.right);
    view->SetShowCounts(true);
    EXPECT_EQ(port->showGroupCounts, 1);
    EXPECT_TRUE(view->ShowCounts());
    view->SetFollowFlag(true);
    EXPECT_TRUE(view->FollowFlag());
    // The HUD's angle is the view's target, in one turn; the camera's own Rotation stays raw.
    view->SetRotation(5.0f * kPi / 2.0f, 400);
    EXPECT_NEAR(view->Rotation(), kPi / 2.0f, 1e-4f);
    EXPECT_NEAR(port->GetRotation(), kPi / 2.0f, 1e-4f);
    EXPECT_TRUE(view->IsScrolling()) << "turning";

    view->SetCurrentStamp("Graphics\\Stamps\\star.png");
    auto* stamp = dynamic_cast<StampUI*>(FindOpenWindow(StampUI::kName));
    ASSERT_NE(stamp, nullptr);
    EXPECT_EQ(stamp->ImageFile(), "Graphics\\Stamps\\star.png");
    EXPECT_TRUE(stamp->visible);
}

TEST_F(GameViewWiringTest, TheGamesMinimapMakerBuildsTheMinimapPanel)
{
    HudGame real;
    std::unique_ptr<PrimContainer> panel = real.MakeMinimap();
    ASSERT_NE(panel, nullptr);
    EXPECT_NE(dynamic_cast<MinimapView*>(panel->FindChild("MinimapView")), nullptr);
}

} // namespace
