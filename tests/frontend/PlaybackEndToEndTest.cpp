// A single-player run of a sample level recorded through the real session, then picked in
// the playback menu and replayed in the playback viewer to "End of playback" with the run's
// state hash; leaving comes back to the menu. The same recording replayed in two further
// processes, one straight at normal speed and one steered with Speed up, Jump ahead and a
// forward seek, ends with the same hash. "Start server here" continues it live.
#include "FrontEndFixture.h"
#include "../support/ChildProcess.h"
#include "../support/LevelFixture.h"
#include "../support/LogCapture.h"
#include "../support/TestWorld.h"

#include "app/GameClock.h"
#include "editor/LevelChooser.h"
#include "frontend/playback/PlaybackMenu.h"
#include "game/GameController.h"
#include "game/LevelNames.h"
#include "gui/FlimbsListBox.h"
#include "gui/FlimbsSliderBar.h"
#include "gui/GraphicButtons.h"
#include "hud/playback/PlaybackActions.h"
#include "hud/playback/PlaybackHUD.h"
#include "hud/playback/PlaybackVCR.h"
#include "hud/HudWindow.h"
#include "hud/LevelIntro.h"
#include "platform/input/ScanCodes.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "session/GameSessions.h"
#include "session/SessionConsole.h"
#include "session/SessionServices.h"
#include "game/GameServices.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/WorldState.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

constexpr const char* kLevel = "s_dm_first_steps";
constexpr const char* kRecording = "s_dm_first_steps_000";
constexpr uint32_t kRecordedUpdates = 240;

uint32_t g_gameNow = 1000;

struct LiveRun {
    std::string path; // the recording's host path
    uint32_t updates = 0;
    uint64_t hash = 0;
};

std::string HashText(uint64_t hash)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

class PlaybackEndToEndTest : public FrontEndFixture {
protected:
    void SetUp() override
    {
        FrontEndFixture::SetUp();
        InstallLevelServices();
        ResetCommandState();
        SetLagSetting(75, false);
    }
    void TearDown() override
    {
        CloseAllWindows();
        ResetCommandState();
        SetLagSetting(75, false);
        gameClock.SetSource(nullptr);
        ReleaseLevelServices();
        FrontEndFixture::TearDown();
    }

    // Hosts the level, lets it run with an order now and then, and saves the recording.
    LiveRun RecordRun()
    {
        LiveRun run;
        FlimbsGameHost host(0, false);
        host.HostLevel(kLevel);
        const auto until = [&](const std::function<bool()>& done) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (!done() && std::chrono::steady_clock::now() < deadline) {
                host.Update();
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
            return done();
        };
        EXPECT_TRUE(until([] {
            PressLevelIntroStart(); // the level waits for its intro's Start
            return Controller().runState == kRunRunning;
        }));
        host.Client()->SendSetHostVariable(kHostVarMsPerUpdate, 10);
        uint32_t nextOrder = 40;
        EXPECT_TRUE(until([&] {
            if (ClientUpdateCounter() >= nextOrder) {
                for (const Flimb& flimb : World())
                    if (flimb.IsAlive()) {
                        host.Client()->SendUpdateFlimbType(flimb.id, nextOrder % 80 == 0 ? kWalk : kClob, 'X', 0);
                        break;
                    }
                nextOrder += 40;
            }
            return ClientUpdateCounter() >= kRecordedUpdates;
        }));
        EXPECT_TRUE(GameClient::SavePlayback(kRecording));
        run.path = GetUserPath(PlaybackFolder() + kRecording + ".flimbs");
        run.updates = ClientUpdateCounter();
        run.hash = WorldStateHash();
        host.Close();
        ResetCommandState();
        return run;
    }
    // One frame of the game: the game clock moves on with the GUI's.
    static void Frame(uint32_t ms)
    {
        g_gameNow += ms;
        Step(ms);
    }
    static void UseGameClock()
    {
        gameClock.SetSource([] { return g_gameNow; });
        gameClock.Start();
    }
    static bool Ended() { return CommandState().sessionKind == kPlaybackFinished; }
    static int EndMessages()
    {
        PlaybackVCR* vcr = FindPlaybackVCR();
        int n = 0;
        if (vcr)
            for (const auto& entry : vcr->Messages().Entries())
                n += entry.text == "End of playback" ? 1 : 0;
        return n;
    }

    TestWorld world;
    LogCapture log;
};

