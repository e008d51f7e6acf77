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
