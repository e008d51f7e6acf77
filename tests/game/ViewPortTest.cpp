// The interactive view's camera: rotation the short way round and its zoom dip, the zoom
// keys and ranges, the fit zoom and its cache, shakes, drags, the wheel and following the
// selected flimb.
#include "app/Random.h"
#include "platform/input/ScanCodes.h"
#include "tests/support/ScopedConsoleInt.h"
#include "gui/UiScale.h"
#include "tests/support/ViewFixture.h"
#include "world/FlimbTable.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"
#include "gui/WindowList.h"
#include "world/ViewServices.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kDegree = kPi / 180.0f;

class ViewPortTest : public ViewFixture {
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        MakeLand(8000, 6000);
    }
    int ZoomKey(InteractiveVP& view, int code, int value = 1) { return view.OnKey(value, code, false, kbManager); }
};

TEST_F(ViewPortTest, RotationTakesTheShortWayAndDurationMinusOneSetsItAtOnce)
{
    GameViewPort& view = MakeView();
    view.SetRotation(350.0f * kDegree, -1, -1.0f);
    EXPECT_FLOAT_EQ(view.Rotation(), 350.0f * kDegree);
    EXPECT_FALSE(view.IsAnimating());
    view.SetRotation(10.0f * kDegree, 400, -1.0f);
    EXPECT_NEAR(view.targetRotation - 350.0f * kDegree, 20.0f * kDegree, 1e-4f) << "20 degrees, through 0";
    float lowest = 100.0f, highest = -100.0f;
    for (int t = 0; t < 40; ++t) {
        Step(view, 10);
        lowest = std::min(lowest, view.Rotation());
        highest = std::max(highest, view.Rotation());
    }
    EXPECT_GE(lowest, 350.0f * kDegree - 1e-4f) << "never back towards 180 degrees";
    EXPECT_NEAR(highest, 370.0f * kDegree, 1e-3f);
    EXPECT_NEAR(view.GetRotation(), 10.0f * kDegree, 1e-4f);

    // A rotation under way is stopped by an immediate one.
    view.SetRotation(100.0f * kDegree, 1000, -1.0f);
    Step(view, 100);
    view.SetRotation(200.0f * kDegree, -1, -1.0f);
    Step(view, 100);
    EXPECT_FLOAT_EQ(view.Rotation(), 200.0f * kDegree);
}

TEST_F(ViewPortTest, GetRotationReducesIntoOneTurn)
{
    GameViewPort& view = MakeView();
    view.SetRotation(-kPi / 2.0f, -1, -1.0f);
    EXPECT_NEAR(view.GetRotation(), 3.0f * kPi / 2.0f, 1e-5f);
    view.SetRotation(4.0f * kPi, -1, -1.0f);
    EXPECT_NEAR(view.GetRotation(), 0.0f, 1e-5f);
    view.SetRotation(7.0f * kPi / 2.0f, -1, -1.0f);
    EXPECT_NEAR(view.GetRotation(), 3.0f * kPi / 2.0f, 1e-5f);
}

TEST_F(ViewPortTest, ARotationDipsTheZoomToFourFifthsAndBringsItBack)
{
    struct Case {
        float before, dip;
    };
    for (const Case c : {Case{1000.0f, 800.0f}, Case{220.0f, 200.0f}}) {
        SCOPED_TRACE(c.before);
        GameViewPort& view = MakeView();
        view.SetZoom(c.before, -1);
        ASSERT_NEAR(view.GetZoom(), c.before, 0.01f);
        view.SetRotation(kPi / 2.0f, 1000, -1.0f);
        Run(view, 500);
        EXPECT_NEAR(view.GetZoom(), c.dip, 0.5f) << "half way";
        Run(view, 520);
        EXPECT_NEAR(view.GetZoom(), c.before, 0.5f) << "back at the end";
        EXPECT_LT(view.pendingZoom, 0.0f);
    }
}

