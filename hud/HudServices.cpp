#include "hud/HudServices.h"

#include "game/GameController.h"
#include "gui/PrimContainer.h"
#include "hud/Console.h"
#include "hud/FlimbsHUD.h"
#include "media/DXManager.h"
#include "hud/HudKeyActions.h"

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

// The HUD's key actions act on HUD controls; until the HUD window exists none is open.
void HudChatModeKey(int) {}
void HudSuperNovaKey(int) {}
void HudShowFlimbCountsKey(int) {}
void HudMiniMapKey(int) {}
void HudChatHistoryKey(int) {}
void HudLoadCheckpointKey(int) {}
void HudSaveCheckpointKey(int) {}
void HudStampKey(int) {}
void HudDecorationKey(int) {}
void HudFreezeTimeKey(int) {}
void HudShowFutureKey(int) {}
void HudShowFMViewKey(int) {}
void HudShowHintKey(int pressed)
{
    if (pressed)
        Controller().hintsShown = Controller().hintsShown ? 0 : 1;
}
void HudNextHistoryKey(int) {}
void HudPrevHistoryKey(int) {}
void HudPinFlimbKey(int) {}
