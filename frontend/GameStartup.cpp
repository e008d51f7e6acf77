#include "frontend/GameStartup.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/GameClock.h"
#include "app/GameException.h"
#include "app/GlobalConfig.h"
#include "app/Log.h"
#include "app/MemoryFileManager.h"
#include "app/ResourceFileManager.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "app/WindowPlacement.h"
#include "frontend/FrontEndServices.h"
#include "game/GameServices.h"
#include "gui/GuiDevice.h"
#include "gui/GuiServices.h"
#include "hud/HudServices.h"
#include "hud/HudWindow.h"
#include "media/DXManager.h"
#include "media/ImageCache.h"
#include "media/KBManager.h"
#include "media/MSManager.h"
#include "media/MediaServices.h"
#include "media/PADManager.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "net/NetServices.h"
#include "platform/input/InputSystem.h"
#include "platform/steam/Steam.h"
#include "platform/window/Desktop.h"
#include "platform/window/MainWindow.h"
#include "session/SessionServices.h"
#include "world/AnimationSpec.h"
#include "world/TrapSpecs.h"
#include "world/WorldServices.h"

#include <libxml/parser.h>

#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

// The stored resolution when the desktop can take it, else one that fits (with a log line).
// Nothing shown (no display): any size at all is taken.
DisplayMode ChooseDisplayMode()
{
    DisplayMode desktop{};
    if (!platform::IsHeadless()) {
        const platform::DisplaySize size = platform::DesktopSize();
        desktop = {size.width, size.height};
    }
    std::string refused;
    const DisplayMode mode = FitResolution(ReadGlobalConfigResolution(), desktop, &refused);
    if (!refused.empty())
        WriteLog("Screen resolution %s; using %dx%d\n", refused.c_str(), mode.width, mode.height);
    return mode;
}

} // namespace

void InstallFloorHooks()
{
    InstallSessionHooks();
    InstallHudHooks();
    InstallScreenHooks();
}

GameStartup::GameStartup() = default;

GameStartup::~GameStartup()
{
    Stop();
}

void GameStartup::Step(const char* text) const
{
    WriteLog("%s %d\n", text, SteadyMilliseconds() - startMs_);
}

void GameStartup::Start(const GameStartOptions& options)
{
    startMs_ = options.startMs ? options.startMs : SteadyMilliseconds();
    servicesStarted_ = true;
    InstallFloorHooks();
    SetProgramFolder(options.programFolder);
    CreateUserFolders();

    if (options.display) {
        window_ = std::make_unique<platform::MainWindow>();
        const bool sized = options.screenWidth > 0 && options.screenHeight > 0;
        const platform::WindowRect rect = sized ? platform::WindowRect{0, 0, options.screenWidth, options.screenHeight}
                                                : platform::WindowRect{64, 64, 64 + 1024, 64 + 768};
        if (!window_->Create("Flimbs", rect))
            throw GameException("Couldn't create the main window");
        window_->Hide();
        if (options.input) {
            input_ = std::make_unique<platform::InputSystem>();
            platform::MainWindow::Handlers handlers;
            input_->AttachWindow(*window_, handlers);
            window_->SetHandlers(std::move(handlers));
        }
        if (options.windowMade)
            options.windowMade(*window_);
    }

    StartFiles(options);

    std::srand(static_cast<unsigned>(std::time(nullptr)));
    xmlCheckVersion(20628);
    Step("loading paramfile..");
    ConsoleParam::All();

    if (!platform::steam::Init(GetUserPath("Cache\\Settings\\PlatformStore")))
        throw GameException("Steam must be running to play this game (SteamAPI_Init() failed).");
    storeStarted_ = true;

    if (window_)
        StartDisplay(options);
    Step("loading gamepad..");
    if (input_) {
        inputStarted_ = true;
        padManager.Init(*input_);
    }
    Step("loading player profile..");
    LoadProfileResources();
    Step("loading console..");
    StartConsole();
    Step("loading keyboard..");
    if (input_) {
        kbManager.Init(*input_);
        DXManager::SetShiftStateProvider([] { return kbManager.IsShiftDown(); });
    }
    Step("loading mouse..");
    if (input_) {
        msManager.Init(*input_);
        ConnectGuiInput();
    }
    Step("loading network..");
    networkStarted_ = true;
    StartNetworkLibrary();
    Step("loading controller..");
    ResetControllerGlobals();
    Step("loading landscape..");
    InitLandscape();
    InstallHudGameView();
    Step("loading flimbs..");
    AnimationSpec::Load();
    if (displayStarted_) {
        Step("loading traps..");
        LoadTrapSpecs();
        Step("loading cursors..");
        SelectCursor("regular");
    }
    Step("loading particles..");
    InitParticles();
    Step("loading items..");
    LoadBonusItems();
    Step("loading keybindings..");
    if (options.keyBindings)
        options.keyBindings();

    readGlobalConfig();
}

