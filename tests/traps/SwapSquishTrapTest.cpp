// The swap trap (next participating group, once per visit, the marked flimb of Capture the
// flimb, selection cleared, pickups, a draw pass that leaves the trap alone) and the squish
// trap (frame 4, short and paired sheets, Nova flimbs spared, re-arming).
#include "game/GameController.h"
#include "media/ImageCache.h"
#include "modes/ModeServices.h"
#include "tests/support/FlimbFixture.h"
#include "traps/SquishTrap.h"
#include "traps/SwapTrap.h"
#include "world/StateHash.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> g_effects;

class SwapSquishTest : public FlimbFixture {
protected:
    void SetUp() override
    {
        FlimbFixture::SetUp();
        LoadMap(AsciiMap(120, std::string(200, '.')));
        g_effects.clear();
        SetEffectAtListener([](int id, int32_t, int32_t) { g_effects.push_back(id); });
    }
    void TearDown() override
    {
        SetEffectAtListener(nullptr);
        ClearCurrentGameMode();
        FlimbFixture::TearDown();
    }
    static void UseGroups(std::initializer_list<int> groups)
    {
        for (auto& entry : Controller().groups)
            entry.inUse = 0;
        for (int g : groups)
            Controller().groups[size_t(g)].inUse = 1;
    }
    static void Tick() { ++World().clock.updateCounter; }
};

} // namespace

// The next participating group above, else the lowest up to its own; none: unchanged.
TEST_F(SwapSquishTest, NextGroupTable)
{
    struct Case {
        std::initializer_list<int> groups;
        uint8_t from, to;
    };
    for (const Case& c : {Case{{0, 2, 5}, 0, 2}, Case{{0, 2, 5}, 2, 5}, Case{{0, 2, 5}, 5, 0}, Case{{0, 2, 5}, 3, 5},
                          Case{{4}, 4, 4}, Case{{4}, 6, 4}, Case{{}, 3, 255}}) {
        UseGroups(c.groups);
        EXPECT_EQ(SwapTrap::NextGroup(c.from), c.to) << int(c.from);
    }
}

// A lone group keeps its flimbs but the trap still fires, sounds and uses its pickup. A
// flimb is swapped once per visit and again after more than four updates away; the
// selection, steering and queued action go with the swap.
TEST_F(SwapSquishTest, SwapOncePerVisit)
{
    SwapTrap swap;
    swap.x = 100.0f;
    swap.y = 60.0f;
    swap.pickup_mode = 1;
    swap.pickup_left = 3;
    UseGroups({1});
    Flimb* lone = Place(100, 70, kWalk, 1);
    Tick();
    swap.Update();
    EXPECT_EQ(lone->group, 1);
    EXPECT_EQ(swap.pickup_left, 2);
    EXPECT_EQ(swap.swapped, 1);
    EXPECT_EQ(std::count(g_effects.begin(), g_effects.end(), 35), 1);
    lone->flags = 0;

    UseGroups({0, 1});
    for (int away : {4, 5}) {
        swap.cooldowns.clear();
        Flimb* flimb = Place(100, 70, kWalk, 0);
        flimb->flags |= kFlimbSelected;
        flimb->steerKeys = 3;
        flimb->queuedAction = 4;
        Land().focusFlimb = flimb;
        Tick();
        swap.Update();
        EXPECT_EQ(flimb->group, 1);
        EXPECT_FALSE(flimb->IsSelected());
        EXPECT_EQ(flimb->steerKeys, 0);
        EXPECT_EQ(flimb->queuedAction, kNoType);
        EXPECT_EQ(Land().focusFlimb, nullptr);
        Tick();
        swap.Update();
        EXPECT_EQ(flimb->group, 1) << "still inside";
        flimb->x = flimb->prevX = 10;
        for (int i = 0; i < away; ++i) {
            Tick();
            swap.Update();
        }
        flimb->x = flimb->prevX = 100;
        Tick();
        swap.Update();
        EXPECT_EQ(flimb->group, away > 4 ? 0 : 1) << away << " updates away";
        flimb->flags = 0;
    }
}

// In Capture the flimb the marked flimb passes unchanged; in other modes it is swapped.
TEST_F(SwapSquishTest, MarkedFlimbPassesInCaptureTheFlimb)
{
    UseGroups({0, 1});
    for (int mode : {1, 0}) {
        ASSERT_NE(CreateCurrentGameMode(mode), nullptr);
        SwapTrap swap;
        swap.x = 100.0f;
        swap.y = 60.0f;
        Flimb* marked = Place(100, 70, kWalk, 0);
        marked->attributes |= kAttrMarked;
        Tick();
        swap.Update();
        EXPECT_EQ(marked->group, mode == 1 ? 0 : 1) << "mode " << mode;
        marked->flags = 0;
    }
}

// The draw pass cycles the ball's colour and spin in drawing fields only: the trap's
// rotation, tint and state hash stay as they were.
TEST_F(SwapSquishTest, DrawingChangesNoTrapState)
{
    SwapTrap swap;
    swap.rotation = 90.0f;
    const uint64_t before = WorldStateHash();
    for (int i = 0; i < 20; ++i) {
        World().clock.gameTime += 10;
        swap.Draw();
    }
    EXPECT_EQ(swap.rotation, 90.0f);
    EXPECT_EQ(swap.tint, 0x808080u);
    EXPECT_EQ(swap.drawRotation, 20.0f);
    EXPECT_NE(swap.drawTint, 0u);
    EXPECT_EQ(WorldStateHash(), before);
}

// The crusher squashes at frame 4: never with fewer than 5 frames, also with a paired
// sheet (0, 2, 4 ...); Nova flimbs are spared; it re-arms when the animation wraps.
TEST_F(SwapSquishTest, SquishAtFrameFour)
{
    struct Case {
        int frames;
        int fps;
        bool squashes;
    };
    for (const Case& c : {Case{10, 0, true}, Case{5, 0, true}, Case{4, 0, false}, Case{10, 26, true}}) {
        const std::string name = "Graphics\\Test\\squish" + std::to_string(c.frames) + ".png";
        AddImage(name, 8 * c.frames, 8, [](int, int) { return 0xFF808080u; });
        SquishTrap squish;
        squish.sprite = ImageCache::GetImage(name);
        squish.sprite->SetFrameSize(8, 8);
        squish.sprite->fps = c.fps;
        squish.x = 100.0f;
        squish.y = 50.0f; // facing down: it looks 20 pixels up, at y 30
        Flimb* walker = Place(100, 35, kWalk);
        Flimb* nova = Place(100, 35, kNova);
        int updates = 0;
        while (squish.armed && updates < 3 * c.frames) {
            squish.Update();
            ++updates;
        }
        EXPECT_EQ(walker->type, c.squashes ? kSquish : kWalk) << c.frames << " frames fps " << c.fps;
        EXPECT_EQ(nova->type, kNova);
        walker->flags = nova->flags = 0; // gone: nothing under it any more
        if (c.squashes) {
            EXPECT_EQ(squish.frame, SquishTrap::kCrushFrame);
            for (int i = 0; i < c.frames && squish.animating; ++i)
                squish.Update();
            EXPECT_FALSE(squish.animating);
            EXPECT_EQ(squish.armed, 1) << "re-armed on the wrap";
            EXPECT_EQ(squish.frame, 0);
        }
    }
}
