// The turn mode on the fake world and the real profile: the active group, the turn
// recordings and the "qloop" record, the ids of the flimbs that traps release, the orders
// a turn records, and the group picker.
#include "../support/FakeMatch.h"
#include "../support/DynamicType.h"
#include "../support/LogCapture.h"

#include "app/PlayerProfile.h"
#include "app/UserFolders.h"
#include "gui/GraphicButtons.h"
#include "gui/PrimContainer.h"
#include "modes/GameModeStatsWidget.h"
#include "modes/HorzGroupSelect.h"
#include "modes/QuantumLoopMode.h"
#include "modes/ScorePanels.h"

#include <filesystem>
#include <fstream>
#include <typeinfo>

namespace {

class QuantumLoopTest : public MatchFixture {
protected:
    void SetUp() override
    {
        MatchFixture::SetUp();
        SetProgramFolder(FLIMBS_GAME_DIR);
        CurrentProfile().Load(std::string("Loop") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        world.levelPath = "Level\\s_tl_loop.flevel";
        world.EnableGroups({0, 1, 2});
    }
    static void Touch(const std::string& gamePath)
    {
        const std::filesystem::path path = GetUserPath(gamePath);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }
    static bool Exists(const std::string& gamePath) { return std::filesystem::exists(GetUserPath(gamePath)); }
};

TEST_F(QuantumLoopTest, TrapFlimbsGetTheSameIdsInEveryTurn)
{
    world.startTraps = {{11, 0, 0.0f, 0.0f}, {12, 1, 0.0f, 0.0f}};
    world.copierIds = {30};
    auto run = [&] {
        world.nextFlimbId = 7;
        QuantumLoopMode mode;
        return std::vector<uint32_t>{mode.NextFlimbId(1, 0, 11, 0), mode.NextFlimbId(1, 1, 12, 3),
                                     mode.NextFlimbId(1, 0, 30, 2), mode.NextFlimbId(1, 0, 99, 0),
                                     mode.NextFlimbId(1, 0, 11, 1)};
    };
    const std::vector<uint32_t> first = run();
    EXPECT_EQ(first, (std::vector<uint32_t>{100, 1103, 2102, 7, 101}));
    EXPECT_EQ(run(), first);
    world.multiplayer = true;
    QuantumLoopMode shared;
    EXPECT_EQ(shared.NextFlimbId(1, 0, 11, 0), 8u) << "between players the counter hands out ids";

    world.multiplayer = false;
    world.AddFlimb(1103, 1);
    LogCapture log;
    QuantumLoopMode again;
    EXPECT_EQ(again.NextFlimbId(1, 1, 12, 3), 1103u);
    EXPECT_TRUE(log.Contains("flimb id 1103 of trap 12 is already in use"));
}

TEST_F(QuantumLoopTest, OrdersTheTurnRecords)
{
    world.AddFlimb(40, 0);
    world.AddFlimb(41, 1);
    QuantumLoopMode mode;
    mode.activeGroup = 0;
    auto order = [](uint8_t kind, int32_t flimb, uint8_t subKind, size_t length) {
        std::vector<uint8_t> record(length, 0);
        record[0] = kind;
        if (length > 7) {
            record[6] = uint8_t(flimb);
            record[7] = uint8_t(flimb >> 8);
        }
        if (length > 9)
            record[9] = subKind;
        return record;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> record;
        bool accepted;
    };
    const Case cases[] = {
        {"highlight of an active flimb", order(5, 40, 0, 12), true},
        {"highlight of another group's flimb", order(5, 41, 0, 12), false},
        {"highlight of a vanished flimb", order(5, 99, 0, 12), true},
        {"a whole group going SuperNova", order(2, 40, 'B', 16), false},
        {"a type change", order(2, 41, 'x', 16), true},
        {"a short highlight", order(5, 41, 0, 8), true},
        {"an update", order(4, 0, 0, 6), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mode.AcceptCommand(c.record.data(), c.record.size()), c.accepted) << c.what;
    EXPECT_TRUE(mode.AcceptCommand(nullptr, 0));

    EXPECT_TRUE(mode.MayIssueMorph(40, 1));
    EXPECT_FALSE(mode.MayIssueMorph(41, 0));
    EXPECT_TRUE(effects.notices.empty());
    EXPECT_FALSE(mode.MayIssueMorph(41, 1));
    EXPECT_EQ(effects.notices, std::vector<std::string>{"You can only issue morphs to the active group."});
    EXPECT_TRUE(mode.AcceptsFlimb(0));
    EXPECT_FALSE(mode.AcceptsFlimb(40));
}

TEST_F(QuantumLoopTest, TheActiveGroupIsTheFirstWhoseTurnIsNotDone)
{
    struct Case {
        std::vector<int> done;
        int active;
    };
    const Case cases[] = {{{}, 0}, {{0}, 1}, {{0, 2}, 1}, {{0, 1, 2}, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.done.size());
        CurrentProfile().RemoveQloopRecord("s_tl_loop");
        for (int g : c.done)
            CurrentProfile().SaveQloopGroup("s_tl_loop", g);
        effects.teamChanges.clear();
        QuantumLoopMode mode;
        mode.CreateStatsWidget(nullptr);
        EXPECT_EQ(mode.activeGroup, c.active);
        EXPECT_EQ(mode.GetActiveGroup(), c.active);
        EXPECT_EQ(effects.teamChanges, std::vector<int>{c.active});
        EXPECT_EQ(mode.levelName, "s_tl_loop");
    }
    // A level without groups has no active group; a recorded match sends no change.
    world.stats[0].enabled = world.stats[1].enabled = world.stats[2].enabled = false;
    world.recordedPlayback = true;
    effects.teamChanges.clear();
    QuantumLoopMode none;
    none.CreateStatsWidget(nullptr);
    EXPECT_EQ(none.activeGroup, kNoGroup);
    EXPECT_TRUE(effects.teamChanges.empty());
    world.localGroup = 2;
    none.StartMatch();
    EXPECT_EQ(none.activeGroup, 2) << "a recorded match plays the local group";
}

TEST_F(QuantumLoopTest, ATurnWithoutOrdersLeavesNoRecording)
{
    QuantumLoopMode mode;
    mode.CreateStatsWidget(nullptr);
    ASSERT_EQ(mode.activeGroup, 0);
    mode.SaveProgress();
    EXPECT_TRUE(effects.playbackRequests.empty());
    EXPECT_FALSE(CurrentProfile().LoadQloopGroup("s_tl_loop")[0]);

    world.stats[0].actions[3] = 2; // two Drill orders
    QuantumLoopMode played;
    played.CreateStatsWidget(nullptr);
    played.StartMatch();
    played.GameOver();
    EXPECT_EQ(effects.playbackRequests.front(), played.TurnRecordingPath(0));
    EXPECT_EQ(played.TurnRecordingPath(0),
              CurrentProfile().GetPath() + "\\Playbacks\\Abnormal\\s_tl_loop0.flimbs");
    EXPECT_TRUE(CurrentProfile().LoadQloopGroup("s_tl_loop")[0]);
    EXPECT_TRUE(played.turnDone[0]);
    EXPECT_EQ(world.matchResult, kResultSingleWon) << "no exits: nothing is missing";
}

TEST_F(QuantumLoopTest, StartReplaysTheOtherTurnsAndClearRemovesThem)
{
    QuantumLoopMode mode;
    mode.CreateStatsWidget(nullptr);
    for (int g : {0, 1, 2, 5})
        Touch(mode.TurnRecordingPath(g));
    CurrentProfile().SaveQloopGroup("s_tl_loop", 2);
    mode.activeGroup = 1;
    mode.StartMatch();
    EXPECT_EQ(effects.slotClears, 1);
    EXPECT_EQ(effects.loadRequests, (std::vector<std::string>{mode.TurnRecordingPath(0), mode.TurnRecordingPath(2),
                                                              mode.TurnRecordingPath(5)}));

    // The group picker: one button per enabled group; the Clear button.
    PrimContainer panel;
    mode.turnDone[2] = true;
    mode.BuildPreGamePanel(&panel);
    HorzGroupSelect* picker = mode.Picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->Selected(), 1);
    EXPECT_TRUE(picker->ShowsDone(2));
    ASSERT_NE(picker->ButtonOf(2), nullptr);
    EXPECT_EQ(picker->ButtonOf(3), nullptr);
    effects.teamChanges.clear();
    picker->ButtonOf(2)->Click();
    EXPECT_EQ(mode.activeGroup, 2);
    EXPECT_EQ(picker->Selected(), 2);
    EXPECT_EQ(effects.teamChanges, std::vector<int>{2});

    auto* clear = dynamic_cast<Button*>(panel.FindChild("Clear"));
    ASSERT_NE(clear, nullptr);
    clear->Click();
    for (int g = 0; g < 8; ++g)
        EXPECT_FALSE(Exists(mode.TurnRecordingPath(g))) << g;
    EXPECT_EQ(CurrentProfile().LoadQloopGroup("s_tl_loop"), (std::array<bool, 8>{}));
    EXPECT_FALSE(picker->ShowsDone(2));
    EXPECT_EQ(effects.teamChanges, (std::vector<int>{2, 2}));

    // The saved match holds every turn recording there is.
    Touch(mode.TurnRecordingPath(1));
    effects.loadRequests.clear();
    EXPECT_EQ(mode.SaveMatchRecording("Profiles\\x\\Playbacks\\all.flimbs"), "Profiles\\x\\Playbacks\\all.flimbs");
    EXPECT_EQ(effects.loadRequests, std::vector<std::string>{mode.TurnRecordingPath(1)});
}

TEST_F(QuantumLoopTest, ExitsThatCountDecideAndTheActiveGroupShows)
{
    world.AddExit(0, 1, 3).enabled = false;
    world.AddExit(1, 0, 2).countsTowardGoal = false;
    world.AddExit(2, 4, 4);
    QuantumLoopMode mode;
    mode.CreateStatsWidget(nullptr);
    mode.GameOver();
    EXPECT_EQ(world.matchResult, kResultSingleWon);
    world.exits[2].saved = 3;
    QuantumLoopMode shortOfOne;
    shortOfOne.GameOver();
    EXPECT_EQ(world.matchResult, kResultSingleLost);

    mode.qdotCounts = {1, 2, 0, 0, 0, 0, 0, 4};
    EXPECT_EQ(mode.GetLocalQdotCount(), 7);
    std::vector<GameModeStatsWidget*> widgets;
    mode.AddHudStatIcons(widgets);
    GameModeStatsWidget* icon = mode.ActiveIcon();
    ASSERT_EQ(widgets.back(), icon);
    EXPECT_EQ(icon->GetText(), "ACTIVE");
    EXPECT_EQ(icon->IconName(), "Graphics\\HUD\\InGame\\stat_flimb_blue.png");
    mode.activeGroup = 2;
    widgets.clear();
    mode.AddHudStatIcons(widgets);
    EXPECT_EQ(icon->IconName(), "Graphics\\HUD\\InGame\\stat_flimb_red.png");
    EXPECT_EQ(icon->Colour(), 0xFFFF4444u);
    EXPECT_EQ(DynamicType(mode.CreateScorePanel()), typeid(QuantumLoopScore));

    // With no active flimbs left the player is asked to go SuperNova, once.
    effects.notices.clear();
    mode.StartMatch();
    mode.UpdateMessages();
    mode.UpdateMessages();
    ASSERT_EQ(effects.notices.size(), 1u);
    EXPECT_EQ(effects.notices[0].find("There are no more active flimbs remaining.  Press "), 0u);
}

} // namespace
