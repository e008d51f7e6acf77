#include "shell/GameWnd.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/GameClock.h"
#include "app/GameException.h"
#include "app/GlobalConfig.h"
#include "app/JvsBoard.h"
#include "app/Log.h"
#include "app/MemoryFileManager.h"
#include "app/ResourceFileManager.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "editor/EditorServices.h"
#include "frontend/FrontEndServices.h"
#include "game/GameServices.h"
#include "game/WorldUpdate.h"
#include "gui/GuiServices.h"
#include "hud/HudServices.h"
#include "hud/HudWindow.h"
#include "media/DXManager.h"
#include "media/InputClock.h"
#include "media/InputDispatch.h"
#include "media/KBManager.h"
#include "media/KeyTables.h"
#include "media/MSManager.h"
#include "media/MediaServices.h"
#include "media/PADManager.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "multiplayer/MultiplayerServices.h"
#include "net/NetServices.h"
#include "platform/gfx/Resources.h"
#include "platform/input/InputSystem.h"
#include "platform/steam/Steam.h"
#include "platform/window/Desktop.h"
#include "platform/window/MainWindow.h"
#include "session/SessionServices.h"
#include "shell/ShellKeys.h"
#include "shell/SplashScreen.h"
#include "app/WindowPlacement.h"
#include "world/TrapDraw.h"
#include "world/WorldServices.h"

#include <curl/curl.h>
#include <google/protobuf/stubs/common.h>
#include <libxml/parser.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <unistd.h>
#include <vector>

bool stencilClearRequested = false;

namespace {

uint32_t ElapsedSince(uint32_t t0)
{
    return SteadyMilliseconds() - t0;
}

std::unique_ptr<FileManager> BuildFileManager()
{
    auto aggregate = std::make_unique<FileManager>();
    auto standard = StandardFileManager::ForProgramFolder();
    StandardFileManager* program = standard.get();
    aggregate->AddMember(std::move(standard));

    const std::string archive = program->Resolve("Data\\resource.dat");
    auto resources = std::make_unique<ResourceFileManager>(archive.empty() ? GetProgramFolder() + "/Data/resource.dat"
                                                                           : archive);
    // The build packs the archive; a game folder without it cannot start.
    if (!resources->IsValid())
        throw GameException("Cannot open the resource archive Data\\resource.dat");
    aggregate->AddMember(std::move(resources));

    if (program->Exists("Data\\resource01.dat", 0))
        aggregate->AddMember(std::make_unique<ResourceFileManager>(program->Resolve("Data\\resource01.dat")));

    auto user = std::make_unique<StandardFileManager>();
    user->AddRootFolder("User\\Avatars");
    user->AddRootFolder("User\\AvatarsData");
    user->AddRootFolder("Cache\\Avatars");
    user->AddRootFolder("Ads");
    user->AddRootFolder("Level");
    aggregate->AddMember(std::move(user));
    aggregate->AddMember(std::make_unique<MemoryFileManager>());
    return aggregate;
}

DisplayMode ChooseDisplayMode()
{
    std::vector<DisplayMode> supported;
    for (const platform::DisplaySize& size : platform::DisplayModes())
        supported.push_back({size.width, size.height});
    const platform::DisplaySize desktop = platform::DesktopSize();
    return ReadGlobalConfigResolution(supported, {desktop.width, desktop.height});
}

void PlaceMainWindow(platform::MainWindow& window)
{
    const WindowPlacement stored = ReadGlobalConfigWindow();
    const platform::DisplaySize desktop = platform::DesktopSize();
    const WindowRect rect = FitOnDesktop(stored.client, stored.centre, desktop.width, desktop.height);
    window.SetPlacement({rect.left, rect.top, rect.right, rect.bottom});
}

uint32_t ClockNowForInput()
{
    return gameClock.Now();
}

} // namespace

GameWnd::GameWnd() = default;

GameWnd::~GameWnd() = default;

void GameWnd::ShowMessage(const std::string& caption, const std::string& text, bool owned)
{
    platform::ShowSystemMessageBox(caption, text, owned && window && window->IsCreated() ? window.get() : nullptr);
}

