// The anti-gravity trap: its rules, the turn of a flimb, once per contact, random rules,
// the legacy single rule, pickup sheets, the preview copy and the panel's rule buttons.
#include "tests/support/TrapFixture.h"

#include "app/Random.h"
#include "gui/ListBox.h"
#include "gui/TextButtons.h"
#include "media/AnimSurface.h"
#include "traps/AntiGravTrap.h"

#include <gtest/gtest.h>

namespace {

const char* const kDefaults = R"(<trap><x>0</x><y>0</y><zorder>0</zorder><flimborder>0</flimborder>
  <renderUnderShadow>0</renderUnderShadow><alpha>255</alpha><visible>1</visible><trap_rotation>0</trap_rotation>
  <scale_x>1.0</scale_x><scale_y>1.0</scale_y><tint>8421504</tint><pickup_mode>0</pickup_mode>
  <floating_pickup>0</floating_pickup><pickup_left>1</pickup_left><allow_fall>0</allow_fall><enabled>1</enabled>
  <audible>1</audible><activated>0</activated><alive>1</alive>
  <old_gravity0>-1</old_gravity0><new_gravity0>-1</new_gravity0><old_gravity1>-1</old_gravity1>
  <new_gravity1>-1</new_gravity1><old_gravity2>-1</old_gravity2><new_gravity2>-1</new_gravity2>
  <old_gravity3>-1</old_gravity3><new_gravity3>-1</new_gravity3><use_area>0</use_area><width>64</width>
  <height>64</height><random_grav>0</random_grav></trap>)";

class AntiGravTrapTest : public TrapFixture {
protected:
    void SetUp() override
    {
        TrapFixture::SetUp();
        LoadMap({}, {}, 512, 256);
        Fill(1, 0, 200, 511, 255);
    }
    AntiGravTrap* AddRing(float px = 100.0f, float py = 190.0f)
    {
        AntiGravTrap* ring = AddTrap<AntiGravTrap>(AntiGravTrap::kKind, px, py);
        ring->audible = 0;
        return ring;
    }
    static void Step(Trap& trap, Flimb* flimb, int16_t x, int16_t y)
    {
        ++World().clock.updateCounter;
        flimb->x = flimb->prevX = x;
        flimb->y = flimb->prevY = y;
        trap.Update();
    }
};

TEST_F(AntiGravTrapTest, AFlimbIsTurnedLiftedAndMadeToTurnByTheFirstMatchingRule)
{
    AntiGravTrap* ring = AddRing();
    ring->oldGravity = {AntiGravTrap::kAny, 0, -1, -1};
    ring->newGravity = {0, 3, -1, -1}; // rule 0 gives Down, which the flimb has: rule 1 wins
    Flimb* flimb = Place(100, 200, kWalk);
    ring->OnFlimbContact(flimb);
    EXPECT_EQ(flimb->gravity, 3);
    EXPECT_EQ(flimb->type, kGraviturn);
    EXPECT_EQ(flimb->angle, 0);    // the angle of the old gravity
    EXPECT_EQ(flimb->counter, 0);  // the old gravity, for the turn
    EXPECT_EQ(flimb->y, 180);      // 20 up from its floor
    EXPECT_EQ(flimb->targetX, 100); // towards the ring
    EXPECT_EQ(flimb->targetY, 190);
    EXPECT_EQ(flimb->walkSpeed, -3); // Down to Right reverses the walk
    EXPECT_EQ(flimb->fallDistance, 0);
    EXPECT_TRUE(ring->HasCooldown(flimb));
    EXPECT_EQ(ring->glowAlpha, 35);

    // A flimb mid-turn is never turned again.
    flimb->gravity = 0;
    ring->cooldowns.clear();
    ring->OnFlimbContact(flimb);
    EXPECT_EQ(flimb->gravity, 0);
}

