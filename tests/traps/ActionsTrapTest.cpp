// The actions pickup: one take per visit with the four-update re-touch rule, the group
// counters with their markers and the clamp, extra flimbs shared out over the start traps,
// forced morphs and the facing filter.
#include "tests/support/TrapHarness.h"
#include "traps/ActionsTrap.h"
#include "world/Flimb.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

namespace {

class ActionsTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(100, std::string(300, '.')));
    }
    ActionsTrap* AddActions(float x = 100.0f, float y = 40.0f)
    {
        auto* trap = Add<ActionsTrap>(ActionsTrap::kKind, x, y);
        EXPECT_NE(trap, nullptr);
        return trap;
    }
    // One pass of the trap alone, as the world's trap pass gives it.
    static void Step(Trap& trap)
    {
        ++World().clock.updateCounter;
        trap.Update();
        DeliverQueuedActivations();
    }
    static uint8_t& Uses(int group, int action) { return Controller().groups[size_t(group)].uses[size_t(action)]; }
};

// A flimb standing on the trap takes it once; it takes it again only after more than four
// updates away.
TEST_F(ActionsTrapTest, ATakeAgainOnlyAfterMoreThanFourUpdatesAway)
{
    for (int away : {4, 5}) {
        SCOPED_TRACE(away);
        ActionsTrap* trap = AddActions();
        trap->pickup_left = 0; // unlimited
        trap->numItems = 1;
        trap->actionType = kDrill;
        Uses(0, kDrill) = 0;
        Flimb* flimb = PlaceAt(100, 50);
        Step(*trap);
        Step(*trap);
        Step(*trap);
        EXPECT_EQ(Uses(0, kDrill), 1) << "standing on it";
        flimb->x = 200;
        for (int i = 0; i < away; ++i)
            Step(*trap);
        flimb->x = 100;
        Step(*trap);
        EXPECT_EQ(Uses(0, kDrill), away > 4 ? 2 : 1);
        flimb->flags = kFlimbFree;
        trap->alive = 0;
    }
}

// Each take uses one pickup and fires event 0 with the flimb; the last pickup takes the trap
// away. At most one flimb takes it per update.
TEST_F(ActionsTrapTest, EachTakeUsesAPickupAndFiresItsEvent)
{
    ActionsTrap* trap = AddActions();
    trap->pickup_left = 2;
    Listen(*trap, 0);
    PlaceAt(100, 50);
    PlaceAt(101, 50);
    Run(1);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(trap->pickup_left, 1);
    Run(1);
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(trap->alive, 0);
}

// The group's counter after a take: 199 makes it infinite, 200 disables it, a count on a
// disabled counter replaces it, an infinite counter stays; sums stop at 198 (199 and 200
// are markers, never counts).
TEST_F(ActionsTrapTest, CountersTakeMarkersAndClampSums)
{
    struct Case {
        uint8_t counter;
        int32_t items;
        uint8_t after;
    } const cases[] = {
        {7, 199, 199}, {7, 200, 200}, {200, 5, 5}, {199, 5, 199}, {150, 50, 198},
        {190, 100, 198}, {10, 5, 15}, {200, 900, 198}, {3, -9, 0}, {199, 200, 200},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ActionsTrap::CounterAfterTake(c.counter, c.items), c.after) << int(c.counter) << " + " << c.items;

    // Through a take: the toucher's group, or the target group whatever the toucher's.
    ActionsTrap* trap = AddActions();
    trap->actionType = kGulp;
    trap->numItems = 5;
    Uses(2, kGulp) = 200;
    trap->OnFlimbContact(PlaceAt(10, 50, 2));
    EXPECT_EQ(Uses(2, kGulp), 5);
    trap->targetGroupId = 3;
    trap->OnFlimbContact(PlaceAt(10, 50, 2));
    EXPECT_EQ(Uses(3, kGulp), 5);
    EXPECT_EQ(Uses(2, kGulp), 5);
}