TEST_F(PlaybackEndToEndTest, ARecordedRunIsPickedInTheMenuReplayedToItsEndAndLeftBackToTheMenu)
{
    const LiveRun live = RecordRun();
    ASSERT_GE(live.updates, kRecordedUpdates);
    UseGameClock();

    ASSERT_TRUE(ShowPlaybackMenu());
    Step(16);
    auto* menu = dynamic_cast<PlaybackMenu*>(Find(PlaybackMenu::kName));
    ASSERT_NE(menu, nullptr);
    menu->Chooser()->SelectLevel(kLevel, true);
    ASSERT_EQ(menu->Recordings()->GetCount(), 1);
    Press("Playback");
    Step(16);
    ASSERT_NE(Find("FlimbsGameBase"), nullptr);
    ASSERT_NE(FindPlaybackHUD(), nullptr);
    EXPECT_EQ(Find(FlimbsMenuTemplate::kName), nullptr);
    EXPECT_EQ(LagSetting(), 60);
    for (int i = 0; i < 2000 && !Ended(); ++i)
        Frame(100);
    ASSERT_TRUE(Ended());
    Frame(16);
    EXPECT_EQ(EndMessages(), 1);
    EXPECT_EQ(ClientUpdateCounter(), live.updates);
    EXPECT_EQ(HashText(WorldStateHash()), HashText(live.hash));
    EXPECT_EQ(FindPlaybackVCR()->Slider()->GetIntValue(), int(live.updates));

    // Play after the end replays it once more, to the same end.
    PlaybackActions::PlayPause();
    for (int i = 0; i < 2000 && (!Ended() || ClientUpdateCounter() < live.updates); ++i)
        Frame(100);
    Frame(16);
    EXPECT_EQ(EndMessages(), 2);
    EXPECT_EQ(HashText(WorldStateHash()), HashText(live.hash));

    AnimButton* leave = FindPlaybackVCR()->Button(PlaybackVCR::kLeaveSlot);
    leave->onClick(leave->parent, leave);
    Step(16);
    Step(16);
    EXPECT_EQ(Find("FlimbsGameBase"), nullptr);
    menu = dynamic_cast<PlaybackMenu*>(Find(PlaybackMenu::kName));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Chooser()->GetSelectedLevelFile(), std::string(kLevel) + ".flevel");
    EXPECT_EQ(menu->Recordings()->GetCount(), 1);
    EXPECT_EQ(CommandState().sessionKind, kSessionLive);
}

TEST_F(PlaybackEndToEndTest, TheRecordingEndsWithTheRunsHashInTwoProcessesStraightAndSteered)
{
    const LiveRun live = RecordRun();
    ASSERT_FALSE(live.path.empty());
    for (const char* mode : {"straight", "steered"}) {
        const std::string out = GetUserRoot() + "/replay-" + mode + ".txt";
        ChildProcess child("PlaybackEndToEndPeer.Replay",
                           {{"FLIMBS_VIEWER_FILE", live.path}, {"FLIMBS_VIEWER_MODE", mode}, {"FLIMBS_VIEWER_OUT", out}});
        ASSERT_TRUE(child.Wait(180000)) << mode;
        EXPECT_EQ(child.ExitCode(), 0) << mode;
        std::ifstream in(out);
        std::string word, hash;
        uint32_t updates = 0;
        in >> word >> updates >> hash;
        EXPECT_EQ(word, "REPLAY") << mode;
        EXPECT_EQ(updates, live.updates) << mode;
        EXPECT_EQ(hash, HashText(live.hash)) << mode;
    }
}

