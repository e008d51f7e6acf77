// The main and extras menus, the intro, the credits, the quit menu and movie mode.
#include "FrontEndFixture.h"

#include "app/ConsoleSettings.h"
#include "app/GameClock.h"
#include "app/Log.h"
#include "app/UserFolders.h"
#include "frontend/FrontEndServices.h"
#include "frontend/menus/Credits.h"
#include "frontend/menus/IntroWindow.h"
#include "frontend/menus/MainMenu.h"
#include "frontend/menus/PromptForNewUser.h"
#include "frontend/menus/QuitMenu.h"
#include "gui/Animators.h"
#include "gui/FlimbsMenuBar.h"
#include "gui/FlimbsWindow.h"
#include "gui/ScreenVideo.h"
#include "gui/ToolTip.h"
#include "media/MSManager.h"

#include <cstdlib>

namespace {

using MenusTest = FrontEndFixture;

std::string ConfigFile()
{
    return GetUserPath("Cache\\Settings\\global_config.xml");
}

// The menu bar used as the title of a screen.
FlimbsMenuBar* TitleOf(Primitive* screen)
{
    auto* container = dynamic_cast<Container<Primitive>*>(screen);
    for (Primitive* child : container->Children())
        if (auto* title = dynamic_cast<FlimbsMenuBar*>(child))
            return title;
    return nullptr;
}

TEST_F(MenusTest, MainMenuTitleRowsAndFirstUpdate)
{
    MakeProfile("Ann", true);
    SetVariable("demigod", "1");
    for (const char* name : {"", "Ann"}) {
        SetVariable("username", name);
        std::filesystem::remove(ConfigFile());
        CloseAllWindows();
        ShowMainMenu(false);
        auto* menu = dynamic_cast<MainMenu*>(Find(MainMenu::kName));
        ASSERT_NE(menu, nullptr);
        ASSERT_NE(TitleOf(menu), nullptr);
        // The session's filter gives an empty name one of its own.
        EXPECT_EQ(TitleOf(menu)->GetText(), "Welcome " + Variable("username"));
        EXPECT_NE(Variable("username"), "");
        EXPECT_EQ(Variable("demigod"), "0");
        EXPECT_FALSE(menu->FirstUpdateDone());
        EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
        Step(16);
        EXPECT_TRUE(menu->FirstUpdateDone());
        EXPECT_NE(ReadText(ConfigFile()).find("<last-profile>Ann</last-profile>"), std::string::npos);
    }
    // Five rows, each an icon and a captioned plate with the row's tip.
    for (const char* caption : {"Pilgrimage", "Tournaments", "Extras", "Options", "Quit"})
        EXPECT_NE(Find(caption), nullptr) << caption;
    for (int i = 0; i < kMenuRowCount; ++i)
        EXPECT_NE(Find("icon_" + std::to_string(i)), nullptr);
}

TEST_F(MenusTest, ExtrasRowsBackAndTheCreditsRowWithoutATip)
{
    MakeProfile("Ann", true);
    ShowMainMenu(false);
    Step(16);
    Press("Extras");
    Step(16);
    Primitive* extras = Find("Extra Menu");
    ASSERT_NE(extras, nullptr);
    EXPECT_EQ(Find(MainMenu::kName), nullptr) << "the row closed the main menu";
    for (const char* caption : {"Level Editor", "Flimbs Player", "Package Creator", "Package Installer", "Credits"})
        EXPECT_NE(Find(caption), nullptr) << caption;
    // The Credits row has no tip on either of its buttons; the others have theirs.
    auto* block = dynamic_cast<FlimbsWindow2*>(Find("Credits")->parent);
    ASSERT_NE(block, nullptr);
    ToolTip* tips = nullptr;
    for (Primitive* child : block->Children())
        if (auto* tip = dynamic_cast<ToolTip*>(child))
            tips = tip;
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(tips->TipFor(Find("Credits")), "");
    EXPECT_EQ(tips->TipFor(Find("icon_4")), "");
    EXPECT_EQ(tips->TipFor(Find("Level Editor")), "Create new maps or edit existing ones");

    // Rows whose screens are not there yet keep the player in the extras.
    Press("Level Editor");
    Step(16);
    EXPECT_NE(Find("Extra Menu"), nullptr);

    Press("back_button");
    Step(16);
    EXPECT_EQ(Find("Extra Menu"), nullptr);
    EXPECT_NE(Find(MainMenu::kName), nullptr) << "Back returns to the main menu";
}

TEST_F(MenusTest, CreditsFromTheExtrasGiveTheExtrasBackWhenClosed)
{
    MakeProfile("Ann", true);
    ShowMainMenu(false);
    Step(16);
    Press("Extras");
    Step(16);
    Press("Credits");
    Primitive* extras = Find("Extra Menu");
    ASSERT_NE(extras, nullptr);
    EXPECT_EQ(extras->enabled, 0) << "the extras ignore input under the credits";
    auto* credits = dynamic_cast<CreditsWindow*>(Find("CreditsWindow"));
    ASSERT_NE(credits, nullptr);
    PressKey(57);
    Step(16);
    EXPECT_EQ(Find("CreditsWindow"), nullptr);
    EXPECT_EQ(extras->enabled, 1);
    EXPECT_FALSE(platform::QuitRequested());
}

TEST_F(MenusTest, CreditsStartBelowTheViewScrollAndStopNearTheirEndAtEveryHeight)
{
    for (const auto& [width, height] : {std::pair{1280, 720}, std::pair{800, 600}, std::pair{1024, 1024}}) {
        DXManager::Shutdown();
        StartScreen(width, height);
        auto* credits = ShowCredits();
        OpenWindow(credits, true);
        CreditsScroller* scroller = credits->Scroller();
        const float viewHeight = scroller->rect.bottom - scroller->rect.top;
        EXPECT_LT(scroller->scrollY, -viewHeight + float(height) * 0.02f) << "the list starts below the view";
        float last = scroller->scrollY;
        Step(1000);
        EXPECT_NEAR(scroller->scrollY - last, float(height) * 0.035f, 0.5f) << "3.5 % of the height a second";
        Steps(400, 100);
        EXPECT_FLOAT_EQ(scroller->scrollY, credits->StopOffset()) << width << "x" << height;
        // Stopped with the end of the list in the upper quarter of the view, in pixels.
        EXPECT_NEAR(scroller->contentHeight - scroller->scrollY, viewHeight * 0.25f, 1.0f);
        Step(100);
        EXPECT_FLOAT_EQ(scroller->scrollY, credits->StopOffset()) << "it stays";
        CloseAllWindows();
    }
}

TEST_F(MenusTest, QuitMenuHasTwoButtonsFromTheMenuThreeInAGame)
{
    MakeProfile("Ann", true);
    ShowMainMenu(false);
    Step(16);
    Press("Quit");
    auto* quit = dynamic_cast<QuitGameMenu*>(Find(QuitGameMenu::kName));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->ButtonCount(), 2);
    EXPECT_EQ(Find("quit_to_main_menu"), nullptr);
    EXPECT_NE(quit->parent, nullptr) << "in the backdrop";
    // "No Way!" (any key) goes back to the main menu.
    PressKey(57);
    Step(16);
    EXPECT_EQ(Find(QuitGameMenu::kName), nullptr);
    EXPECT_NE(Find(MainMenu::kName), nullptr);

