#include "session/SessionServices.h"

#include "app/GameException.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "game/GameController.h"
#include "gui/MessageBox.h"
#include "gui/WindowList.h"
#include "net/NetServices.h"
#include "net/StatsSnapshot.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameSessions.h"
#include "session/MatchStats.h"
#include "session/PlaybackRunner.h"
#include "session/SessionGame.h"
#include "session/SessionHooks.h"
#include "world/WorldState.h"

#include <cstdio>

namespace {

PlaybackReturnCallback playbackReturn = nullptr;

} // namespace

void InstallSessionHooks()
{
    SetStatsSnapshotSource(GatherStatsSnapshot);
    SetStatsMatchFacts(SessionStatsMatchFacts());
    InstallSessionGameHooks();
}

void InstallNetNotices()
{
    // Notices of the network layer go to the game's message log as local notices.
    SetNetNoticeSink([](const std::string& text) { Controller().messages.Add(text, -2); });
}

namespace {

// When the session fails: its window closes, the front end returns and the message shows.
void SessionFailed(const std::string& error)
{
    if (auto* session = dynamic_cast<FlimbsGameBase*>(FindOpenWindow("FlimbsGameBase")))
        session->Close();
    ShowFrontEndMenus();
    if (!error.empty())
        ShowMessageBox("Error", error);
}

} // namespace

bool IsPlaybackFileName(const std::string& name)
{
    return EndsWithNoCase(name, ".flimbs");
}

bool VerifyPlayback(const std::string& path)
{
    const PlaybackRunResult result = RunPlaybackFile(path);
    const std::string line = PlaybackResultLine(path, result);
    WriteLog("%s\n", line.c_str());
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    return result.ok;
}

bool LaunchLevelAsHost(const std::string& levelFile)
{
    InstallNetNotices();
    if (IsPlaybackFileName(levelFile)) {
        try {
            OpenWindow(new FlimbsPlayer(levelFile), true);
        } catch (const GameException& failure) {
            WriteLog("%s\n", failure.what());
            ShowMessageBox("Error", failure.what());
            return false;
        }
        return true;
    }
    FlimbsGameHost* host = nullptr;
    try {
        host = new FlimbsGameHost(0, false);
    } catch (const GameException& failure) {
        WriteLog("%s\n", failure.what());
        return false;
    }
    OpenWindow(host, true);
    LevelRequest request;
    request.run = [host, levelFile](GameClient&) { host->HostLevel(levelFile); };
    request.onError = SessionFailed;
    host->RunLevelRequest(request);
    return true;
}

// Every level runs under a client of its session; once it is connected the match knows the
// player's name and avatar.
bool MatchClientRunning()
{
    const GameClient* client = CurrentClient();
    return client && client->HasStream();
}

void SendAvatarToMatch()
{
    GameClient* client = CurrentClient();
    if (!client || !client->HasStream())
        return;
    client->SendAvatar(CurrentProfile().AvatarDataPath());
}

bool AutoCheckpointRequested()
{
    return CommandState().checkpoint;
}

void SetPlaybackReturnCallback(PlaybackReturnCallback callback)
{
    playbackReturn = callback;
}

bool RunPlaybackReturnCallback()
{
    const PlaybackReturnCallback callback = playbackReturn;
    playbackReturn = nullptr;
    if (!callback)
        return false;
    callback();
    return true;
}
