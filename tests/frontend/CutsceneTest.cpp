// The cutscenes on the generated clips, decoded for real, with the GUI clock stepped: the
// video comes in behind the first iris and the screen hides, its end (a second before the
// clip ends, or a skip) brings the screen back behind a second iris; the outros' timed
// texts, the planet visit and the final credits that close to the main menu.
#include "FrontEndFixture.h"
#include "../support/ScopedConsoleInt.h"

#include "frontend/menus/Credits.h"
#include "frontend/menus/MainMenu.h"
#include "game/FlimbMasterLevelList.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/ScreenVideo.h"
#include "gui/UiScale.h"
#include "hud/transitions/FlimbsTransition.h"
#include "hud/transitions/TransitionGuiLoader.h"
#include "hud/transitions/TransitionedCutscene.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* kLongClip = "Graphics\\Videos\\test-seconds-40.ogv";
constexpr const char* kShortClip = "Graphics\\Videos\\test-short.ogv";
constexpr int64_t kSecond = TransitionedCutscene::kSecond;

class CutsceneTest : public FrontEndFixture {
protected:
    void SetUp() override
    {
        FrontEndFixture::SetUp();
        screen = new PrimContainer;
        screen->SetName("GameScreen");
        screen->SetPosition(0.0f, 0.0f);
        screen->SetSize(1000.0f, 1000.0f);
        OpenWindow(screen, false);
    }
    // A cutscene over the screen whose callbacks note their order and the screen's state.
    template <class T = TransitionedCutscene, class... Extra>
    T* Open(const std::string& clip, Extra... extra)
    {
        auto* cutscene = new T(screen, clip, extra...);
        cutscene->onVideoEnded = [this](Primitive*, TransitionedCutscene*) {
            calls.push_back(screen->visible ? "video ended, screen shown" : "video ended, screen hidden");
        };
        cutscene->onEnded = [this](Primitive*, TransitionedCutscene*) { calls.push_back("ended"); };
        OpenWindow(cutscene, true);
        return cutscene;
    }
    // Steps until the first iris has opened on the clip (at most 5 s).
    static void UntilPlaying(const TransitionedCutscene* cutscene)
    {
        for (int i = 0; i < 250 && !cutscene->IsPlaying(); ++i)
            Step(20);
        ASSERT_TRUE(cutscene->IsPlaying());
    }
    // Steps (100 ms each) until the clip's position reaches `at`.
    static void UntilPosition(const TransitionedCutscene* cutscene, int64_t at)
    {
        for (int i = 0; i < 600 && cutscene->Video()->GetPosition() < at; ++i)
            Step(100);
    }
    static void WaitFor(const std::function<bool()>& done)
    {
        for (int i = 0; i < 3000 && !done(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            Step(20);
        }
    }

    PrimContainer* screen = nullptr;
    std::vector<std::string> calls;
};

TEST_F(CutsceneTest, AShortClipEndsAsSoonAsTheIrisOpensAndTheScreenComesBackBeforeTheCallbacks)
{
    TransitionedCutscene* cutscene = Open(kShortClip, false);
    EXPECT_EQ(cutscene->GetCursorName(), "none");
    EXPECT_EQ(cutscene->Video(), nullptr);
    while (!cutscene->Video())
        Step(20);
    // The first iris is shut: the clip lies under it, full width, and the screen is hidden.
    ASSERT_TRUE(cutscene->Video()->loaded);
    EXPECT_EQ(cutscene->Children().front(), cutscene->Video()); // drawn first: under the iris
    EXPECT_FLOAT_EQ(cutscene->Video()->GetSizeVirtual().x, 1000.0f);
    EXPECT_NEAR(cutscene->Video()->GetSizeVirtual().y, 1000.0f, 1.0f); // a 16:9 clip on a 16:9 screen
    EXPECT_EQ(screen->visible, 0);
    // The update in which the iris has opened already starts the end.
    while (!cutscene->IsPlaying())
        Step(20);
    EXPECT_TRUE(cutscene->IsClosing());
    ASSERT_NE(cutscene->SecondIris(), nullptr);
    EXPECT_EQ(screen->visible, 0);
    for (int i = 0; i < 200 && IsWindowOpen(cutscene); ++i)
        Step(20);
    EXPECT_EQ(calls, (std::vector<std::string>{"video ended, screen shown", "ended"}));
    EXPECT_EQ(screen->visible, 1);
    EXPECT_FALSE(IsWindowOpen(cutscene));
}

TEST_F(CutsceneTest, EscapeSkipsOnlyASkippableCutsceneOrUnderGodOne)
{
    struct Case {
        bool skippable;
        int god;
        int key;
        bool skips;
    };
    for (const Case c : {Case{false, 0, 1, false}, Case{false, 1, 1, true}, Case{false, 2, 1, false},
                         Case{true, 0, 1, true}, Case{true, 1, 57, false}, Case{true, 0, 28, false}}) {
        ScopedConsoleInt god("god", c.god);
        auto* cutscene = new TransitionedCutscene(screen, kLongClip, c.skippable);
        OpenWindow(cutscene, true);
        UntilPlaying(cutscene);
        EXPECT_EQ(cutscene->OnKey(0x80, c.key, false, kbManager), c.key == 1 ? 1 : 0);
        EXPECT_EQ(cutscene->SkipRequested(), c.skips) << c.skippable << " " << c.god << " " << c.key;
        EXPECT_FALSE(cutscene->IsClosing()) << "the end starts in the next update";
        Step(20);
        EXPECT_EQ(cutscene->IsClosing(), c.skips);
        CloseAllWindows();
        screen = new PrimContainer;
        OpenWindow(screen, false);
    }
    // A release of Escape skips too.
    auto* cutscene = new TransitionedCutscene(screen, kLongClip, true);
    OpenWindow(cutscene, true);
    cutscene->OnKey(0, 1, false, kbManager);
    EXPECT_TRUE(cutscene->SkipRequested());
}

TEST_F(CutsceneTest, ALongClipEndsASecondBeforeItsEnd)
{
    TransitionedCutscene* cutscene = Open(kLongClip, true);
    UntilPlaying(cutscene);
    EXPECT_EQ(cutscene->Video()->GetDuration(), 40 * kSecond);
    UntilPosition(cutscene, 39 * kSecond - kSecond / 10);
    EXPECT_FALSE(cutscene->IsClosing());
    Step(100);
    EXPECT_TRUE(cutscene->IsClosing());
    EXPECT_GE(cutscene->Video()->GetPosition(), 39 * kSecond);
}

TEST_F(CutsceneTest, AClipThatCannotBeLoadedCountsAsEnded)
{
    TransitionedCutscene* cutscene = Open("Graphics\\Videos\\missing.ogv", false);
    while (!cutscene->Video())
        Step(20);
    EXPECT_FALSE(cutscene->Video()->loaded);
    EXPECT_FLOAT_EQ(cutscene->Video()->GetSizeVirtual().y, 1000.0f);
    EXPECT_EQ(screen->visible, 0);
    for (int i = 0; i < 400 && IsWindowOpen(cutscene); ++i)
        Step(20);
    EXPECT_EQ(calls, (std::vector<std::string>{"video ended, screen shown", "ended"}));
    EXPECT_EQ(screen->visible, 1);
    EXPECT_FALSE(IsWindowOpen(cutscene));
}

TEST_F(CutsceneTest, TheBeatenFlimbMastersOutroCongratulatesSixSecondsBeforeTheEndThenVisitsThePlanet)
{
    auto* outro = Open<TransitionedCutscene2>(kLongClip);
    int visits = 0;
    outro->visitPlanet = [&] { ++visits; };
    UntilPlaying(outro);
    UntilPosition(outro, 34 * kSecond - kSecond / 10);
    EXPECT_EQ(outro->CongratulationLabel(), nullptr);
    Step(100);
    Label* label = outro->CongratulationLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetText(), TransitionedCutscene2::kCongratulation);
    EXPECT_EQ(label->hAlign, kAlignHCentre);
    EXPECT_EQ(label->vAlign, kAlignVCentre);
    EXPECT_NEAR(label->GetPositionVirtual().y, 800.0f, 0.5f);
    EXPECT_LT(label->alpha, 255) << "it fades in";
    EXPECT_EQ(visits, 0);
    UntilPosition(outro, 38 * kSecond);
    Step(100);
    EXPECT_EQ(visits, 1);
    EXPECT_TRUE(outro->IsClosing());
    EXPECT_EQ(outro->SecondIris(), nullptr) << "the planet visit brings its own iris";
    Steps(30, 100);
    EXPECT_EQ(visits, 1);