    // The key action: three buttons over whatever is shown, once.
    ShowQuitMenuInGame();
    ShowQuitMenuInGame();
    quit = dynamic_cast<QuitGameMenu*>(Find(QuitGameMenu::kName));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->ButtonCount(), 3);
    EXPECT_EQ(OpenWindows().front(), quit);
    // A press outside closes it and the menus stay as they were.
    RouteLeftButton(kPhaseDown, now_, 5, 5);
    RouteLeftButton(kPhaseUp, now_, 5, 5);
    Step(16);
    EXPECT_EQ(Find(QuitGameMenu::kName), nullptr);
    EXPECT_NE(Find(MainMenu::kName), nullptr);
}

TEST_F(MenusTest, QuittingWritesTheConfigurationBeforeTheCreditsWhoseCloseEndsTheProgram)
{
    MakeProfile("Ann", true);
    auto* game = new PrimContainer;
    game->SetName("FLIMBS_HUD");
    OpenWindow(game, true);
    ShowQuitMenuInGame();
    std::filesystem::remove(ConfigFile());
    Press("quit_game");
    EXPECT_TRUE(std::filesystem::exists(ConfigFile())) << "written before the credits show";
    Primitive* credits = Find("CreditsWindow");
    ASSERT_NE(credits, nullptr);
    EXPECT_EQ(Find("FLIMBS_HUD"), nullptr) << "the backdrop with the credits is the only window";
    Step(16);
    EXPECT_EQ(OpenWindows().size(), 1u);
    EXPECT_FALSE(platform::QuitRequested());
    PressKey(57);
    EXPECT_TRUE(platform::QuitRequested()) << "closing the credits ends the program";
}

