// The trap's editor property panel, the editing of its event links, the link overlay and
// the admin guard of the in-match settings panels.
#include "traps/Trap.h"

#include "app/LanguageTexts.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/LayoutPanel.h"
#include "gui/MessageBox.h"
#include "gui/SliderBar.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapObject.h"
#include "levelmodel/MapTrap.h"
#include "media/Draw2D.h"
#include "traps/TrapEvents.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/ViewServices.h"

#include <algorithm>
#include <string>

namespace {

// The editor-wide state of the panels: the trap whose panel was built last and the event
// id of the last "Set ... Target" button.
struct EditState {
    Trap* edited = nullptr;
    uint32_t pendingEvent = 0;
};

EditState& Editing()
{
    static EditState state;
    return state;
}

constexpr int32_t kProximityKind = 24;
const char* const kTintKeys[3] = {"tint_red", "tint_green", "tint_blue"};

// "Set %s Target" in the current language with the event's name in it.
std::string TargetButtonText(const char* eventName)
{
    std::string text = TranslateText("Set %s Target");
    const size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, eventName);
    return text;
}

// The tint with the components of the tint sliders the user changed.
uint32_t TintFromPanel(const LayoutPanel& panel, uint32_t tint)
{
    for (int i = 0; i < 3; ++i) {
        int32_t value = 0;
        if (!panel.ReadInt(kTintKeys[i], value))
            continue;
        const int shift = 16 - 8 * i;
        const uint32_t component = static_cast<uint32_t>(std::clamp(value, 0, 255));
        tint = (tint & ~(0xFFu << shift)) | (component << shift);
    }
    return tint;
}

bool LocalPlayerIsAdmin()
{
    const PlayerRecord* local = Controller().localPlayer;
    return local && local->admin != 0;
}

void DenyAccess()
{
    ShowMessageBox(TranslateText("Access Denied"), TranslateText("Only the admin can update these values"), {}, true);
}

void ApplySettingsAndSend(Trap& trap, Primitive* changed)
{
    trap.ApplySettingsPanel(changed);
    SendTrapState(trap, 0, -1);
}

} // namespace

Trap* Trap::EditedTrap()
{
    return Editing().edited;
}

void Trap::EndEditing()
{
    Editing().edited = nullptr;
}

uint32_t Trap::PendingEventId()
{
    return Editing().pendingEvent;
}

void Trap::ForgetEditedTrap(const Trap* trap)
{
    if (Editing().edited == trap)
        Editing().edited = nullptr;
}