    // Skipped early: the visit at once and never the line.
    CloseAllWindows();
    screen = new PrimContainer;
    OpenWindow(screen, false);
    auto* skipped = Open<TransitionedCutscene2>(kLongClip);
    skipped->visitPlanet = [&] { ++visits; };
    UntilPlaying(skipped);
    UntilPosition(skipped, 10 * kSecond);
    PressKey(1);
    Step(100);
    EXPECT_EQ(visits, 2);
    Steps(300, 100);
    EXPECT_EQ(skipped->CongratulationLabel(), nullptr);
}

class FinalCutsceneTest : public CutsceneTest {
protected:
    void SetUp() override
    {
        CutsceneTest::SetUp();
        MakeProfile("Ann", true);
        game = GameWindow();
        OpenWindow(game.get(), false);
    }
    // A stand-in of the game session's window, kept by the test.
    static std::unique_ptr<PrimContainer> GameWindow()
    {
        auto window = std::make_unique<PrimContainer>();
        window->SetName("FlimbsGameBase");
        window->deleteWhenClosed = 0;
        return window;
    }
    // Runs the clip to its end and waits for the credits behind the loader's iris.
    CreditsWindow* UntilCredits()
    {
        CreditsWindow* credits = nullptr;
        WaitFor([&] {
            credits = dynamic_cast<CreditsWindow*>(FindOpenWindow("CreditsWindow"));
            return credits != nullptr && FindOpenWindow("FlimbsMenuTemplate") != nullptr;
        });
        return credits;
    }
    std::unique_ptr<PrimContainer> game;
};