bool GameWnd::Init()
{
    const uint32_t t0 = SteadyMilliseconds();
    ParseCommandLine(options);
    if (options.showHelp) {
        helpShown_ = true;
        ShowMessage("Flimbs Help", kCommandLineHelp, false);
        return false;
    }
    try {
        StartServices(t0);
    } catch (const GameException& error) {
        WriteLog("%s\n", error.what());
        ShowMessage("Exception", error.Message(), true);
        return false;
    }
    return true;
}

void GameWnd::StartServices(uint32_t t0)
{
    SetInputClock(ClockNowForInput);
    DXManager::SetClockProvider([] { return static_cast<double>(gameClock.Now()); });

    programFolder = ProgramFolderFromExecutable();
    SetProgramFolder(programFolder);
    if (chdir(programFolder.c_str()) != 0)
        WriteLog("Cannot enter the program folder %s\n", programFolder.c_str());
    WriteLog("Path set %d\n", ElapsedSince(t0));

    CreateUserFolders();

    window = std::make_unique<platform::MainWindow>();
    if (!window->Create("Flimbs", {64, 64, 64 + 1024, 64 + 768}))
        throw GameException("Couldn't create the main window");
    window->Hide();
    input_ = std::make_unique<platform::InputSystem>();
    platform::MainWindow::Handlers handlers;
    input_->AttachWindow(*window, handlers);
    window->SetHandlers(std::move(handlers));
    splash_ = std::make_unique<SplashScreen>();
    splash_->Show();

    std::unique_ptr<FileManager> aggregate = BuildFileManager();
    files = aggregate.release();
    fileManager = files;
    WriteLog("Resource loaded %d\n", ElapsedSince(t0));
    files->IndexNames(nullptr, 0, nullptr);
    WriteLog("Resource indexed %d\n", ElapsedSince(t0));

    std::srand(static_cast<unsigned>(std::time(nullptr)));
    xmlCheckVersion(20628);
    WriteLog("loading paramfile.. %d\n", ElapsedSince(t0));
    ConsoleParam::All();

    if (!platform::steam::Init(GetUserPath("Cache\\Settings\\PlatformStore")))
        throw GameException("Steam must be running to play this game (SteamAPI_Init() failed).");

    const DisplayMode mode = ChooseDisplayMode();
    WriteLog("loading graphics.. %d\n", ElapsedSince(t0));
    DXManager::Init(window.get(), mode.width, mode.height);
    StartFontManager();
    AddDefaultFont();

    WriteLog("loading fonts.. %d\n", ElapsedSince(t0));
    SetUpFonts();
    WriteLog("loading cursors.. %d\n", ElapsedSince(t0));
    LoadCursorSpecs();
    WriteLog("loading language.. %d\n", ElapsedSince(t0));
    LoadLanguageTexts();
    WriteLog("loading sound.. %d\n", ElapsedSince(t0));
    soundManager.Start();
    WriteLog("loading gamepad.. %d\n", ElapsedSince(t0));
    padManager.Init(*input_);
    WriteLog("loading player profile.. %d\n", ElapsedSince(t0));
    LoadProfileResources();
    WriteLog("loading console.. %d\n", ElapsedSince(t0));
    StartConsole();
    WriteLog("loading keyboard.. %d\n", ElapsedSince(t0));
    kbManager.Init(*input_);
    DXManager::SetShiftStateProvider([] { return kbManager.IsShiftDown(); });
    WriteLog("loading mouse.. %d\n", ElapsedSince(t0));
    msManager.Init(*input_);
    ConnectGuiInput();
    WriteLog("loading network.. %d\n", ElapsedSince(t0));
    VerifyProtobufVersion();
    if (curl_global_init(CURL_GLOBAL_NOTHING) != CURLE_OK)
        throw GameException("Couldn't start the network library");
    curlStarted_ = true;
    WriteLog("loading controller.. %d\n", ElapsedSince(t0));
    ResetControllerGlobals();
    WriteLog("loading landscape.. %d\n", ElapsedSince(t0));
    InitLandscape();
    InstallHudGameView();
    WriteLog("loading flimbs.. %d\n", ElapsedSince(t0));
    AnimationSpec::Load();
    WriteLog("loading traps.. %d\n", ElapsedSince(t0));
    LoadTrapSpecs();
    WriteLog("loading cursors.. %d\n", ElapsedSince(t0));
    SelectCursor("regular");
    WriteLog("loading particles.. %d\n", ElapsedSince(t0));
    InitParticles();
    WriteLog("loading items.. %d\n", ElapsedSince(t0));
    LoadBonusItems();
    WriteLog("loading keybindings.. %d\n", ElapsedSince(t0));

    BindShellKeys();

    splash_->Close();

    readGlobalConfig();
    PlaceMainWindow(*window);
    window->Show();
    window->Raise();

    StartPromoCheck();

    if (const char* port = std::getenv("FLIMBS_JVS_PORT"); port && *port) {
        jvs_ = std::make_unique<JvsBoard>();
        if (!jvs_->Open(port)) {
            WriteLog("JVS board not found on %s\n", port);
            jvs_.reset();
        }
    }

    WriteLogChannel(1, "all initialization complete..\n");
    gameClock.Start();
    WriteLog("Game ready %d\n", ElapsedSince(t0));
    running = true;
}

