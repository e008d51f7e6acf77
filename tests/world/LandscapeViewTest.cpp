// The landscape's current view: the identity without one, nested make-current, screen and
// world conversions through several cameras and turns, and the bounds of ClampView.
#include "tests/support/ViewFixture.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kRotations[4] = {3.0f * kPi / 2.0f, kPi / 2.0f, 0.0f, kPi};

using LandscapeViewTest = ViewFixture;

TEST_F(LandscapeViewTest, WithoutAViewScreenAndWorldAreTheSame)
{
    MakeLand(1000, 800);
    Landscape& land = Land();
    ASSERT_EQ(land.CurrentView(), nullptr);
    int32_t wx = 0, wy = 0;
    land.ScreenToWorld(123, -45, wx, wy);
    EXPECT_EQ(wx, 123);
    EXPECT_EQ(wy, -45);
    int32_t sx = 0, sy = 0;
    land.WorldToScreen(sx, sy, 0.0f, 77, 88);
    EXPECT_EQ(sx, 77);
    EXPECT_EQ(sy, 88);
    FloatRect area{10, 20, 30, 40};
    Landscape::ScreenRectToWorld(area);
    EXPECT_EQ(area, (FloatRect{10, 20, 30, 40}));
}

TEST_F(LandscapeViewTest, MakeCurrentNestsAndTheCurrentViewIsANoOp)
{
    MakeLand(4000, 3000);
    GameViewPort& a = MakeView();
    GameViewPort& b = MakeView(100, 100, 500, 400);
    Landscape& land = Land();
    EXPECT_EQ(land.MakeCurrent(&a), nullptr);
    land.viewCentre = FloatPoint{1.5f, 2.5f};
    EXPECT_EQ(land.MakeCurrent(&a), &a) << "already current";
    EXPECT_EQ(land.viewCentre, (FloatPoint{1.5f, 2.5f})) << "nothing copied";
    {
        Landscape::CurrentViewScope inner(&land, &b);
        EXPECT_EQ(land.CurrentView(), &b);
        EXPECT_EQ(land.viewRect, (FloatRect{100, 100, 500, 400}));
        EXPECT_EQ(land.rect, land.viewRect) << "the panel covers the current view";
        {
            Landscape::CurrentViewScope innermost(&land, nullptr);
            EXPECT_EQ(land.CurrentView(), nullptr);
        }
        EXPECT_EQ(land.CurrentView(), &b);
    }
    EXPECT_EQ(land.CurrentView(), &a);
    land.MakeCurrent(nullptr);
}

TEST_F(LandscapeViewTest, ProjectedPointsUnprojectWithinHalfAPixel)
{
    MakeLand(8000, 8000);
    struct Camera {
        FloatRect area;
        float zoom;
    };
    const Camera cameras[] = {{{0, 0, 1280, 720}, 1005.0f},
                              {{100, 50, 740, 530}, 300.0f},
                              {{0, 0, 333, 777}, 2500.0f},
                              {{640, 0, 1280, 360}, 640.0f}};
    for (const Camera& camera : cameras) {
        GameViewPort& view = MakeView(camera.area.left, camera.area.top, camera.area.right, camera.area.bottom);
        for (const float rotation : kRotations) {
            SCOPED_TRACE(testing::Message() << "view " << camera.area.left << "," << camera.area.top << " zoom "
                                            << camera.zoom << " rotation " << rotation);
            view.SetRotation(rotation, -1, -1.0f);
            view.SetZoom(camera.zoom, -1);
            view.PanTo(4000, 3000, -1, false);
            Step(view, 10);
            Landscape::CurrentViewScope current(&Land(), &view);
            for (const FloatPoint world : {FloatPoint{4000, 3000}, FloatPoint{3950.5f, 3020}, FloatPoint{4100, 2900}}) {
                const FloatPoint screen = Land().WorldToScreenF(0.0f, world.x, world.y);
                const FloatPoint back = Land().UnprojectPoint(screen.x, screen.y);
                const float scale = CurrentViewScale();
                EXPECT_LE(std::fabs(back.x - world.x) * scale, 0.5f);
                EXPECT_LE(std::fabs(back.y - world.y) * scale, 0.5f);
            }
            // The view's centre is its camera's target.
            const FloatPoint middle = Land().UnprojectPoint((camera.area.left + camera.area.right) / 2.0f,
                                                            (camera.area.top + camera.area.bottom) / 2.0f);
            EXPECT_NEAR(middle.x, 4000.0f, 1.0f);
            EXPECT_NEAR(middle.y, 3000.0f, 1.0f);
        }
    }
}

TEST_F(LandscapeViewTest, ATurnedViewShowsWorldAxesTurned)
{
    MakeLand(4000, 4000);
    GameViewPort& view = MakeView();
    // Rotation pi / 2 is the view of a flimb whose gravity is up: world y grows upwards.
    view.SetRotation(kPi / 2.0f, -1, -1.0f);
    view.PanTo(2000, 2000, -1, false);
    Step(view, 10);
    Landscape::CurrentViewScope current(&Land(), &view);
    const FloatPoint centre = Land().WorldToScreenF(0, 2000, 2000);
    const FloatPoint below = Land().WorldToScreenF(0, 2000, 2100);
    EXPECT_LT(below.y, centre.y - 50.0f);
    // Rotation 0 (gravity to the left): world x grows downwards... and the feet point left.
    view.SetRotation(0.0f, -1, -1.0f);
    Step(view, 10);
    const FloatPoint right = Land().WorldToScreenF(0, 2100, 2000);
    EXPECT_NEAR(right.x, centre.x, 1.0f);
    EXPECT_GT(std::fabs(right.y - centre.y), 50.0f);
}

TEST_F(LandscapeViewTest, ClampViewKeepsTheViewOnTheLandscape)
{
    GameViewPort& view = MakeView();
    const float normal = view.ZoomToDistance(view.GetNormalZoom()); // 1280 x 720 world pixels shown
    const float upright = 3.0f * kPi / 2.0f;
    struct Case {
        int width, height;
        FloatPoint asked;
        bool wholeView;
        FloatPoint expected;
    };
    const Case cases[] = {
        {800, 400, {10, 10}, true, {400, 200}},       // smaller than the view: centred
        {4000, 3000, {100, 100}, true, {640, 360}},   // the whole view stays inside
        {4000, 3000, {3900, 2950}, true, {3360, 2640}},
        {4000, 3000, {2000, 1500}, true, {2000, 1500}},
        {4000, 3000, {10, 2990}, false, {80, 2955}},  // a sixteenth of the extent from the edges
        {4000, 3000, {-500, 9000}, false, {80, 2955}},
        {100, 60, {90, 50}, false, {80, 45}},         // narrower than two margins: the left and top one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.asked.x << "," << c.asked.y);
        MakeLand(c.width, c.height);
        const FloatPoint clamped = view.ClampCamera(c.asked.x, c.asked.y, normal, upright, c.wholeView);
        EXPECT_NEAR(clamped.x, c.expected.x, 0.5f);
        EXPECT_NEAR(clamped.y, c.expected.y, 0.5f);
        EXPECT_EQ(Land().CurrentView(), nullptr) << "the clamp restores the previous view";
    }
}

} // namespace
