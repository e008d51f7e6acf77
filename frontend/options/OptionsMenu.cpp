#include "frontend/options/OptionsMenu.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "frontend/FrontEndServices.h"
#include "frontend/PendingScreens.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "frontend/menus/GlobalConfigWriter.h"
#include "frontend/menus/ScreenLayout.h"
#include "frontend/options/KeyBindingWindow.h"
#include "frontend/options/ProfileOptions.h"
#include "frontend/options/ResolutionList.h"
#include "frontend/options/WindowFit.h"
#include "game/GameServices.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/FlimbsTabControl.h"
#include "gui/FlimbsWindow.h"
#include "gui/GraphicButtons.h"
#include "gui/Label.h"
#include "gui/MessageBox.h"
#include "gui/ScreenImage.h"
#include "gui/SliderBar.h"
#include "gui/TextButtons.h"
#include "gui/WindowList.h"
#include "media/DXManager.h"
#include "media/SoundManager.h"
#include "platform/window/Desktop.h"
#include "session/SessionServices.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kControlWidth = 125.0f; // design pixels
constexpr const char* kNoAvatarPicture = "Graphics\\Menu\\Options\\avatar_none.png";

ConsoleParam* Variable(const char* name)
{
    return ConsoleParam::Find(name);
}

int IntOf(const char* name)
{
    const ConsoleParam* variable = Variable(name);
    return variable ? variable->GetInt() : 0;
}

void SetInt(const char* name, int value)
{
    if (ConsoleParam* variable = Variable(name))
        variable->SetInt(value);
}

std::string TextOf(const char* name)
{
    const ConsoleParam* variable = Variable(name);
    return variable ? variable->GetString() : std::string();
}

// Shows or hides a control of the options page by name.
void ShowControl(Primitive* from, const char* name, bool show)
{
    if (OptionsMenu* menu = OptionsMenuOf(from))
        if (Primitive* control = menu->Control(name))
            control->visible = show ? 1 : 0;
}

// Builds the rows on the page through the layout engine.
class RowBuilder {
public:
    RowBuilder(PrimContainer* page) : e(page)
    {
        e.SetMargins(DesignX(16.0f), DesignY(14.0f), DesignX(16.0f), DesignY(14.0f));
        e.SetSpacing(DesignX(8.0f), DesignY(6.0f));
        e.SetCaptionWidth(DesignX(140.0f));
        e.SetControlWidth(DesignX(kControlWidth));
        e.AddToolTip(std::string());
    }

    SimpleLabel* Caption(const char* text, const char* key)
    {
        return e.AddCaption(TranslateText(text), key);
    }

    void Tip(Primitive* control, SimpleLabel* label, const std::string& tip)
    {
        if (!control || tip.empty())
            return;
        e.SetTip(control, tip);
        if (label)
            e.SetTip(label, tip);
    }

    CheckBox* Check(const char* caption, const char* key, bool checked, const char* tip, ControlCallback onChange)
    {
        SimpleLabel* label = Caption(caption, key);
        CheckBox* box = e.AddCheckBox(key, checked);
        if (box)
            box->onChange = std::move(onChange);
        Tip(box, label, TranslateText(tip));
        return box;
    }

    GraphicSliderBar* Slider(const char* key, float value, float maximum, float minimum, const std::string& tip,
                             ControlCallback onChange, bool ownRow)
    {
        if (ownRow)
            e.NewRow();
        GraphicSliderBar* slider = e.AddSlider(key, value, maximum, minimum);
        if (slider)
            slider->onChange = std::move(onChange);
        Tip(slider, nullptr, tip);
        return slider;
    }

    ScreenLayoutEngine e;
};

} // namespace

int ScrollScaleToSlider(float scale)
{
    const double value = std::round(std::sqrt(std::max(0.0, double(scale) * 1000.0)));
    return int(std::clamp(value, 22.0, 95.0));
}

float SliderToScrollScale(int value)
{
    return float(value * value) / 1000.0f;
}

OptionsMenu* OptionsMenuOf(Primitive* control)
{
    for (Primitive* walk = control; walk; walk = walk->parent)
        if (auto* menu = dynamic_cast<OptionsMenu*>(walk))
            return menu;
    return nullptr;
}