TEST_F(MenusTest, QuitToMainMenuLeavesTheGame)
{
    MakeProfile("Ann", true);
    auto* game = new PrimContainer;
    game->SetName("FLIMBS_HUD");
    OpenWindow(game, true);
    ShowQuitMenuInGame();
    Press("quit_to_main_menu");
    Step(16);
    EXPECT_EQ(Find("FLIMBS_HUD"), nullptr);
    EXPECT_NE(Find(MainMenu::kName), nullptr);
}

TEST_F(MenusTest, MovieModeOneAndTwoLeaveAGameForTheFrontEnd)
{
    MakeProfile("Ann", true);
    struct Case {
        int value;
        bool leavesGame;
        int clockMode;
        InputMode input;
        bool capture;
    };
    for (const Case c : {Case{1, true, GameClock::kFixedStep, InputMode::Record, false},
                         Case{2, true, GameClock::kFixedStep, InputMode::Playback, true},
                         Case{3, false, GameClock::kFixedStep, InputMode::Off, true},
                         Case{0, false, GameClock::kRealTime, InputMode::Off, false}}) {
        CloseAllWindows();
        auto* game = new PrimContainer;
        game->SetName("FLIMBS_HUD");
        OpenWindow(game, true);
        MovieModeParam().SetInt(c.value);
        EXPECT_EQ(Find("FLIMBS_HUD") == nullptr, c.leavesGame) << c.value;
        EXPECT_EQ(Find(MainMenu::kName) != nullptr, c.leavesGame) << c.value;
        EXPECT_EQ(gameClock.mode, c.clockMode) << c.value;
        EXPECT_EQ(kbManager.Mode(), c.input) << c.value;
        EXPECT_EQ(msManager.Mode(), c.input) << c.value;
        EXPECT_EQ(DXManager::IsMovieRecording(), c.capture) << c.value;
    }
    kbManager.SetMode(InputMode::Off);
    msManager.SetMode(InputMode::Off);
}

TEST_F(MenusTest, IntroPlaysItsClipThenThePartnerLogosThenTheMenus)
{
    ShowIntro();
    auto* intro = dynamic_cast<IntroWindow*>(Find(IntroWindow::kName));
    ASSERT_NE(intro, nullptr);
    ASSERT_NE(intro->Video(), nullptr) << "the generated clip loads";
    EXPECT_EQ(intro->StillLogo(), nullptr);
    const int64_t duration = intro->Video()->GetDuration();
    ASSERT_GT(duration, IntroWindow::kFadeLead);
    // The fade starts 1.2 s before the end.
    while (!intro->FadeStarted() && intro->Video()->GetPosition() < duration)
        Step(50);
    EXPECT_GE(intro->Video()->GetPosition(), duration - IntroWindow::kFadeLead);
    EXPECT_LT(intro->Video()->GetPosition(), duration - IntroWindow::kFadeLead + 600000);
    Steps(25, 50); // the fade-out of 1 s
    EXPECT_NE(Find("PartnerLogos"), nullptr);
    Steps(85, 50); // the logos' 4 s
    Step(16);
    EXPECT_EQ(Find(IntroWindow::kName), nullptr);
    EXPECT_NE(Find(PromptForNewUser::kName), nullptr) << "a new player is asked for a name";
}

TEST_F(MenusTest, AKeyOrAClickSkipsTheIntroAtAnyMoment)
{
    for (int way = 0; way < 3; ++way) {
        CloseAllWindows();
        ShowIntro();
        Steps(way * 40, 50);
        if (way == 1) {
            RouteLeftButton(kPhaseDown, now_, 600, 300);
            RouteLeftButton(kPhaseUp, now_, 600, 300);
        } else {
            PressKey(way == 0 ? 57 : 0x58);
        }
        Step(16);
        EXPECT_EQ(Find(IntroWindow::kName), nullptr) << way;
        EXPECT_NE(Find(PromptForNewUser::kName), nullptr) << way;
    }
}

