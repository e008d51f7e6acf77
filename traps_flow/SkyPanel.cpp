// The sky trap's property panel in the level editor: motion, rotation centre, base colour
// and image.
#include "app/LanguageTexts.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "gui/CheckBox.h"
#include "gui/LayoutPanel.h"
#include "gui/SliderBar.h"
#include "levelmodel/EditorPicking.h"
#include "traps_flow/SkyTrap.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;
const char* const kBaseKeys[3] = {"base_red", "base_green", "base_blue"};

int Channel(uint32_t colour, int index)
{
    return static_cast<int>((colour >> (16 - 8 * index)) & 0xFFu);
}

// With "bright" checked, moving one base colour slider moves the other two by as much.
void OnBaseColourMoved(Primitive* /*parent*/, Primitive* moved)
{
    LayoutPanel* panel = LayoutPanel::Of(moved);
    auto* sky = dynamic_cast<SkyTrap*>(Trap::EditedTrap());
    auto* bright = panel ? dynamic_cast<CheckBox*>(panel->Find("bright")) : nullptr;
    if (!sky || !bright || !bright->IsChecked())
        return;
    int index = -1;
    for (int i = 0; i < 3; ++i)
        if (panel->Find(kBaseKeys[i]) == moved)
            index = i;
    auto* slider = dynamic_cast<GraphicSliderBar*>(moved);
    if (index < 0 || !slider)
        return;
    const int delta = static_cast<int>(std::lround(slider->GetFloatValue())) - Channel(sky->sky_base_color, index);
    for (int i = 0; i < 3; ++i)
        if (i != index)
            if (auto* other = dynamic_cast<GraphicSliderBar*>(panel->Find(kBaseKeys[i])))
                other->SetValue(static_cast<float>(std::clamp(Channel(sky->sky_base_color, i) + delta, 0, 255)), true);
}

void OnSetRotationCentre(Primitive* /*parent*/, Button* /*button*/)
{
    auto* sky = dynamic_cast<SkyTrap*>(Trap::EditedTrap());
    if (!sky)
        return;
    const uint32_t id = sky->id;
    BeginPointPick([id](int32_t px, int32_t py) {
        if (auto* picked = dynamic_cast<SkyTrap*>(FindEditorTrap(id))) {
            picked->SetRotationCentre(static_cast<float>(px), static_cast<float>(py));
            RefreshObjectPanel(FindMapTrap(id));
        }
    });
    Controller().messages.Add(TranslateText("Click for center point"), -1);
}

void OnSetSkyImage(Primitive* /*parent*/, Button* /*button*/)
{
    auto* sky = dynamic_cast<SkyTrap*>(Trap::EditedTrap());
    if (!sky)
        return;
    const uint32_t id = sky->id;
    OpenEditorFileChooser(TranslateText("Select Sky Image"), "Graphics\\Primitives\\Beach\\BackTiles\\",
                          [id](const ChosenFile& chosen) {
                              if (auto* picked = dynamic_cast<SkyTrap*>(FindEditorTrap(id))) {
                                  picked->SetSkyImage(chosen.filename);
                                  RefreshObjectPanel(FindMapTrap(id));
                              }
                          });
}

} // namespace

std::unique_ptr<LayoutPanel> SkyTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddSlider(TranslateText("Vel. X"), "vx", std::round(vx * 1000.0f), 100.0f, -100.0f,
                     TranslateText("X velocity of background tile in px/sec"));
    panel->AddSlider(TranslateText("Vel. Y"), "vy", std::round(vy * 1000.0f), 100.0f, -100.0f,
                     TranslateText("Y velocity of background tile in px/sec"));
    panel->AddSlider(TranslateText("Rotation"), "rot", std::trunc(rot * 180.0f / kPi * 4.0f), 100.0f, -100.0f,
                     TranslateText("Rotation of background (quarter-degrees/second)"));
    panel->AddTextField(TranslateText("Rot. Center X"), "rx", "%.3f", rx, TranslateText("X center of rotation"));
    panel->AddTextField(TranslateText("Rot. Center Y"), "ry", "%.3f", ry, TranslateText("Y center of rotation"));
    panel->AddButton(TranslateText("Set rotation center"), "Set rotation center", &OnSetRotationCentre);
    const char* const captions[3] = {"Base Red", "Base Green", "Base Blue"};
    for (int i = 0; i < 3; ++i)
        panel->AddSlider(TranslateText(captions[i]), kBaseKeys[i], static_cast<float>(Channel(sky_base_color, i)),
                         255.0f, 0.0f, std::string(), &OnBaseColourMoved);
    panel->AddButton(TranslateText("Set Image"), "setskyimage", &OnSetSkyImage);
    return panel;
}

bool SkyTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    int32_t value = 0;
    if (panel->ReadInt("vx", value))
        vx = static_cast<float>(value) / 1000.0f;
    if (panel->ReadInt("vy", value))
        vy = static_cast<float>(value) / 1000.0f;
    if (panel->ReadInt("rot", value))
        rot = static_cast<float>(value) / 4.0f * kPi / 180.0f;
    panel->ReadFloat("rx", rx, 0.0f, 1.0e6f);
    panel->ReadFloat("ry", ry, 0.0f, 1.0e6f);
    bool colourChanged = false;
    uint32_t colour = sky_base_color;
    for (int i = 0; i < 3; ++i) {
        if (!panel->ReadInt(kBaseKeys[i], value))
            continue;
        const int shift = 16 - 8 * i;
        colour = (colour & ~(0xFFu << shift)) | (static_cast<uint32_t>(std::clamp(value, 0, 255)) << shift);
        colourChanged = true;
    }
    sky_base_color = 0xFF000000u | (colour & 0xFFFFFFu);
    if (colourChanged && !sky_image.empty())
        SetSkyImage(sky_image);
    return true;
}
