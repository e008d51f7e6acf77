// The shock barrier: its contact segments (table maths, pinned), sparks, electrocution, the
// flash, activation, drawing that leaves the trap alone, loading and the panel.
#include "tests/support/LogCapture.h"
#include "tests/support/TrapFixture.h"

#include "app/Random.h"
#include "media/AnimSurface.h"
#include "traps/ShockTrap.h"

#include <gtest/gtest.h>

namespace {

const char* const kDefaults = R"(<trap><x>0</x><y>0</y><zorder>0</zorder><flimborder>0</flimborder>
  <renderUnderShadow>0</renderUnderShadow><alpha>255</alpha><visible>1</visible><trap_rotation>0</trap_rotation>
  <scale_x>1.0</scale_x><scale_y>1.0</scale_y><tint>8421504</tint><pickup_mode>0</pickup_mode>
  <floating_pickup>0</floating_pickup><pickup_left>1</pickup_left><allow_fall>0</allow_fall><enabled>1</enabled>
  <audible>1</audible><activated>0</activated><alive>1</alive><sections>1</sections></trap>)";

class ShockTrapTest : public TrapFixture {
protected:
    void SetUp() override
    {
        TrapFixture::SetUp();
        LoadMap({}, {}, 512, 256);
        Fill(1, 0, 200, 511, 255);
    }
};

// The segments of a few barriers, from the angle tables; they agree with a double-precision
// evaluation of the same formula to the pixel.
TEST_F(ShockTrapTest, ContactSegmentsAreGolden)
{
    const struct {
        int32_t sections;
        float rotation, scaleX, scaleY;
        ShockTrap::Segment first, second;
    } cases[] = {
        {1, 0.00f, 1.00f, 1.00f, {489, 286, 489, 314}, {511, 286, 511, 314}},
        {4, 0.00f, 1.00f, 1.00f, {486, 245, 486, 355}, {514, 245, 514, 355}},
        {10, 45.00f, 1.00f, 1.00f, {585, 195, 395, 385}, {605, 215, 415, 405}},
        {3, 90.00f, 2.00f, 1.00f, {536, 275, 464, 275}, {536, 325, 464, 325}},
        {100, 30.50f, 1.00f, 0.50f, {820, -270, 156, 857}, {844, -256, 180, 871}},
        {7, 200.00f, 0.75f, 1.25f, {470, 413, 550, 194}, {450, 406, 530, 187}},
    };
    auto barrier = MakeTrap<ShockTrap>(ShockTrap::kKind);
    ASSERT_NE(barrier->sprite, nullptr);
    // The section image has a transparent margin: its length is the opaque part's.
    EXPECT_LT(barrier->SectionLength(), barrier->sprite->frameHeight - 2);
    EXPECT_EQ(barrier->SectionLength(), 26);
    barrier->x = 500.5f;
    barrier->y = 300.25f;
    for (const auto& c : cases) {
        barrier->sections = c.sections;
        barrier->rotation = c.rotation;
        barrier->scale_x = c.scaleX;
        barrier->scale_y = c.scaleY;
        ShockTrap::Segment first{}, second{};
        barrier->ContactSegments(first, second);
        EXPECT_EQ(first, c.first) << c.sections << " " << c.rotation;
        EXPECT_EQ(second, c.second) << c.sections << " " << c.rotation;
    }
}

TEST_F(ShockTrapTest, SparksStartOneInThreeHundredOverTheSections)
{
    const struct {
        int32_t sections;
        int low, high;
    } cases[] = {{100, 9000, 11000}, {1, 70, 130}, {7, 600, 800}}; // 30000 updates: 1 in 3, 300, 42
    for (const auto& c : cases) {
        SimSrand(12345);
        auto barrier = MakeTrap<ShockTrap>(ShockTrap::kKind);
        barrier->sections = c.sections;
        barrier->x = -1000.0f; // touching nothing
        int sparks = 0;
        World().clock.updateCounter = 0;
        for (int i = 0; i < 30000; ++i) {
            ++World().clock.updateCounter;
            barrier->Update();
            sparks += barrier->lastSpark == World().clock.updateCounter ? 1 : 0;
            ASSERT_LT(barrier->sparkSection, c.sections);
        }
        EXPECT_GE(sparks, c.low) << c.sections;
        EXPECT_LE(sparks, c.high) << c.sections;
    }
}

