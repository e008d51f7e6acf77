// The menu backdrop: its tick, bubbles and layers, the way screens go into it, the choice
// between the new-user prompt and the main menu, and Escape in the menus.
#include "FrontEndFixture.h"

#include "app/Random.h"
#include "frontend/FrontEndServices.h"
#include "frontend/menus/Bubbles.h"
#include "frontend/menus/MainMenu.h"
#include "frontend/menus/MenuAnimations.h"
#include "frontend/menus/PromptForNewUser.h"
#include "game/FlimbMasterLevelList.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/ToolTip.h"
#include "gui/UiScale.h"

#include "media/PADManager.h"

#include <algorithm>
#include <cmath>

namespace {

using BackdropTest = FrontEndFixture;

TEST(PeriodicTickTest, OneTickPerFrameAndTheClampCapsTheRest)
{
    struct Case {
        bool clamp;
        std::vector<uint32_t> frames;
        std::vector<bool> ticks;
        uint32_t left;
    };
    const Case cases[] = {
        {false, {20, 20, 20}, {false, false, true}, 10},           // 60 ms: one tick, 10 left
        {false, {500, 0, 0}, {true, true, true}, 350},             // a long frame: one tick a frame after it
        {true, {500, 0, 0}, {true, true, false}, 0},               // clamped: the rest capped at a period
        {true, {500, 10, 50}, {true, true, true}, 10},             // ... so a stall gives no burst
        {false, {49}, {false}, 49},
    };
    for (const Case& c : cases) {
        PeriodicTick tick(50, c.clamp);
        for (size_t i = 0; i < c.frames.size(); ++i)
            EXPECT_EQ(tick.Advance(c.frames[i]), c.ticks[i]) << "frame " << i << (c.clamp ? " clamped" : "");
        EXPECT_EQ(tick.accumulator, c.left);
    }
    PeriodicTick off(50, false);
    off.enabled = 0;
    EXPECT_FALSE(off.Advance(1000));
    EXPECT_EQ(off.accumulator, 0u);
}

TEST_F(BackdropTest, BubblesSpawnBelowTheScreenRiseAndGoAboveMinusHundred)
{
    Bubbles layer(30);
    EXPECT_EQ(layer.HitTest(640, 360), nullptr) << "the layers never catch the mouse";
    layer.Add({100.0f, -100.0f, 164, 1.0f});
    layer.Add({200.0f, -100.5f, 164, 1.0f});
    layer.Add({300.0f, 500.0f, 164, 1.5f});
    SetGuiFrameElapsed(0);
    layer.Update();
    ASSERT_EQ(layer.List().size(), 2u) << "-100 stays, below it goes";
    EXPECT_EQ(layer.List()[0].x, 100.0f);
    SetGuiFrameElapsed(60);
    layer.Update();
    ASSERT_GE(layer.List().size(), 1u);
    EXPECT_FLOAT_EQ(layer.List()[0].y, 500.0f - 60.0f / 6.0f * 1.5f) << "a bigger bubble rises faster";

    // Spawns: anywhere across, just below the bottom, scale 0.525 .. 1.475 x UI scale.
    Bubbles spawning(30);
    DrawRandom().Seed(12345);
    int spawned = 0;
    for (int i = 0; i < 400; ++i) {
        SetGuiFrameElapsed(30);
        const size_t before = spawning.List().size();
        spawning.Update();
        if (spawning.List().size() > before) {
            const Bubbles::Bubble& b = spawning.List().back();
            EXPECT_GE(b.x, 0.0f);
            EXPECT_LE(b.x, 1280.0f);
            EXPECT_GE(b.scale, 0.525f * GetUiScale() - 1e-4f);
            EXPECT_LE(b.scale, 1.475f * GetUiScale() + 1e-4f);
            EXPECT_EQ(b.alpha, 164);
            EXPECT_GT(b.y, 700.0f) << "born below the bottom edge";
            ++spawned;
        }
    }
    EXPECT_GT(spawned, 120) << "about every other tick";
    EXPECT_LT(spawned, 280);
}

TEST_F(BackdropTest, BuildsItsLayersInDrawingOrderWithTheVersionLabel)
{
    PrimContainer* backdrop = FlimbsMenuTemplate::Build();
    ASSERT_NE(backdrop, nullptr);
    EXPECT_EQ(backdrop->name, "FlimbsMenuTemplate");
    const std::vector<Primitive*> children(backdrop->Children().begin(), backdrop->Children().end());
    ASSERT_EQ(children.size(), 20u);
    const auto image = [&](size_t i) { return dynamic_cast<ScreenImage*>(children[i]); };
    EXPECT_NE(image(0)->ImagePath().find("main_menu_stars.jpg"), std::string::npos);
    EXPECT_NE(dynamic_cast<ImageScalingAnimation*>(children[1]), nullptr);
    EXPECT_NE(image(2)->ImagePath().find("main_menu_flimbs.png"), std::string::npos);
    EXPECT_NE(image(3)->ImagePath().find("main_menu_start_left.png"), std::string::npos);
    EXPECT_NE(image(4)->ImagePath().find("main_menu_start_right.png"), std::string::npos);
    EXPECT_NE(image(5)->ImagePath().find("main_menu_electricity.png"), std::string::npos);
    EXPECT_NE(dynamic_cast<Bubbles*>(children[6]), nullptr);
    EXPECT_NE(image(7)->ImagePath().find("main_menu_logo_Flimbs.png"), std::string::npos);
    EXPECT_EQ(children[8]->name, "BUBBLES_FRONT");
    EXPECT_NE(dynamic_cast<ImageRotationAnimation2*>(children[9]), nullptr);
    auto* version = dynamic_cast<SimpleLabel*>(children[10]);
    ASSERT_NE(version, nullptr);
    const std::string text = version->GetText();
    EXPECT_EQ(text.substr(text.size() - 8), " - v1.24");
    EXPECT_NE(dynamic_cast<ToolTip*>(children[19]), nullptr);

    // The stars sit centred and breathe between 4 and 5 times their size; the electricity
    // joins the start pieces, overlapping each by 124 design pixels.
    const FloatRect stars = children[0]->GetScreenRect();
    EXPECT_NEAR((stars.left + stars.right) / 2, 500.0f, 1.0f);
    const FloatRect left = children[3]->GetScreenRect(), right = children[4]->GetScreenRect();
    const FloatRect strip = children[5]->GetScreenRect();
    const float d = Primitive::ToVirtualX(124.0f * GetUiScale());
    EXPECT_NEAR(strip.left, left.right - d, 0.5f);
    EXPECT_NEAR(strip.right, right.left + d, 0.5f);
    OpenWindow(backdrop, true);
    for (int i = 0; i < 400; ++i)
        Step(50);
    const float scaled = image(0)->ScaleX() / GetUiScale();
    EXPECT_GE(scaled, 4.0f - 1e-3f);
    EXPECT_LE(scaled, 5.0f + 1e-3f);
    EXPECT_LE(std::fabs(image(7)->Rotation()), 3.0f * 3.1415927f / 180.0f + 1e-5f) << "the logo swings 3 degrees";
}

TEST_F(BackdropTest, TheDefaultProfileOrAMissingFileGivesThePromptAnExistingProfileTheMenu)
{
    // "default-profile" asks for a name even when its file is there.
    WriteText(GetUserPath("Profiles\\default-profile.xml"), "<flimbs-profile/>");
    PrimContainer* backdrop = ShowMainMenu(false);
    EXPECT_NE(Find(PromptForNewUser::kName), nullptr);
    EXPECT_EQ(Find(MainMenu::kName), nullptr);
    // A profile whose file is missing asks too.
    SetVariable("profile", "Vanished");
    CloseAllWindows();
    ShowMainMenu(false);
    EXPECT_NE(Find(PromptForNewUser::kName), nullptr);

    MakeProfile("Ann", true);
    CloseAllWindows();
    backdrop = FlimbsMenuTemplate::Show();
    ASSERT_EQ(ShowMainMenu(false), backdrop) << "the open backdrop is reused";
    Primitive* menu = Find(MainMenu::kName);
    ASSERT_NE(menu, nullptr);
    // The menu lies just before the front bubbles, centred at y 380.
    const std::vector<Primitive*> children(backdrop->Children().begin(), backdrop->Children().end());
    const auto at = std::find(children.begin(), children.end(), menu);
    ASSERT_NE(at, children.end());
    EXPECT_EQ((*(at + 1))->name, "BUBBLES_FRONT");
    EXPECT_NEAR(menu->GetPositionVirtual().y, 380.0f, 0.5f);
    EXPECT_NEAR(menu->GetPositionVirtual().x + menu->GetSizeVirtual().x / 2, 500.0f, 0.5f);

    // A rebuild makes a fresh backdrop.
    PrimContainer* fresh = ShowMainMenu(true);
    EXPECT_NE(fresh, backdrop);
    EXPECT_TRUE(IsWindowOpen(fresh));
}

TEST_F(BackdropTest, EscapeGoesBackFromScreensWithAWayBackAndIsLeftAloneElsewhere)
{
    MakeProfile("Ann", true);
    ShowMainMenu(false);
    EXPECT_EQ(RouteKeyToGui(0x80, 1, false, kbManager), nullptr) << "the main menu has no way back";
    RouteKeyToGui(0, 1, false, kbManager);
    Press("Extras");
    Step(16);
    ASSERT_NE(Find("Extra Menu"), nullptr);
    EXPECT_NE(RouteKeyToGui(0x80, 1, false, kbManager), nullptr);
    RouteKeyToGui(0, 1, false, kbManager);
    Step(16);
    EXPECT_EQ(Find("Extra Menu"), nullptr);
    EXPECT_NE(Find(MainMenu::kName), nullptr) << "back on the main menu";
    EXPECT_EQ(RouteKeyToGui(0x80, 1, false, padManager), nullptr) << "a pad's code 1 is no Escape";
    RouteKeyToGui(0, 1, false, padManager);
}

TEST_F(BackdropTest, ShowFrontEndOpensTheBackdropOnceAndReturnReloadsTheMenus)
{
    ShowFrontEnd();
    ShowFrontEnd();
    EXPECT_EQ(OpenWindows().size(), 1u);
    EXPECT_NE(Find(PromptForNewUser::kName), nullptr);
    MakeProfile("Bo", true);
    FlimbMasterLevelList& bosses = FlimbMasterLevelList::Global();
    bosses.Clear();
    bosses.userLevelsAdded = true; // as after a look at the user-made levels
    ReturnToMainMenu();
    EXPECT_NE(Find(MainMenu::kName), nullptr);
    ASSERT_FALSE(bosses.Entries().empty()) << "the boss levels of Level\\ are read again";
    EXPECT_FALSE(bosses.userLevelsAdded) << "the user-made ones load again when asked";
    for (const auto& entry : bosses.Entries())
        EXPECT_FALSE(entry->fromUserLevels) << entry->levelFileName;
}

} // namespace
