// The new-user prompt and the profile and account rows of the options.
#include "FrontEndFixture.h"

#include "app/Md5.h"
#include "frontend/menus/MainMenu.h"
#include "frontend/menus/PromptForNewUser.h"
#include "frontend/options/OptionsMenu.h"
#include "frontend/options/ProfileOptions.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/WindowList.h"
#include "media/ButtonPresses.h"
#include "platform/input/ScanCodes.h"

namespace {

using ProfilesTest = FrontEndFixture;

const std::string kEmptyDigest = "d41d8cd98f00b204e9800998ecf8427e";

EditBox* Box(const std::string& name)
{
    return dynamic_cast<EditBox*>(FindOpenWindow(name));
}

void Type(const std::string& box, const std::string& text)
{
    ASSERT_NE(Box(box), nullptr) << box;
    Box(box)->SetText(text);
}

TEST_F(ProfilesTest, ProceedMakesAProfileFromTheTypedNameAndThePasswordsDigest)
{
    struct Case {
        std::string typed;
        std::string password;
        std::string profile; // empty: nothing happens
    };
    const Case cases[] = {
        {"Ann Lee!", "secret", "AnnLee"}, // punctuation and blanks dropped
        {"Bo", "", "Bo"},                 // an empty password stores the digest of ""
        {"", "x", ""},                    // an empty name leaves the prompt open
        {"!?-", "x", ""},                 // no letter or digit either
        {"default-profile", "", "defaultprofile"},
        {"../../etc", "", "etc"},         // names stay in Profiles\ .
    };
    for (const Case& c : cases) {
        CloseAllWindows();
        SetVariable("profile", PlayerProfile::kDefaultName);
        ShowMainMenu(false);
        Type("profile", c.typed);
        Type("password", c.password);
        Press("proceed");
        Step(16);
        if (c.profile.empty()) {
            EXPECT_NE(Find(PromptForNewUser::kName), nullptr) << c.typed;
            EXPECT_EQ(Variable("profile"), PlayerProfile::kDefaultName);
            continue;
        }
        EXPECT_EQ(Variable("profile"), c.profile) << c.typed;
        EXPECT_EQ(Variable("username"), c.profile);
        EXPECT_EQ(Variable("password"), Md5Hex(c.password));
        EXPECT_TRUE(std::filesystem::exists(GetUserPath("Profiles\\" + c.profile + ".xml")));
        EXPECT_NE(Find(MainMenu::kName), nullptr) << "the main menu on a fresh backdrop";
        EXPECT_EQ(Find(PromptForNewUser::kName), nullptr);
    }
    EXPECT_EQ(Md5Hex(""), kEmptyDigest);
    EXPECT_FALSE(std::filesystem::exists(GetUserPath("Profiles\\default-profile.xml")));
}

TEST_F(ProfilesTest, AnExistingNameLoadsThatProfileAndKeepsItsDigest)
{
    MakeProfile("Cy", false);
    CurrentProfile().Load("Cy");
    SetVariable("password", "0123456789abcdef0123456789abcdef");
    CurrentProfile().Save("Cy");
    SetVariable("profile", PlayerProfile::kDefaultName);
    SetVariable("password", "");
    ShowMainMenu(false);
    Type("profile", "Cy");
    Type("password", "another");
    RouteKeyToGui(0x80, 28, false, kbManager); // Enter proceeds
    RouteKeyToGui(0, 28, false, kbManager);
    Step(16);
    EXPECT_EQ(Variable("profile"), "Cy");
    EXPECT_EQ(Variable("password"), "0123456789abcdef0123456789abcdef");
    EXPECT_NE(ReadText(GetUserPath("Profiles\\Cy.xml")).find("0123456789abcdef0123456789abcdef"), std::string::npos);
}

TEST_F(ProfilesTest, ADamagedProfileShowsTheDefaultsAndIsLeftAlone)
{
    const std::string file = GetUserPath("Profiles\\Broken.xml");
    WriteText(file, "<flimbs-profile><settings><edge_scroll_speed>77</edge");
    SetVariable("edge_scroll_speed", "55");
    SetVariable("profile", "Broken");
    ShowMainMenu(false);
    Steps(3, 16); // the main menu's first update saves the profile with the configuration
    EXPECT_NE(Find(MainMenu::kName), nullptr) << "its file exists: the main menu";
    EXPECT_EQ(Variable("edge_scroll_speed"), "30") << "the defaults are in use";
    EXPECT_EQ(ReadText(file), "<flimbs-profile><settings><edge_scroll_speed>77</edge") << "untouched";
    EXPECT_TRUE(std::filesystem::exists(GetUserPath("Cache\\Settings\\global_config.xml")));
}

TEST_F(ProfilesTest, TheLeaveButtonQuitsForTheFirstProfileAndCancelsOtherwise)
{
    ShowMainMenu(false);
    auto* prompt = dynamic_cast<PromptForNewUser*>(Find(PromptForNewUser::kName));
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->LeaveButton()->GetText(), "Quit");
    Press("leave_button");
    EXPECT_TRUE(platform::QuitRequested());
    platform::ClearQuitRequest();