TEST_F(AntiGravTrapTest, OncePerContactAndAgainAfterMoreThanTenUpdatesAway)
{
    AntiGravTrap* pickup = AddRing();
    pickup->pickup_mode = 1;
    pickup->pickup_left = 0; // unlimited
    pickup->oldGravity = {0, 1, -1, -1};
    pickup->newGravity = {1, 0, -1, -1};
    Flimb* flimb = Place(100, 200, kWalk);
    int flips = 0;
    uint8_t gravity = flimb->gravity;
    auto count = [&] {
        flips += flimb->gravity != gravity ? 1 : 0;
        gravity = flimb->gravity;
    };
    // On the ring: feet below it standing on the floor, above it hanging from a ceiling.
    auto on = [&] { Step(*pickup, flimb, 100, flimb->gravity == 0 ? 200 : 180); };
    for (int i = 0; i < 30; ++i) {
        on();
        count();
    }
    EXPECT_EQ(flips, 1);
    for (int i = 0; i < 10; ++i)
        Step(*pickup, flimb, 400, 200);
    on();
    count();
    EXPECT_EQ(flips, 1);
    for (int i = 0; i < 12; ++i)
        Step(*pickup, flimb, 400, 200);
    on();
    count();
    EXPECT_EQ(flips, 2);
}

TEST_F(AntiGravTrapTest, RandomRulesRewriteEverySlotExaminedButThePreviewCopyDrawsNothing)
{
    for (uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
        SimSrand(seed);
        const int32_t first = SimRand() % 4, second = SimRand() % 4;
        SimSrand(seed);
        auto ring = MakeTrap<AntiGravTrap>(AntiGravTrap::kKind);
        ring->randomGravity = 1;
        ring->oldGravity = {-1, 0, -1, -1};
        Flimb* flimb = Place(300, 200, kWalk);
        ring->OnFlimbContact(flimb);
        EXPECT_EQ(ring->newGravity[0], first) << seed;
        EXPECT_EQ(ring->newGravity[1], second) << seed;
        if (second != 0) {
            EXPECT_EQ(flimb->gravity, second) << seed;
            EXPECT_EQ(ring->newGravity[2], -1) << seed; // not examined
        } else {
            EXPECT_EQ(flimb->gravity, 0) << seed;
        }
        ring.reset();
    }
    // The preview copy: rules as they stand, no draw, no cooldown, no glow.
    auto ring = MakeTrap<AntiGravTrap>(AntiGravTrap::kKind);
    ring->randomGravity = 1;
    ring->oldGravity = {0, -1, -1, -1};
    ring->newGravity = {1, -1, -1, -1};
    Flimb& copy = World().preview.copy;
    copy = *Place(300, 200, kWalk);
    copy.attributes |= kAttrQuietEnd;
    SimSrand(9);
    const int next = SimRand();
    SimSrand(9);
    ring->OnFlimbContact(&copy);
    EXPECT_EQ(copy.gravity, 1);
    EXPECT_EQ(SimRand(), next);
    EXPECT_EQ(ring->newGravity[0], 1);
    EXPECT_TRUE(ring->cooldowns.empty());
    EXPECT_EQ(ring->glowAlpha, 0);
}

TEST_F(AntiGravTrapTest, SteeredFlimbsTakeTheirKeyAgainAndStopJumping)
{
    auto ring = MakeTrap<AntiGravTrap>(AntiGravTrap::kKind);
    ring->oldGravity = {AntiGravTrap::kAny, -1, -1, -1};
    ring->newGravity = {1, -1, -1, -1};
    Flimb* flimb = Place(300, 200, kWalk);
    flimb->attributes |= kAttrSteered;
    flimb->steerKeys = 1;
    flimb->flags2 |= kFlimbJumping;
    flimb->jumpVY = -5;
    ring->OnFlimbContact(flimb);
    EXPECT_EQ(flimb->steerKeys, 2); // Down to Up with bit 0 held
    EXPECT_EQ(flimb->flags2 & kFlimbJumping, 0);
    EXPECT_EQ(flimb->jumpVY, 0);
}

