// The time controls on a fake match: play/pause requests and looks, the speed toggle, the
// freeze box with its penalty tooltip, and the scores window held by its button.
#include "HudFixture.h"

#include "../support/FakeMatch.h"

#include "game/GameHooks.h"
#include "gui/Animators.h"
#include "hud/TimeControls.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"

namespace {

class TimeControlsTest : public HudFixture {
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        SetMatchWorld(&world);
        SetMatchEffects(&effects);
        OpenScene();
    }
    void TearDown() override
    {
        HudFixture::TearDown();
        ClearCurrentGameMode();
        SetMatchWorld(nullptr);
        SetMatchEffects(nullptr);
    }
    FakeMatchWorld world;
    RecordingMatchEffects effects;
};

TEST_F(TimeControlsTest, PlayPauseAsksForTheOtherStateAndShowsItsImage)
{
    auto* button = new PlayPauseButton;
    button->SetPosition(100.0f, 900.0f);
    scene->AddWidget(button);
    const int x = int(button->rect.left) + 2, y = int(button->rect.top) + 2;
    game.runState = 2;
    button->OnLeftButton(x, y, kPhaseDown);
    button->OnLeftButton(x, y, kPhaseUp);
    game.runState = 1;
    button->OnLeftButton(x, y, kPhaseDown);
    EXPECT_EQ(session.requests, (std::vector<std::string>{"hostvar 18 0", "hostvar 18 1"}));

    game.runState = 2;
    button->Update();
    EXPECT_TRUE(button->ShowsPlay());
    game.runState = 1;
    button->Update();
    EXPECT_FALSE(button->ShowsPlay());
    EXPECT_EQ(button->alpha, 111) << "faint during the first 20 updates after a pause";
}

TEST_F(TimeControlsTest, TheSpeedToggleCyclesInMultiplayerOnly)
{
    struct Case {
        int current;
        int next;
    };
    for (const Case& c : {Case{90, 100}, Case{100, 110}, Case{110, 120}, Case{120, 130}, Case{130, 90}, Case{95, 90},
                          Case{75, 90}})
        EXPECT_EQ(NextToggleSpeed(c.current), c.next) << c.current;
    game.gameSpeed = 95;
    ToggleGameSpeed(nullptr);
    EXPECT_TRUE(session.requests.empty()) << "single player: no toggle";
    game.multiplayer = true;
    ToggleGameSpeed(nullptr);
    SetGameSpeed(42);
    EXPECT_EQ(session.requests, (std::vector<std::string>{"hostvar 16 90", "hostvar 16 42"}));
}

TEST_F(TimeControlsTest, FreezeTimeTogglesTheModeAndItsTooltipTellsThePenalty)
{
    GameMode* mode = CreateCurrentGameMode(0);
    ASSERT_NE(mode, nullptr);
    FreezeTimeCheckBox box;
    box.Update();
    EXPECT_EQ(box.toolTip, "Freeze Time\nTotal Penalty: 0 seconds");
    mode->freezeCount = 3;
    box.Update();
    EXPECT_EQ(box.toolTip, "Freeze Time\nTotal Penalty: 3 seconds") << "rebuilt from its first line";
    EXPECT_FALSE(box.IsChecked());

    box.Toggle();
    EXPECT_EQ(effects.freezeBroadcasts, 1);
    game.runState = 2;
    box.Toggle();
    EXPECT_EQ(effects.freezeBroadcasts, 1) << "not while paused";
    game.runState = 1;
    game.playbackShown = true;
    box.Toggle();
    EXPECT_EQ(effects.freezeBroadcasts, 1) << "not during a playback";

    game.serverState = 4;
    box.Update();
    EXPECT_TRUE(box.IsChecked());
    game.runState = 2;
    box.Update();
    EXPECT_FALSE(box.IsChecked());
}

TEST_F(TimeControlsTest, TheScoresWindowShowsWhileTheButtonIsHeld)
{
    CreateCurrentGameMode(0);
    auto* button = new ScoreButton;
    button->SetPosition(50.0f, 50.0f);
    scene->AddWidget(button);
    EXPECT_TRUE(HudPressScoreButton(true));
    Primitive* window = scene->FindChild("SCORES_WINDOW");
    ASSERT_NE(window, nullptr);
    const float hiddenY = -window->GetSizeVirtual().y / 2.0f;
    EXPECT_NEAR(window->GetPositionVirtual().y, hiddenY, 0.01f);
    Frames(20, 16);
    EXPECT_NEAR(window->GetPositionVirtual().y, HudGameViewCentreY(), 0.01f);

    // Released half-way in: it slides back from where it is.
    HudPressScoreButton(false);
    Frames(20, 16);
    EXPECT_EQ(scene->FindChild("SCORES_WINDOW"), nullptr);
    HudPressScoreButton(true);
    window = scene->FindChild("SCORES_WINDOW");
    Frames(7, 16);
    const float midway = window->GetPositionVirtual().y;
    EXPECT_GT(midway, hiddenY);
    EXPECT_LT(midway, HudGameViewCentreY());
    HudPressScoreButton(false);
    Frames(1, 16);
    EXPECT_LT(window->GetPositionVirtual().y, midway) << "back up from the middle";
    Frames(20, 16);
    EXPECT_EQ(scene->FindChild("SCORES_WINDOW"), nullptr);
}

} // namespace
