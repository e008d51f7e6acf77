// The trap draw list and the three draw layers.
#include "tests/support/RecordingTrap.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/TestWorld.h"
#include "world/TrapDraw.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

namespace {

class TrapDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameViewHooks hooks;
        hooks.visibleWorldRect = [this] { return visible; };
        SetGameViewHooks(hooks);
    }

    // A trap of the kind at (x, y) drawn in the layer given by its three switches.
    RecordingTrap* Add(int32_t kind, float x, uint8_t zorder, uint8_t flimborder, uint8_t underShadow)
    {
        auto trap = std::make_unique<RecordingTrap>(kind, journal);
        trap->x = x;
        trap->y = 50;
        trap->zorder = zorder;
        trap->flimborder = flimborder;
        trap->renderUnderShadow = underShadow;
        RecordingTrap* raw = trap.get();
        RegisterTrap(std::move(trap));
        return raw;
    }

    std::vector<Trap*>& DrawList() { return World().traps.drawList; }

    std::vector<std::string> journal;
    TestWorld test;
    gfx::RECT visible{0, 0, 200, 100};
};

TEST_F(TrapDrawTest, LayersDrawTheirTrapsInRegistrationOrder)
{
    Add(1, 10, 1, 1, 1);   // 1: under the shadow
    Add(1, 20, 1, 1, 0);   // 2: back layer
    Add(1, 30, 0, 1, 0);   // 3: middle layer
    Add(1, 40, 0, 0, 0);   // 4: front layer
    Add(1, 50, 1, 0, 0);   // 5: front layer, depth-tested
    Add(1, 500, 0, 0, 0);  // 6: out of view
    Add(20, 60, 0, 0, 0);  // 7: a kind that is not layered
    Add(13, 900, 0, 0, 0); // 8: extra pass, out of view
    RebuildTrapDrawList();
    EXPECT_EQ(DrawList().size(), 5u);
    // Every trap steps its frame; only those in the list draw their back parts.
    const std::vector<std::string> back = {"1 step-frame", "2 step-frame", "3 step-frame", "4 step-frame",
                                           "5 step-frame", "6 step-frame", "7 step-frame", "8 step-frame",
                                           "1 draw-back",  "1 draw",       "2 draw-back",  "3 draw-back",
                                           "4 draw-back",  "5 draw-back"};
    EXPECT_EQ(journal, back);

    journal.clear();
    DrawTrapsBackLayer();
    EXPECT_EQ(journal, std::vector<std::string>{"2 draw"});
    journal.clear();
    DrawTrapsMiddleLayer();
    EXPECT_EQ(journal, std::vector<std::string>{"3 draw"});
    journal.clear();
    DrawTrapsFrontLayer();
    EXPECT_EQ(journal, (std::vector<std::string>{"8 extra-pass", "1 draw-extra", "2 draw-extra", "3 draw-extra",
                                                 "4 draw-extra", "4 draw", "5 draw-extra", "5 draw"}));
}

TEST_F(TrapDrawTest, TheListIsKeptUntilTheViewMovesOrATrapIsRegistered)
{
    Add(1, 10, 0, 0, 0);
    RebuildTrapDrawList();
    EXPECT_EQ(DrawList().size(), 1u);
    // A trap that moves into view without being offered stays out of the kept list.
    World().traps.all[0]->x = 500;
    RebuildTrapDrawList();
    EXPECT_EQ(DrawList().size(), 1u);
    visible = {300, 0, 600, 100};
    RebuildTrapDrawList();
    EXPECT_EQ(DrawList().size(), 1u);
    EXPECT_EQ(World().traps.visibleRect, visible);
    Add(1, 400, 0, 0, 0);
    RebuildTrapDrawList();
    EXPECT_EQ(DrawList().size(), 2u);
}

TEST_F(TrapDrawTest, OfferedTrapsGoInRegistrationOrderOnce)
{
    RecordingTrap* first = Add(1, 500, 0, 0, 0);
    Add(1, 10, 0, 0, 0);
    RecordingTrap* third = Add(1, 500, 0, 0, 0);
    RecordingTrap* camera = Add(20, 10, 0, 0, 0);
    RebuildTrapDrawList();
    ASSERT_EQ(DrawList().size(), 1u);
    third->x = 30;
    first->x = 20;
    AddTrapToDrawList(third);
    AddTrapToDrawList(first);
    AddTrapToDrawList(first);
    AddTrapToDrawList(camera);
    ASSERT_EQ(DrawList().size(), 3u);
    EXPECT_EQ(DrawList()[0], first);
    EXPECT_EQ(DrawList()[2], third);
    {
        ScopedConsoleInt god("god", 1);
        AddTrapToDrawList(camera);
    }
    EXPECT_EQ(DrawList().size(), 4u) << "god mode draws every kind";
    UnregisterTrap(camera).reset();
    EXPECT_EQ(DrawList().size(), 3u);
    ResetTrapDrawState();
    EXPECT_TRUE(DrawList().empty());
    EXPECT_EQ(World().traps.visibleRect, (gfx::RECT{-1, -1, -1, -1}));
    EXPECT_EQ(World().traps.registrationCounter, 0u);
}

TEST_F(TrapDrawTest, PausedGamesStepNoFrames)
{
    Add(1, 10, 0, 0, 0)->visible = 0;
    Controller().runState = kRunPaused;
    RebuildTrapDrawList();
    EXPECT_TRUE(journal.empty()) << "no frame steps, and an invisible trap draws nothing";
    Controller().runState = kRunRunning;
    RebuildTrapDrawList();
    EXPECT_EQ(journal, std::vector<std::string>{"1 step-frame"});
}

} // namespace
