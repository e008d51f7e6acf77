// Orders the session executes on the game: a group's order (the group goes SuperNova) and
// the groups' action budgets from UPDATE_MORPH_COUNT, with what a hostile record may hold.
#include "../support/LogCapture.h"
#include "../support/TestWorld.h"

#include "game/GameController.h"
#include "game/LevelConfig.h"
#include "session/ClientCommandState.h"
#include "session/NetCommand.h"
#include "traps/Trap.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

namespace {

Trap* AddStartTrap(uint8_t group, int32_t flimbs)
{
    std::unique_ptr<Trap> made = Trap::Create(kTrapStart);
    Trap* trap = made.get();
    trap->SetGroup(group);
    trap->activated = 1;
    trap->SetFlimbsLeft(flimbs);
    RegisterTrap(std::move(made));
    return trap;
}

class SessionOrders : public ::testing::Test {
protected:
    void SetUp() override { ResetCommandState(); }
    void TearDown() override { ResetCommandState(); }
    static int Execute(const NetRecord& record) { return ExecuteCommand(record.data()); }

    TestWorld world;
    LogCapture log;
};

class GroupOrder : public SessionOrders {};

TEST_F(GroupOrder, TheGroupGoesSuperNovaItsSupplyStopsAndOtherGroupsPlayOn)
{
    Trap* ordered = AddStartTrap(1, 5);
    Trap* other = AddStartTrap(2, 4);
    Flimb* first = AddFlimb(100, 50, 1, 1, kWalk, 0, 13023, 0, 1);
    Flimb* second = AddFlimb(140, 50, 2, 1, kWalk, 0, 13023, 0, 1);
    Flimb* bystander = AddFlimb(180, 50, 3, 2, kWalk, 0, 13023, 0, 1);
    ASSERT_TRUE(first && second && bystander);

    EXPECT_EQ(Execute(MakeUpdateFlimbType(1, 2, 'B', 0)), 0);
    EXPECT_EQ(Controller().detonation[1], 1);
    EXPECT_EQ(ordered->FlimbsLeft(), 0);
    EXPECT_EQ(other->FlimbsLeft(), 4);
    EXPECT_TRUE(first->flags & kFlimbFuseLit);
    EXPECT_TRUE(second->flags & kFlimbFuseLit);
    EXPECT_LT(first->fuse, second->fuse) << "the fuses burn one after another";
    EXPECT_FALSE(bystander->flags & kFlimbFuseLit);
    EXPECT_EQ(Controller().detonation[2], 0);
}

TEST_F(GroupOrder, AboveTheGroupsTheOrderIsTheFlimbsOfThatId)
{
    Flimb* flimb = AddFlimb(100, 50, 9, 1, kWalk, 0, 13023, 0, 1);
    ASSERT_NE(flimb, nullptr);
    EXPECT_EQ(Execute(MakeUpdateFlimbType(9, kClob, 'B', 7)), 0);
    EXPECT_EQ(flimb->queuedAction, kClob) << "the flimb takes the order";
    EXPECT_EQ(flimb->queuedDelay, 7);
    for (uint8_t detonated : Controller().detonation)
        EXPECT_EQ(detonated, 0);
    EXPECT_EQ(Execute(MakeUpdateFlimbType(300, kClob, 'B', 0)), 0) << "no such flimb: nothing happens";
}

class MorphCount : public SessionOrders {};

TEST_F(MorphCount, TheGroupsBudgetsComeFromTheDocument)
{
    Controller().groups[0].uses.fill(3);
    Controller().groups[6].uses[kWalk] = kUnlimitedUses;
    const std::string document = ManagerStateDocument();
    for (auto& group : Controller().groups)
        group.uses.fill(0);

    EXPECT_EQ(Execute(MakeUpdateMorphCount(document)), 0);
    EXPECT_EQ(Controller().groups[0].uses[kClob], 3);
    EXPECT_EQ(Controller().groups[0].uses[kWalk], 3);
    EXPECT_EQ(Controller().groups[6].uses[kWalk], kUnlimitedUses);
    EXPECT_EQ(Controller().groups[6].uses[kClob], 0);
}

TEST_F(MorphCount, HostileDocumentsAreRefusedPartByPart)
{
    Controller().groups[1].uses.fill(4);
    const struct {
        const char* what;
        const char* xml;
        const char* logged;
    } cases[] = {
        {"not a document", "<game-manager-state><group id=\"1\">", "holds no game-manager-state"},
        {"another document", "<trap-state/>", "holds no game-manager-state"},
        {"a group beyond the eight", "<game-manager-state><group id=\"8\"><Clob>9</Clob></group></game-manager-state>",
         "group [8] refused"},
        {"a negative group", "<game-manager-state><group id=\"-1\"><Clob>9</Clob></group></game-manager-state>",
         "group [-1] refused"},
        {"a count beyond a byte", "<game-manager-state><group id=\"1\"><Clob>256</Clob></group></game-manager-state>",
         "morph count [256] of Clob for group 1 refused"},
        {"no number", "<game-manager-state><group id=\"1\"><Clob>many</Clob></group></game-manager-state>",
         "morph count [many] of Clob for group 1 refused"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        log.Clear();
        EXPECT_EQ(Execute(MakeUpdateMorphCount(c.xml)), 0);
        EXPECT_TRUE(log.Contains(c.logged)) << log.Text();
        EXPECT_EQ(Controller().groups[1].uses[kClob], 4);
    }
    // What is sound in a document still applies.
    EXPECT_EQ(Execute(MakeUpdateMorphCount("<game-manager-state><group id=\"1\"><Clob>300</Clob><Mold>6</Mold>"
                                           "</group></game-manager-state>")),
              0);
    EXPECT_EQ(Controller().groups[1].uses[kClob], 4);
    EXPECT_EQ(Controller().groups[1].uses[kMold], 6);
}

} // namespace