OptionsMenu::OptionsMenu(bool fullMode) : full_(fullMode)
{
    SetName(kName);
    containerFlags |= kContainerWindow;
    tabs_ = new FlimbsTabControl;
    AddChild(tabs_);
    page_ = new FlimbsWindow;
    page_->SetName(kPageName);
    tabs_->AddPage(TranslateText(kPageName), page_);
    BuildRows();

    // The page sized to its rows, the tab control round it, the tab buttons under it.
    float width = 0.0f, height = 0.0f;
    page_->GetSize(&width, &height);
    tabs_->SetSize(width, height + DesignY(34.0f));
    tabs_->SetPosition(0.0f, 0.0f);
    const float bottom = tabs_->GetRelativeRectVirtual().bottom + DesignY(6.0f);

    auto* okay = new FlimbsTabButton(TranslateText("Okay"));
    okay->SetName("Okay");
    okay->onClick = ApplyOptions;
    float buttonWidth = 0.0f, buttonHeight = 0.0f;
    okay->GetSize(&buttonWidth, &buttonHeight);
    okay->SetSize(buttonWidth, buttonHeight);
    okay->SetPosition(tabs_->GetSizeVirtual().x - buttonWidth, bottom);
    AddChild(okay);
    if (full_) {
        auto* defaults = new FlimbsTabButton(TranslateText("Load Defaults"));
        defaults->SetName("Load Defaults");
        defaults->onClick = LoadDefaultOptions;
        defaults->GetSize(&buttonWidth, &buttonHeight);
        defaults->SetSize(buttonWidth, buttonHeight);
        defaults->SetPosition(0.0f, bottom);
        AddChild(defaults);
    }
    FitToChildren(this);
    UpdateAvatarEditButton(this);
}

Primitive* OptionsMenu::Control(const std::string& name)
{
    return FindChild(name);
}