// Extra flimbs: 10 over the group's three start traps give 3, 3 and 4 (the last in list order
// takes the remainder); a chosen start trap takes them all; a target that is no start trap
// takes nothing.
TEST_F(ActionsTrapTest, ExtraFlimbsAreSharedOverTheGroupsStartTraps)
{
    const auto start = [this](int group) {
        return AddTrapXml("<trap><type>Start</type><groupID>" + std::to_string(group) +
                          "</groupID><flimbCount>0</flimbCount></trap>");
    };
    Trap* a = start(1);
    Trap* other = start(2);
    Trap* b = start(1);
    Trap* c = start(1);
    ASSERT_TRUE(a && other && b && c);
    ActionsTrap* trap = AddActions();
    trap->actionType = ActionsTrap::kExtraFlimbs;
    trap->numItems = 10;
    trap->targetGroupId = 1;
    trap->OnFlimbContact(nullptr);
    EXPECT_EQ(a->FlimbsLeft(), 3);
    EXPECT_EQ(b->FlimbsLeft(), 3);
    EXPECT_EQ(c->FlimbsLeft(), 4);
    EXPECT_EQ(other->FlimbsLeft(), 0);

    trap->targetTrapId = static_cast<int32_t>(other->id);
    trap->OnFlimbContact(nullptr);
    EXPECT_EQ(other->FlimbsLeft(), 10);
    trap->targetTrapId = static_cast<int32_t>(trap->id);
    trap->OnFlimbContact(nullptr);
    EXPECT_EQ(other->FlimbsLeft(), 10);
    EXPECT_EQ(c->FlimbsLeft(), 4);
}

// Forced mode morphs the touching flimb at its next step instead of counting: a forced
// Gulp with alternate gulps upwards; a forced Drill on a driller does nothing; the facing
// filter picks the flimbs; the counters stay as they were.
TEST_F(ActionsTrapTest, ForcedMorphsTheFlimbAtOnce)
{
    ActionsTrap* trap = AddActions();
    trap->forceAction = 1;
    trap->actionType = kGulp;
    trap->alternate = 1;
    Flimb* walker = PlaceAt(10, 50);
    walker->queuedAction = kClob;
    trap->OnFlimbContact(walker);
    EXPECT_EQ(walker->pendingType, kGulp);
    EXPECT_EQ(walker->queuedAction, kNoType);
    EXPECT_EQ(walker->flags & kFlimbGulpVariant, 0) << "the upward gulp";
    EXPECT_EQ(Uses(0, kGulp), 0);

    trap->actionType = kDrill;
    Flimb* driller = PlaceAt(20, 50, 0, 0, kDrill);
    trap->OnFlimbContact(driller);
    EXPECT_EQ(driller->pendingType, kNoType);

    trap->facing = ActionsTrap::kFacingLeft;
    Flimb* right = PlaceAt(30, 50);
    trap->OnFlimbContact(right);
    EXPECT_EQ(right->pendingType, kNoType) << "faces right";
    right->walkSpeed = -3;
    trap->OnFlimbContact(right);
    EXPECT_EQ(right->pendingType, kDrill);
}

// A non-forced trap that wants left-facing flimbs lets a right-facing one walk over it; an
// exempt flimb never takes it; a flimb of another group than the trap's neither.
TEST_F(ActionsTrapTest, FiltersLetFlimbsPassOverIt)
{
    ActionsTrap* trap = AddActions();
    trap->facing = ActionsTrap::kFacingLeft;
    trap->pickup_left = 0;
    trap->actionType = kLop;
    trap->numItems = 2;
    Flimb* flimb = PlaceAt(100, 50);
    Step(*trap);
    EXPECT_EQ(Uses(0, kLop), 0);
    flimb->walkSpeed = -3;
    flimb->attributes |= kAttrQuietEnd;
    Step(*trap);
    EXPECT_EQ(Uses(0, kLop), 0) << "exempt";
    flimb->attributes = 0;
    trap->group = 4;
    Step(*trap);
    EXPECT_EQ(Uses(0, kLop), 0) << "another group";
    trap->group = 255;
    Step(*trap);
    EXPECT_EQ(Uses(0, kLop), 2);
}

// An event's activation with a flimb takes the trap like a touch (an exempt flimb does
// nothing); without a flimb it gives the local player's group its items, unless forced.
TEST_F(ActionsTrapTest, ActivationTakesTheTrapForTheFlimbOrTheLocalGroup)
{
    Controller().localPlayer->group = 5;
    ActionsTrap* trap = AddActions();
    trap->pickup_left = 0;
    trap->actionType = kSpin;
    trap->numItems = 3;
    trap->Activate(nullptr);
    EXPECT_EQ(Uses(5, kSpin), 3);
    Flimb* exempt = PlaceAt(10, 50, 1);
    exempt->attributes |= kAttrQuietEnd;
    trap->Activate(exempt);
    EXPECT_EQ(Uses(1, kSpin), 0);
    trap->forceAction = 1;
    trap->Activate(nullptr);
    EXPECT_EQ(Uses(5, kSpin), 3);
}

} // namespace
