// The controller's group budgets, and the world update as the game session runs it.
#include "app/Log.h"
#include "game/GameController.h"
#include "game/WorldUpdate.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/TestWorld.h"
#include "world/FlimbTable.h"
#include "world/StateHash.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TEST(GroupBudgets, UsesAreSpentOnlyFromLimitedBudgetsButAlwaysCounted)
{
    TestWorld test;
    Flimb flimb{};
    flimb.Init();
    flimb.group = 3;
    auto& uses = Controller().groups[3].uses;
    uses[kClob] = 2;
    uses[kMold] = 0;
    uses[kNova] = 199;
    uses[kDrill] = 198;
    for (uint8_t action : {kClob, kMold, kNova, kDrill})
        UseGroupAction(action, flimb);
    EXPECT_EQ(uses[kClob], 1);
    EXPECT_EQ(uses[kMold], 0);
    EXPECT_EQ(uses[kNova], 199);
    EXPECT_EQ(uses[kDrill], 197);
    for (uint8_t action : {kClob, kMold, kNova, kDrill})
        EXPECT_EQ(Controller().stats[3].actionCounts[action], 1) << int(action);
    UseGroupAction(11, flimb);
    flimb.group = 8;
    UseGroupAction(kClob, flimb);
    EXPECT_EQ(Controller().stats[3].actionCounts[kClob], 1);
}

TEST(GroupBudgets, ResetKeepsChatAndDropsSystemLines)
{
    TestWorld test;
    Controller().runState = kRunRunning;
    Controller().groups[1].inUse = 1;
    Controller().messages.Add("hello", 2);
    Controller().messages.Add("system", -1);
    ResetGameController();
    EXPECT_EQ(Controller().runState, kRunNone);
    EXPECT_EQ(Controller().groups[1].inUse, 0);
    ASSERT_EQ(Controller().messages.Entries().size(), 1u);
    EXPECT_EQ(Controller().messages.Entries().front().text, "hello");
}

TEST(WorldUpdate, CountsUpdatesRunsTheHookLastAndLogsTheHash)
{
    TestWorld test;
    AddFlimb(10, 10, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    static uint32_t counterSeenByHook = 99;
    ScopedConsoleInt every("statehash", 2);
    UpdateWorld([] { counterSeenByHook = World().clock.updateCounter; });
    EXPECT_EQ(counterSeenByHook, 0u) << "the popup runs before the counter goes up";
    UpdateWorld();
    EXPECT_EQ(World().clock.updateCounter, 2u);
    EXPECT_EQ(World().clock.gameTime, 142u) << "71 ms of game time per update";
    EXPECT_EQ(World().clock.elapsed, 71u);
    char expected[64];
    std::snprintf(expected, sizeof expected, "STATE HASH 2 %016llx", static_cast<unsigned long long>(WorldStateHash()));
    std::ifstream in(LogFilePath());
    std::stringstream log;
    log << in.rdbuf();
    EXPECT_NE(log.str().find(expected), std::string::npos);
    EXPECT_EQ(log.str().find("STATE HASH 1 "), std::string::npos);
}

} // namespace