TEST_F(PlaybackEndToEndTest, StartServerHereContinuesTheMatchLiveFromThatPoint)
{
    const LiveRun live = RecordRun();
    UseGameClock();
    OpenWindow(new FlimbsPlayer(live.path), true);
    while (ClientUpdateCounter() < 100)
        Frame(100);
    CommandState().sessionKind = kPlaybackPaused;
    const uint32_t at = ClientUpdateCounter();
    gameClock.SetSource(nullptr);
    // The panel offers the button.
    AnimButton* start = FindPlaybackVCR()->Button(PlaybackVCR::kStartServerSlot);
    ASSERT_NE(start, nullptr);
    start->onClick(start->parent, start);
    EXPECT_TRUE(std::filesystem::exists(GetUserPath(PlaybackFolder() + "playback.flimbs")));
    Step(16);
    auto* host = dynamic_cast<FlimbsGameHost*>(Find("FlimbsGameBase"));
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(FindPlaybackHUD(), nullptr);
    EXPECT_EQ(CommandState().sessionKind, kSessionLive);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (ClientUpdateCounter() < at + 50 && std::chrono::steady_clock::now() < deadline) {
        Step(16);
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    EXPECT_GE(ClientUpdateCounter(), at + 50) << "the match goes on past the saved point";
    EXPECT_EQ(Controller().runState, kRunRunning);
}

// The panel's buttons work by the pointer (a press and release on each), the replay's end
// keeps its last picture in the view under "End of playback", and Escape leaves the replay.
// Leaves build/playback-end.png.
TEST_F(PlaybackEndToEndTest, ButtonsTakeClicksTheEndKeepsItsPictureAndEscapeLeaves)
{
    const LiveRun live = RecordRun();
    LoadActionSprites();
    LoadTrapSpecs();
    InstallHudGameView();
    UseGameClock();
    OpenWindow(new FlimbsPlayer(live.path), true);
    Steps(40, 16); // the panel has slid up
    PlaybackVCR* vcr = FindPlaybackVCR();
    ASSERT_NE(vcr, nullptr);
    const auto click = [&](int slot) {
        ClickOn(vcr->Button(slot));
        Step(16);
    };
    click(PlaybackVCR::kPauseSlot);
    EXPECT_EQ(CommandState().sessionKind, kPlaybackPaused);
    click(PlaybackVCR::kPlaySlot);
    EXPECT_EQ(CommandState().sessionKind, kPlaybackPlaying);
    click(PlaybackVCR::kSpeedUpSlot);
    EXPECT_EQ(LagSetting(), 50);
    click(PlaybackVCR::kSlowDownSlot);
    click(PlaybackVCR::kSlowDownSlot);
    EXPECT_EQ(LagSetting(), 70);
    const uint32_t before = ClientUpdateCounter();
    click(PlaybackVCR::kJumpSlot);
    EXPECT_GE(ClientUpdateCounter(), before + 70);
    const uint32_t jumped = ClientUpdateCounter();
    click(PlaybackVCR::kRestartSlot);
    EXPECT_EQ(LagSetting(), 60);
    for (int i = 0; i < 5 && ClientUpdateCounter() >= jumped; ++i)
        Frame(100);
    EXPECT_LT(ClientUpdateCounter(), jumped) << "the replay runs again from its start";

    for (int i = 0; i < 2000 && !Ended(); ++i)
        Frame(100);
    ASSERT_TRUE(Ended());
    Steps(10, 16);
    EXPECT_EQ(EndMessages(), 1);
    EXPECT_TRUE(CommandState().drawing);
    DrawFrameLikeTheGame();
    WritePicture("playback-end.png", 1280, 720);
    // The level's ground is still drawn along the bottom left of the view.
    int lit = 0, all = 0;
    for (int y = 690; y < 716; y += 2)
        for (int x = 0; x < 420; x += 4, ++all)
            lit += Pixel(x, y) != 0 ? 1 : 0;
    EXPECT_GT(lit, all / 2) << "the view shows the level at the end";

    PressKey(kKeyEscape);
    Steps(2, 16);
    EXPECT_EQ(Find("FlimbsGameBase"), nullptr) << "Escape leaves the replay";
    EXPECT_EQ(FindPlaybackHUD(), nullptr);
    EXPECT_EQ(CommandState().sessionKind, kSessionLive);
    CloseAllWindows();
    SetHudGameViewMaker(nullptr);
    UnloadActionSprites();
}

TEST_F(PlaybackEndToEndTest, PictureOfTheViewerWithItsControlsAndTheCountsBar)
{
    const LiveRun live = RecordRun();
    LoadActionSprites();
    LoadTrapSpecs(); // as the game's start-up does: the traps have their sprites
    InstallHudGameView();
    UseGameClock();
    OpenWindow(new FlimbsPlayer(live.path), true);
    while (ClientUpdateCounter() < 150 && !Ended())
        Frame(100);
    PlaybackActions::PlayPause(); // paused: the play button shows
    Steps(40, 16);
    {
        gfx::Device* device = DXManager::GetDevice();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET | gfx::D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        device->SetSamplerState(0, gfx::D3DSAMP_MINFILTER, gfx::D3DTEXF_LINEAR);
        device->SetSamplerState(0, gfx::D3DSAMP_MAGFILTER, gfx::D3DTEXF_LINEAR);
        DrawOpenWindows();
        device->EndScene();
    }
    WritePicture("playback_viewer.png", 1280, 720);
    // The counts bar: black behind the icons along the top middle; the slider has a height.
    EXPECT_EQ(Pixel(640 - int(270 * 720 / 768.0f), 2), 0u);
    EXPECT_GT(FindPlaybackVCR()->Slider()->GetSizeVirtual().y, 0.0f);
    CloseAllWindows();
    SetHudGameViewMaker(nullptr);
    UnloadActionSprites();
}

// ---- The second processes -------------------------------------------------------------------

using PlaybackEndToEndPeer = PlaybackEndToEndTest;

TEST_F(PlaybackEndToEndPeer, Replay)
{
    const char* file = std::getenv("FLIMBS_VIEWER_FILE");
    const char* mode = std::getenv("FLIMBS_VIEWER_MODE");
    const char* out = std::getenv("FLIMBS_VIEWER_OUT");
    if (!file || !mode || !out)
        GTEST_SKIP() << "run by the end-to-end test";
    UseGameClock();
    OpenWindow(new FlimbsPlayer(file), true);
    const bool steered = std::string(mode) == "steered";
    bool steeredYet = false;
    for (int i = 0; i < 5000 && !Ended(); ++i) {
        Frame(60);
        if (steered && !steeredYet && ClientUpdateCounter() >= 20) {
            PlaybackVCR* vcr = FindPlaybackVCR();
            ASSERT_NE(vcr, nullptr);
            for (int slot : {PlaybackVCR::kSpeedUpSlot, PlaybackVCR::kJumpSlot}) {
                AnimButton* button = vcr->Button(slot);
                button->onClick(button->parent, button);
            }
            EXPECT_EQ(LagSetting(), 50);
            vcr->Slider()->SetValue(float(ClientUpdateCounter() + 30), true);
            steeredYet = true;
        }
    }
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(!steered || steeredYet);
    std::ofstream(out) << "REPLAY " << ClientUpdateCounter() << " " << HashText(WorldStateHash()) << "\n";
}

} // namespace
