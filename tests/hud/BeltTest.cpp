// The flimb belt: its sector, radius and availability rules and its press / release flow
// as tables, and the widget on a test world: opening on a flimb, hovering, choosing (one
// type-change request), closing when the flimb is gone, Escape and a press outside.
#include "HudFixture.h"

#include "../support/FakeBeltWorld.h"
#include "../support/TestWorld.h"

#include "game/GameHooks.h"
#include "gui/UiScale.h"
#include "hud/BeltGeometry.h"
#include "hud/FlimbsBelt.h"
#include "media/KBManager.h"
#include "world/FlimbTable.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

// A pixel offset at `degrees` counter-clockwise from the right (screen y grows downwards).
void Offset(double degrees, int& dx, int& dy)
{
    dx = int(std::lround(10000.0 * std::cos(degrees * kPi / 180.0)));
    dy = -int(std::lround(10000.0 * std::sin(degrees * kPi / 180.0)));
}

TEST(BeltGeometry, SectorEdgesLieAtFifteenDegreesPlusMultiplesOfThirty)
{
    for (int k = 0; k < 12; ++k) {
        const double edge = 15.0 + 30.0 * k;
        int dx = 0, dy = 0;
        Offset(edge - 0.5, dx, dy);
        EXPECT_EQ(BeltSector(dx, dy), k) << edge;
        Offset(edge + 0.5, dx, dy);
        EXPECT_EQ(BeltSector(dx, dy), (k + 1) % 12) << edge;
    }
    EXPECT_EQ(BeltSector(10, 0), 0);   // right
    EXPECT_EQ(BeltSector(0, -10), 3);  // up (screen y negative)
    EXPECT_EQ(BeltSector(-10, 0), 6);  // left
    EXPECT_EQ(BeltSector(0, 10), 9);   // down
    // The sector codes: up is Spin, down Drill, left Doppel, right Clob.
    EXPECT_EQ(kBeltSectorCodes[3], 7);
    EXPECT_EQ(kBeltSectorCodes[9], 3);
    EXPECT_EQ(kBeltSectorCodes[6], 5);
    EXPECT_EQ(kBeltSectorCodes[1], kBeltGulpUp);
}

TEST(BeltGeometry, ZonesFollowTheRadiiOfTheMode)
{
    const float s = 0.9375f;
    const BeltRadii plain = BeltRadiiFor(s, false, false);
    struct Case {
        float distance;
        BeltZone zone;
    };
    for (const Case& c : {Case{plain.inner - 0.01f, BeltZone::Dead}, Case{plain.inner, BeltZone::Ring},
                          Case{plain.ring, BeltZone::Ring}, Case{plain.ring + 0.01f, BeltZone::Dead},
                          Case{plain.outer, BeltZone::Dead}, Case{plain.outer + 0.01f, BeltZone::Outside}})
        EXPECT_EQ(BeltZoneAt(c.distance, plain), c.zone) << c.distance;
    EXPECT_FLOAT_EQ(plain.inner, 40.0f * s);
    EXPECT_FLOAT_EQ(plain.ring, 130.0f * s);
    EXPECT_FLOAT_EQ(plain.outer, 220.0f * s);
    const BeltRadii drag = BeltRadiiFor(s, true, false);
    EXPECT_FLOAT_EQ(drag.inner, 25.0f * s);
    EXPECT_FLOAT_EQ(drag.outer, 600.0f * s);
    const BeltRadii touch = BeltRadiiFor(s, true, true);
    EXPECT_FLOAT_EQ(touch.inner, 50.0f * s);
    EXPECT_FLOAT_EQ(touch.ring, 250.0f * s);
    EXPECT_EQ(BeltRadiiFor(s, false, true).outer, plain.outer) << "touch radii apply while dragging";
}

TEST(BeltGeometry, AvailabilityOfCountsAndTheGulpException)
{
    struct Case {
        int count;
        int flimbType;
        uint8_t code;
        bool available;
        bool showsCount;
    };
    for (const Case& c : {Case{0, 10, 0, false, false}, Case{199, 10, 0, true, false}, Case{200, 10, 0, false, true},
                          Case{5, 10, 0, true, true}, Case{0, 4, 4, true, false}, Case{200, 4, kBeltGulpUp, true, true},
                          Case{0, 4, 0, false, false}}) {
        EXPECT_EQ(BeltSlotAvailable(c.count, c.flimbType, c.code), c.available) << c.count << " " << int(c.code);
        EXPECT_EQ(BeltShowsCount(c.count), c.showsCount) << c.count;
    }
}