TEST_F(FinalCutsceneTest, TheLastOutroEndsTheGameShowsItsTextsAndClosesThroughTheCreditsToTheMainMenu)
{
    auto* outro = Open<TransitionedCutscene3>(kLongClip);
    UntilPlaying(outro);
    EXPECT_TRUE(outro->GameWindowClosed());
    EXPECT_FALSE(game->active);
    // A second game window is left alone: the game window goes once.
    std::unique_ptr<PrimContainer> other = GameWindow();
    OpenWindow(other.get(), false);
    UntilPosition(outro, 33 * kSecond - kSecond / 10);
    EXPECT_TRUE(other->active);
    EXPECT_EQ(outro->MasterfulLabel(), nullptr);
    EXPECT_EQ(outro->FirstRibbon(), nullptr);
    Step(100);
    ASSERT_NE(outro->MasterfulLabel(), nullptr);
    ASSERT_NE(outro->FirstRibbon(), nullptr);
    ASSERT_NE(outro->MagnificentLabel(), nullptr);
    EXPECT_EQ(outro->ThanksLabel(), nullptr);
    const FloatRect video = outro->Video()->GetRelativeRectVirtual();
    const FloatRect masterful = outro->MasterfulLabel()->GetRelativeRectVirtual();
    EXPECT_NEAR(masterful.top, video.top, 0.5f);
    EXPECT_NEAR(outro->MagnificentLabel()->GetRelativeRectVirtual().top, masterful.bottom, 0.5f);
    EXPECT_NEAR(outro->FirstRibbon()->GetPositionVirtual().y, masterful.bottom, 0.5f);
    EXPECT_EQ(outro->FirstRibbon()->ImagePath(), TransitionedCutscene3::kRibbonImage);
    UntilPosition(outro, 35 * kSecond);
    Step(100);
    ASSERT_NE(outro->ThanksLabel(), nullptr);
    ASSERT_NE(outro->SecondRibbon(), nullptr);
    const FloatRect trueMaster = outro->TrueFlimbMasterLabel()->GetRelativeRectVirtual();
    EXPECT_NEAR(trueMaster.bottom, video.bottom - DesignToVirtualY(15.0f), 0.5f);
    EXPECT_NEAR(outro->ThanksLabel()->GetRelativeRectVirtual().bottom, trueMaster.top, 0.5f);
    EXPECT_EQ(outro->ThanksLabel()->GetText(), "Thank you for playing!");

    UntilPosition(outro, 38 * kSecond);
    Step(100);
    EXPECT_TRUE(outro->IsClosing());
    auto* loader = dynamic_cast<TransitionGuiLoader*>(OpenWindows().front());
    ASSERT_NE(loader, nullptr);
    EXPECT_EQ(loader->Transition()->TitleText(), "Final Credits");
    CreditsWindow* credits = UntilCredits();
    ASSERT_NE(credits, nullptr);
    EXPECT_FALSE(IsWindowOpen(outro));
    PressKey(57);
    Steps(3, 16);
    EXPECT_EQ(FindOpenWindow("CreditsWindow"), nullptr);
    EXPECT_NE(FindOpenWindow(MainMenu::kName), nullptr);
}

