// The rescue and the co-operative modes on table fixtures: results, the per-update checks
// and notices, the tracked group and the objective texts.
#include "../support/FakeMatch.h"

#include "modes/CorralTheFlimbMode.h"
#include "modes/SuperSynergyMode.h"

namespace {

class CorralTest : public MatchFixture {
protected:
    void SetUp() override
    {
        MatchFixture::SetUp();
        world.editorTest = true; // results only; GameOverTest covers the profile
    }
    // A multiplayer match of the groups with the given saved counts (-1: no players).
    void Match(const std::vector<int32_t>& saved, int local)
    {
        world.multiplayer = true;
        world.localGroup = local;
        for (size_t g = 0; g < saved.size(); ++g)
            if (saved[g] >= 0) {
                world.AddPlayer(int(g), int(g), "player" + std::to_string(g));
                world.AddExit(int(g), saved[g], 0);
            }
    }
    CorralTheFlimbMode mode;
};

TEST_F(CorralTest, MultiplayerResults)
{
    struct Case {
        const char* what;
        std::vector<int32_t> saved;
        int local;
        int result;
    };
    const std::vector<Case> cases = {
        {"clear win", {5, 2, -1, 1}, 0, 1},
        {"behind", {5, 2, -1, 1}, 1, 2},
        {"shared best", {4, 4, 1}, 1, 3},
        {"shared best seen by a third", {4, 4, 1}, 2, 2},
        {"nobody saved", {0, 0, 0}, 2, 4},
        {"a group without players does not count", {0, 0, -1, -1}, 0, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMatchWorld fresh;
        world = fresh;
        world.editorTest = true;
        Match(c.saved, c.local);
        CorralTheFlimbMode match;
        match.GameOver();
        EXPECT_EQ(world.matchResult, c.result);
    }
}

TEST_F(CorralTest, SinglePlayerResults)
{
    struct Case {
        const char* what;
        bool enabled;
        bool active;
        int32_t saved;
        int result;
    };
    const Case cases[] = {{"met", true, true, 4, 6},
                          {"short", true, true, 3, 5},
                          {"short but disabled", false, true, 3, 6},
                          {"short but inactive", true, false, 3, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        world.exits.clear();
        world.AddExit(0, 9, 2);
        ExitInfo& exit = world.AddExit(0, c.saved, 4);
        exit.enabled = c.enabled;
        exit.active = c.active;
        CorralTheFlimbMode match;
        match.GameOver();
        EXPECT_EQ(world.matchResult, c.result);
    }
}

TEST_F(CorralTest, ATrapResultIsPublishedMirrored)
{
    Match({3, 1}, 1);
    mode.SetResult(1, 0);
    mode.GameOver();
    EXPECT_EQ(world.matchResult, 2);
    EXPECT_EQ(effects.music, (std::vector<std::string>{"multi_lose00.ogg"}));
    EXPECT_EQ(effects.endScreens.size(), 1u) << "the base GameOver runs once";
}

TEST_F(CorralTest, NotEnoughFlimbsOnTheThirdUpdateInARow)
{
    world.AddExit(0, 0, 10);
    world.SetInPlay(0, 4);
    world.startWaiting[0] = 3;
    mode.StartMatch();
    auto update = [&] { mode.UpdateMessages(); };
    update();
    update();
    EXPECT_TRUE(effects.notices.empty());
    world.startWaiting[0] = 6; // one update on which the level can still be passed
    update();
    world.startWaiting[0] = 3;
    update();
    update();
    EXPECT_TRUE(effects.notices.empty());
    update();
    ASSERT_EQ(effects.notices, (std::vector<std::string>{"You do not have enough flimbs left to pass this puzzle."}));
    EXPECT_EQ(effects.effects, (std::vector<int>{12}));
    EXPECT_TRUE(mode.loseCheckFinished);
    update();
    EXPECT_EQ(effects.notices.size(), 1u);
}

TEST_F(CorralTest, WhatCountsAsAvailable)
{
    struct Case {
        const char* what;
        int32_t required;
        bool anyGroupExit;
        int32_t actionsExtra;
        int32_t otherGroupFlimbs;
        bool shown;
    };
    const Case cases[] = {
        {"nothing required", 0, false, 0, 0, false},
        {"short", 8, false, 0, 5, true},
        {"an exit for every group counts the others", 8, true, 0, 5, false},
        {"flimbs an Actions trap adds", 8, false, 4, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMatchWorld fresh;
        world = fresh;
        ExitInfo& exit = world.AddExit(0, 2, c.required);
        exit.groupOnly = !c.anyGroupExit;
        world.SetInPlay(0, 2);
        world.SetInPlay(1, c.otherGroupFlimbs);
        world.actionsTraps = {{11, c.actionsExtra}, {3, 50}};
        effects.notices.clear();
        CorralTheFlimbMode match;
        match.StartMatch();
        for (int i = 0; i < 5; ++i)
            match.UpdateMessages();
        EXPECT_EQ(!effects.notices.empty(), c.shown);
    }
}

TEST_F(CorralTest, NoLoseCheckOnceTheGroupIsDoneOrForSpectators)
{
    world.AddExit(0, 0, 10);
    mode.StartMatch();
    world.done[0] = true;
    for (int i = 0; i < 4; ++i)
        mode.UpdateMessages();
    world.done[0] = false;
    world.spectator = true;
    for (int i = 0; i < 4; ++i)
        mode.UpdateMessages();
    EXPECT_TRUE(effects.notices.empty());
}

TEST_F(CorralTest, EliminationOnTheSecondUpdate)
{
    Match({20, 2, 0}, 1);
    world.SetInPlay(1, 3);
    world.startWaiting[2] = 4; // total 7: 2 + 7 < 20
    mode.StartMatch();
    mode.UpdateMessages();
    EXPECT_TRUE(effects.chats.empty());
    mode.UpdateMessages();
    ASSERT_EQ(effects.chats.size(), 1u);
    EXPECT_EQ(effects.chats[0], "Tester is now mathematically eliminated.. GIVE UP ALREADY :)");
    mode.UpdateMessages();
    EXPECT_EQ(effects.chats.size(), 1u);

    // Nothing left in play: no check at all.
    CorralTheFlimbMode idle;
    world.SetInPlay(1, 0);
    world.startWaiting[2] = 0;
    idle.StartMatch();
    idle.UpdateMessages();
    idle.UpdateMessages();
    EXPECT_EQ(effects.chats.size(), 1u);
}

TEST_F(CorralTest, StealNoticeOnce)
{
    Match({9, 1}, 1);
    world.SetInPlay(1, 3);
    world.copierWaiting[1] = 2; // own 5: 1 + 5 < 9
    mode.StartMatch();
    for (int i = 0; i < 3; ++i)
        mode.UpdateMessages();
    EXPECT_EQ(effects.chatLines, (std::vector<std::string>{"Tester now needs to steal flimbs in order to win."}));
    mode.StartMatch();
    mode.UpdateMessages();
    EXPECT_EQ(effects.chatLines.size(), 2u) << "a new match may tell again";

    CorralTheFlimbMode spectatorMode;
    world.spectator = true;
    spectatorMode.StartMatch();
    spectatorMode.UpdateMessages();
    EXPECT_EQ(effects.chatLines.size(), 2u);
}

TEST_F(CorralTest, TrackedGroupLeadsWithTheLowestNumberOnATie)
{
    Match({0, 0, 0}, 0);
    mode.StartMatch();
    mode.DecideResult();
    EXPECT_EQ(mode.GetTrackedGroup(), -1) << "a best of 0 leaves it unchanged";
    world.exits[1].saved = 4;
    world.exits[2].saved = 4;
    mode.DecideResult();
    EXPECT_EQ(mode.GetTrackedGroup(), 1);
}

TEST_F(CorralTest, ObjectiveTexts)
{
    world.AddExit(0, 0, 5);
    world.AddExit(1, 0, 7); // another group's exit is not the objective's
    EXPECT_EQ(mode.GetObjectiveText(), "5 Flimbs must be saved to pass") << "nothing waiting: no percentage";
    world.startWaiting[0] = 20;
    EXPECT_EQ(mode.GetObjectiveText(), "5 Flimbs must be saved to pass (25%)");
    world.multiplayer = true;
    EXPECT_EQ(mode.GetObjectiveText(), "Beam up more flimbs than any other group to win.  Stealing is allowed.");
}

using SuperSynergyTest = CorralTest;

TEST_F(SuperSynergyTest, RunningOutOfFlimbsLosesForEveryone)
{
    SuperSynergyMode synergy;
    synergy.GameOver();
    EXPECT_EQ(world.matchResult, 5);
    Match({1, 1}, 1);
    SuperSynergyMode match;
    match.GameOver();
    EXPECT_EQ(world.matchResult, 2);
}

TEST_F(SuperSynergyTest, TheLevelsVerdictIsShared)
{
    Match({1, 1}, 1);
    SuperSynergyMode synergy;
    synergy.SetResult(6, 0);
    synergy.GameOver();
    EXPECT_EQ(world.matchResult, 6) << "no mirroring between co-operating groups";
}

TEST_F(SuperSynergyTest, EndTestIsTheMultiplayerOne)
{
    SuperSynergyMode synergy;
    world.matchState = 1;
    world.particles = 11;
    EXPECT_FALSE(synergy.IsMatchOver()) << "more than 10 particles still pending";
    world.particles = 10;
    EXPECT_TRUE(synergy.IsMatchOver());
    world.startWaiting[3] = 1;
    EXPECT_FALSE(synergy.IsMatchOver());
    world.startWaiting[3] = 0;
    world.SetInPlay(2, 1);
    EXPECT_FALSE(synergy.IsMatchOver());
    world.SetInPlay(2, 0);
    world.matchState = 2;
    EXPECT_FALSE(synergy.IsMatchOver());
    synergy.SetResult(5, 255);
    EXPECT_TRUE(synergy.IsMatchOver());
}

} // namespace
