// The size trap: gates change a flimb once per passage by its walking direction, pickups
// grow or shrink once per visit, the size rounding, the images by pair, loading and panel.
#include "tests/support/LogCapture.h"
#include "tests/support/TrapFixture.h"

#include "media/AnimSurface.h"
#include "traps/SizeTrap.h"
#include "world/FlimbTable.h"

#include <gtest/gtest.h>

namespace {

const char* const kDefaults = R"(<trap><x>0</x><y>0</y><zorder>0</zorder><flimborder>0</flimborder>
  <renderUnderShadow>0</renderUnderShadow><alpha>255</alpha><visible>1</visible><trap_rotation>0</trap_rotation>
  <scale_x>1.0</scale_x><scale_y>1.0</scale_y><tint>8421504</tint><pickup_mode>0</pickup_mode>
  <floating_pickup>0</floating_pickup><pickup_left>1</pickup_left><allow_fall>0</allow_fall><enabled>1</enabled>
  <audible>1</audible><activated>0</activated><alive>1</alive><size-in>1.0</size-in><size-out>2.0</size-out></trap>)";

class SizeTrapTest : public TrapFixture {
protected:
    void SetUp() override
    {
        TrapFixture::SetUp();
        LoadMap({}, {}, 512, 256);
        Fill(1, 0, 200, 511, 255);
    }
    // One trap update at the next update number, the flimb put back where it stood.
    static void Step(Trap& trap, Flimb* flimb = nullptr, int16_t x = 0)
    {
        ++World().clock.updateCounter;
        if (flimb)
            flimb->x = flimb->prevX = x;
        trap.Update();
    }
    SizeTrap* AddPickup(bool grow, int left = 5)
    {
        SizeTrap* pickup = AddTrap<SizeTrap>(SizeTrap::kKind, 100.0f, 180.0f);
        pickup->pickup_mode = 1;
        pickup->pickup_left = left;
        pickup->sizeOut = grow ? 2.0f : 0.5f;
        pickup->audible = 0;
        pickup->ReleaseGraphics();
        pickup->LoadGraphics();
        return pickup;
    }
};

TEST_F(SizeTrapTest, AGateChangesByWalkingDirectionOncePerPassage)
{
    SizeTrap* gate = AddTrap<SizeTrap>(SizeTrap::kKind, 100.0f, 200.0f);
    gate->audible = 0;
    ASSERT_EQ(gate->sizeIn, 1.0f);
    ASSERT_EQ(gate->sizeOut, 2.0f);
    // The contact point is (109, 190): 10 up, 9 along for the pair (1, 2).
    Flimb* left = Place(109, 200, kWalk, 0, 0, -1);
    Step(*gate, left, 109);
    EXPECT_FLOAT_EQ(left->scale, 1.0f);
    EXPECT_EQ(gate->effectPlaying, 0);
    left->flags &= static_cast<uint8_t>(~kFlimbAlive);

    Flimb* right = Place(109, 200, kWalk, 0, 0, 1);
    int changes = 0;
    float before = right->scale;
    for (int i = 0; i < 100; ++i) {
        Step(*gate, right, 109);
        changes += right->scale != before ? 1 : 0;
        before = right->scale;
    }
    EXPECT_EQ(changes, 1);
    EXPECT_FLOAT_EQ(right->scale, 2.0f);
    // Walking back it gets its size back, moved 8 to the left.
    right->walkSpeed = -3;
    gate->OnFlimbContact(right);
    EXPECT_FLOAT_EQ(right->scale, 1.0f);
    EXPECT_EQ(right->x, 101);
    EXPECT_EQ(gate->effectPlaying, 1);
}

TEST_F(SizeTrapTest, APickupWorksOncePerVisitAndAgainAfterTwentyUpdatesAway)
{
    SizeTrap* pickup = AddPickup(true);
    const gfx::RECT area = pickup->GetBounds();
    const int16_t on = static_cast<int16_t>((area.left + area.right) / 2);
    Flimb* flimb = Place(on, 200, kWalk);
    flimb->scale = 0.5f;
    for (int i = 0; i < 30; ++i)
        Step(*pickup, flimb, on);
    EXPECT_FLOAT_EQ(flimb->scale, 1.0f);
    EXPECT_EQ(pickup->pickup_left, 4);
    for (int i = 0; i < 20; ++i)
        Step(*pickup, flimb, 400);
    Step(*pickup, flimb, on); // 20 updates away: still remembered
    EXPECT_FLOAT_EQ(flimb->scale, 1.0f);
    for (int i = 0; i < 22; ++i)
        Step(*pickup, flimb, 400);
    Step(*pickup, flimb, on);
    EXPECT_FLOAT_EQ(flimb->scale, 2.0f);
    EXPECT_EQ(pickup->pickup_left, 3);
}

