// The freezer turret: boarding and re-boarding, the barrel's limits, the cool-down after a
// shot, the shot itself per direction, following a flimb, a full particle pool, losing the
// ground, odd gun types, the mouse strip and the trap-state requests of its controls.
#include "tests/support/MannedDeviceHarness.h"

#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/LayoutPanel.h"
#include "gui/SliderBar.h"
#include "platform/input/DeviceEvent.h"
#include "traps/FreezerTrap.h"
#include "world/FlimbTable.h"
#include "world/TrapRegistry.h"
#include "world/ViewServices.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kGround = 150;

class FreezerTrapTest : public MannedDeviceHarness {
protected:
    void SetUp() override
    {
        MannedDeviceHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadGround(400, 200, kGround);
    }
    FreezerTrap* AddFreezer(const std::string& children = "", int x = 200, int y = kGround - 1)
    {
        return dynamic_cast<FreezerTrap*>(AddTrapXml("<trap><type>Blaster</type><x>" + std::to_string(x) +
                                                     "</x><y>" + std::to_string(y) + "</y>" + children + "</trap>"));
    }
    // A turret manned by a flimb of the local player, past the first cool-down.
    FreezerTrap* Manned(Flimb*& rider, const std::string& children = "")
    {
        FreezerTrap* trap = AddFreezer(children);
        rider = LocalFlimb(200, kGround - 1);
        Step(FreezerTrap::kCooldownUpdates);
        EXPECT_EQ(trap->rider, rider);
        session->requests.clear();
        sounds.clear();
        return trap;
    }
    std::string Request(const Trap& trap, int activate = 0, int flimbId = -1) const
    {
        return "trap " + std::to_string(trap.id) + " " + std::to_string(activate) + " " + std::to_string(flimbId);
    }
};

TEST_F(FreezerTrapTest, AFlimbBoardsWithSoundAndEventAndOnlyOfItsGroup)
{
    FreezerTrap* open = AddFreezer();
    Listen(*open, 0);
    Flimb* flimb = PlaceAt(200, kGround - 1, 2);
    Step();
    EXPECT_EQ(open->rider, flimb);
    EXPECT_EQ(flimb->type, kEntangle);
    EXPECT_EQ(flimb->anim, 3);
    EXPECT_EQ(flimb->x, 200);
    EXPECT_EQ(events, (std::vector<std::string>{std::to_string(open->id) + ":0"}));
    EXPECT_EQ(sounds, (std::vector<std::string>{"50 at 200,149"}));

    FreezerTrap* picky = AddFreezer("<group>3</group>", 300);
    Flimb* other = PlaceAt(300, kGround - 1, 2);
    Step();
    EXPECT_EQ(picky->rider, nullptr);
    other->group = 3;
    Step();
    EXPECT_EQ(picky->rider, other);
}

TEST_F(FreezerTrapTest, TheAngleStopsAtItsLimitsWithoutARequest)
{
    Flimb* rider = nullptr;
    FreezerTrap* trap = Manned(rider);
    struct Case {
        int start, key, stop;
    };
    for (const Case& c : {Case{209, kDeviceKeyLeft, 210}, Case{-29, kDeviceKeyRight, -30}}) {
        trap->freezeAngle = c.start;
        EXPECT_EQ(Key(*trap, c.key), 1);
        EXPECT_EQ(trap->freezeAngle, c.start) << "a control only asks";
        EXPECT_EQ(session->requests, (std::vector<std::string>{Request(*trap)}));
        Step();
        EXPECT_EQ(trap->freezeAngle, c.stop);
        session->requests.clear();
        EXPECT_EQ(Key(*trap, c.key, 2), 1) << "held at the limit: taken, nothing asked";
        EXPECT_TRUE(session->requests.empty());
    }
}

TEST_F(FreezerTrapTest, ControlsAreInertForTenUpdatesAfterAShot)
{
    Flimb* rider = nullptr;
    FreezerTrap* trap = Manned(rider);
    EXPECT_EQ(Key(*trap, KeyCode("A")), 1);
    EXPECT_EQ(session->requests, (std::vector<std::string>{Request(*trap, 1, rider->id)}));
    session->requests.clear();
    Step(); // the shot is taken at its update
    const uint32_t shotAt = trap->lastFireUpdate;
    EXPECT_EQ(shotAt + 1, World().clock.updateCounter);
    EXPECT_EQ(LiveShots().size(), 1u);

    // The game view's screen is the world here: the body box swallows clicks, the rest passes.
    while (World().clock.updateCounter < shotAt + FreezerTrap::kCooldownUpdates) {
        EXPECT_EQ(Key(*trap, kDeviceKeyLeft), 1);
        EXPECT_EQ(Key(*trap, KeyCode("B")), 1);
        EXPECT_NE(trap->GuiPart()->OnLeftButton(200, kGround - 1 + 20, 2), nullptr);
        EXPECT_EQ(trap->GuiPart()->OnLeftButton(200 + 40, kGround - 1 + 20, 2), nullptr);
        Step();
    }
    EXPECT_TRUE(session->requests.empty());
    EXPECT_EQ(Key(*trap, kDeviceKeyLeft), 1);
    EXPECT_EQ(session->requests, (std::vector<std::string>{Request(*trap)}));
}

