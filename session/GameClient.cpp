#include "session/GameClient.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "app/Uuid.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "modes/ModeServices.h"
#include "net/PseudoTcpClientAgent.h"
#include "net/WorldServerClientAgent.h"
#include "session/ClientCommandState.h"
#include "session/FileTransfer.h"
#include "session/SessionConsole.h"
#include "session/SessionGame.h"
#include "traps/Trap.h"

#include <cstring>

namespace {

GameClient* g_current = nullptr;

uint8_t LocalPlayerId()
{
    const PlayerRecord* local = Controller().localPlayer;
    return local ? local->id : 255;
}

constexpr size_t kMaxGameDataName = 99;
constexpr size_t kMaxLevelQueryName = 127;
constexpr int kLoopModeIndex = 5;

} // namespace

uint8_t LocalPlayerNumber()
{
    return LocalPlayerId();
}

GameClient* CurrentClient()
{
    return g_current;
}

void SetCurrentClient(GameClient* client)
{
    g_current = client;
    SetGameClientRequests(client);
}

GameClient::GameClient() : receiveBuffer_(new uint8_t[kMaxNetRecord]), alive_(std::make_shared<int>(0)) {}

GameClient::~GameClient()
{
    connections_.clear();
    stream_ = nullptr;
    directAgent_.reset();
    worldServerAgent_.reset();
    if (g_current == this)
        SetCurrentClient(nullptr);
    WriteLog("GameClient Destructed!\n");
    SignalStatusText.disconnect_all_slots();
}

void GameClient::ConnectLocal(int port)
{
    ConnectDirect("127.0.0.1", port < 0 ? ServerPortSetting() : port);
}

void GameClient::ConnectDirect(const std::string& address, int port)
{
    auto agent = std::make_unique<PseudoTcpClientAgent>(address, port);
    connections_.emplace_back(agent->SignalStreamReady.connect([this](IFlimbsStream* s) { OnStreamReady(s); }));
    std::weak_ptr<int> alive = alive_;
    connections_.emplace_back(agent->SignalFailure.connect([this, alive](const char* text) {
        if (alive.expired())
            return;
        if (stream_ && !stream_->IsConnected())
            OnStreamClosed();
        if (text)
            SignalStatusText(text);
    }));
    directAgent_ = std::move(agent);
}

void GameClient::ConnectViaWorldServer(int hostClientId)
{
    auto agent = std::make_unique<WorldServerClientAgent>(hostClientId);
    connections_.emplace_back(agent->SignalStreamReady.connect([this](IFlimbsStream* s) { OnStreamReady(s); }));
    connections_.emplace_back(agent->SignalFailure.connect([this](const char* text) {
        if (stream_ && !stream_->IsConnected())
            OnStreamClosed();
        if (text)
            SignalStatusText(text);
    }));
    worldServerAgent_ = std::move(agent);
}

void GameClient::AttachStream(IFlimbsStream* stream)
{
    stream_ = stream;
}

void GameClient::OnStreamReady(IFlimbsStream* stream)
{
    stream_ = stream;
}

void GameClient::OnStreamClosed()
{
    stream_ = nullptr;
    if (PlayerRecord* local = Controller().localPlayer)
        local->id = 255;
}

void GameClient::Pump()
{
    if (worldServerAgent_)
        worldServerAgent_->Update();
    if (directAgent_)
        directAgent_->Update();
    if (stream_ && !stream_->IsConnected() && !directAgent_ && !worldServerAgent_)
        OnStreamClosed();
}

const uint8_t* GameClient::Receive()
{
    while (stream_ && stream_->Receive(receiveBuffer_.get(), static_cast<int>(kMaxNetRecord))) {
        const RecordFault fault = ValidateRecord(receiveBuffer_.get(), kMaxNetRecord);
        if (fault == RecordFault::None)
            return receiveBuffer_.get();
        WriteLog("CLIENT: skipped a record from the server (%s, command %d)\n", RecordFaultText(fault),
                 receiveBuffer_[0]);
    }
    return nullptr;
}

void GameClient::Send(NetRecord record)
{
    if (!stream_ || record.size() < kNetHeaderSize)
        return;
    record[1] = static_cast<uint8_t>(ClientUpdateCounter());
    if (SessionVerbose())
        WriteLog("CLIENT REQ [%s]\n", NetCommandName(record[0]));
    if (stream_->Send(record.data()))
        ++sentCount;
}