TEST_F(ViewPortTest, ZoomKeysStepAndAreLimitedToTheGameViewsRange)
{
    GameViewPort& view = MakeView();
    view.SetZoom(250.0f, -1);
    EXPECT_EQ(ZoomKey(view, kKeyPageUp), 1);
    Run(view, 200);
    EXPECT_NEAR(view.GetZoom(), 200.0f, 0.01f) << "250 - 150 is raised to 200";
    EXPECT_EQ(ZoomKey(view, kKeyPageDown, 2), 1) << "repeats zoom too";
    Run(view, 200);
    EXPECT_NEAR(view.GetZoom(), 350.0f, 0.01f);
    EXPECT_EQ(ZoomKey(view, kKeyPageDown, 0), 0) << "a release is not a zoom key";
    // The keyboard's own press value.
    EXPECT_EQ(ZoomKey(view, kKeyPageUp, 0x80), 1);
    Run(view, 200);
    EXPECT_NEAR(view.GetZoom(), 200.0f, 0.01f);
    EXPECT_EQ(ZoomKey(view, kKeyPageDown), 1);
    Run(view, 200);
    EXPECT_NEAR(view.GetZoom(), 350.0f, 0.01f);
    EXPECT_EQ(ZoomKey(view, 0x1E), 0);
    {
        ScopedConsoleInt god("god", 1);
        ZoomKey(view, kKeyPageUp);
        Step(view, 30);
        EXPECT_GT(view.GetZoom(), 330.0f);
        Step(view, 20);
        EXPECT_NEAR(view.GetZoom(), 330.0f, 0.01f) << "god steps 20 over 50 ms";
    }
    ZoomKey(view, kKeyHome);
    Run(view, 500);
    EXPECT_NEAR(view.GetZoom(), view.GetNormalZoom(), 0.01f);
    EXPECT_NEAR(view.GetNormalZoom(), 1005.0f, 0.01f) << "a full-screen view";
}

TEST_F(ViewPortTest, ZoomRangesOfTheGameAndEditorViews)
{
    MakeLand(3000, 1000);
    GameViewPort& game = MakeView();
    EditorViewPort& editor = MakeView<EditorViewPort>();
    const float exact = game.GetFitZoom(true);
    game.SetZoom(100000.0f, -1);
    EXPECT_NEAR(game.GetZoom(), exact, 0.01f);
    game.SetZoom(50.0f, -1);
    EXPECT_NEAR(game.GetZoom(), 200.0f, 0.01f);
    editor.SetZoom(100000.0f, -1);
    EXPECT_NEAR(editor.GetZoom(), 1.25f * editor.GetFitZoom(false), 0.01f);
    EXPECT_GT(editor.GetZoom(), exact) << "the editor may see past the edges";
    editor.SetZoom(10.0f, -1);
    EXPECT_NEAR(editor.GetZoom(), 200.0f, 0.01f);
    // The editor's wheel always zooms, 300 a step.
    editor.SetZoom(1000.0f, -1);
    EXPECT_EQ(editor.OnWheel(120), &editor);
    Run(editor, 200);
    EXPECT_NEAR(editor.GetZoom(), 700.0f, 0.01f);
}

TEST_F(ViewPortTest, TheExactFitShowsTheLandscapeEdgeToEdgeAndIsCached)
{
    MakeLand(3000, 1000);
    GameViewPort& view = MakeView();
    const float fit = view.GetFitZoom(true);
    view.SetZoom(fit, -1);
    view.PanTo(1500, 500, -1, false);
    Step(view, 10);
    FloatRect shown = view.rect;
    {
        Landscape::CurrentViewScope current(&Land(), &view);
        Landscape::ScreenRectToWorld(shown);
    }
    // The largest view inside the landscape: a wide landscape meets it at top and bottom.
    EXPECT_NEAR(shown.top, 0.0f, 1.0f);
    EXPECT_NEAR(shown.bottom, 1000.0f, 1.0f);
    EXPECT_LE(shown.right - shown.left, 3000.0f);

    // The cache answers while rotation and size are those it was made for.
    view.fitCacheZoom = 1234.0f;
    EXPECT_FLOAT_EQ(view.GetFitZoom(true), 1234.0f);
    view.SetRotation(0.0f, -1, -1.0f);
    view.targetRotation = 0.0f;
    const float turned = view.GetFitZoom(true);
    EXPECT_NE(turned, 1234.0f);
    EXPECT_LT(turned, fit) << "a quarter turn lays the short side across the wide screen axis";
    MakeLand(500, 500);
    EXPECT_NE(view.GetFitZoom(true), turned);
}

TEST_F(ViewPortTest, AViewOfNoSizeKeepsItsProjectionAndFitsWithoutHanging)
{
    GameViewPort& view = MakeView();
    const float before = view.GetFitZoom(true);
    const gfx::D3DXMATRIX projection = view.camera.projection;
    view.SetViewRect(0, 0, 0, 0); // a minimised window
    EXPECT_EQ(view.camera.projection, projection);
    MakeLand(5000, 5000); // a new fit would be needed
    EXPECT_FLOAT_EQ(view.GetFitZoom(true), before) << "the last answer stands";
    Step(view, 10);
    Landscape::CurrentViewScope current(&Land(), &view);
    const FloatPoint point = Land().UnprojectPoint(10.0f, 10.0f);
    EXPECT_TRUE(std::isfinite(point.x) && std::isfinite(point.y));
    EXPECT_NEAR(view.GetNormalZoom(), 0.0f, 1e-6f);
}

