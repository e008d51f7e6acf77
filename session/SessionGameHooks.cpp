// The session's part of the simulation's hooks (game/GameHooks.h), filled at start-up
// (InstallSessionHooks): checkpoints, the recording, the level's name, the statistics report,
// the command stream's state and the match rules' effects.
#include "game/GameHooks.h"
#include "session/SessionServices.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "net/WebStats.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameMatchEffects.h"
#include "session/SessionGame.h"

namespace {

bool SaveMatchRecording(const std::string& path, int flag)
{
    if (!CurrentClient()) {
        WriteLog("Cannot save the playback %s: no game session\n", path.c_str());
        return false;
    }
    return GameClient::SavePlayback(path, flag != 0);
}

std::string MatchLevelName()
{
    if (!CurrentClient())
        return {};
    return GetFileTitle(SessionGame().LoadedLevel().name, true);
}

} // namespace

void InstallSessionGameHooks()
{
    GameHooks& hooks = CurrentGameHooks();
    hooks.requestAutoCheckpoint = [] { CommandState().checkpoint = true; };
    hooks.savePlayback = SaveMatchRecording;
    hooks.sessionLevelName = MatchLevelName;
    hooks.reportMatchStart = [](const std::string& levelName) { GlobalWebStats().SendGameStart(levelName); };
    hooks.playbackPaused = [] { return CommandState().sessionKind == kPlaybackPaused; };
    hooks.catchingUp = [] { return CommandState().waiting; };
    hooks.matchEffects = &GameMatchEffects();
}
