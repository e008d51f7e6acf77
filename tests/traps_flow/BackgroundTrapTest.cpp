// Background layers: the square and circle tilings, the bounds at depth 0 and projected
// through a view, the frame steps at the layer's rate on the game clock, when a layer shows,
// clipped tiles, what re-fetches the image, and what a level file may hold.
#include "tests/support/PanelInput.h"
#include "tests/support/TrapHarness.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/ViewFixture.h"

#include "game/GameController.h"
#include "gui/WindowList.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "media/SpriteDepth.h"
#include "traps_flow/BackgroundTrap.h"
#include "world/TrapDraw.h"
#include "world/ViewServices.h"
#include "world/WorldClock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class BackgroundTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(100, std::string(200, '.')), {}, 2048, 1024);
    }
    BackgroundTrap* AddLayer(const std::string& children)
    {
        return dynamic_cast<BackgroundTrap*>(AddTrapXml("<trap><type>Background</type>" + children + "</trap>"));
    }
    BackgroundTrap* Mountains(float x = 300.0f, float y = 200.0f)
    {
        return AddLayer("<x>" + std::to_string(int(x)) + "</x><y>" + std::to_string(int(y)) +
                        "</y><back_image>Graphics\\Backgrounds\\mountains.png</back_image>");
    }
};

// 1 x 1 square tiling is one tile on the position; 3 x 2 tiles grow right and down by the
// tile's size. Circle tiling at 90 degrees turns a 3 x 1 row into a column on the position.
TEST_F(BackgroundTrapTest, SquareAndCircleTilings)
{
    BackgroundTrap* layer = Mountains();
    ASSERT_NE(layer, nullptr);
    ASSERT_NE(layer->sprite, nullptr);
    ASSERT_EQ(layer->sprite->frameWidth, 512);
    std::vector<BackgroundTrap::TilePoint> tiles = layer->TilePoints(300.0f, 200.0f);
    ASSERT_EQ(tiles.size(), 1u);
    EXPECT_EQ(tiles[0].x, 300.0f);
    EXPECT_EQ(tiles[0].y, 200.0f);

    layer->tile_x = 3;
    layer->tile_y = 2;
    tiles = layer->TilePoints(300.0f, 200.0f);
    ASSERT_EQ(tiles.size(), 6u);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(tiles[size_t(i * 3 + j)].x, 300.0f + 512.0f * float(j));
            EXPECT_EQ(tiles[size_t(i * 3 + j)].y, 200.0f + 256.0f * float(i));
        }

    layer->tile_y = 1;
    layer->circle_rotate = 1;
    layer->rotation = 90.0f;
    tiles = layer->TilePoints(300.0f, 200.0f);
    ASSERT_EQ(tiles.size(), 3u);
    const float expectedY[3] = {712.0f, 200.0f, -312.0f};
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(tiles[size_t(j)].x, 300.0f, 1e-3f) << j;
        EXPECT_NEAR(tiles[size_t(j)].y, expectedY[j], 1e-3f) << j;
    }
}

// At depth 0 the bounds are the plain sprite rectangle (a tiled layer's widened over the
// grid; a circle-tiled one scaled by the tile counts).
TEST_F(BackgroundTrapTest, BoundsAtDepthZero)
{
    BackgroundTrap* layer = Mountains();
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->GetBounds(), (gfx::RECT{44, 72, 555, 327}));
    layer->tile_x = 3;
    layer->tile_y = 2;
    EXPECT_EQ(layer->GetBounds(), (gfx::RECT{44, 72, 555 + 1024, 327 + 256}));
    layer->circle_rotate = 1;
    EXPECT_EQ(layer->GetBounds(), (gfx::RECT{300 - 768, 200 - 256, 300 + 768 - 1, 200 + 256 - 1}));
    layer->circle_rotate = 0;
    layer->tile_x = layer->tile_y = 1;
    layer->scale_x = 0.5f;
    EXPECT_EQ(layer->GetBounds(), (gfx::RECT{172, 72, 427, 327}));
}

// An animation at 13 frames per second steps when more than 76.9 ms of game time have
// passed since its last step, wraps from its last frame to 0, and restarts at start_frame
// when activated; a layer that is not playing stays.
TEST_F(BackgroundTrapTest, TheAnimationStepsAtItsRateOnTheGameClock)
{
    BackgroundTrap* layer =
        AddLayer("<back_image>Graphics\\Backgrounds\\birds.png</back_image><animated>1</animated>"
                 "<frame_x>64</frame_x><frame_y>32</frame_y><fps>13</fps><start_frame>2</start_frame>");
    ASSERT_NE(layer, nullptr);
    ASSERT_EQ(layer->sprite->frameCount, 4);
    EXPECT_EQ(layer->playing, 1);
    EXPECT_EQ(layer->frame, 0) << "start_frame is not taken at load";
    CurrentGameTime() = 1000;
    layer->lastFrameTime = 1000;
    const struct {
        uint32_t time;
        uint8_t frame;
    } steps[] = {{1076, 0}, {1077, 1}, {1153, 1}, {1154, 2}, {1231, 3}, {1308, 0}};
    for (const auto& step : steps) {
        CurrentGameTime() = step.time;
        layer->StepFrame();
        EXPECT_EQ(layer->frame, step.frame) << step.time;
    }
    layer->Activate(nullptr);
    EXPECT_EQ(layer->frame, 2);
    layer->Deactivate();
    CurrentGameTime() = 5000;
    layer->StepFrame();
    EXPECT_EQ(layer->frame, 2);
    EXPECT_EQ(layer->playing, 0);
}