TEST_F(FinalCutsceneTest, SkippedBeforeThirtyThreeSecondsNoTextsButTheCreditsStillFollow)
{
    auto* outro = Open<TransitionedCutscene3>(kLongClip);
    UntilPlaying(outro);
    UntilPosition(outro, 5 * kSecond);
    PressKey(1);
    Step(100);
    EXPECT_TRUE(outro->IsClosing());
    EXPECT_NE(UntilCredits(), nullptr);
    EXPECT_EQ(outro->FirstRibbon(), nullptr);
    EXPECT_EQ(outro->MasterfulLabel(), nullptr);
    EXPECT_EQ(outro->ThanksLabel(), nullptr);
}

TEST_F(FinalCutsceneTest, PictureOfTheClosingTextsAtThirtyFourSeconds)
{
    auto* outro = Open<TransitionedCutscene3>(kLongClip);
    UntilPlaying(outro);
    UntilPosition(outro, 34 * kSecond); // the texts of 33 s have faded in
    DrawFrameLikeTheGame();
    WritePicture("cutscene3_34s.png", 1280, 720);
    // The clip shows under the texts: its frame is not black at the centre.
    EXPECT_NE(Pixel(640, 300), 0u);
}

TEST(CutsceneVideos, AFlimbMastersClipsStayInTheVideoFolder)
{
    FlimbMasterEntry entry;
    entry.bossName = "The Gardener";
    entry.introVideo = "Graphics\\Videos\\TheGardener-intro.ogv";
    entry.outroVideo = "Graphics\\Videos\\TheGardener-outro.ogv";
    EXPECT_EQ(FlimbMasterVideo(entry, false), entry.introVideo);
    EXPECT_EQ(FlimbMasterVideo(entry, true), entry.outroVideo);
    for (const char* bad : {"Graphics\\Videos\\..\\..\\Profiles\\x.ogv", "Graphics\\Videos\\a\\b.ogv",
                            "Graphics\\Videos\\a/b.ogv", "/etc/passwd", "Graphics\\Videos\\x.png",
                            "Graphics\\Videos\\.ogv", "Graphics\\Videos\\c:x.ogv"}) {
        entry.outroVideo = bad;
        EXPECT_EQ(FlimbMasterVideo(entry, true), "") << bad;
    }
}

} // namespace