TEST_F(ViewPortTest, TheZoomLimitHoldsInRunningMultiplayerMatchesOnly)
{
    GameViewPort& view = MakeView();
    const float normal = view.GetNormalZoom();
    EXPECT_FLOAT_EQ(view.LimitZoom(5000.0f), 5000.0f);
    PlayerRecord& local = world_->AddLocalPlayer();
    Controller().matchKind = 1;
    Controller().matchRunning = 1;
    EXPECT_FLOAT_EQ(view.LimitZoom(5000.0f), 1.75f * normal);
    EXPECT_FLOAT_EQ(view.LimitZoom(300.0f), 300.0f);
    local.spectator = 1;
    EXPECT_FLOAT_EQ(view.LimitZoom(5000.0f), 5000.0f);
    local.spectator = 0;
    Controller().playbackRunning = 1;
    EXPECT_FLOAT_EQ(view.LimitZoom(5000.0f), 5000.0f);
    Controller().playbackRunning = 0;
    ScopedConsoleInt god("god", 1);
    EXPECT_FLOAT_EQ(view.LimitZoom(5000.0f), 5000.0f);
}

TEST_F(ViewPortTest, ShakesAddUpDecayAndAreCappedWithoutTouchingTheGame)
{
    GameViewPort& view = MakeView();
    const uint32_t simState = SimRandom().State();
    view.Shake();
    view.Shake();
    view.Shake();
    EXPECT_FLOAT_EQ(view.ShakeAmplitude(), 15.0f) << "three at once";
    for (int i = 0; i < 20; ++i)
        view.Shake();
    EXPECT_FLOAT_EQ(view.ShakeAmplitude(), 50.0f) << "an impulse caps at 50";
    Step(view, 400);
    EXPECT_NEAR(view.ShakeAmplitude(), 50.0f / std::exp(1.0f), 0.05f) << "a 400 ms time constant";
    view.shakeAmplitude = 90.0f;
    Step(view, 0);
    EXPECT_FLOAT_EQ(view.ShakeAmplitude(), 60.0f) << "a frame's amplitude is cut to 60";
    EXPECT_TRUE(view.shakeOffset[0] != 0.0f || view.shakeOffset[1] != 0.0f || view.shakeOffset[2] != 0.0f);
    // Three explosions 30 ms apart still give close to 15.
    GameViewPort& other = MakeView();
    for (int i = 0; i < 3; ++i) {
        other.Shake();
        ViewNow() += 30;
    }
    EXPECT_GE(other.ShakeAmplitude(), 13.0f);
    EXPECT_LE(other.ShakeAmplitude(), 15.0f);
    Run(other, 5000);
    EXPECT_FLOAT_EQ(other.ShakeAmplitude(), 0.0f) << "dies away below 0.1";
    EXPECT_EQ(SimRandom().State(), simState) << "the view never draws from the game's generator";
}

TEST_F(ViewPortTest, ARightDragGrabsTheWorldAndEndsWhenTheButtonIsUpOutsideTheView)
{
    GameViewPort& view = MakeView();
    view.PanTo(4000, 3000, -1, false);
    Step(view, 10);
    MouseTo(600, 300);
    Button(true, SDL_BUTTON_RIGHT);
    EXPECT_EQ(view.OnRightButton(600, 300, kPhaseDown), &view);
    EXPECT_TRUE(view.rightArmed);
    view.OnRightButton(600, 300, kPhaseHeld);
    EXPECT_TRUE(view.rightDragActive);
    MouseTo(700, 340);
    Step(view, 10);
    EXPECT_TRUE(view.dragging);
    EXPECT_EQ(view.GetCursorName(), "hand");
    EXPECT_NEAR(view.X(), 3900.0f, 0.5f) << "the grabbed point stays under the cursor";
    EXPECT_NEAR(view.Y(), 2960.0f, 0.5f);
    {
        ScopedConsoleInt scroll("positive_scroll", 1);
        EXPECT_EQ(view.GetCursorName(), "move");
    }

    // The button comes up outside the view: the hit test ends the drag.
    Button(false, SDL_BUTTON_RIGHT);
    view.HitTest(2000, 2000);
    EXPECT_FALSE(view.rightDragActive);
    MouseTo(900, 400);
    Step(view, 10);
    EXPECT_FALSE(view.dragging);
    EXPECT_NEAR(view.X(), 3900.0f, 0.5f);
    EXPECT_EQ(view.GetCursorName(), "regular");

    // A pan cancels a drag and none starts while it runs; leaving the view ends one.
    Button(true, SDL_BUTTON_RIGHT);
    view.OnRightButton(900, 400, kPhaseDown);
    view.OnRightButton(900, 400, kPhaseHeld);
    EXPECT_TRUE(view.rightDragActive);
    view.PanTo(3900, 2960, 100, false);
    EXPECT_FALSE(view.rightDragActive);
    view.OnRightButton(900, 400, kPhaseHeld);
    EXPECT_FALSE(view.rightDragActive) << "armed again only by a new press";
    view.OnRightButton(900, 400, kPhaseDown);
    view.OnRightButton(900, 400, kPhaseHeld);
    EXPECT_FALSE(view.rightDragActive) << "not while the pan runs";
    Run(view, 100);
    view.OnRightButton(900, 400, kPhaseHeld);
    EXPECT_TRUE(view.rightDragActive);
    EXPECT_TRUE(view.OnPointerLeft(nullptr));
    EXPECT_FALSE(view.rightDragActive);
    Button(false, SDL_BUTTON_RIGHT);
}

