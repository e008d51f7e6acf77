#pragma once
// What a headless program needs to play levels and playbacks through the game session: the
// game's own start-up (frontend/GameStartup.h) on a hidden window and the software device at
// a chosen screen size, undone when it goes. One frame runs the open windows' updates and
// draws them, as the game's main loop does. Used by the playback check and the solution
// recorder, the tools that run the world (HeadlessGame) and the benchmarks.
#include "app/GameClock.h"
#include "app/UserFolders.h"
#include "frontend/GameStartup.h"
#include "gui/GuiServices.h"
#include "gui/WindowList.h"
#include "hud/HudServices.h"
#include "hud/HudWindow.h"
#include "media/DXManager.h"
#include "platform/gfx/Device.h"

#include <cstdlib>

// The headless drivers (no display, no sound device) unless the caller chose others.
inline void UseHeadlessDrivers()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
}

class HeadlessSession {
public:
    HeadlessSession(int screenWidth, int screenHeight)
    {
        UseHeadlessDrivers();
        GameStartOptions options;
        options.programFolder = ProgramFolderFromExecutable();
        options.screenWidth = screenWidth;
        options.screenHeight = screenHeight;
        startup_.Start(options);
        gameClock.Start();
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
    GameStartup startup_;
};
