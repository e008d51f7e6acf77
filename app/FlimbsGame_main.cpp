// FlimbsGame: opens the main window and runs until it is closed or a quit is requested.
#include "app/Log.h"
#include "app/UserFolders.h"
#include "media/SoundManager.h"
#include "platform/window/MainWindow.h"

#include <chrono>
#include <thread>

int main()
{
    platform::InstallQuitSignalHandlers();
    SetProgramFolder(ProgramFolderFromExecutable());
    CreateUserFolders();
    WriteLog("Path set %d\n", 0);
    soundManager.Start();

    platform::MainWindow window;
    if (!window.Create("Flimbs", {64, 64, 64 + 1024, 64 + 768})) {
        platform::ShowSystemMessageBox("Exception", "Could not create the main window");
        return 0;
    }
    window.Show();
    window.Raise();
    WriteLog("Game ready %d\n", 0);

    while (window.PumpEvents() != platform::PumpResult::Quit)
        std::this_thread::sleep_for(std::chrono::milliseconds(window.IsForeground() ? 1 : 10));

    window.Destroy();
    soundManager.Shutdown();
    WriteLog("[night falls, and once again peace fills the land....]\n");
    return 0;
}
