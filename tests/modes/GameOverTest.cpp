// The end of a match on the real player profile and platform store in the test's own user
// folder: stats and achievements, result music, the profile's level statistics, totals,
// completion and sessions, the end screens and the upload.
#include "../support/FakeMatch.h"

#include "app/PlayerProfile.h"
#include "app/UserFolders.h"
#include "game/LevelCompletion.h"
#include "modes/CorralTheFlimbMode.h"
#include "modes/MatchEnd.h"
#include "modes/SuperSynergyMode.h"
#include "platform/steam/Steam.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace {

class GameOverTest : public MatchFixture {
protected:
    void SetUp() override
    {
        MatchFixture::SetUp();
        SetProgramFolder(FLIMBS_GAME_DIR);
        // The user folder lives as long as the test program: start from an empty store
        // and no completion records.
        std::filesystem::remove_all(GetUserPath("Cache\\Settings\\PlatformStore"));
        std::filesystem::remove(GetUserPath(LevelCompletion::kFile));
        ASSERT_TRUE(platform::steam::Init(GetUserPath("Cache\\Settings\\PlatformStore")));
        CurrentProfile().Load(ProfileName());
        world.levelPath = "Level\\s_dm_corral.flevel";
    }
    void TearDown() override
    {
        platform::steam::Shutdown();
        MatchFixture::TearDown();
    }
    // Every test plays on a profile of its own.
    static std::string ProfileName()
    {
        return std::string("Over") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    static int32_t Stat(const std::string& name)
    {
        int32_t value = 0;
        platform::steam::GetStat(name, value);
        return value;
    }
    static bool Achieved(const std::string& name)
    {
        bool achieved = false;
        return platform::steam::GetAchievement(name, achieved) && achieved;
    }
    // A single-player Corral level whose one exit got `saved` of its 5 flimbs, played for
    // `seconds` with 2 of 2 Qdots.
    void PlayCorral(int32_t saved, uint32_t seconds)
    {
        world.exits.clear();
        world.AddExit(0, saved, 5);
        world.trapCounts[kTrapKindQdot] = 2;
        world.levelStartMs = 1000;
        world.clockMs = 1000 + seconds * 1000 + 400;
        world.matchResult = 0;
        world.endStatus = -1;
        CorralTheFlimbMode mode;
        mode.CreateStatsWidget(nullptr);
        mode.StartMatch();
        mode.qdotCounts[0] = 2;
        mode.GameOver();
    }
    static std::map<std::string, int> Best(const std::string& level)
    {
        std::map<std::string, int> best;
        for (const BestStat& stat : CurrentProfile().ReadBestStats(level))
            best[stat.type] = stat.value;
        return best;
    }
};

TEST_F(GameOverTest, SinglePlayerPassRecordsTheLevel)
{
    world.updateCounter = 300;
    PlayCorral(5, 125);
    EXPECT_EQ(world.matchResult, 6);
    EXPECT_EQ(world.endStatus, 1);
    EXPECT_EQ(effects.music, (std::vector<std::string>{"single_vic01.ogg"}));
    EXPECT_EQ(effects.playbackRequests.size(), 1u);
    ASSERT_EQ(effects.popups.size(), 1u);
    EXPECT_EQ(effects.popups[0].kind, EndOfLevelPopup::Kind::MatchResult);
    EXPECT_EQ(effects.popups[0].text, "You have passed this puzzle!");
    EXPECT_EQ(effects.uploads, (std::vector<std::string>{world.levelPath}));
    // The level has no puzzle in the archive to unlock: recorded, and nothing said of it.
    EXPECT_TRUE(effects.notices.empty());
    EXPECT_TRUE(LevelCompletion::IsComplete(world.levelPath));
    EXPECT_EQ(Stat("puzzle_complete"), 1);

    // What reached the disk: load the profile again.
    ASSERT_TRUE(CurrentProfile().Load(ProfileName()));
    PlayerProfile& profile = CurrentProfile();
    std::unique_ptr<LevelStats> stats = profile.GetLevelStatsNode(world.levelPath, false);
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->nAttempts, 1);
    EXPECT_EQ(stats->nPasses, 1);
    EXPECT_TRUE(stats->qdotsObtained);
    EXPECT_EQ(stats->groupID, 0);
    const SingleplayerTotals totals = profile.LoadSingleplayerTotals();
    EXPECT_EQ(totals.playtimeTotal, 125);
    EXPECT_EQ(totals.qdotsTotal, 2);
    const std::vector<SessionRecord> sessions = profile.Sessions(world.levelPath);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_TRUE(sessions[0].passed);
    EXPECT_EQ(sessions[0].playback, "s_dm_fixture-1.flimbs");
    EXPECT_EQ(sessions[0].savedFlimbs, 5);
    EXPECT_EQ(sessions[0].time.size(), 19u);
    EXPECT_EQ(Best(world.levelPath),
              (std::map<std::string, int>{{"Qdots", 2}, {"Flimbs", 5}, {"Lost", 0}, {"Morphs", 0}, {"Time", 300}}));