TEST(BeltGeometry, PressDragReleaseChoosesAndAReleaseFirstWaitsForAClick)
{
    const float ring = 130.0f;
    // Opened by a press that is held; dragged onto Drill; released there.
    BeltPointer drag;
    drag.drag = true;
    drag.hovered = drag.chosen = 3;
    BeltButtonResult r = BeltButton(drag, 0, 80.0f, ring, false, 80.0f);
    EXPECT_TRUE(r.request);
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.hide);

    // Released before any slot: the belt stays open; the next press on a slot chooses it.
    BeltPointer click;
    click.drag = true;
    r = BeltButton(click, 0, 0.0f, ring, false, 0.0f);
    EXPECT_FALSE(r.hide);
    EXPECT_FALSE(r.request);
    EXPECT_FALSE(click.drag);
    click.hovered = click.chosen = 7;
    r = BeltButton(click, 2, 90.0f, ring, false, 90.0f);
    EXPECT_TRUE(r.request);
    EXPECT_EQ(r.code, 7);
    EXPECT_TRUE(r.hide);

    // While dragging a press only marks the pressed look.
    BeltPointer pressed;
    pressed.drag = true;
    pressed.chosen = pressed.hovered = 1;
    r = BeltButton(pressed, 2, 50.0f, ring, false, 50.0f);
    EXPECT_TRUE(pressed.pressed);
    EXPECT_FALSE(r.hide);
    // A press outside the ring closes it without taking the press.
    r = BeltButton(pressed, 2, 131.0f, ring, false, 131.0f);
    EXPECT_TRUE(r.hide);
    EXPECT_FALSE(r.consumed);
    EXPECT_FALSE(r.request);
    // Chosen then moved off to nothing: the release just closes.
    BeltPointer off;
    off.drag = true;
    off.chosen = 2;
    off.hovered = kBeltNoHover;
    r = BeltButton(off, 0, 10.0f, ring, false, 10.0f);
    EXPECT_TRUE(r.hide);
    EXPECT_FALSE(r.request);
    // Touch: a release near the opening point leaves the belt open for a tap.
    BeltPointer tap;
    tap.drag = true;
    tap.chosen = tap.hovered = 0;
    r = BeltButton(tap, 0, 5.0f, ring, true, 5.0f);
    EXPECT_FALSE(tap.drag);
    EXPECT_FALSE(r.hide);
}

class BeltTest : public HudFixture {
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        OpenScene();
        world_.AddLocalPlayer();
        flimb = AddFlimb(300, 200, 17, 2, kWalk, 0, kFlimbStartEnergy, 0, 1);
        ASSERT_NE(flimb, nullptr);
        Controller().groups[2].uses.fill(5);
        Controller().groups[2].inUse = 1;
        for (int type = 0; type < 11; ++type)
            belt.counts[{2, type}] = 5;
        game.cursorX = 640;
        game.cursorY = 600;
    }
    // The pointer at `degrees` (counter-clockwise) and `radius` design pixels from the
    // belt's centre.
    static IntPoint At(const FlimbsBelt& b, double degrees, float radius)
    {
        const float r = radius * GetUiScale();
        return IntPoint{int(std::lround(b.Centre().x + r * std::cos(degrees * kPi / 180.0))),
                        int(std::lround(b.Centre().y - r * std::sin(degrees * kPi / 180.0)))};
    }

    TestWorld world_;
    FakeBeltWorld belt;
    Flimb* flimb = nullptr;
};

