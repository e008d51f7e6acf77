// The flimb table: tallies, ids, queries and action checks.
#include "gui/Primitive.h"
#include "media/AnimSurface.h"
#include "tests/support/RecordingTrap.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/TestWorld.h"
#include "traps/Trap.h"
#include "world/ActionChecks.h"
#include "world/FlimbQueries.h"
#include "world/FlimbTable.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

namespace {

class FlimbTableTest : public ::testing::Test {
protected:
    FlimbTableTest()
    {
        // 32 x 48 frames, feet 46 pixels down: a flimb at (x, y) covers x-16..x+16, y-36..y+2.
        frame_.frameWidth = 32;
        frame_.frameHeight = 48;
        frame_.hotspotX = 16;
        frame_.hotspotY = 46;
    }

    Flimb* Add(int16_t x, int16_t y, int16_t id, uint8_t group = 0, uint8_t type = kWalk)
    {
        Flimb* flimb = AddFlimb(x, y, id, group, type, 0, kFlimbStartEnergy, 0, 1);
        if (flimb)
            flimb->animation = &frame_;
        return flimb;
    }

    static std::vector<int16_t> Ids(const FlimbList& list)
    {
        std::vector<int16_t> ids;
        for (const Flimb* flimb : list)
            ids.push_back(flimb->id);
        return ids;
    }

