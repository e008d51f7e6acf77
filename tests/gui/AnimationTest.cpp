#include "GuiFixture.h"

#include "gui/Animators.h"
#include "gui/Transforms.h"

#include <cmath>
#include <memory>

namespace {

TEST(TransformTest, CurvesAtStartMiddleAndEnd)
{
    LinearFloatTransform linear(10.0f, 30.0f);
    linear.Set(0.0f, 100.0f);
    linear.Start();
    EXPECT_TRUE(linear.running);
    EXPECT_FLOAT_EQ(linear.value, 10.0f);
    EXPECT_FLOAT_EQ(linear.Evaluate(50.0f), 20.0f);
    EXPECT_FLOAT_EQ(linear.Evaluate(100.0f), 30.0f);

    AcceleratedTransform smooth(0.0f, 100.0f, 0.0f);
    smooth.Set(0.0f, 200.0f);
    EXPECT_FLOAT_EQ(smooth.Evaluate(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(smooth.Evaluate(100.0f), 50.0f);
    EXPECT_FLOAT_EQ(smooth.Evaluate(200.0f), 100.0f);
    EXPECT_NEAR(smooth.Rate(0.0f), 0.0f, 1e-6f);
    EXPECT_NEAR(smooth.Rate(200.0f), 0.0f, 1e-6f);

    // With a start rate: value and rate at the start, rate 0 at the end, no curvature mid-way.
    AcceleratedTransform thrown(0.0f, 100.0f, 2.0f);
    thrown.Set(0.0f, 200.0f);
    EXPECT_FLOAT_EQ(thrown.Evaluate(0.0f), 0.0f);
    EXPECT_NEAR(thrown.Rate(0.0f), 2.0f, 1e-5f);
    EXPECT_FLOAT_EQ(thrown.Evaluate(200.0f), 100.0f);
    EXPECT_NEAR(thrown.Rate(200.0f), 0.0f, 1e-5f);
    const float h = 1.0f;
    const float curvature = thrown.Evaluate(100.0f + h) - 2.0f * thrown.Evaluate(100.0f) + thrown.Evaluate(100.0f - h);
    EXPECT_NEAR(curvature, 0.0f, 1e-3f);
    thrown.Set(5.0f, 5.0005f); // a range under 0.001: the end value
    EXPECT_EQ(thrown.Evaluate(5.0f), 100.0f);

    for (const float ratio : {0.3f, 1.0f, 2.0f}) {
        DampedTransform spring(100.0f, 0.0f, 0.0f, ratio, 0.05f);
        spring.Set(0.0f, 1000.0f);
        EXPECT_FLOAT_EQ(spring.Evaluate(0.0f), 100.0f) << ratio;
        EXPECT_NEAR(spring.Evaluate(1000.0f), 0.0f, 0.1f) << ratio;
    }
    DampedTransform under(100.0f, 0.0f, 0.0f, 0.3f, 0.05f);
    under.Set(0.0f, 1000.0f);
    EXPECT_LT(under.Evaluate(70.0f), 0.0f); // swings past the rest value
    DampedTransform critical(100.0f, 0.0f, 0.0f, 1.0f, 0.05f);
    critical.Set(0.0f, 1000.0f);
    for (float t = 0.0f; t <= 1000.0f; t += 25.0f)
        EXPECT_GE(critical.Evaluate(t), 0.0f);

    Vect3AcceleratedTransform vector(Vec3{0, 10, 20}, Vec3{100, 10, -20}, Vec3{});
    vector.Set(0.0f, 10.0f);
    EXPECT_EQ(vector.Evaluate(5.0f), (Vec3{50.0f, 10.0f, 0.0f}));
    EXPECT_EQ(vector.Advance(50.0f), (Vec3{100.0f, 10.0f, -20.0f}));
}

TEST(TransformTest, AdvanceClampsAtTheEndInEitherDirection)
{
    LinearFloatTransform forward(0.0f, 100.0f);
    forward.Set(0.0f, 100.0f);
    EXPECT_FLOAT_EQ(forward.Advance(40.0f), 40.0f);
    EXPECT_FLOAT_EQ(forward.Advance(0.0f), 40.0f);
    EXPECT_FLOAT_EQ(forward.Advance(500.0f), 100.0f);
    EXPECT_EQ(forward.time, 100.0f);

    // Counting down from the duration to 0.
    LinearFloatTransform backward(0.0f, 100.0f);
    backward.Set(250.0f, 0.0f);
    EXPECT_FLOAT_EQ(backward.Advance(-50.0f), 20.0f);
    EXPECT_FLOAT_EQ(backward.Advance(-1000.0f), 100.0f);
    EXPECT_EQ(backward.time, 0.0f);
    EXPECT_TRUE(backward.AtEnd());

    ValueAnimation value;
    value.Start(1.0f, 3.0f, 100);
    EXPECT_TRUE(value.IsRunning());
    EXPECT_FLOAT_EQ(value.Advance(50), 2.0f);
    EXPECT_FLOAT_EQ(value.Advance(80), 3.0f);
    EXPECT_FALSE(value.IsRunning());
}

class AnimatorTest : public GuiFixture {
protected:
    // n frames of `ms` milliseconds through the window list.
    void Frames(int n, uint32_t ms)
    {
        SetGuiFrameElapsed(ms);
        for (int i = 0; i < n; ++i)
            UpdateOpenWindows();
    }
};

TEST_F(AnimatorTest, PositionAnimationReachesItsTargetAndCanBeReaimed)
{
    auto* panel = MakeWindow("panel", 100, 100, 50, 50);
    OpenWindow(panel, false);
    auto* slide = new AnimatePosition(panel, AnimEndAction::Hide);
    int finished = 0;
    slide->onFinished = [&](Primitive* target, Primitive*) { finished += target == panel; };
    panel->AddChild(slide);
    EXPECT_EQ(panel->FindChild("ANIMATE_POS"), slide);
    slide->Start(300, 500, 400);
    Frames(1, 200);
    EXPECT_NEAR(panel->GetPositionVirtual().x, 200.0f, 1e-3f);
    EXPECT_NEAR(panel->GetPositionVirtual().y, 300.0f, 1e-3f);

    // Re-aimed mid-way: no jump, and the motion goes on in its direction at first.
    AnimatePositionTo(slide, 400, 300, 100);
    Frames(1, 1);
    EXPECT_GT(panel->GetPositionVirtual().x, 200.0f);
    EXPECT_LT(panel->GetPositionVirtual().x, 205.0f);
    EXPECT_GT(panel->GetPositionVirtual().y, 300.0f);
    Frames(10, 50);
    EXPECT_EQ(panel->GetPositionVirtual(), (FloatPoint{300.0f, 100.0f}));
    EXPECT_FALSE(slide->IsRunning());
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(panel->visible);
    EXPECT_EQ(panel->FindChild("ANIMATE_POS"), slide); // stays until its callback removes it
}

TEST_F(AnimatorTest, AlphaModesAtStartMiddleAndEnd)
{
    struct Case { int mode; uint32_t total, hold, delay; std::vector<std::pair<uint32_t, int>> samples; };
    const Case cases[] = {
        {AnimateAlpha::kFadeIn, 500, 0, 0, {{0, 0}, {250, 128}, {500, 255}}},
        {AnimateAlpha::kFadeIn, 700, 100, 100, {{0, 0}, {200, 0}, {450, 128}, {700, 255}}},
        {AnimateAlpha::kFadeOut, 1000, 0, 0, {{0, 255}, {500, 128}, {1000, 0}}},
        {AnimateAlpha::kFadeInOut, 3500, 2000, 0, {{0, 0}, {375, 128}, {750, 255}, {2750, 255}, {3125, 128}, {3500, 0}}},
    };
    for (const Case& c : cases) {
        auto* panel = MakeWindow("panel", 0, 0, 10, 10);
        auto* child = new Probe("child");
        panel->AddChild(child);
        OpenWindow(panel, false);
        auto* fade = new AnimateAlpha(panel);
        int finished = 0;
        fade->onFinished = [&](Primitive*, Primitive*) { ++finished; };
        panel->AddChild(fade);
        fade->Start(c.mode, c.total, c.hold, c.delay);
        uint32_t at = 0;
        for (const auto& [time, alpha] : c.samples) {
            Frames(1, time - at);
            at = time;
            EXPECT_EQ(child->alpha, alpha) << "mode " << c.mode << " at " << time;
        }
        EXPECT_EQ(finished, 1);
        Frames(2, 100);
        EXPECT_EQ(finished, 1);
        CloseAllWindows();
    }
}

TEST_F(AnimatorTest, AlphaWrapperEnablesItsButtonWhenTheFadeEnds)
{
    auto* row = MakeWindow("row", 0, 0, 500, 500);
    OpenWindow(row, false);
    auto* button = (new Probe("button"))->At(10, 10, 100, 40);
    button->enabled = 0;
    auto* fade = new AnimateAlpha(button);
    fade->AddChild(button);
    fade->onFinished = [](Primitive* target, Primitive*) { target->enabled = 1; };
    row->AddChild(fade);
    fade->Start(AnimateAlpha::kFadeIn, 500);
    EXPECT_EQ(row->OnLeftButton(50, 30, kPhaseDown), row);
    Frames(1, 250);
    EXPECT_EQ(button->alpha, 128);
    EXPECT_EQ(row->OnLeftButton(50, 30, kPhaseDown), row);
    Frames(1, 250);
    EXPECT_EQ(row->OnLeftButton(50, 30, kPhaseDown), button);
    row->Draw();
    EXPECT_EQ(button->drawViewports.size(), 1u);
    float w = 0, h = 0;
    row->GetSize(&w, &h);
    EXPECT_FLOAT_EQ(w, 110.0f);
}

TEST_F(AnimatorTest, SizeAnimationKeepsAnAxisOrJumps)
{
    auto* panel = MakeWindow("panel", 0, 0, 100, 100);
    OpenWindow(panel, false);
    auto* grow = new AnimateSize(panel);
    int finished = 0;
    grow->onFinished = [&](Primitive*, Primitive*) { ++finished; };
    panel->AddChild(grow);
    grow->Start(300, -999.0f, 400);
    Frames(1, 200);
    EXPECT_EQ(panel->GetSizeVirtual(), (FloatPoint{200.0f, 100.0f}));
    Frames(1, 300);
    EXPECT_EQ(panel->GetSizeVirtual(), (FloatPoint{300.0f, 100.0f}));
    grow->Start(-999.0f, 50, 1);
    EXPECT_EQ(panel->GetSizeVirtual(), (FloatPoint{300.0f, 50.0f}));
    EXPECT_EQ(finished, 2);
}

TEST_F(AnimatorTest, ScreenEntrancesEndAtHomeAndRemoveTheirAnimators)
{
    auto* screen = MakeWindow("screen", 0, 0, 1000, 1000);
    auto* inner = MakeWindow("inner", 100, 100, 400, 400);
    auto* a = (new Probe("a"))->At(10, 20, 100, 50);
    auto* b = (new Probe("b"))->At(600, 700, 40, 40);
    inner->AddChild(a);
    screen->AddChild(inner);
    screen->AddChild(b);
    OpenWindow(screen, false);

    FlyInChildren(screen, 1000);
    for (const Probe* leaf : {a, b}) {
        const FloatRect place = leaf->GetScreenRect();
        const FloatPoint size = leaf->GetSizeVirtual();
        const float distance = std::hypot(place.left - 500.0f, place.top - 500.0f);
        EXPECT_NEAR(distance, std::max(size.x, size.y) / 2.0f + 1000.0f, 0.01f) << leaf->name;
    }
    Frames(4, 250);
    EXPECT_EQ(a->GetScreenRect().left, 110.0f);
    EXPECT_EQ(a->GetScreenRect().top, 120.0f);
    EXPECT_NEAR(a->GetScreenRect().bottom, 170.0f, 1e-3f); // the size survives the flight
    EXPECT_EQ(b->GetPositionVirtual(), (FloatPoint{600, 700}));
    Frames(1, 16);
    EXPECT_EQ(inner->Children().size(), 1u);
    EXPECT_EQ(screen->Children().size(), 2u);

    SlideInFromBelow(screen, 0.0f);
    EXPECT_EQ(screen->GetPositionVirtual(), (FloatPoint{0, 1100}));
    EXPECT_EQ(a->GetScreenRect().top, 1220.0f);
    Frames(2, 250);
    EXPECT_EQ(screen->GetPositionVirtual(), (FloatPoint{0, 0}));
    Frames(1, 16);
    EXPECT_EQ(screen->FindChild("ANIMATE_POS"), nullptr);
}

TEST_F(AnimatorTest, AnimatorStopsWhenItsTargetIsGone)
{
    auto* map = MakeWindow("map", 0, 0, 1000, 1000);
    OpenWindow(map, false);
    auto* preview = (new Probe("preview"))->At(40, 1000, 100, 100);
    map->AddChild(preview);
    auto* slide = new AnimatePosition(preview);
    map->AddChild(slide);
    slide->Start(40, 500, 500);
    Frames(1, 100);
    map->RemoveChild(preview, true);
    Frames(3, 100);
    EXPECT_FALSE(slide->IsRunning());
}

} // namespace
