// The effect of every command on the game: ExecuteCommand.
#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/AtomicFile.h"
#include "app/GameClock.h"
#include "app/HostPath.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/MemoryFileManager.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/LevelConfig.h"
#include "game/LevelForPlay.h"
#include "game/WorldUpdate.h"
#include "gui/WindowList.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "net/WebStats.h"
#include "session/CameraView.h"
#include "session/ClientCommandState.h"
#include "session/FileTransfer.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "session/GameSessions.h"
#include "session/LoadingWindows.h"
#include "session/MatchStats.h"
#include "session/SessionConsole.h"
#include "session/SessionGame.h"
#include "session/SessionHooks.h"
#include "traps/Trap.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/FlimbTable.h"
#include "world/Groups.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <cstring>

using namespace netfield;

namespace {

constexpr int kNoticeEffect = 12;
constexpr int kMultiverseMode = 4;
constexpr int kLoopMode = 5;
// Incoming files from the server.
FileAssembly g_download;
// The level the client asked the server for (FILEDATA of other levels is refused).
std::string g_requestedLevel;

PlayerRecord* FindPlayer(int id)
{
    for (const auto& player : Controller().players)
        if (player->id == id)
            return player.get();
    return nullptr;
}

PlayerRecord& FindOrAddPlayer(uint8_t id)
{
    if (PlayerRecord* found = FindPlayer(id))
        return *found;
    auto player = std::make_unique<PlayerRecord>();
    player->id = id;
    Controller().players.push_back(std::move(player));
    return *Controller().players.back();
}

void RemovePlayer(int id)
{
    auto& players = Controller().players;
    for (auto it = players.begin(); it != players.end(); ++it) {
        if ((*it)->id != id)
            continue;
        if (Controller().localPlayer == it->get())
            Controller().localPlayer = nullptr;
        players.erase(it);
        return;
    }
}

void SetPlayerGroup(PlayerRecord& player, uint8_t group)
{
    player.group = group;
    player.spectator = group == kSpectatorGroup ? 1 : 0;
    player.control.fill(0);
    if (group < 8) {
        player.control[group] = 1;
        player.team = group;
    }
}

bool IsHost()
{
    return CurrentServer() != nullptr;
}

int LevelKind()
{
    return SessionGame().LoadedLevel().kind;
}

void EmitStatus(const std::string& text)
{
    if (GameClient* client = CurrentClient())
        client->SignalStatusText(text);
}

void AddMessage(const std::string& text, int32_t speaker, bool sound = true)
{
    Controller().messages.Add(text, speaker);
    if (sound)
        soundManager.PlayEffect(kNoticeEffect, 1.0f);
}

void SendChatLine(const std::string& text)
{
    if (GameClient* client = CurrentClient())
        client->SendChatLine(text);
}

// Only the host of a live match keeps a level's set-up: the one a match started with is kept
// under kLastPlayedConfig, and restored when the level is loaded again; what it restores
// reaches every peer (and the recording) as requests to the server.
bool KeepsLevelSetUp()
{
    return CommandState().sessionKind == kSessionLive && IsHost() && LevelKind() == 1;
}

void KeepLevelSetUp()
{
    if (KeepsLevelSetUp() && !SaveLevelConfig(kLastPlayedConfig))
        WriteLog("WARNING: the match's set-up could not be kept as \"%s\"\n", kLastPlayedConfig);
}

void RestoreLevelSetUp()
{
    if (KeepsLevelSetUp() && LoadLevelConfig(kLastPlayedConfig))
        WriteLog("Level configuration \"%s\" restored\n", kLastPlayedConfig);
}

// ---- The commands -----------------------------------------------------------------------

void StartGame(const uint8_t* r)
{
    ClientCommandState& state = CommandState();
    // Seam: the HUD's match panel (FLIMBS_HUD's match event).
    for (size_t g = 0; g < 8; ++g)
        Controller().groups[g].inUse = r[6 + g] ? 1 : 0;
    SessionGame().StartMatch();
    KeepLevelSetUp();
    if (state.playbackEnded) {
        // Back from a finished playback: the particles (switched off when it was left) run
        // again and the landscape's tiles are drawn anew.
        SetParticlesEnabled(true);
        if (Landscape* land = GameLandscape())
            land->FreeTiles();
        SnapshotFlimbs(true);
        SnapshotTraps(true);
    }
}

void CreateFlimb(const uint8_t* r)
{
    SpawnArgs a;
    a.x = static_cast<int32_t>(GetU32(r, 8));
    a.y = static_cast<int32_t>(GetU32(r, 12));
    a.kind = r[18] & 0x7F;
    a.flags = r[19];
    if (a.kind == 'c') {
        if (Flimb* flimb = FindFlimbById(static_cast<int16_t>(GetU16(r, 16)))) {
            flimb->x = flimb->prevX = static_cast<int16_t>(a.x);
            flimb->y = flimb->prevY = static_cast<int16_t>(a.y);
            flimb->jumpVX = flimb->jumpVY = 0;
            flimb->pushX = flimb->pushY = 0;
        }
        return;
    }
    if (a.flags & 0x80)
        a.y -= 40;
    a.b20 = r[20];
    a.b21 = r[21];
    a.b22 = r[22];
    a.u24 = GetU16(r, 24);
    a.u26 = GetU16(r, 26);
    a.b28 = r[28];
    SessionGame().SpawnFlimb(a);
}

void ApplyOrder(Flimb& flimb, uint8_t type, uint8_t sub, uint32_t argument)
{
    SessionGameState& game = SessionGame();
    if (sub == 'M') {
        game.OrderMovement(flimb, type);
        return;
    }
    if (argument > 0 || (sub != 'X' && !game.CanTakeType(flimb, type))) {
        // The order waits on the flimb (the flimb's step takes it and spends its use); the
        // flimb record keeps the type and the delay, no variant.
        flimb.queuedAction = type;
        flimb.queuedDelay = static_cast<uint8_t>(argument);
        return;
    }
    game.ApplyType(flimb, type);
    HudAddToHistoryStrip(&flimb);
    if (type < kActionCount)
        UseGroupAction(type, flimb);
}

void UpdateFlimbType(const uint8_t* r)
{
    const uint16_t id = GetU16(r, 6);
    const uint8_t type = r[8];
    const uint8_t sub = r[9];
    if (sub == 'B' && id < kControllerGroups) {
        SessionGame().OrderGroup(static_cast<uint8_t>(id));
        return;
    }
    Flimb* flimb = FindFlimbById(static_cast<int16_t>(id));
    if (!flimb) {
        const int mode = CurrentGameModeIndex();
        if (mode != kMultiverseMode && mode != kLoopMode)
            WriteLog("WARNING: Bad flimb id for update type %d\n", static_cast<int16_t>(id));
        return;
    }
    const uint32_t argument = GetU32(r, 12);
    ApplyOrder(*flimb, type, sub, argument);
    if (flimb->linkedId >= 0)
        if (Flimb* partner = FindFlimbById(flimb->linkedId); partner && partner != flimb)
            ApplyOrder(*partner, type, sub, argument);
}

void Chat(const uint8_t* r)
{
    const uint8_t speaker = r[kChatSpeaker];
    const uint8_t typing = r[kChatTyping];
    PlayerRecord* player = FindPlayer(speaker);
    if (typing) {
        if (player)
            player->typing = typing == 1 ? 1 : 0;
        return;
    }
    const PlayerRecord* local = Controller().localPlayer;
    if (r[kChatGroupOnly] && player && local && player->group != local->group)
        return;
    const std::string text = GetText(r, kChatText, kChatTextField);
    WriteLog("%s\n", text.c_str());
    AddMessage(text, speaker >= 254 ? static_cast<int8_t>(speaker) : speaker);
    if (player)
        player->typing = 0;
}

void UpdateFlimbs()
{
    ClientCommandState& state = CommandState();
    ModeNotifyModifiers();
    UpdateWorld();
    state.lastPlaybackUpdate = gameClock.Now();
    if (state.waiting)
        AnimateNetLoadThrobber(SteadyMilliseconds());
}

void Highlight(const uint8_t* r)
{
    const int16_t id = static_cast<int16_t>(GetU16(r, 6));
    const uint32_t word = GetU32(r, 8);
    const int playerId = static_cast<int>(word >> 16);
    const bool on = (word & 0xFF) != 0;
    Flimb* flimb = FindFlimbById(id);
    if (!flimb)
        return;
    PlayerRecord* player = FindPlayer(playerId);
    if (!player && CommandState().sessionKind != kSessionLive && playerId < kMaxPlayers) {
        // A recording holds no NEWPLAYER: a player of a playback is known by what it does.
        player = &FindOrAddPlayer(static_cast<uint8_t>(playerId));
        player->name = StringPrintf("Player%d", playerId);
        SetPlayerGroup(*player, flimb->group);
    }
    if (!player) {
        WriteLog("MISSING PLAYER FOR HIGHLIGHT %d\n", playerId);
        return;
    }
    if (flimb->group == player->group || id >= 10000 || CurrentGameModeIndex() == kLoopMode)
        SessionGame().HighlightFlimb(*flimb, playerId, on);
    player->highlightedFlimb = on ? id : -1;
    HudAddToHistoryStrip(flimb);
}

void PlayerId(const uint8_t* r)
{
    PlayerRecord& local = FindOrAddPlayer(r[6]);
    local.name = UserNameSetting();
    Controller().localPlayer = &local;
    GameClient* client = CurrentClient();
    if (GetU16(r, 12) != kProtocolVersion) {
        if (client)
            client->SendNetResult(kNrWrongVersion);
        EmitStatus(TranslateText("Your version of Flimbs is not the same\nas the version the server is running."));
    } else if (client) {
        client->SendNetResult(kNrVersionOk);
    }
}

void UpdateUsername(const uint8_t* r)
{
    PlayerRecord* player = FindPlayer(r[kUserPlayer]);
    if (!player)
        return;
    const std::string name = GetText(r, kUserName, kUserNameBytes);
    if (IsHost() && player != Controller().localPlayer && player->name == StringPrintf("Player%d", player->id))
        SendChatLine(StringPrintf("%s has joined the game.", name.c_str()));
    player->name = name;
    player->accountPassword = GetText(r, kPassword, kPasswordBytes);
    player->finished = 0;
    if (IsHost())
        GlobalWebStats().ValidateAccount(player->name, player->accountPassword);
}

void NewPlayer(const uint8_t* r)
{
    const uint8_t id = r[6];
    const uint8_t kind = r[7];
    switch (kind) {
    case 0:
        RemovePlayer(id);
        break;
    case 4:
        if (PlayerRecord* player = FindPlayer(id)) {
            for (const auto& other : Controller().players)
                other->admin = 0;
            player->admin = 1;
            WriteLog("%s is now the admin.\n", player->name.c_str());
        }
        break;
    case 5:
        if (PlayerRecord* player = FindPlayer(id))
            player->ready = r[59] ? 1 : 0;
        break;
    default: {
        PlayerRecord& player = FindOrAddPlayer(id);
        std::string name = GetText(r, kNewPlayerName, kNewPlayerNameBytes);
        if (name.empty())
            name = StringPrintf("Player%d", id);
        player.name = name;
        player.accountName = GetText(r, kNewPlayerText2, kNewPlayerText2Bytes);
        SetPlayerGroup(player, r[8]);
        if (kind == 2 || kind == 3)
            player.spectator = 1;
        player.active = r[59];
        player.admin = r[60];
        if (&player == Controller().localPlayer) {
            if (GameClient* client = CurrentClient()) {
                client->SendUsername();
                client->SendProfileId();
                const ConsoleParam* avatar = ConsoleParam::Find("avatar");
                if (LevelKind() == 1 && avatar)
                    client->SendAvatar("User\\AvatarsData\\" + avatar->GetString() + ".flevel");
            }
        }
        break;
    }
    }
    // The host's server checks that an admin remains (kinds 0 to 3; the others do nothing).
    if (GameServer* server = CurrentServer())
        server->EnsureAdmin(kind, true);
}

// The end of a level's load: drawing resumes and the level or its match starts.
void FinishLevelLoad(bool startLevel);

int GameData(const uint8_t* r)
{
    ClientCommandState& state = CommandState();
    GameClient* client = CurrentClient();
    if (state.playbackEnded)
        state.playbackEnded = false;
    FlimbsGameBase::ResetForLevel();
    SetLoadQuickSetting(r[kGameDataLoadQuick]);
    const std::string name = GetText(r, kGameDataName, kGameDataNameBytes);
    const int code = SessionGame().LoadLevelForGameData(name, GetU32(r, kGameDataCrc));
    if (code == kNrLoadLevelOk) {
        GameClient::OpenTempRecording(name);
        GameController& controller = Controller();
        const bool multiplayer = LevelKind() == 1;
        controller.sessionKind = multiplayer ? kSessionNetworked : kSessionLocal;
        controller.matchKind = multiplayer ? 1 : 0;
        // A playback session has its own HUD (the playback viewer's), made with the session.
        if (state.sessionKind == kSessionLive)
            OpenLevelHud();
        if (client)
            client->SendNetResult(kNrLoadLevelOk);
        WriteLogChannel(4, "Game Map and Info loaded successfully!\n");
        RestoreLevelSetUp();
        PlaceGameViewForLevel();
        // A level the server loads again (a restart) comes without a catch-up around it:
        // it starts as the end of one starts it.
        if (!state.waiting && state.sessionKind == kSessionLive && !multiplayer)
            FinishLevelLoad(false);
        const PlayerRecord* local = Controller().localPlayer;
        if (state.waiting && local && local->spectator && client) {
            AddMessage(TranslateText("You've joined a match in progress.  Please wait until the server starts a new "
                                     "match.\nPress ENTER to send a chat message to the other players."),
                       -2);
            client->SendTeamChange(local->id, kSpectatorGroup);
        }
        return 0;
    }
    if (client)
        client->SendNetResult(static_cast<uint32_t>(code));
    if (code == kNrFileNotFound || code == kNrBadCrc)
        EmitStatus(TranslateText("Your version of the level [") + name + "]\n is different than the servers.");
    else
        EmitStatus(TranslateText("Failed to load level"));
    return -1;
}

void NetResult(const uint8_t* r)
{
    const uint32_t code = GetU32(r, 8);
    const uint8_t playerId = r[16];
    if (SessionVerbose())
        WriteLog("CLIENT NETRESULT[%s] = %d\n", NetResultName(code), code);
    PlayerRecord* player = FindPlayer(playerId);
    switch (code) {
    case kNrLoadLevelOk:
        if (player)
            player->loaded = 1;
        if (GameServer* server = CurrentServer()) {
            bool all = true;
            for (const auto& p : Controller().players)
                all = all && p->loaded;
            if (all)
                server->RequestChecksums();
        }
        break;
    case kNrBadChecksum:
        if (player)
            player->loaded = 0;
        break;
    case kNrMemErr:
        EmitStatus(TranslateText("The server you are trying to connect to has\nalready reached maximum capacity"));
        break;
    case kNrAuthenticateFail:
        if (!IsHost())
            WriteLog("Login Fail: FLIMBSTATS Authentication Failed.\n");
        break;
    case kNrWaitForPlayers:
        if (!CommandState().waiting)
            for (const auto& p : Controller().players)
                p->loaded = 0;
        break;
    case kNrContinueGame:
        WriteLog("Continue Game\n");
        break;
    case kNrReset:
        // Seam: the FLIMBS_HUD window's reset.
        FlimbsGameBase::ResetForLevel();
        break;
    case kNrFinished:
        if (player)
            player->finished = 1;
        break;
    default:
        break;
    }
}

void Checksum()
{
    const Landscape* land = GameLandscape();
    const int32_t sum = land ? land->Checksum() : 0;
    WriteLog("HighPriorityParticles: %d\n", SessionGame().HighPriorityParticles());
    if (GameClient* client = CurrentClient())
        client->SendChecksum(static_cast<uint32_t>(sum));
}

void GameOver()
{
    WriteLogChannel(4, "The game is over\n");
    Controller().runState = kRunNone;
    if (Landscape* land = GameLandscape())
        land->SetFrontAlpha(96);
    SessionGame().EndMatch();
    GameClient::CloseRecording();
}

void GulpChange(const uint8_t* r)
{
    Flimb* flimb = FindFlimbById(static_cast<int16_t>(GetU16(r, 6)));
    if (!flimb)
        return;
    const auto set = [&](Flimb& f) {
        if (r[8])
            f.flags |= kFlimbGulpVariant;
        else
            f.flags &= static_cast<uint8_t>(~kFlimbGulpVariant);
    };
    set(*flimb);
    if (flimb->linkedId >= 0)
        if (Flimb* partner = FindFlimbById(flimb->linkedId))
            set(*partner);
}

void RequestPing(const uint8_t* r)
{
    if (!IsHost())
        for (const auto& player : Controller().players)
            if (player->id < kMaxPlayers)
                player->ping = GetU16(r, 6 + 2 * player->id);
    if (GameClient* client = CurrentClient()) {
        const PlayerRecord* local = Controller().localPlayer;
        client->SendPing(local && local->id < kMaxPlayers ? local->id : 0);
    }
}

void TeamChange(const uint8_t* r)
{
    const uint32_t playerId = GetU32(r, 8);
    const uint8_t group = r[12];
    if (playerId == 255) {
        if (group < 8)
            Controller().groups[group].team = r[13];
        return;
    }
    PlayerRecord* player = CommandState().playbackEnded ? Controller().localPlayer : FindPlayer(int(playerId));
    if (!player)
        return;
    const uint8_t old = player->group;
    if (group == old)
        return;
    if (group == kSpectatorGroup) {
        if (IsHost())
            SendChatLine(StringPrintf("%s is now a spectator.", player->name.c_str()));
    } else if (old == kSpectatorGroup) {
        if (IsHost())
            SendChatLine(StringPrintf("%s is no longer a spectator.", player->name.c_str()));
    } else if (group < 8) {
        AddMessage(StringPrintf("%s has joined the %s group.", player->name.c_str(), kGroupNames[group]), -2);
    }
    if (group == kAnyGroup)
        return;
    SetPlayerGroup(*player, group);
    if (GameServer* server = CurrentServer())
        server->Republish();
    // Seam: the HUD's group display of the local player.
}

void NetLoad(const uint8_t* r)
{
    ClientCommandState& state = CommandState();
    if (GetU32(r, 8) == 1) {
        state.waiting = true;
        state.drawing = false;
        return;
    }
    if (!state.waiting)
        return;
    CloseNetLoadThrobber();
    FinishLevelLoad(GetU32(r, 12) == 1);
}

void FinishLevelLoad(bool startLevel)
{
    ClientCommandState& state = CommandState();
    state.waiting = false;
    state.drawing = true;
    const int kind = LevelKind();
    if (kind != 1)
        SessionGame().StartLevelMusic(1.0f);
    // Seam: the flimb lists' refresh and the game view's keyboard focus.
    if (GameServer* server = CurrentServer()) {
        server->SetUpdateCounter(ClientUpdateCounter());
        server->NewSessionId();
        if (kind == 0) {
            const std::string& level = SessionGame().LoadedLevel().path;
            RenewDefaultMatchGuid();
            GlobalWebStats().SendGameStart(level, GatherStatsSnapshot(level));
        }
    }
    if (kind == 1 && startLevel) {
        SessionGame().StartLevel();
    } else if (kind == 0) {
        // A level that has not begun waits for the player's Start in its intro (when the HUD
        // shows one); a match under way (a checkpoint) goes on at once.
        const bool intro = ClientUpdateCounter() == 0 && state.sessionKind == kSessionLive && OfferLevelIntro();
        if (!intro)
            if (GameClient* client = CurrentClient())
                client->RequestStartMatch();
        SetLagSetting(75);
    }
}

void UpdateTrap(const uint8_t* r)
{
    const uint32_t trapId = GetU32(r, 8);
    Trap* trap = trapId <= static_cast<uint32_t>(INT32_MAX) ? FindTrapById(static_cast<int32_t>(trapId)) : nullptr;
    if (!trap) {
        WriteLog("UPDATE_TRAP names no trap %u; dropped\n", trapId);
        return;
    }
    // A state that cannot be taken is dropped whole: no activation either.
    if (!SessionGame().LoadTrapState(*trap, VariableText(r)))
        return;
    if (r[12])
        trap->Activate(FindFlimbById(static_cast<int32_t>(GetU32(r, 16))));
}

void SetHostVariable(const uint8_t* r)
{
    const uint32_t variable = GetU32(r, 8);
    const uint32_t value = GetU32(r, 12);
    if (variable == kHostVarMsPerUpdate) {
        if (value)
            CommandState().msPerUpdate = value;
    } else if (variable == kHostVarPause) {
        int32_t& run = Controller().runState;
        if (value == 1 && run == kRunRunning)
            run = kRunPaused;
        else if (value == 0 && run == kRunPaused)
            run = kRunRunning;
        Controller().gameState = run;
    }
}

void StoreDownloadedLevel(const FileAssembly& file)
{
    const std::string path = SessionGame().MakeLevelPath(file.Name());
    auto* memory = fileManager ? dynamic_cast<MemoryFileManager*>(fileManager->FindMemberForName(path)) : nullptr;
    if (!memory && fileManager) {
        for (size_t i = fileManager->MemberCount(); i-- > 0 && !memory;)
            memory = dynamic_cast<MemoryFileManager*>(fileManager->Member(i));
    }
    if (!memory) {
        WriteLog("No memory file store for the level %s\n", path.c_str());
        return;
    }
    memory->AddFile(path, file.Data().data(), file.Data().size());
    memory->StampTime(path);
}

void StoreAvatar(const FileAssembly& file)
{
    const PlayerRecord* owner = FindPlayer(static_cast<int>(file.Owner()));
    const std::array<uint8_t, 16> none{};
    const std::array<uint8_t, 16> id = owner ? owner->profileId : none;
    std::string hex;
    for (uint8_t b : id)
        hex += StringPrintf("%02x", b);
    const std::string path = "Cache\\Avatars\\" + hex + ".jpg";
    const std::string host = HostPathForWrite(path);
    if (host.empty() || !SaveBytesAtomically(host, file.Data().data(), file.Data().size()))
        WriteLog("Could not store the avatar %s\n", path.c_str());
}

void FileData(const uint8_t* r)
{
    const std::string name = GetText(r, kFileName, kFileNameBytes);
    WriteLog("Filedata %s %d\n", name.c_str(), static_cast<int>(GetU32(r, kFileCount)));
    if (r[kFileRequest]) {
        if (GameClient* client = CurrentClient())
            client->SendFile(SessionGame().MakeLevelPath(PlainFileName(name)), GetU32(r, kFileKind));
        return;
    }
    const uint32_t kind = GetU32(r, kFileKind);
    if (kind == kFileKindLevel) {
        const std::string plain = PlainFileName(name);
        if (r[kFileFirst] && (g_requestedLevel.empty() || !EqualsNoCase(PlainFileName(g_requestedLevel), plain))) {
            WriteLog("FILEDATA of a level that was not asked for refused: %s\n", plain.c_str());
            return;
        }
    } else if (r[kFileFirst]) {
        WriteLog("Receiving avatar from server %d\n", static_cast<int>(GetU32(r, kFileOwner)));
    }
    if (g_download.Add(r, "server") != FileAssembly::Step::Complete)
        return;
    if (g_download.Kind() == kFileKindLevel) {
        StoreDownloadedLevel(g_download);
        const std::string level = g_requestedLevel;
        g_requestedLevel.clear();
        SessionLevelInfo info;
        if (GameClient* client = CurrentClient())
            client->SendLevelQuery(level, SessionGame().ResolveLevel(level, info) ? info.crc : 0, true);
    } else {
        StoreAvatar(g_download);
    }
    g_download.Reset();
}

void LevelQuery(const uint8_t* r)
{
    const std::string name = GetText(r, kLevelQueryName, kLevelQueryNameBytes);
    ShowLevelLoadingWindow(TranslateText("Loading") + " " + PlainFileName(name), FindOpenWindow("FlimbsGameBase"));
    SessionLevelInfo info;
    const bool found = SessionGame().ResolveLevel(name, info) && info.crc == GetU32(r, kLevelQueryCrc);
    WriteLog("LevelQuery %s %d\n", name.c_str(), found ? 1 : 0);
    GameClient* client = CurrentClient();
    if (!client)
        return;
    if (found) {
        client->SendLevelQuery(name, info.crc, true);
    } else {
        g_requestedLevel = name;
        client->RequestLevelFile(name);
    }
}

void ProfileId(const uint8_t* r)
{
    if (PlayerRecord* player = FindPlayer(static_cast<int>(GetU32(r, 24))))
        std::memcpy(player->profileId.data(), r + 8, 16);
    if (GameServer* server = CurrentServer())
        server->Republish();
}

} // namespace