TEST_F(ViewPortTest, TheWheelZoomsWithTheRightButtonElseSelectsOrSetsTheNextPicksDirection)
{
    GameViewPort& view = MakeView();
    view.SetZoom(1000.0f, -1);
    Button(true, SDL_BUTTON_RIGHT);
    EXPECT_EQ(view.OnWheel(120), &view);
    Run(view, 200);
    EXPECT_NEAR(view.GetZoom(), 700.0f, 0.01f) << "wheel up zooms in";
    EXPECT_EQ(view.OnWheel(-120), &view);
    Run(view, 200);
    EXPECT_NEAR(view.GetZoom(), 1000.0f, 0.01f);
    Button(false, SDL_BUTTON_RIGHT);

    // Without the right button the landscape takes the wheel (selection)...
    EXPECT_EQ(view.OnWheel(120), &view);
    EXPECT_EQ(World().selectRequests, (std::array<uint8_t, 2>{0, 0}));
    // ...unless Ctrl leaves it to the view, which sets the next pick's walking direction.
    Key(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL);
    EXPECT_EQ(view.OnWheel(120), &view);
    EXPECT_EQ(World().selectRequests, (std::array<uint8_t, 2>{1, 0}));
    EXPECT_EQ(view.OnWheel(-120), &view);
    EXPECT_EQ(World().selectRequests, (std::array<uint8_t, 2>{0, 1}));
    Controller().playbackRunning = 1;
    World().selectRequests = {0, 0};
    view.OnWheel(120);
    EXPECT_EQ(World().selectRequests, (std::array<uint8_t, 2>{0, 0})) << "not during a playback";
    Key(false, SDL_SCANCODE_LCTRL, SDLK_LCTRL);
}

// Mouse moves of a million pixels, dragging or not, leave the camera on the landscape and
// every conversion finite.
TEST_F(ViewPortTest, HugeMouseMovesKeepTheCameraOnTheLandscape)
{
    MakeLand(2048, 1024);
    GameViewPort& view = MakeView();
    view.PanTo(1024, 512, -1, true);
    Step(view, 10);
    MouseTo(600, 300);
    Button(true, SDL_BUTTON_RIGHT);
    view.OnRightButton(600, 300, kPhaseDown);
    view.OnRightButton(600, 300, kPhaseHeld);
    for (const auto& to : {std::pair{1000000, -1000000}, std::pair{-1000000, 1000000}, std::pair{600, 300}}) {
        MouseTo(to.first, to.second);
        Step(view, 10);
        SCOPED_TRACE(to.first);
        ASSERT_TRUE(std::isfinite(view.X()) && std::isfinite(view.Y()));
        EXPECT_GE(view.X(), 0.0f);
        EXPECT_LE(view.X(), 2048.0f);
        EXPECT_GE(view.Y(), 0.0f);
        EXPECT_LE(view.Y(), 1024.0f);
        int32_t wx = 0, wy = 0;
        Landscape::CurrentViewScope current(&Land(), &view);
        Land().ScreenToWorld(to.first, to.second, wx, wy);
        EXPECT_LT(std::abs(int64_t(wx)), int64_t(1) << 30);
    }
    Button(false, SDL_BUTTON_RIGHT);
}

