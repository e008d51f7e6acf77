// The teleport trap: destinations by mode, the pad's contact point, the squeeze animation
// and its queue, the limit, pickups, events, loading and the panel.
#include "tests/support/RecordingTrap.h"
#include "tests/support/TrapFixture.h"

#include "game/GameController.h"
#include "traps/TelePortTrap.h"
#include "world/FlimbTable.h"

#include <gtest/gtest.h>

namespace {

class TelePortTrapTest : public TrapFixture {
protected:
    void SetUp() override
    {
        TrapFixture::SetUp();
        LoadMap({}, {}, 512, 256);
        Fill(1, 0, 200, 511, 255);
    }
    // A pad on the floor at x = 100, sending flimbs to (400, 200).
    TelePortTrap* AddPad(int32_t max = 0)
    {
        TelePortTrap* pad = AddTrap<TelePortTrap>(TelePortTrap::kKind, 100.0f, 200.0f);
        pad->destx = 400;
        pad->desty = 200;
        pad->teleport_max = max;
        pad->remaining = max == 0 ? -1 : max;
        pad->audible = 0;
        return pad;
    }
    // A flimb standing still on the pad's contact point.
    Flimb* PlaceOnPad(int x = 100)
    {
        Flimb* flimb = Place(x, 200, kWalk);
        flimb->walkSpeed = 0;
        return flimb;
    }
};

TEST_F(TelePortTrapTest, DestinationsByMode)
{
    struct Case {
        int32_t mode;
        int8_t walk;
        int16_t toX, toY;
    } cases[] = {
        {TelePortTrap::kAbsolute, 3, 40, 10},
        {TelePortTrap::kRelative, -3, 140, 110},
        {TelePortTrap::kRelativeLocal, 3, 140, 110},
        {TelePortTrap::kRelativeLocal, -3, 60, 110}, // walking left: 40 to its left
        {7, 3, 100, 100},                             // no such mode: stays
    };
    auto pad = MakeTrap<TelePortTrap>(TelePortTrap::kKind);
    pad->destx = 40;
    pad->desty = 10;
    for (const Case& c : cases) {
        Flimb flimb{};
        flimb.Init();
        flimb.x = flimb.prevX = 100;
        flimb.y = flimb.prevY = 100;
        flimb.walkSpeed = c.walk;
        pad->mode = c.mode;
        pad->MoveToDestination(flimb);
        EXPECT_EQ(flimb.x, c.toX) << c.mode << " " << int(c.walk);
        EXPECT_EQ(flimb.y, c.toY) << c.mode;
        EXPECT_EQ(flimb.prevX, flimb.x);
        EXPECT_EQ(flimb.prevY, flimb.y);
    }
}

TEST_F(TelePortTrapTest, TheContactPointLiesAboveThePadAlongItsGravity)
{
    auto pad = MakeTrap<TelePortTrap>(TelePortTrap::kKind);
    pad->x = 100.7f;
    pad->y = 50.2f;
    pad->scale_y = 2.0f;
    const struct {
        float rotation;
        int32_t px, py;
    } cases[] = {{0, 100, 0}, {180, 100, 100}, {270, 150, 50}, {90, 50, 50}};
    for (const auto& c : cases) {
        pad->rotation = c.rotation;
        int32_t px = 0, py = 0;
        pad->ContactPoint(px, py);
        EXPECT_EQ(px, c.px) << c.rotation;
        EXPECT_EQ(py, c.py) << c.rotation;
    }
}

TEST_F(TelePortTrapTest, AFlimbIsSqueezedMovedAndStretchedBack)
{
    TelePortTrap* pad = AddPad();
    Flimb* flimb = PlaceOnPad();
    Run(1);
    ASSERT_EQ(pad->pending.size(), 1u);
    float smallest = 1.0f;
    int moved = 0;
    for (int i = 2; i <= 60 && !pad->pending.empty(); ++i) {
        Run(1);
        smallest = std::min(smallest, flimb->drawScaleX);
        if (!moved && flimb->x == 400)
            moved = i;
        if (!moved) {
            EXPECT_EQ(flimb->x, 100) << i; // held on the pad while it shrinks
        }
    }
    EXPECT_TRUE(pad->pending.empty());
    EXPECT_GT(moved, 3);
    EXPECT_FLOAT_EQ(smallest, 0.0f);
    EXPECT_FLOAT_EQ(flimb->drawScaleX, 1.0f);
    EXPECT_FLOAT_EQ(flimb->drawScaleY, 1.0f);
    EXPECT_EQ(flimb->alpha, 255);
    EXPECT_NEAR(flimb->x, 400, 10); // it walks on from the destination
}

TEST_F(TelePortTrapTest, ALimitOfTwoMovesTwoOfFiveArrivals)
{
    TelePortTrap* pad = AddPad(2);
    std::vector<Flimb*> flimbs;
    for (int i = 0; i < 5; ++i)
        flimbs.push_back(PlaceOnPad(100));
    Run(1);
    EXPECT_EQ(pad->remaining, 0);
    EXPECT_EQ(pad->pending.size(), 2u);
    Run(60);
    int atDestination = 0;
    for (Flimb* flimb : flimbs)
        atDestination += flimb->x == 400 ? 1 : 0;
    EXPECT_EQ(atDestination, 2);
    EXPECT_EQ(pad->remaining, 0);
    EXPECT_TRUE(pad->pending.empty());
}

TEST_F(TelePortTrapTest, AHeldFlimbFiresAndCountsEveryUpdate)
{
    std::vector<std::string> journal;
    auto target = std::make_unique<RecordingTrap>(3, journal);
    const uint32_t targetId = target->id;
    RegisterTrap(std::move(target));
    TelePortTrap* pad = AddPad(50);
    pad->SetLink({0, targetId});
    PlaceOnPad();
    Run(3);
    EXPECT_EQ(pad->pending.size(), 1u); // queued once
    EXPECT_EQ(pad->remaining, 47);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), std::to_string(targetId) + " activate"), 3);
    DeleteAllTraps(); // the recording trap writes into the journal as it goes
}

