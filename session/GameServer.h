#pragma once
// The authoritative match server. It owns the connections of all clients, numbers them,
// checks and answers their requests, stamps everything it sends with its own update
// counter, paces the match with one UPDATE_FLIMBS tick per `lag` milliseconds, records the
// match, compares the clients' level checksums and replays recordings. It holds no game
// state: players and groups are read from the game controller of the hosting game.
#include "session/FileTransfer.h"
#include "session/NetCommand.h"
#include "session/SessionGame.h"
#include "session/SessionServices.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class IFlimbsStream;
class LanMulticastSender;
class NetInfoFileWriter;
class PseudoTcpHost;
class WorldServerHostAgent;

class GameServer : public GameServerCommands {
public:
    enum ServerState : int { kConstructed = 0, kLobby = 1, kRunning = 2, kEndCheck = 3, kPaused = 4, kDestroyed = 5 };
    using Clock = std::function<uint32_t()>;

    // Binds the direct UDP host on `port` (negative: the "serverPORT" variable; 0: any free
    // port). The clock paces ticks and pings (the game clock unless given). Throws
    // GameException when the port cannot be bound.
    explicit GameServer(bool networked, int port = -1, Clock clock = {});
    ~GameServer() override;
    GameServer(const GameServer&) = delete;
    GameServer& operator=(const GameServer&) = delete;

    void Update(bool processNetwork);
    // Stamps (unless keepStamp) and sends to every in-game, ready client; records it.
    void Broadcast(const uint8_t* message, bool keepStamp = false);
    void Broadcast(const NetRecord& message, bool keepStamp = false) { Broadcast(message.data(), keepStamp); }
    // Stamps (unless keepStamp), clears byte 4 and sends to one client; not recorded.
    void SendTo(int client, const uint8_t* message, bool keepStamp = false);
    void SendTo(int client, const NetRecord& message, bool keepStamp = false) { SendTo(client, message.data(), keepStamp); }
    // The request in the receive buffer from the client; false when refused or unknown.
    bool HandleClientCommand(int client);

    // A stream that a stream manager handed over (the server owns it from now on).
    void OnNewConnection(IFlimbsStream* stream);
    void OnClientVersionOk(int client);
    void OnClientLeft(int client);
    void Kick(int client);
    int FindClient(const IFlimbsStream* stream) const;

    bool LoadLevel(const std::string& name);
    bool PlayRecording(const std::string& name, const std::string& level) override;
    void SendCatchUp(int client);
    // Client -1: to everybody.
    void SendFile(int client, const std::string& name, uint32_t kind);
    void SendAvatars(int client);

    void ResetMatch();
    void ResetRecording();
    void StartMatch();
    void ContinueMatch();
    void RequestPause(int on, bool force);
    void FreezeTime();
    void RequestChecksums();
    // 0 while a checksum is missing, 1 when all agree, 2 when one differs.
    int CompareChecksums();
    void PingTick(bool force);
    void BroadcastGameOver();
    void BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t type, uint8_t param) override;
    void EnsureAdmin(int reason, bool republish);
    void SetPublic(bool on);
    // The listing of the match changed (players, groups, state).
    void Republish();

    int State() const { return state_; }
    int SavedState() const { return savedState_; }
    // Leaves a pause (the "pause" command): the state before it, a fresh tick base.
    void Resume();
    uint32_t UpdateCounter() const { return counter_; }
    void SetUpdateCounter(uint32_t counter) { counter_ = counter; }
    // The direct UDP host's bound port.
    int Port() const;
    void NewSessionId();
    const std::array<uint8_t, 16>& SessionId() const { return sessionId_; }
    bool LevelLoaded() const { return levelLoaded_; }
    const SessionLevelInfo& Level() const { return level_; }
    size_t ClientCount() const { return clients_.size(); }
    bool ClientInGame(int client) const;
    // Counts one tick sent by hand (the "update" command).
    void CountUpdate() { ++counter_; }

private:
    struct Client {
        std::unique_ptr<IFlimbsStream> stream;
        bool inGame = false;
        bool ready = true;
        bool levelOk = false; // answered NR_LOADLEVELOK since the match was reset
        FileAssembly upload;
    };

    void ReceiveFrom(int number, Client& client);
    void DropClient(int number);
    void StateStep();
    void SendTicks();
    bool HandleNetResult(int client, const std::string& label);
    bool HandleFileData(int client);
    bool HandleTypeChange(int client);
    bool HandleTeamChange(int client);
    bool HandleHostVariable(int client);
    std::string ClientLabel(int client) const;
    bool IsAdminOrHost(int client) const;
    // Every player has loaded the level (its own client told the server so, or the game
    // controller's loaded flag is set).
    bool AllPlayersReady() const;
    void RecordMessage(const uint8_t* message);
    void OpenRecording(bool append);
    void CloseRecording();
    void Announce();
    void PostLocal(const std::string& text, int sound = 12);

    std::map<int, std::unique_ptr<Client>> clients_;
    int nextClient_ = 0;
    std::unique_ptr<WorldServerHostAgent> iceHost_;
    std::unique_ptr<PseudoTcpHost> udpHost_;
    SessionLevelInfo level_;
    bool levelLoaded_ = false;
    NetRecord storedGameData_;
    std::string pendingUpload_; // the level the server asked its clients for
    uint32_t counter_ = 0;
    // The state, mirrored to the controller's hostServerState while this is the current server.
    void SetState(int state);
    int state_ = kConstructed;
    int savedState_ = kConstructed;
    uint32_t tickBase_ = 0;
    uint32_t lastPing_ = 0;
    int pingReplies_ = 0;
    std::unique_ptr<NetInfoFileWriter> recording_;
    std::unique_ptr<LanMulticastSender> announcer_;
    uint32_t lastAnnounce_ = 0;
    std::array<uint8_t, 16> sessionId_{};
    int32_t lastPauseUpdate_ = -100;
    bool networked_;
    Clock clock_;
    std::unique_ptr<uint8_t[]> receive_;
    std::shared_ptr<int> alive_;
};

// The current server (null when this game hosts none).
GameServer* CurrentServer();
void SetCurrentServer(GameServer* server);

// The server recording and the catch-up copy (game paths under the user folder).
constexpr const char* kServerRecordingPath = "Cache\\Log\\server_info.flimbs";
constexpr const char* kCatchUpPath = "Cache\\Log\\netload_current_temp.flimbs";
