// The update trap: the periodic and counter modes, one firing per distinct value, a missing
// target, the period read from a file, and its file form.
#include "tests/support/RecordingTrap.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/UpdateTrap.h"
#include "world/TrapRegistry.h"
#include "world/WorldClock.h"

#include <gtest/gtest.h>

namespace {

class UpdateTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(64, std::string(128, '.')));
        auto target = std::make_unique<RecordingTrap>(42, journal_);
        target->onActivate = [this](RecordingTrap&) { fired.push_back(CurrentUpdateCounter()); };
        target_ = target.get();
        RegisterTrap(std::move(target));
    }
    UpdateTrap* AddUpdater(const std::string& children)
    {
        return dynamic_cast<UpdateTrap*>(AddTrapXml("<trap><type>Updater</type><target_trap_id>" +
                                                    std::to_string(target_->id) + "</target_trap_id>" + children +
                                                    "</trap>"));
    }

    std::vector<uint32_t> fired; // update numbers of the target's activations
    RecordingTrap* target_ = nullptr;
    std::vector<std::string> journal_;
};

TEST_F(UpdateTrapTest, PeriodicModeFiresAtThePhase)
{
    struct Case {
        const char* children;
        int updates;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {"<trigger_mod>10</trigger_mod><trigger_val>3</trigger_val>", 25, {3, 13, 23}},
        {"<trigger_mod>1</trigger_mod><trigger_val>0</trigger_val>", 5, {1, 2, 3, 4}},
        {"<trigger_mod>10</trigger_mod><trigger_val>10</trigger_val>", 25, {}},
        {"<trigger_mod>10</trigger_mod><trigger_val>-7</trigger_val>", 25, {}},
        {"<trigger_mod>4</trigger_mod><trigger_val>0</trigger_val><enabled>0</enabled>", 10, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.children);
        UpdateTrap* updater = AddUpdater(c.children);
        ASSERT_NE(updater, nullptr);
        World().clock.updateCounter = 0;
        fired.clear();
        Run(c.updates);
        EXPECT_EQ(fired, c.expected);
        UnregisterTrap(updater);
    }
}

TEST_F(UpdateTrapTest, CounterModeFiresOncePerCountValue)
{
    UpdateTrap* updater = AddUpdater("<counter>1</counter><trigger_mod>2</trigger_mod><trigger_val>0</trigger_val>");
    World().clock.updateCounter = 10;
    // Two activations in one update: the count goes from 0 to 2 and the target fires once.
    updater->Activate(nullptr);
    updater->Activate(nullptr);
    Run(2);
    EXPECT_EQ(fired, (std::vector<uint32_t>{10}));
    updater->Activate(nullptr); // 3: no
    Run(1);
    updater->Activate(nullptr); // 4: fires
    Run(1);
    EXPECT_EQ(fired, (std::vector<uint32_t>{10, 13}));
    EXPECT_EQ(updater->activationCount, 4u);

    // Disabled, activations are not counted.
    updater->SetEnabled(false);
    updater->Activate(nullptr);
    updater->Activate(nullptr);
    EXPECT_EQ(updater->activationCount, 4u);
    Run(3);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(UpdateTrapTest, AMissingTargetLeavesTheLastValueAlone)
{
    UpdateTrap* updater = AddUpdater("<trigger_mod>1</trigger_mod>");
    updater->target_trap_id = UpdateTrap::kNoTarget;
    Run(3);
    EXPECT_EQ(updater->lastFired, 0u);
    // A new updater names no trap.
    std::unique_ptr<Trap> fresh = Trap::Create(45);
    EXPECT_EQ(static_cast<UpdateTrap&>(*fresh).target_trap_id, UpdateTrap::kNoTarget);
}

TEST_F(UpdateTrapTest, APeriodBelowOneFromAFileIsOneAndTheFormRoundTrips)
{
    UpdateTrap* updater = AddUpdater("<trigger_mod>0</trigger_mod><counter>Yes</counter><trigger_val>0</trigger_val>");
    ASSERT_NE(updater, nullptr);
    EXPECT_EQ(updater->trigger_mod, 1);
    EXPECT_TRUE(log->Contains("trigger_mod 0 is below 1, taken as 1")) << log->Text();
    EXPECT_TRUE(updater->counter);
    // It never divides by zero.
    updater->Activate(nullptr);
    Run(1);
    EXPECT_EQ(fired.size(), 1u);

    const std::string saved = SaveText(*updater);
    EXPECT_NE(saved.find("<trigger_mod>1</trigger_mod><target_trap_id>" + std::to_string(target_->id) +
                         "</target_trap_id><counter>1</counter><trigger_val>0</trigger_val>"),
              std::string::npos)
        << saved;
    Trap* again = AddTrapXml(saved.substr(saved.find("<trap>")));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(SaveText(*again), saved);
    // Relinking rewrites the target.
    updater->RemapLinks({{target_->id, 4000}}, 0, 0);
    EXPECT_EQ(updater->target_trap_id, 4000u);
}

} // namespace
