#include "session/GameServer.h"

#include "app/FileManager.h"
#include "app/GameClock.h"
#include "app/GameException.h"
#include "app/HostPath.h"
#include "app/Log.h"
#include "app/MemoryFileManager.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "app/Uuid.h"
#include "game/GameController.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "net/IFlimbsStream.h"
#include "net/LanRecord.h"
#include "net/LanMulticast.h"
#include "net/PseudoTcpHost.h"
#include "net/WebStats.h"
#include "net/WorldServerClient.h"
#include "net/WorldServerHostAgent.h"
#include "net/flimbsworld.pb.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameSessions.h"
#include "session/NetInfoFile.h"
#include "session/SessionConsole.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>
#include "session/ServerPlayers.h"

using namespace netfield;
using namespace server;

namespace {

GameServer* g_current = nullptr;

constexpr uint32_t kPingIntervalMs = 1000;
constexpr int kPauseSpacing = 20;

} // namespace

namespace server {

PlayerRecord* FindPlayer(int id)
{
    for (const auto& player : Controller().players)
        if (player->id == id)
            return player.get();
    return nullptr;
}

int CountParticipants()
{
    int count = 0;
    for (const auto& player : Controller().players)
        count += player->spectator ? 0 : 1;
    return count;
}

int ChooseFreeGroup()
{
    std::array<int, 8> counts{};
    for (const auto& player : Controller().players)
        if (!player->spectator && player->group < 8)
            ++counts[player->group];
    bool anyInUse = false;
    for (const GroupEntry& group : Controller().groups)
        anyInUse = anyInUse || group.inUse;
    for (int g = 0; g < 8; ++g)
        if ((!anyInUse || Controller().groups[size_t(g)].inUse) && counts[size_t(g)] == 0)
            return g;
    return -1;
}

std::string HexGuid(const std::array<uint8_t, 16>& guid)
{
    return UuidToString(guid.data());
}

} // namespace server

GameServer* CurrentServer()
{
    return g_current;
}

void SetCurrentServer(GameServer* server)
{
    g_current = server;
    SetGameServerCommands(server);
    Controller().hostServerState = server ? server->State() : 0;
}

void GameServer::SetState(int state)
{
    state_ = state;
    if (g_current == this)
        Controller().hostServerState = state;
}

// ---- Life -----------------------------------------------------------------------------------

GameServer::GameServer(bool networked, int port, Clock clock)
    : networked_(networked), clock_(clock ? std::move(clock) : Clock([] { return gameClock.Now(); })),
      receive_(new uint8_t[kMaxNetRecord]), alive_(std::make_shared<int>(0))
{
    storedGameData_ = NetRecord(kCmdGameData, NetCommandTable[kCmdGameData].size);
    sessionId_ = NewUuid();
    if (networked_ && PublicServerSetting()) {
        iceHost_ = std::make_unique<WorldServerHostAgent>();
        iceHost_->SignalStreamReady.connect([this](IFlimbsStream* stream) { OnNewConnection(stream); });
    }
    udpHost_ = std::make_unique<PseudoTcpHost>(port < 0 ? ServerPortSetting() : port);
    udpHost_->SignalStreamReady.connect([this](IFlimbsStream* stream) { OnNewConnection(stream); });
    ResetMatch();
    SetPublic(PublicServerSetting());
    levelLoaded_ = false;
    if (networked_ && !announcer_ && !SessionGame().EditorTest()) {
        try {
            announcer_ = std::make_unique<LanMulticastSender>();
        } catch (const GameException&) {
            WriteLog("Couldn't start LAN server broadcaster!\n");
        }
    }
    lastPing_ = tickBase_ = lastAnnounce_ = clock_();
}

GameServer::~GameServer()
{
    clients_.clear();
    CloseRecording();
    if (announcer_)
        announcer_->Close();
    announcer_.reset();
    if (iceHost_)
        iceHost_->DisconnectAll();
    iceHost_.reset();
    udpHost_.reset();
    SetState(kDestroyed);
    if (g_current == this)
        SetCurrentServer(nullptr);
    WriteLog("GameServer Destructed\n");
}

int GameServer::Port() const
{
    return udpHost_ ? udpHost_->Port() : 0;
}

void GameServer::NewSessionId()
{
    sessionId_ = NewUuid();
}

