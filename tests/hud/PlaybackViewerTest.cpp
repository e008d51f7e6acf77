// The playback HUD and its controls over a playback of plain updates in the command state:
// play, pause, speed, restart, jump, the slider, the view's quarter turns, the panel's
// slide, "End of playback", the minimap switch and the counts bar's cells.
#include "HudFixture.h"
#include "../support/TestWorld.h"

#include "app/ConsoleParam.h"
#include "app/KeyBindings.h"
#include "gui/Animators.h"
#include "gui/FlimbsCheckBox.h"
#include "gui/FlimbsSliderBar.h"
#include "gui/GraphicButtons.h"
#include "gui/Label.h"
#include "gui/UiScale.h"
#include "hud/ChatWindows.h"
#include "hud/playback/PlaybackActions.h"
#include "hud/playback/PlaybackHUD.h"
#include "hud/playback/PlaybackVCR.h"
#include "media/KBManager.h"
#include "platform/input/ScanCodes.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/SessionConsole.h"
#include "world/WorldState.h"

#include <cmath>

namespace {

constexpr float kThreeHalfPi = 4.712389f;

class PlaybackViewerTest : public HudFixture {
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        ResetCommandState();
        SetLagSetting(75, false);
    }
    void TearDown() override
    {
        CloseAllWindows();
        ResetCommandState();
        SetLagSetting(75, false);
        HudFixture::TearDown();
    }
    // A playback of `updates` plain updates in slot 0, playing.
    static void LoadUpdates(uint32_t updates)
    {
        ClientCommandState& state = CommandState();
        state.slots[0].records.clear();
        for (uint32_t i = 0; i < updates; ++i)
            state.slots[0].records.push_back(MakeUpdateFlimbs().U8(1, uint8_t(i)));
        state.slots[0].cursor = 0;
        state.playbackLength = updates;
        state.sessionKind = kPlaybackPlaying;
    }
    PlaybackHUD* OpenHud()
    {
        auto* hud = new PlaybackHUD;
        OpenWindow(hud, true);
        return hud;
    }
    static void Step(uint32_t ms = 16)
    {
        now_ += ms;
        SetGuiFrameElapsed(ms);
        UpdateGuiInput(0, 0);
        UpdateOpenWindows();
        SetGuiFrameElapsed(0);
    }
    static int Lag() { return LagSetting(); }
    static int State() { return CommandState().sessionKind; }
    static uint32_t Counter() { return World().clock.updateCounter; }
    static int EndMessages(PlaybackVCR& vcr)
    {
        int n = 0;
        for (const auto& entry : vcr.Messages().Entries())
            n += entry.text == "End of playback" ? 1 : 0;
        return n;
    }

    TestWorld world;
};

TEST_F(PlaybackViewerTest, PlayAfterTheEndAndRestartRewindAtNormalSpeed)
{
    LoadUpdates(30);
    GameClient::RunPlayback(UINT32_MAX);
    ASSERT_EQ(State(), kPlaybackFinished);
    SetLagSetting(120, false);
    PlaybackActions::PlayPause();
    EXPECT_EQ(CommandState().slots[0].cursor, 0u);
    EXPECT_EQ(State(), kPlaybackPlaying);
    EXPECT_EQ(Lag(), 60);

    GameClient::RunPlayback(10);
    CommandState().sessionKind = kPlaybackPaused;
    SetLagSetting(90, false);
    PlaybackActions::Restart();
    EXPECT_EQ(CommandState().slots[0].cursor, 0u);
    EXPECT_EQ(State(), kPlaybackPlaying);
    EXPECT_EQ(Lag(), 60);
}

TEST_F(PlaybackViewerTest, PauseSpeedUpThenPlayGivesNormalSpeedAndThePaceStaysInItsBounds)
{
    LoadUpdates(10);
    SetLagSetting(60, false);
    PlaybackActions::PlayPause();
    EXPECT_EQ(State(), kPlaybackPaused);
    EXPECT_EQ(Lag(), 60) << "pausing keeps the pace";
    PlaybackActions::SpeedUp();
    EXPECT_EQ(Lag(), 50);
    PlaybackActions::PlayPause();
    EXPECT_EQ(State(), kPlaybackPlaying);
    EXPECT_EQ(Lag(), 60);

    SetLagSetting(kMaxLagMs - 5, false);
    PlaybackActions::SlowDown();
    EXPECT_EQ(Lag(), kMaxLagMs);
    PlaybackActions::SlowDown();
    EXPECT_EQ(Lag(), kMaxLagMs);
    SetLagSetting(kMinLagMs + 5, false);
    PlaybackActions::SpeedUp();
    EXPECT_EQ(Lag(), kMinLagMs);
    PlaybackActions::SpeedUp();
    EXPECT_EQ(Lag(), kMinLagMs) << "the pace never reaches 0";
}

