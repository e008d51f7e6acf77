#include "session/SessionServices.h"

#include "app/Log.h"

bool LaunchLevelAsHost(const std::string& levelFile)
{
    // The game server and client are not part of this build yet.
    WriteLog("Cannot host %s: no game session available\n", levelFile.c_str());
    return false;
}

std::string SessionLevelName()
{
    return {};
}

bool SavePlayback(const std::string& path, int)
{
    WriteLog("Cannot save the playback %s: no game session\n", path.c_str());
    return false;
}
