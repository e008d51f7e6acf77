#pragma once
// What the rest of the game asks of the game session: hosting a level from the command line,
// and the requests the game client sends to the game server.
#include <cstdint>
#include <string>

class Trap;

// Hosts the level in a new local session. False when it could not be started.
bool LaunchLevelAsHost(const std::string& levelFile);

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
    // The local player asks to play another group.
    virtual void SendTeamChange(uint8_t playerNumber) { (void)playerNumber; }
    // A new flimb at a point, made like the flimb of that id (a debugging tool).
    virtual void SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y) { (void)flimbId, (void)x, (void)y; }
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
void SendTeamChange(uint8_t playerNumber);
void SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y);

// What the game server is asked to do from this machine (a debugging key). Nothing happens
// without a game server.
class GameServerCommands {
public:
    virtual ~GameServerCommands() = default;
    virtual void BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t group, uint8_t variant) = 0;
};
void SetGameServerCommands(GameServerCommands* server);
void BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t group, uint8_t variant);

// The level the current match plays (its name without ".flevel"); empty without a session.
std::string SessionLevelName();
// Saves the current match recording under a game path (the game client's playback save).
// Without a session nothing is saved: a log line, and false.
bool SavePlayback(const std::string& path, int flag);
