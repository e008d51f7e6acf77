// The annotation's property panel in the level editor, and the pick of its destination.
#include "app/LanguageTexts.h"
#include "gui/EditBox.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapTrap.h"
#include "media/FontManager.h"
#include "traps_flow/AnnotationTrap.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct NamedColour {
    const char* name;
    uint32_t argb;
};
const NamedColour kFontColours[] = {
    {"White", 0xFFFFFFFFu}, {"Black", 0xFF000000u},  {"Red", 0xFFFF0000u},  {"Green", 0xFF00FF00u},
    {"Blue", 0xFF0000FFu},  {"Yellow", 0xFFFFFF00u}, {"Purple", 0xFFFF00FFu}, {"Cyan", 0xFF00FFFFu},
    {"Grey", 0xFF777777u},  {"Orange", 0xFFFF8800u},
};

// The fonts the panel lists: the enabled rows of the font table, with their ids.
std::vector<int32_t> ListedFonts()
{
    std::vector<int32_t> ids;
    for (int id = 0; id < FontManager::kTableRows; ++id)
        if (FontManager::Row(id).enabled)
            ids.push_back(id);
    return ids;
}

void OnUpdate(Primitive* parent, Button* /*button*/)
{
    if (auto* annotation = dynamic_cast<AnnotationTrap*>(Trap::EditedTrap()); annotation && LayoutPanel::Of(parent))
        annotation->ApplyEditPanel(LayoutPanel::Of(parent));
}

void OnSetDestination(Primitive* /*parent*/, Button* /*button*/)
{
    auto* annotation = dynamic_cast<AnnotationTrap*>(Trap::EditedTrap());
    if (!annotation)
        return;
    const uint32_t id = annotation->id;
    BeginPointPick([id](int32_t px, int32_t py) {
        if (auto* picked = dynamic_cast<AnnotationTrap*>(FindEditorTrap(id))) {
            picked->SetDestination(px, py);
            RefreshObjectPanel(FindMapTrap(id));
        }
    });
}

void OnClearDestination(Primitive* /*parent*/, Button* /*button*/)
{
    if (auto* annotation = dynamic_cast<AnnotationTrap*>(Trap::EditedTrap())) {
        annotation->arrow_x = annotation->arrow_y = 0;
        annotation->Layout();
    }
}

} // namespace

std::unique_ptr<LayoutPanel> AnnotationTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddChoice(TranslateText("Mode"), "annotationMode",
                     {TranslateText("Standard"), TranslateText("Voice"), TranslateText("Bubble")},
                     std::clamp(annotationMode, 0, 2));
    panel->AddButton(TranslateText("Update"), "Update", &OnUpdate);
    panel->AddLabel(TranslateText("Message to display"));
    panel->Engine().AddEditBox("message", message, true);
    std::vector<std::string> fonts;
    int selectedFont = 0;
    for (int32_t id : ListedFonts()) {
        if (id == fontStyle)
            selectedFont = static_cast<int>(fonts.size());
        fonts.push_back(FontManager::Row(id).name);
    }
    panel->AddChoice(TranslateText("Font Style"), "font_style", fonts, selectedFont);
    std::vector<std::string> colours;
    int selectedColour = 0;
    for (const NamedColour& colour : kFontColours) {
        if (colour.argb == fontColor)
            selectedColour = static_cast<int>(colours.size());
        colours.push_back(TranslateText(colour.name));
    }
    panel->AddChoice(TranslateText("Font Color"), "fontColor", colours, selectedColour);
    panel->AddSlider(TranslateText("Font Size"), "font_size", static_cast<float>(font_scale), 255.0f, 0.0f,
                     std::string());
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, TranslateText("Visible when level starts"));
    panel->AddCheckBox(TranslateText("Clickable"), "click_close", click_close != 0,
                       TranslateText("Clicking will close message"));
    panel->AddCheckBox(TranslateText("Text Only"), "text_only", text_only != 0, TranslateText("Only display the text"));
    panel->AddCheckBox(TranslateText("Auto Size"), "autoSize", autoSize != 0, std::string());
    panel->AddCheckBox(TranslateText("Fade"), "fade", annotationFade != 0, TranslateText("Fade in/out"));
    panel->AddCheckBox(TranslateText("Wobble"), "wobble", wobble != 0,
                       TranslateText("Wobble the annotation when displayed"));
    panel->AddCheckBox(TranslateText("Relative"), "arrow_relative", arrow_relative != 0,
                       TranslateText("The arrow is relative to the annotation"));
    panel->AddCheckBox(TranslateText("Follow"), "follow_flimb", follow_flimb != 0,
                       TranslateText("Follows flimb that activated this annotation"));
    panel->AddButton(TranslateText("Set Destination"), "Set Destination", &OnSetDestination);
    panel->AddButton(TranslateText("Clear Destination"), "Clear Destination", &OnClearDestination);
    panel->AddSlider(TranslateText("Distance"), "z_dist", static_cast<float>(annotate_z_dist), 2048.0f, -256.0f,
                     TranslateText("Depth of annotation"));
    return panel;
}

bool AnnotationTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadInt("z_dist", annotate_z_dist);
    if (panel->Accepted("message"))
        message = panel->Find("message")->GetText();
    panel->ReadChecked("click_close", click_close);
    panel->ReadChecked("text_only", text_only);
    panel->ReadChecked("autoSize", autoSize);
    panel->ReadChecked("fade", annotationFade);
    panel->ReadChecked("wobble", wobble);
    panel->ReadChecked("arrow_relative", arrow_relative);
    panel->ReadChecked("follow_flimb", follow_flimb);
    int32_t choice = 0;
    const std::vector<int32_t> fonts = ListedFonts();
    if (panel->ReadInt("font_style", choice) && choice >= 0 && choice < static_cast<int32_t>(fonts.size()))
        fontStyle = fonts[size_t(choice)];
    if (panel->ReadInt("font_size", font_scale))
        font_scale = std::clamp(font_scale, 0, 255);
    if (panel->ReadInt("fontColor", choice) && choice >= 0 && choice < static_cast<int32_t>(std::size(kFontColours)))
        fontColor = kFontColours[choice].argb;
    if (panel->ReadInt("annotationMode", choice)) {
        choice = std::clamp(choice, 0, 2);
        if (choice != annotationMode) {
            annotationMode = choice;
            ReleaseGraphics();
            LoadGraphics();
        }
    }
    if (annotationMode == kVoice || annotationMode == kBubble || follow_flimb)
        arrow_relative = 1;
    Layout();
    return true;
}
