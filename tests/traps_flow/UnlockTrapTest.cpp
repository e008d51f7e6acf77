// The unlock trap: its answer from the player's statistics of a FlimbMaster map level (in a
// temporary FLIMBS_HOME profile), removal, the disabled and "Level" modes, networked
// matches, and its file form.
#include "app/PlayerProfile.h"
#include "game/GameController.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/UnlockTrap.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kMap = "f_dm_the_gardener.flevel";

class UnlockTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(64, std::string(128, '.')));
        CurrentProfile().Load(PlayerProfile::kDefaultName);
    }
    void TearDown() override
    {
        Controller().sessionKind = savedKind_;
        TrapHarness::TearDown();
    }
    static void SetStats(int attempts, int passes)
    {
        LevelStats stats;
        stats.fileName = "f_dm_the_gardener";
        stats.nAttempts = attempts;
        stats.nPasses = passes;
        CurrentProfile().StoreLevelStats(stats);
    }
    UnlockTrap* AddUnlock(const std::string& children)
    {
        auto* trap = dynamic_cast<UnlockTrap*>(AddTrapXml("<trap><type>Unlock</type>" + children + "</trap>"));
        if (trap) {
            Listen(*trap, 0);
            Listen(*trap, 1);
        }
        return trap;
    }
    // The event the trap raised ("0" or "1"; "" for none), after one update delivered it.
    std::string Answer(UnlockTrap& trap)
    {
        events.clear();
        const int32_t id = static_cast<int32_t>(trap.id);
        trap.Activate(nullptr);
        Run(1);
        EXPECT_EQ(FindTrapById(id), nullptr) << "an answered trap removes itself";
        EXPECT_LE(events.size(), 1u);
        return events.empty() ? "" : events[0].substr(events[0].find(':') + 1);
    }

    decltype(GameController::sessionKind) savedKind_ = Controller().sessionKind;
};

TEST_F(UnlockTrapTest, TheAnswerFollowsThePlayersPasses)
{
    struct Case {
        const char* what;
        int attempts, passes; // -1: no statistics
        const char* children;
        const char* answer;
    };
    const std::string map = std::string("<fm_map_file>") + kMap + "</fm_map_file>";
    const Case cases[] = {
        {"never played", -1, -1, "", "1"},
        {"five attempts, no pass", 5, 0, "", "1"},
        {"one pass", 1, 1, "", "0"},
        {"a name the list does not have", 1, 1, "<fm_map_file>f_nowhere.flevel</fm_map_file>", "1"},
        {"no name", 1, 1, "<fm_map_file></fm_map_file>", ""},
        {"Level mode only removes the trap", 1, 1, "<umode>1</umode><hidden_level>s_x.flevel</hidden_level>", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.passes >= 0)
            SetStats(c.attempts, c.passes);
        UnlockTrap* trap = AddUnlock(std::string(c.children) + map);
        ASSERT_NE(trap, nullptr);
        EXPECT_EQ(Answer(*trap), c.answer);
        CurrentProfile().Load(PlayerProfile::kDefaultName);
    }
}

TEST_F(UnlockTrapTest, ADisabledTrapStaysAndAnswersOnceEnabled)
{
    SetStats(2, 1);
    UnlockTrap* trap = AddUnlock(std::string("<enabled>0</enabled><fm_map_file>") + kMap + "</fm_map_file>");
    const int32_t id = static_cast<int32_t>(trap->id);
    trap->Activate(nullptr);
    Run(2);
    EXPECT_EQ(FindTrapById(id), trap);
    EXPECT_TRUE(events.empty());
    trap->SetEnabled(true);
    EXPECT_EQ(Answer(*trap), "0");
}

TEST_F(UnlockTrapTest, EveryPeerOfAMatchAnswersNotPassed)
{
    SetStats(1, 1);
    Controller().sessionKind = kSessionNetworked;
    UnlockTrap* trap = AddUnlock(std::string("<fm_map_file>") + kMap + "</fm_map_file>");
    EXPECT_EQ(Answer(*trap), "1");
}

TEST_F(UnlockTrapTest, FileForm)
{
    UnlockTrap* trap = AddUnlock("<umode>1</umode><fm_map_file>f_a b.flevel</fm_map_file><hidden_level>s_h.flevel"
                                 "</hidden_level>");
    ASSERT_NE(trap, nullptr);
    const std::string saved = SaveText(*trap);
    EXPECT_NE(saved.find("<umode>1</umode><fm_map_file>f_a b.flevel</fm_map_file><hidden_level>s_h.flevel"
                         "</hidden_level></trap>"),
              std::string::npos)
        << saved;
    Trap* again = AddTrapXml(saved.substr(saved.find("<trap>")));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(SaveText(*again), saved);
    std::unique_ptr<Trap> copy = trap->Duplicate();
    EXPECT_EQ(static_cast<UnlockTrap&>(*copy).hidden_level, "s_h.flevel");
}

} // namespace