    std::vector<std::string> journal;
    TestWorld test;
    AnimSurface frame_;
};

TEST_F(FlimbTableTest, NextIdsFollowTheLargestIdOnEachSideOf10000)
{
    ComputeNextFlimbIds();
    EXPECT_EQ(World().nextIdLow, 0);
    EXPECT_EQ(World().nextIdHigh, 0);
    Add(0, 0, 3);
    Add(0, 0, 7);
    Add(0, 0, 10002);
    UncountFlimb(*Add(0, 0, 9)); // out of the world: not counted
    ComputeNextFlimbIds();
    EXPECT_EQ(World().nextIdLow, 8);
    EXPECT_EQ(World().nextIdHigh, 10003);
}

TEST_F(FlimbTableTest, AddingAndUncountingKeepTheTallies)
{
    Flimb record{};
    record.Init();
    record.Setup(0, 0, 1, 2, kWalk, 0, kFlimbStartEnergy, 0, 1);
    record.attributes |= kAttrMarked;
    AddFlimbTo(World(), record);
    EXPECT_EQ(World().tallies[2][kTallyMarked], 1);
    const GroupTallies before = World().tallies;
    Flimb* flimb = Add(0, 0, 2, 2, kDoppel);
    EXPECT_EQ(World().tallies[2][kTallyAlive], 2);
    EXPECT_EQ(World().tallies[2][kTallyDoppels], 1);
    EXPECT_EQ(World().tallies[2][kTallyEnergy], 2 * kFlimbStartEnergy);
    EXPECT_EQ(World().clock.flimbsInPlay, 2);
    UncountFlimb(*flimb);
    EXPECT_EQ(World().tallies, before);
    EXPECT_FALSE(flimb->InWorld());
    EXPECT_FALSE(flimb->IsAlive());

    World().countingSuspended = true;
    Add(0, 0, 3, 2);
    EXPECT_EQ(World().tallies, before) << "suspended counting leaves the tallies alone";
    EXPECT_EQ(CountUnmarkedFlimbs(), 0);
}

TEST_F(FlimbTableTest, AFullTableRefusesTheNextFlimb)
{
    for (int i = 0; i < kMaxFlimbs; ++i)
        ASSERT_NE(Add(0, 0, static_cast<int16_t>(i)), nullptr);
    EXPECT_EQ(Add(0, 0, 1), nullptr);
    EXPECT_EQ(World().flimbCount, kMaxFlimbs);
    EXPECT_EQ(World().clock.flimbsInPlay, kMaxFlimbs);
}

TEST_F(FlimbTableTest, AreaQueriesNeedRealOverlapAndAVisibleGroup)
{
    PlayerRecord& local = test.AddLocalPlayer();
    local.control.fill(0);
    local.control[0] = 1;
    Add(100, 100, 1, 0); // covers 84..116 x 64..102
    Add(100, 100, 2, 1); // a group the local player does not command

    EXPECT_EQ(Ids(FindFlimbsInArea(false, false, 116, 64, 200, 102)), std::vector<int16_t>{}) << "touching";
    EXPECT_EQ(Ids(FindFlimbsInArea(false, false, 0, 0, 84, 200)), std::vector<int16_t>{}) << "touching";
    EXPECT_EQ(Ids(FindFlimbsInArea(false, false, 115, 101, 200, 200)), std::vector<int16_t>{1});
    EXPECT_EQ(Ids(FindFlimbsInArea(true, false, 115, 101, 200, 200)), (std::vector<int16_t>{1, 2}));
    EXPECT_EQ(Ids(FindFlimbsAtPoint(100, 90, false)), std::vector<int16_t>{1});
    EXPECT_EQ(Ids(FindFlimbsAtPoint(100, 90, true)), (std::vector<int16_t>{1, 2}));
    {
        ScopedConsoleInt god("god", 1);
        EXPECT_EQ(Ids(FindFlimbsInArea(false, false, 115, 101, 200, 200)), (std::vector<int16_t>{1, 2}));
    }
    EXPECT_EQ(Ids(FindFlimbsAtPointIn(World(), 100, 90, 1)), std::vector<int16_t>{2});
    EXPECT_EQ(Ids(FindFlimbsAtPointIn(World(), 100, 90, 255)), (std::vector<int16_t>{1, 2}));
    EXPECT_EQ(FindFlimbById(2)->group, 1);
    EXPECT_EQ(FindFlimbById(-2), nullptr);
    EXPECT_EQ(FindFirstFlimbOfGroup(1)->id, 2);

    std::array<int32_t, 8> counts{};
    CountGroupFlimbsAtPoint(100, 90, counts);
    EXPECT_EQ(counts[0], 1);
    EXPECT_EQ(counts[1], 1);
}

TEST_F(FlimbTableTest, DyingFlimbsCountOnlyInTheUpdateTheyStartedDying)
{
    test.AddLocalPlayer();
    Flimb* dying = Add(100, 100, 1);
    dying->flags &= static_cast<uint8_t>(~kFlimbAlive);
    dying->typeAge = 1;
    EXPECT_TRUE(FindFlimbsInArea(false, false, 90, 90, 110, 110).empty());
    EXPECT_EQ(FindFlimbsInArea(false, true, 90, 90, 110, 110).size(), 1u);
    dying->typeAge = 2;
    EXPECT_TRUE(FindFlimbsInArea(false, true, 90, 90, 110, 110).empty());
}

TEST(SegmentsIntersect, ParallelCrossingAndEndpoints)
{
    struct Case {
        float x1, y1, x2, y2, x3, y3, x4, y4;
        int expected;
    };
    const Case cases[] = {
        {0, 0, 10, 0, 0, 5, 10, 5, -1},   // parallel
        {0, 0, 10, 0, 2, 0, 8, 0, -1},    // collinear
        {0, 0, 10, 10, 0, 10, 10, 0, 1},  // crossing
        {0, 0, 10, 0, 10, -5, 10, 5, 1},  // meets at an end point
        {0, 0, 10, 0, 5, 0, 5, 5, 1},     // an end point on the other segment
        {0, 0, 4, 0, 5, -5, 5, 5, 0},     // would cross beyond the first end
        {0, 0, 10, 0, 5, 1, 5, 5, 0},     // would cross beyond the second
    };
    for (const Case& c : cases)
        EXPECT_EQ(SegmentsIntersect(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4), c.expected)
            << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2 << " / " << c.x3 << "," << c.y3 << " " << c.x4 << ","
            << c.y4;
}

TEST_F(FlimbTableTest, SegmentQueryFindsCrossedRectanglesAndHeldEnds)
{
    Add(100, 100, 1); // 84..116 x 64..102
    Add(300, 100, 2);
    EXPECT_EQ(Ids(FindFlimbsCrossingSegment(0, 80, 400, 80)), (std::vector<int16_t>{1, 2}));
    EXPECT_EQ(Ids(FindFlimbsCrossingSegment(90, 70, 110, 90)), std::vector<int16_t>{1}) << "wholly inside";
    EXPECT_TRUE(FindFlimbsCrossingSegment(0, 0, 50, 50).empty());
}

TEST_F(FlimbTableTest, LeadingGroupIsNearestToItsExitAndTheLowerOnATie)
{
    EXPECT_EQ(FindLeadingGroup(), -1);
    Add(100, 100, 1, 1);
    Add(120, 100, 2, 1); // group 1 centre (110, 100)
    Add(300, 300, 3, 0); // group 0 centre (300, 300)
    Add(500, 500, 4, 2); // group 2 has no exit
    const auto exit = [&](uint8_t group, float x, float y) {
        auto trap = std::make_unique<RecordingTrap>(22, journal);
        trap->group = group;
        trap->x = x, trap->y = y;
        RegisterTrap(std::move(trap));
    };
    exit(1, 110, 130); // 30 away
    exit(0, 300, 330); // 30 away: a tie
    EXPECT_EQ(FindLeadingGroup(), 0);
    exit(1, 110, 110); // 10 away
    EXPECT_EQ(FindLeadingGroup(), 1);
    exit(3, 0, 0);     // a group without flimbs never leads
    EXPECT_EQ(FindLeadingGroup(), 1);
}

TEST_F(FlimbTableTest, StaggeringLightsUnlitFusesFiveApart)
{
    Add(0, 0, 1, 3);
    Flimb* lit = Add(0, 0, 2, 3);
    lit->attributes |= kAttrNovaFuse;
    lit->fuse = 200;
    Add(0, 0, 3, 3);
    Add(0, 0, 4, 4);
    StaggerGroupFlimbs(3);
    EXPECT_EQ(FindFlimbById(1)->fuse, 5);
    EXPECT_EQ(lit->fuse, 200);
    EXPECT_EQ(FindFlimbById(3)->fuse, 10);
    EXPECT_TRUE(FindFlimbById(3)->flags & kFlimbFuseLit);
    EXPECT_EQ(FindFlimbById(4)->fuse, 0);
}

TEST_F(FlimbTableTest, ClearingTheTableUnlinksAndForgetsEverything)
{
    Flimb* a = Add(0, 0, 1);
    Flimb* b = Add(0, 0, 2);
    a->linkedId = 2;
    b->linkedId = 1;
    a->tag = new Primitive();
    World().selected = a;
    SnapshotFlimbs(true);
    ASSERT_EQ(World().savedFlimbs.size(), 2u);
    EXPECT_EQ(World().savedFlimbs[0].tag, nullptr) << "the tag stays the live flimb's";
    EXPECT_EQ(World().savedSelectedId, 1);
    ClearWorldFlimbs(World());
    EXPECT_EQ(World().flimbCount, 0);
    EXPECT_EQ(World().clock.flimbsInPlay, 0);
    EXPECT_EQ(World().selected, nullptr);
    EXPECT_EQ(World().tallies, GroupTallies{});
    EXPECT_EQ(a->tag, nullptr);
    EXPECT_EQ(b->linkedId, -1) << "a flimb's partner forgets it";
    EXPECT_EQ(World().savedFlimbs.size(), 2u) << "the saved flimbs stay for a restart";
    EXPECT_EQ(World().savedFlimbs[0].animation, nullptr);
}

TEST_F(FlimbTableTest, HealthScaleTakesTheLargestEnergy)
{
    ComputeHealthScale();
    EXPECT_EQ(World().healthScale, 0);
    Controller().modeIndex = 3;
    ComputeHealthScale();
    EXPECT_EQ(World().healthScale, kFlimbStartEnergy);
    AddFlimb(0, 0, 1, 0, kWalk, 0, 20000, 0, 1);
    ComputeHealthScale();
    EXPECT_EQ(World().healthScale, 20000);
}

} // namespace