TEST_F(ShockTrapTest, TheBarrierElectrocutesTheLivingOnly)
{
    ShockTrap* barrier = AddTrap<ShockTrap>(ShockTrap::kKind, 100.0f, 170.0f);
    barrier->audible = 0;
    World().clock.updateCounter = 50;
    Flimb* walker = Place(100, 200, kWalk);
    barrier->Update();
    EXPECT_EQ(walker->type, kShock);
    EXPECT_EQ(barrier->lastShock, 50u);
    for (uint8_t type : {kNova, kDrown, kShock}) {
        Flimb* flimb = Place(300, 200, kWalk);
        flimb->type = type;
        barrier->OnFlimbContact(flimb);
        EXPECT_EQ(flimb->type, type);
    }
    Flimb* dead = Place(300, 200, kWalk);
    dead->flags &= static_cast<uint8_t>(~kFlimbAlive);
    barrier->OnFlimbContact(dead);
    EXPECT_EQ(dead->type, kWalk);
    // A quiet-end flimb is electrocuted without a flash.
    barrier->lastShock = 0;
    Flimb* quiet = Place(300, 200, kWalk);
    quiet->attributes |= kAttrQuietEnd;
    barrier->OnFlimbContact(quiet);
    EXPECT_EQ(quiet->type, kShock);
    EXPECT_EQ(barrier->lastShock, 0u);
    // Activated with no flimb: nothing; with one: wherever it is.
    barrier->Activate(nullptr);
    EXPECT_EQ(barrier->activated, 0);
    Flimb* far = Place(450, 200, kWalk);
    barrier->Activate(far);
    EXPECT_EQ(far->type, kShock);
}

TEST_F(ShockTrapTest, DrawingChangesNoState)
{
    ShockTrap* barrier = AddTrap<ShockTrap>(ShockTrap::kKind, 100.0f, 150.0f);
    barrier->sections = 5;
    World().clock.updateCounter = 20;
    barrier->lastShock = 18;
    barrier->zapFrame = 2;
    Controller().alternateFrame = 1;
    SimSrand(77);
    const int next = SimRand();
    SimSrand(77);
    const uint64_t before = WorldStateHash();
    barrier->DrawBack();
    barrier->Draw();
    EXPECT_EQ(barrier->zapFrame, 2);
    EXPECT_EQ(WorldStateHash(), before);
    EXPECT_EQ(SimRand(), next);
}

TEST_F(ShockTrapTest, SectionsAreKeptWithinOneToAHundred)
{
    const struct {
        const char* text;
        int32_t kept;
        bool logged;
    } cases[] = {{"0", 1, true}, {"-4", 1, true}, {"500", 100, true}, {"37", 37, false}};
    for (const auto& c : cases) {
        LogCapture log;
        auto barrier = MakeTrap<ShockTrap>(ShockTrap::kKind);
        LoadText(*barrier, std::string("<trap><sections>") + c.text + "</sections></trap>", kDefaults);
        EXPECT_EQ(barrier->sections, c.kept) << c.text;
        EXPECT_EQ(log.Contains("kept within 1..100"), c.logged) << c.text;
        barrier->Update(); // no division by zero
    }
    auto barrier = MakeTrap<ShockTrap>(ShockTrap::kKind);
    std::unique_ptr<LayoutPanel> panel = barrier->BuildEditPanel();
    panel->Finish();
    Type(*panel, "sections", "250");
    ASSERT_TRUE(barrier->ApplyEditPanel(panel.get()));
    EXPECT_EQ(barrier->sections, 100);
    Type(*panel, "sections", "0");
    ASSERT_TRUE(barrier->ApplyEditPanel(panel.get()));
    EXPECT_EQ(barrier->sections, 1);
}

} // namespace
