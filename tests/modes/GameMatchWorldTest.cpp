// The game's match world (no world installed by the test): what the rules read of the
// controller and write back to it.
#include "../support/TestWorld.h"

#include "app/GameClock.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "modes/MatchWorld.h"
#include "traps/ActionsTrap.h"
#include "traps/Trap.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

namespace {

Trap* AddGroupTrap(int32_t kind, uint8_t group)
{
    std::unique_ptr<Trap> made = Trap::Create(kind);
    Trap* trap = made.get();
    trap->SetGroup(group);
    trap->activated = 1;
    RegisterTrap(std::move(made));
    return trap;
}

struct ServerHere final : GameServerCommands {
    void BroadcastCreateFlimb(int32_t, int32_t, uint8_t, uint8_t) override {}
};

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

// The session's and the level's answers: the host is where a game server runs, a playback
// is the controller's playback state, a group is done once its order was given, copiers
// count when asked for, the universes are the groups in use, the Actions traps are listed.
TEST(GameMatchWorld, AnswersFromTheSessionTheControllerAndTheTraps)
{
    TestWorld world;
    SetMatchWorld(nullptr);
    const MatchWorld& match = CurrentMatchWorld();

    EXPECT_FALSE(match.IsHost()) << "no game server runs in this process";
    ServerHere server;
    SetGameServerCommands(&server);
    EXPECT_TRUE(match.IsHost());
    SetGameServerCommands(nullptr);

    EXPECT_FALSE(match.PlaybackRunning());
    EXPECT_FALSE(match.RecordedPlayback());
    Controller().playbackRunning = 1;
    EXPECT_TRUE(match.PlaybackRunning());
    EXPECT_TRUE(match.RecordedPlayback());
    Controller().playbackRunning = 0;

    EXPECT_FALSE(match.GroupDone(2));
    Controller().detonation[2] = 1;
    EXPECT_TRUE(match.GroupDone(2));
    EXPECT_FALSE(match.GroupDone(3));
    EXPECT_FALSE(match.GroupDone(-1));
    EXPECT_FALSE(match.GroupDone(8));

    EXPECT_EQ(match.CountEnabledGroups(), 0);
    Controller().groups[0].inUse = 1;
    Controller().groups[5].inUse = 1;
    EXPECT_EQ(match.CountEnabledGroups(), 2);

    AddGroupTrap(kTrapStart, 1)->SetFlimbsLeft(4);
    AddGroupTrap(kTrapStart, 2)->SetFlimbsLeft(3);
    AddGroupTrap(kTrapCopier, 255)->SetFlimbsLeft(5); // a copier copies any group's flimbs
    EXPECT_EQ(match.CountUnreleased(1, false), 4);
    EXPECT_EQ(match.CountUnreleased(kAllGroups, false), 7);
    EXPECT_EQ(match.CountUnreleased(kAllGroups, true), 12) << "with the copiers' copies";
    EXPECT_EQ(match.CountUnreleased(9, true), 0);

    auto* extra = dynamic_cast<ActionsTrap*>(AddGroupTrap(ActionsTrap::kKind, 255));
    ASSERT_NE(extra, nullptr);
    extra->actionType = ActionsTrap::kExtraFlimbs;
    extra->numItems = 7;
    const std::vector<ActionsTrapInfo> actions = match.ActionsTraps();
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].action, ActionsTrap::kExtraFlimbs);
    EXPECT_EQ(actions[0].amount, 7);

    Controller().levelStartTime = 1234;
    EXPECT_EQ(match.LevelStartMs(), 1234u);
    EXPECT_EQ(match.GameClockMs(), gameClock.Now());
}

} // namespace