void GameClient::SendMoveFlimb(int32_t x, int32_t y, int16_t flimbId)
{
    Send(MakeMoveFlimb(x, y, flimbId));
}

void GameClient::SendUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t subKind, int32_t argument)
{
    Send(MakeUpdateFlimbType(flimbId, type, subKind, static_cast<uint32_t>(argument)));
}

void GameClient::SendChat(const std::string& line, int speaker, bool groupOnly, const std::string& name)
{
    std::string text = line;
    if (speaker == -1) {
        speaker = LocalPlayerId();
        const std::string who = name.empty() ? UserNameSetting() : name;
        text = who + (LocalPlayerIsSpectator() ? " [S]" : "") + ": " + line;
    }
    if (groupOnly)
        text = "(Group Only) " + text;
    Send(MakeChat(text, static_cast<uint8_t>(speaker), groupOnly ? 1 : 0, 0));
}

void GameClient::SendChatLine(const std::string& line)
{
    SendChat(line, -2);
}

void GameClient::SendTypingState(bool typing)
{
    Send(MakeChat("", LocalPlayerId(), 0, typing ? 1 : 2));
}

void GameClient::SendHighlight(int16_t flimbId)
{
    // The world names only the flimb: it is highlighted unless it is the one the local
    // player highlights now.
    const PlayerRecord* local = Controller().localPlayer;
    SendHighlight(flimbId, !local || local->highlightedFlimb != flimbId);
}

void GameClient::SendHighlight(int16_t flimbId, bool on)
{
    Send(MakeHighlight(flimbId, LocalPlayerId() < kMaxPlayers ? LocalPlayerId() : 0, on));
}

void GameClient::SendUsername()
{
    Send(MakeUpdateUsername(UserNameSetting(), PasswordSetting(), LocalPlayerId()));
}

void GameClient::SendNewPlayer(uint8_t player, uint8_t kind, uint8_t ready)
{
    Send(MakeNewPlayer(player, kind, 0, "", ready, 0));
}

void GameClient::SendGameData(const std::string& levelName)
{
    if (levelName.size() > kMaxGameDataName) {
        WriteLog("Level name too long for GAMEDATA (%zu bytes): %s\n", levelName.size(), levelName.c_str());
        return;
    }
    Send(MakeGameData(levelName, 0, 0));
}

void GameClient::SendNetResult(uint32_t code, uint32_t value)
{
    Send(MakeNetResult(code, value, LocalPlayerId()));
}

void GameClient::SendChecksum(uint32_t checksum)
{
    Send(MakeChecksum(checksum));
}

void GameClient::SendPing(uint8_t value)
{
    Send(MakeSPing(value));
}

void GameClient::SendGulpChange(int16_t flimbId, uint8_t on)
{
    Send(MakeGulpChange(flimbId, on != 0));
}

void GameClient::SendTeamChange(uint32_t player, uint8_t group)
{
    Send(MakeTeamChange(player, group, 255));
}

void GameClient::SendTeamChange(uint8_t group)
{
    SendTeamChange(LocalPlayerNumber(), group);
}

PseudoTcpClientAgent* GameClient::DirectAgent()
{
    return dynamic_cast<PseudoTcpClientAgent*>(directAgent_.get());
}

void GameClient::PumpConnections()
{
    if (ClientAgent* agent = WorldServerAgent())
        agent->Update();
    if (PseudoTcpClientAgent* direct = DirectAgent())
        direct->UpdateDirect();
}

void GameClient::SendActionSelect(uint8_t action, uint8_t on, uint8_t group)
{
    Send(MakeActionSelect(action, on, group));
}

void GameClient::SendNetBash(const NetBashArgs& args)
{
    NetBashArgs sent = args;
    sent.crc = 0;
    if (fileManager) {
        if (const int handle = fileManager->Open(args.brushFile)) {
            sent.crc = fileManager->GetCrc(handle);
            fileManager->Close(handle);
        }
    }
    Send(MakeNetBash(sent));
}

