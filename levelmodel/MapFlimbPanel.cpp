// The placed flimb's property panel "flimb ID: <id>", its A.I. buttons and reading it back.
#include "levelmodel/MapFlimb.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/LayoutPanel.h"
#include "gui/ListBox.h"
#include "gui/PanelChoosers.h"
#include "gui/UiScale.h"
#include "levelmodel/MapEditor.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr uint8_t kFlimbStyleLightBit = 0x80;
constexpr uint8_t kFlimbStyleDarkBit = 0x40;
constexpr uint8_t kFlimbCaptureBit = 0x04;
constexpr int32_t kFlimbEnergyMost = 13023;
const char* const kFlimbAiNames[4] = {"SpinBomb", "Lopper", "Quarrel", "DrillBridge"};

std::vector<std::string> TranslatedNames(std::initializer_list<const char*> names)
{
    std::vector<std::string> shown;
    for (const char* name : names)
        shown.push_back(TranslateText(name));
    return shown;
}

// A drop list whose change applies the panel at once.
ComboBox* AddFlimbChoice(LayoutPanel& panel, const std::string& caption, const char* key,
                         const std::vector<std::string>& items, int selected, const std::string& tip = std::string())
{
    ComboBox* combo = panel.AddChoice(caption, key, items, selected, tip);
    if (combo)
        combo->onChange = [](Primitive* parent, ComboBox* changed) { ApplyPanelChange(parent, changed); };
    return combo;
}

void OnAddFlimbAi(Primitive* /*parent*/, Button* button)
{
    LayoutPanel* panel = LayoutPanel::Of(button);
    auto* box = panel ? dynamic_cast<ComboBox*>(panel->Find("ai_box")) : nullptr;
    if (!box)
        return;
    const int index = box->GetSelection();
    if (index >= 0 && index < 4)
        MapFlimb::SetSelectionAi(static_cast<uint8_t>(1u << index), panel);
}

void OnClearFlimbAi(Primitive* /*parent*/, Button* button)
{
    MapFlimb::SetSelectionAi(0, LayoutPanel::Of(button));
}

} // namespace

Primitive* MapFlimb::BuildPropertiesPanel()
{
    auto panel = std::make_unique<LayoutPanel>();
    const std::string title = StringPrintf("flimb ID: %d", static_cast<int>(id));
    panel->SetName(title.c_str());
    panel->SetTitle(title.c_str());
    panel->ownerId = id;
    panelObject = this;
    const Flimb& f = *flimb_;

    panel->Engine().AddCaption(TranslateText("Group"), "flimb_group");
    if (GroupChooser* group = panel->Engine().AddGroupChooser("flimb_group", f.group, false)) {
        group->ClearPressed();
        group->onChange = [](Primitive* parent, ComboBox* changed) { ApplyPanelChange(parent, changed); };
    }
    AddFlimbChoice(*panel, TranslateText("Scale"), "flimb_scale", TranslatedNames({"Small", "Normal", "Large", "Huge"}),
                   static_cast<int>(f.scale));
    std::vector<std::string> types;
    for (int type = 0; type < kFlimbTypeCount; ++type)
        types.push_back(FlimbTypeName(type));
    AddFlimbChoice(*panel, TranslateText("Type"), "flimb_type", types, f.type);
    panel->AddTextField(TranslateText("Step Size"), "flimb_step", "%d", std::abs(static_cast<int>(f.walkSpeed)),
                        TranslateText("Step size, 3 is normal"));
    panel->AddSlider(TranslateText("Energy"), "energy", static_cast<float>(f.energy),
                     static_cast<float>(kFlimbEnergyMost), 0.0f,
                     TranslateText("Precious life force.  Used in multiverse and quarrel mode."));
    if (CheckBox* facing = panel->AddCheckBox(TranslateText("Face Left"), "flimb_facing", f.walkSpeed < 0,
                                              TranslateText("Check in to make flimb walk to the left")))
        facing->onChange = &ApplyPanelChange;
    panel->AddCheckBox(
        TranslateText("Captureable"), "flimb_capture", (f.attributes & kFlimbCaptureBit) != 0,
        TranslateText("Used in capture the flimb mode to identify flimbs which will end the match if captured"));
    AddFlimbChoice(*panel, TranslateText("Gravity"), "gravity", TranslatedNames({"Down", "Up", "Left", "Right"}),
                   f.gravity);
    const int style = (f.attributes & kFlimbStyleLightBit) ? 1 : (f.attributes & kFlimbStyleDarkBit) ? 2 : 0;
    AddFlimbChoice(*panel, TranslateText("Style"), "style", TranslatedNames({"Normal", "Light", "Dark"}), style);
    panel->AddChoice(TranslateText("A.I."), "ai_box",
                     TranslatedNames({kFlimbAiNames[0], kFlimbAiNames[1], kFlimbAiNames[2], kFlimbAiNames[3]}), 0,
                     TranslateText("Mini-A.I. choices to apply to flimb"));
    panel->AddButton(TranslateText("Add A.I."), "aibut99", &OnAddFlimbAi);
    panel->AddButton(TranslateText("Clear"), "it99", &OnClearFlimbAi);
    if (ListBox* list = panel->AddList("ai", {}))
        panel->Engine().SetTip(list, TranslateText("Currently assigned A.I."));
    FillAiList(panel.get(), this);
    panel->Finish();
    panel->AdjustSize(1, DesignUnitsX(10.0f), 0.0f);
    return panel.release();
}

