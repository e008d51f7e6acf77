#include "shell/ShellKeys.h"

#include "app/Log.h"
#include "frontend/FrontEndServices.h"
#include "hud/HudServices.h"
#include "media/DXManager.h"
#include "media/KeyTables.h"

void BindShellKeys()
{
    const char* const fixedBindings[][2] = {
        {"SYSRQ", "screenshot"},    {"F12", "screenshot"},       {"Q", "quit"},
        {"BACKSLASH", "ChangeDisplayMode"}, {"LEFT MOUSE", "leftclick"}, {"RIGHT MOUSE", "rightclick"},
        {"ESCAPE", "closeconsole"}, {"GRAVE", "toggleconsole"},  {"WHEEL", "OnWheel"},
        {"F8", "ToggleMovieMode"},
    };
    for (const auto& binding : fixedBindings)
        if (BindKeyToAction(binding[0], binding[1]) != 0)
            WriteLog("Cannot bind %s to %s\n", binding[0], binding[1]);
    ShellActionHooks shellActions;
    shellActions.screenshot = [] { DXManager::TakeScreenshot(true); };
    shellActions.changeDisplayMode = [] { DXManager::ToggleWindowed(true); };
    shellActions.toggleMovieMode = [] { DXManager::SetMovieRecording(!DXManager::IsMovieRecording()); };
    shellActions.toggleConsole = [] { ToggleConsole(); };
    shellActions.closeConsole = [] { CloseConsole(); };
    shellActions.quit = [] { ShowQuitMenuInGame(); };
    SetShellActionHooks(std::move(shellActions));
}