bool GameServer::ClientInGame(int client) const
{
    const auto found = clients_.find(client);
    return found != clients_.end() && found->second->inGame;
}

// ---- Sending ------------------------------------------------------------------------------

void GameServer::Broadcast(const uint8_t* message, bool keepStamp)
{
    NetRecord copy = NetRecord::Copy(message);
    if (!keepStamp)
        copy[1] = static_cast<uint8_t>(counter_);
    if (SessionVerbose())
        WriteLog("SERVER2CLIENT [ALL] CMD [%s] C[%d]\n", NetCommandName(copy[0]), copy[1]);
    for (auto& [number, client] : clients_)
        if (client->inGame && client->ready && client->stream)
            client->stream->Send(copy.data());
    if (copy[0] < kNetCommandCount && NetCommandTable[copy[0]].serverRecords)
        RecordMessage(copy.data());
}

void GameServer::SendTo(int number, const uint8_t* message, bool keepStamp)
{
    const auto found = clients_.find(number);
    if (found == clients_.end() || !found->second->stream)
        return;
    NetRecord copy = NetRecord::Copy(message);
    if (!keepStamp)
        copy[1] = static_cast<uint8_t>(counter_);
    copy[4] = 0;
    if (SessionVerbose())
        WriteLog("SERVER2CLIENT[%d] CMD [%s] C[%d]\n", number, NetCommandName(copy[0]), copy[1]);
    found->second->stream->Send(copy.data());
}

void GameServer::RecordMessage(const uint8_t* message)
{
    if (recording_ && !recording_->suspended)
        recording_->WriteRecord(message);
}

void GameServer::OpenRecording(bool append)
{
    recording_ = std::make_unique<NetInfoFileWriter>();
    recording_->compressed = true;
    if (!recording_->Open(kServerRecordingPath, append)) {
        WriteLog("Couldn't open the server recording %s\n", kServerRecordingPath);
        recording_.reset();
    }
}

void GameServer::CloseRecording()
{
    if (recording_)
        recording_->Close();
    recording_.reset();
}

void GameServer::PostLocal(const std::string& text, int sound)
{
    Controller().messages.Add(text, -2);
    soundManager.PlayEffect(sound, 1.0f);
    WriteLog("%s\n", text.c_str());
}

// ---- The per-frame update -----------------------------------------------------------------

void GameServer::Announce()
{
    const uint32_t now = clock_();
    const uint32_t elapsed = now - lastAnnounce_;
    lastAnnounce_ = now;
    if (!announcer_)
        return;
    LanServerRecord record;
    record.serverId = HexGuid(sessionId_);
    record.serverName = WorldServerHostAgent::ServerNameSetting();
    record.levelGuid = level_.name;
    record.levelTitle = level_.title;
    record.gameMode = level_.modeIndex;
    record.players = static_cast<int>(Controller().players.size());
    record.maxPlayers = maxPlayers;
    record.serverState = state_;
    record.serverPort = Port();
    UpdateLanSender(*announcer_, elapsed, record);
}

void GameServer::Update(bool processNetwork)
{
    Announce();
    if (iceHost_)
        iceHost_->Pump();
    if (udpHost_)
        udpHost_->Update();
    if (processNetwork) {
        std::vector<int> numbers;
        for (const auto& entry : clients_)
            numbers.push_back(entry.first);
        for (int number : numbers) {
            const auto found = clients_.find(number);
            if (found == clients_.end())
                continue;
            Client& client = *found->second;
            if (!client.stream || !client.stream->IsConnected()) {
                OnClientLeft(number);
                clients_.erase(number);
                continue;
            }
            ReceiveFrom(number, client);
        }
    }
    StateStep();
}

void GameServer::ReceiveFrom(int number, Client& client)
{
    while (client.stream && client.stream->Receive(receive_.get(), static_cast<int>(kMaxNetRecord))) {
        const RecordFault fault = ValidateRecord(receive_.get(), kMaxNetRecord);
        if (fault == RecordFault::BadId) {
            WriteLog("NETINFO from client contains an invalid type.  Disconnecting client!\n");
        } else if (fault == RecordFault::BadSize) {
            WriteLog("NETINFO from client contains invalid CMD SIZE.  Disconnecting client\n");
        } else if (fault != RecordFault::None) {
            WriteLog("NETINFO from client contains invalid data (%s).  Disconnecting client!\n",
                     RecordFaultText(fault));
        } else {
            HandleClientCommand(number);
            if (clients_.find(number) == clients_.end())
                return;
            continue;
        }
        DropClient(number);
        return;
    }
}

