#include "session/SessionServices.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "world/WorldState.h"

namespace {

GameClientRequests* client = nullptr;
GameServerCommands* server = nullptr;

// The client to send through, or null when nothing may be sent now.
GameClientRequests* Sender()
{
    return client && !PreviewRunning() ? client : nullptr;
}

} // namespace

bool LaunchLevelAsHost(const std::string& levelFile)
{
    // The game server and client are not part of this build yet.
    WriteLog("Cannot host %s: no game session available\n", levelFile.c_str());
    return false;
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
    return {};
}

bool SavePlayback(const std::string& path, int)
{
    WriteLog("Cannot save the playback %s: no game session\n", path.c_str());
    return false;
}

// Without a session there is no server to ask and no match to send to.
void PauseGameKey(int) {}

bool MatchClientRunning()
{
    return false;
}

void SendAvatarToMatch() {}
