// The placed primitive's property panel "Terrain ID: <id>" and reading it back.
#include "levelmodel/MapPrimitive.h"

#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "game/GameHooks.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/LayoutPanel.h"
#include "gui/SliderBar.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"
#include "levelmodel/MapEditor.h"
#include "media/AnimSurface.h"
#include "traps/Trap.h"

#include <algorithm>
#include <cstdlib>

namespace {

const char* const kPrimTintKeys[3] = {"tint_red", "tint_green", "tint_blue"};

const std::vector<PanelChoice>& LandTypeChoices()
{
    static const std::vector<PanelChoice> choices{{"Normal", 1},  {"Flimbium", 2},  {"Air", 0},  {"Bridge", 7},
                                                  {"Overlay", 16}, {"Fake", 6},     {"AirBridge", 4},
                                                  {"Atomize", 17}};
    return choices;
}

const std::vector<PanelChoice>& ApplyToChoices()
{
    static const std::vector<PanelChoice> choices{{"Land Only", 0x200D6},
                                                  {"Air Only", 1},
                                                  {"Not Flimbium", static_cast<int>(0xFFFFFFE3u)},
                                                  {"Not Flimbium/Air", static_cast<int>(0xFFFFFFF2u)},
                                                  {"Any", static_cast<int>(0xFFFFFFFFu)}};
    return choices;
}

std::vector<PanelChoice> Translated(const std::vector<PanelChoice>& choices)
{
    std::vector<PanelChoice> shown = choices;
    for (PanelChoice& choice : shown)
        choice.text = TranslateText(choice.text);
    return shown;
}

// A drop list that applies the panel as soon as the user picks an item.
void AddAppliedChoice(LayoutPanel& panel, const std::string& caption, const char* key,
                      const std::vector<PanelChoice>& choices, int selected, const std::string& tip)
{
    panel.Engine().AddCaption(caption, key);
    ComboBox* combo = panel.Engine().AddChoiceList(key, Translated(choices), selected);
    if (!combo)
        return;
    combo->onChange = [](Primitive* parent, ComboBox* changed) { ApplyPanelChange(parent, changed); };
    panel.Engine().SetTip(combo, tip);
}

void ApplyNumberBoxAtOnce(EditBox* box)
{
    if (box)
        box->onChange = &ApplyPanelChange;
}

void OnPrimitiveTintChanged(Primitive* parent, Primitive* slider)
{
    Trap::ReadTintPanel(parent, slider);
    ApplyPanelChange(parent, slider);
}

// Seam: "Set Image" opens the primitive viewer once the editor's asset tools bring it;
// until then the editor's file chooser hook stands in.
void OnSetPrimitiveImage(Primitive* /*parent*/, Button* /*button*/)
{
    const auto* primitive = dynamic_cast<const MapPrimitive*>(MapObject::panelObject);
    std::string start = "Graphics";
    if (primitive && primitive->Image() && primitive->Image()->GetName() && *primitive->Image()->GetName())
        start = primitive->Image()->GetName();
    OpenEditorFileChooser(TranslateText("Select Terrain"), start, [](const ChosenFile& chosen) {
        if (!chosen.filename.empty())
            Editor().SetImageOfSelection(chosen.filename);
    });
}

void OnConvertPrimitive(Primitive* /*parent*/, Button* /*button*/)
{
    Editor().CloseObjectPanel(false);
    ConvertEditorSelection();
}

// The component of the tint that a changed slider names, else the tint's own.
uint32_t PanelTint(const LayoutPanel& panel, uint32_t tint)
{
    for (int i = 0; i < 3; ++i) {
        int32_t value = 0;
        if (!panel.ReadInt(kPrimTintKeys[i], value))
            continue;
        const int shift = 16 - 8 * i;
        tint = (tint & ~(0xFFu << shift)) | (static_cast<uint32_t>(std::clamp(value, 0, 255)) << shift);
    }
    return tint;
}

template <class Field>
void TakeInt(const LayoutPanel& panel, const char* key, Field& field, int32_t minimum, int32_t maximum)
{
    int32_t value = 0;
    if (panel.ReadInt(key, value))
        field = static_cast<Field>(std::clamp(value, minimum, maximum));
}

} // namespace

