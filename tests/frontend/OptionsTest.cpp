// The options menu: the resolution list, the controls that act at once, the reduced mode,
// "Okay" with its "Profile Exists" box, and "Load Defaults".
#include "FrontEndFixture.h"

#include "app/LanguageTexts.h"
#include "frontend/menus/MainMenu.h"
#include "frontend/options/OptionsMenu.h"
#include "frontend/options/ResolutionList.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/FlimbsMessageBox.h"
#include "gui/ScreenImage.h"
#include "gui/SliderBar.h"
#include "gui/UiScale.h"

namespace {

using platform::DisplayModeInfo;

std::vector<std::string> Captions(const ResolutionList& list)
{
    std::vector<std::string> captions;
    for (const ResolutionEntry& entry : list.entries)
        captions.push_back(entry.caption);
    return captions;
}

TEST(ResolutionListTest, ListsWideThirtyTwoBitModesOncePerSize)
{
    const std::vector<DisplayModeInfo> modes = {
        {1680, 1050, 32, 60}, {1680, 1050, 32, 75}, // two refresh rates: one entry
        {1280, 1024, 32, 60},                        // 5:4 is too narrow
        {1280, 720, 32, 60},  {1280, 720, 16, 60},   // 16 bits left out
        {640, 400, 32, 60},                          // lower than 480
        {1024, 768, 32, 60},  {1366, 768, 32, 60},
    };
    const ResolutionList at169 = BuildResolutionList(modes, {1920, 1080}, {1280, 720});
    EXPECT_EQ(Captions(at169), (std::vector<std::string>{"1680x1050 16:10", "1280x720 16:9 **", "1024x768 4:3",
                                                         "1366x768 683:384 **"})) << "within 0.01 of the ratio";
    EXPECT_EQ(at169.entries[0].data, 0) << "the first mode of a size";
    EXPECT_EQ(at169.entries[1].data, 3);
    EXPECT_EQ(at169.selected, 1) << "the current size";

    const ResolutionList at1610 = BuildResolutionList(modes, {1920, 1200}, {800, 600});
    EXPECT_EQ(at1610.entries[0].caption, "1680x1050 16:10 **");
    EXPECT_EQ(at1610.selected, 0) << "no entry of the current size: the first";

    const ResolutionList none = BuildResolutionList({{1280, 1024, 32, 60}}, {1280, 1024}, {1280, 1024});
    ASSERT_EQ(none.entries.size(), 1u);
    EXPECT_EQ(none.entries[0].caption, "1024x768");
    EXPECT_EQ(none.entries[0].data, -1);
    EXPECT_EQ(none.selected, 0);

    platform::DisplaySize size;
    EXPECT_TRUE(ResolutionOfEntry(-1, modes, size));
    EXPECT_EQ(size, (platform::DisplaySize{1024, 768}));
    EXPECT_TRUE(ResolutionOfEntry(3, modes, size));
    EXPECT_EQ(size, (platform::DisplaySize{1280, 720}));
    EXPECT_FALSE(ResolutionOfEntry(42, modes, size)) << "a mode that went away";
}

TEST(ScrollScaleSliderTest, SquareRootScale)
{
    struct Case {
        float scale;
        int slider;
    };
    for (const Case c : {Case{1.5f, 39}, Case{0.484f, 22}, Case{9.025f, 95}, Case{0.0f, 22}, Case{50.0f, 95}})
        EXPECT_EQ(ScrollScaleToSlider(c.scale), c.slider) << c.scale;
    EXPECT_FLOAT_EQ(SliderToScrollScale(22), 0.484f);
    EXPECT_FLOAT_EQ(SliderToScrollScale(95), 9.025f);
    EXPECT_FLOAT_EQ(SliderToScrollScale(39), 1.521f);
}

class OptionsTest : public FrontEndFixture {
protected:
    static OptionsMenu* OpenOptions();
};

OptionsMenu* OptionsTest::OpenOptions()
{
    ShowMainMenu(false);
    Step(16);
    auto* button = dynamic_cast<Button*>(FindOpenWindow("Options"));
    if (!button)
        return nullptr;
    button->onClick(button->parent, button);
    return dynamic_cast<OptionsMenu*>(FindOpenWindow(OptionsMenu::kName));
}

TEST_F(OptionsTest, FullAndReducedModes)
{
    MakeProfile("Ann", true);
    OptionsMenu* full = OpenOptions();
    ASSERT_NE(full, nullptr);
    EXPECT_NEAR(full->GetPositionVirtual().y, 368.0f, 0.5f);
    for (const char* name : {"pros", "username", "passwordtext", "language", "screen", "avatar_img", "New", "soundbox",
                             "soundlevel", "musicbox", "skybox", "backbox", "wheelbox", "touchscreen", "center_on_select",
                             "follow_selected", "fullC", "savepart", "use_belt", "edge_scroll_speed", "positive_scroll",
                             "positive_scroll_scale", "auto_orient", "auto_pause", "Customize input", "Okay",
                             "Load Defaults"})
        EXPECT_NE(full->Control(name), nullptr) << name;
    EXPECT_NEAR(full->AvatarImage()->GetSizeVirtual().x, Primitive::ToVirtualX(106.0f * GetUiScale()), 0.1f);

    auto* reduced = ShowOptionsMenu(nullptr, false);
    OpenWindow(reduced, true);
    for (const char* name : {"pros", "New", "Edit", "Load Defaults"})
        EXPECT_EQ(reduced->Control(name), nullptr) << name;
    EXPECT_EQ(reduced->AvatarEditButton(), nullptr);
    EXPECT_NEAR(reduced->AvatarImage()->GetSizeVirtual().x, Primitive::ToVirtualX(64.0f * GetUiScale()), 0.1f);
    EXPECT_EQ(reduced->name, "options_menu");
}

TEST_F(OptionsTest, ControlsAssignTheirVariablesAtOnce)
{
    MakeProfile("Ann", true);
    SetVariable("soundenable", "1");
    SetVariable("positive_scroll", "0");
    SetVariable("positive_scroll_scale", "1.5");
    OptionsMenu* menu = OpenOptions();
    ASSERT_NE(menu, nullptr);
    const auto check = [&](const char* name) { return dynamic_cast<CheckBox*>(menu->Control(name)); };
    const auto slider = [&](const char* name) { return dynamic_cast<GraphicSliderBar*>(menu->Control(name)); };

    EXPECT_EQ(slider("positive_scroll_scale")->GetIntValue(), 39);
    EXPECT_EQ(slider("positive_scroll_scale")->visible, 0) << "hidden while positive_scroll is off";

    check("soundbox")->SetChecked(false, true, true);
    EXPECT_EQ(Variable("soundenable"), "0");
    EXPECT_EQ(slider("soundlevel")->visible, 0) << "turning sounds off hides the volume";
    check("soundbox")->SetChecked(true, true, true);
    EXPECT_EQ(slider("soundlevel")->visible, 1);

    check("skybox")->SetChecked(false, true, true);
    EXPECT_EQ(Variable("loadthesky"), "0");
    EXPECT_EQ(Variable("showsky"), "0");

    check("positive_scroll")->SetChecked(true, true, true);
    EXPECT_EQ(slider("positive_scroll_scale")->visible, 1);
    for (const auto& [value, stored] : {std::pair{22, "0.4840"}, std::pair{95, "9.0250"}}) {
        slider("positive_scroll_scale")->SetValue(float(value), true);
        EXPECT_EQ(Variable("positive_scroll_scale"), stored);
    }
    slider("edge_scroll_speed")->SetValue(100.0f, true);
    EXPECT_EQ(Variable("edge_scroll_speed"), "80") << "the slider's range";
    check("touchscreen")->SetChecked(true, true, true);
    EXPECT_EQ(Variable("touchscreen"), "1");
    SetVariable("touchscreen", "0");
}

TEST_F(OptionsTest, OkayOnTheDefaultProfileWithATakenNameKeepsTheWindowAndTheBox)
{
    MakeProfile("Ann", false);
    SetVariable("profile", PlayerProfile::kDefaultName);
    SetVariable("username", "Ann!");
    LanguageDatabase::LoadSpecification();
    LanguageDatabase::SetLanguage("en");
    // Past the new-user prompt: the options over the backdrop.
    OptionsMenu* menu = ShowOptionsMenu(ReturnToMainMenuOnClose, true);
    FlimbsMenuTemplate::AddScreen(nullptr, menu);
    auto* screen = dynamic_cast<ComboBox*>(menu->Control("screen"));
    auto* language = dynamic_cast<ComboBox*>(menu->Control("language"));
    ASSERT_TRUE(screen && language);
    screen->SetSelection(screen->GetSelection(), true); // marked as chosen: would rebuild every window
    language->SetSelection(language->FindItem("German"), true);
    ASSERT_TRUE(language->GetPressed());
    Press("Okay");
    Step(16);
    EXPECT_NE(Find(OptionsMenu::kName), nullptr) << "the window stays";
    EXPECT_NE(dynamic_cast<FlimbsMessageBox*>(OpenWindows().front()), nullptr) << "with the box in front";
    EXPECT_EQ(dynamic_cast<FlimbsMessageBox*>(OpenWindows().front())->Text(), "Please choose another username");
    EXPECT_EQ(Variable("profile"), PlayerProfile::kDefaultName) << "nothing saved";
    EXPECT_EQ(Variable("lang"), "de") << "the language is still applied";
    EXPECT_EQ(Find(MainMenu::kName), nullptr) << "the resolution's teardown waits";
    SetVariable("lang", "en");
    LanguageDatabase::Reset();
}

TEST_F(OptionsTest, OkayMakesTheProfileAndAResolutionChoiceReturnsToTheMainMenu)
{
    SetVariable("username", "Eve 2");
    OptionsMenu* menu = ShowOptionsMenu(ReturnToMainMenuOnClose, true);
    FlimbsMenuTemplate::AddScreen(nullptr, menu);
    auto* screen = dynamic_cast<ComboBox*>(menu->Control("screen"));
    ASSERT_NE(screen, nullptr);
    screen->SetSelection(screen->GetSelection(), true); // the current size chosen again
    Press("Okay");
    Step(16);
    EXPECT_EQ(Variable("profile"), "Eve2");
    EXPECT_TRUE(std::filesystem::exists(GetUserPath("Profiles\\Eve2.xml")));
    EXPECT_TRUE(std::filesystem::exists(GetUserPath("Cache\\Settings\\global_config.xml")));
    EXPECT_EQ(Find(OptionsMenu::kName), nullptr);
    EXPECT_NE(Find(MainMenu::kName), nullptr) << "the same size still rebuilds and lands on the main menu";
}

TEST_F(OptionsTest, LoadDefaultsPutsTheDefaultSettingsBackAndRebuilds)
{
    MakeProfile("Ann", true);
    SetVariable("edge_scroll_speed", "70");
    SetVariable("auto_pause", "0");
    OptionsMenu* menu = OpenOptions();
    ASSERT_NE(menu, nullptr);
    const std::string saved = ReadText(GetUserPath("Profiles\\Ann.xml"));
    Press("Load Defaults");
    Step(16);
    EXPECT_EQ(Variable("edge_scroll_speed"), "30");
    EXPECT_EQ(Variable("auto_pause"), "1");
    auto* rebuilt = dynamic_cast<OptionsMenu*>(Find(OptionsMenu::kName));
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_NE(rebuilt, menu);
    EXPECT_EQ(dynamic_cast<GraphicSliderBar*>(rebuilt->Control("edge_scroll_speed"))->GetIntValue(), 30);
    EXPECT_EQ(ReadText(GetUserPath("Profiles\\Ann.xml")), saved) << "nothing reaches the disk before Okay";
}

} // namespace