    // A second pass: no new completion, one more session, the better time kept.
    world.updateCounter = 200;
    effects.notices.clear();
    PlayCorral(5, 10);
    EXPECT_EQ(Stat("puzzle_complete"), 1);
    EXPECT_TRUE(effects.notices.empty());
    EXPECT_EQ(CurrentProfile().Sessions(world.levelPath).size(), 2u);
    EXPECT_EQ(CurrentProfile().LoadSingleplayerTotals().qdotsTotal, 2) << "the Qdots count once";
    EXPECT_EQ(CurrentProfile().LoadSingleplayerTotals().playtimeTotal, 135);
    EXPECT_EQ(Best(world.levelPath)["Time"], 200);
}

TEST_F(GameOverTest, SinglePlayerFailure)
{
    PlayCorral(4, 30);
    EXPECT_EQ(world.matchResult, 5);
    EXPECT_EQ(world.endStatus, 129);
    EXPECT_EQ(effects.music, (std::vector<std::string>{"single_lose01.ogg"}));
    EXPECT_TRUE(effects.uploads.empty()) << "only a pass is uploaded";
    EXPECT_FALSE(LevelCompletion::IsComplete(world.levelPath));
    EXPECT_EQ(Stat("puzzle_complete"), 0);
    EXPECT_TRUE(Best(world.levelPath).empty());
    std::unique_ptr<LevelStats> stats = CurrentProfile().GetLevelStatsNode(world.levelPath, false);
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->nAttempts, 1);
    EXPECT_EQ(stats->nPasses, 0);
    EXPECT_FALSE(stats->qdotsObtained);
    EXPECT_EQ(CurrentProfile().LoadSingleplayerTotals().playtimeTotal, 30);
}

TEST_F(GameOverTest, FinalLevelSpeedrunAndUnlockPopupsInOrder)
{
    SetUnlockHook([](const std::string&, bool passed) {
        std::vector<EndOfLevelPopup> popups;
        if (passed) {
            popups.push_back({EndOfLevelPopup::Kind::FlimbMasterUnlocked, "Gruff"});
            popups.push_back({EndOfLevelPopup::Kind::BonusItemUnlocked, "Top hat"});
        }
        return popups;
    });
    CurrentProfile().SetSingleplayerTotals({0, 9, 0, 5000});
    world.levelPath = "Level\\Beatall.flevel";
    PlayCorral(5, 399); // 5399 s in all
    EXPECT_TRUE(Achieved("ACH_SPEEDRUN"));
    EXPECT_EQ(Stat("speedrun"), 5399);
    EXPECT_TRUE(Achieved("ACH_FM_EASY"));
    EXPECT_TRUE(Achieved(kFinalBossAchievement));
    ASSERT_EQ(effects.popups.size(), 4u);
    EXPECT_EQ(effects.popups[0].kind, EndOfLevelPopup::Kind::MatchResult);
    EXPECT_EQ(effects.popups[1].text, "Gruff");
    EXPECT_EQ(effects.popups[2].text, "Top hat");
    EXPECT_EQ(effects.popups[3].kind, EndOfLevelPopup::Kind::FinalVideo);
    EXPECT_EQ(std::count(effects.effects.begin(), effects.effects.end(), 19), 1) << "one sound for the first pop-up";
    EXPECT_TRUE(platform::steam::statsChanged);
}

TEST_F(GameOverTest, NoSpeedrunAtOrPast5400Seconds)
{
    CurrentProfile().SetSingleplayerTotals({0, 0, 0, 5000});
    world.levelPath = "Level\\Beatall.flevel";
    PlayCorral(5, 400);
    EXPECT_FALSE(Achieved("ACH_SPEEDRUN"));
    EXPECT_FALSE(Achieved("ACH_FM_EASY"));
    EXPECT_TRUE(Achieved(kFinalBossAchievement));
}

TEST_F(GameOverTest, BossSkillAchievements)
{
    PlayerProfile& profile = CurrentProfile();
    for (int i = 0; i < 21; ++i) {
        std::unique_ptr<LevelStats> stats = profile.GetLevelStatsNode("Level\\s_ar_boss" + std::to_string(i), true);
        profile.SaveSkillLevel(*stats, 1);
    }
    EXPECT_EQ(profile.CountLevelsWithSkill(1), 21);
    PlayCorral(4, 10);
    EXPECT_FALSE(Achieved("ACH_FM_MEDIUM")) << "only in a FlimbMaster match";
    world.gameType = 4;
    PlayCorral(4, 10);
    EXPECT_TRUE(Achieved("ACH_FM_MEDIUM"));
    EXPECT_FALSE(Achieved("ACH_FM_HARD"));
}

