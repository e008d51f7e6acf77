// The start and exit traps' in-match settings panels: what the user changed is applied to the
// panel's trap or to every trap of the kind, by the admin only.
#include "game/GameController.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/EditBox.h"
#include "gui/LayoutPanel.h"
#include "tests/support/TrapHarness.h"
#include "traps_flow/ExitTrap.h"
#include "traps_flow/PathTrap.h"
#include "traps_flow/StartTrap.h"
#include "world/TrapKinds.h"

#include <gtest/gtest.h>

namespace {

class SettingsPanelTest : public TrapHarness {
protected:
    static void Type(LayoutPanel& panel, const std::string& key, const std::string& text)
    {
        auto* box = dynamic_cast<EditBox*>(panel.Find(key));
        ASSERT_NE(box, nullptr) << key;
        box->SetText(text);
        box->Commit();
    }
    static void Check(LayoutPanel& panel, const std::string& key, bool on)
    {
        auto* box = dynamic_cast<CheckBox*>(panel.Find(key));
        ASSERT_NE(box, nullptr) << key;
        box->SetChecked(on, true, true);
    }
    static void Click(LayoutPanel& panel, const std::string& key)
    {
        auto* button = dynamic_cast<Button*>(panel.Find(key));
        ASSERT_NE(button, nullptr) << key;
        button->Click();
    }
};

TEST_F(SettingsPanelTest, StartSettingsGoToOneOrEveryStartThroughTheAdmin)
{
    LoadMap({"........", "########"}, {}, 64, 32);
    StartTrap* first = Add<StartTrap>(kTrapStart, 10.0f, 10.0f);
    StartTrap* second = Add<StartTrap>(kTrapStart, 40.0f, 10.0f);
    ASSERT_TRUE(first && second);
    std::unique_ptr<LayoutPanel> panel = first->BuildSettingsPanel();
    ASSERT_NE(panel, nullptr);
    Type(*panel, "flimbCount", "2000");
    Check(*panel, "activated", false);

    Controller().localPlayer->admin = 0;
    Controller().sessionKind = kSessionNetworked;
    Click(*panel, "applyButton");
    EXPECT_EQ(first->FlimbsLeft(), 100);
    EXPECT_TRUE(log->Contains("Access Denied"));

    Controller().localPlayer->admin = 1;
    Click(*panel, "applyButton");
    EXPECT_EQ(first->FlimbsLeft(), 999); // kept within 0..999
    EXPECT_FALSE(first->activated);
    EXPECT_EQ(second->FlimbsLeft(), 100);
    EXPECT_EQ(first->releaseRate, StartTrap::kDefaultRate); // untouched: not changed by the user
    Click(*panel, "applyButton2");
    EXPECT_EQ(second->FlimbsLeft(), 999);
    EXPECT_EQ(session->requests, (std::vector<std::string>{"trap " + std::to_string(first->id) + " 0 -1",
                                                           "trap " + std::to_string(first->id) + " 0 -1",
                                                           "trap " + std::to_string(second->id) + " 0 -1"}));
}

TEST_F(SettingsPanelTest, TheExitPanelSwitchesTheExitOnOrOff)
{
    LoadMap({"........", "########"}, {}, 64, 32);
    ExitTrap* exit = Add<ExitTrap>(kTrapExit, 30.0f, 10.0f);
    Controller().localPlayer->admin = 1;
    std::unique_ptr<LayoutPanel> panel = exit->BuildSettingsPanel();
    Check(*panel, "default_on", false);
    Click(*panel, "applyButton");
    EXPECT_FALSE(exit->on);
    EXPECT_FALSE(exit->defaultOn);
}

TEST_F(SettingsPanelTest, EditPanelsTakeWhatTheUserChanged)
{
    LoadMap({"........", "########"}, {}, 64, 32);
    ExitTrap* exit = Add<ExitTrap>(kTrapExit, 30.0f, 10.0f);
    std::unique_ptr<LayoutPanel> panel = exit->BuildEditPanel();
    ASSERT_NE(panel, nullptr);
    Type(*panel, "min_flimbs", "4");
    Check(*panel, "bogus", true);
    EXPECT_TRUE(exit->ApplyEditPanel(panel.get()));
    EXPECT_EQ(exit->minFlimbs, 4);
    EXPECT_TRUE(exit->bogus);
    EXPECT_EQ(exit->maxFlimbs, ExitTrap::kNoMaximum); // not changed by the user

    auto* path = Add<PathTrap>(27, 10.0f, 10.0f);
    panel = path->BuildEditPanel();
    Type(*panel, "path_ordinal", "3");
    Check(*panel, "can_trigger", false);
    EXPECT_TRUE(path->ApplyEditPanel(panel.get()));
    EXPECT_EQ(path->ordinal, 3);
    EXPECT_FALSE(path->canTrigger);

    StartTrap* start = Add<StartTrap>(kTrapStart, 10.0f, 10.0f);
    panel = start->BuildEditPanel();
    Type(*panel, "spawn_energy", "20000");
    EXPECT_TRUE(start->ApplyEditPanel(panel.get()));
    EXPECT_EQ(start->spawnEnergy, 13023);
}

} // namespace
