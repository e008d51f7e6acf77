// The hover device: boarding, steering by requested moves (per axis, a blocked axis, the
// wrapping edge), fuel per update, release on a leave request or a type change, the empty
// tank bursting with or without a respawn, the range circle and a file's speed.
#include "tests/support/MannedDeviceHarness.h"

#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/LayoutPanel.h"
#include "gui/SliderBar.h"
#include "platform/input/DeviceEvent.h"
#include "session/ClientCommandState.h"
#include "traps/HoverTrap.h"
#include "world/FlimbTable.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

namespace {

constexpr int kGround = 150;

class HoverTrapTest : public MannedDeviceHarness {
protected:
    void SetUp() override
    {
        MannedDeviceHarness::SetUp();
        if (HasFatalFailure())
            return;
        Ground();
    }
    void Ground(EdgeModes edges = {})
    {
        LoadGround(400, 200, kGround, edges);
    }
    HoverTrap* AddHover(const std::string& children = "", int x = 200, int y = 100)
    {
        return dynamic_cast<HoverTrap*>(AddTrapXml("<trap><type>Hover</type><x>" + std::to_string(x) + "</x><y>" +
                                                   std::to_string(y) + "</y><speed>4</speed>" + children + "</trap>"));
    }
    // A hover with a rider of the local player on board.
    HoverTrap* Ridden(Flimb*& rider, const std::string& children = "", int x = 200, int y = 100)
    {
        HoverTrap* hover = AddHover(children, x, y);
        rider = LocalFlimb(x, y);
        rider->type = kFall;
        Step();
        EXPECT_EQ(hover->rider, rider);
        session->requests.clear();
        return hover;
    }
};

TEST_F(HoverTrapTest, OnlyFreeFlimbsOfTheRidingTypesBoard)
{
    HoverTrap* hover = AddHover();
    Listen(*hover, 0);
    Flimb* flimb = PlaceAt(200, 100, 1);
    // The device's own pass, without the flimb update (which would make a flimb in the air fall).
    flimb->type = kWalk;
    flimb->attributes |= kAttrSteered;
    hover->Update();
    EXPECT_EQ(hover->rider, nullptr) << "a steered flimb does not board";
    flimb->attributes = 0;
    flimb->type = kDrill;
    hover->Update();
    EXPECT_EQ(hover->rider, nullptr) << "a Drill does not board";
    flimb->type = kSpin;
    hover->Update();
    EXPECT_EQ(hover->rider, flimb);
    EXPECT_EQ(flimb->type, kEntangle);
    EXPECT_EQ(flimb->anim, 3);
    Step();
    EXPECT_EQ(events, (std::vector<std::string>{std::to_string(hover->id) + ":0"}));
    EXPECT_TRUE(sounds.empty());
}

TEST_F(HoverTrapTest, HoldingRightMovesSpeedPixelsAndBurnsOneFuelPerUpdate)
{
    Flimb* rider = nullptr;
    HoverTrap* hover = Ridden(rider);
    EXPECT_EQ(Key(*hover, kDeviceKeyRight), 1);
    EXPECT_EQ(session->requests, (std::vector<std::string>{"trap " + std::to_string(hover->id) + " 0 -1"}));
    EXPECT_EQ(hover->activeMoveX, 0) << "the request moves nothing yet";
    EXPECT_EQ(Key(*hover, kDeviceKeyRight, 2), 1);
    EXPECT_EQ(session->requests.size(), 1u) << "a repeat sends nothing";
    Step();
    EXPECT_EQ(hover->x, 204.0f);
    EXPECT_EQ(rider->x, 204);
    EXPECT_EQ(hover->fuelLeft, 63);
    Step(2);
    EXPECT_EQ(hover->x, 212.0f);
    EXPECT_EQ(hover->fuelLeft, 61);
    EXPECT_EQ(Key(*hover, kDeviceKeyRight, 0), 1);
    Step();
    EXPECT_EQ(hover->x, 212.0f) << "released";
    EXPECT_EQ(hover->fuelLeft, 61);
}

TEST_F(HoverTrapTest, ABlockedAxisStillLetsTheOtherMoveAndBurn)
{
    Flimb* rider = nullptr;
    HoverTrap* hover = Ridden(rider);
    Fill(1, 226, 0, 260, kGround);
    Key(*hover, kDeviceKeyRight);
    Key(*hover, kDeviceKeyUp);
    Step(3);
    EXPECT_LT(hover->x, 226.0f - 24.0f + 1.0f);
    EXPECT_EQ(hover->y, 100.0f - 12.0f);
    EXPECT_EQ(hover->fuelLeft, 61);
    const float stuckX = hover->x;
    Key(*hover, kDeviceKeyUp, 0);
    Step(2);
    EXPECT_EQ(hover->x, stuckX);
    EXPECT_EQ(hover->fuelLeft, 61) << "an update whose every step fails burns nothing";
}

TEST_F(HoverTrapTest, SteppingLeftPastTheWrappingEdgeComesInOnTheRight)
{
    Ground({TileStore::kEdgeOpen, TileStore::kEdgeOpen, TileStore::kEdgeWrap, TileStore::kEdgeWrap});
    Flimb* rider = nullptr;
    HoverTrap* hover = Ridden(rider, "", 2);
    Key(*hover, kDeviceKeyLeft);
    Step();
    EXPECT_EQ(hover->x, 400.0f - 2.0f);
    EXPECT_EQ(rider->x, 398);
}

TEST_F(HoverTrapTest, TheKeyboardsButtonDownValueSteersAndLeaves)
{
    // The keyboard hands a press over as its button-down value, not as 1.
    const int press = static_cast<int>(platform::kButtonDown);
    Flimb* rider = nullptr;
    HoverTrap* hover = Ridden(rider);
    EXPECT_EQ(Key(*hover, kDeviceKeyUp, press), 1);
    Step();
    EXPECT_EQ(hover->y, 96.0f);
    EXPECT_EQ(Key(*hover, kDeviceKeyUp, 0), 1);
    EXPECT_EQ(Key(*hover, KeyCode("B"), press), 1);
    Step();
    EXPECT_EQ(hover->rider, nullptr);
    EXPECT_EQ(rider->type, kWalk);
}

TEST_F(HoverTrapTest, ALeaveRequestOrATypeChangeLetsTheRiderGo)
{
    Flimb* rider = nullptr;
    HoverTrap* hover = Ridden(rider);
    Listen(*hover, 1);
    Key(*hover, kDeviceKeyLeft);
    EXPECT_EQ(Key(*hover, KeyCode("B")), 1);
    EXPECT_EQ(hover->doEject, 0);
    Step();
    EXPECT_EQ(hover->rider, nullptr);
    EXPECT_EQ(hover->activeMoveX, 0);
    EXPECT_EQ(rider->type, kWalk);
    Step();
    EXPECT_EQ(events, (std::vector<std::string>{std::to_string(hover->id) + ":1"}));

    Flimb* second = nullptr;
    HoverTrap* other = Ridden(second, "", 300, 60);
    second->SetType(kClob);
    Step();
    EXPECT_EQ(other->rider, nullptr);
    EXPECT_EQ(second->type, kClob) << "a rider that changed type keeps it";
}

TEST_F(HoverTrapTest, AnEmptyTankBurstsTheDeviceOrSendsItHome)
{
    for (const bool respawn : {false, true}) {
        SCOPED_TRACE(respawn);
        Flimb* rider = nullptr;
        HoverTrap* hover = Ridden(rider, std::string("<fuel>2</fuel><respawn>") + (respawn ? "1" : "0") + "</respawn>");
        Key(*hover, kDeviceKeyRight);
        Step(2);
        EXPECT_EQ(hover->fuelLeft, 0);
        EXPECT_EQ(hover->x, 208.0f);
        Step();
        EXPECT_EQ(hover->rider, nullptr);
        EXPECT_EQ(rider->type, kWalk);
        if (respawn) {
            EXPECT_EQ(hover->alive, 1);
            EXPECT_EQ(hover->x, 200.0f);
            EXPECT_EQ(hover->fuelLeft, 2);
        } else {
            EXPECT_EQ(hover->alive, 0);
        }
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(HoverTrapTest, NoFuelReleasesOnTheFirstUpdateAfterBoarding)
{
    Flimb* rider = nullptr;
    HoverTrap* hover = Ridden(rider, "<fuel>0</fuel>");
    Step();
    EXPECT_EQ(hover->rider, nullptr);
    EXPECT_EQ(hover->alive, 0);
}

TEST_F(HoverTrapTest, KeysAreIgnoredWhileTheSessionBlocksThem)
{
    Flimb* rider = nullptr;
    HoverTrap* hover = Ridden(rider);
    CommandState().sessionKind = kPlaybackPaused;
    EXPECT_EQ(Key(*hover, kDeviceKeyRight), 0);
    CommandState().sessionKind = kSessionLive;
    EXPECT_TRUE(session->requests.empty());
}

TEST_F(HoverTrapTest, AFilesSpeedIsKeptWithinOneToTen)
{
    struct Case {
        const char* speed;
        int expected;
        bool logged;
    };
    for (const Case& c : {Case{"4", 4, false}, Case{"0", 1, true}, Case{"100", 10, true}, Case{"-3", 1, true}}) {
        log->Clear();
        auto* hover = dynamic_cast<HoverTrap*>(
            AddTrapXml(std::string("<trap><type>Hover</type><x>10</x><y>10</y><speed>") + c.speed + "</speed></trap>"));
        ASSERT_NE(hover, nullptr);
        EXPECT_EQ(hover->speed, c.expected) << c.speed;
        EXPECT_EQ(log->Contains("speed"), c.logged) << c.speed;
    }
    HoverTrap* hover = AddHover("<fuel>100</fuel>");
    EXPECT_EQ(hover->RangeRadius(), 4 * 100 / 2);
}

TEST_F(HoverTrapTest, ResendingStopsAMovingDevice)
{
    Flimb* rider = nullptr;
    HoverTrap* hover = Ridden(rider);
    Key(*hover, kDeviceKeyDown);
    Step();
    session->requests.clear();
    ResendHoverTrapStates();
    EXPECT_EQ(session->requests, (std::vector<std::string>{"trap " + std::to_string(hover->id) + " 0 -1"}));
    Step();
    EXPECT_EQ(hover->activeMoveY, 0);
}

} // namespace

namespace {

TEST_F(HoverTrapTest, ThePanelSetsFuelSpeedAndRespawnWithinTheirRanges)
{
    HoverTrap* hover = AddHover();
    std::unique_ptr<LayoutPanel> panel = hover->BuildEditPanel();
    auto* fuel = dynamic_cast<GraphicSliderBar*>(panel->Find("fuel"));
    auto* speed = dynamic_cast<GraphicSliderBar*>(panel->Find("speed"));
    auto* respawn = dynamic_cast<CheckBox*>(panel->Find("respawn"));
    ASSERT_TRUE(fuel && speed && respawn);
    fuel->SetValue(900.0f, true);
    speed->SetValue(0.0f, true);
    respawn->SetChecked(true, true, true);
    ASSERT_TRUE(hover->ApplyEditPanel(panel.get()));
    EXPECT_EQ(hover->fuel, HoverTrap::kMaxFuel);
    EXPECT_EQ(hover->fuelLeft, HoverTrap::kMaxFuel);
    EXPECT_EQ(hover->speed, HoverTrap::kMinSpeed);
    EXPECT_EQ(hover->respawn, 1);
}

} // namespace