TEST_F(TelePortTrapTest, APickupMovesAtOnceAndThePreviewCopyLeavesNoEntry)
{
    TelePortTrap* pickup = AddPad();
    pickup->pickup_mode = 1;
    pickup->pickup_left = 3;
    pickup->ReleaseGraphics();
    pickup->LoadGraphics();
    Flimb* flimb = PlaceOnPad();
    pickup->OnFlimbContact(flimb);
    EXPECT_EQ(flimb->x, 400);
    EXPECT_TRUE(pickup->pending.empty());
    EXPECT_EQ(pickup->pickup_left, 2);

    TelePortTrap* pad = AddPad();
    Flimb& copy = World().preview.copy;
    copy = *PlaceOnPad();
    copy.attributes |= kAttrQuietEnd;
    pad->OnFlimbContact(&copy);
    EXPECT_TRUE(pad->pending.empty());
    EXPECT_EQ(copy.x, 400);
}

TEST_F(TelePortTrapTest, ARemovedFlimbLeavesTheQueue)
{
    TelePortTrap* pad = AddPad();
    Flimb* flimb = PlaceOnPad();
    Run(1);
    ASSERT_EQ(pad->pending.size(), 1u);
    NotifyTrapsFlimbRemoved(flimb);
    EXPECT_TRUE(pad->pending.empty());
    Run(2);
}

TEST_F(TelePortTrapTest, LoadAndPanel)
{
    const struct {
        const char* mode;
        int32_t expected;
    } names[] = {{"Relative", 1}, {"RelativeLocal", 2}, {"Absolute", 0}, {"Sideways", 0}};
    for (const auto& name : names) {
        auto pad = MakeTrap<TelePortTrap>(TelePortTrap::kKind);
        LoadText(*pad,
                 std::string("<trap><destx>-5</destx><desty>7</desty><mode>") + name.mode +
                     "</mode><solid_base>Yes</solid_base><teleport_max>4</teleport_max></trap>",
                 "<trap><x>0</x><y>0</y><zorder>0</zorder><flimborder>0</flimborder><renderUnderShadow>0"
                 "</renderUnderShadow><alpha>255</alpha><visible>1</visible><trap_rotation>0</trap_rotation>"
                 "<scale_x>1</scale_x><scale_y>1</scale_y><tint>8421504</tint><pickup_mode>0</pickup_mode>"
                 "<floating_pickup>0</floating_pickup><pickup_left>1</pickup_left><allow_fall>0</allow_fall>"
                 "<enabled>1</enabled><audible>1</audible><activated>0</activated><alive>1</alive></trap>");
        EXPECT_EQ(pad->mode, name.expected) << name.mode;
        EXPECT_EQ(pad->destx, -5);
        EXPECT_EQ(pad->solid_base, 1);
        EXPECT_EQ(pad->remaining, 4);
    }
    auto pad = MakeTrap<TelePortTrap>(TelePortTrap::kKind);
    std::unique_ptr<LayoutPanel> panel = pad->BuildEditPanel();
    panel->Finish();
    ASSERT_NE(panel->Find("Set Destination"), nullptr);
    Type(*panel, "destx", "-30");
    Type(*panel, "teleport_max", "5000");
    ASSERT_TRUE(pad->ApplyEditPanel(panel.get()));
    EXPECT_EQ(pad->destx, 0); // Absolute destinations stay on the map
    EXPECT_EQ(pad->teleport_max, 999);
    Choose(*panel, "teleport_mode", 1);
    Type(*panel, "destx", "-30");
    ASSERT_TRUE(pad->ApplyEditPanel(panel.get()));
    EXPECT_EQ(pad->mode, TelePortTrap::kRelative);
    EXPECT_EQ(pad->destx, -30);
    // An absolute destination moves with the trap into a later universe.
    pad->mode = TelePortTrap::kAbsolute;
    pad->RemapLinks({}, 1000, 0);
    EXPECT_EQ(pad->destx, 970);
}

} // namespace