Primitive* MapPrimitive::BuildPropertiesPanel()
{
    auto panel = std::make_unique<LayoutPanel>();
    const std::string title = StringPrintf("Terrain ID: %d", static_cast<int>(id));
    panel->SetName(title.c_str());
    panel->SetTitle(title.c_str());
    panel->ownerId = id;
    panelObject = this;

    panel->AddSlider(TranslateText("Alpha: "), "prim_alpha", static_cast<float>(alpha), 255.0f, 0.0f,
                     TranslateText("A+{Mouse Up/Down}"), &ApplyPanelChange);
    ApplyNumberBoxAtOnce(panel->AddTextField(TranslateText("Scale"), "prim_scalex", "%.3f", scaleX,
                                             TranslateText("X scale for primitive") + ". W+{Mouse Up/Down}"));
    ApplyNumberBoxAtOnce(panel->AddTextField(std::string(), "prim_scaley", "%.3f", scaleY,
                                             TranslateText("Y scale for primitive") + ". W+{Mouse Up/Down}"));
    const struct {
        const char* icon;
        float factor;
        const char* tip;
    } sizeButtons[] = {{"Graphics\\HUD\\InGame\\arrow_up.png", 2.0f, "Double size.  PLUS key."},
                       {"Graphics\\HUD\\InGame\\arrow_down.png", 0.5f, "Half size.  MINUS key."}};
    for (const auto& size : sizeButtons) {
        IconButton* button = panel->Engine().AddIconButton(std::string(), "sizeup", size.icon, 0);
        if (!button)
            continue;
        const float factor = size.factor;
        button->onClick = [factor](Primitive*, Button* pressed) { ScalePanelFields(pressed, factor); };
        panel->Engine().SetTip(button, TranslateText(size.tip));
    }
    panel->AddSlider(TranslateText("Rotation"), "prim_rotation", static_cast<float>(static_cast<int>(rotation)),
                     359.0f, 0.0f, TranslateText("F+{Mouse Up/Down}"), &ApplyPanelChange);
    panel->AddCheckBox(TranslateText("Brightness"), "bright", false,
                       TranslateText("Check to sync the tints, thus tweaking brightness"));
    const char* const tintCaptions[3] = {"Red", "Green", "Blue"};
    const char* const tintTips[3] = {"R+{Mouse Up/Down}", "G+{Mouse Up/Down}", "B+{Mouse Up/Down}"};
    for (int i = 0; i < 3; ++i)
        panel->AddSlider(TranslateText(tintCaptions[i]), kPrimTintKeys[i],
                         static_cast<float>((tint >> (16 - 8 * i)) & 0xFFu), 255.0f, 0.0f,
                         TranslateText(tintTips[i]), &OnPrimitiveTintChanged);
    AddAppliedChoice(*panel, TranslateText("Land Type"), "land_type", LandTypeChoices(), static_cast<int>(bashType),
                     TranslateText("The land type"));
    AddAppliedChoice(*panel, TranslateText("Apply to"), "bash_to", ApplyToChoices(), static_cast<int>(landToBash),
                     TranslateText("The existing type of land to modify"));
    panel->AddSlider(TranslateText("Alpha Cutoff: "), "alpha_threshold", static_cast<float>(alphaThreshold), 255.0f,
                     0.0f, TranslateText("Any pixels with alpha below this will be excluded"));
    panel->AddCheckBox(TranslateText("Opaque"), "alpha_opaque", alphaOpaque != 0,
                       TranslateText("All pixel alpha will be set to opaque (255)"));
    panel->AddCheckBox(TranslateText("Bash On Load"), "bash_on_load", bashOnLoad != 0,
                       TranslateText("Uncheck to not bash when level loads (for use with ModifyLand traps)"));
    panel->AddCheckBox(TranslateText("Shadow"), "shadow_mode", shadowMode != 0,
                       TranslateText("Add a shadow of object which shows up when bashed"));
    panel->AddSlider(TranslateText("Dark: "), "shadow_val", static_cast<float>(shadowVal), 255.0f, -255.0f,
                     TranslateText("How dark should the shadow be? 255=darkest"));
    panel->AddButton(TranslateText("Set Image"), "b42", &OnSetPrimitiveImage);
    if (TextButton* convert = panel->AddButton(TranslateText("Convert"), std::string(), &OnConvertPrimitive))
        panel->Engine().SetTip(convert, TranslateText("Convert terrain to background trap [U]"));
    panel->Finish();
    panel->AdjustSize(1, DesignUnitsX(10.0f), 0.0f);
    return panel.release();
}

bool MapPrimitive::ApplyConfigProps(Primitive* panelPrimitive)
{
    auto* panel = dynamic_cast<LayoutPanel*>(panelPrimitive);
    if (!panel || panel->name.find("Terrain ID") == std::string::npos)
        return false;
    TakeInt(*panel, "prim_alpha", alpha, 0, 255);
    ReadPanelFloat(panel, "prim_scalex", scaleX, 0.05f, 8.0f, true);
    ReadPanelFloat(panel, "prim_scaley", scaleY, 0.05f, 8.0f, true);
    ReadPanelFloat(panel, "prim_rotation", rotation, -1.0f, -1.0f, true);
    tint = PanelTint(*panel, tint);
    int32_t value = 0;
    if (panel->ReadInt("land_type", value))
        bashType = static_cast<uint32_t>(value);
    if (panel->ReadInt("bash_to", value))
        landToBash = static_cast<uint32_t>(value);
    panel->ReadChecked("bash_on_load", bashOnLoad);
    panel->ReadChecked("alpha_opaque", alphaOpaque);
    panel->ReadChecked("shadow_mode", shadowMode);
    panel->ReadChecked("no_cache", noCache);
    TakeInt(*panel, "shadow_val", shadowVal, -255, 255);
    TakeInt(*panel, "alpha_threshold", alphaThreshold, 0, 255);
    return true;
}

void MapPrimitive::ScalePanelFields(Primitive* control, float factor)
{
    LayoutPanel* panel = LayoutPanel::Of(control);
    if (!panel)
        return;
    for (const char* key : {"prim_scalex", "prim_scaley"}) {
        auto* box = dynamic_cast<EditBox*>(panel->Find(key));
        if (!box)
            continue;
        const float scaled = std::strtof(box->GetText().c_str(), nullptr) * factor;
        box->SetText(StringPrintf("%.3f", static_cast<double>(scaled)));
        box->pressed = 1;
    }
    ApplyPanelChange(nullptr, panel);
}
