// The session's facts in the statistics reports: every player's account and profile GUID,
// one match GUID from the session for every report of the match, user levels.
#include "../support/TestWorld.h"

#include "app/Uuid.h"
#include "game/GameController.h"
#include "session/ClientCommandState.h"
#include "session/MatchStats.h"
#include "session/SessionGame.h"

#include <gtest/gtest.h>

namespace {

// A session game whose loaded level the test names.
struct NamedLevelGame final : SessionGameState {
    void Name(const std::string& path) { loaded_.path = path; }
};

class StatsFacts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetCommandState();
        SetStatsMatchFacts(SessionStatsMatchFacts());
    }
    void TearDown() override
    {
        SetSessionGame(nullptr);
        ResetCommandState();
    }
    PlayerRecord& AddPlayer(uint8_t id, uint8_t team)
    {
        auto player = std::make_unique<PlayerRecord>();
        player->id = id;
        player->team = team;
        Controller().players.push_back(std::move(player));
        return *Controller().players.back();
    }
    TestWorld world;
};

TEST_F(StatsFacts, EveryPlayerIsReportedWithAccountAndProfileGuid)
{
    PlayerRecord& local = world.AddLocalPlayer();
    local.team = 0;
    local.accountName = "ann";
    local.accountPassword = "secret";
    PlayerRecord& other = AddPlayer(1, 1);
    other.accountName = "bob";
    other.accountPassword = "pw";
    const UuidBytes profile = {0x10, 0x32, 0x54, 0x76, 0x98, 0xba, 0xdc, 0xfe, 1, 2, 3, 4, 5, 6, 7, 8};
    other.profileId = profile;
    AddPlayer(2, 1); // no account, no profile yet

    const StatsSnapshot match = GatherStatsSnapshot("");
    ASSERT_EQ(match.players.size(), 3u);
    EXPECT_EQ(match.players[0].userName, "ann");
    EXPECT_EQ(match.players[0].password, "secret");
    EXPECT_TRUE(match.players[0].playerId.empty()) << "no profile id came";
    EXPECT_EQ(match.players[1].userName, "bob") << "another player's account is reported too";
    EXPECT_EQ(match.players[1].password, "pw");
    EXPECT_EQ(match.players[1].playerId, UuidToString(profile));
    EXPECT_TRUE(match.players[2].userName.empty());
}

TEST_F(StatsFacts, TheMatchGuidIsTheSessionsAndStaysForTheMatch)
{
    const std::string before = GatherStatsSnapshot("").matchGuid;
    EXPECT_EQ(before.size(), 36u) << "a default GUID until the session names one";
    const UuidBytes session = NewUuid();
    CommandState().sessionId = session;
    const std::string start = GatherStatsSnapshot("").matchGuid;
    RenewDefaultMatchGuid();
    const std::string end = GatherStatsSnapshot("").matchGuid;
    EXPECT_EQ(start, UuidToString(session));
    EXPECT_EQ(end, start) << "game start and game over report one match";
}

TEST_F(StatsFacts, ALevelOfTheUserFolderIsAUserLevel)
{
    NamedLevelGame game;
    SetSessionGame(&game);
    EXPECT_FALSE(GatherStatsSnapshot("").userLevel);
    game.Name("Level\\UGC\\mine.flevel");
    EXPECT_TRUE(GatherStatsSnapshot("").userLevel);
    game.Name("Level\\s_dm_first_steps.flevel");
    EXPECT_FALSE(GatherStatsSnapshot("").userLevel);
}

} // namespace