TEST_F(AntiGravTrapTest, LegacySingleRuleAndPickupSheets)
{
    const char* legacy[] = {"<trap><new_gravity>2</new_gravity></trap>", "<trap new_gravity=\"2\"/>",
                            "<new_gravity>2</new_gravity>"};
    for (const char* text : legacy) {
        auto ring = MakeTrap<AntiGravTrap>(AntiGravTrap::kKind);
        XmlDocument doc = XmlParseBuffer(text, std::strlen(text), "trap");
        XmlDocument defaults = XmlParseBuffer(kDefaults, std::strlen(kDefaults), "defaults");
        ring->Load(XmlRoot(doc.get()), XmlRoot(defaults.get()), kTrapLoadAll);
        EXPECT_EQ(ring->oldGravity[0], AntiGravTrap::kAny) << text;
        EXPECT_EQ(ring->newGravity[0], 2) << text;
    }
    const struct {
        float rotation;
        std::array<int32_t, 4> in, out;
        bool floating;
        const char* sheet;
    } cases[] = {
        {0, {4, -1, -1, -1}, {3, -1, -1, -1}, false, "pickup-x3"},
        {0, {0, 1, -1, -1}, {1, 0, -1, -1}, true, "pickup-ud-float"},
        {0, {0, 2, -1, -1}, {2, 0, -1, -1}, false, "pickup-dl"},
        {0, {3, 0, -1, -1}, {0, 3, -1, -1}, false, "pickup-dr"},
        {90, {3, 2, -1, -1}, {2, 3, -1, -1}, false, "pickup-ud"}, // facing Right
        {0, {2, 3, -1, -1}, {3, 2, -1, -1}, false, "pickup-x3"},  // not with the facing
        {0, {0, 1, -1, -1}, {1, 1, -1, -1}, false, "pickup-x1"},  // no mirror pair
    };
    for (const auto& c : cases) {
        auto pickup = MakeTrap<AntiGravTrap>(AntiGravTrap::kKind);
        pickup->pickup_mode = 1;
        pickup->floating_pickup = c.floating ? 1 : 0;
        pickup->rotation = c.rotation;
        pickup->oldGravity = c.in;
        pickup->newGravity = c.out;
        EXPECT_EQ(pickup->PickupSheetName(), c.sheet);
        pickup->ReleaseGraphics();
        pickup->LoadGraphics();
        ASSERT_NE(pickup->sprite, nullptr) << c.sheet;
    }
}

TEST_F(AntiGravTrapTest, ThePanelsButtonsAddAndClearRules)
{
    auto ring = MakeTrap<AntiGravTrap>(AntiGravTrap::kKind);
    std::unique_ptr<LayoutPanel> panel = ring->BuildEditPanel();
    panel->Finish();
    auto* add = dynamic_cast<Button*>(panel->Find("Add Rule"));
    auto* clear = dynamic_cast<Button*>(panel->Find("Clear Rules"));
    ASSERT_NE(add, nullptr);
    ASSERT_NE(clear, nullptr);
    Choose(*panel, "old_gravity", 4);
    Choose(*panel, "new_gravity", 2);
    for (int i = 0; i < 5; ++i)
        AntiGravTrap::AddRule(panel.get(), add);
    EXPECT_EQ(ring->oldGravity, (std::array<int32_t, 4>{4, 4, 4, 4})); // the fifth overwrote rule 3
    EXPECT_EQ(ring->newGravity, (std::array<int32_t, 4>{2, 2, 2, 2}));
    auto* list = dynamic_cast<ListBox*>(panel->Find("curr_gravity"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCount(), 5);
    AntiGravTrap::ClearRules(panel.get(), clear);
    EXPECT_EQ(ring->oldGravity, (std::array<int32_t, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(list->GetCount(), 0);
    Type(*panel, "width", "3");
    Type(*panel, "height", "99999");
    Check(*panel, "use_area", true);
    ASSERT_TRUE(ring->ApplyEditPanel(panel.get()));
    EXPECT_EQ(ring->areaWidth, 8);
    EXPECT_EQ(ring->areaHeight, 4096);
    EXPECT_EQ(ring->useArea, 1);
    ring->x = 100;
    ring->y = 50;
    EXPECT_EQ(ring->GetBounds(), (gfx::RECT{96, -1998, 104, 2098}));
}

} // namespace
