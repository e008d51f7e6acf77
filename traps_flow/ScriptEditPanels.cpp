// The level editor's property panels of the scripting traps (update, modify-frame, sound,
// chat, unlock, land-watch and camera-watch) and their buttons; applying a panel takes what
// the designer changed, within each control's range.
#include "app/FileManager.h"
#include "app/LanguageTexts.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "gui/EditBox.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/LayoutPanel.h"
#include "gui/ScreenImage.h"
#include "gui/WindowList.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapObject.h"
#include "levelmodel/MapTrap.h"
#include "media/SoundManager.h"
#include "traps_flow/ChatTrap.h"
#include "traps_flow/ModifyFrameTrap.h"
#include "traps_flow/SoundTrap.h"
#include "traps_flow/UnlockTrap.h"
#include "traps_flow/UpdateTrap.h"
#include "traps_flow/WatchTraps.h"
#include "world/TrapKinds.h"

#include <algorithm>

namespace {

constexpr int32_t kBackgroundKind = 34;
constexpr const char* kNoImage = "Graphics\\Traps\\Icons\\red_x.png";

// The trap of a placed object; null for anything else.
Trap* PlacedTrap(MapObject* object)
{
    auto* placed = dynamic_cast<MapTrap*>(object);
    return placed && object->GetKind() == kMapTrap ? placed->GetTrap() : nullptr;
}

// The open panel of the trap, found by its kind's name; null when none is open.
LayoutPanel* OpenPanelOf(const Trap& trap)
{
    return dynamic_cast<LayoutPanel*>(FindOpenWindow(TrapTypeName(trap.kind)));
}

// A one-line or many-line text box under a caption, `width` by `height` units (height 0:
// one line).
EditBox* AddTextBox(LayoutPanel& panel, const std::string& caption, const std::string& key, const std::string& text,
                    const std::string& tip, float width, float height)
{
    FlimbsLayoutEngine& engine = panel.Engine();
    if (!caption.empty())
        engine.AddCaption(caption, key);
    else
        engine.NewRow();
    EditBox* box = engine.AddEditBox(key, text, height > 0.0f);
    if (!box)
        return nullptr;
    float ownWidth = 0.0f, ownHeight = 0.0f;
    box->GetSize(&ownWidth, &ownHeight);
    box->SetSize(width, height > 0.0f ? height : ownHeight);
    if (!tip.empty())
        engine.SetTip(box, tip);
    engine.Layout();
    return box;
}

// The text of a changed control; false (the field left alone) otherwise.
bool ReadText(const LayoutPanel& panel, const std::string& key, std::string& field)
{
    if (!panel.Accepted(key))
        return false;
    field = panel.Find(key)->GetText();
    return true;
}

// The names the file manager lists for the pattern, in its order.
std::vector<std::string> ListedNames(const char* pattern)
{
    std::vector<std::string> names;
    if (fileManager)
        fileManager->ListFiles(pattern, names, 3);
    return names;
}

int IndexOf(const std::vector<std::string>& names, const std::string& name)
{
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

// Closes the open panel, applying it first, before a picking mode or window takes over.
void CloseEditedPanel()
{
    CloseObjectPanel(true);
}

} // namespace

// ---- Update trap ------------------------------------------------------------------------

std::unique_ptr<LayoutPanel> UpdateTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddTextField(TranslateText("Trigger Mod"), "trigger_mod", "%d", trigger_mod,
                        TranslateText("Trigger every X updates"));
    panel->AddTextField(std::string(), "trigger_val", "%d", trigger_val,
                        TranslateText("Comparison value after Mod operation"));
    panel->AddButton(TranslateText("Set Target"), "tartrap", [](Primitive*, Button*) {
        CloseEditedPanel();
        BeginTargetPick(&UpdateTrap::OnTargetPicked);
        Controller().messages.Add(TranslateText("Click on the target trap."), -1);
    });
    panel->AddCheckBox(TranslateText("Enabled"), "enabled", enabled != 0, std::string());
    panel->AddCheckBox(TranslateText("Counter"), "counter", counter,
                       TranslateText("Counter mode.  Increment when activated and trigger on mod."));
    return panel;
}