void OptionsMenu::BuildRows()
{
    RowBuilder rows(page_);
    ScreenLayoutEngine& e = rows.e;

    // 1-6: who is playing, language, resolution, avatar.
    if (full_) {
        SimpleLabel* label = rows.Caption("Profile", "pros");
        if (ComboBox* profiles = e.AddComboBox("pros", nullptr)) {
            const ConsoleParam* profile = Variable("profile");
            int selected = -1;
            for (const ProfileChoice& choice :
                 BuildProfileList(ListProfileFiles(), profile ? profile->GetString() : "", selected))
                profiles->AddItem(choice.caption, choice.data);
            profiles->SetSelection(selected, false);
            profiles->ClearPressed();
            profiles->onChange = OnProfileChosen;
            rows.Tip(profiles, label, TranslateText("Available player profiles"));
        }
    }
    SimpleLabel* label = rows.Caption("Name", "username");
    if (EditBox* name = e.AddEditBox("username", TextOf("username"), false)) {
        name->SetCapacity(35);
        name->onChange = OnUsernameEdited;
        rows.Tip(name, label, TranslateText("Your FlimbStats username"));
    }
    label = rows.Caption("Password", "passwordtext");
    if (EditBox* password = e.AddEditBox("passwordtext", TextOf("password"), false)) {
        password->password = 1;
        password->SetCapacity(35);
        password->onChange = OnPasswordEdited;
        rows.Tip(password, label, TranslateText("Your FlimbStats password (optional)"));
    }
    label = rows.Caption("Language", "language");
    if (ComboBox* language = e.AddComboBox("language", nullptr)) {
        for (const LanguageDatabase::LanguageListEntry& entry : LanguageDatabase::LanguageList())
            language->AddItem(entry.caption, entry.data);
        language->SetSelection(LanguageDatabase::GetCurrentLanguageIndex(), false);
        language->ClearPressed();
        rows.Tip(language, label, TranslateText("Available languages"));
    }
    label = rows.Caption("Resolution", "screen");
    e.SetControlWidth(DesignX(kControlWidth * 1.25f));
    if (ComboBox* screen = e.AddComboBox("screen", nullptr)) {
        const ResolutionList list = BuildResolutionList(platform::EnumerateDisplayModes(), platform::DesktopSize(),
                                                        {DXManager::screenWidth, DXManager::screenHeight});
        for (const ResolutionEntry& entry : list.entries)
            screen->AddItem(entry.caption, entry.data);
        screen->SetSelection(list.selected, false);
        screen->ClearPressed();
        rows.Tip(screen, label, TranslateText("Available screen resolutions"));
    }
    e.SetControlWidth(DesignX(kControlWidth));
    e.NewRow();
    const auto arrow = [&](const char* file, const char* key, ButtonCallback handler) {
        if (GraphicButton* button = e.AddImageButton(key, "Graphics\\Menu\\Planet", file, 3))
            button->onClick = std::move(handler);
    };
    arrow("ribbon-left-arrow.png", "avatar_left", PreviousAvatarPicture);
    const float side = full_ ? 106.0f : 64.0f;
    // A player without a picture yet sees the empty frame rather than the missing-image mark.
    const std::string avatar = CurrentProfile().AvatarPath();
    const bool hasAvatar = fileManager && fileManager->Exists(avatar, -1);
    avatarImage_ = e.AddImageView("avatar_img", hasAvatar ? avatar : kNoAvatarPicture, DesignX(side), DesignY(side));
    arrow("ribbon-right-arrow.png", "avatar_right", NextAvatarPicture);
    if (full_) {
        e.NewRow();
        if (TextButton* create = e.AddButton(TranslateText("New"), "New", 0))
            create->onClick = NewAvatarFromOptions;
        avatarEdit_ = e.AddButton(TranslateText("Edit"), "Edit", 0);
        if (avatarEdit_)
            avatarEdit_->onClick = EditAvatarFromOptions;
    }

    // 7-16: sound, music, display.
    e.NewColumn(DesignX(20.0f));
    rows.Check("Game sounds", "soundbox", IntOf("soundenable") != 0, "Turn on or off in-game sound effects",
               [](Primitive*, Primitive* box) {
                   SetInt("soundenable", box->IsChecked() ? 1 : 0);
                   ShowControl(box, "soundlevel", IntOf("soundenable") != 0);
               });
    GraphicSliderBar* soundLevel = rows.Slider(
        "soundlevel", float(IntOf("soundlevel")), 255.0f, 0.0f, TranslateText("Sound fx volume"),
        [](Primitive*, Primitive* slider) { SetInt("soundlevel", slider->GetIntValue()); }, true);
    if (soundLevel)
        soundLevel->visible = IntOf("soundenable") != 0 ? 1 : 0;
    rows.Check("Game music", "musicbox", IntOf("musicenable") != 0, "Turn on or off music",
               [](Primitive*, Primitive* box) {
                   SetInt("musicenable", box->IsChecked() ? 1 : 0);
                   ShowControl(box, "musiclevel", IntOf("musicenable") != 0);
                   if (IntOf("musicenable") == 0)
                       soundManager.StopMusic();
               });
    GraphicSliderBar* musicLevel = rows.Slider(
        "musiclevel", float(IntOf("musiclevel")), 255.0f, 0.0f, TranslateText("Music volume (0-255)", "Music volume"),
        [](Primitive*, Primitive* slider) { SetInt("musiclevel", slider->GetIntValue()); }, true);
    if (musicLevel)
        musicLevel->visible = IntOf("musicenable") != 0 ? 1 : 0;
    rows.Check("Display sky", "skybox", IntOf("loadthesky") != 0,
               "Turn on or off rendering of the sky.  For slow computers turning this off can increase performance.",
               [](Primitive*, Primitive* box) {
                   SetInt("loadthesky", box->IsChecked() ? 1 : 0);
                   SetInt("showsky", IntOf("loadthesky"));
               });
    rows.Check("Display background", "backbox", IntOf("showback") != 0,
               "Turn on or off rendering of backgrounds.  For slow computers turning this off can increase "
               "performance.",
               [](Primitive*, Primitive* box) { SetInt("showback", box->IsChecked() ? 1 : 0); });
    rows.Check("Reverse wheelmouse", "wheelbox", IntOf("reverseWheel") != 0,
               "On: wheeldown=selectright      Off:wheeldown=selectleft",
               [](Primitive*, Primitive* box) { SetInt("reverseWheel", box->IsChecked() ? 1 : 0); });
    rows.Check("Touchscreen", "touchscreen", IntOf("touchscreen") == 1, "Enables touchscreen mode",
               [](Primitive*, Primitive* box) { SetInt("touchscreen", box->IsChecked() ? 1 : 0); });
    rows.Check("Center on Select", "center_on_select", IntOf("center_on_select") == 1,
               "Centers the flimb on screen when selected",
               [](Primitive*, Primitive* box) { SetInt("center_on_select", box->IsChecked() ? 1 : 0); });
    rows.Check("Follow Selected Flimb", "follow_selected", IntOf("follow_selected") == 1,
               "Follows the selected flimb",
               [](Primitive*, Primitive* box) { SetInt("follow_selected", box->IsChecked() ? 1 : 0); });

    // 17-24: screen and controls.
    e.NewColumn(DesignX(20.0f));
    rows.Check("Fullscreen", "fullC", !DXManager::IsWindowed(),
               "Render in fullscreen mode.  Better performance on most systems. (press backslash to toggle)",
               [](Primitive*, Primitive*) { DXManager::SetWindowed(!DXManager::IsWindowed(), false); });
    rows.Check("Particle effects", "savepart", IntOf("enableparticles") != 0, "Turns on/off non-interactive particles",
               [](Primitive*, Primitive* box) { SetInt("enableparticles", box->IsChecked() ? 1 : 0); });
    {
        SimpleLabel* beltLabel = rows.Caption("Use Belt", "use_belt");
        CheckBox* belt = e.AddCheckBox("use_belt", IntOf("use_belt") == 1);
        if (belt)
            belt->onChange = [](Primitive*, Primitive* box) { SetInt("use_belt", box->IsChecked() ? 1 : 0); };
        rows.Tip(belt, beltLabel,
                 TranslateText("Use the flimb action-belt to give commands (mouse gestures)",
                               "Use the flimb action-belt to give morphs"));
    }
    SimpleLabel* speedLabel = rows.Caption("Scroll Speed", "edge_scroll_speed");
    GraphicSliderBar* speed = rows.Slider(
        "edge_scroll_speed", float(IntOf("edge_scroll_speed")), 80.0f, 15.0f, TranslateText("Edge Scrolling Speed"),
        [](Primitive*, Primitive* slider) { SetInt("edge_scroll_speed", slider->GetIntValue()); }, false);
    rows.Tip(speedLabel, nullptr, TranslateText("Edge Scrolling Speed"));
    (void)speed;
    rows.Check("Positive Scroll", "positive_scroll", IntOf("positive_scroll") != 0,
               "Right click scroll in the same direction as the mouse", [](Primitive*, Primitive* box) {
                   SetInt("positive_scroll", box->IsChecked() ? 1 : 0);
                   const bool on = IntOf("positive_scroll") != 0;
                   ShowControl(box, "positive_scroll_scale", on);
                   if (OptionsMenu* menu = OptionsMenuOf(box))
                       if (Primitive* scale = menu->Control("positive_scroll_scale"))
                           if (ConsoleParam* variable = Variable("positive_scroll_scale"))
                               variable->SetFloat(SliderToScrollScale(scale->GetIntValue()));
               });
    const ConsoleParam* scrollScale = Variable("positive_scroll_scale");
    GraphicSliderBar* scale = rows.Slider(
        "positive_scroll_scale", float(ScrollScaleToSlider(scrollScale ? scrollScale->GetFloat() : 1.5f)), 95.0f,
        22.0f, TranslateText("Scrolling scaling factor"),
        [](Primitive*, Primitive* slider) {
            if (ConsoleParam* variable = Variable("positive_scroll_scale"))
                variable->SetFloat(SliderToScrollScale(slider->GetIntValue()));
        },
        true);
    if (scale)
        scale->visible = IntOf("positive_scroll") != 0 ? 1 : 0;
    rows.Check("Auto Orient", "auto_orient", IntOf("auto_orient") == 1,
               "Automatically orient the camera with the selected flimb",
               [](Primitive*, Primitive* box) { SetInt("auto_orient", box->IsChecked() ? 1 : 0); });
    rows.Check("Auto Pause", "auto_pause", IntOf("auto_pause") == 1,
               "Automatically pause a match if a player leaves.  They can reconnect and continue.",
               [](Primitive*, Primitive* box) { SetInt("auto_pause", box->IsChecked() ? 1 : 0); });

    // 25: the key binding window.
    e.AddGap(DesignY(10.0f));
    rows.Caption("Keyboard / Gamepad", "customize");
    if (TextButton* customize = e.AddButton(TranslateText("Customize input"), "Customize input", 0))
        customize->onClick = OpenKeyBindingWindow;
    e.FitContainer();
}