std::unique_ptr<LayoutPanel> Trap::BuildEditPanel()
{
    auto panel = std::make_unique<LayoutPanel>();
    Editing().edited = this;
    const char* typeName = TrapTypeName(kind);
    panel->SetName(typeName);
    panel->SetTitle(typeName);
    panel->ownerId = id;
    panel->ownerKind = kind;

    bool anyEvent = false;
    for (uint32_t event = 0; event < 3; ++event) {
        const char* eventName = TrapEventName(kind, event);
        if (!*eventName)
            continue;
        panel->AddButton(TargetButtonText(eventName), std::to_string(event), &Trap::OnSetTargetButton);
        anyEvent = true;
    }
    if (anyEvent)
        panel->AddButton(TranslateText("Clear Target(s)"), std::string(), &Trap::OnClearTargets);
    panel->AddGap(5.0f);

    const TrapKindTraits& traits = KindTraits(kind);
    if (traits.layered) {
        panel->AddCheckBox(TranslateText("Behind flimbs"), "traprender", flimborder != 0,
                           TranslateText("Render behind the flimbs", "Render behind the flimbs (on if under shadow)"));
        panel->AddCheckBox(TranslateText("Behind landscape", "Behind land"), "traprender2", zorder != 0,
                           TranslateText("Render behind the landscape"));
        panel->AddCheckBox(TranslateText("Behind shadow"), "renderUnderShadow", renderUnderShadow != 0,
                           TranslateText("Render behind the landscape shadow, if in use"));
        panel->AddGap(5.0f);
        panel->AddSlider(TranslateText("Alpha"), "alpha", alpha, 255.0f, 0.0f, TranslateText("A+{Mouse Up/Down}"));
    }
    if (traits.rotatable)
        panel->AddSlider(TranslateText("Rotation"), "trap_rotation", rotation, 359.0f, 0.0f,
                         TranslateText("Gravity will be inferred from this") + ". F+{Mouse Up/Down}");
    if (traits.scalable) {
        const std::string tip = TranslateText("W+{Mouse Up/Down}");
        panel->AddTextField(TranslateText("Scale"), "scale_x", "%.2f", scale_x, tip);
        panel->AddTextField(std::string(), "scale_y", "%.2f", scale_y, tip);
    }
    if (traits.tintable) {
        panel->AddCheckBox(TranslateText("Brightness Adjust"), "bright", false,
                           TranslateText("Check to sync the tints, thus tweaking brightness"));
        const char* const labels[3] = {"Red: ", "Green: ", "Blue: "};
        const char* const tips[3] = {"R+{Mouse Up/Down}", "G+{Mouse Up/Down}", "B+{Mouse Up/Down}"};
        for (int i = 0; i < 3; ++i) {
            const float component = static_cast<float>((tint >> (16 - 8 * i)) & 0xFFu);
            panel->AddSlider(TranslateText(labels[i]), kTintKeys[i], component, 255.0f, 0.0f, TranslateText(tips[i]),
                             &Trap::ReadTintPanel);
        }
    }
    if (traits.pickup_capable) {
        panel->AddCheckBox(TranslateText("Pickup Mode"), "pickup_mode", pickup_mode != 0,
                           TranslateText("Use trap as a power up"));
        panel->AddCheckBox(TranslateText("Floating"), "floating_pickup", floating_pickup != 0,
                           TranslateText("Checked to float, unchecked to bounce"));
        panel->AddTextField(TranslateText("Pickups"), "pickup_left", "%d", pickup_left,
                            TranslateText("How many times to allow pickup? (0 is infinite)"));
    }
    if (traits.can_fall)
        panel->AddCheckBox(TranslateText("Allow fall"), "allow_fall", allow_fall != 0,
                           TranslateText("Does gravity cause this trap to fall down?"));
    if (traits.audible_option)
        panel->AddCheckBox(TranslateText("Audible"), "audible", audible != 0, std::string());
    return panel;
}

std::unique_ptr<LayoutPanel> Trap::BuildSettingsPanel()
{
    return nullptr;
}

bool Trap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!panel)
        return false;
    const TrapKindTraits& traits = KindTraits(kind);
    if (traits.layered) {
        panel->ReadChecked("traprender2", zorder);
        panel->ReadChecked("traprender", flimborder);
        panel->ReadChecked("renderUnderShadow", renderUnderShadow);
        if (renderUnderShadow) {
            flimborder = 1;
            panel->SetChecked("traprender", true);
        }
        int32_t value = alpha;
        if (panel->ReadInt("alpha", value))
            alpha = static_cast<uint8_t>(std::clamp(value, 0, 255));
        panel->ReadChecked("visible", visible);
    }
    if (traits.rotatable) {
        float degrees = rotation;
        if (panel->ReadFloat("trap_rotation", degrees, 0.0f, 359.0f))
            rotation = std::clamp(degrees, 0.0f, 359.0f);
    }
    if (traits.scalable) {
        const float most = kind == kProximityKind ? 40.0f : 20.0f;
        panel->ReadFloat("scale_x", scale_x, 0.05f, most);
        panel->ReadFloat("scale_y", scale_y, 0.05f, most);
    }
    if (traits.tintable)
        tint = TintFromPanel(*panel, tint);
    if (traits.pickup_capable) {
        uint8_t mode = pickup_mode, floating = floating_pickup;
        panel->ReadChecked("pickup_mode", mode);
        panel->ReadChecked("floating_pickup", floating);
        if (mode != pickup_mode || floating != floating_pickup) {
            ReleaseGraphics();
            pickup_mode = mode;
            floating_pickup = floating;
            LoadGraphics();
        }
        int32_t left = pickup_left;
        if (panel->ReadInt("pickup_left", left))
            pickup_left = std::clamp(left, 0, 99);
    }
    if (traits.can_fall)
        panel->ReadChecked("allow_fall", allow_fall);
    panel->ReadChecked("enabled", enabled);
    if (traits.audible_option)
        panel->ReadChecked("audible", audible);
    return true;
}