TEST_F(FreezerTrapTest, TheKeyboardsButtonDownValueFiresAndLeaves)
{
    // The keyboard hands a press over as its button-down value, not as 1.
    const int press = static_cast<int>(platform::kButtonDown);
    Flimb* rider = nullptr;
    FreezerTrap* trap = Manned(rider);
    EXPECT_EQ(Key(*trap, KeyCode("A"), press), 1);
    EXPECT_EQ(session->requests, (std::vector<std::string>{Request(*trap, 1, rider->id)}));
    Step(FreezerTrap::kCooldownUpdates + 1);
    session->requests.clear();
    EXPECT_EQ(Key(*trap, KeyCode("B"), press), 1);
    EXPECT_EQ(session->requests, (std::vector<std::string>{Request(*trap)}));
    Step();
    EXPECT_EQ(trap->rider, nullptr);
}

TEST_F(FreezerTrapTest, TheControlStripTurnsFiresAndEjects)
{
    Flimb* rider = nullptr;
    FreezerTrap* trap = Manned(rider);
    const int stripY = kGround - 1 + 20;
    struct Case {
        int x, phase;
        const char* expected; // empty: nothing sent
    };
    const Case cases[] = {
        {200 - 40, 1, "turn"}, {200 + 40, 2, "turn"}, {200 - 10, 1, ""},
        {200 - 10, 2, "shot"}, {200 + 10, 2, "turn"},
    };
    for (const Case& c : cases) {
        session->requests.clear();
        session->trapStates.clear();
        EXPECT_NE(trap->GuiPart()->OnLeftButton(c.x, stripY, c.phase), nullptr) << c.x;
        if (std::string(c.expected).empty()) {
            EXPECT_TRUE(session->requests.empty()) << c.x;
            continue;
        }
        ASSERT_EQ(session->requests.size(), 1u) << c.x;
        const bool shot = std::string(c.expected) == "shot";
        EXPECT_EQ(session->requests[0], shot ? Request(*trap, 1, rider->id) : Request(*trap)) << c.x;
    }
    // The last one asked to leave: the document carries the request, the turret kept none.
    EXPECT_EQ(trap->doEject, 0);
    EXPECT_NE(session->trapStates.back().xml.find("<do_eject>1</do_eject>"), std::string::npos);
    // Above the strip nothing is taken; another group's player cannot click.
    EXPECT_EQ(trap->GuiPart()->OnLeftButton(200 - 40, kGround - 1 + 5, 1), nullptr);
    Controller().localPlayer->group = 4;
    EXPECT_EQ(trap->GuiPart()->OnLeftButton(200 - 40, stripY, 1), nullptr);
}