TEST_F(ViewPortTest, AFollowedFlimbLeavingTheInnerAreaPansTheViewIn50Ms)
{
    ScopedConsoleInt follow("follow_selected", 1);
    GameViewPort& view = MakeView();
    view.PanTo(4000, 3000, -1, false);
    Step(view, 10);
    // 200 x the UI scale in from each side at normal zoom (one world pixel a pixel).
    const float margin = 200.0f * GetUiScale();
    Flimb* flimb = AddFlimb(4000, 3000, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    ASSERT_NE(flimb, nullptr);
    World().selected = flimb;
    view.lastFollowed = flimb;
    Step(view, 10);
    EXPECT_NEAR(view.X(), 4000.0f, 0.5f) << "inside the inner area: no pan";
    flimb->x = 4500;
    Step(view, 10);
    ASSERT_EQ(World().selected, flimb);
    EXPECT_FALSE(view.panIdle);
    Run(view, 50);
    const gfx::RECT box = flimb->GetCurrentSprite();
    EXPECT_NEAR(view.X(), std::trunc(4000.0f + float(box.right) - (4000.0f + 640.0f - margin)), 1.0f)
        << "just far enough to hold the sprite";
    EXPECT_TRUE(view.panIdle);
}

TEST_F(ViewPortTest, ANewSelectionIsCentredAndTheViewTurnsToItsGravity)
{
    ScopedConsoleInt centre("center_on_select", 1);
    GameViewPort& view = MakeView();
    view.PanTo(1000, 1000, -1, false);
    Step(view, 10);
    Flimb* flimb = AddFlimb(5000, 4000, 1, 0, kWalk, 1, kFlimbStartEnergy, 0, 1);
    ASSERT_NE(flimb, nullptr);
    CurrentUpdateCounter() = 5;
    World().selected = flimb;
    Run(view, 600);
    EXPECT_NEAR(view.X(), 5000.0f, 1.0f);
    EXPECT_NEAR(view.Y(), 4000.0f, 1.0f);
    EXPECT_NEAR(view.GetRotation(), kPi / 2.0f, 1e-4f) << "gravity 1 turns the view upside down";
    view.followGravity = 0;
    flimb->gravity = 0;
    Run(view, 600);
    EXPECT_NEAR(view.GetRotation(), kPi / 2.0f, 1e-4f);
}

TEST_F(ViewPortTest, EdgeScrollingMovesTheViewWithTheCursorAtTheScreensEdge)
{
    GameViewPort& view = MakeView();
    view.PanTo(4000, 3000, -1, false);
    Step(view, 10);
    MouseTo(0, 360);
    Step(view, 100);
    EXPECT_TRUE(view.edgeScrolling);
    EXPECT_EQ(view.edgeDirX, -30);
    EXPECT_LT(view.X(), 4000.0f - 50.0f);
    MouseTo(640, 719);
    const float y = view.Y();
    Step(view, 100);
    EXPECT_EQ(view.edgeDirY, 30);
    EXPECT_GT(view.Y(), y + 50.0f);
    view.inputEnabled = 0;
    const float held = view.Y();
    Step(view, 100);
    EXPECT_FLOAT_EQ(view.Y(), held) << "input off: no edge scrolling";
}

} // namespace

namespace {

// The match start and the game over place the open game view through the world's view
// services without hooks of their own: whether it is open, the scroll to a point, the turn to
// a gravity direction, the upright reset and the zoom that shows the whole landscape.
TEST_F(ViewPortTest, TheViewServicesPlaceTheOpenGameView)
{
    MakeLand(3000, 1000);
    GameViewPort& view = MakeView();
    EXPECT_FALSE(GameViewOpen()) << "not open yet";
    view.deleteWhenClosed = 0;
    OpenWindow(&view, false);
    ASSERT_TRUE(GameViewOpen());

    ScrollGameViewTo(700.0f, 400.0f, 0);
    Run(view, 100);
    EXPECT_NEAR(view.X(), 700.0f, 1.0f);
    EXPECT_NEAR(view.Y(), 400.0f, 1.0f);
    ZoomGameViewToFit(0);
    Run(view, 100);
    EXPECT_NEAR(view.GetZoom(), view.GetFitZoom(true), 1.0f);
    TurnGameViewTo(1);
    Run(view, 1000);
    EXPECT_NEAR(view.GetRotation(), kPi / 2.0f, 0.01f);
    ResetGameViewDirection();
    Run(view, 100);
    EXPECT_NEAR(view.GetRotation(), 3.0f * kPi / 2.0f, 0.01f);
    CloseWindow(&view);
    EXPECT_FALSE(GameViewOpen());
}

} // namespace
