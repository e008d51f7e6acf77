// The session's console variables and commands: the client's ("connect", "disconnect",
// "say", "username", "password", "lag", "save", "fastforward"), the server's ("loadlevel",
// "create", "update", "pause", "kick", "publicServer") and the settings the session reads
// first ("auto_pause", "debug_mode", "connectIP"); "connectPORT" and "statsmatch" belong to
// the statistics client, "serverPORT" to the global configuration.
#include "session/SessionConsole.h"

#include "app/ConsoleParam.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "game/GameController.h"
#include "gui/WindowList.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "session/GameSessions.h"
#include "session/SessionGame.h"
#include "session/SessionHooks.h"
#include "world/BindableAction.h"
#include "world/ViewServices.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace {

using Type = ConsoleParamType;

bool g_nameLock = false;
bool g_announceLag = true;

int IntOf(const char* name, int fallback)
{
    const ConsoleParam* param = ConsoleParam::Find(name);
    return param ? param->GetInt() : fallback;
}

bool ServerExists()
{
    return CurrentServer() != nullptr;
}

void LagChanged(ConsoleParam& lag)
{
    if (lag.GetInt() < kMinLagMs || lag.GetInt() > kMaxLagMs) {
        lag.SetInt(std::clamp(lag.GetInt(), kMinLagMs, kMaxLagMs));
        return;
    }
    if (GameServer* server = CurrentServer(); server && g_announceLag)
        server->Broadcast(MakeSetHostVariable(kHostVarMsPerUpdate, static_cast<uint32_t>(lag.GetInt())));
    WriteLog("%s is now %s\n", lag.Name().c_str(), lag.ValueText().c_str());
}

void UserNameChanged(ConsoleParam& param)
{
    const std::string filtered = FilterUserName(param.GetString());
    if (filtered != param.GetString()) {
        param.SetString(filtered);
        return;
    }
    if (GameClient* client = CurrentClient())
        client->SendUsername();
}

void PasswordChanged(ConsoleParam&)
{
    WriteLog("The new password has been set\n");
    if (GameClient* client = CurrentClient())
        client->SendUsername();
}

void Connect(ConsoleParam&)
{
    if (CurrentClient())
        return;
    auto* session = new FlimbsGameMultiClient(ConnectAddressSetting(), ConnectPortSetting());
    OpenWindow(session, true);
}

void Disconnect(ConsoleParam&)
{
    if (auto* session = dynamic_cast<FlimbsGameBase*>(FindOpenWindow("FlimbsGameBase")))
        session->Close();
    DeactivateAllWindows();
    ShowFrontEndMenus();
}

void Say(ConsoleParam& command)
{
    if (GameClient* client = CurrentClient())
        client->SendChat(command.GetString(), -1);
}

void Save(ConsoleParam& command)
{
    GameClient::SavePlayback(command.GetString());
}

void FastForward(ConsoleParam& param)
{
    const std::string& text = param.GetString();
    GameClient::RunPlayback(text.empty() ? UINT32_MAX : static_cast<uint32_t>(std::max(0, param.GetInt())));
}

void LoadLevelCommand(ConsoleParam& command)
{
    if (GameServer* server = CurrentServer())
        server->LoadLevel(command.GetString());
}

void CreateCommand(ConsoleParam&)
{
    GameServer* server = CurrentServer();
    if (!server || !FindOpenWindow("MOUSEPORT"))
        return;
    if (!SessionGame().DebugSwitch())
        return;
    int32_t x = 0, y = 0;
    MouseWorldPoint(x, y);
    server->BroadcastCreateFlimb(x, y, 0, 0);
}

void UpdateCommand(ConsoleParam&)
{
    if (GameServer* server = CurrentServer()) {
        NetRecord tick = MakeUpdateFlimbs(3);
        server->Broadcast(tick);
        server->CountUpdate();
    }
}

void PauseCommand(ConsoleParam&)
{
    GameServer* server = CurrentServer();
    if (!server)
        return;
    if (server->State() == GameServer::kPaused)
        server->Resume();
    else
        server->RequestPause(1, false);
}

void KickCommand(ConsoleParam& command)
{
    if (GameServer* server = CurrentServer())
        server->Kick(command.GetInt());
}

void PublicChanged(ConsoleParam& param)
{
    if (GameServer* server = CurrentServer())
        server->SetPublic(param.GetInt() != 0);
}

