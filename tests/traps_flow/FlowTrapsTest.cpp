// The win-lose and path traps, and what every level-flow kind reads from and writes to a
// level file.
#include "app/Random.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/PathTrap.h"
#include "traps_flow/WinLoseTrap.h"
#include "world/Flimb.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class FlowTrapsTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        AsciiMap rows(100, std::string(300, '.'));
        for (size_t y = 90; y < 100; ++y)
            rows[y] = std::string(300, '#');
        LoadMap(rows);
    }
    PathTrap* AddPath(int set, int ordinal, float x = 50.0f)
    {
        return dynamic_cast<PathTrap*>(AddTrapXml("<trap><type>Path</type><x>" + std::to_string(x) +
                                                  "</x><y>20</y><path_set>" + std::to_string(set) +
                                                  "</path_set><path_ordinal>" + std::to_string(ordinal) +
                                                  "</path_ordinal></trap>"));
    }
    std::vector<std::string> Results() const
    {
        std::vector<std::string> results;
        for (const std::string& line : mode)
            if (line.rfind("result", 0) == 0)
                results.push_back(line);
        return results;
    }
};

TEST_F(FlowTrapsTest, EveryKindLoadsFromAnEmptyElementAndSavesStably)
{
    for (const char* type : {"Start", "Exit", "WinLose", "Path", "ModifyFlimb"}) {
        SCOPED_TRACE(type);
        Trap* trap = AddTrapXml(std::string("<trap><type>") + type + "</type></trap>");
        ASSERT_NE(trap, nullptr);
        const std::string first = SaveText(*trap);
        Trap* again = AddTrapXml(first.substr(first.find("<trap>")));
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(SaveText(*again), first);
    }
}

TEST_F(FlowTrapsTest, GroupsOutsideTheRangeAreLoggedAndTakenAsZero)
{
    struct Case {
        const char* type;
        const char* key;
    };
    for (const Case c : {Case{"Start", "groupID"}, Case{"Exit", "groupID"}, Case{"WinLose", "group"},
                         Case{"ModifyFlimb", "group"}}) {
        SCOPED_TRACE(c.type);
        log->Clear();
        Trap* trap = AddTrapXml(std::string("<trap><type>") + c.type + "</type><" + c.key + ">300</" + c.key + "></trap>");
        ASSERT_NE(trap, nullptr);
        EXPECT_NE(SaveText(*trap).find(std::string("<") + c.key + ">0</"), std::string::npos) << SaveText(*trap);
        EXPECT_TRUE(log->Contains("group 300 is not a group")) << log->Text();
    }
    // 255 is "any" where a kind has it.
    Trap* any = AddTrapXml("<trap><type>WinLose</type><group>255</group></trap>");
    EXPECT_NE(SaveText(*any).find("<group>255</group>"), std::string::npos);
}

TEST_F(FlowTrapsTest, DrawingChangesNoTrapState)
{
    for (const char* type : {"Start", "Exit", "WinLose", "Path", "ModifyFlimb"}) {
        SCOPED_TRACE(type);
        Trap* trap = AddTrapXml(std::string("<trap><type>") + type +
                                "</type><x>100</x><y>60</y><visible>0</visible><alpha>90</alpha></trap>");
        ASSERT_NE(trap, nullptr);
        Run(3);
        const std::string saved = SaveText(*trap);
        const uint64_t hash = Hash();
        const uint32_t generator = SimRandom().State();
        trap->Draw();
        trap->DrawExtra();
        EXPECT_EQ(SaveText(*trap), saved);
        EXPECT_EQ(Hash(), hash);
        EXPECT_EQ(SimRandom().State(), generator);
    }
}

TEST_F(FlowTrapsTest, AWinLoseTrapEndsTheGameOnceForItsGroup)
{
    struct Case {
        const char* children;
        int32_t activatorGroup;
        const char* result;
        int32_t groupAfter;
    };
    const Case cases[] = {
        {"<trigger_win>1</trigger_win>", 3, "result 6 3", 3},
        {"<trigger_win>0</trigger_win>", 3, "result 5 3", 3},
        {"<trigger_win>1</trigger_win><group>1</group>", 3, "result 6 1", 1},
        // Without a flimb, group 255 is the local player's.
        {"<trigger_win>0</trigger_win>", -1, "result 5 0", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.children);
        auto* trap = dynamic_cast<WinLoseTrap*>(AddTrapXml(std::string("<trap><type>WinLose</type>") + c.children + "</trap>"));
        ASSERT_NE(trap, nullptr);
        Flimb* by = c.activatorGroup >= 0 ? PlaceAt(200, 89, uint8_t(c.activatorGroup)) : nullptr;
        trap->Activate(by);
        trap->Activate(by);
        EXPECT_EQ(Results(), (std::vector<std::string>{c.result}));
        EXPECT_EQ(trap->group, c.groupAfter);
        mode.clear();
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(FlowTrapsTest, AWinLoseTrapIsTriggeredByAFlimbWalkingIn)
{
    auto* trap = dynamic_cast<WinLoseTrap*>(AddTrapXml("<trap><type>WinLose</type><x>100</x><y>80</y></trap>"));
    ASSERT_NE(trap, nullptr);
    PlaceAt(100, 89, 2);
    Run(3);
    EXPECT_EQ(Results(), (std::vector<std::string>{"result 6 2"}));
    EXPECT_EQ(trap->result, WinLoseTrap::kWon);
}

TEST_F(FlowTrapsTest, PathWaypointsReportTheirOrder)
{
    Flimb* by = PlaceAt(200, 89);
    struct Case {
        std::vector<int> order; // ordinals of set 1 triggered in turn
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {{{1, 2, 3}, {0, 0, 0}}, {{2, 1, 3}, {1, 0, 0}}, {{3, 2, 1}, {1, 1, 0}}};
    for (const Case& c : cases) {
        std::map<int, PathTrap*> set;
        for (int ordinal : {1, 2, 3}) {
            set[ordinal] = AddPath(1, ordinal);
            Listen(*set[ordinal], 0);
            Listen(*set[ordinal], 1);
        }
        // Another set's earlier waypoint changes nothing.
        AddPath(2, 0);
        std::vector<uint32_t> fired;
        for (int ordinal : c.order) {
            events.clear();
            const int32_t id = int32_t(set[ordinal]->id);
            set[ordinal]->Activate(by);
            Run(1); // delivers the event; the pass removes (deletes) the waypoint
            ASSERT_EQ(events.size(), 1u);
            fired.push_back(uint32_t(std::stoul(events[0].substr(events[0].find(':') + 1))));
            EXPECT_EQ(FindTrapById(id), nullptr);
        }
        EXPECT_EQ(fired, c.expected);
        events.clear();
        DeleteAllTraps();
    }
}

TEST_F(FlowTrapsTest, APathIsTriggeredInsideItsBoundsOnlyWhenItMayBe)
{
    PathTrap* reachable = AddPath(1, 1, 100.0f);
    Listen(*reachable, 0);
    PathTrap* locked = dynamic_cast<PathTrap*>(
        AddTrapXml("<trap><type>Path</type><x>200</x><y>80</y><can_trigger>0</can_trigger></trap>"));
    reachable->y = 80.0f;
    const std::string reached = std::to_string(reachable->id) + ":0"; // the pass deletes it
    PlaceAt(100, 89);
    PlaceAt(200, 89);
    Run(2);
    EXPECT_EQ(events, (std::vector<std::string>{reached}));
    EXPECT_TRUE(locked->alive);
}

} // namespace