TEST_F(PlaybackViewerTest, JumpAheadRunsSeventyUpdatesAndARewindThatFailsSaysSo)
{
    LoadUpdates(100);
    GameClient::RunPlayback(5);
    PlaybackActions::JumpAhead();
    EXPECT_EQ(Counter(), 75u);
    EXPECT_EQ(State(), kPlaybackPlaying);
    PlaybackActions::JumpAhead();
    EXPECT_EQ(Counter(), 100u);
    EXPECT_EQ(State(), kPlaybackFinished) << "a jump past the end ends the replay";

    // Nothing to rewind: the message, and the state as it was.
    CommandState().slots[0] = {};
    PlaybackActions::PlayPause();
    EXPECT_TRUE(game.Called("message Error|Error in playback"));
    EXPECT_EQ(State(), kPlaybackFinished);
}

TEST_F(PlaybackViewerTest, TheSliderFollowsTheReplayRefusesBackwardsAndSeeksForwards)
{
    LoadUpdates(200);
    PlaybackHUD* hud = OpenHud();
    FlimbsSliderBar* slider = hud->VCR()->Slider();
    EXPECT_FLOAT_EQ(slider->Maximum(), 200.0f);
    GameClient::RunPlayback(20);
    CommandState().sessionKind = kPlaybackPaused;
    Step();
    EXPECT_EQ(slider->GetIntValue(), 20);
    EXPECT_EQ(hud->VCR()->Clock()->GetText(), "00:01.420"); // 20 updates of 71 ms

    slider->SetValue(10.0f, true);
    EXPECT_EQ(slider->GetIntValue(), 20) << "back to the current update";
    EXPECT_EQ(Counter(), 20u);
    slider->SetValue(150.0f, true);
    EXPECT_EQ(Counter(), 150u);
    Step();
    EXPECT_EQ(slider->GetIntValue(), 150);
}

