// The game server's clients joining and leaving, its levels, files and recordings.
#include "game/LevelNames.h"
#include "session/GameServer.h"
#include "session/RecordingCheck.h"

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
    // The host's own player (client 0) takes the level's first group; counting its own record,
    // which its client in this process has made already, would push it off that group.
    int group = 0;
    if (number == 0) {
        for (int g = 7; g >= 0; --g)
            if (level_.groupsInUse[size_t(g)])
                group = g;
    } else {
        group = ChooseFreeGroup();
    }
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
    // The level counts its updates from 0, as on a server just made: a restarted level's
    // records are stamped as a fresh load's (the clients run GAMEDATA whatever its stamp).
    counter_ = 0;
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

bool GameServer::PlayRecording(const std::string& requested, const std::string& level)
{
    std::string name = ToLowerAscii(requested);
    if (name.find(".flimbs") == std::string::npos)
        name = PlaybackFolder() + name + ".flimbs";
    // Read whole before the running match is given up for it.
    const RecordingCheck check = level.empty() ? CheckRecording(name) : CheckRecordingOfLevel(name, level);
    if (!check.ok) {
        WriteLog("The recording cannot be played: %s\n", check.error.c_str());
        return false;
    }
    NetInfoFileReader reader(kMaxNetRecord);
    if (!reader.Open(name))
        return false;
    ResetMatch();
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
    return true;
}
