#pragma once
// What the rest of the game asks of the game session: hosting a level from the command line,
// and the requests the game client sends to the game server.
#include <cstddef>
#include <cstdint>
#include <string>

class ClientAgent;
class PseudoTcpClientAgent;
class Trap;

// Hosts the level in a new local session (a ".flimbs" file: plays it back). False when it
// could not be started.
bool LaunchLevelAsHost(const std::string& levelFile);
// True for a playback file's name (".flimbs").
bool IsPlaybackFileName(const std::string& name);
// Replays the playback to its end at full speed (no window) and writes its result line (level,
// result, flimbs saved and required, updates, state hash, updates per second) to the log and
// the standard output. False when it could not be played.
bool VerifyPlayback(const std::string& path);
// Sends the network layer's notices to the game's message log.
void InstallNetNotices();
// Fills what the floors below ask of the session: the statistics client's match record
// (GatherStatsSnapshot). Run once at start-up.
void InstallSessionHooks();

// The requests of the game client. The game session installs its client while a session
// is open; without one nothing is sent. Nothing is sent either while the Quantum Time
// preview steps its copy of a flimb.
class GameClientRequests {
public:
    virtual ~GameClientRequests() = default;
    virtual void SendHighlight(int16_t flimbId) = 0;
    virtual void SendUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t argument, int32_t value) = 0;
    virtual void SendGulpChange(int16_t flimbId, uint8_t variant) = 0;
    // The trap's saved state; activate 1 with the flimb id (-1 for none) that triggered it.
    virtual void SendTrapState(const Trap& trap, uint8_t activate, int32_t flimbId) = 0;
    // A terrain bash of an image (a game path; its file's CRC travels with it) at a point.
    virtual void SendNetBash(const std::string& imagePath, float scaleX, float scaleY, uint8_t material,
                             uint32_t affectedMaterials, uint32_t tint, float rotation, uint8_t flag, int32_t x,
                             int32_t y)
    {
        (void)imagePath, (void)scaleX, (void)scaleY, (void)material, (void)affectedMaterials, (void)tint,
            (void)rotation, (void)flag, (void)x, (void)y;
    }
    // A new flimb at a point, made like the flimb of that id (a debugging tool).
    virtual void SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y) { (void)flimbId, (void)x, (void)y; }
    // The HUD's requests. SET_HOST_VARIABLE (16 game speed, 18 pause 1 / resume 0).
    virtual void SendSetHostVariable(uint8_t variable, int32_t value) { (void)variable, (void)value; }
    // GAMEDATA: the server (re)loads the level for everyone.
    virtual void SendGameData(const std::string& levelFile) { (void)levelFile; }
    // CHAT: speaker -1 is the local player (the line gets the name prefix); the composed
    // line is cut to kChatTextBytes on a character boundary (CutChatText).
    virtual void SendChat(const std::string& name, const std::string& text, int32_t speaker, bool groupOnly)
    {
        (void)name, (void)text, (void)speaker, (void)groupOnly;
    }
    // CHAT with an empty text: typing started (true) or stopped.
    virtual void SendTypingState(bool typing) { (void)typing; }
    // DECORATION of a flimb.
    virtual void SendDecoration(uint8_t flag, int16_t flimbId, const std::string& decoration)
    {
        (void)flag, (void)flimbId, (void)decoration;
    }
    // The client's status signal with the explicit "leave" value: the player leaves the
    // level (its listeners close the session).
    virtual void EmitLeave() {}
    // The local player's switch to another group (the single player's group after a load).
    virtual void SendTeamChange(uint8_t /*group*/) {}
    // Another player's switch (the host rebalancing the teams).
    virtual void SendPlayerTeamChange(uint8_t /*playerId*/, uint8_t /*group*/) {}
    // GAME_MODE_OPTIONS with the mode's "game-mode-state" document, and the controller's
    // group budgets as a "game-manager-state" document (command 31).
    virtual void SendGameModeState(const std::string& /*xml*/) {}
    virtual void SendGameManagerState(const std::string& /*xml*/) {}
    // The client's connection agents, pumped while a level loads: the world-server way and
    // the direct one (null when there is none).
    virtual ClientAgent* WorldServerAgent() { return nullptr; }
    virtual PseudoTcpClientAgent* DirectAgent() { return nullptr; }
};
// Null: no session.
void SetGameClientRequests(GameClientRequests* client);
GameClientRequests* CurrentGameClientRequests();

