// The land-watch trap on the real landscape (its watch modes, wall edges, activation) and
// the camera-watch trap on the game view "MOUSEPORT" (arrivals, the wrapped angle).
#include "game/ViewPort.h"
#include "gui/WindowList.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/WatchTraps.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class WatchTrapsTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        BuildLand();
    }
    // Rock from x 100 on, rows 50 .. 99; air elsewhere; a wall at the left edge.
    void BuildLand()
    {
        AsciiMap rows(100, std::string(200, '.'));
        for (size_t y = 50; y < 100; ++y)
            rows[y] = std::string(100, '.') + std::string(100, '3');
        LoadMap(rows, EdgeModes{TileStore::kEdgeOpen, TileStore::kEdgeOpen, TileStore::kEdgeWall, TileStore::kEdgeOpen});
    }
    LandWatchTrap* AddLandWatch(int mode, float x, float y)
    {
        auto* trap = dynamic_cast<LandWatchTrap*>(AddTrapXml(
            "<trap><type>LandWatch</type><watchMode>" + std::to_string(mode) + "</watchMode></trap>"));
        if (trap) {
            trap->x = x;
            trap->y = y;
            Listen(*trap, 0);
        }
        return trap;
    }
    // The updates (1-based) in which the trap fired, over `updates` updates; `change` runs
    // before update `at`.
    std::vector<int> Firings(int updates, int at = 0, const std::function<void()>& change = {})
    {
        std::vector<int> fired;
        for (int i = 1; i <= updates; ++i) {
            if (i == at && change)
                change();
            events.clear();
            Run(1);
            if (!events.empty())
                fired.push_back(i);
        }
        return fired;
    }
};

TEST_F(WatchTrapsTest, LandWatchModes)
{
    struct Case {
        const char* what;
        int mode;
        float x, y;                // the watched 32 x 32 square is x - 16 .. x + 15
        std::function<void()> change; // before update 3
        std::vector<int> fired;
    };
    const Case cases[] = {
        {"any air in rock: the first dug pixel", 2, 150, 75, [this] { Fill(0, 150, 75, 150, 75); }, {3}},
        {"all air over rock being dug away", 0, 150, 75,
         [this] { Fill(0, 134, 59, 165, 90); }, {3}},
        {"all air, one pixel left", 0, 150, 75,
         [this] {
             Fill(0, 134, 59, 165, 90);
             Fill(3, 140, 70, 140, 70);
         },
         {}},
        {"any soil in the air", 3, 50, 20, [this] { Fill(3, 60, 30, 60, 30); }, {3}},
        {"all soil over air being filled", 1, 50, 20, [this] { Fill(3, 34, 4, 65, 35); }, {3}},
        // On change: the first update only records the count.
        {"on change: added land", 4, 50, 20, [this] { Fill(3, 50, 20, 50, 20); }, {3}},
        {"on change: removed land", 4, 150, 75, [this] { Fill(0, 150, 75, 151, 75); }, {3}},
        {"on change: nothing changes", 4, 150, 75, {}, {}},
        {"an unknown mode never fires", 9, 150, 75, [this] { Fill(0, 134, 59, 165, 90); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LandWatchTrap* trap = AddLandWatch(c.mode, c.x, c.y);
        ASSERT_NE(trap, nullptr);
        const gfx::RECT area = trap->GetBounds();
        EXPECT_EQ(area.right - area.left, 31);
        EXPECT_EQ(Firings(6, 3, c.change), c.fired);
        // A fired watch is disabled and stays.
        EXPECT_EQ(trap->enabled, c.fired.empty() ? 1 : 0);
        DeleteAllTraps();
        BuildLand();
    }
}

TEST_F(WatchTrapsTest, AWatchPastAWallEdgeCountsAHit)
{
    struct Case {
        int mode;
        bool fires;
    };
    for (const Case c : {Case{0, false}, Case{1, false}, Case{2, true}, Case{3, true}}) {
        SCOPED_TRACE(c.mode);
        AddLandWatch(c.mode, 5, 20); // reaches past the wall at the left edge
        EXPECT_EQ(Firings(2), c.fires ? std::vector<int>{1} : std::vector<int>{});
        DeleteAllTraps();
    }
}

TEST_F(WatchTrapsTest, AnActivationFiresAtTheNextEnabledUpdate)
{
    LandWatchTrap* trap = AddLandWatch(2, 150, 75); // in rock: the test alone never fires
    trap->SetEnabled(false);
    trap->Activate(nullptr);
    EXPECT_TRUE(Firings(3).empty());
    trap->SetEnabled(true);
    EXPECT_EQ(Firings(3), (std::vector<int>{1}));
    EXPECT_FALSE(trap->triggered);
    // Enabled again it tests anew.
    trap->SetEnabled(true);
    EXPECT_TRUE(Firings(2, 2, [this] { Fill(0, 140, 70, 140, 70); }) == (std::vector<int>{2}));
}

TEST_F(WatchTrapsTest, CameraWatchFiresOnEachArrival)
{
    ViewPort view;
    view.SetName("MOUSEPORT");
    OpenWindow(&view, true);
    struct Case {
        const char* what;
        int direction;
        std::vector<float> rotations; // the view's rotation before each update
        std::vector<int> fired;
    };
    const float pi = 3.1415927f;
    const Case cases[] = {
        {"left while turning from pi / 2 to 0", 2, {1.5708f, 1.0f, 0.5f, 0.09f, 0.0f, 0.0f}, {4}},
        // The difference wraps: just below 2 pi is next to 0.
        {"left from above", 2, {5.5f, 6.0f, 6.2f, 6.28f, 0.0f}, {3}},
        {"down at 4.65", 0, {4.0f, 4.65f}, {2}},
        {"up, leaving and coming back", 1, {pi / 2, pi / 2, 1.2f, 1.6f}, {1, 4}},
        {"right", 3, {pi, 0.0f}, {1}},
        {"no such direction", 7, {0.0f, pi, 4.712389f}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* trap = dynamic_cast<CameraWatchTrap*>(
            AddTrapXml("<trap><type>CameraWatch</type><grav_id>" + std::to_string(c.direction) + "</grav_id></trap>"));
        ASSERT_NE(trap, nullptr);
        Listen(*trap, 0);
        std::vector<int> fired;
        for (size_t i = 0; i < c.rotations.size(); ++i) {
            view.targetRotation = c.rotations[i];
            events.clear();
            Run(1);
            if (!events.empty())
                fired.push_back(int(i) + 1);
        }
        EXPECT_EQ(fired, c.fired);
        DeleteAllTraps();
    }
    CloseWindow(&view);
    // Without the game view nothing happens.
    auto* trap = dynamic_cast<CameraWatchTrap*>(AddTrapXml("<trap><type>CameraWatch</type></trap>"));
    Run(2);
    EXPECT_FALSE(trap->atTarget);
}

TEST_F(WatchTrapsTest, FileForms)
{
    for (const char* element : {"<trap><type>LandWatch</type><watchMode>4</watchMode><scale_x>2</scale_x></trap>",
                                "<trap><type>CameraWatch</type><grav_id>3</grav_id><tint>255</tint></trap>"}) {
        SCOPED_TRACE(element);
        Trap* trap = AddTrapXml(element);
        ASSERT_NE(trap, nullptr);
        const std::string saved = SaveText(*trap);
        Trap* again = AddTrapXml(saved.substr(saved.find("<trap>")));
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(SaveText(*again), saved);
    }
    EXPECT_FLOAT_EQ(CameraWatchTrap::AngleApart(6.25f, 0.0f), 2 * 3.1415927f - 6.25f);
}

} // namespace
