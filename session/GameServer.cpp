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
#include "hud/playback/NetInfoFile.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "multiplayer/LanRecord.h"
#include "multiplayer/MultiplayerServices.h"
#include "net/IFlimbsStream.h"
#include "net/LanMulticast.h"
#include "net/PseudoTcpHost.h"
#include "net/WebStats.h"
#include "net/WorldServerClient.h"
#include "net/WorldServerHostAgent.h"
#include "net/flimbsworld.pb.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameSessions.h"
#include "session/SessionConsole.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

using namespace netfield;

namespace {

GameServer* g_current = nullptr;

constexpr int kEffectNotice = 12;
constexpr int kEffectBadRequest = 37;
constexpr int kEffectJoined = 26;
constexpr int kEffectRefused = 23;
constexpr uint32_t kPingIntervalMs = 1000;
constexpr int kPauseSpacing = 20;

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

// The group a joining player gets: the first group of the level without a player (any
// group when the level marks none), or -1 when all are taken.
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

} // namespace

GameServer* CurrentServer()
{
    return g_current;
}

void SetCurrentServer(GameServer* server)
{
    g_current = server;
    SetGameServerCommands(server);
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
    state_ = kDestroyed;
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
                if (player->reported || !GlobalWebStats().IsAccountValid(player->name, player->text3))
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
            state_ = kLobby;
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
            state_ = kEndCheck;
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

// ---- Requests -----------------------------------------------------------------------------

std::string GameServer::ClientLabel(int client) const
{
    const PlayerRecord* player = FindPlayer(client);
    if (player && player->name.rfind("Player", 0) != 0)
        return StringPrintf("%s[%d]", player->name.c_str(), client);
    const auto found = clients_.find(client);
    return found != clients_.end() && found->second->stream ? found->second->stream->GetName()
                                                            : StringPrintf("%d", client);
}

bool GameServer::IsAdminOrHost(int client) const
{
    const PlayerRecord* player = FindPlayer(client);
    return client == 0 || (player && player->admin);
}

bool GameServer::HandleClientCommand(int client)
{
    uint8_t* r = receive_.get();
    const uint8_t id = r[0];
    const std::string label = ClientLabel(client);
    if (SessionVerbose())
        WriteLog("SERVER RECV C=[%d], CMD=%s\n", client, NetCommandName(id));
    switch (id) {
    case kCmdCreateFlimb:
    case kCmdNetBash:
        if (state_ == kLobby)
            return false;
        Broadcast(r);
        return true;
    case kCmdUpdateFlimbType:
        return HandleTypeChange(client);
    case kCmdChat:
    case kCmdUpdateUsername:
    case kCmdUpdateTrap:
    case kCmdGameModeOptions:
    case kCmdDecoration:
    case kCmdGulpChange:
    case kCmdActionSelect:
    case kCmdUpdateMorphCount:
    case kCmdProfileId:
    case kCmdUpdateModifier:
        Broadcast(r);
        return true;
    case kCmdHighlight:
        if (state_ == kLobby)
            return false;
        // The player is the sender, whatever the request claims.
        PutU32(r, 8, (GetU32(r, 8) & 0xFFFFu) | static_cast<uint32_t>(client) << 16);
        Broadcast(r);
        return true;
    case kCmdNewPlayer: {
        const uint8_t player = r[6];
        switch (r[7]) {
        case 0:
            if (player != 0)
                Kick(player);
            return true;
        case 4:
            if (const PlayerRecord* record = FindPlayer(player); record && record->active) {
                Broadcast(r);
                return true;
            }
            return false;
        case 5:
            if (FindPlayer(player)) {
                Broadcast(r);
                return true;
            }
            return false;
        default:
            return false;
        }
    }
    case kCmdGameData: {
        if (!IsAdminOrHost(client))
            return false;
        const std::string name = GetText(r, kGameDataName, kGameDataNameBytes);
        if (!LoadLevel(name)) {
            const std::string path = SessionGame().MakeLevelPath(PlainFileName(name));
            pendingUpload_ = PlainFileName(name);
            Broadcast(MakeFileRequest(path, kFileKindLevel));
            WriteLog("Server requesting %s\n", path.c_str());
        }
        return true;
    }
    case kCmdNetResult:
        HandleNetResult(client, label);
        Broadcast(r);
        return true;
    case kCmdChecksum:
        if (PlayerRecord* player = FindPlayer(client)) {
            player->checksum = GetU32(r, 8);
            player->checksumUpdate = RebuildUpdateNumber(counter_, r[1]);
            player->checksumReceived = 1;
        }
        return true;
    case kCmdSPing:
        if (PlayerRecord* player = FindPlayer(r[6]))
            player->ping = static_cast<uint16_t>(clock_() - lastPing_);
        ++pingReplies_;
        return true;
    case kCmdTeamChange:
        return HandleTeamChange(client);
    case kCmdKeepAlive:
        return true;
    case kCmdUpdateGroup:
        if (r[6] < 8 && GetU32(r, 8) == 0) {
            Broadcast(MakeUpdateFlimbType(r[6], 2, 'B', 0));
            return true;
        }
        return false;
    case kCmdSetHostVariable:
        return HandleHostVariable(client);
    case kCmdFileData:
        return HandleFileData(client);
    case kCmdLevelQuery:
        if (GetU32(r, kLevelQueryAnswer) == 1) {
            WriteLog("Client %d has level %s\n", client,
                     GetText(r, kLevelQueryName, kLevelQueryNameBytes).c_str());
            if (const auto found = clients_.find(client); found != clients_.end()) {
                found->second->ready = true;
                found->second->inGame = true;
            }
            SendCatchUp(client);
            EnsureAdmin(-1, false);
            SendAvatars(client);
        }
        return true;
    default:
        WriteLog("Invalid Client Request/Response Packet!\n");
        soundManager.PlayEffect(kEffectBadRequest, 1.0f);
        return false;
    }
}

bool GameServer::HandleTypeChange(int client)
{
    uint8_t* r = receive_.get();
    const uint8_t sub = r[9];
    if (sub == 'B' || sub == 'M' || sub == 'X' || sub == 1) {
        Broadcast(r);
        return true;
    }
    const Flimb* flimb = FindFlimbById(static_cast<int16_t>(GetU16(r, 6)));
    if (!flimb) {
        WriteLogChannel(2, "******Client has extra flimbs*******\n");
        return false;
    }
    const PlayerRecord* player = FindPlayer(client);
    const uint8_t type = r[8];
    const bool allowed = player && (flimb->group == player->group || GodModeSetting()) && flimb->group < 8 &&
                         type < kActionCount && CommandState().actionSelected[flimb->group][type];
    if (!allowed) {
        WriteLogChannel(2, "******Client is hacking*******\n");
        return false;
    }
    Broadcast(r);
    return true;
}

bool GameServer::HandleTeamChange(int client)
{
    uint8_t* r = receive_.get();
    uint8_t group = r[12];
    const uint8_t team = r[13];
    if (group < kSpectatorGroup && (group >= 8 || !Controller().groups[group].inUse)) {
        WriteLog("CLIENT TRIED TO JOIN AN INVALID GROUP %d\n", group);
        return false;
    }
    int groupsInUse = 0;
    for (const GroupEntry& entry : Controller().groups)
        groupsInUse += entry.inUse ? 1 : 0;
    if (team != 255 && team > groupsInUse) {
        WriteLog("CLIENT TRIED TO JOIN AN INVALID TEAM\n");
        return false;
    }
    if (StatsMatchSetting() && group < 8) {
        int others = 0;
        for (const auto& player : Controller().players)
            others += (!player->spectator && player->id != client) ? 1 : 0;
        if (others >= 2)
            group = kSpectatorGroup;
    }
    if (group == kAnyGroup) {
        const int free = ChooseFreeGroup();
        group = free < 0 ? kSpectatorGroup : static_cast<uint8_t>(free);
    }
    r[12] = group;
    Broadcast(r);
    return true;
}

bool GameServer::HandleHostVariable(int client)
{
    const uint8_t* r = receive_.get();
    if (!IsAdminOrHost(client))
        return false;
    const uint32_t variable = GetU32(r, 8);
    const uint32_t value = GetU32(r, 12);
    switch (variable) {
    case kHostVarMsPerUpdate:
        SetLagSetting(static_cast<int>(std::min<uint32_t>(value, 100000)), false);
        Broadcast(r);
        return true;
    case kHostVarStartMatch:
        if (value == 1) {
            if (counter_ > 0)
                ContinueMatch();
            else
                StartMatch();
        }
        return true;
    case kHostVarPause:
        RequestPause(static_cast<int>(value), false);
        if (state_ == kPaused || value == 0)
            Broadcast(r);
        return true;
    default:
        return false;
    }
}

bool GameServer::HandleNetResult(int client, const std::string& label)
{
    const uint8_t* r = receive_.get();
    const uint32_t code = GetU32(r, 8);
    const auto error = [&](const std::string& text) {
        Controller().messages.Add(text, -1);
        soundManager.PlayEffect(kEffectBadRequest, 1.0f);
        WriteLog("%s", text.c_str());
    };
    switch (code) {
    case kNrFileNotFound:
        error(StringPrintf("CLIENT ERROR: %s - Could not find the map file\n", label.c_str()));
        break;
    case kNrReadFail:
        WriteLog("CLIENT %s - Read Fail\n", label.c_str());
        break;
    case kNrLoadLevelOk:
        WriteLog("CLIENT %s - LEVEL LOADED\n", label.c_str());
        // The start request that follows in the same pass must find the player ready
        // before its own client has executed this answer.
        if (const auto found = clients_.find(client); found != clients_.end())
            found->second->levelOk = true;
        if (client == 0)
            Republish();
        break;
    case kNrBadChecksum:
        error(StringPrintf("CLIENT ERROR: %s - Bad checksum on masks\n", label.c_str()));
        break;
    case kNrBadCrc:
        error(StringPrintf("CLIENT ERROR: %s - Map is corrupt, or does not exist", label.c_str()));
        break;
    case kNrBadSize:
        error(StringPrintf("CLIENT ERROR: %s - Bad map size\n", label.c_str()));
        break;
    case kNrMemErr:
        error(StringPrintf("CLIENT ERROR: %s - Memory error\n", label.c_str()));
        break;
    case kNrWrongVersion:
        error(StringPrintf("CLIENT ERROR: %s - Wrong game version\n", label.c_str()));
        if (const auto found = clients_.find(client); found != clients_.end() && found->second->stream)
            found->second->stream->Close();
        break;
    case kNrBadFormat:
        WriteLog("CLIENT %s - Level Format is bad\n", label.c_str());
        break;
    case kNrVersionOk:
        WriteLog("CLIENT %s - Version ok\n", label.c_str());
        OnClientVersionOk(client);
        break;
    case kNrLevelDownloaded:
        WriteLog("CLIENT %s - Level Downloaded\n", label.c_str());
        break;
    default:
        break;
    }
    return true;
}

bool GameServer::HandleFileData(int number)
{
    const uint8_t* r = receive_.get();
    const auto found = clients_.find(number);
    if (found == clients_.end())
        return false;
    Client& client = *found->second;
    const uint32_t kind = GetU32(r, kFileKind);
    const std::string name = PlainFileName(GetText(r, kFileName, kFileNameBytes));
    if (kind == kFileKindLevel) {
        if (r[kFileRequest]) {
            WriteLog("Sending client %d level %s\n", number, name.c_str());
            SendFile(number, SessionGame().MakeLevelPath(name), kFileKindLevel);
            return true;
        }
        if (r[kFileFirst]) {
            if (pendingUpload_.empty() || !EqualsNoCase(pendingUpload_, name)) {
                WriteLog("FILEDATA of a level that was not asked for refused: %s\n", name.c_str());
                return false;
            }
            WriteLog("Receiving level from %d\n", number);
        }
    } else if (r[kFileFirst]) {
        WriteLog("Receiving avatar from %d\n", number);
    }
    const std::string who = StringPrintf("client %d", number);
    if (client.upload.Add(r, who.c_str()) != FileAssembly::Step::Complete)
        return true;
    const std::string stored = kind == kFileKindLevel ? SessionGame().MakeLevelPath(client.upload.Name())
                                                      : StringPrintf("%d", number);
    MemoryFileManager* memory = nullptr;
    for (size_t i = fileManager ? fileManager->MemberCount() : 0; i-- > 0 && !memory;)
        memory = dynamic_cast<MemoryFileManager*>(fileManager->Member(i));
    if (memory) {
        memory->AddFile(stored, client.upload.Data().data(), client.upload.Data().size());
        memory->StampTime(stored);
    }
    client.upload.Reset();
    if (kind == kFileKindLevel) {
        pendingUpload_.clear();
        if (!LoadLevel(name))
            WriteLog("Error: Could not load level %s\n", name.c_str());
    } else {
        WriteLog("Sending avatar %d\n", number);
        SendFile(-1, stored, kFileKindAvatar);
    }
    return true;
}

// ---- Joining and leaving ------------------------------------------------------------------

int GameServer::FindClient(const IFlimbsStream* stream) const
{
    for (const auto& [number, client] : clients_)
        if (client->stream.get() == stream)
            return number;
    return -1;
}

void GameServer::OnNewConnection(IFlimbsStream* stream)
{
    const int number = nextClient_++;
    WriteLog("NEW CONNECTION DETECTED. Client = %d\n", number);
    auto client = std::make_unique<Client>();
    client->stream.reset(stream);
    clients_[number] = std::move(client);
    const size_t count = clients_.size();
    if (count <= static_cast<size_t>(std::max(0, maxPlayers)) && (count <= 1 || !SessionGame().EditorTest()))
        SendTo(number, MakePlayerId(static_cast<uint8_t>(std::min(number, 255)), counter_), true);
    else
        SendTo(number, MakeNetResult(kNrMemErr, 0, 0), true);
}

void GameServer::OnClientVersionOk(int number)
{
    if (clients_.find(number) == clients_.end())
        return;
    for (const auto& player : Controller().players) {
        SendTo(number, MakeNewPlayer(player->id, player->spectator ? 2 : 1, player->group, player->name,
                                     player->active, player->admin));
        SendTo(number, MakeProfileId(player->profileId, player->id));
    }
    for (uint8_t g = 0; g < 8; ++g)
        SendTo(number, MakeTeamChange(255, g, g));
    const bool running = Controller().runState != kRunNone;
    uint8_t kind = 1;
    if (running || (StatsMatchSetting() && CountParticipants() >= 2))
        kind = StatsMatchSetting() ? 3 : 2;
    const int group = ChooseFreeGroup();
    const NetRecord newcomer = MakeNewPlayer(static_cast<uint8_t>(number), kind,
                                             static_cast<uint8_t>(group < 0 ? kSpectatorGroup : group), "", 1,
                                             number == 0 ? 1 : 0);
    Broadcast(newcomer);
    SendTo(number, newcomer);
    Client& client = *clients_[number];
    if (!levelLoaded_) {
        // Without a level the stored GAMEDATA names none: the newcomer waits for one.
        client.inGame = true;
        return;
    }
    soundManager.PlayEffect(kEffectJoined, 1.0f);
    client.ready = false;
    SendTo(number, MakeLevelQuery(GetFileTitle(level_.name, false), level_.crc, 0, 0));
}

void GameServer::OnClientLeft(int number)
{
    const auto found = clients_.find(number);
    if (found == clients_.end())
        return;
    const PlayerRecord* player = FindPlayer(number);
    if (!found->second->inGame || !player)
        return;
    const bool participant = !player->spectator;
    const std::string name = player->name;
    Broadcast(MakeNewPlayer(static_cast<uint8_t>(number), 0, 0, "", 0, 0));
    if (!name.empty())
        PostLocal(StringPrintf("%s has left the game.", name.c_str()));
    if (participant && AutoPauseSetting() && state_ == kRunning)
        if (GameClient* local = CurrentClient())
            local->SendSetHostVariable(kHostVarPause, 1);
}

void GameServer::Kick(int number)
{
    const auto found = clients_.find(number);
    if (found == clients_.end())
        return;
    const PlayerRecord* player = FindPlayer(number);
    const std::string name = player ? player->name : StringPrintf("Player%d", number);
    Broadcast(MakeNewPlayer(static_cast<uint8_t>(number), 0, 0, "", 0, 0));
    PostLocal(name + " has been kicked by the server");
    found->second->inGame = false;
    if (found->second->stream)
        found->second->stream->Close();
}

void GameServer::EnsureAdmin(int reason, bool republish)
{
    if (reason > 3)
        return;
    if (republish)
        Republish();
    const PlayerRecord* last = nullptr;
    for (const auto& player : Controller().players) {
        if (!ClientInGame(player->id))
            continue;
        if (player->admin && player->active)
            return;
        if (player->active)
            last = player.get();
    }
    if (last) {
        Broadcast(MakeNewPlayer(last->id, 4, last->group, last->name, 1, 1));
        return;
    }
    if (reason == 0 && SessionGame().PlayKind() == 1 &&
        (Controller().runState != kRunNone || ClientUpdateCounter() > 0))
        WriteLog("Restarting the level\n"); // Seam: RestartLevel of the HUD's buttons.
}

void GameServer::SetPublic(bool on)
{
    if (on) {
        if (state_ == kConstructed || SessionGame().PlayKind() != 1 || iceHost_ || SessionGame().EditorTest())
            return;
        iceHost_ = std::make_unique<WorldServerHostAgent>();
        iceHost_->SignalStreamReady.connect([this](IFlimbsStream* stream) { OnNewConnection(stream); });
        std::weak_ptr<int> alive = alive_;
        iceHost_->Client()->SignalConnection.connect([alive](bool connected) {
            if (!alive.expired() && !connected)
                WriteLog("Can't connect to the public server\n");
        });
        iceHost_->Client()->SignalLogin.connect([this, alive](const flimbsworld::ServerLoginResult* result) {
            if (!alive.expired() && result && result->result() == 1 && levelLoaded_ && iceHost_)
                iceHost_->Publish(true);
        });
        iceHost_->listingSource = [this] {
            HostListing listing;
            listing.matchText = level_.title;
            listing.levelFile = GetFileTitle(level_.name, true);
            listing.modeValue = static_cast<uint32_t>(level_.modeIndex);
            listing.maxPlayers = static_cast<uint32_t>(maxPlayers);
            listing.serverState = static_cast<uint32_t>(state_);
            for (const auto& player : Controller().players) {
                HostListing::Player entry;
                entry.name = player->name;
                entry.profileId = player->profileId;
                entry.observer = player->spectator != 0;
                listing.players.push_back(entry);
            }
            return listing;
        };
        return;
    }
    if (iceHost_) {
        iceHost_->DisconnectAll();
        iceHost_.reset();
    }
}

void GameServer::Republish()
{
    if (iceHost_ && levelLoaded_)
        iceHost_->Publish(false);
}

// ---- Levels, files and recordings ---------------------------------------------------------

bool GameServer::LoadLevel(const std::string& name)
{
    if (SessionVerbose())
        WriteLog("Loading %s..\n", name.c_str());
    if (name.size() > kGameDataNameBytes - 1) {
        WriteLog("Level name too long for GAMEDATA (%zu bytes): %s\n", name.size(), name.c_str());
        return false;
    }
    const std::string path = SessionGame().MakeLevelPath(name);
    const int handle = fileManager ? fileManager->Open(path) : 0;
    if (!handle) {
        WriteLogChannel(2, "[GameServer can't open file %s]\n", name.c_str());
        return false;
    }
    fileManager->Close(handle);
    SessionLevelInfo info;
    if (!SessionGame().ResolveLevel(name, info)) {
        WriteLogChannel(2, "GameServer can't get level info: %s]\n", name.c_str());
        return false;
    }
    level_ = info;
    if (level_.kind == 1)
        SetLagSetting(90, false);
    else if (level_.kind == 0)
        SetLagSetting(75, false);
    ResetMatch();
    ResetRecording();
    for (auto& entry : clients_)
        entry.second->ready = true;
    if (level_.kind == 1) {
        Broadcast(MakeLevelQuery(GetFileTitle(level_.name, false), level_.crc, 0, 0));
        for (auto& entry : clients_)
            entry.second->ready = false;
    }
    storedGameData_ = MakeGameData(level_.name, level_.crc, static_cast<uint8_t>(LoadQuickSetting()));
    Broadcast(storedGameData_);
    levelLoaded_ = true;
    WriteLogChannel(2, "GameInfo has been loaded\n");
    return true;
}

void GameServer::SendFile(int number, const std::string& name, uint32_t kind)
{
    const int handle = fileManager ? fileManager->Open(name) : 0;
    if (!handle) {
        WriteLog("Failed to send file %s\n", name.c_str());
        return;
    }
    std::vector<uint8_t> bytes(fileManager->GetSize(handle));
    const size_t got = bytes.empty() ? 0 : fileManager->Read(handle, bytes.data(), bytes.size());
    fileManager->Close(handle);
    bytes.resize(got);
    const uint32_t owner = kind == kFileKindAvatar ? static_cast<uint32_t>(std::atoi(name.c_str())) : 0;
    for (const NetRecord& chunk : MakeFileChunks(name, bytes.data(), bytes.size(), kind, owner)) {
        if (number < 0)
            Broadcast(chunk);
        else
            SendTo(number, chunk);
    }
}

void GameServer::SendAvatars(int number)
{
    for (int player = 0; player < kMaxPlayers; ++player) {
        if (!FindPlayer(player))
            continue;
        const std::string name = StringPrintf("%d", player);
        if (fileManager && fileManager->Exists(name, -1))
            SendFile(number, name, kFileKindAvatar);
    }
}

void GameServer::SendCatchUp(int number)
{
    CloseRecording();
    const std::string from = GetUserPath(kServerRecordingPath);
    const std::string to = HostPathForWrite(kCatchUpPath);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(to).parent_path(), error);
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    NetInfoFileReader reader(kMaxNetRecord);
    if (!error && reader.Open(kCatchUpPath)) {
        NetRecord start = MakeNetLoad(1);
        SendTo(number, start, true);
        uint8_t lastStamp = 0;
        while (const uint8_t* stored = reader.ReadRecord()) {
            NetRecord record = NetRecord::Copy(stored);
            if (ValidateRecord(record.data(), record.size()) != RecordFault::None)
                break;
            if (record.Command() == kCmdUpdateFlimbs && record[1] % 75 != 74)
                continue;
            SendTo(number, record, true);
            lastStamp = record[1];
        }
        // The end runs right after the last record sent.
        NetRecord end = MakeNetLoad(0);
        end[1] = lastStamp;
        SendTo(number, end, true);
    } else {
        WriteLog("Couldn't open the catch-up recording %s\n", kCatchUpPath);
    }
    Broadcast(MakeSetHostVariable(kHostVarMsPerUpdate, static_cast<uint32_t>(LagSetting())));
    OpenRecording(true);
}

