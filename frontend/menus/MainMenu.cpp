#include "frontend/menus/MainMenu.h"

#include "app/ConsoleParam.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "editor/EditorServices.h"
#include "frontend/PendingScreens.h"
#include "frontend/menus/Credits.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "frontend/menus/GlobalConfigWriter.h"
#include "frontend/menus/MenuButtons.h"
#include "frontend/menus/QuitMenu.h"
#include "frontend/menus/ScreenLayout.h"
#include "frontend/options/OptionsMenu.h"
#include "frontend/playback/PlaybackMenu.h"
#include "gui/Animators.h"
#include "gui/FlimbsMenuBar.h"
#include "gui/FlimbsTabControl.h"
#include "gui/FlimbsWindow.h"
#include "gui/ScreenImage.h"
#include "gui/ToolTip.h"
#include "media/DXManager.h"
#include "multiplayer/MultiplayerServices.h"
#include "platform/window/MainWindow.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

constexpr const char* kIconFolder = "Graphics\\Menu\\MenuIcons";
constexpr const char* kLevelSharingSite = "FlimbsWorld";

// The title of a menu: a menu bar shown as a plain, unclickable caption.
FlimbsMenuBar* MakeTitle(const std::string& text)
{
    auto* title = new FlimbsMenuBar(text, 5);
    title->playSounds = 0;
    title->notifyOnToggle = 0;
    title->enabled = 0;
    title->tabStop = 0;
    float width = 0.0f, height = 0.0f;
    title->GetSize(&width, &height);
    title->SetSize(width, height);
    return title;
}

// Adds the title and the block to the screen: the block under the title, the title centred
// over the block; the screen is sized to both.
void AddTitleAndBlock(PrimContainer* screen, FlimbsMenuBar* title, PrimContainer* block)
{
    title->SetPosition(0.0f, 0.0f);
    screen->AddChild(title);
    block->containerFlags &= ~uint32_t(kContainerWindow);
    block->SetPosition(0.0f, title->GetSizeVirtual().y);
    screen->AddChild(block);
    title->hAlign = kAlignHCentre;
    title->SetPosition(block->GetSizeVirtual().x / 2.0f, 0.0f);
    FitToChildren(screen);
}

// The main menu's handlers close their own screen first.
void CloseScreenOf(Button* button)
{
    if (button)
        button->CloseOwningWindow();
}

// The extras handlers deactivate the extras screen directly: its close callback does not run.
void DeactivateScreenOf(Button* button)
{
    if (button)
        button->DeactivateOwningWindow();
}

MenuRow MakeRow(const char* icon, ButtonCallback handler, const std::string& caption, const std::string& tip)
{
    return MenuRow{icon, std::move(handler), caption, tip};
}

class ExtrasScreen : public PrimContainer {
public:
    ExtrasScreen()
    {
        SetName("Extra Menu");
        containerFlags |= kContainerWindow;
        closeHandler = ReturnToMainMenuOnClose;
        FlimbsMenuBar* title = MakeTitle(TranslateText("Extra"));
        FlimbsWindow2* block = BuildMenuColumn(ExtrasMenuRows(), kMenuRowCount);
        AddTitleAndBlock(this, title, block);
        auto* back = new FlimbsTabButton(TranslateText("Back"));
        float width = 0.0f, height = 0.0f;
        back->GetSize(&width, &height);
        back->SetSize(width, height);
        back->SetName("back_button");
        back->onClick = [](Primitive*, Button* button) { button->CloseOwningWindow(); };
        const FloatRect blockRect = block->GetRelativeRectVirtual();
        back->SetPosition(0.0f, blockRect.bottom + DesignX(20.0f));
        AddChild(back);
        FitToChildren(this);
    }
};

} // namespace