void GameServer::DropClient(int number)
{
    OnClientLeft(number);
    clients_.erase(number);
}

void GameServer::StateStep()
{
    switch (state_) {
    case kLobby:
        PingTick(true);
        if (CompareChecksums() == 2) {
            PostLocal("Player has an invalid checksum.  Try another level.");
            if (SessionGame().PlayKind() == 1 && CurrentGameModeIndex() == 4)
                WriteLog("Restarting the level\n"); // Seam: RestartLevel of the HUD's buttons.
        }
        if (StatsMatchSetting()) {
            for (const auto& player : Controller().players) {
                if (player->reported || !GlobalWebStats().IsAccountValid(player->name, player->accountPassword))
                    continue;
                player->reported = 1;
                Broadcast(MakeNetResult(kNrFinished, 1, player->id));
            }
        }
        break;
    case kRunning:
        PingTick(false);
        SendTicks();
        break;
    case kEndCheck: {
        const int result = CompareChecksums();
        if (result != 0) {
            SetState(kLobby);
            if (result == 2)
                PostLocal("Endgame checksum does not match.  Win/loss results are not valid.");
            BroadcastGameOver();
        }
        break;
    }
    default:
        break;
    }
}

void GameServer::SendTicks()
{
    if (Controller().runState == kRunNone)
        return;
    const uint32_t lag = static_cast<uint32_t>(LagSetting());
    const uint32_t now = clock_();
    if (int32_t(now - (tickBase_ + lag)) <= 0)
        return;
    int sent = 0;
    while (sent < 2) {
        tickBase_ += lag;
        if (ModeIsMatchOver()) {
            SetState(kEndCheck);
            RequestChecksums();
            return;
        }
        Broadcast(MakeUpdateFlimbs());
        ++counter_;
        ++sent;
        if (int32_t(now - (tickBase_ + lag)) <= 0)
            break;
    }
    // A server that fell behind drops the missed ticks instead of bursting.
    if (sent == 2 && int32_t(now - (tickBase_ + lag)) > 0)
        tickBase_ = now;
}

void GameServer::PingTick(bool force)
{
    const uint32_t now = clock_();
    const bool answered = pingReplies_ == 0 || pingReplies_ >= static_cast<int>(clients_.size());
    if (!(answered || force) || now - lastPing_ <= kPingIntervalMs)
        return;
    pingReplies_ = 0;
    lastPing_ = now;
    std::array<uint16_t, 16> pings{};
    for (const auto& player : Controller().players)
        if (player->id < kMaxPlayers)
            pings[player->id] = player->ping;
    Broadcast(MakeRequestPing(pings, force ? kDeliveryUnordered : kDeliveryUnordered | kDeliveryUnreliable));
}

// ---- Match control ------------------------------------------------------------------------

void GameServer::ResetMatch()
{
    lastPauseUpdate_ = -100;
    SetState(kLobby);
    Republish();
    for (const auto& player : Controller().players)
        player->loaded = 0;
    for (auto& entry : clients_)
        entry.second->levelOk = false;
    Broadcast(MakeNetResult(kNrWaitForPlayers, 0, 0));
    if (StatsMatchSetting()) {
        int participants = 0;
        for (const auto& player : Controller().players) {
            uint8_t group = kSpectatorGroup;
            if (!player->spectator && participants < 2)
                group = static_cast<uint8_t>(participants++);
            Broadcast(MakeTeamChange(player->id, group, 0xFF));
        }
    }
}

void GameServer::ResetRecording()
{
    CloseRecording();
    WriteLog("Reset Server Session (New netload file)\n");
    Broadcast(MakeNetResult(kNrReset, 0, 0));
    OpenRecording(false);
}

