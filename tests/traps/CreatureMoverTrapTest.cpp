// The gravitize area, the black hole, the follower, the walk bug and the entanglement machine.
#include "tests/support/TrapHarness.h"
#include "traps/EntanglementTrap.h"
#include "traps/FollowTrap.h"
#include "traps/GravitizeTrap.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

class MoverHarness : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        for (uint8_t type : {kWalk, kFall, kSpawn})
            SetFlimbTypeHandler(type, [](Flimb&) {});
        AsciiMap rows(300, std::string(400, '.'));
        for (size_t y = 150; y < rows.size(); ++y)
            rows[y] = std::string(400, '#');
        LoadMap(rows);
    }
    void TearDown() override
    {
        ResetFlimbTypeHandlers();
        TrapHarness::TearDown();
    }
    static void Tick() { ++World().clock.updateCounter; }
    int Heard(int effect) const
    {
        const std::string prefix = std::to_string(effect) + " at";
        return int(std::count_if(sounds.begin(), sounds.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; }));
    }
};

// ---- Gravitize and black hole ---------------------------------------------------------------

using GravitizeTrapTest = MoverHarness;

// In circle mode loose land in the rectangle's corners stays; inside the ellipse it falls.
TEST_F(GravitizeTrapTest, CircleModeSparesCorners)
{
    for (uint8_t circle : {1, 0}) {
        Fill(0, 60, 60, 140, 140);
        Fill(1, 70, 70, 70, 70);
        Fill(1, 100, 100, 100, 100);
        auto* area = Add<GravitizeTrap>(31, 100.0f, 100.0f);
        area->triggerWidth = area->triggerHight = 64;
        area->circleMode = circle;
        area->Update();
        EXPECT_EQ(Land().HitTestPoint(100, 101), 1) << "the centre fell";
        EXPECT_EQ(Land().HitTestPoint(70, 70) != 0, circle == 1) << int(circle);
        area->alive = 0;
        area->enabled = 0;
    }
}

using BlackHoleTrapTest = MoverHarness;

// Types 2, 12 and 14 pass; a flimb whose head but not its body comes within 50 x scale is
// swallowed (event 0, sound 52, out of play); a disabled hole swallows nothing.
TEST_F(BlackHoleTrapTest, SwallowsByBodyPoints)
{
    auto* hole = Add<BlackHoleTrap>(32, 100.0f, 60.0f);
    for (uint8_t type : {kNova, kDrown, kShock}) {
        Flimb* passer = PlaceAt(100, 70, 0, 0, type);
        hole->OnFlimbContact(passer);
        EXPECT_TRUE(passer->InWorld()) << int(type);
        passer->flags = 0;
    }
    Flimb* far = PlaceAt(100, 60 + 85);
    hole->OnFlimbContact(far);
    EXPECT_TRUE(far->InWorld()) << "head point 53 pixels away";
    Flimb* head = PlaceAt(100, 60 + 75);
    hole->enabled = 0;
    hole->OnFlimbContact(head);
    EXPECT_TRUE(head->InWorld()) << "disabled";
    hole->enabled = 1;
    Listen(*hole, 0);
    hole->OnFlimbContact(head);
    EXPECT_FALSE(head->InWorld());
    EXPECT_FALSE(head->IsAlive());
    EXPECT_EQ(Heard(52), 1);
    Run(1);
    EXPECT_EQ(events.size(), 1u);
}

// ---- Follower and walk bug -------------------------------------------------------------------

using FollowTrapTest = MoverHarness;

// A killing follower atomizes its own target when it reaches it, then sleeps where it is.
TEST_F(FollowTrapTest, AtomizesItsOwnTargetThenSleeps)
{
    auto* follower = Add<FollowTrap>(23, 100.0f, 130.0f);
    follower->killFlimbs = 1;
    Flimb* flimb = PlaceAt(100, 149);
    Tick();
    follower->Update();
    EXPECT_EQ(follower->target, flimb);
    EXPECT_EQ(follower->frame, 10);
    Tick();
    follower->Update();
    EXPECT_FALSE(flimb->InWorld());
    EXPECT_EQ(follower->target, nullptr);
    const float x = follower->x, y = follower->y;
    for (int i = 0; i < 10; ++i) {
        Tick();
        follower->Update();
        EXPECT_GE(follower->frame, 5);
        EXPECT_LE(follower->frame, 9);
    }
    EXPECT_EQ(follower->x, x);
    EXPECT_EQ(follower->y, y);
}

// With target group 0 it heads for the centre of every live flimb.
TEST_F(FollowTrapTest, GroupZeroHeadsForAllFlimbs)
{
    auto* follower = Add<FollowTrap>(23, 50.0f, 50.0f);
    follower->followMode = 2;
    follower->targetGroup = 0;
    Flimb* a = PlaceAt(300, 100, 1);
    PlaceAt(300, 140, 2);
    follower->target = a;
    for (int i = 0; i < 500; ++i) {
        Tick();
        follower->Update();
    }
    EXPECT_LE(std::fabs(follower->x - 300.0f), 2.0f);
    EXPECT_LE(std::fabs(follower->y - 120.0f), 2.0f);
}