int GameWnd::Run()
{
    gameClock.Start();
    CommandLineOptions actions;
    ParseCommandLine(actions);
    bool acted = false;
    if (actions.connectPort >= 0)
        acted = ConnectToServer(actions.connectPort);
    else if (!actions.launchFile.empty() && IsPlaybackFileName(actions.launchFile) && platform::IsHeadless()) {
        // Nobody can watch: the playback is verified at full speed, its result line written,
        // and the game ends (with exit code 1 when the file could not be played).
        if (!VerifyPlayback(actions.launchFile))
            exitCode_ = 1;
        platform::RequestQuit();
        acted = true;
    } else if (!actions.launchFile.empty())
        acted = LaunchLevelAsHost(actions.launchFile);
    else if (!actions.editFile.empty())
        acted = EditLevel(actions.editFile);
    if (!acted)
        ShowIntro();

    for (;;) {
        if (window->PumpEvents() == platform::PumpResult::Quit) {
            WriteLog("Main loop ended after %u frames\n", framesDrawn_);
            return exitCode_;
        }
        gameClock.Update();
        if (!window->IsForeground())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        PollInput();
        platform::steam::RunCallbacks();
        if (platform::steam::statsChanged) {
            platform::steam::StoreStats();
            platform::steam::statsChanged = false;
        }
        RenderFrame();
    }
}

void GameWnd::PollInput()
{
    float listenerX = 0.0f, listenerY = 0.0f;
    GameViewCentre(listenerX, listenerY);
    soundManager.SetListenerPosition(listenerX, listenerY);

    const bool foreground = input_ && input_->IsForeground();
    kbManager.Update();
    if (!foreground)
        ReleaseAllPointerCaptures();
    msManager.Update();
    if (!foreground)
        ReleaseAllPointerCaptures();
    if (foreground)
        padManager.Update();
    else
        ReleaseAllPointerCaptures();
    padManager.DispatchEvents();

    std::vector<InputEvent> events;
    kbManager.CollectEvents(events);
    msManager.CollectEvents(events);
    DispatchInputEvents(events, kbManager, msManager);

    gameClock.Update();
    UpdateGuiFrameInput();

    if (jvs_) {
        const int state = jvs_->State();
        WriteLog("JVS STATE = %s\n", JvsStateName(state));
        if (state == JvsBoard::Idle) {
            WriteLog("JVS IDLE!\n");
            if (jvs_->InputCount() > 0) {
                WriteLog("Taito Data Ready2\n");
                WriteLog("%s", JvsNodeText(jvs_->Node(1)).c_str());
            }
        }
        jvs_->SendOutputs();
    }
}