bool MapFlimb::ApplyConfigProps(Primitive* panelPrimitive)
{
    WriteLog("MapFlimb::ApplyConfigProps:1\n");
    auto* panel = dynamic_cast<LayoutPanel*>(panelPrimitive);
    if (!panel || panel->name.find("flimb ID") == std::string::npos || !flimb_)
        return false;
    WriteLog("MapFlimb::ApplyConfigProps:2\n");
    Flimb& f = *flimb_;
    int32_t value = 0;
    if (panel->ReadInt("flimb_scale", value) && value != static_cast<int32_t>(f.scale)) {
        WriteLog("MapFlimb::ApplyConfigProps:3\n");
        f.scale = std::clamp(static_cast<float>(value), 0.5f, 3.0f);
    }
    if (panel->ReadInt("flimb_group", value)) {
        // The loader takes groups 0..7 only.
        f.group = static_cast<uint8_t>(std::clamp(value, 0, 7));
        f.SetGroupAnimation(0, 0);
    } else if (panel->ReadInt("flimb_type", value) && value >= 0 && value < kFlimbTypeCount && value != f.type) {
        f.type = static_cast<uint8_t>(value);
        f.SetGroupAnimation(0, 0);
    }
    if (panel->Accepted("flimb_step")) {
        const int magnitude = std::clamp(std::atoi(panel->Find("flimb_step")->GetText().c_str()), 1, 5);
        f.walkSpeed = static_cast<int8_t>(f.walkSpeed < 0 ? -magnitude : magnitude);
    }
    uint8_t facingLeft = f.walkSpeed < 0 ? 1 : 0;
    if (panel->ReadChecked("flimb_facing", facingLeft) && (facingLeft != 0) != (f.walkSpeed < 0))
        f.walkSpeed = static_cast<int8_t>(-f.walkSpeed);
    if (panel->ReadInt("gravity", value))
        f.gravity = static_cast<uint8_t>(std::clamp(value, 0, 3));
    if (panel->ReadInt("style", value)) {
        f.attributes &= static_cast<uint8_t>(~(kFlimbStyleLightBit | kFlimbStyleDarkBit));
        if (value == 1)
            f.attributes |= kFlimbStyleLightBit;
        else if (value == 2)
            f.attributes |= kFlimbStyleDarkBit;
    }
    uint8_t capture = 0;
    if (panel->ReadChecked("flimb_capture", capture)) {
        f.attributes &= static_cast<uint8_t>(~kFlimbCaptureBit);
        if (capture)
            f.attributes |= kFlimbCaptureBit;
    }
    if (panel->ReadInt("energy", value))
        f.energy = std::clamp(value, 0, kFlimbEnergyMost);
    return true;
}

void MapFlimb::SetSelectionAi(uint8_t mask, Primitive* panel)
{
    MapEditor& editor = Editor();
    bool changed = false;
    for (MapObject* object : editor.selection) {
        auto* placed = dynamic_cast<MapFlimb*>(object);
        if (!placed || object->GetKind() != kMapFlimb || !placed->GetFlimb())
            continue;
        uint8_t& ai = placed->GetFlimb()->autoBehaviour;
        ai = mask == 0 ? 0 : static_cast<uint8_t>(ai | mask);
        if (editor.undo)
            editor.undo->RecordChange(object, kUndoModified);
        changed = true;
        if (object == panelObject)
            FillAiList(panel, object);
    }
    if (changed && editor.undo)
        editor.undo->CommitStep();
}

void MapFlimb::FillAiList(Primitive* panel, const MapObject* object)
{
    LayoutPanel* layout = LayoutPanel::Of(panel);
    auto* list = layout ? dynamic_cast<ListBox*>(layout->Find("ai")) : nullptr;
    const auto* placed = dynamic_cast<const MapFlimb*>(object);
    if (!list || !placed || !placed->GetFlimb())
        return;
    list->Clear();
    for (int bit = 0; bit < 4; ++bit)
        if (placed->GetFlimb()->autoBehaviour & (1u << bit))
            list->AddItem(TranslateText(kFlimbAiNames[bit]));
}
