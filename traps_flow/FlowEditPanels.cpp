// The level editor's property panels of the start, exit, win-lose and path traps: the common
// controls, then each kind's own; applying takes what the user changed, within its range.
#include "app/LanguageTexts.h"
#include "gui/LayoutPanel.h"
#include "traps/GroupSetting.h"
#include "traps_flow/ExitTrap.h"
#include "traps_flow/PathTrap.h"
#include "traps_flow/StartTrap.h"
#include "traps_flow/WinLoseTrap.h"

#include <algorithm>

namespace {

int ScaleChoiceOf(float scale)
{
    return scale < 0.75f ? 0 : scale < 1.5f ? 1 : scale < 2.5f ? 2 : 3;
}

const std::vector<std::string>& ScaleNames()
{
    static const std::vector<std::string> names = {"Small", "Normal", "Large", "Huge"};
    return names;
}

} // namespace

std::unique_ptr<LayoutPanel> StartTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddTextField(TranslateText("Energy"), "spawn_energy", "%d", spawnEnergy,
                        TranslateText("Energy imparted to new flimbs"));
    panel->AddTextField(TranslateText("Delta"), "spawn_energy_delta", "%d", spawnEnergyDelta,
                        TranslateText("Delta energy per spawn"));
    AddGroupChoice(*panel, TranslateText("Group"), "groupID", group_, false);
    return panel;
}

bool StartTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    int32_t group = group_;
    if (ReadGroupChoice(*panel, "groupID", group) && group != group_)
        SetGroup(static_cast<uint8_t>(group));
    if (panel->ReadInt("spawn_energy", spawnEnergy))
        spawnEnergy = std::clamp(spawnEnergy, 0, kMaxEnergy);
    if (panel->ReadInt("spawn_energy_delta", spawnEnergyDelta))
        spawnEnergyDelta = std::clamp(spawnEnergyDelta, -30000, 30000);
    return true;
}

std::unique_ptr<LayoutPanel> ExitTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    AddGroupChoice(*panel, TranslateText("Group"), "groupID", group_, false);
    panel->AddCheckBox(TranslateText("Default On"), "default_on", defaultOn, "");
    panel->AddChoice(TranslateText("Scale"), "scale", ScaleNames(), ScaleChoiceOf(scale_x));
    panel->AddTextField(TranslateText("Min Flimbs"), "min_flimbs", "%d", minFlimbs,
                        TranslateText("Minimum flimbs required to pass in singleplayer."));
    panel->AddTextField(TranslateText("Max Flimbs"), "max_flimbs", "%d", maxFlimbs,
                        TranslateText("Maximum flimbs this exit can beam up."));
    panel->AddCheckBox(TranslateText("Bogus"), "bogus", bogus,
                       TranslateText("A bogus exit will crush flimbs instead of beaming them up."));
    panel->AddCheckBox(TranslateText("Protection"), "apply_protection", applyProtection,
                       TranslateText("Lay down flimbium under the exit point in game"));
    panel->AddCheckBox(TranslateText("Exclusive"), "exclusive", exclusive, TranslateText("Only absorb flimbs of same group"));
    return panel;
}

bool ExitTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    static constexpr float kScales[] = {0.5f, 1.0f, 2.0f, 3.0f};
    int32_t group = group_;
    if (ReadGroupChoice(*panel, "groupID", group) && group != group_)
        SetGroup(static_cast<uint8_t>(group));
    int32_t scaleChoice = 0;
    if (panel->ReadInt("scale", scaleChoice))
        SetScale(kScales[std::clamp(scaleChoice, 0, 3)], 0.0f);
    uint8_t flag = 0;
    if (panel->ReadChecked("default_on", flag))
        defaultOn = flag != 0;
    if (panel->ReadChecked("bogus", flag))
        bogus = flag != 0;
    if (panel->ReadChecked("apply_protection", flag))
        applyProtection = flag != 0;
    if (panel->ReadChecked("exclusive", flag))
        exclusive = flag != 0;
    panel->ReadInt("min_flimbs", minFlimbs);
    panel->ReadInt("max_flimbs", maxFlimbs);
    return true;
}

std::unique_ptr<LayoutPanel> WinLoseTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddCheckBox(TranslateText("Trigger Win"), "trigger_win", triggerWin,
                       TranslateText("Un-check to trigger a loss when activated."));
    AddGroupChoice(*panel, TranslateText("group"), "group", group, true, TranslateText("The group that is targeted."));
    return panel;
}

bool WinLoseTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    uint8_t win = 0;
    if (panel->ReadChecked("trigger_win", win))
        triggerWin = win != 0;
    ReadGroupChoice(*panel, "group", group);
    return true;
}

std::unique_ptr<LayoutPanel> PathTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddTextField(TranslateText("Ordinal"), "path_ordinal", "%d", ordinal,
                        TranslateText("The order in which the path must be activated"));
    panel->AddTextField(TranslateText("Set"), "path_set", "%d", set, TranslateText("The set that this path belongs to"));
    if (!panel->Find("visible"))
        panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, "");
    panel->AddCheckBox(TranslateText("Can Trigger"), "can_trigger", canTrigger,
                       TranslateText("Flimbs can trigger by walking into"));
    return panel;
}

bool PathTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadInt("path_ordinal", ordinal);
    panel->ReadInt("path_set", set);
    panel->ReadChecked("visible", visible);
    uint8_t trigger = 0;
    if (panel->ReadChecked("can_trigger", trigger))
        canTrigger = trigger != 0;
    return true;
}