FlimbsWindow2* BuildMenuColumn(const MenuRow* rows, int count)
{
    auto* block = new FlimbsWindow2;
    block->containerFlags |= kContainerWindow;
    ScreenLayoutEngine engine(block);
    engine.SetDirection(FlowDirection::Columns);
    engine.SetSpacing(0.0f, 0.0f);
    engine.SetMargins(DesignX(12.0f), DesignY(10.0f), DesignX(12.0f), DesignY(10.0f));

    float iconColumn = 0.0f;
    for (int i = 0; i < count; ++i) {
        auto icon = std::make_unique<MenuIconButton>(kIconFolder, rows[i].icon);
        icon->onClick = rows[i].handler;
        MenuIconButton* placed = engine.Place(std::move(icon), StringPrintf("icon_%d", i));
        if (!placed)
            continue;
        iconColumn = std::max(iconColumn, placed->GetSizeVirtual().x);
        if (!rows[i].toolTip.empty())
            engine.SetTip(placed, rows[i].toolTip);
    }
    engine.NewColumn(DesignX(68.0f) - iconColumn);
    const auto addSeparator = [&engine](const char* part, int row) {
        ScreenImage* separator =
            engine.AddImage(StringPrintf("separator_%s_%d", part, row),
                            StringPrintf("Graphics\\Menu\\FlimbsWindow2\\separator-%s-%02d.png", part, row));
        if (separator)
            separator->SetScale(1.1640625f, 1.10625f);
    };
    for (int i = 0; i < count; ++i) {
        addSeparator("top", i);
        auto button = std::make_unique<MenuCaptionButton>("Graphics\\Menu", "main_menu_button.png", rows[i].caption);
        button->onClick = rows[i].handler;
        MenuCaptionButton* placed = engine.Place(std::move(button), rows[i].caption);
        if (placed && !rows[i].toolTip.empty())
            engine.SetTip(placed, rows[i].toolTip);
        addSeparator("bottom", i);
    }
    engine.FitContainer();
    return block;
}

const MenuRow* MainMenuRows()
{
    static const MenuRow rows[kMenuRowCount] = {
        MakeRow("league_president_01.png", PilgrimageHandler, "Pilgrimage", "Visit the Flimbs Planet"),
        MakeRow("multiplay_mode.png", TournamentsHandler, "Tournaments", "Internet and local multiplayer"),
        MakeRow("extra_01.png", ExtrasHandler, "Extras", "Level Editor, Playback Savegames, and Package Tools"),
        MakeRow("settings.png", OptionsHandler, "Options", "Display the sound, video, and input options menu"),
        MakeRow("exit.png", QuitHandler, "Quit", "Quit Game"),
    };
    return rows;
}

const MenuRow* ExtrasMenuRows()
{
    static const MenuRow rows[kMenuRowCount] = {
        MakeRow("level_editor.png", LevelEditorRowHandler, "Level Editor", "Create new maps or edit existing ones"),
        MakeRow("movies.png", FlimbsPlayerRowHandler, "Flimbs Player", "Playback saved games"),
        MakeRow("package_creator.png", PackageCreatorRowHandler, "Package Creator",
                std::string("Create a package of levels to upload to ") + kLevelSharingSite),
        MakeRow("package_installer.png", PackageInstallerRowHandler, "Package Installer",
                "Install a package you've downloaded"),
        MakeRow("single_player.png", CreditsRowHandler, "Credits", ""),
    };
    return rows;
}

MainMenu::MainMenu()
{
    SetName(kName);
    containerFlags |= kContainerWindow;
    const ConsoleParam* username = ConsoleParam::Find("username");
    // Main menu rows translate both texts; the table holds the English ones.
    MenuRow rows[kMenuRowCount];
    for (int i = 0; i < kMenuRowCount; ++i) {
        rows[i] = MainMenuRows()[i];
        rows[i].caption = TranslateText(rows[i].caption);
        rows[i].toolTip = TranslateText(rows[i].toolTip);
    }
    FlimbsMenuBar* title = MakeTitle(TranslateText("Welcome") + " " + (username ? username->GetString() : ""));
    AddTitleAndBlock(this, title, BuildMenuColumn(rows, kMenuRowCount));
    if (ConsoleParam* demigod = ConsoleParam::Find("demigod"))
        demigod->SetInt(0);
    firstUpdateDone_ = 0;
}

void MainMenu::Update()
{
    if (!firstUpdateDone_) {
        if (gfx::Device* device = DXManager::GetDevice()) {
            device->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 1);
            device->SetRenderState(gfx::D3DRS_ALPHATESTENABLE, 0);
            device->SetRenderState(gfx::D3DRS_ALPHAREF, 15);
            device->SetTextureStageState(0, gfx::D3DTSS_ALPHAOP, gfx::D3DTOP_MODULATE);
            device->SetRenderState(gfx::D3DRS_ALPHAFUNC, gfx::D3DCMP_GREATER);
        }
        WriteGlobalConfigNow();
        firstUpdateDone_ = 1;
    }
    PrimContainer::Update();
}

