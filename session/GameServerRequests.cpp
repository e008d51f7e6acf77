// The game server's answers to its clients' requests.
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
