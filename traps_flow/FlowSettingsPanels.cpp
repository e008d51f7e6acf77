// The in-match settings panels of the start and exit traps: their values, then "Apply" (this
// trap) and "Apply To All" (every trap of the kind), both through the admin guard.
#include "gui/Button.h"
#include "gui/LayoutPanel.h"
#include "traps_flow/ExitTrap.h"
#include "traps_flow/StartTrap.h"

#include <algorithm>
#include <cmath>

namespace {

LayoutPanel* PanelAround(Primitive* widget)
{
    for (Primitive* node = widget; node; node = node->parent)
        if (auto* panel = dynamic_cast<LayoutPanel*>(node))
            return panel;
    return nullptr;
}

std::unique_ptr<LayoutPanel> NewPanel(const Trap& trap)
{
    auto panel = std::make_unique<LayoutPanel>();
    panel->ownerId = trap.id;
    panel->ownerKind = trap.kind;
    return panel;
}

void AddApplyButtons(LayoutPanel& panel)
{
    panel.AddButton("Apply", "applyButton", [](Primitive*, Button* button) { Trap::CheckAdminEdit(button, nullptr); });
    panel.AddButton("Apply To All", "applyButton2",
                    [](Primitive*, Button* button) { Trap::CheckAdminEditPanel(button, nullptr); });
    panel.Finish();
}

std::optional<bool> ReadBool(const LayoutPanel& panel, const char* key)
{
    uint8_t value = 0;
    if (!panel.ReadChecked(key, value))
        return std::nullopt;
    return value != 0;
}

std::optional<int32_t> ReadNumber(const LayoutPanel& panel, const char* key)
{
    int32_t value = 0;
    if (!panel.ReadInt(key, value))
        return std::nullopt;
    return value;
}

} // namespace

std::unique_ptr<LayoutPanel> StartTrap::BuildSettingsPanel()
{
    std::unique_ptr<LayoutPanel> panel = NewPanel(*this);
    panel->AddTextField("Flimbs", "flimbCount", "%d", flimbsLeft_,
                        "Total number of flimbs available for this start point");
    panel->AddTextField("Release Rate", "releaseRate", "%d", releaseRate, "ms between release of flimbs");
    panel->AddChoice("Facing", "facing", {"Left", "Auto", "Right"}, std::clamp(facing, -1, 1) + 1,
                     "Default flimb direction");
    const int scaleChoice = scale_x < 0.75f ? 0 : scale_x < 1.5f ? 1 : scale_x < 2.5f ? 2 : 3;
    panel->AddChoice("Scale", "scale", {"Small", "Normal", "Large", "Huge"}, scaleChoice);
    panel->AddCheckBox("Protection", "apply_protection", applyProtection,
                       "Lay down flimbium under the start point in game");
    panel->AddCheckBox("Produce flimbs", "activated", activated != 0, "Active");
    panel->AddCheckBox("Visible", "visible", visible != 0, "");
    AddApplyButtons(*panel);
    return panel;
}

void StartTrap::ApplySettingsPanel(Primitive* changed)
{
    const LayoutPanel* panel = PanelAround(changed);
    if (!panel)
        return;
    StartSettings settings;
    settings.releaseRate = ReadNumber(*panel, "releaseRate");
    settings.flimbsLeft = ReadNumber(*panel, "flimbCount");
    if (const std::optional<int32_t> choice = ReadNumber(*panel, "facing"))
        settings.facing = *choice - 1;
    settings.scaleChoice = ReadNumber(*panel, "scale");
    settings.activated = ReadBool(*panel, "activated");
    settings.applyProtection = ReadBool(*panel, "apply_protection");
    ApplySettings(settings);
    panel->ReadChecked("visible", visible);
}

std::unique_ptr<LayoutPanel> ExitTrap::BuildSettingsPanel()
{
    std::unique_ptr<LayoutPanel> panel = NewPanel(*this);
    panel->AddCheckBox("Active", "default_on", defaultOn, "Will this exit point be used");
    AddApplyButtons(*panel);
    return panel;
}

void ExitTrap::ApplySettingsPanel(Primitive* changed)
{
    const LayoutPanel* panel = PanelAround(changed);
    if (!panel)
        return;
    ExitSettings settings;
    settings.defaultOn = ReadBool(*panel, "default_on");
    settings.applyProtection = ReadBool(*panel, "apply_protection");
    settings.exclusive = ReadBool(*panel, "exclusive");
    ApplySettings(settings);
}