void Trap::ReadTintPanel(Primitive* /*parent*/, Primitive* slider)
{
    LayoutPanel* panel = LayoutPanel::Of(slider);
    if (!panel || !slider)
        return;
    auto* bright = dynamic_cast<CheckBox*>(panel->Find("bright"));
    if (bright && bright->IsChecked()) {
        const float value = slider->GetFloatValue();
        for (const char* key : kTintKeys) {
            auto* other = dynamic_cast<GraphicSliderBar*>(panel->Find(key));
            if (!other || other == slider)
                continue;
            other->SetValue(value, false);
            other->pressed = 1;
        }
    }
    // The trap being edited shows the new tint at once.
    Trap* trap = EditedTrap();
    if (trap && trap->id == panel->ownerId && trap->kind == panel->ownerKind)
        trap->tint = TintFromPanel(*panel, trap->tint);
}

void Trap::OnSetTargetButton(Primitive* /*parent*/, Button* button)
{
    if (!button)
        return;
    Editing().pendingEvent = static_cast<uint32_t>(std::clamp(button->commandId, 0, 2));
    BeginTargetPick(&Trap::OnTargetPicked);
    Controller().messages.Add(TranslateText("Click on the target trap."), -1);
}

void Trap::OnTargetPicked(MapObject* source, MapObject* clicked)
{
    if (clicked && clicked == source) {
        Controller().messages.Add(TranslateText("Traps cannot self trigger."), -2);
        return;
    }
    auto* clickedTrap = dynamic_cast<MapTrap*>(clicked);
    if (!clicked || clicked->GetKind() != kMapTrap || !clickedTrap || !clickedTrap->GetTrap()) {
        Controller().messages.Add(TranslateText("You did not click on a trap."), -2);
        return;
    }
    const uint32_t targetId = clickedTrap->GetTrap()->id;
    for (MapObject* object : GetSelectedObjects()) {
        auto* placed = dynamic_cast<MapTrap*>(object);
        if (!placed || object->GetKind() != kMapTrap || !placed->GetTrap())
            continue;
        // A selected trap that is the clicked one would trigger itself.
        if (placed == clickedTrap || placed->GetTrap()->id == targetId)
            continue;
        placed->GetTrap()->SetLink(TrapLink{Editing().pendingEvent, targetId});
        RefreshObjectPanel(object);
    }
}

void Trap::OnClearTargets(Primitive* /*parent*/, Button* /*button*/)
{
    if (Trap* trap = EditedTrap())
        trap->ClearLinks();
}

bool Trap::DrawEditorLinks(MapObject* filter, bool draw)
{
    if (links.empty())
        return false;
    const Trap* filterTrap = nullptr;
    if (filter) {
        auto* placed = dynamic_cast<MapTrap*>(filter);
        if (!placed || filter->GetKind() != kMapTrap || !placed->GetTrap())
            return false;
        filterTrap = placed->GetTrap();
    }
    float fromX = x, fromY = y;
    WorldToScreen(fromX, fromY);
    for (const TrapLink& link : links) {
        const Trap* target = FindEditorTrap(link.target_id);
        if (!target)
            continue;
        if (filterTrap && link.target_id != filterTrap->id)
            continue;
        if (draw) {
            float toX = target->x, toY = target->y;
            WorldToScreen(toX, toY);
            Draw2D::DrawLine(fromX, fromY, toX, toY, 0xFFFF0000u);
        }
        if (filterTrap)
            return true;
    }
    return false;
}

void Trap::CheckAdminEdit(Primitive* changed, LayoutPanel* panel)
{
    if (!panel)
        panel = LayoutPanel::Of(changed);
    if (!LocalPlayerIsAdmin()) {
        DenyAccess();
        return;
    }
    if (!panel || panel->ownerId > static_cast<uint32_t>(INT32_MAX))
        return;
    if (Trap* trap = FindTrapById(static_cast<int32_t>(panel->ownerId)))
        ApplySettingsAndSend(*trap, changed);
}

void Trap::CheckAdminEditPanel(Primitive* changed, LayoutPanel* panel)
{
    if (!panel)
        panel = LayoutPanel::Of(changed);
    if (!LocalPlayerIsAdmin()) {
        DenyAccess();
        return;
    }
    if (!panel || panel->ownerKind < 0)
        return;
    for (Trap* trap : GetTrapsOfKind(static_cast<uint32_t>(panel->ownerKind)))
        ApplySettingsAndSend(*trap, changed);
}