MainMenu* ShowMainMenuScreen()
{
    return new MainMenu;
}

PrimContainer* ShowExtrasMenu()
{
    auto* extras = new ExtrasScreen;
    PrimContainer* backdrop = FlimbsMenuTemplate::Show();
    FlimbsMenuTemplate::AddScreen(backdrop, extras);
    PlaceScreen(extras);
    FlyInChildren(extras);
    LogScreen(extras->name);
    return extras;
}

void PilgrimageHandler(Primitive*, Button*)
{
    VisitPlanet();
}

void TournamentsHandler(Primitive*, Button* button)
{
    CloseScreenOf(button);
    if (!OpenMultiplayerMenu(0, 0))
        ShowMainMenu(false);
}

void ExtrasHandler(Primitive*, Button* button)
{
    CloseScreenOf(button);
    ShowExtrasMenu();
}

void OptionsHandler(Primitive*, Button* button)
{
    CloseScreenOf(button);
    OptionsMenu* options = ShowOptionsMenu(ReturnToMainMenuOnClose, true);
    PrimContainer* backdrop = FlimbsMenuTemplate::Show();
    FlimbsMenuTemplate::AddScreen(backdrop, options);
    PlaceScreen(options, 368.0f);
    FlyInChildren(options);
    LogScreen(options->name);
}

void QuitHandler(Primitive*, Button* button)
{
    CloseScreenOf(button);
    auto* quit = new QuitGameMenu(ReturnToMainMenuOnClose, false);
    PrimContainer* backdrop = FlimbsMenuTemplate::Show();
    FlimbsMenuTemplate::AddScreen(backdrop, quit);
    PlaceScreen(quit);
    SlideInFromBelow(quit, quit->GetPositionVirtual().x);
    LogScreen(quit->name);
}

void LevelEditorRowHandler(Primitive*, Button* button)
{
    DeactivateScreenOf(button);
    if (!EnterLevelEditor())
        ShowExtrasMenu();
}

void FlimbsPlayerRowHandler(Primitive*, Button* button)
{
    DeactivateScreenOf(button);
    if (!ShowPlaybackMenu())
        ShowExtrasMenu();
}

void PackageCreatorRowHandler(Primitive*, Button* button)
{
    DeactivateScreenOf(button);
    PrimContainer* creator = CreatePackageCreatorWindow();
    if (!creator) {
        ShowExtrasMenu();
        return;
    }
    creator->hAlign = kAlignHCentre;
    creator->SetPosition(500.0f, 350.0f);
    PrimContainer* backdrop = FlimbsMenuTemplate::Show();
    FlimbsMenuTemplate::AddScreen(backdrop, creator);
    FlyInChildren(creator);
}

void PackageInstallerRowHandler(Primitive*, Button*)
{
    platform::MainWindow* window = DXManager::GetWindow();
    if (window)
        window->Minimize();
    if (!StartProgram(PackageInstallerPath()) && window) {
        // Nothing will bring the game back: show it again at once.
        window->Restore();
        window->Raise();
    }
}

void CreditsRowHandler(Primitive*, Button* button)
{
    Primitive* extras = button ? button->FindOwningWindow() : nullptr;
    if (extras)
        extras->enabled = 0;
    CreditsWindow* credits = ShowCredits();
    credits->closeHandler = [extras](PrimContainer*) {
        if (extras)
            extras->enabled = 1;
        return false;
    };
    PrimContainer* backdrop = FlimbsMenuTemplate::Show();
    FlimbsMenuTemplate::AddScreen(backdrop, credits);
    LogScreen("Credits");
}

std::string PackageInstallerPath()
{
    return GetProgramFolder() + "/Bin/FlimbsPackageInstaller";
}

bool StartProgram(const std::string& path)
{
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    const int error = posix_spawn(&child, path.c_str(), nullptr, nullptr, argv, environ);
    if (error != 0) {
        WriteLog("Cannot start %s: %s\n", path.c_str(), std::strerror(error));
        return false;
    }
    WriteLog("Started %s\n", path.c_str());
    // Reaps the program when it ends, without holding the game up.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return true;
}