void GameServer::StartMatch()
{
    if (SessionVerbose())
        WriteLog("Server starting to run..\n");
    if (state_ == kConstructed || state_ == kPaused)
        return;
    if (!AllPlayersReady()) {
        if (SessionVerbose())
            WriteLog("bad checksum\n");
        PostLocal("Some players are still loading the level, please try again in a few seconds.");
        return;
    }
    SetState(kRunning);
    tickBase_ = lastPing_ = clock_();
    Republish();
    NewSessionId();
    Broadcast(MakeSession(sessionId_));
    std::array<uint8_t, 8> groups{};
    for (size_t g = 0; g < 8; ++g) {
        if (SessionGame().PlayKind() == 1) {
            bool played = false;
            for (const auto& player : Controller().players)
                played = played || (!player->spectator && player->group == g);
            groups[g] = (played || SessionGame().GroupHasStartTrap(static_cast<uint8_t>(g))) ? 1 : 0;
        } else {
            // The level's groups, and the groups its loaded world adds (a Multiverse level's
            // FlimbMaster group, whose universe the loader made).
            groups[g] = (level_.groupsInUse[g] || SessionGame().GroupHasStartTrap(static_cast<uint8_t>(g))) ? 1 : 0;
        }
    }
    Broadcast(MakeStartGame(groups));
    Broadcast(MakeSetHostVariable(kHostVarMsPerUpdate, static_cast<uint32_t>(LagSetting())));
}

bool GameServer::AllPlayersReady() const
{
    for (const auto& player : Controller().players) {
        const auto found = clients_.find(player->id);
        const bool answered = found != clients_.end() && found->second->levelOk;
        if (!player->loaded && !answered)
            return false;
    }
    return true;
}

void GameServer::ContinueMatch()
{
    if (state_ == kConstructed || state_ == kPaused || !AllPlayersReady())
        return;
    SetState(kRunning);
    Broadcast(MakeNetResult(kNrContinueGame, 0, 0xFF));
    tickBase_ = lastPing_ = clock_();
}

void GameServer::RequestPause(int on, bool force)
{
    if (on == 0) {
        if (state_ == kPaused)
            SetState(savedState_);
    } else if (state_ != kPaused) {
        const int32_t now = static_cast<int32_t>(counter_);
        if (!force && now - lastPauseUpdate_ < kPauseSpacing && !GodModeSetting()) {
            PostLocal("Pausing is unavailable right now, try again in a second.");
            soundManager.PlayEffect(kEffectRefused, 1.0f);
            return;
        }
        lastPauseUpdate_ = now;
        savedState_ = state_;
        SetState(kPaused);
    }
    Republish();
    tickBase_ = clock_();
}

void GameServer::Resume()
{
    if (state_ != kPaused)
        return;
    SetState(savedState_);
    if (iceHost_)
        iceHost_->Pump();
    tickBase_ = clock_();
}

void GameServer::FreezeTime()
{
    if (state_ != kPaused) {
        savedState_ = state_;
        SetState(kPaused);
    }
    Republish();
    tickBase_ = clock_();
    Broadcast(MakeFreezeTime());
}

void GameServer::RequestChecksums()
{
    WriteLog("Requesting Checksum\n");
    for (const auto& player : Controller().players)
        player->checksumReceived = 0;
    Broadcast(MakeChecksum(0));
}

int GameServer::CompareChecksums()
{
    const auto& players = Controller().players;
    if (players.empty())
        return 0;
    for (const auto& player : players)
        if (!player->checksumReceived || !player->loaded)
            return 0;
    const PlayerRecord* reference = FindPlayer(0);
    if (!reference)
        return 0;
    bool differed = false;
    for (const auto& player : players) {
        if (player->spectator || player->checksum == reference->checksum)
            continue;
        WriteLog("Client %d has a bad level checksum. Expected [%d @ update %d], Received [%d @ update %d]\n",
                 player->id, static_cast<int32_t>(reference->checksum), static_cast<int32_t>(reference->checksumUpdate),
                 static_cast<int32_t>(player->checksum), static_cast<int32_t>(player->checksumUpdate));
        player->loaded = 0;
        player->checksumReceived = 0;
        if (const auto found = clients_.find(player->id); found != clients_.end())
            found->second->levelOk = false;
        Broadcast(MakeNetResult(kNrBadChecksum, 0, player->id));
        differed = true;
    }
    return differed ? 2 : 1;
}

void GameServer::BroadcastGameOver()
{
    Broadcast(MakeGameOver(ClientUpdateCounter()));
}

void GameServer::BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t type, uint8_t param)
{
    Broadcast(MakeServerCreateFlimb(x, y, type, param));
}
