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

GameClientRequests* client = nullptr;
GameServerCommands* server = nullptr;
bool playbackRunning = false;
PlaybackReturnCallback playbackReturn = nullptr;

// The client to send through, or null when nothing may be sent now.
GameClientRequests* Sender()
{
    return client && !PreviewRunning() ? client : nullptr;
}

} // namespace

void InstallSessionHooks()
{
    SetStatsSnapshotSource(GatherStatsSnapshot);
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

void SetGameClientRequests(GameClientRequests* requests)
{
    client = requests;
}

GameClientRequests* CurrentGameClientRequests()
{
    return client;
}

void SendHighlight(int16_t flimbId)
{
    if (GameClientRequests* sender = Sender())
        sender->SendHighlight(flimbId);
}

void SendUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t argument, int32_t value)
{
    if (GameClientRequests* sender = Sender())
        sender->SendUpdateFlimbType(flimbId, type, argument, value);
}

void SendGulpChange(int16_t flimbId, uint8_t variant)
{
    if (GameClientRequests* sender = Sender())
        sender->SendGulpChange(flimbId, variant);
}

void SendTrapState(const Trap& trap, uint8_t activate, int32_t flimbId)
{
    if (GameClientRequests* sender = Sender())
        sender->SendTrapState(trap, activate, flimbId);
}

void SendNetBash(const std::string& imagePath, float scaleX, float scaleY, uint8_t material, uint32_t affectedMaterials,
                 uint32_t tint, float rotation, uint8_t flag, int32_t x, int32_t y)
{
    if (GameClientRequests* sender = Sender())
        sender->SendNetBash(imagePath, scaleX, scaleY, material, affectedMaterials, tint, rotation, flag, x, y);
}

void SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y)
{
    if (GameClientRequests* sender = Sender())
        sender->SendCreateFlimb(flimbId, x, y);
}

void SendSetHostVariable(uint8_t variable, int32_t value)
{
    if (GameClientRequests* sender = Sender())
        sender->SendSetHostVariable(variable, value);
}

void SendGameData(const std::string& levelFile)
{
    if (GameClientRequests* sender = Sender())
        sender->SendGameData(levelFile);
}

void SendChat(const std::string& name, const std::string& text, int32_t speaker, bool groupOnly)
{
    if (GameClientRequests* sender = Sender())
        sender->SendChat(name, CutChatText(text), speaker, groupOnly);
    else
        WriteLog("CHAT: %s\n", text.c_str());
}

void SendTypingState(bool typing)
{
    if (GameClientRequests* sender = Sender())
        sender->SendTypingState(typing);
}

void SendDecoration(uint8_t flag, int16_t flimbId, const std::string& decoration)
{
    if (GameClientRequests* sender = Sender())
        sender->SendDecoration(flag, flimbId, decoration);
}

void EmitLeave()
{
    if (client)
        client->EmitLeave();
}

std::string CutChatText(const std::string& text)
{
    return CutUtf8(text, kChatTextBytes);
}

void SendTeamChange(uint8_t group)
{
    if (GameClientRequests* sender = Sender())
        sender->SendTeamChange(group);
}

void SendPlayerTeamChange(uint8_t playerId, uint8_t group)
{
    if (GameClientRequests* sender = Sender())
        sender->SendPlayerTeamChange(playerId, group);
}

void SendGameModeState(const std::string& xml)
{
    if (GameClientRequests* sender = Sender())
        sender->SendGameModeState(xml);
}

void SendGameManagerState(const std::string& xml)
{
    if (GameClientRequests* sender = Sender())
        sender->SendGameManagerState(xml);
}

bool GameClientExists()
{
    return client != nullptr;
}

ClientAgent* SessionWorldServerAgent()
{
    return client ? client->WorldServerAgent() : nullptr;
}

PseudoTcpClientAgent* SessionDirectAgent()
{
    return client ? client->DirectAgent() : nullptr;
}

void SetGameServerCommands(GameServerCommands* commands)
{
    server = commands;
}

void BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t group, uint8_t variant)
{
    if (server && !PreviewRunning())
        server->BroadcastCreateFlimb(x, y, group, variant);
}

std::string SessionLevelName()
{
    if (!CurrentClient())
        return {};
    return GetFileTitle(SessionGame().LoadedLevel().name, true);
}

bool SavePlayback(const std::string& path, int flag)
{
    if (!CurrentClient()) {
        WriteLog("Cannot save the playback %s: no game session\n", path.c_str());
        return false;
    }
    return GameClient::SavePlayback(path, flag != 0);
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

bool GameServerExists()
{
    return server != nullptr;
}

bool PlayRecording(const std::string& name)
{
    if (!server) {
        WriteLog("Cannot play %s: no game server\n", name.c_str());
        return false;
    }
    return server->PlayRecording(name);
}

void CheckServerReceived()
{
    if (server)
        server->CheckReceived();
}

int SessionStateWord()
{
    return server ? server->StateWord() : 0;
}

void RequestAutoCheckpoint()
{
    CommandState().checkpoint = true;
}

bool AutoCheckpointRequested()
{
    return CommandState().checkpoint;
}

bool PlaybackRunning()
{
    return playbackRunning;
}

void SetPlaybackRunning(bool running)
{
    playbackRunning = running;
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
