// The game's match world (no world installed by the test): what the rules read of the
// controller and write back to it.
#include "../support/TestWorld.h"

#include "game/GameController.h"
#include "modes/MatchWorld.h"

#include <gtest/gtest.h>

namespace {

TEST(GameMatchWorld, ReadsThePlayersAndLevelAndPublishesTheResultToTheController)
{
    TestWorld world;
    SetMatchWorld(nullptr);
    MatchWorld& match = CurrentMatchWorld();
    PlayerRecord& local = world.AddLocalPlayer();
    local.id = 0;
    local.group = 1;
    local.name = "Ann";
    auto watcher = std::make_unique<PlayerRecord>();
    watcher->id = 3;
    watcher->group = 254;
    watcher->spectator = 1;
    watcher->name = "Bob";
    Controller().players.push_back(std::move(watcher));
    Controller().levelFile = "s_dm_dig_and_build.flevel";

    const std::vector<MatchPlayer> players = match.Players();
    ASSERT_EQ(players.size(), 2u);
    EXPECT_EQ(players[0].number, 0);
    EXPECT_EQ(players[0].group, 1);
    EXPECT_EQ(players[0].name, "Ann");
    EXPECT_FALSE(players[0].spectator);
    EXPECT_EQ(players[1].number, 3);
    EXPECT_TRUE(players[1].spectator);
    EXPECT_FALSE(match.LocalIsSpectator());
    local.spectator = 1;
    EXPECT_TRUE(match.LocalIsSpectator());
    EXPECT_EQ(match.LevelPath(), "s_dm_dig_and_build.flevel");

    match.SetMatchResult(6);
    EXPECT_EQ(Controller().matchResult, 6) << "the end screens read the controller";
    Controller().matchResult = -1;
    EXPECT_EQ(match.MatchResult(), -1);
}

} // namespace
