// The minimap: its reduction factor, the picture kept current by terrain changes, and the
// panel's mapping between landscape and panel in every direction, its size and clicks.
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "gui/UiScale.h"
#include "tests/support/ViewFixture.h"
#include "world/MinimapSurface.h"
#include "world/MinimapView.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

using MinimapTest = ViewFixture;

TEST_F(MinimapTest, TheFactorTakesTheLargerSideOver1024)
{
    const struct {
        int width, height;
        uint32_t factor;
        int surfaceWidth, surfaceHeight;
    } cases[] = {
        {2048, 1024, 2, 1024, 512},
        {1500, 800, 1, 1500, 800},
        {1000, 800, 1, 1000, 800}, // both sides under 1024: no reduction, no "Bad resolution"
        {800, 3100, 3, 266, 1033},
        {16384, 128, 16, 1024, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        MakeLand(c.width, c.height);
        MinimapSurface surface(Land());
        EXPECT_EQ(surface.Factor(), c.factor);
        EXPECT_EQ(surface.SurfaceWidth(), c.surfaceWidth);
        EXPECT_EQ(surface.SurfaceHeight(), c.surfaceHeight);
    }
}

TEST_F(MinimapTest, TerrainChangesReachTheSamplePixels)
{
    MakeLand(2048, 1024);
    Land().SetPixel(1, true, 0xFF886B0B, 100, 200, 140, 230);
    Land().RecreateMinimapSurface();
    const auto* surface = dynamic_cast<const MinimapSurface*>(Land().Minimap());
    ASSERT_NE(surface, nullptr) << "the landscape makes the game's minimap";
    EXPECT_EQ(surface->Pixel(50, 100), MaterialColour(1)) << "filled completely when made";
    EXPECT_EQ(surface->Pixel(10, 10), MinimapSurface::kEmptyColour);

    // Removing terrain next to the sample point leaves the pixel; removing the point clears it.
    Land().SetPixel(0, true, 0, 101, 201, 101, 201);
    EXPECT_EQ(surface->Pixel(50, 100), MaterialColour(1));
    BashMaskPtr dot = AllocateBashMask(1, 1);
    dot->Row(0)[0] = 0xFFFFFFFFu;
    ASSERT_TRUE(Land().SetPredefinedMask(0, 0, 0, 0, std::move(dot)));
    Land().BashBrush(0, 0, 0, 0, 0, false, kAllMaterials, nullptr, 0xFF808080u, 100, 200);
    EXPECT_EQ(Land().HitTestPoint(100, 200), 0);
    EXPECT_EQ(surface->Pixel(50, 100), MinimapSurface::kEmptyColour);
    EXPECT_EQ(surface->Pixel(51, 100), MaterialColour(1));
    // Added terrain shows too; a rectangle reaching outside the landscape is ignored.
    Land().SetPixel(4, true, 0xFF6666FF, 0, 0, 3, 3);
    EXPECT_EQ(surface->Pixel(0, 0), MaterialColour(4));
    MinimapSurface& writable = const_cast<MinimapSurface&>(*surface);
    Land().SetPixel(0, false, 0, 0, 0, 3, 3); // clears the terrain, and the pixel...
    Land().SetPixel(4, false, 0, 0, 0, 3, 3); // ...then refills it with the notice
    writable.Update(-1, 0, 10, 10);
    writable.Update(0, 0, 2049, 10);
    EXPECT_EQ(surface->Pixel(0, 0), MaterialColour(4));
}

TEST_F(MinimapTest, PanelMappingRoundTripsAndTurnsWithTheView)
{
    MakeLand(3000, 1000);
    MinimapView view;
    for (uint8_t direction = 0; direction < 4; ++direction) {
        SCOPED_TRACE(int(direction));
        view.direction = direction;
        for (const FloatPoint p : {FloatPoint{0, 0}, FloatPoint{1500, 500}, FloatPoint{2999, 17}, FloatPoint{12.5f, 987}}) {
            const FloatPoint panel = view.WorldToPanel(p.x, p.y);
            const FloatPoint back = view.PanelToWorld(panel.x, panel.y);
            EXPECT_NEAR(back.x, p.x, 0.01f);
            EXPECT_NEAR(back.y, p.y, 0.01f);
        }
        // The landscape's centre is the panel's centre.
        const FloatPoint centre = view.WorldToPanel(1500, 500);
        const FloatPoint size = view.PanelPixels();
        EXPECT_NEAR(centre.x, size.x / 2.0f, 0.01f);
        EXPECT_NEAR(centre.y, size.y / 2.0f, 0.01f);
    }
    // Directions 2 and 3 stand the landscape on its side: the panel's width follows its height.
    view.direction = 0;
    const FloatPoint upright = view.PanelPixels();
    EXPECT_NEAR(upright.x, 900.0f * GetUiScale(), 0.01f) << "fits 900 x 530";
    view.direction = 2;
    const FloatPoint sideways = view.PanelPixels();
    EXPECT_NEAR(sideways.y, 530.0f * GetUiScale(), 0.01f);
    EXPECT_NEAR(sideways.x / sideways.y, 1000.0f / 3000.0f, 1e-3f);
    EXPECT_NEAR(view.GetScale(), (sideways.x + 1.0f) / 1000.0f, 1e-5f);
    EXPECT_EQ(view.GetCursorName(), "precision");
}

TEST_F(MinimapTest, ThePanelFollowsTheGameViewAndAClickPansIt)
{
    MakeLand(4000, 2000);
    GameViewPort& game = MakeView();
    PrimContainer* panel = MinimapView::CreatePanel();
    ASSERT_NE(panel, nullptr);
    auto* minimap = dynamic_cast<MinimapView*>(panel->FindChild("MinimapView"));
    ASSERT_NE(minimap, nullptr);
    EXPECT_NEAR(panel->rect.right - panel->rect.left, minimap->rect.right - minimap->rect.left, 0.5f)
        << "the panel wraps its view from the start";
    EXPECT_NEAR(panel->rect.bottom - panel->rect.top, minimap->rect.bottom - minimap->rect.top, 0.5f);
    OpenWindow(&game, true);
    game.SetRotation(0.0f, -1, -1.0f); // gravity to the left
    minimap->Update();
    EXPECT_EQ(minimap->direction, 2);
    float width = 0, height = 0;
    minimap->GetSize(&width, &height);
    EXPECT_NEAR(minimap->rect.right - minimap->rect.left, Primitive::ToPixelsX(width), 0.5f) << "resized";
    game.SetRotation(3.0f * kPi / 2.0f, -1, -1.0f);
    minimap->Update();
    EXPECT_EQ(minimap->direction, 0);

    // A press maps the panel point into the landscape and pans there in 100 ms.
    minimap->Update();
    const FloatPoint target = minimap->WorldToPanel(1000.0f, 1000.0f);
    const int x = int(minimap->rect.left + target.x), y = int(minimap->rect.top + target.y);
    EXPECT_EQ(minimap->OnLeftButton(x, y, kPhaseDown), minimap);
    Run(game, 110);
    const float panelPixel = 1.0f / minimap->GetScale(); // landscape pixels a panel pixel covers
    EXPECT_NEAR(game.X(), 1000.0f, panelPixel + 1.0f);
    EXPECT_NEAR(game.Y(), 1000.0f, panelPixel + 1.0f);
    EXPECT_EQ(minimap->OnLeftButton(x, y, kPhaseUp), minimap) << "a release is consumed and does nothing";
    CloseWindow(&game);
    delete panel;
}

TEST_F(MinimapTest, DirectionsOfViewRotations)
{
    EXPECT_EQ(DirectionOfRotation(3.0f * kPi / 2.0f), 0);
    EXPECT_EQ(DirectionOfRotation(kPi / 2.0f), 1);
    EXPECT_EQ(DirectionOfRotation(0.0f), 2);
    EXPECT_EQ(DirectionOfRotation(2.0f * kPi - 0.001f), 2);
    EXPECT_EQ(DirectionOfRotation(kPi), 3);
    EXPECT_EQ(DirectionOfRotation(-kPi / 2.0f), 0);
}

} // namespace
