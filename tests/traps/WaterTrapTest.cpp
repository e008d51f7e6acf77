// The liquid trap: its tide, body and contact rectangles, what it does to flimbs, its load
// rules and its panel.
#include "tests/support/LogCapture.h"
#include "tests/support/TrapFixture.h"

#include "game/GameController.h"
#include "media/AnimSurface.h"
#include "traps/WaterTrap.h"
#include "world/FlimbTable.h"

#include <gtest/gtest.h>

namespace {

// Every child a liquid reads, as the defaults give them.
const char* const kDefaults = R"(<trap><x>0</x><y>0</y><zorder>0</zorder><flimborder>0</flimborder>
  <renderUnderShadow>0</renderUnderShadow><alpha>255</alpha><visible>1</visible><trap_rotation>0</trap_rotation>
  <scale_x>1.0</scale_x><scale_y>1.0</scale_y><tint>8421504</tint><pickup_mode>0</pickup_mode>
  <floating_pickup>0</floating_pickup><pickup_left>1</pickup_left><allow_fall>0</allow_fall><enabled>1</enabled>
  <audible>1</audible><activated>0</activated><alive>1</alive><sizex>342</sizex><sizey>112</sizey>
  <hightide>0</hightide><hightime>0</hightime><lowtime>0</lowtime><changetime>0</changetime>
  <water_type>0</water_type></trap>)";

class WaterTrapTest : public TrapFixture {
protected:
    void SetUp() override
    {
        TrapFixture::SetUp();
        LoadMap({}, {}, 512, 256);
        Fill(1, 0, 200, 511, 255);
    }
    WaterTrap* AddLiquid(int type, float px = 50.0f, float py = 200.0f)
    {
        WaterTrap* water = AddTrap<WaterTrap>(WaterTrap::kKind, px, py);
        water->water_type = type;
        water->ReleaseGraphics();
        water->LoadGraphics();
        return water;
    }
};

TEST_F(WaterTrapTest, TheTideHoldsMovesAndTurns)
{
    struct Case {
        int32_t base, high, hightime, lowtime, changetime;
        float after10, after40;
    } cases[] = {
        {0, 0, 2, 2, 5, 0.0f, 0.0f},   // base equals high: still
        {0, 40, 2, 2, 0, 0.0f, 0.0f},  // changetime 0: still
        {0, 40, 0, 100, 4, 50.0f, 50.0f}, // up 10 a move for 5 moves (the last one ends it), held
    };
    for (const Case& c : cases) {
        auto water = MakeTrap<WaterTrap>(WaterTrap::kKind);
        ASSERT_TRUE(water);
        water->tide_base = c.base;
        water->hightide = c.high;
        water->hightime = c.hightime;
        water->lowtime = c.lowtime;
        water->changetime = c.changetime;
        World().clock.updateCounter = 0;
        for (int i = 0; i < 40; ++i) {
            ++World().clock.updateCounter;
            water->Update();
            if (i == 9) {
                EXPECT_FLOAT_EQ(water->tide_offset, c.after10) << c.high << " " << c.changetime;
            }
        }
        EXPECT_FLOAT_EQ(water->tide_offset, c.after40) << c.high << " " << c.changetime;
    }
}

TEST_F(WaterTrapTest, TheTideRunsItsWholeCycle)
{
    auto water = MakeTrap<WaterTrap>(WaterTrap::kKind);
    water->hightide = -20; // (base 0 - high) / changetime = +5 a move
    water->hightime = 3;
    water->lowtime = 2;
    water->changetime = 4;
    std::vector<int> states;
    World().clock.updateCounter = 0;
    for (int i = 0; i < 20; ++i) {
        ++World().clock.updateCounter;
        water->Update();
        states.push_back(water->tide_state);
    }
    // Held 3 updates, moving 5 (the stamp's update and four more), held 2, moving back.
    EXPECT_EQ(states, (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 1, 1, 1, 1, 1, 0, 0, 0, 0}));
    EXPECT_FLOAT_EQ(water->tide_offset, 0.0f);
}

