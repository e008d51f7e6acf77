// FlimbsPackageInstaller: lists and installs level packages into the player's level folders.
#include "installer/InstallerProgram.h"
#include "platform/window/MainWindow.h"

int main(int argc, char** argv)
{
    platform::InstallQuitSignalHandlers();
    return RunPackageInstaller(argc, argv);
}