// With the backgrounds switched off a layer shows only with always_render, or in the
// editor; a hint layer shows only while hints are on.
TEST_F(BackgroundTrapTest, WhenALayerShows)
{
    BackgroundTrap* layer = Mountains();
    ASSERT_NE(layer, nullptr);
    ScopedConsoleInt backgrounds("showback", 0);
    EXPECT_FALSE(layer->Shown());
    layer->always_render = 1;
    EXPECT_TRUE(layer->Shown());
    layer->hint = 1;
    EXPECT_FALSE(layer->Shown()) << "a hint waits for the hints";
    Controller().hintsShown = 1;
    EXPECT_TRUE(layer->Shown());
}

// Tiles whose clip rectangle misses the visible rectangle are not drawn (nor counted);
// clip margins cut what is drawn of each tile, but never its place.
TEST_F(BackgroundTrapTest, TilesOutOfSightAreSkipped)
{
    BackgroundTrap* layer = Mountains(256.0f, 128.0f);
    ASSERT_NE(layer, nullptr);
    layer->tile_x = 3;
    GameViewHooks view;
    view.visibleWorldRect = [] { return gfx::RECT{0, 0, 600, 300}; };
    SetGameViewHooks(std::move(view));
    BackgroundTilesDrawn() = 0;
    layer->DrawLayer(true, true, 256.0f, 128.0f);
    EXPECT_EQ(BackgroundTilesDrawn(), 2) << "the third tile starts at x 1024";
    BackgroundTilesDrawn() = 0;
    layer->DrawLayer(false, false, 10.0f, 10.0f);
    EXPECT_EQ(BackgroundTilesDrawn(), 3) << "outside the game view nothing is clipped";
    ResetGameViewHooks();
}

// Only a new blur (radius or bleed) fetches the image again; the tile counts do not.
TEST_F(BackgroundTrapTest, OnlyTheBlurFetchesTheImageAgain)
{
    BackgroundTrap* layer = Mountains();
    ASSERT_NE(layer, nullptr);
    const AnimSurface* plain = layer->sprite;
    std::unique_ptr<LayoutPanel> panel = layer->BuildEditPanel();
    PanelType(*panel, "tile_x", "4");
    layer->ApplyEditPanel(panel.get());
    EXPECT_EQ(layer->tile_x, 4);
    EXPECT_EQ(layer->sprite, plain);
    panel->ClearChanged();
    PanelType(*panel, "blur_sigma", "2.5");
    layer->ApplyEditPanel(panel.get());
    EXPECT_FLOAT_EQ(layer->blur_sigma, 2.5f);
    EXPECT_NE(layer->sprite, plain);
    EXPECT_EQ(ImageCache::ReferenceCount(layer->sprite), 1);
}

// From a file: doubled backslashes are one, tile counts below 1 are 1 and above 20 are 20
// (logged), an image outside the game folder shows the default image and keeps its name.
TEST_F(BackgroundTrapTest, WhatALevelFileMayHold)
{
    BackgroundTrap* layer = AddLayer("<back_image>Graphics\\\\Backgrounds\\\\hills.png</back_image>"
                                     "<tile_x>0</tile_x><tile_y>25</tile_y>");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->back_image, "Graphics\\Backgrounds\\hills.png");
    EXPECT_EQ(layer->tile_x, 1);
    EXPECT_EQ(layer->tile_y, 20);
    EXPECT_TRUE(log->Contains("tile_y 25 is more than 20 tiles"));
    BackgroundTrap* outside = AddLayer("<back_image>..\\..\\etc\\passwd</back_image>");
    ASSERT_NE(outside, nullptr);
    ASSERT_NE(outside->sprite, nullptr);
    EXPECT_NE(std::string(outside->sprite->GetName()).find("default.png"), std::string::npos);
    EXPECT_NE(SaveText(*outside).find("<back_image>..\\..\\etc\\passwd</back_image>"), std::string::npos);
}

// Through a game view, a rectangle behind the landscape plane lands on it smaller and
// nearer the view's centre, so that a layer there moves less than the terrain when the view
// pans; at depth 0 it stays as it is. World sprites at a depth take the same scale.
class BackgroundProjectionTest : public ViewFixture {};

TEST_F(BackgroundProjectionTest, DeeperRectanglesLandSmallerAndMoveLess)
{
    MakeLand(4000, 3000);
    GameViewPort& view = MakeView();
    view.PanTo(1000, 800, -1, false);
    Run(view, 20);
    Landscape::CurrentViewScope current(&Land(), &view);
    const FloatRect flat = ProjectRectOntoLandscape(1200.0f, 900.0f, 0.0f, 100.0f, 50.0f, 0.0f);
    EXPECT_FLOAT_EQ(flat.left, 1100.0f);
    EXPECT_FLOAT_EQ(flat.bottom, 950.0f);
    const FloatRect deep = ProjectRectOntoLandscape(1200.0f, 900.0f, -500.0f, 100.0f, 50.0f, 0.0f);
    EXPECT_LT(deep.right - deep.left, 200.0f);
    EXPECT_GT(deep.right - deep.left, 100.0f);
    const float centreX = (deep.left + deep.right) / 2.0f;
    EXPECT_LT(centreX, 1200.0f);
    EXPECT_GT(centreX, 1000.0f);
    const float scale = CurrentViewScale();
    {
        const SpriteDepthScope behind(-500.0f);
        EXPECT_LT(CurrentViewScale(), scale);
        EXPECT_NEAR(CurrentViewScale() / scale, (deep.right - deep.left) / 200.0f, 1e-3f);
    }
    EXPECT_EQ(CurrentViewScale(), scale);
}

} // namespace
