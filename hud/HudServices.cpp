#include "hud/HudServices.h"

#include "app/Log.h"
#include "hud/Console.h"

void StartConsole()
{
    Console::Enable();
}

void ToggleConsole()
{
    ToggleConsoleView();
}

void UpdateGlobalPopup() {}

void ShutdownHud()
{
    Console::Shutdown();
}

void HudAddToHistoryStrip(Flimb* /*flimb*/) {}

void HudNoteSelection(Flimb* /*flimb*/) {}

void HudHideBelt() {}

void HudSetBeltLock(bool /*locked*/) {}

bool HudPressScoreButton(bool /*down*/)
{
    return false;
}

void PostChatLine(const std::string& text, uint32_t)
{
    WriteLog("%s\n", text.c_str());
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
void HudShowHintKey(int) {}
void HudNextHistoryKey(int) {}
void HudPrevHistoryKey(int) {}
void HudPinFlimbKey(int) {}

bool PositionOverHud(Primitive* /*window*/, bool /*show*/)
{
    return false;
}
