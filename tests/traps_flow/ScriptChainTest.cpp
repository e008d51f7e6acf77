// A scripted chain: two flimbs walk into a proximity area, whose "Activate" action counts up
// a counter updater; at its second count the updater starts a modify-trap that lowers a
// door; the finished door raises event 0 at a land-watch, which fires at a win-lose trap.
// The steps come in that order, and a second process (with god mode on and the traps drawn
// every update) ends in the same state hash.
#include "../support/ChildProcess.h"
#include "app/UserFolders.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/ModifyTrapTrap.h"
#include "traps_flow/ProximityTrap.h"
#include "traps_flow/UpdateTrap.h"
#include "traps_flow/WatchTraps.h"
#include "world/TrapRegistry.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

constexpr const char* kChainOutput = "FLIMBS_SCRIPT_CHAIN_OUTPUT";

class ScriptChainTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        AsciiMap rows(120, std::string(400, '.'));
        for (size_t y = 80; y < 120; ++y)
            rows[y] = std::string(400, '#');
        LoadMap(rows);
    }
    // Builds the chain, runs it for `updates` updates and returns the journal: one line per
    // step with the update it happened in. With `drawn`, every trap is drawn each update.
    std::vector<std::string> RunChain(int updates, bool drawn)
    {
        Trap* door = AddTrap(53, 300.0f, 60.0f); // a still scripting trap standing for the door
        auto* winLose = AddTrapXml("<trap><type>WinLose</type><x>20</x><y>20</y></trap>");
        auto* watch = dynamic_cast<LandWatchTrap*>(AddTrapXml(
            "<trap><type>LandWatch</type><x>300</x><y>100</y><watchMode>2</watchMode></trap>"));
        watch->SetLink({0, winLose->id});
        auto* lift = dynamic_cast<ModifyTrapTrap*>(AddTrapXml(
            "<trap><type>Modifytrap</type><x>20</x><y>20</y><can_trigger>0</can_trigger><y_final_pos>30"
            "</y_final_pos><y_pos_delta>3</y_pos_delta><oneshot>1</oneshot><modify_trap><trap_id>" +
            std::to_string(door->id) + "</trap_id></modify_trap></trap>"));
        lift->SetLink({0, watch->id});
        const auto liftId = static_cast<int32_t>(lift->id);
        auto* counter = dynamic_cast<UpdateTrap*>(AddTrapXml(
            "<trap><type>Updater</type><counter>1</counter><trigger_mod>2</trigger_mod><trigger_val>0</trigger_val>"
            "<target_trap_id>" + std::to_string(lift->id) + "</target_trap_id></trap>"));
        auto* area = dynamic_cast<ProximityTrap*>(AddTrapXml(
            "<trap><type>Proximity</type><x>150</x><y>60</y><trigger_delay>0</trigger_delay>"
            "<trigger_action><trigger_type>2</trigger_type><trigger_id>" + std::to_string(counter->id) +
            "</trigger_id><action_delay>0</action_delay><action_ttl>-1</action_ttl></trigger_action></trap>"));
        RunTrapsAfterLevelLoad();
        PlaceAt(60, 79);
        PlaceAt(20, 79);

        std::vector<std::string> journal;
        auto note = [&](const std::string& what) {
            journal.push_back(what + " " + std::to_string(CurrentUpdateCounter()));
        };
        uint32_t lastTrigger = 0, lastFired = 0;
        bool running = false, watching = true, resulted = false;
        for (int i = 0; i < updates; ++i) {
            Run(1);
            if (drawn)
                for (const auto& trap : World().traps.all)
                    trap->Draw();
            if (area->last_trigger != lastTrigger)
                note("proximity"), lastTrigger = area->last_trigger;
            if (counter->lastFired != lastFired)
                note("updater"), lastFired = counter->lastFired;
            // The oneshot modify-trap is gone the update after it finished.
            const auto* moving = static_cast<const ModifyTrapTrap*>(FindTrapById(liftId));
            if (moving && moving->running != running) {
                note(moving->running ? "door moving" : "door down");
                running = moving->running;
            }
            if (watching && !watch->enabled)
                note("land-watch"), watching = false;
            if (!resulted && !mode.empty())
                note(mode.back()), resulted = true;
        }
        journal.push_back("door y " + std::to_string(int(door->y)));
        return journal;
    }
};

std::vector<std::string> WithoutUpdates(const std::vector<std::string>& journal)
{
    std::vector<std::string> steps;
    for (const std::string& line : journal)
        steps.push_back(line.substr(0, line.rfind(' ')));
    return steps;
}

TEST_F(ScriptChainTest, RunChild)
{
    const char* output = std::getenv(kChainOutput);
    if (!output)
        GTEST_SKIP() << "run by ScriptChainTest.StepsComeInOrderAndTwoProcessesAgree";
    ScopedConsoleInt god("god", 1);
    const std::vector<std::string> journal = RunChain(160, true);
    std::ofstream out(output);
    for (const std::string& line : journal)
        out << line << '\n';
    out << Hash() << '\n';
}

TEST_F(ScriptChainTest, StepsComeInOrderAndTwoProcessesAgree)
{
    if (std::getenv(kChainOutput))
        GTEST_SKIP();
    const std::vector<std::string> journal = RunChain(160, false);
    const uint64_t hash = Hash();
    EXPECT_EQ(WithoutUpdates(journal),
              (std::vector<std::string>{"proximity", "proximity", "updater", "door moving", "door down", "land-watch",
                                        "result 6 0", "door y"}))
        << ::testing::PrintToString(journal);
    EXPECT_EQ(journal.back(), "door y 90");

    const std::string output = GetUserRoot() + "/script-chain.txt";
    ChildProcess child("ScriptChainTest.RunChild", {{kChainOutput, output}});
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(child.Wait(120000)) << "the child run did not end";
    ASSERT_EQ(child.ExitCode(), 0) << "the child run failed";
    std::ifstream in(output);
    std::vector<std::string> there;
    for (std::string line; std::getline(in, line);)
        there.push_back(line);
    ASSERT_EQ(there.size(), journal.size() + 1);
    EXPECT_EQ(std::vector<std::string>(there.begin(), there.end() - 1), journal);
    EXPECT_EQ(there.back(), std::to_string(hash));
}

} // namespace