TEST_F(MenusTest, WithoutTheClipTheStillLogoFadesAndAShortClipFadesAtOnce)
{
    // A clip of 0.6 s made by the video generator.
    const std::string folder = GetUserPath("Cache\\Data") + "/shortclip";
    std::filesystem::create_directories(folder);
    WriteText(folder + "/clips.xml", "<clips><clip name=\"short.ogv\" width=\"64\" height=\"36\" fps=\"10\" "
                                     "look=\"company-intro\" colour=\"#3b5bdb\" seconds=\"0.6\"/></clips>");
    const std::string command = std::string(FLIMBS_GAME_DIR) + "/Bin/videogen " + folder + "/clips.xml " + folder;
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string shortClip = ReadText(folder + "/short.ogv");
    ASSERT_FALSE(shortClip.empty());

    for (const bool withShortClip : {false, true}) {
        CloseAllWindows();
        // Only the archive and memory: the game folder's clip is gone.
        manager_ = std::make_unique<FileManager>();
        manager_->AddMember(std::make_unique<ResourceFileManager>(std::string(FLIMBS_GAME_DIR) + "/Data/resource.dat"));
        auto memory = std::make_unique<MemoryFileManager>();
        if (withShortClip)
            memory->AddFile(IntroWindow::kVideo, shortClip.data(), shortClip.size());
        manager_->AddMember(std::move(memory));
        manager_->IndexNames(nullptr, 0, nullptr);
        fileManager = manager_.get();
        ShowIntro();
        auto* intro = dynamic_cast<IntroWindow*>(Find(IntroWindow::kName));
        ASSERT_NE(intro, nullptr);
        if (withShortClip) {
            ASSERT_NE(intro->Video(), nullptr);
            EXPECT_LT(intro->Video()->GetDuration(), IntroWindow::kFadeLead);
            Step(16);
            EXPECT_TRUE(intro->FadeStarted()) << "under 1.2 s the fade starts on the first update";
            Steps(25, 50);
        } else {
            EXPECT_EQ(intro->Video(), nullptr);
            ASSERT_NE(intro->StillLogo(), nullptr);
            Steps(70, 50); // 3.5 s: in, hold, out
        }
        EXPECT_NE(Find("PartnerLogos"), nullptr) << withShortClip;
        Steps(85, 50);
        EXPECT_NE(Find(PromptForNewUser::kName), nullptr) << withShortClip;
    }
    EXPECT_NE(ReadLog().find("Error: ScreenVideo can't be loaded Graphics\\Logos\\quarvex_intro.ogv"),
              std::string::npos);
}

TEST_F(MenusTest, WithNoArtAtAllTheIntroStillReachesTheMenus)
{
    manager_ = std::make_unique<FileManager>();
    manager_->AddMember(std::make_unique<MemoryFileManager>());
    manager_->IndexNames(nullptr, 0, nullptr);
    fileManager = manager_.get();
    ImageCache::Clear();
    ShowIntro();
    Steps(170, 50);
    EXPECT_EQ(Find(IntroWindow::kName), nullptr);
    EXPECT_NE(Find(PromptForNewUser::kName), nullptr);
    MakeProfile("Ann", true);
    ReturnToMainMenu();
    Step(16);
    EXPECT_NE(Find(MainMenu::kName), nullptr);
    DrawFrameLikeTheGame(); // missing pictures draw as the cache's stand-in
}

TEST_F(MenusTest, APackageInstallerThatCannotStartIsLoggedAndTheWindowComesBack)
{
    EXPECT_FALSE(StartProgram("/nonexistent/FlimbsPackageInstaller"));
    EXPECT_NE(ReadLog().find("Cannot start /nonexistent/FlimbsPackageInstaller"), std::string::npos);
    window_.Show();
    // A program folder without the installer.
    const std::string programFolder = GetProgramFolder();
    SetProgramFolder(GetUserRoot() + "/no installer here");
    PackageInstallerRowHandler(nullptr, nullptr);
    EXPECT_FALSE(window_.IsMinimized()) << "not left minimised";
    EXPECT_NE(ReadLog().find("Cannot start " + PackageInstallerPath()), std::string::npos);
    SetProgramFolder(programFolder);
}

} // namespace