TEST_F(WaterTrapTest, BodyAndContactRectanglesByTypeAndDirection)
{
    WaterTrap* water = AddLiquid(0, 100.0f, 200.0f);
    water->sizex = 300;
    water->sizey = 100;
    water->tide_offset = 10.4f;
    EXPECT_EQ(water->GetBounds(), (gfx::RECT{100, 90, 400, 200}));
    const int32_t insets[3] = {11, 18, 2};
    for (int type = 0; type < 3; ++type) {
        water->water_type = type;
        EXPECT_EQ(water->ContactRect(), (gfx::RECT{100, 90 + insets[type], 400, 200})) << type;
    }
    // Turned upside down the surface is the bottom edge, and the inset moves it up.
    water->water_type = 0;
    water->rotation = 180.0f;
    EXPECT_EQ(water->GetBounds(), (gfx::RECT{-200, 200, 100, 310}));
    EXPECT_EQ(water->ContactRect(), (gfx::RECT{-200, 200, 100, 299}));
    // Turned to the left wall (gravity towards -x) the surface is on the right.
    water->rotation = 270.0f;
    const gfx::RECT side = water->GetBounds();
    gfx::RECT contact = water->ContactRect();
    EXPECT_EQ(contact.right, side.right - 11);
    EXPECT_EQ(contact.left, side.left);
}