// The "PauseGame" key: a playback session pauses and resumes itself; a live one asks the
// server.
void PauseGameKey(int pressed)
{
    if (!pressed)
        return;
    ClientCommandState& state = CommandState();
    if (state.sessionKind == kPlaybackPaused || state.sessionKind == kPlaybackPlaying) {
        state.sessionKind = state.sessionKind == kPlaybackPaused ? kPlaybackPlaying : kPlaybackPaused;
        return;
    }
    if (GameClient* client = CurrentClient())
        client->SendSetHostVariable(kHostVarPause, Controller().runState == kRunPaused ? 0 : 1);
}

struct KeyActions {
    KeyActions() { SetBindableActionHandler("PauseGame", PauseGameKey); }
} g_keyActions;

ConsoleParam g_lag("lag", Type::Int, "75", "network clock pulse (milliseconds)", LagChanged);
ConsoleParam g_publicServer("publicServer", Type::Int, "1", "make the server available on the public server listing",
                            PublicChanged);
ConsoleParam g_autoPause("auto_pause", Type::Int, "1", "Auto pause when player leaves match");
ConsoleParam g_debugMode("debug_mode", Type::Int, "0", "");
ConsoleParam g_connectIp("connectIP", Type::Text, "127.0.0.1", "the direct connect address");
ConsoleParam g_userName("username", Type::Text, "Player", "multiplayer username", UserNameChanged,
                        [] { return !g_nameLock; });
ConsoleParam g_password("password", Type::Text, "", "password for the username", PasswordChanged,
                        [] { return !g_nameLock; });
ConsoleParam g_connect("connect", Type::Command, "", "connect to a server", Connect);
ConsoleParam g_disconnect("disconnect", Type::Command, "", "disconnect from server", Disconnect);
ConsoleParam g_say("say", Type::Command, "", "", Say);
ConsoleParam g_save("save", Type::Command, "", "saves the current game", Save);
ConsoleParam g_fastForward("fastforward", Type::Int, "0", "fast forward the playback (milliseconds)", FastForward);
ConsoleParam g_loadLevel("loadlevel", Type::Command, "0", "Load a level", LoadLevelCommand, ServerExists);
ConsoleParam g_create("create", Type::Command, "0", "debug - send a create-Flimb message", CreateCommand,
                      ServerExists);
ConsoleParam g_update("update", Type::Command, "0", "debug - tell client to move flimbs", UpdateCommand,
                      ServerExists);
ConsoleParam g_pause("pause", Type::Command, "0", "pause game", PauseCommand, ServerExists);
ConsoleParam g_kick("kick", Type::Command, "0", "kick an online player", KickCommand, ServerExists);

} // namespace

int LagSetting()
{
    return g_lag.GetInt();
}

void SetLagSetting(int ms, bool announce)
{
    g_announceLag = announce;
    g_lag.SetInt(ms);
    g_announceLag = true;
}

int ServerPortSetting()
{
    return IntOf("serverPORT", 9877);
}

int ConnectPortSetting()
{
    return IntOf("connectPORT", 9877);
}

std::string ConnectAddressSetting()
{
    return g_connectIp.GetString();
}

bool PublicServerSetting()
{
    return g_publicServer.GetInt() != 0;
}

bool AutoPauseSetting()
{
    return g_autoPause.GetInt() != 0;
}

bool StatsMatchSetting()
{
    return IntOf("statsmatch", 0) != 0;
}

bool SessionVerbose()
{
    return g_debugMode.GetInt() != 0;
}

bool GodModeSetting()
{
    return IntOf("god", 0) != 0 || IntOf("demigod", 0) != 0;
}

std::string UserNameSetting()
{
    return g_userName.GetString();
}

std::string PasswordSetting()
{
    return g_password.GetString();
}

int LoadQuickSetting()
{
    return IntOf("loadquick", 0);
}

void SetLoadQuickSetting(int value)
{
    if (ConsoleParam* param = ConsoleParam::Find("loadquick"))
        param->SetInt(value);
}

int maxPlayers = 16;

int MaxPlayersSetting()
{
    return maxPlayers;
}

void SetMaxPlayersSetting(int players)
{
    maxPlayers = players;
}

void SetNameLock(bool locked)
{
    g_nameLock = locked;
}

std::string FilterUserName(const std::string& name)
{
    std::string kept;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == ' ' || c == '@' || c == '_' || c == '.' || c == '\'' || c == '-')
            kept += c;
        if (kept.size() == 24)
            break;
    }
    return kept.empty() ? "PlayerX" : kept;
}
