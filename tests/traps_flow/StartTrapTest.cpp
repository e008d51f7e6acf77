// The start trap: its release clock and gate, events, sound, spawning, tank rows, group and
// scale handling, and the protection pad.
#include "app/Random.h"
#include "game/GameController.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/StartTrap.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

namespace {

class StartTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        AsciiMap rows(160, std::string(400, '.'));
        for (size_t y = 150; y < 160; ++y)
            rows[y] = std::string(400, '#');
        LoadMap(rows);
    }
    StartTrap* AddStart(const std::string& children)
    {
        return dynamic_cast<StartTrap*>(
            AddTrapXml("<trap><type>Start</type><x>100</x><y>50</y><activated>1</activated>" + children + "</trap>"));
    }
    // The update numbers (0 = the first update run here) at which flimbs appeared.
    static std::vector<int> ReleaseUpdates(int updates)
    {
        std::vector<int> at;
        int before = FlimbCount();
        for (int i = 0; i < updates; ++i) {
            Run(1);
            if (FlimbCount() > before)
                at.push_back(i);
            before = FlimbCount();
        }
        return at;
    }
};

TEST_F(StartTrapTest, ReleasesOnItsClock)
{
    struct Case {
        const char* rate;
        int updates;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"4500", 300, {0, 57, 113, 169, 225, 282}},
        {"50", 5, {0, 1, 2, 3, 4}},
        {"80", 4, {0, 1, 2, 3}},
        // A rate of 0 or less releases one flimb per update; none from a file runs the clock away.
        {"0", 3, {0, 1, 2}},
        {"-5", 3, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        StartTrap* start = AddStart(std::string("<releaserate>") + c.rate + "</releaserate>");
        ASSERT_NE(start, nullptr);
        EXPECT_EQ(ReleaseUpdates(c.updates), c.expected);
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
    StartTrap* start = AddStart("<releaserate>2147483647</releaserate>");
    Run(3);
    EXPECT_EQ(start->releaseClock, 240); // released once, then ran 80 per update
}

TEST_F(StartTrapTest, StockOneFiresEventZeroThenOneAndGoesIdle)
{
    StartTrap* start = AddStart("<flimbCount>1</flimbCount><releaserate>100</releaserate>");
    ASSERT_NE(start, nullptr);
    Listen(*start, 1);
    Listen(*start, 0);
    Run(1);
    const std::string id = std::to_string(start->id);
    EXPECT_EQ(events, (std::vector<std::string>{id + ":0", id + ":1"}));
    EXPECT_EQ(start->releaseClock, 100 + 80); // reset to the rate, then the update's step
    EXPECT_EQ(sounds, (std::vector<std::string>{"33 at 100,95"}));
    ASSERT_GE(mode.size(), 2u);
    EXPECT_EQ(mode[0], "next-id 0 0 " + id + " 0");
    EXPECT_EQ(FlimbCount(), 1);
    Run(20);
    EXPECT_EQ(FlimbCount(), 1);
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(StartTrapTest, AStartMadeWithoutLoadingReleasesAtOnce)
{
    StartTrap* start = Add<StartTrap>(kTrapStart, 100.0f, 50.0f);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->releaseClock, start->releaseRate);
    EXPECT_EQ(ReleaseUpdates(58), (std::vector<int>{0, 57}));
}

TEST_F(StartTrapTest, ReleasedFlimbsTakeTheStartsSettings)
{
    struct Case {
        const char* children;
        float scale;
        int8_t walkSign;
        uint8_t gravity;
        uint8_t group;
    };
    const Case cases[] = {
        {"<scale>0.5</scale>", 0.5f, 0, 0, 0},
        {"<scale>2.0</scale>", 2.0f, 0, 0, 0},
        {"<facing>1</facing>", 1.0f, 1, 0, 0},
        // Upside down the facing turns: 1 walks left.
        {"<facing>1</facing><trap_rotation>180</trap_rotation>", 1.0f, -1, 1, 0},
        {"<groupID>5</groupID><ai>3</ai><spawn_energy>20000</spawn_energy>", 1.0f, 0, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.children);
        AddStart(c.children);
        Run(1);
        ASSERT_EQ(FlimbCount(), 1);
        const Flimb& flimb = World().flimbs[0];
        EXPECT_FLOAT_EQ(flimb.scale, c.scale);
        EXPECT_EQ(flimb.gravity, c.gravity);
        EXPECT_EQ(flimb.group, c.group);
        EXPECT_EQ(flimb.energy, 13023); // capped at load
        if (c.walkSign) {
            EXPECT_EQ(flimb.walkSpeed > 0 ? 1 : -1, c.walkSign);
        }
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(StartTrapTest, SpawnPointFollowsTheDownDirection)
{
    StartTrap* start = Add<StartTrap>(kTrapStart, 100.0f, 50.0f);
    ASSERT_NE(start, nullptr);
    struct Case {
        float rotation;
        float scale;
        int32_t x, y;
    };
    for (const Case c : {Case{0, 1, 100, 95}, Case{180, 1, 100, 5}, Case{90, 1, 145, 50}, Case{270, 1, 55, 50},
                         Case{0, 2, 100, 140}, Case{0, 0.5f, 100, 73}}) {
        start->rotation = c.rotation;
        start->SetScale(c.scale, 7.0f);
        int32_t x = 0, y = 0;
        start->GetSpawnPoint(x, y);
        EXPECT_EQ(x, c.x) << c.rotation << " " << c.scale;
        EXPECT_EQ(y, c.y) << c.rotation << " " << c.scale;
    }
    for (const auto& [in, out] : {std::pair{0.6f, 0.5f}, {0.75f, 1.0f}, {-1.6f, 2.0f}, {2.5f, 3.0f}}) {
        start->SetScale(in, 0.0f);
        EXPECT_FLOAT_EQ(start->scale_x, out) << in;
        EXPECT_FLOAT_EQ(start->scale_y, out) << in;
    }
}

TEST_F(StartTrapTest, TheTankShowsTheStockRowByRow)
{
    StartTrap* start = Add<StartTrap>(kTrapStart, 100.0f, 50.0f);
    ASSERT_NE(start, nullptr);
    const TankImage& tank = start->Tank();
    ASSERT_EQ(tank.Height(), TankImage::kRows);
    ASSERT_NE(tank.Image(), nullptr);
    const int column = tank.Width() / 2;
    // Rows holding the full image for the stock: the bottom `stock` rows of 31..99.
    auto fullRows = [&] {
        int full = 0;
        for (int row = TankImage::kFirstTankRow; row < TankImage::kRows; ++row) {
            const bool isFull = tank.Pixel(column, row) == tank.FullPixel(column, row);
            const bool isEmpty = tank.Pixel(column, row) == tank.EmptyPixel(column, row);
            EXPECT_TRUE(isFull || isEmpty) << row;
            if (isFull && tank.FullPixel(column, row) != tank.EmptyPixel(column, row))
                full = std::max(full, TankImage::kRows - row);
        }
        return full;
    };
    // A row whose full and empty pixels differ, low in the tank, tells fill from empty.
    ASSERT_NE(tank.FullPixel(column, 80), tank.EmptyPixel(column, 80));
    for (const auto& [stock, shown] : {std::pair{100, 69}, {0, 0}, {10, 10}, {69, 69}, {68, 68}, {3, 3}, {999, 69}}) {
        start->SetFlimbsLeft(stock);
        const int full = fullRows();
        EXPECT_LE(full, shown) << stock;
        // Above the fill every tank row is the empty image's.
        for (int row = TankImage::kFirstTankRow; row < TankImage::kRows - shown; ++row)
            ASSERT_EQ(tank.Pixel(column, row), tank.EmptyPixel(column, row)) << stock << " row " << row;
        for (int row = TankImage::kRows - shown; row < TankImage::kRows; ++row)
            ASSERT_EQ(tank.Pixel(column, row), tank.FullPixel(column, row)) << stock << " row " << row;
    }
    // Rows above the tank always stay the full image's.
    for (int row = 0; row < TankImage::kFirstTankRow; ++row)
        EXPECT_EQ(tank.Pixel(column, row), tank.FullPixel(column, row));
}

TEST_F(StartTrapTest, ActivationDeactivationAndGroups)
{
    StartTrap* start = AddStart("<groupID>1</groupID><releaserate>50</releaserate>");
    ASSERT_NE(start, nullptr);
    start->Deactivate();
    EXPECT_EQ(start->FlimbsLeft(), 0);
    Flimb* by = PlaceAt(300, 149, 3);
    start->Activate(by);
    EXPECT_EQ(start->Group(), 3);
    EXPECT_TRUE(start->activated);
    const int before = FlimbCount();
    Run(5);
    EXPECT_EQ(FlimbCount(), before); // the stock is gone
    start->SetFlimbsLeft(2);
    Run(5);
    EXPECT_EQ(FlimbCount(), before + 2);

    // A group outside 0..7 from a file is logged and taken as 0.
    StartTrap* odd = AddStart("<groupID>200</groupID>");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->Group(), 0);
    EXPECT_TRUE(log->Contains("group 200 is not a group (0..7), taken as 0"));
}

TEST_F(StartTrapTest, NothingLeavesWhileDisabledAndTheGlowStops)
{
    StartTrap* start = AddStart("<releaserate>50</releaserate>");
    start->SetEnabled(false);
    EXPECT_FALSE(start->activated);
    Run(3);
    EXPECT_EQ(FlimbCount(), 0);
    EXPECT_EQ(start->releaseClock, 50); // the clock does not run behind a closed gate
    start->SetEnabled(true);
    EXPECT_EQ(start->glowLevel, 0);
    EXPECT_GE(start->glowStep, 5);
    EXPECT_LE(start->glowStep, 34);
    Run(1);
    EXPECT_EQ(FlimbCount(), 1);
}

TEST_F(StartTrapTest, SettingsAreKeptInRangeAndTheStockRedrawsTheTank)
{
    StartTrap* start = AddStart("<flimbCount>0</flimbCount>");
    ASSERT_NE(start, nullptr);
    const TankImage& tank = start->Tank();
    const int column = tank.Width() / 2;
    StartSettings settings;
    settings.releaseRate = 10;
    settings.flimbsLeft = 5000;
    settings.facing = -9;
    settings.scaleChoice = 7;
    settings.activated = false;
    settings.applyProtection = true;
    start->ApplySettings(settings);
    EXPECT_EQ(start->releaseRate, 50);
    EXPECT_EQ(start->FlimbsLeft(), 999);
    EXPECT_EQ(start->facing, -1);
    EXPECT_FLOAT_EQ(start->scale_x, 3.0f);
    EXPECT_FALSE(start->activated);
    EXPECT_TRUE(start->applyProtection);
    // The stock went through the tank: its bottom row is full again.
    ASSERT_NE(tank.FullPixel(column, 80), tank.EmptyPixel(column, 80));
    EXPECT_EQ(tank.Pixel(column, 80), tank.FullPixel(column, 80));
    // Unset values stay; a rate above the range is kept at 20000.
    StartSettings rate;
    rate.releaseRate = 90000;
    start->ApplySettings(rate);
    EXPECT_EQ(start->releaseRate, 20000);
    EXPECT_EQ(start->FlimbsLeft(), 999);
}

TEST_F(StartTrapTest, EachReleaseFlashesForSixUpdates)
{
    StartTrap* start = AddStart("");
    // The first release at update 0 finds the old stamp (0) within 0..2: the flash waits
    // until update 3.
    Run(1);
    EXPECT_FALSE(start->flashOn);
    EXPECT_EQ(start->flashStamp, 3u);
    Run(3);
    EXPECT_TRUE(start->flashOn);
    Run(5);
    EXPECT_TRUE(start->flashOn);
    Run(1);
    EXPECT_FALSE(start->flashOn);
    // The next release (update 57) flashes at once.
    Run(48);
    EXPECT_EQ(start->flashStamp, 57u);
    EXPECT_TRUE(start->flashOn);
}

TEST_F(StartTrapTest, ProtectionIsLaidOnTheGroundBelowOrLogged)
{
    SetBlockBrush(1, 1, 8, 4, 0xFF808080u);
    StartTrap* start = AddStart("<apply_protection>1</apply_protection><visible>0</visible>");
    ASSERT_NE(start, nullptr);
    start->StampLand();
    // Ground starts at y 150; the pad is laid one pixel into it.
    EXPECT_EQ(Land().HitTestPoint(100, 151), 2);
    EXPECT_FALSE(log->Contains("start protection failed"));

    StartTrap* high = AddStart("<apply_protection>1</apply_protection><visible>0</visible><trap_rotation>180</trap_rotation>");
    high->StampLand();
    EXPECT_TRUE(log->Contains("start protection failed for group 0!\n"));
}

} // namespace
