#include "hud/HudServices.h"

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
