// The statistics snapshot read from the running game: the controller's players, the match
// world's result and clock, the current mode's rows and Qdots, the console settings, the
// level file's hash and the match facts of the session.
#include "../support/FakeMatch.h"
#include "../support/ControllerPlayers.h"
#include "../support/ScopedConsoleInt.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"
#include "session/MatchStats.h"

#include <gtest/gtest.h>

namespace {

class StatsSnapshotTest : public MatchFixture {
protected:
    void SetUp() override
    {
        MatchFixture::SetUp();
        ResetControllerPlayers();
        auto memory = std::make_unique<MemoryFileManager>();
        const std::string level = "<flimbs-level hash=\"43FF92B5\"><globals/></flimbs-level>";
        memory->AddFile("Level\\snap.flevel", level.data(), level.size());
        files.AddMember(std::move(memory));
        fileManager = &files;
    }
    void TearDown() override
    {
        SetStatsMatchFacts(SessionStatsMatchFacts());
        fileManager = nullptr;
        ResetControllerPlayers();
        MatchFixture::TearDown();
    }

    FileManager files;
};

TEST_F(StatsSnapshotTest, GathersPlayersRowsAndSettings)
{
    AddControllerPlayer(2, false, true);
    AddFreeControllerSlot();
    AddControllerPlayer(5, true, false);
    SetControllerSessionNetworked(true);

    world.localGroup = 2;
    world.matchResult = 6;
    world.updateCounter = 1234;
    GameMode* mode = CreateCurrentGameMode(6);
    ASSERT_NE(mode, nullptr);
    mode->qdotTotal = 4;
    mode->qdotCounts[2] = 3;

    StatsMatchFacts facts;
    facts.account = [](const PlayerRecord&, bool isLocal) {
        return StatsAccount{isLocal ? "me" : "them", isLocal ? "pw" : "", "id"};
    };
    facts.matchGuid = [] { return std::string("00112233-4455-6677-8899-aabbccddeeff"); };
    facts.userLevel = [] { return true; };
    SetStatsMatchFacts(facts);
    ScopedConsoleInt port("connectPORT", 4000);
    ScopedConsoleInt ranked("statsmatch", 1);
    ConsoleParam::Find("servername")->SetString("Den");

    const StatsSnapshot match = GatherStatsSnapshot("Level\\snap.flevel");
    ConsoleParam::Find("servername")->SetString("");

    ASSERT_EQ(match.players.size(), 2u);
    EXPECT_EQ(match.players[0].slot, 0);
    EXPECT_TRUE(match.players[0].local);
    EXPECT_EQ(match.players[0].group, 2);
    EXPECT_EQ(match.players[0].userName, "me");
    EXPECT_EQ(match.players[0].password, "pw");
    EXPECT_EQ(match.players[1].slot, 2);
    EXPECT_TRUE(match.players[1].spectator);
    EXPECT_EQ(match.players[1].userName, "them");
    EXPECT_EQ(match.localGroup, 2);
    EXPECT_TRUE(match.multiplayer);
    EXPECT_EQ(match.matchGuid, "00112233-4455-6677-8899-aabbccddeeff");
    EXPECT_TRUE(match.userLevel);
    EXPECT_EQ(match.modeIndex, 6);
    EXPECT_EQ(match.result, 6);
    EXPECT_EQ(match.updateCount, 1234u);
    EXPECT_EQ(match.qdotCount, 3);
    EXPECT_EQ(match.qdotTotal, 4);
    EXPECT_EQ(match.serverName, "Den");
    EXPECT_EQ(match.connectPort, 4000u);
    EXPECT_EQ(match.statsMatch, 1u);
    EXPECT_EQ(match.levelHash, "43FF92B5");

    // The mode's rows of every player's group and of the local one; the time row carries
    // the update counter.
    const GroupStats expected = mode->AddEndOfMatchStats(2);
    ASSERT_EQ(match.groupRows[2].size(), expected.rows.size());
    for (size_t i = 0; i < expected.rows.size(); ++i) {
        EXPECT_EQ(match.groupRows[2][i].kind, expected.rows[i]->kind);
        EXPECT_EQ(match.groupRows[2][i].value, expected.rows[i]->value);
    }
    EXPECT_FALSE(match.groupRows[5].empty());
    EXPECT_TRUE(match.groupRows[0].empty());
}

TEST_F(StatsSnapshotTest, WithoutModeOrFactsTheDefaultsHold)
{
    AddControllerPlayer(0, false, true);
    const StatsSnapshot first = GatherStatsSnapshot("Level\\missing.flevel");
    EXPECT_EQ(first.modeIndex, 7);
    EXPECT_TRUE(first.groupRows[0].empty());
    EXPECT_TRUE(first.levelHash.empty());
    EXPECT_FALSE(first.multiplayer);
    EXPECT_FALSE(first.userLevel);
    EXPECT_TRUE(first.players[0].playerId.empty());
    // One match GUID until the next game start renews it.
    EXPECT_EQ(first.matchGuid.size(), 36u);
    EXPECT_EQ(GatherStatsSnapshot("").matchGuid, first.matchGuid);
    RenewDefaultMatchGuid();
    EXPECT_NE(GatherStatsSnapshot("").matchGuid, first.matchGuid);
}

} // namespace