    MakeProfile("Di", true);
    CloseAllWindows();
    auto* another = ShowPromptForNewUser(); // the options' <New>
    FlimbsMenuTemplate::AddScreen(nullptr, another);
    EXPECT_EQ(another->LeaveButton()->GetText(), "Cancel");
    Press("leave_button");
    Step(16);
    EXPECT_FALSE(platform::QuitRequested());
    EXPECT_NE(Find(MainMenu::kName), nullptr) << "back to the menu, nothing made";
    EXPECT_EQ(Variable("profile"), "Di");
}

TEST_F(ProfilesTest, TheProfileListSkipsTheExactDefaultFileAndSelectsIgnoringCase)
{
    struct Case {
        std::vector<std::string> files;
        std::string current;
        std::vector<std::string> captions;
        int selected;
    };
    const Case cases[] = {
        {{"default-profile.xml"}, "default-profile", {"<New>"}, -1},
        {{"Default-Profile.xml", "default-profile.xml"}, "default-profile", {"Default-Profile", "<New>"}, 0},
        {{"Ann.xml", "bo.xml"}, "BO", {"Ann", "bo", "<New>"}, 1},
        {{"Ann Lee.xml", "x.xml"}, "x", {"x", "<New>"}, 0}, // not a profile's name: left out
    };
    for (const Case& c : cases) {
        int selected = -2;
        std::vector<std::string> captions;
        std::vector<int> data;
        for (const ProfileChoice& choice : BuildProfileList(c.files, c.current, selected)) {
            captions.push_back(choice.caption);
            data.push_back(choice.data);
        }
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(selected, c.selected);
        EXPECT_EQ(data.back(), 1) << "<New> carries 1";
    }
    // The options list the user folder's profiles.
    MakeProfile("Ann", true);
    MakeProfile("Bo", false);
    SetVariable("profile", "Ann");
    const std::vector<std::string> files = ListProfileFiles();
    EXPECT_NE(std::find(files.begin(), files.end(), "Ann.xml"), files.end());
    EXPECT_NE(std::find(files.begin(), files.end(), "Bo.xml"), files.end());
}

TEST_F(ProfilesTest, ChoosingAProfileRebuildsTheOptionsAndNewOpensThePrompt)
{
    MakeProfile("Ann", false);
    MakeProfile("Bo", true);
    ShowMainMenu(false);
    Step(16);
    Press("Options");
    auto* profiles = dynamic_cast<ComboBox*>(Find("pros"));
    ASSERT_NE(profiles, nullptr);
    EXPECT_EQ(profiles->GetText(), "Bo");
    profiles->SetSelection(profiles->FindItem("Ann"), true);
    Step(16);
    EXPECT_EQ(Variable("profile"), "Ann");
    auto* rebuilt = dynamic_cast<ComboBox*>(Find("pros"));
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_NE(rebuilt, profiles) << "a new menu";
    EXPECT_EQ(rebuilt->GetText(), "Ann");
    EXPECT_TRUE(dynamic_cast<PrimContainer*>(Find(OptionsMenu::kName))->closeHandler) << "the way back survives";

    rebuilt->SetSelection(rebuilt->GetCount() - 1, true);
    Step(16);
    EXPECT_EQ(Find(OptionsMenu::kName), nullptr);
    EXPECT_NE(Find(PromptForNewUser::kName), nullptr);
}

