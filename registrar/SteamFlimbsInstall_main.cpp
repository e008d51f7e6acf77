// SteamFlimbsInstall: registers the level and package file types for the user.
#include "registrar/FileTypeRegistrar.h"

#include <iostream>

int main()
{
    return RegisterFileTypes(RegistrarSettingsFromEnvironment(), std::cerr);
}
