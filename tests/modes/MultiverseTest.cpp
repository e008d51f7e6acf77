// The race mode on the fake world: the single-player result and its detail, ties between
// players, the FlimbMaster's concession, the difficulty buttons, the other universe's ids,
// the sabotage flimbs and the FlimbMaster recording.
#include "../support/FakeMatch.h"
#include "../support/LogCapture.h"
#include "../support/ScopedConsoleInt.h"

#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "gui/CheckBox.h"
#include "gui/PrimContainer.h"
#include "gui/TextButtons.h"
#include "modes/ArcadeModeStatsWidget.h"
#include "modes/MatchOptions.h"
#include "modes/ModeServices.h"
#include "modes/MultiverseMatchMode.h"
#include "modes/ScorePanels.h"

#include <filesystem>
#include <fstream>

namespace {

class MultiverseTest : public MatchFixture {
protected:
    void SetUp() override
    {
        MatchFixture::SetUp();
        SetProgramFolder(FLIMBS_GAME_DIR);
        CurrentProfile().Load(std::string("Race") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        world.levelPath = "Level\\s_ar_race.flevel";
        world.editorTest = true; // the profile's level records stay out of the way
        world.EnableGroups({0, 1});
    }
    static void Touch(const std::string& gamePath)
    {
        const std::filesystem::path path = GetUserPath(gamePath);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }

    MultiverseMatchMode mode;
};

TEST_F(MultiverseTest, SinglePlayerResultAndDetail)
{
    struct Case {
        int32_t mine, theirs;
        int result, detail;
    };
    const Case cases[] = {
        {100, 95, kResultSingleWon, 0},   {100, 90, kResultSingleWon, 2},  {100, 50, kResultSingleWon, 2},
        {10, 10, kResultSingleLost, 130}, {9, 9, kResultSingleLost, 129},  {0, 0, kResultSingleLost, 129},
        {95, 100, kResultSingleLost, 130}, {90, 100, kResultSingleLost, 129},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mine << " vs " << c.theirs);
        MultiverseMatchMode race;
        race.scores[0] = c.mine;
        race.scores[1] = c.theirs;
        race.GameOver();
        EXPECT_EQ(world.matchResult, c.result);
        EXPECT_EQ(world.resultDetail, c.detail);
    }
    // Only the tracked result breaks ties, by the game state's tie-break group.
    mode.scores = {7, 7};
    world.tieBreakGroup = 0;
    mode.DecideResult();
    EXPECT_EQ(mode.trackedGroup, -1);
    world.tieBreakGroup = 1;
    mode.DecideResult();
    EXPECT_EQ(mode.trackedGroup, 1);
    mode.scores[1] = 8;
    mode.DecideResult();
    EXPECT_EQ(mode.trackedGroup, -1);
}

TEST_F(MultiverseTest, PlayersSharingTheBestScoreTie)
{
    world.multiplayer = true;
    world.AddPlayer(0, 0, "Ann");
    world.AddPlayer(1, 1, "Bo");
    mode.GameOver();
    EXPECT_EQ(world.matchResult, kResultTie) << "all zero";
    mode.scores[0] = 5;
    mode.GameOver();
    EXPECT_EQ(world.matchResult, kResultWon);
    mode.scores[1] = 6;
    mode.GameOver();
    EXPECT_EQ(world.matchResult, kResultLost);
    world.localGroup = 1;
    mode.DecideResult();
    EXPECT_EQ(mode.trackedGroup, 1) << "the local group among players";
}

TEST_F(MultiverseTest, TheFlimbMasterConcedesOnlyAfterAHundredUpdates)
{
    world.tallies[1].points = 50; // the FlimbMaster can still reach 50
    world.SetInPlay(1, 1);
    world.SetInPlay(0, 1);
    world.updateCounter = 10;
    mode.StartMatch();
    mode.scores[0] = 60;
    mode.UpdateMessages();
    EXPECT_EQ(mode.concededAt, 10u);
    EXPECT_TRUE(mode.loseCheckFinished);
    world.updateCounter = 110;
    mode.UpdateMessages();
    EXPECT_TRUE(effects.groupUpdates.empty());
    world.updateCounter = 111;
    mode.UpdateMessages();
    EXPECT_EQ(effects.groupUpdates, std::vector<int>{1});
    EXPECT_EQ(effects.notices, std::vector<std::string>{"The FlimbMaster has conceded defeat!"});
    EXPECT_EQ(mode.concededAt, 0u);

    // Never with nukebattle 0.
    ScopedConsoleInt noConcession("nukebattle", 0);
    MultiverseMatchMode other;
    other.StartMatch();
    other.scores[0] = 60;
    for (int i = 0; i < 300; ++i) {
        ++world.updateCounter;
        other.UpdateMessages();
    }
    EXPECT_EQ(other.concededAt, 0u);
    EXPECT_EQ(effects.groupUpdates.size(), 1u);
}

TEST_F(MultiverseTest, EliminationAndTheWaitingText)
{
    world.SetInPlay(1, 2);
    mode.StartMatch();
    mode.UpdateMessages();
    mode.UpdateMessages();
    EXPECT_EQ(effects.notices.size(), 1u) << "on the second update without flimbs";
    EXPECT_EQ(effects.notices[0].find("Please wait for the FlimbMaster to finish.  You can press "), 0u);
    mode.UpdateMessages();
    EXPECT_EQ(effects.notices.size(), 1u);

    MultiverseMatchMode beaten;
    beaten.StartMatch();
    beaten.scores[1] = 1; // above everything the local group can still reach
    beaten.UpdateMessages();
    EXPECT_EQ(effects.chats, std::vector<std::string>{"Tester has been mathematically eliminated from this match."});
}

TEST_F(MultiverseTest, DifficultyButtons)
{
    struct Case {
        bool mediumFile, hardFile;
        int beaten; // difficulties beaten so far: 0 none, 1 Easy, 2 Easy and Medium
        bool nukeBattle;
        bool medium, hard;
    };
    const Case cases[] = {
        {false, false, 2, true, false, false}, {true, true, 0, true, false, false},
        {true, true, 1, true, true, false},    {true, false, 2, true, true, false},
        {true, true, 2, true, true, true},     {false, false, 0, false, true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        world.levelPath = "Level\\s_ar_buttons" + std::to_string(n++) + ".flevel";
        if (c.mediumFile)
            Touch(MultiverseMatchMode::RecordingPath(world.levelPath, 1));
        if (c.hardFile)
            Touch(MultiverseMatchMode::RecordingPath(world.levelPath, 2));
        LevelStats stats;
        stats.fileName = GetFileTitle(world.levelPath, true);
        for (int level = 0; level < c.beaten; ++level)
            CurrentProfile().SaveSkillLevel(stats, level);
        ScopedConsoleInt nuke("nukebattle", c.nukeBattle ? 1 : 0);
        const std::array<bool, 3> enabled = mode.EnabledDifficulties();
        EXPECT_TRUE(enabled[0]);
        EXPECT_EQ(enabled[1], c.medium);
        EXPECT_EQ(enabled[2], c.hard);
    }
    EXPECT_EQ(MultiverseMatchMode::RecordingPath("Level\\UGC\\x_ar_y.flevel", 0), "Level\\Battles\\fm_x_ar_y.flimbs");

    // The panel: START plays Easy; a disabled button is dark and does nothing.
    PrimContainer panel;
    auto* start = new TextButton("START");
    start->SetName("START");
    panel.AddChild(start);
    world.levelPath = "Level\\s_ar_buttons1.flevel";
    mode.BuildPreGamePanel(&panel);
    start->Click();
    EXPECT_EQ(effects.battleSkills, std::vector<int>{0});
    auto* medium = dynamic_cast<IconButton*>(panel.FindChild("Medium"));
    ASSERT_NE(medium, nullptr);
    EXPECT_FALSE(medium->enabled);
    EXPECT_EQ(medium->textColour, 0xFF404040u);
    medium->Click();
    EXPECT_EQ(effects.battleSkills.size(), 1u);
    auto* easy = dynamic_cast<IconButton*>(panel.FindChild("Easy"));
    ASSERT_NE(easy, nullptr);
    EXPECT_EQ(easy->textColour, 0xFF808080u);
    easy->Click();
    EXPECT_EQ(effects.battleSkills, (std::vector<int>{0, 0}));
    EXPECT_NE(panel.FindChild("vs_lab"), nullptr);
}

TEST_F(MultiverseTest, BadDifficultiesAndGroupsAreRefused)
{
    LogCapture log;
    EXPECT_TRUE(mode.SetDifficulty(2));
    for (int bad : {-1, 3, 1000}) {
        EXPECT_FALSE(mode.SetDifficulty(bad));
        EXPECT_EQ(mode.difficulty, 2);
    }
    EXPECT_TRUE(log.Contains("WARNING: BATTLESKILL 3 is no difficulty; ignored"));
    for (const char* group : {"8", "-1"}) {
        SCOPED_TRACE(group);
        mode.flimbMasterGroup = 4;
        ReadModeStateDocument(mode, std::string("<game-mode-state><gamemode_data><fm_group>") + group +
                                        "</fm_group></gamemode_data></game-mode-state>");
        EXPECT_EQ(mode.flimbMasterGroup, 1);
        EXPECT_EQ(world.flimbMasterGroup, 1);
    }
    EXPECT_TRUE(log.Contains("WARNING: fm_group 8 names no group; the FlimbMaster plays group 1"));
    ReadModeStateDocument(mode, "<game-mode-state><gamemode_data><fm_group>x</fm_group></gamemode_data></game-mode-state>");
    EXPECT_EQ(mode.flimbMasterGroup, 0) << "no number reads 0, as every option does";
    ReadModeStateDocument(mode, "<game-mode-state><gamemode_data><fm_group>6</fm_group><shiftFlimb>1</shiftFlimb>"
                                "</gamemode_data></game-mode-state>");
    EXPECT_EQ(mode.flimbMasterGroup, 6);
    EXPECT_TRUE(mode.shift);
    EXPECT_TRUE(mode.modifiers.empty()) << "no HUD, no shift modifier";
}

TEST_F(MultiverseTest, TheOtherUniverseCountsFromTenThousand)
{
    world.nextFlimbId = 3;
    EXPECT_EQ(mode.NextFlimbId(1, 1, 0, 0), 10000u);
    EXPECT_EQ(mode.NextFlimbId(1, 0, 0, 0), 3u);
    EXPECT_EQ(mode.NextFlimbId(0, 1, 0, 0), 10001u);
    world.AddFlimb(10002, 1);
    LogCapture log;
    EXPECT_EQ(mode.NextFlimbId(0, 1, 0, 0), 10002u) << "the scheme holds; the collision is logged";
    EXPECT_TRUE(log.Contains("flimb id 10002 of the other universe is already in use"));
    mode.CreateStatsWidget(nullptr);
    EXPECT_EQ(mode.NextFlimbId(0, 1, 0, 0), 10000u) << "counting starts over with the level";
    world.multiplayer = true;
    EXPECT_EQ(mode.NextFlimbId(0, 1, 0, 0), 4u);
}

TEST_F(MultiverseTest, SabotageFlimbs)
{
    struct Case {
        bool sabotage, big;
        bool inPlay;
        float size;
    };
    const Case cases[] = {{false, false, false, 1.0f}, {true, false, true, 1.0f}, {true, true, true, 2.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sabotage << c.big);
        world.flimbs.clear();
        world.AddFlimb(5, 0, 900.0f, 50.0f).marks = kFlimbMarkSpecial; // in group 1's strip
        MultiverseMatchMode race;
        race.sabotage = c.sabotage;
        race.bigSabotage = c.big;
        race.CreateStatsWidget(nullptr);
        race.StartMatch();
        EXPECT_EQ(FakeMatchWorld::IsLive(*world.Any(5)), c.inPlay);
        EXPECT_FLOAT_EQ(world.Any(5)->sizeFactor, c.size);
        EXPECT_EQ(race.sabotageIds[0][1], c.sabotage ? 5 : -1);
    }
    // Its death is announced by the host of a match between players.
    world.multiplayer = true;
    world.AddPlayer(0, 0, "Ann");
    world.AddPlayer(1, 1, "Bo");
    world.flimbs.clear();
    world.AddFlimb(5, 0, 900.0f, 50.0f).marks = kFlimbMarkSpecial;
    world.AddFlimb(6, 1, 100.0f, 50.0f).marks = kFlimbMarkSpecial;
    mode.sabotage = true;
    mode.CreateStatsWidget(nullptr);
    mode.StartMatch();
    EXPECT_EQ(mode.sabotageIds[1][0], 6);
    world.KillFlimb(5);
    mode.OnFlimbDied(5);
    EXPECT_EQ(effects.chats, std::vector<std::string>{"Sabotage flimb for group 0 in group 1's universe is dead!"});
    world.Any(6)->flags2 = 1;
    world.KillFlimb(6);
    mode.OnFlimbDied(6);
    EXPECT_EQ(effects.chats.size(), 1u) << "a flimb flagged out of the notice";
}

TEST_F(MultiverseTest, TheFlimbMasterRecordingAndTheRace)
{
    mode.SetDifficulty(MultiverseMatchMode::kHard);
    world.startWaiting[0] = 2;
    world.tallies[0].points = 500;
    world.highestValue = 1000;
    world.SetInPlay(1, 1);
    mode.CreateStatsWidget(nullptr);
    mode.StartMatch();
    EXPECT_EQ(effects.slotClears, 1);
    EXPECT_EQ(effects.loadRequests, std::vector<std::string>{"Level\\Battles\\fm_s_ar_race-h.flimbs"});
    EXPECT_EQ(mode.startPotential, 2500);
    EXPECT_EQ(mode.Potential(0), 2500);

    // Scores are the points of the flimbs brought home; the first one is remembered.
    world.updateCounter = 40;
    world.AddFlimb(3, 0).points = 700;
    mode.OnGoalReached(0, 3);
    world.updateCounter = 50;
    mode.OnGoalReached(0, 3);
    EXPECT_EQ(mode.scores[0], 1400);
    EXPECT_EQ(mode.firstScore[0], 40u);

    // The race widget shows the FlimbMaster and the local group.
    std::vector<GameModeStatsWidget*> widgets;
    mode.AddHudStatIcons(widgets);
    ASSERT_EQ(widgets.back(), mode.StatsWidget());
    EXPECT_EQ(mode.StatsWidget()->ScoresText(), "Current Scores:\nGreen - 0");
    world.AddPlayer(0, 0, "Tester");
    mode.StatsWidget()->Refresh();
    EXPECT_EQ(mode.StatsWidget()->ScoresText(), "Current Scores:\nBlue - 1400\nGreen - 0");

    // The match waits for the FlimbMaster's flimbs.
    world.startWaiting[0] = 0;
    world.SetInPlay(0, 0);
    EXPECT_FALSE(mode.IsMatchOver());
    world.SetInPlay(1, 0);
    EXPECT_TRUE(mode.IsMatchOver());

    // A win at Hard is recorded in the profile and praised.
    world.editorTest = false;
    mode.GameOver();
    EXPECT_EQ(world.matchResult, kResultSingleWon);
    bool beaten[3] = {};
    LevelStats stats;
    stats.fileName = "s_ar_race";
    CurrentProfile().GetSkillLevel(stats, beaten);
    EXPECT_TRUE(beaten[2]);
    EXPECT_EQ(effects.notices.back(), "Impressive.");
    const std::vector<GroupStats> table = mode.BuildResultTable();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].group, 0);
    EXPECT_EQ(table[1].group, 1);
    EXPECT_EQ(table[0].rows[1]->kind, kStatScore);
    EXPECT_EQ(table[0].rows[1]->value, 1400);
    EXPECT_EQ(table[0].rows[2]->value, 40);

