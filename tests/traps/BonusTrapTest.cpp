// The bonus trap: an activation unlocks its item in the player's profile (saved under the
// test's own FLIMBS_HOME), dresses the flimb in a decoration with events 1 then 0, and takes
// the trap away; stamps and levels only unlock; a disabled bonus does nothing; a type word
// that names no type is kept.
#include "tests/support/TrapHarness.h"

#include "app/PlayerProfile.h"
#include "modes/BonusItems.h"
#include "traps/BonusTrap.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"

#include <gtest/gtest.h>

namespace {

class BonusTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(100, std::string(200, '.')));
        BonusItemList::Load();
        profileName_ = std::string("BonusTrap") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CurrentProfile().Load(profileName_);
    }
    void TearDown() override
    {
        BonusItemList::Clear();
        TrapHarness::TearDown();
    }
    BonusTrap* AddBonus(const std::string& type, const std::string& id, bool applyDecor = true)
    {
        return dynamic_cast<BonusTrap*>(AddTrapXml("<trap><type>Bonus</type><x>50</x><y>40</y><bonus_type>" + type +
                                                   "</bonus_type><bonus_item_id>" + id +
                                                   "</bonus_item_id><bonus_apply_decor>" + (applyDecor ? "1" : "0") +
                                                   "</bonus_apply_decor></trap>"));
    }
    bool SavedUnlock(const std::string& id) const
    {
        PlayerProfile saved;
        saved.Load(profileName_);
        return saved.HasBonusItem(id);
    }

    std::string profileName_;
};

// A decoration bonus with apply_decor: the flimb wears the decoration at once, event 1 then
// event 0 fire, the item is unlocked and saved with the profile, and the trap is gone.
TEST_F(BonusTrapTest, ADecorationIsWornUnlockedAndTheTrapGoes)
{
    BonusTrap* trap = AddBonus("Decoration", "helmet_decoration");
    ASSERT_NE(trap, nullptr);
    EXPECT_EQ(trap->item.filePath, "helmet");
    EXPECT_NE(trap->figureSprite, nullptr) << "shown on a flimb figure";
    Listen(*trap, 1);
    Listen(*trap, 0);
    Flimb* flimb = PlaceAt(50, 60);
    trap->Activate(flimb);
    EXPECT_EQ(flimb->overlaySet, FindDecorationAnimation("helmet"));
    EXPECT_EQ(trap->alive, 0);
    EXPECT_TRUE(CurrentProfile().HasBonusItem("helmet_decoration"));
    EXPECT_TRUE(SavedUnlock("helmet_decoration"));
    const std::string id = std::to_string(trap->id);
    Run(1); // the trap is destroyed
    const std::vector<std::string> expected = {id + ":1", id + ":0"};
    EXPECT_EQ(events, expected);
}

// Without apply_decor, or for a stamp or a level: only the unlock, the removal and event 0.
TEST_F(BonusTrapTest, StampsLevelsAndUnappliedDecorationsOnlyUnlock)
{
    struct Case {
        const char* type;
        const char* id;
        bool applyDecor;
    } const cases[] = {
        {"Decoration", "helmet_decoration", false}, {"Stamp", "stamp_flower", true}, {"Level", "level_scenery", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        events.clear();
        BonusTrap* trap = AddBonus(c.type, c.id, c.applyDecor);
        ASSERT_NE(trap, nullptr);
        Listen(*trap, 1);
        Listen(*trap, 0);
        Flimb* flimb = PlaceAt(50, 60);
        trap->Activate(flimb);
        EXPECT_EQ(flimb->overlaySet, nullptr);
        EXPECT_EQ(trap->alive, 0);
        EXPECT_TRUE(SavedUnlock(c.id));
        const std::string id = std::to_string(trap->id);
        Run(1); // the trap is destroyed
        EXPECT_EQ(events, std::vector<std::string>{id + ":0"});
    }
}

// A disabled bonus does nothing at all.
TEST_F(BonusTrapTest, ADisabledBonusDoesNothing)
{
    BonusTrap* trap = AddBonus("Stamp", "stamp_flower");
    ASSERT_NE(trap, nullptr);
    trap->enabled = 0;
    Listen(*trap, 0);
    trap->Activate(PlaceAt(50, 60));
    Run(1);
    EXPECT_EQ(trap->alive, 1);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(CurrentProfile().HasBonusItem("stamp_flower"));
}

// A type word that names no type (case counts) is kept and written back as it was, with a
// log line; such a trap shows nothing. An old "force_action" stands in for the missing
// "bonus_apply_decor".
TEST_F(BonusTrapTest, AnUnknownTypeWordIsKeptAndAnOldFlagIsRead)
{
    Trap* trap = AddTrapXml("<trap><type>Bonus</type><bonus_type>stamp</bonus_type>"
                            "<bonus_item_id>stamp_flower</bonus_item_id><force_action>0</force_action></trap>");
    auto* bonus = dynamic_cast<BonusTrap*>(trap);
    ASSERT_NE(bonus, nullptr);
    EXPECT_EQ(bonus->bonusType, -1);
    EXPECT_EQ(bonus->sprite, nullptr);
    EXPECT_EQ(bonus->applyDecor, 0);
    EXPECT_NE(SaveText(*bonus).find("<bonus_type>stamp</bonus_type>"), std::string::npos);
    EXPECT_TRUE(log->Contains("type [stamp] is none of Decoration, Stamp, Level"));
}

} // namespace