void GameServer::PlayRecording(const std::string& requested)
{
    ResetMatch();
    std::string name = ToLowerAscii(requested);
    if (name.find(".flimbs") == std::string::npos)
        name = PlaybackFolder() + name + ".flimbs";
    NetInfoFileReader reader(kMaxNetRecord);
    if (!reader.Open(name))
        return;
    ResetRecording();
    Broadcast(MakeNetLoad(1));
    while (const uint8_t* stored = reader.ReadRecord()) {
        NetRecord record = NetRecord::Copy(stored);
        if (ValidateRecord(record.data(), record.size()) != RecordFault::None) {
            WriteLog("Recording %s contains invalid data\n", name.c_str());
            break;
        }
        if (record.Command() == kCmdUpdateFlimbs) {
            ++counter_;
            if (record[1] % 75 != 74)
                continue;
        }
        Broadcast(record, true);
    }
    Broadcast(MakeSetHostVariable(kHostVarMsPerUpdate, static_cast<uint32_t>(LagSetting())));
}

// ---- Match control ------------------------------------------------------------------------

void GameServer::ResetMatch()
{
    lastPauseUpdate_ = -100;
    state_ = kLobby;
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
    state_ = kRunning;
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
            groups[g] = (played || (level_.hasStartTraps && level_.groupsInUse[g])) ? 1 : 0;
        } else {
            groups[g] = level_.groupsInUse[g];
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
    state_ = kRunning;
    Broadcast(MakeNetResult(kNrContinueGame, 0, 0xFF));
    tickBase_ = lastPing_ = clock_();
}

void GameServer::RequestPause(int on, bool force)
{
    if (on == 0) {
        if (state_ == kPaused)
            state_ = savedState_;
    } else if (state_ != kPaused) {
        const int32_t now = static_cast<int32_t>(counter_);
        if (!force && now - lastPauseUpdate_ < kPauseSpacing && !GodModeSetting()) {
            PostLocal("Pausing is unavailable right now, try again in a second.");
            soundManager.PlayEffect(kEffectRefused, 1.0f);
            return;
        }
        lastPauseUpdate_ = now;
        savedState_ = state_;
        state_ = kPaused;
    }
    Republish();
    tickBase_ = clock_();
}

void GameServer::Resume()
{
    if (state_ != kPaused)
        return;
    state_ = savedState_;
    if (iceHost_)
        iceHost_->Pump();
    tickBase_ = clock_();
}

void GameServer::FreezeTime()
{
    if (state_ != kPaused) {
        savedState_ = state_;
        state_ = kPaused;
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