TEST_F(SizeTrapTest, PickupSteps)
{
    const struct {
        bool grow;
        float from, to;
        int used;
    } cases[] = {{true, 0.5f, 1.0f, 1}, {true, 1.0f, 2.0f, 1}, {true, 2.0f, 2.0f, 0},
                 {false, 2.0f, 1.0f, 1}, {false, 1.0f, 0.5f, 1}, {false, 0.5f, 0.5f, 0}};
    for (const auto& c : cases) {
        SizeTrap* pickup = AddPickup(c.grow);
        Flimb* flimb = Place(300, 200, kWalk);
        flimb->scale = c.from;
        pickup->OnFlimbContact(flimb);
        EXPECT_FLOAT_EQ(flimb->scale, c.to) << c.grow << " " << c.from;
        EXPECT_EQ(pickup->pickup_left, 5 - c.used) << c.grow << " " << c.from;
        EXPECT_TRUE(pickup->HasCooldown(flimb));
    }
    // The Quantum Time preview's copy takes the step but leaves no cooldown.
    SizeTrap* pickup = AddPickup(true);
    Flimb& copy = World().preview.copy;
    copy = *Place(300, 200, kWalk);
    copy.attributes |= kAttrQuietEnd;
    pickup->OnFlimbContact(&copy);
    EXPECT_FLOAT_EQ(copy.scale, 2.0f);
    EXPECT_TRUE(pickup->cooldowns.empty());
    EXPECT_EQ(pickup->pickup_left, 5);
}

TEST_F(SizeTrapTest, SizesRoundToPairsWithTheirImages)
{
    const struct {
        float in, out;
        float keptIn, keptOut;
        const char* image;
        bool mirrored;
    } cases[] = {
        {0.7f, 3.0f, 1.0f, 2.0f, "size-2-front", false}, {0.2f, 1.0f, 0.5f, 1.0f, "size-3-front", false},
        {2.0f, 0.5f, 2.0f, 0.5f, "size-1-front", true},  {1.0f, 0.5f, 1.0f, 0.5f, "size-3-front", true},
    };
    for (const auto& c : cases) {
        auto gate = MakeTrap<SizeTrap>(SizeTrap::kKind);
        gate->SetSizes(c.in, c.out);
        EXPECT_EQ(gate->sizeIn, c.keptIn) << c.in;
        EXPECT_EQ(gate->sizeOut, c.keptOut) << c.out;
        EXPECT_EQ(gate->mirrored, c.mirrored ? 1 : 0) << c.in;
        ASSERT_NE(gate->sprite, nullptr);
        ASSERT_NE(gate->backImage, nullptr);
        EXPECT_NE(std::string(gate->sprite->GetName()).find(c.image), std::string::npos) << gate->sprite->GetName();
    }
    LogCapture log;
    auto equal = MakeTrap<SizeTrap>(SizeTrap::kKind);
    equal->SetSizes(1.2f, 2.0f);
    EXPECT_TRUE(log.Contains("ERROR: trapsize combo not suppoted!"));
    EXPECT_EQ(equal->sprite, nullptr);
    EXPECT_EQ(equal->backImage, nullptr);
}

TEST_F(SizeTrapTest, LoadAndPanel)
{
    auto gate = MakeTrap<SizeTrap>(SizeTrap::kKind);
    LoadText(*gate, "<trap><size-in>0.7</size-in><size-out>3</size-out></trap>", kDefaults);
    EXPECT_EQ(gate->sizeIn, 1.0f);
    EXPECT_EQ(gate->sizeOut, 2.0f);
    EXPECT_NE(SaveText(*gate).find("<size-in>1.0000</size-in><size-out>2.0000</size-out>"), std::string::npos);

    auto pickup = MakeTrap<SizeTrap>(SizeTrap::kKind);
    LoadText(*pickup, "<trap><pickup_mode>1</pickup_mode><size-out>1.0</size-out></trap>", kDefaults);
    EXPECT_EQ(pickup->sizeOut, 0.5f); // a pickup that does not grow shrinks
    ASSERT_NE(pickup->sprite, nullptr);
    EXPECT_NE(std::string(pickup->sprite->GetName()).find("size-pickup-shrink"), std::string::npos);

    std::unique_ptr<LayoutPanel> panel = gate->BuildEditPanel();
    panel->Finish();
    Choose(*panel, "sizein", 1);
    Choose(*panel, "sizeout", 1); // equal: refused
    ASSERT_TRUE(gate->ApplyEditPanel(panel.get()));
    EXPECT_EQ(gate->sizeIn, 1.0f);
    EXPECT_EQ(gate->sizeOut, 2.0f);
    Choose(*panel, "sizein", 2);
    Choose(*panel, "sizeout", 0);
    ASSERT_TRUE(gate->ApplyEditPanel(panel.get()));
    EXPECT_EQ(gate->sizeIn, 2.0f);
    EXPECT_EQ(gate->sizeOut, 0.5f);
    EXPECT_EQ(gate->mirrored, 1);
}

} // namespace