void GameClient::SendNetBash(const std::string& imagePath, float scaleX, float scaleY, uint8_t material,
                             uint32_t affectedMaterials, uint32_t tint, float rotation, uint8_t flag, int32_t x,
                             int32_t y)
{
    NetBashArgs args;
    args.brushFile = imagePath;
    args.a = x;
    args.b = y;
    args.scaleX = scaleX;
    args.scaleY = scaleY;
    args.rotation = rotation;
    args.c = material;
    args.d = tint;
    args.e = affectedMaterials;
    args.flag = flag;
    SendNetBash(args);
}

void GameClient::SendTrapState(const Trap& trap, uint8_t activate, int32_t flimbId)
{
    Send(MakeUpdateTrap(trap.id, activate, flimbId, SessionGame().TrapStateXml(trap)));
}

void GameClient::SendGameModeState(const std::string& xml)
{
    Send(MakeGameModeOptions(xml));
}

void GameClient::SendModifierState(uint8_t index, int16_t flimbId)
{
    Send(MakeUpdateModifier(index, flimbId, ""));
}

void GameClient::SendGameManagerState(const std::string& xml)
{
    Send(MakeUpdateMorphCount(xml));
}

void GameClient::SendUpdateGroup(int group)
{
    const PlayerRecord* local = Controller().localPlayer;
    const uint8_t own = static_cast<uint8_t>(group >= 0 ? group : (local ? local->group : 0));
    Send(MakeUpdateGroup(own));
    if (CurrentGameModeIndex() == kLoopModeIndex)
        for (uint8_t g = 0; g < 8; ++g)
            if (g != own && Controller().groups[g].inUse)
                Send(MakeUpdateGroup(g));
    // Seam: the lobby's flag that also ends the turns of the groups without players.
}

void GameClient::SendSetHostVariable(uint8_t variable, int32_t value)
{
    Send(MakeSetHostVariable(variable, static_cast<uint32_t>(value)));
}

void GameClient::RequestStartMatch()
{
    SendSetHostVariable(kHostVarStartMatch, 1);
}

void GameClient::SendDecoration(const std::string& name, int16_t flimbId)
{
    Send(MakeDecoration(name, flimbId));
}

void GameClient::SendProfileId()
{
    Send(MakeProfileId(LocalProfileId(), LocalPlayerId()));
}

void GameClient::SendLevelQuery(const std::string& levelName, uint32_t crc, bool found)
{
    if (levelName.size() > kMaxLevelQueryName) {
        WriteLog("Level name too long for LEVELQUERY (%zu bytes): %s\n", levelName.size(), levelName.c_str());
        return;
    }
    Send(MakeLevelQuery(levelName, crc, found ? 1 : 0, 0));
}

bool GameClient::SendFile(const std::string& path, uint32_t kind)
{
    const int handle = fileManager ? fileManager->Open(path) : 0;
    if (!handle) {
        WriteLog("Failed to send file %s\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> bytes(fileManager->GetSize(handle));
    const size_t got = bytes.empty() ? 0 : fileManager->Read(handle, bytes.data(), bytes.size());
    fileManager->Close(handle);
    bytes.resize(got);
    for (NetRecord& chunk : MakeFileChunks(path, bytes.data(), bytes.size(), kind, 0))
        Send(std::move(chunk));
    return true;
}

void GameClient::SendAvatar(const std::string& avatarDataPath)
{
    std::string picture = ReplaceAll(avatarDataPath, "User\\AvatarsData", "User\\Avatars");
    picture = ReplaceAll(picture, ".flevel", ".jpg");
    SendFile(picture, kFileKindAvatar);
}

void GameClient::RequestLevelFile(const std::string& levelName)
{
    Send(MakeFileRequest(levelName, kFileKindLevel));
}

std::array<uint8_t, 16> LocalProfileId()
{
    static UuidBytes made{};
    static bool haveMade = false;
    xmlNode* root = CurrentProfile().Root();
    xmlNode* node = root ? XmlGetChild(XmlChildren(root), "profile_id") : nullptr;
    UuidBytes stored{};
    if (node && UuidFromString(XmlNodeText(node), stored))
        return stored;
    if (node)
        XmlRemoveNode(node);
    if (!haveMade) {
        made = NewUuid();
        haveMade = true;
    }
    if (root) {
        XmlAddChildText(root, "profile_id", UuidToString(made));
        CurrentProfile().Save();
    }
    return made;
}
