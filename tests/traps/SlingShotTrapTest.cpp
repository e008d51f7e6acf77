// The sling-shot: launch vectors and modes, once per visit with a four-update cooldown, the
// sound once per update, types that fall and types that keep theirs, and launches that must
// not touch the trap's state (the level editor's test, the Quantum Time preview).
#include "game/GameController.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapEditor.h"
#include "tests/support/FlimbFixture.h"
#include "traps/SlingShotTrap.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<int> g_effects;

class SlingShotTrapTest : public FlimbFixture {
protected:
    void SetUp() override
    {
        FlimbFixture::SetUp();
        LoadMap(AsciiMap(100, std::string(200, '.')));
        g_effects.clear();
        SetEffectAtListener([](int id, int32_t, int32_t) { g_effects.push_back(id); });
        sling.x = 100.0f;
        sling.y = 50.0f;
    }
    void TearDown() override
    {
        SetEffectAtListener(nullptr);
        FlimbFixture::TearDown();
    }
    void Step()
    {
        ++World().clock.updateCounter;
        sling.Update();
    }

    SlingShotTrap sling;
};

} // namespace

// The push each mode gives, through the angle table; a mirrored trap turns the angle to
// 180 - rotation.
TEST_F(SlingShotTrapTest, LaunchVectorsAndModes)
{
    struct Case {
        float rotation, scaleX;
        int32_t magnitude, mode, pushX, pushY, wantX, wantY;
    };
    const Case cases[] = {
        {0, 1, 50, SlingShotTrap::kNormal, 7, 7, 50, 0},
        {90, 1, 50, SlingShotTrap::kNormal, 0, 0, 0, -50},
        {30, 1, 50, SlingShotTrap::kNormal, 0, 0, 43, -25},
        {30, -1, 50, SlingShotTrap::kNormal, 0, 0, -43, -25}, // mirrored: 150 degrees
        {30, 0, 50, SlingShotTrap::kNormal, 0, 0, 43, -25},   // a zero scale is not mirrored
        {0, 1, 50, SlingShotTrap::kAdditive, 10, 5, 60, 5},
        {0, 1, 50, SlingShotTrap::kAdditive, -50, 0, 0, 0}, // arriving against it: stopped
        {0, 1, 50, SlingShotTrap::kSpeed, 30, -40, 100, 0}, // |v| = 50 joins the magnitude
        {270, 1, 20, 7, 0, 10, 0, 30},                      // unknown modes act as Speed
    };
    for (const Case& c : cases) {
        sling.rotation = c.rotation;
        sling.scale_x = c.scaleX;
        sling.slingMagnitude = c.magnitude;
        sling.slingMode = c.mode;
        int32_t vx = c.pushX, vy = c.pushY;
        sling.ApplyMode(vx, vy);
        EXPECT_EQ(vx, c.wantX) << c.rotation << " " << c.scaleX << " mode " << c.mode;
        EXPECT_EQ(vy, c.wantY) << c.rotation << " " << c.scaleX << " mode " << c.mode;
    }
}

// A flimb is launched once per visit; only after more than four updates away is it launched
// again. The sound plays once per update, however many flimbs go.
TEST_F(SlingShotTrapTest, OncePerVisitWithAFourUpdateCooldown)
{
    for (int away : {4, 5}) {
        sling.cooldowns.clear();
        Flimb* a = Place(100, 55, kNova);
        Flimb* b = Place(100, 55, kNova);
        g_effects.clear();
        Step();
        EXPECT_EQ(a->pushX, 50);
        EXPECT_EQ(b->pushX, 50);
        EXPECT_EQ(std::count(g_effects.begin(), g_effects.end(), 30), 1);
        a->pushX = 0;
        Step();
        Step();
        EXPECT_EQ(a->pushX, 0) << "still standing on it";
        a->x = a->prevX = 20;
        for (int i = 0; i < away; ++i)
            Step();
        a->x = a->prevX = 100;
        Step();
        EXPECT_EQ(a->pushX, away > 4 ? 50 : 0) << away << " updates away";
        a->flags = b->flags = 0;
    }
}

// Walkers, diggers and fallers become fallers; Nova and Puff keep their type and get the
// push. Redirect turns the flimb towards the launch; centring puts it on the trap.
TEST_F(SlingShotTrapTest, TypesRedirectAndCentre)
{
    sling.rotation = 150.0f;
    sling.redirect = 1;
    for (uint8_t type : {kWalk, kMold, kDrill, kGulp, kClob, kFall, kNova, kPuff}) {
        Flimb* flimb = Place(103, 52, type);
        flimb->walkSpeed = 3;
        sling.OnFlimbContact(flimb);
        const bool falls = type != kNova && type != kPuff;
        EXPECT_EQ(flimb->type, falls ? uint8_t(kFall) : type) << int(type);
        if (!falls) {
            EXPECT_EQ(flimb->pushX, -43);
            EXPECT_EQ(flimb->pushY, -25);
        }
        EXPECT_EQ(flimb->walkSpeed, -3) << "launched to the left";
        EXPECT_EQ(flimb->x, 100);
        EXPECT_EQ(flimb->y, 50);
        flimb->flags = 0;
    }
}

// In the level editor's test and for the Quantum Time preview's copy the flimb is launched,
// but no event fires, no gust starts and (for the preview) no cooldown is set.
TEST_F(SlingShotTrapTest, EditorAndPreviewLaunchesLeaveTheTrapAlone)
{
    MapEditor model;
    SetCurrentEditor(&model);
    model.Open();
    Flimb* flimb = Place(100, 55, kNova);
    sling.OnFlimbContact(flimb);
    SetCurrentEditor(nullptr);
    EXPECT_EQ(flimb->pushX, 50);
    EXPECT_EQ(sling.gusting, 0);

    Flimb& copy = World().preview.copy;
    copy = *flimb;
    copy.pushX = 0;
    sling.cooldowns.clear();
    sling.OnFlimbContact(&copy);
    EXPECT_EQ(copy.pushX, 50);
    EXPECT_EQ(sling.gusting, 0);
    EXPECT_TRUE(sling.cooldowns.empty());

    sling.OnFlimbContact(flimb);
    EXPECT_EQ(sling.gusting, 1);
    EXPECT_EQ(sling.gustFrame, 0);
    EXPECT_EQ(sling.cooldowns.size(), 1u);
}