void GameWnd::RenderFrame()
{
    frameRate_.BeginFrame(gameClock.now);
    gfx::Device* device = DXManager::GetDevice();
    if (!device)
        return;
    const gfx::HRESULT level = device->TestCooperativeLevel();
    if (level == gfx::D3DERR_DEVICENOTRESET) {
        if (DXManager::ResetDevice() < 0)
            return;
    } else if (level < 0 && level != gfx::D3DERR_DEVICELOST) {
        return;
    }

    device->BeginScene();
    gfx::DWORD clearFlags = gfx::D3DCLEAR_ZBUFFER;
    if (!GameViewCoversScreen())
        clearFlags |= gfx::D3DCLEAR_TARGET;
    if (stencilClearRequested) {
        clearFlags |= gfx::D3DCLEAR_STENCIL;
        stencilClearRequested = false;
    }
    device->Clear(0, nullptr, clearFlags, clearColour, 1.0f, 0);
    device->SetSamplerState(0, gfx::D3DSAMP_MINFILTER, gfx::D3DTEXF_LINEAR);
    device->SetSamplerState(0, gfx::D3DSAMP_MAGFILTER, gfx::D3DTEXF_LINEAR);
    device->SetRenderState(gfx::D3DRS_CULLMODE, gfx::D3DCULL_NONE);

    device->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(gfx::D3DRS_ALPHATESTENABLE, 0);
    device->SetRenderState(gfx::D3DRS_ALPHAREF, 15);
    device->SetTextureStageState(0, gfx::D3DTSS_ALPHAOP, gfx::D3DTOP_MODULATE);
    device->SetRenderState(gfx::D3DRS_ALPHAFUNC, gfx::D3DCMP_GREATER);
    device->SetRenderState(gfx::D3DRS_ZENABLE, 0);
    DrawGuiWindows();

    const uint32_t now = gameClock.now;
    std::string rateLine;
    if (rateDisplay == 1)
        rateLine = "fps " + std::to_string(FramesPerSecond()) + " time: " + std::to_string(now);
    else if (frameStatistics.enabled)
        rateLine = "fps " + std::to_string(FramesPerSecond()) + " - bg " + std::to_string(BackgroundTilesDrawn()) +
                   " - tot " + std::to_string(frameStatistics.total);
    if (!rateLine.empty()) {
        const float width = static_cast<float>(DXManager::screenWidth);
        const float height = static_cast<float>(DXManager::screenHeight);
        const float scale = UiScaleFor(DXManager::screenWidth, DXManager::screenHeight);
        DrawRateLine(rateLine, width * 19 / 1024, height * 746 / 768, 0xA0000000u, scale);
        DrawRateLine(rateLine, width * 18 / 1024, height * 745 / 768, 0xA0FFFFFFu, scale);
    }
    device->EndScene();

    gfx::Query* query = nullptr;
    if (device->CreateQuery(gfx::D3DQUERYTYPE_EVENT, &query) >= 0 && query) {
        if (query->Issue(gfx::D3DISSUE_END) >= 0)
            while (query->GetData(nullptr, 0, gfx::D3DGETDATA_FLUSH) == gfx::S_FALSE) {
            }
        query->Release();
    }

    device->BeginScene();
    DrawCursor();
    device->EndScene();

    device->Present(nullptr, nullptr, nullptr, nullptr);
    if (DXManager::IsMovieRecording())
        CaptureRecordedFrame();
    frameRate_.EndFrame();
    ++framesDrawn_;
}

void GameWnd::UpdateWorld()
{
    ::UpdateWorld(UpdateGlobalPopup);
}

void GameWnd::Shutdown()
{
    StopPromoCheck();
    ReleaseGuiWindows();
    ReleaseTrapSpecs();
    ReleaseLanguageTexts();
    ReleaseGameState();
    ReleaseLevelLists();
    ReleaseParticles();
    ReleaseController();
    if (window && window->IsCreated())
        window->PumpEvents();
    ShutdownHud();
    FreeProfileResources();
    AnimationSpec::Release();
    ShutdownFonts();
    ReleaseLandscape();
    ShutdownCursors();
    kbManager.Shutdown();
    msManager.Shutdown();
    padManager.Shutdown();
    soundManager.Shutdown();
    DXManager::Shutdown();
    jvs_.reset();
    SetInputClock(nullptr);

    if (curlStarted_)
        curl_global_cleanup();
    curlStarted_ = false;

    WriteLog("Destroying Window....\n");
    if (splash_)
        splash_->Close();
    splash_.reset();
    input_.reset();
    if (window)
        window->Destroy();
    window.reset();

    WriteLog("Steam Destroy....\n");
    platform::steam::Shutdown();

    WriteLog("xmlCleanupParser....\n");
    xmlCleanupParser();

    WriteLog("fileManager....\n");
    if (fileManager == files)
        fileManager = nullptr;
    delete files;
    files = nullptr;

    WriteLog("CoUninitialize....\n");
    WriteLog("protobuf....\n");
    google::protobuf::ShutdownProtobufLibrary();
    WriteLog("[night falls, and once again peace fills the land....]\n");
}