using WalkBugTrapTest = MoverHarness;

// A walk bug climbs a 3-pixel step and turns round at a 4-pixel one; over a gap it falls 3
// pixels an update.
TEST_F(WalkBugTrapTest, ClimbsThreeTurnsAtFourFallsThree)
{
    for (int step : {3, 4}) {
        Fill(0, 0, 0, 399, 149);
        Fill(2, 0, 150 - step, 80, 149);
        auto* bug = Add<WalkBugTrap>(26, 90.0f, 149.0f);
        for (int i = 0; i < 10; ++i)
            bug->Update();
        EXPECT_EQ(bug->facing, step == 4 ? 0 : 1) << step;
        EXPECT_EQ(bug->x < 81.0f, step == 3) << step;
        bug->alive = 0;
        bug->x = -100.0f;
    }
    auto* faller = Add<WalkBugTrap>(26, 300.0f, 20.0f);
    faller->Update();
    EXPECT_EQ(faller->y, 23.0f);
}

// ---- Entanglement ----------------------------------------------------------------------------

class EntanglementTrapTest : public MoverHarness {
protected:
    void SetUp() override
    {
        MoverHarness::SetUp();
        ResetFlimbTypeHandlers();
        for (uint8_t type : {kWalk, kFall})
            SetFlimbTypeHandler(type, [](Flimb&) {});
    }
};

// A flimb 9 pixels beside a pad is taken, 10 not; a scaled flimb never.
TEST_F(EntanglementTrapTest, PadReachAndScale)
{
    struct Case {
        int offset;
        float scale;
        bool taken;
    };
    for (const Case& c : {Case{9, 1.0f, true}, Case{10, 1.0f, false}, Case{0, 0.5f, false}}) {
        auto* machine = Add<EntanglementTrap>(5, 200.0f, 149.0f);
        Flimb* flimb = PlaceAt(200 - 52 + c.offset, 149);
        flimb->scale = c.scale;
        machine->Update();
        EXPECT_EQ(machine->leftPad == flimb, c.taken) << c.offset << " " << c.scale;
        flimb->flags = 0;
        machine->leftPad = nullptr;
        machine->alive = 0;
        machine->x = -1000.0f;
    }
}

// Both arrived: a shock of 17 updates, then partners facing apart, the selection on the
// partner, both walking, a rest of 64 updates; the 65th enables it again.
TEST_F(EntanglementTrapTest, ShockPartnersSelectionAndRest)
{
    World().clock.updateCounter = 10;
    auto* machine = Add<EntanglementTrap>(5, 200.0f, 149.0f);
    Flimb* left = PlaceAt(150, 149);
    Flimb* right = PlaceAt(250, 149);
    left->flags |= kFlimbSelected;
    int updates = 0;
    while (machine->shockFrame < 0 && updates < 60) {
        Run(1);
        ++updates;
    }
    ASSERT_GE(machine->shockFrame, 0) << "both arrived";
    int shock = 0;
    while (machine->shockFrame >= 0 && shock < 40) {
        Run(1);
        ++shock;
    }
    EXPECT_EQ(shock, 17);
    EXPECT_EQ(left->linkedId, right->id);
    EXPECT_EQ(right->linkedId, left->id);
    EXPECT_LT(left->walkSpeed, 0);
    EXPECT_GT(right->walkSpeed, 0);
    EXPECT_EQ(left->type, kWalk);
    EXPECT_NE(std::find(session->requests.begin(), session->requests.end(), "highlight " + std::to_string(right->id)),
              session->requests.end());
    const uint32_t shot = machine->lastShot;
    while (World().clock.updateCounter <= shot + 64) { // the update Run makes is the counter's value
        Run(1);
        EXPECT_TRUE(machine->Resting());
    }
    Run(1);
    EXPECT_FALSE(machine->Resting()) << "the 65th update";
}

// A padded flimb that dies during the shock ends it: the survivor walks free. A machine a
// script disabled during the rest stays disabled.
TEST_F(EntanglementTrapTest, DeathDuringShockAndScriptDisable)
{
    auto* machine = Add<EntanglementTrap>(5, 200.0f, 149.0f);
    Flimb* left = PlaceAt(148, 149);
    Flimb* right = PlaceAt(252, 149);
    for (int i = 0; i < 60 && machine->shockFrame < 0; ++i)
        Run(1);
    ASSERT_GE(machine->shockFrame, 0);
    right->flags = static_cast<uint8_t>(right->flags & ~kFlimbInWorld);
    machine->Update();
    EXPECT_EQ(machine->shockFrame, -1);
    EXPECT_EQ(machine->leftPad, nullptr);
    EXPECT_EQ(left->type, kWalk);
    EXPECT_EQ(left->linkedId, -1);

    machine->lastShot = World().clock.updateCounter;
    machine->enabled = 0;
    for (int i = 0; i < 70; ++i) {
        Tick();
        machine->Update();
    }
    EXPECT_EQ(machine->enabled, 0);
}

} // namespace