void GameStartup::StartFiles(const GameStartOptions& options)
{
    auto files = std::make_unique<FileManager>();
    auto standard = StandardFileManager::ForProgramFolder();
    StandardFileManager* program = standard.get();
    files->AddMember(std::move(standard));

    const std::string archive = program->Resolve("Data\\resource.dat");
    auto resources = std::make_unique<ResourceFileManager>(archive.empty() ? options.programFolder + "/Data/resource.dat"
                                                                           : archive);
    // The build packs the archive; a game folder without it cannot start.
    if (resources->IsValid())
        files->AddMember(std::move(resources));
    else if (options.archiveRequired)
        throw GameException("Cannot open the resource archive Data\\resource.dat");

    if (program->Exists("Data\\resource01.dat", 0))
        files->AddMember(std::make_unique<ResourceFileManager>(program->Resolve("Data\\resource01.dat")));

    auto user = std::make_unique<StandardFileManager>();
    for (const char* root : {"User\\Avatars", "User\\AvatarsData", "Cache\\Avatars", "Ads", "Level"})
        user->AddRootFolder(root);
    files->AddMember(std::move(user));
    auto memory = std::make_unique<MemoryFileManager>();
    memory_ = memory.get();
    files->AddMember(std::move(memory));

    files_ = std::move(files);
    fileManager = files_.get();
    Step("Resource loaded");
    files_->IndexNames(nullptr, 0, nullptr);
    Step("Resource indexed");
}

void GameStartup::StartDisplay(const GameStartOptions& options)
{
    const bool sized = options.screenWidth > 0 && options.screenHeight > 0;
    const DisplayMode mode = sized ? DisplayMode{options.screenWidth, options.screenHeight} : ChooseDisplayMode();
    Step("loading graphics..");
    displayStarted_ = true;
    DXManager::Init(window_.get(), mode.width, mode.height);
    if (sized)
        SetScreenSize(mode.width, mode.height);
    StartFontManager();
    AddDefaultFont();

    Step("loading fonts..");
    SetUpFonts();
    Step("loading cursors..");
    LoadCursorSpecs();
    Step("loading language..");
    LoadLanguageTexts();
    Step("loading sound..");
    soundManager.Start();
}

void GameStartup::Stop()
{
    StopServices();
    CloseWindow();
    CloseStore();
    CloseFiles();
}

void GameStartup::StopServices()
{
    if (!servicesStarted_)
        return;
    servicesStarted_ = false;
    // Only what the start-up made is undone: without a display nothing was drawn or played.
    const bool display = displayStarted_;
    displayStarted_ = false;
    if (display) {
        ReleaseGuiWindows();
        ReleaseTrapSpecs();
        ReleaseLanguageTexts();
    }
    ReleaseGameState();
    ReleaseLevelLists();
    ReleaseParticles();
    ReleaseController();
    if (window_ && window_->IsCreated())
        window_->PumpEvents();
    ShutdownHud();
    FreeProfileResources();
    AnimationSpec::Release();
    if (display)
        ShutdownFonts();
    ReleaseLandscape();
    if (display)
        ShutdownCursors();
    if (inputStarted_) {
        kbManager.Shutdown();
        msManager.Shutdown();
        padManager.Shutdown();
        inputStarted_ = false;
    }
    if (display) {
        soundManager.Shutdown();
        ImageCache::Clear();
        DXManager::Shutdown();
    }
    if (networkStarted_) {
        StopNetworkLibrary();
        networkStarted_ = false;
    }
}

void GameStartup::CloseWindow()
{
    input_.reset();
    if (window_)
        window_->Destroy();
    window_.reset();
}

void GameStartup::CloseStore()
{
    if (!storeStarted_)
        return;
    platform::steam::Shutdown();
    storeStarted_ = false;
}

void GameStartup::CloseFiles()
{
    if (fileManager == files_.get())
        fileManager = nullptr;
    memory_ = nullptr;
    files_.reset();
}