bool UpdateTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("trigger_mod", trigger_mod))
        trigger_mod = std::clamp(trigger_mod, 1, 9999);
    panel->ReadInt("trigger_val", trigger_val);
    uint8_t flag = 0;
    if (panel->ReadChecked("counter", flag))
        counter = flag != 0;
    return true;
}

void UpdateTrap::OnTargetPicked(MapObject* source, MapObject* clicked)
{
    auto* updater = dynamic_cast<UpdateTrap*>(PlacedTrap(source));
    const Trap* target = PlacedTrap(clicked);
    if (!updater || !target) {
        Controller().messages.Add(TranslateText("You did not select a target trap."), -2);
        return;
    }
    updater->target_trap_id = target->id;
}

// ---- Modify-frame trap ------------------------------------------------------------------

std::unique_ptr<LayoutPanel> ModifyFrameTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddChoice(TranslateText("Mode"), "mfmode",
                     {TranslateText("Goto Frame"), TranslateText("Next Frame"), TranslateText("Prev Frame"),
                      TranslateText("Animate"), TranslateText("Set Image")},
                     mfmode);
    panel->AddTextField(TranslateText("Goto Frame"), "goto_frame", "%d", goto_frame, std::string());
    panel->AddTextField(TranslateText("Start Frame"), "start_frame", "%d", start_frame, std::string());
    panel->AddTextField(TranslateText("End Frame"), "end_frame", "%d", end_frame, std::string());
    panel->AddTextField(TranslateText("FPS"), "fps", "%d", fps, std::string());
    panel->AddButton(TranslateText("Set Background Trap(s)"), "tartrap", [](Primitive*, Button*) {
        CloseEditedPanel();
        OpenTrapSelectionWindow(&ModifyFrameTrap::OnTargetsSelected);
    });
    panel->AddButton(TranslateText("Clear Background Trap(s)"), "tarcl", [](Primitive*, Button*) {
        if (auto* trap = dynamic_cast<ModifyFrameTrap*>(EditedTrap()))
            trap->targets.clear();
    });
    panel->Engine().NewRow();
    panel->Engine().AddImageView("image", image.empty() ? kNoImage : image, 100.0f, 100.0f);
    panel->AddButton(TranslateText("Set Image"), "sim991", [](Primitive*, Button*) {
        auto* trap = dynamic_cast<ModifyFrameTrap*>(EditedTrap());
        if (!trap)
            return;
        OpenEditorFileChooser(TranslateText("Set Image"), trap->image.empty() ? "Graphics\\" : trap->image,
                              [](const ChosenFile& chosen) { ModifyFrameTrap::OnImageChosen(chosen.filename); });
    });
    return panel;
}

bool ModifyFrameTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    for (auto [key, field] : {std::pair{"mfmode", &mfmode}, std::pair{"goto_frame", &goto_frame},
                              std::pair{"start_frame", &start_frame}, std::pair{"end_frame", &end_frame}})
        if (panel->ReadInt(key, *field))
            *field = std::clamp(*field, 0, 127);
    if (panel->ReadInt("fps", fps))
        fps = std::clamp(fps, 1, 26);
    return true;
}

void ModifyFrameTrap::OnTargetsSelected(const std::vector<MapObject*>& selection)
{
    auto* trap = dynamic_cast<ModifyFrameTrap*>(EditedTrap());
    if (!trap)
        return;
    for (MapObject* object : selection)
        if (const Trap* selected = PlacedTrap(object); selected && selected->kind == kBackgroundKind)
            trap->targets.push_back(selected->id);
}

