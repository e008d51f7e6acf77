#pragma once
// What a headless program needs to play levels and playbacks through the game session: the
// services of the game's start-up in its order (user folders, a hidden window and the
// software device at a chosen screen size, the game folder's archive and plain files and the
// player's folders, the console variables, fonts, cursors, language, sound, the profile
// resources, the landscape, the flimbs' sprites, the trap specs, the particles, the bonus
// items and the last profile), torn down in reverse. One frame runs the open windows'
// updates and draws them, as the game's main loop does. Used by the playback check and the
// solution recorder, and by the end-to-end benchmarks.
#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/GameClock.h"
#include "app/GlobalConfig.h"
#include "app/MemoryFileManager.h"
#include "app/ResourceFileManager.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "game/GameServices.h"
#include "gui/GuiDevice.h"
#include "gui/GuiServices.h"
#include "gui/WindowList.h"
#include "hud/HudServices.h"
#include "hud/HudWindow.h"
#include "media/DXManager.h"
#include "media/ImageCache.h"
#include "media/MediaServices.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "platform/gfx/Device.h"
#include "platform/steam/Steam.h"
#include "platform/window/MainWindow.h"
#include "world/AnimationSpec.h"
#include "world/TrapSpecs.h"
#include "world/WorldServices.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

class HeadlessSession {
public:
    HeadlessSession(int screenWidth, int screenHeight)
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("ALSOFT_DRIVERS", "null", 0);
        const std::string game = ProgramFolderFromExecutable();
        SetProgramFolder(game);
        CreateUserFolders();
        if (!window_.Create("Flimbs", {0, 0, screenWidth, screenHeight}))
            throw std::runtime_error("no window");
        files_ = std::make_unique<FileManager>();
        files_->AddMember(std::make_unique<StandardFileManager>(std::vector<StandardFileManager::Root>{{"", game}}));
        files_->AddMember(std::make_unique<ResourceFileManager>(game + "/Data/resource.dat"));
        auto user = std::make_unique<StandardFileManager>();
        for (const char* root : {"User\\Avatars", "User\\AvatarsData", "Cache\\Avatars", "Ads", "Level"})
            user->AddRootFolder(root);
        files_->AddMember(std::move(user));
        files_->AddMember(std::make_unique<MemoryFileManager>());
        files_->IndexNames(nullptr, 0, nullptr);
        fileManager = files_.get();
        ConsoleParam::All();
        platform::steam::Init(GetUserPath("Cache\\Settings\\PlatformStore"));
        DXManager::Init(&window_, screenWidth, screenHeight);
        if (!DXManager::GetDevice())
            throw std::runtime_error("no graphics device");
        SetScreenSize(screenWidth, screenHeight);
        StartFontManager();
        AddDefaultFont();
        SetUpFonts();
        LoadCursorSpecs();
        LoadLanguageTexts();
        soundManager.Start();
        LoadProfileResources();
        StartConsole();
        ResetControllerGlobals();
        InitLandscape();
        InstallHudGameView();
        AnimationSpec::Load();
        LoadTrapSpecs();
        InitParticles();
        LoadBonusItems();
        readGlobalConfig();
        gameClock.Start();
    }
    ~HeadlessSession()
    {
        ReleaseGuiWindows();
        ReleaseTrapSpecs();
        ReleaseLanguageTexts();
        ReleaseGameState();
        ReleaseLevelLists();
        ReleaseParticles();
        ReleaseController();
        ShutdownHud();
        FreeProfileResources();
        AnimationSpec::Release();
        ShutdownFonts();
        ReleaseLandscape();
        ShutdownCursors();
        soundManager.Shutdown();
        ImageCache::Clear();
        DXManager::Shutdown();
        platform::steam::Shutdown();
        fileManager = nullptr;
    }
    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    // One pass of the game's loop without input: the clock, the open windows' updates (the
    // session's commands run there) and, when asked, their drawing.
    void Frame(bool draw)
    {
        gameClock.Update();
        UpdateGuiFrameInput();
        if (!draw)
            return;
        DrawFrame();
    }

    // The open windows drawn as the game's frame draws them.
    void DrawFrame()
    {
        gfx::Device* device = DXManager::GetDevice();
        device->BeginScene();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET | gfx::D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        device->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(gfx::D3DRS_ALPHATESTENABLE, 0);
        device->SetRenderState(gfx::D3DRS_ALPHAREF, 15);
        device->SetTextureStageState(0, gfx::D3DTSS_ALPHAOP, gfx::D3DTOP_MODULATE);
        device->SetRenderState(gfx::D3DRS_ALPHAFUNC, gfx::D3DCMP_GREATER);
        device->SetRenderState(gfx::D3DRS_ZENABLE, 0);
        DrawGuiWindows();
        device->EndScene();
    }

private:
    platform::MainWindow window_;
    std::unique_ptr<FileManager> files_;
};