TEST_F(BeltTest, OpensOnTheFlimbMovesTheCursorAndChoosesByDragAndRelease)
{
    HudOpenBelt(flimb);
    FlimbsBelt* b = FindHudBelt(false);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->IsOpen());
    EXPECT_EQ(b->IconCount(), 12);
    EXPECT_TRUE(b->Dragging());
    // Centred 20 pixels above the flimb on the view, the cursor moved there.
    const FloatRect view = scene->View()->VisibleRect();
    EXPECT_NEAR(b->Centre().x, view.left + 300.0f, 0.5f);
    EXPECT_NEAR(b->Centre().y, view.top + 180.0f, 0.5f);
    EXPECT_EQ(game.cursorX, int(std::lround(b->Centre().x)));

    const IntPoint drill = At(*b, 270.0, 80.0f);
    b->OnMouseMove(drill.x, drill.y);
    EXPECT_EQ(b->Hovered(), 3);
    EXPECT_EQ(b->GetCursorName(), "press");
    EXPECT_FALSE(b->FadingOut());
    now_ += 101;
    b->OnMouseMove(drill.x, drill.y);
    EXPECT_TRUE(b->FadingOut()) << "resting on a slot for more than 100 ms fades the others";
    EXPECT_EQ(b->OnLeftButton(drill.x, drill.y, kPhaseUp), b);
    EXPECT_FALSE(b->IsOpen());
    ASSERT_EQ(session.requests.size(), 1u);
    EXPECT_EQ(session.requests[0].rfind("type 17 3 ", 0), 0u) << session.requests[0];
    EXPECT_EQ(game.cursorX, 640) << "the cursor goes back where the belt opened";
    EXPECT_EQ(game.cursorY, 600);
}

TEST_F(BeltTest, GulpSlotsAskForTheVariantAndUnavailableSlotsCannotBeHovered)
{
    belt.counts[{2, 4}] = 0;
    HudOpenBelt(flimb);
    FlimbsBelt* b = FindHudBelt(false);
    ASSERT_NE(b, nullptr);
    const IntPoint gulpUp = At(*b, 30.0, 80.0f);
    b->OnMouseMove(gulpUp.x, gulpUp.y);
    EXPECT_EQ(b->Hovered(), kBeltNoHover) << "no Gulp left";
    EXPECT_EQ(b->GetCursorName(), "question");

    flimb->type = kGulp;
    flimb->flags &= uint8_t(~kFlimbGulpVariant); // gulping down now
    b->OnMouseMove(gulpUp.x, gulpUp.y);
    EXPECT_EQ(b->Hovered(), kBeltGulpUp) << "a Gulp flimb may always use the Gulp slots";
    b->OnLeftButton(gulpUp.x, gulpUp.y, kPhaseUp);
    EXPECT_FALSE(b->IsOpen());
    ASSERT_FALSE(session.requests.empty());
    EXPECT_EQ(session.requests.back(), "gulp 17 1");
}

TEST_F(BeltTest, ClosesWhenItsFlimbGoesOnEscapeAndOnAPressOutside)
{
    HudOpenBelt(flimb);
    FlimbsBelt* b = FindHudBelt(false);
    ASSERT_TRUE(b->IsOpen());
    UncountFlimb(*flimb); // no longer live: the belt holds only its id
    b->Update();
    EXPECT_FALSE(b->IsOpen());
    EXPECT_TRUE(session.requests.empty());

    flimb->flags |= 4;
    HudOpenBelt(flimb);
    ASSERT_TRUE(b->IsOpen());
    EXPECT_EQ(b->OnKey(1, 1, false, kbManager), 0) << "Escape is not consumed";
    EXPECT_FALSE(b->IsOpen());

    HudOpenBelt(flimb);
    const IntPoint far = At(*b, 0.0, 140.0f);
    b->OnLeftButton(far.x, far.y, kPhaseUp); // releases the opening drag; nothing chosen
    EXPECT_TRUE(b->IsOpen());
    EXPECT_EQ(b->OnLeftButton(far.x, far.y, kPhaseDown), nullptr) << "a press outside passes on";
    EXPECT_FALSE(b->IsOpen());
    const IntPoint beyond = At(*b, 0.0, 230.0f);
    HudOpenBelt(flimb);
    b->OnLeftButton(beyond.x, beyond.y, kPhaseUp);
    b->OnMouseMove(beyond.x, beyond.y);
    EXPECT_FALSE(b->IsOpen()) << "a pointer beyond the outer radius closes it";
}

} // namespace