TEST_F(GameOverTest, MultiplayerStatsAndTheEndScreen)
{
    struct Case {
        const char* what;
        int players;
        std::vector<int32_t> saved; // of groups 0, 1, 2 ...
        int32_t localScore;
        int wins, losses;
        bool multiWin, multiSafe, multi8;
    };
    const Case cases[] = {
        {"win of three", 3, {6, 2, 1}, 4, 1, 0, true, false, false},
        {"win of two", 2, {6, 2}, 4, 1, 0, false, false, false},
        {"safe win", 3, {6, 2, 1}, 0, 1, 0, true, true, false},
        {"loss", 3, {1, 6, 1}, 4, 0, 1, false, false, false},
        {"loss of eight", 8, {1, 6, 1, 0, 0, 0, 0, 0}, 4, 0, 1, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::steam::Shutdown();
        std::filesystem::remove_all(GetUserPath("Cache\\Settings\\PlatformStore"));
        ASSERT_TRUE(platform::steam::Init(GetUserPath("Cache\\Settings\\PlatformStore")));
        FakeMatchWorld fresh;
        world = fresh;
        effects.endScreens.clear();
        effects.music.clear();
        world.multiplayer = true;
        for (int p = 0; p < c.players; ++p) {
            world.AddPlayer(p, p, "p" + std::to_string(p));
            world.AddExit(p, p < int(c.saved.size()) ? c.saved[size_t(p)] : 0, 0);
        }
        world.stats[0].score = c.localScore;
        CorralTheFlimbMode mode;
        mode.GameOver();
        EXPECT_EQ(Stat("mp_wins"), c.wins);
        EXPECT_EQ(Stat("mp_loss"), c.losses);
        EXPECT_EQ(Achieved("ACH_MULTI_WIN"), c.multiWin);
        EXPECT_EQ(Achieved("ACH_MULTISAFE"), c.multiSafe);
        EXPECT_EQ(Achieved("ACH_MULTI_8"), c.multi8);
        ASSERT_EQ(effects.endScreens.size(), 1u);
        EXPECT_EQ(effects.endScreens[0].size(), size_t(c.players));
        EXPECT_EQ(effects.endScreens[0][0].group, c.wins ? 0 : 1) << "the winner first";
        EXPECT_EQ(effects.music, (std::vector<std::string>{c.wins ? "multi_vic01.ogg" : "multi_lose00.ogg"}));
        EXPECT_TRUE(effects.popups.empty());
        EXPECT_TRUE(effects.uploads.empty());
    }
    EXPECT_TRUE(CurrentProfile().Sessions(world.levelPath).empty()) << "a match leaves the level statistics alone";
}

TEST_F(GameOverTest, MusicOfEachResult)
{
    world.editorTest = true;
    const std::map<int, std::string> music = {{1, "multi_vic01.ogg"},   {2, "multi_lose00.ogg"},
                                              {3, "multi_tie01.ogg"},   {4, "multi_lose00.ogg"},
                                              {5, "single_lose01.ogg"}, {6, "single_vic01.ogg"}};
    for (int code = 0; code <= 7; ++code) {
        SCOPED_TRACE(code);
        effects.music.clear();
        SuperSynergyMode mode;
        mode.SetResult(code, 255);
        mode.PublishResult();
        const auto it = music.find(code);
        EXPECT_EQ(effects.music, it == music.end() ? std::vector<std::string>{} : std::vector<std::string>{it->second});
    }
}

TEST_F(GameOverTest, EditorTestPlaysAndSpectatorsKeepNoRecord)
{
    world.editorTest = true;
    PlayCorral(5, 20);
    EXPECT_TRUE(effects.playbackRequests.empty());
    EXPECT_TRUE(effects.uploads.empty());
    EXPECT_EQ(effects.popups.size(), 1u) << "the result pop-up still shows";
    EXPECT_FALSE(CurrentProfile().GetLevelStatsNode(world.levelPath, false));
    EXPECT_FALSE(LevelCompletion::IsComplete(world.levelPath));

    world.editorTest = false;
    world.spectator = true;
    PlayCorral(5, 20);
    EXPECT_TRUE(effects.playbackRequests.empty()) << "a spectator saves no recording";
    ASSERT_EQ(CurrentProfile().Sessions(world.levelPath).size(), 1u);
    EXPECT_EQ(CurrentProfile().Sessions(world.levelPath)[0].playback, "");
}

TEST_F(GameOverTest, HudPopupsCloseFirst)
{
    effects.hudOpen = true;
    world.editorTest = true;
    PlayCorral(5, 1);
    EXPECT_EQ(effects.popupCloses, 1);
}

} // namespace
