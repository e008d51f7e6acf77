// The iris and its loader on the generated clip, decoded for real: the closing play covers
// the whole screen and holds while the build runs; the built screen comes in only behind
// the shut iris; titles; a missing clip or an empty build still change the screen.
#include "../gui/VideoFixture.h"

#include "gui/Animators.h"
#include "gui/FlimbsMenuBar.h"
#include "gui/ScreenVideo.h"
#include "hud/transitions/FlimbsTransition.h"
#include "hud/transitions/TransitionGuiLoader.h"
#include "media/Draw2D.h"
#include "media/FontManager.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace {

// A full-screen window of one colour.
class ColourScreen : public PrimContainer {
public:
    ColourScreen(const std::string& screenName, uint32_t argb) : colour_(argb)
    {
        name = screenName;
        SetPosition(0, 0);
        SetSize(1000, 1000);
    }
    void Draw() override
    {
        Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, colour_);
        PrimContainer::Draw();
    }

private:
    uint32_t colour_;
};

// The window is in the list (compared by address only: it may be deleted already).
bool Listed(const Primitive* window)
{
    const std::vector<Primitive*>& windows = OpenWindows();
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

constexpr uint32_t kOld = 0xFFFF0000u; // red
constexpr uint32_t kNew = 0xFF00FF00u; // green

class TransitionTest : public VideoFixture {
protected:
    void SetUp() override
    {
        VideoFixture::SetUp();
        StartScreen(160, 90);
        OpenWindow(new ColourScreen("OldScreen", kOld), false);
    }
    // Pixels of the whole screen with this colour after drawing the open windows.
    static int Count(uint32_t argb)
    {
        DrawFrame([] { DrawOpenWindows(); });
        int n = 0;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 160; ++x)
                n += Pixel(x, y) == (argb & 0xFFFFFFu) ? 1 : 0;
        return n;
    }
    // A loader whose done callback closes every window and opens the built screen, noting
    // the iris' state when it runs.
    TransitionGuiLoader* MakeLoader(std::function<Primitive*()> build)
    {
        auto* loader = new TransitionGuiLoader([build](void*) { return build(); },
                                               [this](Primitive*, StandardGuiLoader* l) {
                                                   auto* self = static_cast<TransitionGuiLoader*>(l);
                                                   irisShutAtDone_ = self->Transition()->Video()->finished == 1;
                                                   ++doneCalls_;
                                                   DeactivateAllWindows();
                                                   OpenWindow(l->TakeBuiltScreen(), true);
                                               });
        OpenWindow(loader, true);
        return loader;
    }
    static Primitive* NewScreen() { return new ColourScreen("NewScreen", kNew); }
    static void WaitFor(const std::function<bool()>& done)
    {
        for (int i = 0; i < 2000 && !done(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    int doneCalls_ = 0;
    bool irisShutAtDone_ = false;
};

TEST_F(TransitionTest, SlowBuildKeepsTheIrisShutAndCoveringThenItOpensOnTheNewScreen)
{
    std::atomic<bool> release{false};
    TransitionGuiLoader* loader = MakeLoader([&] {
        while (!release.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return NewScreen();
    });
    FlimbsTransition* iris = loader->Transition();
    ASSERT_TRUE(iris->Video()->loaded);
    EXPECT_EQ(iris->GetState(), FlimbsTransition::State::Closing);
    EXPECT_EQ(iris->Video()->start, FlimbsTransition::kClosingStart);
    ASSERT_TRUE(loader->StartWorker());

    Step(20);
    EXPECT_EQ(Count(kOld), 160 * 90); // the iris starts wide open
    int frames = 1;
    while (iris->GetState() == FlimbsTransition::State::Closing && frames < 500) {
        Step(20);
        ++frames;
    }
    EXPECT_EQ(frames, 41); // 0.8 s of closing play in 20 ms frames, and the first frame
    ASSERT_EQ(iris->GetState(), FlimbsTransition::State::Closed);
    EXPECT_EQ(Count(kOld), 0); // fully covered: no transparent pixel lets the old screen show
    for (int i = 0; i < 50; ++i)
        Step(20);
    EXPECT_EQ(iris->GetState(), FlimbsTransition::State::Closed);
    EXPECT_EQ(doneCalls_, 0);
    EXPECT_EQ(Count(kOld), 0);

    release = true;
    WaitFor([&] { return loader->WorkerFinished(); });
    Step(20); // the loader sees the build end: hand-over behind the shut iris
    EXPECT_EQ(doneCalls_, 1);
    EXPECT_TRUE(irisShutAtDone_);
    EXPECT_FALSE(loader->LoadedEarly());
    EXPECT_EQ(FindOpenWindow("OldScreen"), nullptr);
    ASSERT_NE(FindOpenWindow("NewScreen"), nullptr);
    EXPECT_EQ(OpenWindows().front(), loader); // the iris lies over the new screen
    EXPECT_EQ(Count(kNew), 0);
    Step(20);
    EXPECT_EQ(iris->GetState(), FlimbsTransition::State::Opening);
    EXPECT_EQ(Count(kNew), 0); // the opening play starts covered
    for (frames = 0; Listed(loader) && frames < 500; ++frames)
        Step(20);
    EXPECT_EQ(frames, 36); // 2/3 s of opening play, and the frame that drops the closed loader
    Step(20);
    EXPECT_FALSE(Listed(loader));
    EXPECT_EQ(Count(kNew), 160 * 90);
}

TEST_F(TransitionTest, BuildDoneBeforeTheIrisShutsComesInOnlyOnceItIsShut)
{
    TransitionGuiLoader* loader = MakeLoader([] { return NewScreen(); });
    ASSERT_TRUE(loader->StartWorker());
    WaitFor([&] { return loader->WorkerFinished(); });
    Step(20);
    EXPECT_TRUE(loader->HasLoaded());
    EXPECT_TRUE(loader->LoadedEarly());
    EXPECT_EQ(doneCalls_, 0);
    int frames = 1;
    while (doneCalls_ == 0 && frames < 500) {
        EXPECT_EQ(FindOpenWindow("NewScreen"), nullptr);
        Step(20);
        ++frames;
    }
    EXPECT_EQ(frames, 41);
    EXPECT_TRUE(irisShutAtDone_);
    EXPECT_EQ(Count(kOld), 0);
    EXPECT_EQ(Count(kNew), 0);
    for (frames = 0; Listed(loader) && frames < 500; ++frames)
        Step(20);
    EXPECT_LT(frames, 40);
    EXPECT_EQ(doneCalls_, 1);
    EXPECT_EQ(Count(kNew), 160 * 90);
}

TEST_F(TransitionTest, TitleRisesOnceAndDropsAwayWhileTheIrisOpens)
{
    FlimbsTransition plain;
    EXPECT_EQ(plain.TitleBar(), nullptr);
    EXPECT_EQ(plain.TitleAnimation(), nullptr);

    TransitionGuiLoader* loader = MakeLoader([] { return NewScreen(); });
    FlimbsTransition* iris = loader->Transition();
    loader->SetTitle("Visiting Flimbs Planet");
    FlimbsMenuBar* bar = iris->TitleBar();
    ASSERT_NE(bar, nullptr);
    const float height = bar->GetSizeVirtual().y;
    EXPECT_GT(height, 0.0f);
    EXPECT_NEAR(bar->GetPositionVirtual().y, 1000.0f + height, 0.01f);
    EXPECT_EQ(bar->hAlign, kAlignHCentre);
    loader->SetTitle("Loading Main Menu");
    EXPECT_EQ(iris->TitleBar(), bar);
    EXPECT_EQ(bar->caption, "Loading Main Menu");
    EXPECT_EQ(iris->TitleText(), "Loading Main Menu");
    int bars = 0;
    for (Primitive* child : iris->Children())
        bars += dynamic_cast<FlimbsMenuBar*>(child) ? 1 : 0;
    EXPECT_EQ(bars, 1);

    ASSERT_TRUE(loader->StartWorker());
    for (int i = 0; i < 40; ++i) // 800 ms
        Step(20);
    EXPECT_NEAR(bar->GetPositionVirtual().y, 1000.0f, 0.5f);
    WaitFor([&] { return loader->WorkerFinished(); });
    while (iris->GetState() != FlimbsTransition::State::Opening)
        Step(20);
    for (int i = 0; i < 30; ++i)
        Step(20);
    EXPECT_GT(bar->GetPositionVirtual().y, 1800.0f);
}

// The game folder's plain files are not there: no clip.
class TransitionWithoutClipTest : public DeviceFixture {
protected:
    void TearDown() override
    {
        CloseAllWindows();
        ResetGuiInput();
        SetGuiFrameElapsed(0);
        FontManager::ReleaseFonts();
        DeviceFixture::TearDown();
    }
    static void Step()
    {
        SetGuiFrameElapsed(20);
        UpdateGuiInput(0, 0);
        UpdateOpenWindows();
    }
};

TEST_F(TransitionWithoutClipTest, MissingClipOrEmptyBuildStillChangesTheScreen)
{
    StartScreen(64, 48);
    struct Case {
        bool buildsScreen;
        const char* opened;
    };
    for (const Case c : {Case{true, "NewScreen"}, Case{false, "FlimbsMenuTemplate"}}) {
        OpenWindow(new ColourScreen("OldScreen", kOld), false);
        auto* loader = new TransitionGuiLoader(
            [&](void*) -> Primitive* { return c.buildsScreen ? new ColourScreen("NewScreen", kNew) : nullptr; },
            [](Primitive*, StandardGuiLoader* l) {
                DeactivateAllWindows();
                OpenWindow(l->TakeBuiltScreen(), true);
            });
        EXPECT_FALSE(loader->Transition()->Video()->loaded);
        EXPECT_EQ(loader->Transition()->Video()->finished, 1);
        OpenWindow(loader, true);
        ASSERT_TRUE(loader->StartWorker());
        for (int i = 0; i < 2000 && !loader->WorkerFinished(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        for (int i = 0; i < 5; ++i)
            Step();
        EXPECT_FALSE(Listed(loader)) << c.opened;
        EXPECT_NE(FindOpenWindow(c.opened), nullptr) << c.opened;
        EXPECT_EQ(FindOpenWindow("OldScreen"), nullptr) << c.opened;
        CloseAllWindows();
    }
    const std::string log = ReadLog();
    EXPECT_NE(log.find("Error: ScreenVideo can't be loaded Graphics\\Logos\\flimbs_iris_transition.ogv\n"),
              std::string::npos);
    EXPECT_NE(log.find("TransitionGuiLoader: the screen build gave no screen, opening the front end\n"),
              std::string::npos);
}

} // namespace