    // A playback brings its own recordings along.
    world.playback = true;
    effects.loadRequests.clear();
    mode.StartMatch();
    EXPECT_TRUE(effects.loadRequests.empty());
    EXPECT_FALSE(mode.IsSinglePlayerAid()) << "Hard is no aid";
    mode.SetDifficulty(0);
    EXPECT_TRUE(mode.IsSinglePlayerAid());
}

TEST_F(MultiverseTest, TheScoreMetersShowTheRace)
{
    auto* race = dynamic_cast<MultiverseMatchMode*>(CreateCurrentGameMode(4));
    ASSERT_NE(race, nullptr);
    race->scores[1] = 300;
    world.highestValue = 100;
    world.startWaiting[0] = 2;
    world.tallies[1].points = 50;
    ScoreMeter meter(1, 4);
    meter.Refresh();
    EXPECT_EQ(meter.current, 300);
    EXPECT_EQ(meter.maximum, 350);
    EXPECT_EQ(meter.scaleMaximum, 350);
    EXPECT_EQ(meter.waitingAll, 200);
}

TEST_F(MultiverseTest, OptionChangesAreAnnouncedAndSent)
{
    effects.hasClient = true;
    CheckBox box;
    box.SetName("sabotage_flimbs");
    box.SetChecked(true, false, false);
    mode.ApplyOptionChange(&box);
    EXPECT_TRUE(mode.sabotage);
    EXPECT_EQ(effects.chats, std::vector<std::string>{"Sabotage flimbs are now ENABLED"});
    mode.ApplyOptionChange(&box);
    EXPECT_EQ(effects.chats.size(), 1u) << "no change, no announcement";
    EXPECT_EQ(effects.modeStates.size(), 2u);
    EXPECT_NE(effects.modeStates[0].find("<sabotage_flimbs>1</sabotage_flimbs>"), std::string::npos);
    EXPECT_NE(effects.modeStates[0].find("<fm_group>1</fm_group>"), std::string::npos);
    EXPECT_EQ(mode.GetObjectiveText(), "Beam up more flimb energy than the other groups.");
}

} // namespace