TEST_F(PlaybackViewerTest, FourQuarterTurnsRightComeBackAndOneLeftFromZeroWraps)
{
    LoadUpdates(1);
    PlaybackHUD* hud = OpenHud();
    HudGameView* view = hud->GameView();
    ASSERT_NE(view, nullptr);
    view->SetRotation(0.0f, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(hud->OnKey(0x80, PlaybackHUD::kTurnRightKey, false, kbManager), 1);
    EXPECT_EQ(view->Rotation(), 0.0f);
    hud->OnKey(0, PlaybackHUD::kTurnLeftKey, false, kbManager); // a release does nothing
    EXPECT_EQ(view->Rotation(), 0.0f);
    hud->OnKey(0x80, PlaybackHUD::kTurnLeftKey, false, kbManager);
    EXPECT_FLOAT_EQ(view->Rotation(), kThreeHalfPi);
    EXPECT_FLOAT_EQ(PlaybackHUD::TurnedAngle(kThreeHalfPi, -1), 3.1415927f);

    // Space plays and pauses.
    hud->OnKey(0x80, kKeySpace, false, kbManager);
    EXPECT_EQ(State(), kPlaybackPaused);
    hud->OnKey(0x80, kKeySpace, false, kbManager);
    EXPECT_EQ(State(), kPlaybackPlaying);
}

TEST_F(PlaybackViewerTest, ThePanelSlidesUpOpenAndCollapsesToItsTopStrip)
{
    LoadUpdates(1);
    PlaybackHUD* hud = OpenHud();
    PlaybackVCR* vcr = hud->VCR();
    EXPECT_EQ(FindOpenWindow("PlaybackVCR"), vcr);
    EXPECT_EQ(FindOpenWindow("MOUSEPORT"), hud->GameViewPanel());
    EXPECT_FALSE(vcr->Collapsed());
    for (int i = 0; i < 40; ++i)
        Step(16);
    const FloatPoint size = vcr->GetSizeVirtual();
    EXPECT_FLOAT_EQ(vcr->GetPositionVirtual().y, std::round(1000.0f - size.y));
    EXPECT_FLOAT_EQ(vcr->GetPositionVirtual().x, std::round(500.0f - size.x / 2.0f));
    vcr->CollapseBox()->Toggle();
    EXPECT_TRUE(vcr->Collapsed());
    for (int i = 0; i < 40; ++i)
        Step(16);
    EXPECT_FLOAT_EQ(vcr->GetPositionVirtual().y, 970.0f);
}

TEST_F(PlaybackViewerTest, ButtonsTipsAndThePlayButtonInPlaceOfPauseWhilePaused)
{
    LoadUpdates(5);
    BindingStore& bindings = GetBindingStore();
    const BindingStore kept = bindings;
    bindings.Clear();
    bindings.Build({{"MiniMap"}});
    bindings.FindByName("MiniMap")->keyNames[0] = "M";
    PlaybackVCR* vcr = OpenHud()->VCR();
    bindings = kept;
    EXPECT_EQ(vcr->Button(PlaybackVCR::kEmptySlot), nullptr);
    EXPECT_EQ(vcr->Button(PlaybackVCR::kStartServerSlot) != nullptr, PlaybackVCR::kOffersStartServer);
    EXPECT_EQ(vcr->TipOf(vcr->Button(PlaybackVCR::kLeaveSlot)), "Exit. Press < and > to rotate view.");
    EXPECT_EQ(vcr->TipOf(vcr->MinimapBox()), "Show mini map: M");
    EXPECT_EQ(vcr->Button(PlaybackVCR::kPlaySlot)->visible, 0);
    Step();
    EXPECT_EQ(vcr->Button(PlaybackVCR::kPauseSlot)->visible, 1);
    vcr->Button(PlaybackVCR::kPauseSlot)->onClick(vcr, vcr->Button(PlaybackVCR::kPauseSlot));
    Step();
    EXPECT_EQ(State(), kPlaybackPaused);
    EXPECT_EQ(vcr->Button(PlaybackVCR::kPlaySlot)->visible, 1);
    EXPECT_EQ(vcr->Button(PlaybackVCR::kPauseSlot)->visible, 0);
}

TEST_F(PlaybackViewerTest, EndOfPlaybackIsPostedOncePerEnd)
{
    LoadUpdates(12);
    PlaybackVCR* vcr = OpenHud()->VCR();
    GameClient::RunPlayback(UINT32_MAX);
    EXPECT_EQ(vcr->Chat()->highlight, 0) << "nothing to show yet";
    Step();
    Step();
    EXPECT_EQ(EndMessages(*vcr), 1);
    EXPECT_EQ(vcr->Chat()->highlight, 1);
    PlaybackActions::Restart();
    Step();
    GameClient::RunPlayback(UINT32_MAX);
    Step();
    Step();
    EXPECT_EQ(EndMessages(*vcr), 2);
}

TEST_F(PlaybackViewerTest, TheMinimapBoxFadesTheMinimapInAndOutOfTheHud)
{
    LoadUpdates(1);
    game.makeMinimap = [] {
        auto panel = std::make_unique<PrimContainer>();
        panel->SetSize(100.0f, 100.0f);
        return panel;
    };
    PlaybackHUD* hud = OpenHud();
    GraphicCheckBox* box = hud->VCR()->MinimapBox();
    box->Toggle();
    Primitive* minimap = hud->FindChild("MinimapWindow");
    ASSERT_NE(minimap, nullptr);
    EXPECT_EQ(minimap->parent, hud);
    EXPECT_NEAR(minimap->GetPositionVirtual().y, 500.0f + DesignToVirtualY(14.0f), 0.01f);
    EXPECT_EQ(minimap->hAlign, kAlignHCentre);
    EXPECT_NE(dynamic_cast<PrimContainer*>(minimap)->FindChild("ANIMATE_ALPHA"), nullptr);
    Step(100);
    EXPECT_EQ(minimap->alpha, 255);
    box->Toggle();
    Step(100);
    Step(16);
    EXPECT_EQ(hud->FindChild("MinimapWindow"), nullptr) << "gone once faded out";
    box->Toggle();
    EXPECT_NE(hud->FindChild("MinimapWindow"), nullptr);
}

TEST_F(PlaybackViewerTest, StartServerHereWithoutARecordingChangesNothing)
{
    auto* session = new PrimContainer;
    session->SetName("FlimbsGameBase");
    OpenWindow(session, true);
    CommandState().sessionKind = kPlaybackPaused;
    EXPECT_FALSE(PlaybackActions::StartServerHere());
    EXPECT_EQ(FindOpenWindow("FlimbsGameBase"), session);
    EXPECT_EQ(State(), kPlaybackPaused);
}

TEST(CountsBar, FaintForNoneAndNoNumberForNoneOrUnlimited)
{
    struct Case {
        int count, frames, frame;
        uint8_t alpha;
        bool number;
    };
    for (const Case c : {Case{200, 8, 7, 100, false}, Case{199, 8, 7, 200, false}, Case{5, 8, 5, 200, true},
                         Case{0, 8, 0, 200, true}, Case{12, 8, 7, 200, true}, Case{3, 0, 0, 200, true}}) {
        const CountsBarCell cell = CountsBarCellFor(c.count, c.frames);
        EXPECT_EQ(cell.frame, c.frame) << c.count;
        EXPECT_EQ(cell.alpha, c.alpha) << c.count;
        EXPECT_EQ(cell.showNumber, c.number) << c.count;
    }
}

} // namespace