TEST_F(WaterTrapTest, AFlimbIsAffectedOnlyInsideTheInset)
{
    const uint8_t effect[3] = {kDrown, kWalk, kBurn};
    const int32_t insets[3] = {11, 18, 2};
    for (int type = 0; type < 3; ++type) {
        WaterTrap* water = AddLiquid(type, 0.0f, 200.0f);
        water->sizex = 512;
        water->sizey = 100;
        // Rectangle top 100; a flimb's rectangle whose bottom reaches just the inset line is
        // outside, one pixel lower is in.
        Flimb* dry = Place(100, 100, kWalk);
        const gfx::RECT body = dry->GetCurrentSprite();
        const int32_t feetBelowBottom = dry->y - body.bottom;
        dry->y = dry->prevY = static_cast<int16_t>(100 + insets[type] + feetBelowBottom);
        Flimb* wet = Place(300, 100 + insets[type] + feetBelowBottom + 1, kWalk);
        water->Update();
        EXPECT_EQ(dry->type, kWalk) << type;
        EXPECT_TRUE(dry->IsAlive()) << type;
        if (type == 1) {
            EXPECT_FALSE(wet->IsAlive()); // dissolved and out of play
            EXPECT_FALSE(wet->InWorld());
        } else {
            EXPECT_EQ(wet->type, effect[type]) << type;
            EXPECT_EQ(wet->targetY, wet->y + 30) << type; // sinks 30 units into the liquid
        }
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(WaterTrapTest, DyingQuietAndDeadFlimbsAreLeftAlone)
{
    WaterTrap* water = AddLiquid(0, 0.0f, 200.0f);
    water->sizex = 512;
    for (uint8_t type : {kBurn, kDrown, kNova, kShock}) {
        Flimb* flimb = Place(100, 150, kWalk);
        flimb->type = type;
        water->OnFlimbContact(flimb);
        EXPECT_EQ(flimb->type, type);
        EXPECT_EQ(flimb->targetY, 0);
    }
    Flimb* quiet = Place(120, 150, kWalk);
    quiet->attributes |= kAttrQuietEnd;
    Flimb* dead = Place(140, 150, kWalk);
    dead->flags &= static_cast<uint8_t>(~kFlimbAlive);
    water->OnFlimbContact(quiet);
    water->OnFlimbContact(dead);
    EXPECT_EQ(quiet->type, kWalk);
    EXPECT_EQ(dead->type, kWalk);
    // Activated by a flimb: the contact without the sinking point.
    Flimb* thrown = Place(300, 10, kWalk);
    water->Activate(thrown);
    EXPECT_EQ(thrown->type, kDrown);
    EXPECT_EQ(thrown->targetY, 0);
    EXPECT_EQ(water->push_out, 1);
    EXPECT_EQ(water->activated, 0);
}

TEST_F(WaterTrapTest, AnUnknownTypeIsAnInertBodyWithoutSheets)
{
    WaterTrap* water = AddLiquid(7, 0.0f, 200.0f);
    water->sizex = 200;
    water->sizey = 50;
    EXPECT_EQ(water->sprite, nullptr);
    EXPECT_EQ(water->back_sheet, nullptr);
    EXPECT_EQ(water->GetBounds(), (gfx::RECT{0, 150, 200, 200}));
    Flimb* flimb = Place(100, 199, kWalk);
    water->Update();
    EXPECT_EQ(flimb->type, kWalk);
    EXPECT_EQ(flimb->targetY, 0);
    water->Draw(); // nothing to draw, no crash
}

TEST_F(WaterTrapTest, LoadRules)
{
    struct Case {
        const char* children;
        int32_t sizex, sizey;
        bool logged;
    } cases[] = {
        {"<sizex>3</sizex>", 342, 112, false}, // three 114-unit tiles
        {"<sizex>21</sizex>", 21, 112, false},
        {"<sizex>-2</sizex>", 0, 112, true},
        {"<sizex>900000</sizex><sizey>70000</sizey>", WaterTrap::kMaxExtent, WaterTrap::kMaxExtent, true},
    };
    for (const Case& c : cases) {
        LogCapture log;
        auto water = MakeTrap<WaterTrap>(WaterTrap::kKind);
        LoadText(*water, std::string("<trap><scale_x>2.0</scale_x><scale_y>5.0</scale_y>") + c.children + "</trap>",
                 kDefaults);
        EXPECT_EQ(water->sizex, c.sizex) << c.children;
        EXPECT_EQ(water->sizey, c.sizey) << c.children;
        EXPECT_FLOAT_EQ(water->scale_y, 2.0f); // the vertical scale follows the horizontal
        EXPECT_EQ(log.Contains("kept within"), c.logged) << c.children;
    }
    auto water = MakeTrap<WaterTrap>(WaterTrap::kKind);
    water->SetScale(-2.0f, -3.0f);
    EXPECT_FLOAT_EQ(water->scale_x, 2.0f);
    EXPECT_FLOAT_EQ(water->scale_y, 3.0f);
    // Reset for a game load: the tide starts at the position.
    water->y = 77.6f;
    water->ResetToStart(kLoadModeGame);
    EXPECT_EQ(water->tide_base, 77);
    EXPECT_FLOAT_EQ(water->tide_offset, 77.6f);
    water->ResetToStart(kLoadModeEditor);
    EXPECT_EQ(water->tide_base, 77);
}

TEST_F(WaterTrapTest, APanelKeepsTheTimesWithinTheirLimits)
{
    struct Case {
        const char* typed;
        int32_t kept;
    } cases[] = {{"0", 1}, {"20000", 9999}, {"350", 350}};
    for (const Case& c : cases) {
        auto water = MakeTrap<WaterTrap>(WaterTrap::kKind);
        std::unique_ptr<LayoutPanel> panel = water->BuildEditPanel();
        panel->Finish();
        for (const char* key : {"mintime", "maxtime", "changetime"})
            Type(*panel, key, c.typed);
        Slide(*panel, "sizex", 500.0f);
        Choose(*panel, "water_type", 2);
        ASSERT_TRUE(water->ApplyEditPanel(panel.get()));
        EXPECT_EQ(water->hightime, c.kept) << c.typed;
        EXPECT_EQ(water->lowtime, c.kept) << c.typed;
        EXPECT_EQ(water->changetime, c.kept) << c.typed;
        EXPECT_EQ(water->sizex, 500);
        EXPECT_EQ(water->water_type, 2);
        ASSERT_NE(water->sprite, nullptr);
        EXPECT_NE(std::string(water->sprite->GetName()).find("lava-front"), std::string::npos);
    }
}

} // namespace
