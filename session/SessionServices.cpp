#include "session/SessionServices.h"

#include "app/Log.h"

bool LaunchLevelAsHost(const std::string& levelFile)
{
    // The game server and client are not part of this build yet.
    WriteLog("Cannot host %s: no game session available\n", levelFile.c_str());
    return false;
}
