// A hosted single-player level started again from the in-game menu's Restart and from the
// result pop-up's Play Again: the level loads anew, is drawn again, runs, and its state hash
// after each update equals a fresh load's.
#include "FrontEndFixture.h"
#include "../support/LevelFixture.h"
#include "../support/LogCapture.h"
#include "../support/TestWorld.h"

#include "modes/MatchEffects.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "gui/Button.h"
#include "gui/WindowList.h"
#include "hud/HudActions.h"
#include "hud/HudWindow.h"
#include "hud/LevelIntro.h"
#include "hud/MatchResultVoice.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameSessions.h"
#include "session/SessionConsole.h"
#include "session/SessionServices.h"
#include "world/AnimationSpec.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"

#include <chrono>
#include <functional>
#include <map>
#include <thread>

namespace {

constexpr const char* kRestartedLevel = "s_dm_first_steps";
constexpr uint32_t kComparedUpdates = 120;

using HashByUpdate = std::map<uint32_t, uint64_t>;

class LevelRestartTest : public FrontEndFixture {
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
        if (host_)
            host_->Close();
        host_.reset();
        CloseAllWindows();
        ResetCommandState();
        SetLagSetting(75, false);
        ReleaseLevelServices();
        FrontEndFixture::TearDown();
    }

    // Steps the host until `done` holds or a minute has passed.
    bool RunUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            host_->Update();
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        return done();
    }
    // Hosts the level and waits for it to run.
    void Host()
    {
        host_ = std::make_unique<FlimbsGameHost>(0, false);
        host_->HostLevel(kRestartedLevel);
        ASSERT_TRUE(RunUntil([] {
            PressLevelIntroStart(); // the level waits for its intro's Start
            return Controller().runState == kRunRunning;
        }));
        host_->Client()->SendSetHostVariable(kHostVarMsPerUpdate, 10);
    }
    // The state hash after each update the host was seen at, from the level's start on.
    HashByUpdate RunAndHash()
    {
        HashByUpdate hashes;
        EXPECT_TRUE(RunUntil([&] {
            hashes[ClientUpdateCounter()] = WorldStateHash();
            return ClientUpdateCounter() >= kComparedUpdates;
        }));
        return hashes;
    }
    // The level after it started again: loaded, drawn, running from its first update.
    static void ExpectStartedAgain()
    {
        EXPECT_TRUE(CommandState().drawing) << "the view draws again";
        EXPECT_FALSE(CommandState().waiting);
        const Landscape* landscape = GameLandscape();
        ASSERT_NE(landscape, nullptr);
        EXPECT_TRUE(landscape->IsCreated());
        EXPECT_GT(landscape->CountSolidPixels(0, 0, landscape->Width() - 1, landscape->Height() - 1), 0)
            << "the terrain is there again";
    }
    // Equal hashes at every update both runs were seen at, from the level's start on.
    static void ExpectSameRun(const HashByUpdate& fresh, const HashByUpdate& again)
    {
        int compared = 0;
        for (const auto& [update, hash] : again) {
            const auto match = fresh.find(update);
            if (match == fresh.end())
                continue;
            EXPECT_EQ(hash, match->second) << "after update " << update;
            ++compared;
        }
        EXPECT_GE(compared, 10) << "both runs were seen at enough of the same updates";
        ASSERT_FALSE(again.empty());
        EXPECT_LT(again.begin()->first, 10u) << "the level starts from its beginning";
        EXPECT_GE(again.rbegin()->first, kComparedUpdates);
    }
    // Runs the level a while, starts it again with `restart` and compares that run with a
    // fresh load's.
    void RestartAndCompare(const std::function<void()>& restart)
    {
        Host();
        const HashByUpdate fresh = RunAndHash();
        ASSERT_GE(fresh.rbegin()->first, kComparedUpdates);
        const uint32_t before = ClientUpdateCounter();
        restart();
        ASSERT_TRUE(RunUntil([&] {
            PressLevelIntroStart(); // a restarted level shows its intro again
            return ClientUpdateCounter() < before && Controller().runState == kRunRunning;
        })) << "the level loads again and runs";
        ExpectStartedAgain();
        host_->Client()->SendSetHostVariable(kHostVarMsPerUpdate, 10);
        const HashByUpdate again = RunAndHash();
        ExpectSameRun(fresh, again);
        EXPECT_TRUE(CommandState().drawing);
    }

    std::unique_ptr<FlimbsGameHost> host_;
    TestWorld world;
    LogCapture log;
};

// Leaves build/restart.png: the level as drawn after its restart, under its HUD.
TEST_F(LevelRestartTest, RestartFromTheMenuRunsTheLevelAsAFreshLoadDoes)
{
    LoadActionSprites();
    LoadTrapSpecs();
    InstallHudGameView();
    RestartAndCompare([] { RestartLevel(); });
    Steps(10, 16);
    DrawFrameLikeTheGame();
    WritePicture("restart.png", 1280, 720);
    SetHudGameViewMaker(nullptr);
    UnloadActionSprites();
}

TEST_F(LevelRestartTest, PlayAgainFromTheResultRunsTheLevelAsAFreshLoadDoes)
{
    RestartAndCompare([] {
        ASSERT_TRUE(HudQueueEndOfLevelPopups({{EndOfLevelPopup::Kind::MatchResult, "You have passed this puzzle!", {}, {}, {}}}));
        Step(16);
        auto* again = dynamic_cast<Button*>(Find("Play Again"));
        ASSERT_NE(again, nullptr);
        again->Click();
    });
}

} // namespace
