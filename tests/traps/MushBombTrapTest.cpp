// The mush-bomb: blast length, the touch bomb, the effects (scale rules, unknown types),
// one hit per blast, the period bounds, the blast edge and the seeded ice timer.
#include "app/Random.h"
#include "app/XmlUtil.h"
#include "tests/support/FlimbFixture.h"
#include "traps/MushBombTrap.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class MushBombTrapTest : public FlimbFixture {
protected:
    void SetUp() override
    {
        FlimbFixture::SetUp();
        LoadMap(AsciiMap(200, std::string(300, '.')));
        bomb.x = 100.0f;
        bomb.y = 100.0f;
    }
    void Step()
    {
        ++World().clock.updateCounter;
        bomb.Update();
    }
    MushBombTrap bomb;
};

} // namespace

// The constructor's step of 100 makes a 1000-pixel blast last 10 updates; a step of 0 or
// less from a file reads as 1, so a blast always ends.
TEST_F(MushBombTrapTest, BlastLengthAndStepFromAFile)
{
    bomb.Activate(nullptr);
    int updates = 0;
    while (bomb.exploding && updates < 100) {
        Step();
        ++updates;
    }
    EXPECT_EQ(updates, 10);
    EXPECT_EQ(bomb.radius, 0);

    for (const char* speed : {"0", "-7"}) {
        const std::string text = std::string("<trap><speed>") + speed + "</speed><radius>5</radius></trap>";
        XmlDocument doc = XmlParseBuffer(text.data(), text.size(), "trap");
        MushBombTrap loaded;
        const char* defaults = "<trap><x>0</x><y>0</y><zorder>0</zorder><flimborder>0</flimborder>"
                               "<renderUnderShadow>0</renderUnderShadow><alpha>255</alpha><visible>1</visible>"
                               "<trap_rotation>0</trap_rotation><scale_x>1</scale_x><scale_y>1</scale_y>"
                               "<tint>0</tint><enabled>1</enabled><audible>1</audible><activated>0</activated>"
                               "<alive>1</alive><period>0</period><mush_type>0</mush_type>"
                               "<liquid_adds>0</liquid_adds></trap>";
        XmlDocument defaultsDoc = XmlParseBuffer(defaults, std::strlen(defaults), "trap");
        loaded.Load(XmlRoot(doc.get()), XmlRoot(defaultsDoc.get()), kTrapLoadAll);
        EXPECT_EQ(loaded.radiusStep, 1) << speed;
    }
}

// A touch bomb atomizes the toucher; the others are reached from the next update on.
TEST_F(MushBombTrapTest, TouchBombAtomizesTheToucherAndReachesOthersNextUpdate)
{
    bomb.mushType = MushBombTrap::kStun;
    Flimb* toucher = Place(100, 110, kWalk);
    Flimb* near = Place(140, 120, kWalk);
    Step();
    EXPECT_FALSE(toucher->InWorld());
    EXPECT_TRUE(bomb.exploding);
    EXPECT_EQ(near->type, kWalk);
    Step();
    EXPECT_EQ(near->type, ::kStun);
    EXPECT_TRUE(bomb.IsAffected(near));
    EXPECT_FALSE(bomb.IsAffected(toucher));
}

// Shrink and Grow change only the exact scales of their table; an unknown type does nothing.
TEST_F(MushBombTrapTest, ScaleEffectsAndUnknownTypes)
{
    struct Case {
        int32_t type;
        float before, after;
    };
    const Case cases[] = {{MushBombTrap::kShrink, 1.0f, 0.5f}, {MushBombTrap::kShrink, 2.0f, 1.0f},
                          {MushBombTrap::kShrink, 0.5f, 0.5f}, {MushBombTrap::kShrink, 1.5f, 1.5f},
                          {MushBombTrap::kGrow, 1.0f, 2.0f},   {MushBombTrap::kGrow, 0.5f, 1.0f},
                          {MushBombTrap::kGrow, 2.0f, 2.0f},   {99, 1.0f, 1.0f},
                          {-1, 1.0f, 1.0f}};
    for (const Case& c : cases) {
        Flimb* flimb = Place(150, 150, kWalk);
        flimb->scale = c.before;
        bomb.mushType = c.type;
        bomb.OnFlimbContact(flimb);
        EXPECT_EQ(flimb->scale, c.after) << c.type << " at " << c.before;
        EXPECT_TRUE(flimb->InWorld());
        EXPECT_EQ(flimb->type, kWalk);
    }
}

// A flimb is hit once per blast however long the circle grows over it; Activate keeps the
// list (no second hit), a period blast empties it. A removed flimb leaves the list.
TEST_F(MushBombTrapTest, OneHitPerBlast)
{
    bomb.mushType = MushBombTrap::kShrink;
    bomb.radiusStep = 10;
    bomb.maxRadius = 200;
    Flimb* flimb = Place(120, 130, kWalk);
    flimb->scale = 2.0f;
    bomb.Activate(nullptr);
    while (bomb.exploding)
        Step();
    EXPECT_EQ(flimb->scale, 1.0f);
    bomb.Activate(nullptr);
    while (bomb.exploding)
        Step();
    EXPECT_EQ(flimb->scale, 1.0f) << "Activate keeps the affected list";
    bomb.period = 10;
    while (!bomb.exploding)
        Step();
    while (bomb.exploding)
        Step();
    EXPECT_EQ(flimb->scale, 0.5f) << "a period blast starts afresh";
    ASSERT_TRUE(bomb.IsAffected(flimb));
    bomb.ForgetObject(flimb);
    EXPECT_FALSE(bomb.IsAffected(flimb));
}

// The blast's edge: the inner square hits, the corner of the outer square misses, and the
// rounded distance must be below the radius. Periods are bounded.
TEST_F(MushBombTrapTest, BlastEdgeAndPeriodBounds)
{
    bomb.radius = 100;
    struct Point {
        int32_t x, y;
        bool hit;
    };
    for (const Point& p : {Point{100, 100, true}, Point{170, 170, true}, Point{200, 200, false},
                           Point{200, 100, false}, Point{199, 100, true}, Point{201, 100, false}})
        EXPECT_EQ(bomb.BlastReaches(p.x, p.y), p.hit) << p.x << "," << p.y;
    for (const auto& [typed, stored] : {std::pair<int64_t, uint32_t>{5, 10}, {54001, 54000}, {0, 0}, {10, 10}})
        EXPECT_EQ(MushBombTrap::BoundedPeriod(typed), stored) << typed;
}

// Ice replaces the flimb with a registered frozen-flimb trap; the generator is seeded with
// the update number, so one update gives one timer draw whatever came before.
TEST_F(MushBombTrapTest, IceFreezesWithASeededTimer)
{
    bomb.mushType = MushBombTrap::kIce;
    World().clock.updateCounter = 321;
    uint32_t after[2] = {};
    for (int run = 0; run < 2; ++run) {
        SimRandom().Seed(1000u + static_cast<uint32_t>(run));
        Flimb* flimb = Place(60, 70, kWalk, 3, 2);
        bomb.OnFlimbContact(flimb);
        EXPECT_FALSE(flimb->InWorld());
        after[run] = SimRandom().Next();
    }
    EXPECT_EQ(after[0], after[1]);
    const std::vector<Trap*> frozen = GetTrapsOfKind(17);
    ASSERT_EQ(frozen.size(), 2u);
    EXPECT_EQ(frozen[0]->x, 60.0f);
    EXPECT_EQ(frozen[0]->rotation, 270.0f);
    EXPECT_EQ(frozen[0]->allow_fall, 1);
    EXPECT_EQ(frozen[0]->Group(), 3);
}
