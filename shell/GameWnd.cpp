#include "shell/GameWnd.h"

#include "app/GameClock.h"
#include "app/GameException.h"
#include "app/GlobalConfig.h"
#include "app/JvsBoard.h"
#include "app/Log.h"
#include "app/UserFolders.h"
#include "editor/EditorServices.h"
#include "frontend/FrontEndServices.h"
#include "game/GameServices.h"
#include "game/WorldUpdate.h"
#include "gui/GuiServices.h"
#include "hud/HudServices.h"
#include "hud/HudWindow.h"
#include "levelmodel/MapEditor.h"
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

#include <google/protobuf/stubs/common.h>
#include <libxml/parser.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <unistd.h>

bool stencilClearRequested = false;

namespace {

uint32_t ElapsedSince(uint32_t t0)
{
    return SteadyMilliseconds() - t0;
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
    platform::MainWindow* window = Window();
    platform::ShowSystemMessageBox(caption, text, owned && window && window->IsCreated() ? window : nullptr);
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

    GameStartOptions start;
    start.programFolder = programFolder;
    start.input = true;
    start.startMs = t0;
    start.windowMade = [this](platform::MainWindow&) {
        splash_ = std::make_unique<SplashScreen>();
        splash_->Show();
    };
    start.keyBindings = [this] {
        BindShellKeys();
        splash_->Close();
    };
    startup_.Start(start);

    platform::MainWindow& window = *startup_.Window();
    PlaceMainWindow(window);
    window.Show();
    window.Raise();
    raiseRequests_.Start(platform::RaiseSocketPath(GetUserRoot()));

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
        if (Window()->PumpEvents() == platform::PumpResult::Quit) {
            WriteLog("Main loop ended after %u frames\n", framesDrawn_);
            return exitCode_;
        }
        gameClock.Update();
        if (!Window()->IsForeground())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (raiseRequests_.Poll() > 0) {
            Window()->Restore();
            Window()->Raise();
            WriteLog("Raise request: the window is brought to the front\n");
        }
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

    const platform::InputSystem* input = startup_.Input();
    const bool foreground = input && input->IsForeground();
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
    raiseRequests_.Stop();
    jvs_.reset();
    // The level editor's objects and windows go while the GUI and the image cache still
    // stand (the services' undoing releases the windows).
    ShutdownEditor();
    startup_.StopServices();
    SetInputClock(nullptr);

    WriteLog("Destroying Window....\n");
    if (splash_)
        splash_->Close();
    splash_.reset();
    startup_.CloseWindow();

    WriteLog("Steam Destroy....\n");
    startup_.CloseStore();

    WriteLog("xmlCleanupParser....\n");
    xmlCleanupParser();

    WriteLog("fileManager....\n");
    startup_.CloseFiles();

    WriteLog("CoUninitialize....\n");
    WriteLog("protobuf....\n");
    google::protobuf::ShutdownProtobufLibrary();
    WriteLog("[night falls, and once again peace fills the land....]\n");
}
