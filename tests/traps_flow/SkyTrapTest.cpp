// The sky: the grid of quads for an image on the landscape, a landscape-sized image cut into
// tiles (colours in place, transparent texels over the base colour), the refused and the
// stretched images, an unreadable file, the motion per drawn frame, and what the panel's
// changes redo.
#include "tests/support/PanelInput.h"
#include "tests/support/TrapHarness.h"

#include "app/XmlUtil.h"
#include "platform/image/ImageCodec.h"
#include "traps_flow/SkyTrap.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class SkyTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(10, std::string(10, '.')), {}, 2048, 1024);
        sky_ = Add<SkyTrap>(SkyTrap::kKind, 0.0f, 0.0f);
        ASSERT_NE(sky_, nullptr);
    }
    SkyTrap* sky_ = nullptr;
};

// A 256 x 256 image on a 2048 x 1024 landscape: 9 x 5 cells of 512 (scale 2) at depth -256,
// from -1152 to 3456 across and -640 to 1920 down the sky plane.
TEST_F(SkyTrapTest, TheGridCoversTheLandscapeFromBehind)
{
    ASSERT_EQ(sky_->SetSkyImage("Graphics\\Primitives\\Beach\\BackTiles\\sky_sunset.png"), SkyTrap::kDone);
    EXPECT_TRUE(sky_->HasTexture());
    EXPECT_EQ(sky_->tileColumns, 9);
    EXPECT_EQ(sky_->tileRows, 5);
    EXPECT_EQ(sky_->CellWidth(), 512.0f);
    EXPECT_EQ(sky_->OriginX(), -1152.0f);
    EXPECT_EQ(sky_->OriginY(), -640.0f);
    EXPECT_EQ(sky_->OriginX() + 9 * sky_->CellWidth(), 3456.0f);
    EXPECT_EQ(sky_->OriginY() + 5 * sky_->CellHeight(), 1920.0f);
    EXPECT_EQ(sky_->skyDepth, -256.0f);
}

// An image of exactly the landscape's size is cut into ceil(W/128) x ceil(H/128) tiles and
// not moved; each texel keeps its colours in place, and transparent ones take the base
// colour (never pure blue).
TEST_F(SkyTrapTest, ALandscapeSizedImageIsCutIntoTiles)
{
    AddImage("Graphics\\sky_test.png", 2048, 1024, [](int x, int y) -> uint32_t {
        if (y < 100)
            return 0x00000000u; // transparent
        return x < 1024 ? 0xFFC08040u : 0x80FF0000u;
    });
    sky_->sky_base_color = 0xFF102030u;
    sky_->vx = 1.0f;
    ASSERT_EQ(sky_->SetSkyImage("Graphics\\sky_test.png"), SkyTrap::kDone);
    EXPECT_FALSE(sky_->HasTexture());
    EXPECT_EQ(sky_->TileTextureCount(), 16 * 8);
    EXPECT_EQ(sky_->tileColumns, 16);
    EXPECT_EQ(sky_->TilePixel(0, 0, 5, 5), 0xFF102030u) << "transparent: the base colour";
    EXPECT_EQ(sky_->TilePixel(1, 2, 10, 10), 0xFFC08040u) << "opaque: its own colours";
    // Half transparent red over the base colour, each channel in its place.
    const uint32_t blended = sky_->TilePixel(12, 2, 10, 10);
    EXPECT_EQ(blended >> 24, 0xFFu);
    EXPECT_NEAR(int((blended >> 16) & 0xFF), int(0xFF * 0.502 + 0x10 * 0.498), 1);
    EXPECT_NEAR(int((blended >> 8) & 0xFF), int(0x20 * 0.498), 1);
    EXPECT_NEAR(int(blended & 0xFF), int(0x30 * 0.498), 1);
}

