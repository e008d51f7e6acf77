#include "frontend/menus/MovieMode.h"

#include "app/ConsoleParam.h"
#include "app/ConsoleSettings.h"
#include "app/GameClock.h"
#include "app/Log.h"
#include "frontend/menus/QuitMenu.h"
#include "media/DXManager.h"
#include "media/KBManager.h"
#include "media/MSManager.h"

namespace {

void SetInputModes(InputMode mode)
{
    kbManager.SetMode(mode);
    msManager.SetMode(mode);
}

// The variable is the ground's; its handler is the front end's.
[[maybe_unused]] const bool g_installed = [] {
    MovieModeParam().SetChangeHandler(MovieModeChanged);
    return true;
}();

} // namespace

void MovieModeChanged(ConsoleParam& moviemode)
{
    const int value = moviemode.GetInt();
    if (value == 1 || value == 2)
        QuitToMainMenu();
    WriteLog("Movie mode %d\n", value);
    switch (value) {
    case 1:
        gameClock.SwitchToFixedStep();
        gameClock.Update();
        SetInputModes(InputMode::Record);
        DXManager::SetMovieRecording(false);
        break;
    case 2:
        gameClock.SwitchToFixedStep();
        gameClock.Update();
        SetInputModes(InputMode::Playback);
        DXManager::SetMovieRecording(true);
        break;
    case 3:
        gameClock.SwitchToFixedStep();
        SetInputModes(InputMode::Off);
        DXManager::SetMovieRecording(true);
        break;
    default:
        gameClock.SwitchToRealTime();
        SetInputModes(InputMode::Off);
        DXManager::SetMovieRecording(false);
        break;
    }
}
