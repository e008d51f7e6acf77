// The speed pickup: the factor taken to 2, 4 or 8, the four modes, one event per update
// however many flimbs are inside, the clamp of the timer, and the Quantum Time preview
// copy that must change nothing.
#include "tests/support/TrapHarness.h"
#include "traps/SpeedTrap.h"
#include "world/Flimb.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

namespace {

class SpeedTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(100, std::string(300, '.')));
    }
    SpeedTrap* AddSpeed(float x = 100.0f, float y = 40.0f)
    {
        auto* trap = Add<SpeedTrap>(SpeedTrap::kKind, x, y);
        EXPECT_NE(trap, nullptr);
        return trap;
    }
};

// Entered as 1, 3 or 100, from a file or the panel, the factor becomes 2, 4 or 8.
TEST_F(SpeedTrapTest, TheFactorIsTwoFourOrEight)
{
    struct Case {
        int32_t given;
        uint8_t factor;
    } const cases[] = {{1, 2}, {2, 2}, {3, 4}, {4, 4}, {5, 8}, {8, 8}, {100, 8}, {-7, 2}};
    for (const Case& c : cases) {
        EXPECT_EQ(SpeedTrap::NormaliseFactor(c.given), c.factor) << c.given;
        SpeedTrap* trap = AddSpeed();
        LoadInto(*trap, "<trap><speed_trap_factor>" + std::to_string(c.given) + "</speed_trap_factor></trap>");
        EXPECT_EQ(trap->speedFactor, c.factor) << c.given;
    }
}

// Times above the 16 bits of the flimb's timer are kept at 65535, in the file and on the
// panel; a time below one update would never end and is taken as 1.
TEST_F(SpeedTrapTest, TheTimeFitsTheFlimbsTimer)
{
    SpeedTrap* trap = AddSpeed();
    LoadInto(*trap, "<trap><speed_trap_time>70000</speed_trap_time></trap>");
    EXPECT_EQ(trap->speedTime, 65535);
    EXPECT_NE(SaveText(*trap).find("<speed_trap_time>65535</speed_trap_time>"), std::string::npos);
    LoadInto(*trap, "<trap><speed_trap_time>-4</speed_trap_time></trap>");
    EXPECT_EQ(trap->speedTime, 1);
    EXPECT_TRUE(log->Contains("speed time 70000 from the level taken as 65535"));
}

// Mode 0: the toucher is sped up and the pickup used; a flimb still fast from another
// speed trap is not changed and does not use the pickup.
TEST_F(SpeedTrapTest, FlimbOnlyLeavesAFastFlimbAlone)
{
    SpeedTrap* trap = AddSpeed();
    trap->pickup_left = 3;
    trap->speedFactor = 4;
    trap->speedTime = 50;
    Flimb* flimb = PlaceAt(100, 50);
    trap->OnFlimbContact(flimb);
    EXPECT_EQ(flimb->stepsPerUpdate, 4);
    EXPECT_EQ(flimb->boostLeft, 50);
    EXPECT_EQ(trap->pickup_left, 2);
    flimb->boostLeft = 7;
    trap->speedFactor = 8;
    trap->OnFlimbContact(flimb);
    EXPECT_EQ(flimb->stepsPerUpdate, 4);
    EXPECT_EQ(flimb->boostLeft, 7);
    EXPECT_EQ(trap->pickup_left, 2);
}

// Modes 1-3 change whole groups for one pickup: my group (the toucher included), the other
// groups, everybody. An exempt toucher in mode 1 or 3 is only sped up itself, without using
// the pickup; in mode 2 it changes nothing.
TEST_F(SpeedTrapTest, GroupModesChangeManyFlimbsForOnePickup)
{
    struct Case {
        uint8_t mode;
        bool exempt;
        const char* fast; // per flimb (toucher of group 0, group 0, group 1, group 2)
        int pickupsLeft;
    } const cases[] = {
        {SpeedTrap::kMyGroup, false, "FFss", 2},     {SpeedTrap::kOtherGroups, false, "ssFF", 2},
        {SpeedTrap::kAllFlimbs, false, "FFFF", 2},   {SpeedTrap::kMyGroup, true, "Fsss", 3},
        {SpeedTrap::kOtherGroups, true, "ssss", 3},  {SpeedTrap::kAllFlimbs, true, "Fsss", 3},
        {7, false, "ssss", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + (c.exempt ? " exempt" : ""));
        for (Flimb& flimb : World())
            flimb.flags = kFlimbFree;
        SpeedTrap* trap = AddSpeed();
        trap->pickup_left = 3;
        trap->speedMode = c.mode;
        Flimb* flimbs[4] = {PlaceAt(100, 50, 0), PlaceAt(10, 50, 0), PlaceAt(20, 50, 1), PlaceAt(30, 50, 2)};
        if (c.exempt)
            flimbs[0]->attributes |= kAttrQuietEnd;
        trap->OnFlimbContact(flimbs[0]);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(flimbs[i]->stepsPerUpdate, c.fast[i] == 'F' ? 2 : 1) << i;
        EXPECT_EQ(trap->pickup_left, c.pickupsLeft);
    }
}

// With two flimbs inside in one update, event 0 fires once and each flimb's contact runs, so
// a trap with one pickup left is used up by the first and still speeds the second; the
// next update the trap is gone.
TEST_F(SpeedTrapTest, OneEventPerUpdateAndEveryFlimbInsideIsTouched)
{
    SpeedTrap* trap = AddSpeed();
    Listen(*trap, 0);
    Flimb* a = PlaceAt(100, 50);
    Flimb* b = PlaceAt(101, 50);
    Run(1);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(a->stepsPerUpdate, 2);
    EXPECT_EQ(b->stepsPerUpdate, 2);
    EXPECT_EQ(trap->alive, 0);
    EXPECT_EQ(GetTrapsOfKind(SpeedTrap::kKind).size(), 1u);
    Run(1);
    EXPECT_TRUE(GetTrapsOfKind(SpeedTrap::kKind).empty());
}

// The Quantum Time preview's copy of a flimb reaches the contact through the world's
// preview walk: it changes nothing. Activation without a flimb does nothing either.
TEST_F(SpeedTrapTest, ThePreviewCopyAndAnEmptyActivationChangeNothing)
{
    SpeedTrap* trap = AddSpeed();
    Flimb* flimb = PlaceAt(100, 50);
    World().preview.copy = *flimb;
    trap->OnFlimbContact(&World().preview.copy);
    EXPECT_EQ(World().preview.copy.stepsPerUpdate, 1);
    EXPECT_EQ(trap->pickup_left, 1);
    trap->Activate(nullptr);
    EXPECT_EQ(trap->activated, 0);
    trap->Activate(flimb);
    EXPECT_EQ(flimb->stepsPerUpdate, 2);
}

} // namespace