void ResetCommandDownloads()
{
    g_download.Reset();
    g_requestedLevel.clear();
}

int ExecuteCommand(const uint8_t* record)
{
    const uint8_t id = record[0];
    if (SessionVerbose())
        WriteLog("CLIENT CMD EXECUTE [%s] U[%d][%d] nc:%d\n", NetCommandName(id), ClientUpdateCounter(), record[1],
                 World().clock.flimbsInPlay);
    if (IsHashCheckInProgress())
        return -1;
    switch (id) {
    case kCmdStartGame:
        StartGame(record);
        return 0;
    case kCmdCreateFlimb:
        CreateFlimb(record);
        return 0;
    case kCmdUpdateFlimbType:
        UpdateFlimbType(record);
        return 0;
    case kCmdChat:
        Chat(record);
        return 0;
    case kCmdUpdateFlimbs:
        UpdateFlimbs();
        return 0;
    case kCmdHighlight:
        Highlight(record);
        return 0;
    case kCmdPlayerId:
        PlayerId(record);
        return 0;
    case kCmdUpdateUsername:
        UpdateUsername(record);
        return 0;
    case kCmdNewPlayer:
        NewPlayer(record);
        return 0;
    case kCmdGameData:
        return GameData(record);
    case kCmdNetResult:
        NetResult(record);
        return 0;
    case kCmdChecksum:
        Checksum();
        return 0;
    case kCmdGameOver:
        GameOver();
        return 0;
    case kCmdGulpChange:
        GulpChange(record);
        return 0;
    case kCmdRequestPing:
        RequestPing(record);
        return 0;
    case kCmdTeamChange:
        TeamChange(record);
        return 0;
    case kCmdNetLoad:
        NetLoad(record);
        return 0;
    case kCmdKeyChange:
        return 0;
    case kCmdActionSelect:
        if (record[6] < kActionCount && record[8] < 8)
            CommandState().actionSelected[record[8]][record[6]] = record[7];
        return 0;
    case kCmdNetBash: {
        const NetBashArgs args = ReadNetBash(record);
        uint32_t local = 0;
        if (fileManager)
            if (const int handle = fileManager->Open(args.brushFile)) {
                local = fileManager->GetCrc(handle);
                fileManager->Close(handle);
            }
        if (local != args.crc)
            WriteLog("BAD CRC ON BRUSH FILE! net:%u curr:%u\n", args.crc, local);
        SessionGame().BashBrushFile(args, args.rotation * 57.29577951308232f);
        return 0;
    }
    case kCmdUpdateTrap:
        UpdateTrap(record);
        return 0;
    case kCmdGameModeOptions:
        ModeReadStateDocument(VariableText(record));
        return 0;
    case kCmdUpdateModifier:
        ModeApplyModifierRecord(record, RecordLength(record));
        return 0;
    case kCmdCameraView:
        ApplyCameraView(record);
        return 0;
    case kCmdSession:
        std::memcpy(CommandState().sessionId.data(), record + 8, 16);
        return 0;
    case kCmdUpdateMorphCount:
        SessionGame().ReadMorphCounts(VariableText(record));
        return 0;
    case kCmdSetHostVariable:
        SetHostVariable(record);
        return 0;
    case kCmdDecoration:
        if (Flimb* flimb = FindFlimbById(static_cast<int16_t>(GetU16(record, kDecorationFlimb))))
            SessionGame().SetDecoration(*flimb, GetText(record, kDecorationName, kDecorationNameBytes));
        return 0;
    case kCmdFileData:
        FileData(record);
        return 0;
    case kCmdLevelQuery:
        LevelQuery(record);
        return 0;
    case kCmdProfileId:
        ProfileId(record);
        return 0;
    case kCmdBattleSkill:
        CommandState().battleSkill = GetU32(record, 8);
        ModeApplyBattleSkill(record, RecordLength(record));
        return 0;
    case kCmdFreezeTime:
        ModeCountFreeze();
        return 0;
    default:
        WriteLog("    NETWORK ERROR:UNKNOWN Message!!!!!!!!!!!!! ");
        return -1;
    }
}