void ModifyFrameTrap::OnImageChosen(const std::string& fileName)
{
    for (MapObject* object : GetSelectedObjects()) {
        auto* trap = dynamic_cast<ModifyFrameTrap*>(PlacedTrap(object));
        if (!trap)
            continue;
        trap->image = fileName;
        if (LayoutPanel* panel = OpenPanelOf(*trap))
            if (auto* view = dynamic_cast<ScreenImage*>(panel->Find("image")))
                view->SetImage(fileName);
    }
}

// ---- Sound and chat traps ---------------------------------------------------------------

std::unique_ptr<LayoutPanel> SoundTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddButton(TranslateText("Set Sound"), std::string(), [](Primitive*, Button*) {
        const auto* trap = dynamic_cast<SoundTrap*>(EditedTrap());
        if (trap)
            OpenEditorFileChooser(TranslateText("Set Sound"), trap->sound_file.empty() ? "Sounds\\" : trap->sound_file,
                                  [](const ChosenFile& chosen) { SoundTrap::OnSoundChosen(chosen.filename); });
    });
    panel->AddButton(TranslateText("Play Sound"), std::string(), [](Primitive*, Button*) {
        if (auto* trap = dynamic_cast<SoundTrap*>(EditedTrap()))
            trap->Activate(nullptr);
    });
    panel->AddButton(TranslateText("Stop Sound"), std::string(), [](Primitive*, Button*) { soundManager.StopMusic(); });
    panel->AddCheckBox(TranslateText("Background Music"), "set_background", set_background, std::string());
    return panel;
}

bool SoundTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    uint8_t flag = 0;
    if (panel->ReadChecked("set_background", flag))
        set_background = flag != 0;
    return true;
}

std::unique_ptr<LayoutPanel> ChatTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    AddTextBox(*panel, TranslateText("Speaker"), "speaker", speaker, TranslateText("Who is this message from?"),
               200.0f, 0.0f);
    AddTextBox(*panel, std::string(), "message", message, TranslateText("Message to display"), 200.0f, 150.0f);
    return panel;
}

bool ChatTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    ReadText(*panel, "message", message);
    ReadText(*panel, "speaker", speaker);
    return true;
}

// ---- Unlock trap ------------------------------------------------------------------------

std::unique_ptr<LayoutPanel> UnlockTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddChoice(TranslateText("Mode:"), "umode", {TranslateText("FM Map"), TranslateText("Level")}, umode);
    const std::vector<std::string> maps = ListedNames("Level\\f_*.flevel");
    panel->AddChoice(TranslateText("FM map"), "fm_map_file", maps, IndexOf(maps, fm_map_file));
    const std::vector<std::string> levels = ListedNames("Level\\s_*.flevel");
    panel->AddChoice(TranslateText("Level"), "hidden_level", levels, IndexOf(levels, hidden_level));
    return panel;
}

bool UnlockTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("umode", umode))
        umode = std::clamp(umode, 0, 1);
    ReadText(*panel, "fm_map_file", fm_map_file);
    ReadText(*panel, "hidden_level", hidden_level);
    return true;
}

// ---- Land-watch and camera-watch traps --------------------------------------------------

std::unique_ptr<LayoutPanel> LandWatchTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddChoice(TranslateText("Watch Mode"), "watchMode",
                     {TranslateText("All Air"), TranslateText("All Soil"), TranslateText("Any Air"),
                      TranslateText("Any Soil"), TranslateText("On Change")},
                     watchMode);
    return panel;
}

bool LandWatchTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("watchMode", watchMode))
        watchMode = std::clamp(watchMode, 0, static_cast<int32_t>(kOnChange));
    return true;
}

std::unique_ptr<LayoutPanel> CameraWatchTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddChoice(TranslateText("Trigger On"), "grav_id",
                     {TranslateText("Down"), TranslateText("Up"), TranslateText("Left"), TranslateText("Right")},
                     grav_id);
    return panel;
}

bool CameraWatchTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("grav_id", grav_id))
        grav_id = std::clamp(grav_id, 0, static_cast<int32_t>(kRight));
    return true;
}
