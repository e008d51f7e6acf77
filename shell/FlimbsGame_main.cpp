// FlimbsGame: starts every service, runs until a quit is requested, and stops them again.
#include "shell/CommandLine.h"
#include "shell/GameWnd.h"
#include "platform/window/MainWindow.h"

int main(int argc, char** argv)
{
    platform::InstallQuitSignalHandlers();
    SetProcessArguments(argc, argv);
    GameWnd game;
    int exitCode = 0;
    if (game.Init())
        exitCode = game.Run();
    else if (!game.HelpShown())
        exitCode = 1;
    game.Shutdown();
    return exitCode;
}