OptionsMenu* ShowOptionsMenu(CloseHandler returnCallback, bool fullMode)
{
    auto* menu = new OptionsMenu(fullMode);
    menu->closeHandler = std::move(returnCallback);
    menu->SetName(OptionsMenu::kName);
    return menu;
}

OptionsMenu* RebuildOptionsMenu(OptionsMenu* old)
{
    OptionsMenu* menu = ShowOptionsMenu(nullptr, true);
    if (old) {
        menu->closeHandler = old->closeHandler;
        menu->hAlign = old->hAlign;
        menu->vAlign = old->vAlign;
    }
    PlaceScreen(menu, 368.0f);
    DeactivateAllWindows();
    if (old)
        old->Deactivate();
    soundManager.PlayMusic("intro", true, false, 1.0f);
    PrimContainer* backdrop = FlimbsMenuTemplate::Show();
    backdrop->AddChild(menu);
    LogScreen(menu->name);
    return menu;
}

void ApplyOptions(Primitive*, Button* button)
{
    OptionsMenu* menu = OptionsMenuOf(button);
    if (!menu)
        return;
    bool closeMenu = true;
    const ConsoleParam* profile = Variable("profile");
    if (profile && profile->GetString() == PlayerProfile::kDefaultName) {
        const std::string name = FilterProfileName(TextOf("username"));
        if (name.empty() || ProfileFileExists(name)) {
            ShowMessageBox("Profile Exists", "Please choose another username");
            closeMenu = false;
        } else {
            CurrentProfile().Save(name);
            if (ConsoleParam* variable = Variable("profile"))
                variable->SetString(name);
        }
    }
    if (closeMenu) {
        menu->Close();
        WriteGlobalConfigNow();
    }
    ApplyLanguageChoice(menu);
    // The resolution's change tears every window down, the box of "Profile Exists" too:
    // it waits until the player has a name that is free.
    if (closeMenu)
        ApplyResolutionChoice(menu);
    if (MatchClientRunning())
        SendAvatarToMatch();
}

