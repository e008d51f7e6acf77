#pragma once
// The session windows a level is played under: the host session (the game server in this
// process and its own client), the client of a server elsewhere, and the playback session.
// The window drives its client (and server) once per frame and resets the shared game
// state when it closes.
#include "gui/PrimContainer.h"

#include <functional>
#include <memory>
#include <string>

class GameClient;
class GameServer;

class FlimbsGameBase : public PrimContainer {
public:
    FlimbsGameBase();
    ~FlimbsGameBase() override;

    // RunClientCommands, then the children.
    void Update() override;
    // Ends the session (see the common part in the source).
    void Close() override;

    // The reset before a level is (re)loaded within a session.
    static void ResetForLevel();

protected:
    void CloseCommon();
};

// A level request: what the session's level runner runs with the current client, and what
// it calls when that fails (the failure's message, empty for none).
struct LevelRequest {
    std::function<void(GameClient& client)> run;
    std::function<void(const std::string& error)> onError;
};

class FlimbsGameClientBase : public FlimbsGameBase {
public:
    FlimbsGameClientBase();
    ~FlimbsGameClientBase() override;

    void Update() override;
    void Close() override;

    // Adds a handler to the current client's status-text signal.
    static void SubscribeStatus(std::function<void(const std::string&)> handler);
    // Runs the request with the current client; a GameException goes to its error callback.
    void RunLevelRequest(const LevelRequest& request);

    GameClient* Client() const { return client_.get(); }
    bool IsClosing() const { return closing_; }
    bool IsDisconnected() const { return disconnected_; }

protected:
    std::unique_ptr<GameClient> client_;
    bool closing_ = false;
    bool disconnected_ = false;
    bool leaving_ = false; // the player left: the next update closes the session
};

class FlimbsGameHost : public FlimbsGameClientBase {
public:
    // The game server on the port (0: any free one; networked: reachable from other
    // machines and announced), then the own client connected to the port it bound.
    explicit FlimbsGameHost(int port, bool networked = false);
    ~FlimbsGameHost() override;

    void Update() override;
    void Close() override;

    // Hosts the named level. Throws GameException "Couldn't get level info" (followed by
    // ": " and the cause when the level state knows it) or "This level is set to only allow
    // editing.".
    void HostLevel(const std::string& levelName);
    GameServer* Server() const { return server_.get(); }

private:
    std::unique_ptr<GameServer> server_;
};

class FlimbsGameMultiClient : public FlimbsGameClientBase {
public:
    FlimbsGameMultiClient(const std::string& address, int port);
    // A game listed by the world server, by its host's client id.
    explicit FlimbsGameMultiClient(int hostClientId);
};

class FlimbsPlayer : public FlimbsGameBase {
public:
    // Loads the playback into a slot; its GameException (no slot, damaged or missing,
    // invalid data) reaches the caller.
    explicit FlimbsPlayer(const std::string& playbackPath);
    ~FlimbsPlayer() override;

    // The base's update; when the playback has run to its end, its result line is logged once.
    void Update() override;
    void Close() override;

private:
    std::unique_ptr<GameClient> client_;
    std::string path_;
    uint32_t startedMs_ = 0;
    bool reported_ = false;
};

// True when the editor runs (levels of kind 2 and 3 may then be played).
void SetEditorMode(bool on);
