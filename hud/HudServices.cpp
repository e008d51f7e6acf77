#include "hud/HudServices.h"

#include "game/GameController.h"
#include "gui/PrimContainer.h"
#include "hud/Console.h"
#include "hud/FlimbsHUD.h"
#include "media/DXManager.h"
#include "hud/HudKeyActions.h"
#include "hud/HudWindow.h"
#include "hud/LevelIntro.h"
#include "hud/TimeControls.h"
#include "hud/playback/PlaybackHUD.h"
#include "session/SessionHooks.h"
#include "gui/WindowList.h"
#include "world/Flimb.h"

void StartConsole()
{
    Console::Enable();
    RegisterHudKeyActions();
}

void ToggleConsole()
{
    ToggleConsoleView();
}

void CloseConsole()
{
    Console::Close();
}

void UpdateGlobalPopup() {}

void ShutdownHud()
{
    Console::Shutdown();
}

void InstallHudHooks()
{
    SessionHudHooks hooks;
    hooks.openLevelHud = OpenHudForLevel;
    hooks.closeLevelHud = CloseHudForLevel;
    hooks.makePlaybackControls = []() -> Primitive* { return new PlaybackHUD; };
    hooks.showLevelIntro = ShowLevelIntro;
    SetSessionHudHooks(std::move(hooks));
    InstallHudGameHooks();
}

void OpenHudForLevel()
{
    if (!DXManager::GetDevice())
        return;
    OpenFlimbsHUD();
}

void CloseHudForLevel()
{
    if (FlimbsHUD* hud = FindFlimbsHUD())
        hud->Close();
}