void ApplyLanguageChoice(OptionsMenu* menu)
{
    auto* combo = menu ? dynamic_cast<ComboBox*>(menu->Control("language")) : nullptr;
    if (!combo || !combo->GetPressed())
        return;
    const int index = combo->GetIntValue();
    if (index < 0 || index >= LanguageDatabase::GetLanguageCount())
        return;
    if (ConsoleParam* language = Variable("lang"))
        language->SetString(LanguageDatabase::GetLanguageCode(index));
}

void ApplyResolutionChoice(OptionsMenu* menu)
{
    auto* combo = menu ? dynamic_cast<ComboBox*>(menu->Control("screen")) : nullptr;
    if (!combo || !combo->GetPressed())
        return;
    platform::DisplaySize size;
    if (!ResolutionOfEntry(combo->GetIntValue(), platform::EnumerateDisplayModes(), size)) {
        WriteLog("Options: the chosen display mode is gone\n");
        return;
    }
    if (size.width != DXManager::screenWidth || size.height != DXManager::screenHeight) {
        WriteLog("Options: resolution %dx%d\n", size.width, size.height);
        DXManager::SetScreenSize(size.width, size.height);
    }
    DeactivateAllWindows();
    FitGameWindowToDesktop();
    ReloadFlimbMasterLevelList();
    ShowMainMenu(false);
}

void LoadDefaultOptions(Primitive*, Button* button)
{
    OptionsMenu* menu = OptionsMenuOf(button);
    CurrentProfile().LoadDefaults(PlayerProfile::kDefaultSettings);
    CurrentProfile().LoadDefaults(PlayerProfile::kDefaultBindings);
    if (menu)
        RebuildOptionsMenu(menu);
}