TEST_F(ProfilesTest, NameAndPasswordBoxesTakeEffectWhenTheyLoseTheFocus)
{
    MakeProfile("Ann", true);
    SetVariable("username", "Ann");
    SetVariable("password", Md5Hex("old"));
    ShowMainMenu(false);
    Step(16);
    Press("Options");
    EditBox* name = Box("username");
    EditBox* password = Box("passwordtext");
    ASSERT_TRUE(name && password);
    EXPECT_EQ(password->password, 1);
    EXPECT_EQ(password->GetText(), Md5Hex("old")) << "the box holds the stored digest, masked";

    name->SetText("Annie");
    name->TakeFocus();
    password->TakeFocus(); // the name box loses the focus
    EXPECT_EQ(Variable("username"), "Annie");

    // Into the password box and out without typing: the stored digest stays.
    name->TakeFocus();
    EXPECT_EQ(Variable("password"), Md5Hex("old"));
    // Emptied: the digest of the empty text, not an empty password.
    password->SetText("");
    password->TakeFocus();
    name->TakeFocus();
    EXPECT_EQ(Variable("password"), kEmptyDigest);
    EXPECT_EQ(password->GetText(), kEmptyDigest) << "the box keeps the digest, never the password";
    password->SetText("hunter2");
    password->TakeFocus();
    name->TakeFocus();
    EXPECT_EQ(Variable("password"), Md5Hex("hunter2"));
}

} // namespace

namespace {

constexpr int kScanN = 49;

// Keys as the keyboard manager hands them to the GUI (press and release).
void TypeKeys(const std::vector<int>& codes)
{
    for (int code : codes) {
        DispatchButtonEvent(0x80, code, false, kbManager);
        DispatchButtonEvent(0, code, false, kbManager);
    }
}

// The typed name shows in its box, Backspace takes a letter back, and the password box
// starts empty. Leaves build/typed-name.png: the prompt with "Anna" typed and one letter
// taken back ("Ann").
TEST_F(ProfilesTest, TypedNameIsShownInItsBoxAndBackspaceTakesALetterBack)
{
    InstallGuiInputRouting();
    SetVariable("profile", PlayerProfile::kDefaultName);
    ShowMainMenu(false);
    Steps(120, 16); // the prompt slides in
    EditBox* name = Box("profile");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(GetKeyboardFocus(), static_cast<Primitive*>(name)) << "the name box has the focus";
    EXPECT_EQ(Box("password")->GetText(), "") << "the password box starts empty";
    const std::string blank = [&] {
        DrawFrameLikeTheGame();
        std::string row;
        for (int x = int(name->rect.left); x < int(name->rect.right); ++x)
            row += char(Pixel(x, int((name->rect.top + name->rect.bottom) / 2)) & 0xFF);
        return row;
    }();
    TypeKeys({kKeyA, kScanN, kScanN, kKeyA, kKeyBackspace});
    Step(16);
    EXPECT_EQ(name->GetText(), "ann");
    EXPECT_EQ(Box("password")->GetText(), "");
    // The box lies inside the form, clear of the other widgets, and shows the letters.
    EXPECT_GT(name->rect.bottom - name->rect.top, 8.0f);
    auto* password = Box("password");
    EXPECT_TRUE(name->rect.bottom <= password->rect.top || password->rect.bottom <= name->rect.top)
        << "the name and password boxes do not overlap";
    DrawFrameLikeTheGame();
    int changed = 0;
    const int y = int((name->rect.top + name->rect.bottom) / 2);
    for (int x = int(name->rect.left); x < int(name->rect.right); ++x)
        changed += char(Pixel(x, y) & 0xFF) != blank[size_t(x - int(name->rect.left))] ? 1 : 0;
    EXPECT_GT(changed, 6) << "the typed letters are drawn in the box";
    WritePicture("typed-name.png", 1280, 720);
    RemoveGuiInputRouting();
}

} // namespace