TEST_F(FreezerTrapTest, TheShotStartsAtTheMuzzleAndFliesAlongTheAim)
{
    struct Case {
        float rotation;
        int gunType;
        int startX, startY;
        float vx, vy;
    };
    // The turret at (200, 100) aiming at 90 degrees from its own up: the pivot lies 30
    // pixels against its gravity and the muzzle 110 further along the aim.
    const Case cases[] = {
        {0.0f, 0, 200, 100 - 140, 0.0f, -32.0f},
        {180.0f, 1, 200, 100 + 140, 0.0f, 32.0f},
        {90.0f, 0, 200 - 140, 100, -32.0f, 0.0f},
        {270.0f, 1, 200 + 140, 100, 32.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rotation);
        FreezerTrap* trap = AddFreezer("<gun_type>" + std::to_string(c.gunType) + "</gun_type>", 200, 100);
        trap->rotation = c.rotation;
        Flimb* rider = PlaceAt(10, 140, 1, 3);
        trap->rider = rider;
        sounds.clear();
        trap->Activate(rider);
        const std::vector<Particle> shots = LiveShots();
        ASSERT_EQ(shots.size(), 1u);
        const Particle& shot = shots[0];
        EXPECT_EQ(shot.WorldX(), float(c.startX));
        EXPECT_EQ(shot.WorldY(), float(c.startY));
        EXPECT_NEAR(shot.vx, c.vx, 1e-4);
        EXPECT_NEAR(shot.vy, c.vy, 1e-4);
        EXPECT_EQ(shot.owner, rider);
        EXPECT_EQ(shot.gravity, 3);
        EXPECT_EQ(shot.bounces, 1);
        EXPECT_EQ(shot.behaviour, c.gunType ? ParticleBehaviour::Fireball : ParticleBehaviour::IceMissile);
        if (c.gunType == 0) {
            EXPECT_GE(shot.spin, -60.0f);
            EXPECT_LE(shot.spin, -31.0f);
        } else {
            EXPECT_EQ(shot.spin, 0.0f);
        }
        EXPECT_EQ(trap->firing, 1);
        EXPECT_EQ(sounds, (std::vector<std::string>{"59 at 200,100"}));
        trap->rider = nullptr;
        particles.ResetPool();
        particles.SetEnabled(true);
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(FreezerTrapTest, AFullPoolLosesTheShotButKeepsTheCooldown)
{
    Flimb* rider = nullptr;
    FreezerTrap* trap = Manned(rider);
    Listen(*trap, 1);
    while (particles.AllocParticle(true, ParticleRole::Simulation)) {
    }
    trap->Activate(rider);
    EXPECT_EQ(events, (std::vector<std::string>{}));
    Step(); // the listener hears it at the end of the trap pass
    EXPECT_EQ(events, (std::vector<std::string>{std::to_string(trap->id) + ":1"}));
    EXPECT_EQ(trap->firing, 0);
    EXPECT_TRUE(sounds.empty());
    EXPECT_TRUE(trap->CoolingDown());
}

TEST_F(FreezerTrapTest, FollowingAimsAtTheHeadWithHalfATurnUpsideDown)
{
    for (const float rotation : {0.0f, 180.0f}) {
        SCOPED_TRACE(rotation);
        FreezerTrap* trap = AddFreezer("<follow_flimb>1</follow_flimb>", 200, 100);
        trap->rotation = rotation;
        Flimb* target = PlaceAt(320, 140, 1);
        const int pivotY = rotation == 0.0f ? 70 : 130;
        auto expected = [&] {
            int32_t tx = 0, ty = 0;
            target->GetTopPoint(tx, ty);
            const double degrees = std::atan2(-(ty - pivotY), tx - 200) * 180.0 / 3.141592653589793;
            return static_cast<int>(std::lround(degrees)) + (rotation == 0.0f ? 0 : 180);
        };
        trap->Activate(target);
        EXPECT_EQ(trap->followTarget, target);
        EXPECT_EQ(trap->freezeAngle, expected());
        target->x = 80;
        trap->Update();
        EXPECT_EQ(trap->freezeAngle, expected()) << "the aim follows the flimb, unclamped";
        target->flags &= static_cast<uint8_t>(~kFlimbInWorld);
        Step(); // the world removes it and tells the traps
        EXPECT_EQ(trap->followTarget, nullptr);
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(FreezerTrapTest, AnEjectedFlimbBoardsAgainOnlyAfterMoreThanFourUpdatesAway)
{
    Flimb* rider = nullptr;
    FreezerTrap* trap = Manned(rider);
    Listen(*trap, 2);
    EXPECT_EQ(Key(*trap, KeyCode("B")), 1);
    Step();
    EXPECT_EQ(trap->rider, nullptr);
    EXPECT_EQ(rider->type, kWalk);
    Step();
    EXPECT_EQ(events, (std::vector<std::string>{std::to_string(trap->id) + ":2"}));
    auto hold = [&](int x, int updates) {
        for (int i = 0; i < updates; ++i) {
            rider->x = rider->prevX = static_cast<int16_t>(x);
            rider->y = kGround - 1;
            Step();
            if (trap->rider)
                return i;
        }
        return -1;
    };
    EXPECT_EQ(hold(200, 8), -1) << "standing in the area keeps it touched";
    EXPECT_EQ(hold(300, 4), -1);
    EXPECT_EQ(hold(200, 3), -1) << "four updates away are not enough";
    EXPECT_EQ(hold(300, 5), -1);
    EXPECT_EQ(hold(200, 1), 0) << "five updates away are";
    EXPECT_EQ(trap->rider, rider);
}

TEST_F(FreezerTrapTest, LosingTheGroundOrTheRiderEndsTheRide)
{
    Flimb* rider = nullptr;
    FreezerTrap* trap = Manned(rider);
    Listen(*trap, 2);
    Land().SetPixel(0, true, 0, 190, kGround - 10, 210, kGround + 20);
    Step(2);
    EXPECT_EQ(trap->rider, nullptr);
    EXPECT_EQ(rider->type, kWalk);
    EXPECT_EQ(events, (std::vector<std::string>{std::to_string(trap->id) + ":2"}));

    FreezerTrap* second = AddFreezer("", 320);
    Flimb* other = PlaceAt(320, kGround - 1, 0);
    Step();
    ASSERT_EQ(second->rider, other);
    other->flags &= static_cast<uint8_t>(~kFlimbInWorld);
    Step();
    EXPECT_EQ(second->rider, nullptr) << "a flimb leaving the world is forgotten";
}

TEST_F(FreezerTrapTest, AnEmptyTurretFallsWhenAllowed)
{
    FreezerTrap* trap = AddFreezer("", 100, 60);
    trap->allow_fall = 1; // no file child: the kind's row leaves it out
    Step(3);
    EXPECT_EQ(trap->y, 66.0f);
    trap->y = kGround;
    Step();
    EXPECT_EQ(trap->y, float(kGround)) << "it stops on land";
}

TEST_F(FreezerTrapTest, AGunTypeOtherThanIceOrFireHasNoBarrelAndFiresNothing)
{
    FreezerTrap* trap = AddFreezer("<gun_type>5</gun_type>");
    Listen(*trap, 1);
    EXPECT_NE(trap->sprite, nullptr);
    EXPECT_EQ(trap->barrelSheet, nullptr);
    trap->Activate(nullptr);
    EXPECT_TRUE(LiveShots().empty());
    EXPECT_EQ(trap->firing, 0);
    EXPECT_TRUE(trap->CoolingDown());
    const gfx::RECT bounds = trap->GetBounds();
    EXPECT_EQ(bounds.top, kGround - 1 - 38) << "no barrel widens the bounds";
}

TEST_F(FreezerTrapTest, TheBoundsHoldTheBarrelAtItsAim)
{
    FreezerTrap* trap = AddFreezer();
    const gfx::RECT up = trap->GetBounds();
    EXPECT_LE(up.top, kGround - 1 - 30 - 112);
    trap->freezeAngle = 0;
    const gfx::RECT right = trap->GetBounds();
    EXPECT_GE(right.right, 200 + 112);
    EXPECT_GT(right.top, up.top);
}

TEST_F(FreezerTrapTest, OnlyTheLocalPlayersSelectedRiderSteers)
{
    Flimb* rider = nullptr;
    FreezerTrap* trap = Manned(rider);
    Controller().localPlayer->highlightedFlimb = rider->id + 1;
    EXPECT_EQ(Key(*trap, kDeviceKeyLeft), 0);
    Controller().localPlayer->highlightedFlimb = rider->id;
    rider->flags &= static_cast<uint8_t>(~kFlimbSelected);
    EXPECT_EQ(Key(*trap, kDeviceKeyLeft), 0);
    rider->flags |= kFlimbSelected;
    EXPECT_EQ(Key(*trap, KeyCode("C")), 0) << "a key of no control passes on";
    EXPECT_EQ(Key(*trap, kDeviceKeyUp), 1) << "up is swallowed";
    EXPECT_TRUE(session->requests.empty());
}

} // namespace

namespace {

TEST_F(FreezerTrapTest, ThePanelSetsTheAngleWithinItsRangeTheGroupTheGunAndFollowing)
{
    FreezerTrap* trap = AddFreezer();
    std::unique_ptr<LayoutPanel> panel = trap->BuildEditPanel();
    ASSERT_NE(panel, nullptr);
    auto* angle = dynamic_cast<GraphicSliderBar*>(panel->Find("curr_angle"));
    auto* gun = dynamic_cast<ComboBox*>(panel->Find("gunType"));
    auto* group = dynamic_cast<ComboBox*>(panel->Find("group"));
    auto* follow = dynamic_cast<CheckBox*>(panel->Find("follow_flimb"));
    ASSERT_TRUE(angle && gun && group && follow);
    angle->SetValue(250.0f, true);
    gun->SetSelection(1, true);
    gun->pressed = 1;
    group->SetSelection(3, true);
    group->pressed = 1;
    follow->SetChecked(true, true, true);
    ASSERT_TRUE(trap->ApplyEditPanel(panel.get()));
    EXPECT_EQ(trap->freezeAngle, FreezerTrap::kMaxAngle);
    EXPECT_EQ(trap->gunType, FreezerTrap::kFire);
    EXPECT_EQ(trap->group, 3);
    EXPECT_EQ(trap->followFlimb, 1);
    EXPECT_NE(trap->barrelSheet, nullptr) << "the fire barrel is loaded at once";
}

} // namespace

namespace {

TEST_F(FreezerTrapTest, ACopyTakesNoInputAndLeavesTheRiderAlone)
{
    Flimb* rider = nullptr;
    FreezerTrap* trap = Manned(rider);
    std::unique_ptr<Trap> copy = trap->Duplicate();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(static_cast<FreezerTrap&>(*copy).rider, rider);
    EXPECT_EQ(copy->GuiPart()->parent, nullptr);
    EXPECT_EQ(trap->GuiPart()->parent, &Land());
    copy.reset();
    EXPECT_EQ(rider->type, kEntangle) << "the copy let nobody go";
    EXPECT_EQ(trap->rider, rider);
}

} // namespace