void SendHighlight(int16_t flimbId);
void SendUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t argument, int32_t value);
void SendGulpChange(int16_t flimbId, uint8_t variant);
void SendTrapState(const Trap& trap, uint8_t activate, int32_t flimbId);
void SendNetBash(const std::string& imagePath, float scaleX, float scaleY, uint8_t material, uint32_t affectedMaterials,
                 uint32_t tint, float rotation, uint8_t flag, int32_t x, int32_t y);
void SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y);
void SendSetHostVariable(uint8_t variable, int32_t value);
void SendGameData(const std::string& levelFile);
void SendChat(const std::string& name, const std::string& text, int32_t speaker, bool groupOnly);
void SendTypingState(bool typing);
void SendDecoration(uint8_t flag, int16_t flimbId, const std::string& decoration);
void EmitLeave();

// The text bytes a CHAT record holds (bytes 6-135 with the closing NUL).
constexpr size_t kChatTextBytes = 129;
// The text cut to kChatTextBytes at a UTF-8 character boundary.
std::string CutChatText(const std::string& text);
void SendTeamChange(uint8_t group);
void SendPlayerTeamChange(uint8_t playerId, uint8_t group);
void SendGameModeState(const std::string& xml);
void SendGameManagerState(const std::string& xml);
// True while a session's game client is installed.
bool GameClientExists();
// The installed client's connection agents (null without a client or agent).
ClientAgent* SessionWorldServerAgent();
PseudoTcpClientAgent* SessionDirectAgent();

// What the game server is asked to do from this machine (a debugging key). Nothing happens
// without a game server.
class GameServerCommands {
public:
    virtual ~GameServerCommands() = default;
    virtual void BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t group, uint8_t variant) = 0;
    // Opens a match recording ("Playbacks\" and ".flimbs" added where missing) and plays it
    // to every client, restarting the level from it. False when it could not be opened.
    virtual bool PlayRecording(const std::string& /*name*/) { return false; }
    // Processes the messages the server received (kept alive through a long level load).
    virtual void CheckReceived() {}
    // The session's state word; while it is 0 the host reports a level start to the
    // statistics service.
    virtual int StateWord() const { return 0; }
};
void SetGameServerCommands(GameServerCommands* server);
void BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t group, uint8_t variant);
// True on the match host: a game server is installed.
bool GameServerExists();
// GameServer::PlayRecording; false (logged) without a game server.
bool PlayRecording(const std::string& name);
void CheckServerReceived();
int SessionStateWord();

// A checkpoint trap was reached: at the end of this pass over the command stream the client
// saves the level's automatic checkpoint (unless a recording is played back).
void RequestAutoCheckpoint();
bool AutoCheckpointRequested();

// Set by the session while a recorded match is played back.
bool PlaybackRunning();
void SetPlaybackRunning(bool running);
// The one folder of the player's playbacks, where recordings are saved, listed and played
// from: the current profile's folder + "\Playbacks\" (a game path).
std::string PlaybackFolder();
// Where leaving a playback goes (the playback menu sets it before it starts one); none:
// the front end. Run once: the leave clears it.
using PlaybackReturnCallback = void (*)();
void SetPlaybackReturnCallback(PlaybackReturnCallback callback);
// Runs and clears the callback; false when none was set.
bool RunPlaybackReturnCallback();

// The level the current match plays (its name without ".flevel"); empty without a session.
std::string SessionLevelName();
// Saves the current match recording: with flag 1 under the game path itself, else under the
// playback name. Without a session nothing is saved: a log line, and false.
bool SavePlayback(const std::string& path, int flag);

// True while the game client of a match is connected (every level runs under one).
bool MatchClientRunning();
// Sends the player's avatar source file to the match when the game client is connected;
// nothing otherwise.
void SendAvatarToMatch();