// A PNG of more than 512 pixels that is not the landscape's size is refused with the
// notice; a JPEG of 600 x 400 is taken and stretched into 1024 x 512.
TEST_F(SkyTrapTest, BigPngsAreRefusedAndJpegsStretched)
{
    AddImage("Graphics\\big_sky.png", 600, 400, [](int, int) { return 0xFF3366CCu; });
    EXPECT_EQ(sky_->SetSkyImage("Graphics\\big_sky.png"), SkyTrap::kTooBig);
    EXPECT_FALSE(sky_->HasTexture());
    const std::vector<std::string> messages = Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "-2: Sky texture might be a tile, but it's too big."),
              messages.end());
    ASSERT_EQ(sky_->SetSkyImage("Graphics\\Primitives\\Beach\\BackTiles\\sky_clouds.jpg"), SkyTrap::kDone);
    EXPECT_EQ(sky_->TextureWidth(), 1024);
    EXPECT_EQ(sky_->TextureHeight(), 512);
    EXPECT_EQ(sky_->sky_image, "Graphics\\Primitives\\Beach\\BackTiles\\sky_clouds.jpg");
}

// A file that cannot be read logs the line and leaves the sky as it was.
TEST_F(SkyTrapTest, AnUnreadableFileKeepsTheOldSky)
{
    ASSERT_EQ(sky_->SetSkyImage("Graphics\\Primitives\\Beach\\BackTiles\\sky_sunset.png"), SkyTrap::kDone);
    EXPECT_EQ(sky_->SetSkyImage("Graphics\\nothing_here.png"), SkyTrap::kFailed);
    EXPECT_EQ(sky_->SetSkyImage("..\\outside.png"), SkyTrap::kFailed);
    EXPECT_TRUE(log->Contains("[SetSkyImage] Could not open Graphics\\nothing_here.png"));
    EXPECT_TRUE(sky_->HasTexture());
    EXPECT_EQ(sky_->sky_image, "Graphics\\Primitives\\Beach\\BackTiles\\sky_sunset.png");
}

// Every drawn frame moves the texture by the velocity times 0.03: vx 0.01 gives 0.0003.
// The motion is drawing state, never saved.
TEST_F(SkyTrapTest, TheSkyMovesPerDrawnFrame)
{
    ASSERT_EQ(sky_->SetSkyImage("Graphics\\Primitives\\Beach\\BackTiles\\sky_sunset.png"), SkyTrap::kDone);
    sky_->vx = 0.01f;
    DrawFrame([this] { sky_->DrawSky(); });
    EXPECT_NEAR(sky_->scrollU, 0.0003f, 1e-7f);
    DrawFrame([this] { sky_->DrawSky(); });
    EXPECT_NEAR(sky_->scrollU, 0.0006f, 1e-7f);
    EXPECT_EQ(sky_->scrollV, 0.0f);
    EXPECT_EQ(SaveText(*sky_).find("scroll"), std::string::npos);
}

// A new base colour blends the image again; new velocities leave the textures alone.
TEST_F(SkyTrapTest, TheBaseColourReblendsTheImage)
{
    AddImage("Graphics\\half.png", 64, 64, [](int, int) { return 0x80FFFFFFu; });
    ASSERT_EQ(sky_->SetSkyImage("Graphics\\half.png"), SkyTrap::kDone);
    const uint32_t before = sky_->TexturePixel(3, 3);
    std::unique_ptr<LayoutPanel> panel = sky_->BuildEditPanel();
    PanelSlide(*panel, "vx", 40.0f);
    sky_->ApplyEditPanel(panel.get());
    EXPECT_FLOAT_EQ(sky_->vx, 0.04f);
    EXPECT_EQ(sky_->TexturePixel(3, 3), before);
    panel->ClearChanged();
    PanelSlide(*panel, "base_red", 200.0f);
    sky_->ApplyEditPanel(panel.get());
    EXPECT_EQ(sky_->sky_base_color, 0xFFC80000u);
    EXPECT_NE(sky_->TexturePixel(3, 3), before);
    EXPECT_EQ((sky_->TexturePixel(3, 3) >> 16) & 0xFF, uint32_t(0xFF * 0.502 + 200 * 0.498));
}

// The level reader's load mode: the editor's map keeps the icon; play hides the trap.
TEST_F(SkyTrapTest, OnlyTheEditorShowsTheIcon)
{
    sky_->ResetToStart(kLoadModeEditor);
    EXPECT_NE(sky_->sprite, nullptr);
    sky_->ResetToStart(kLoadModeGame);
    EXPECT_EQ(sky_->sprite, nullptr);
    EXPECT_EQ(sky_->visible, 0);
}

} // namespace
