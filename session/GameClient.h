#pragma once
// The match client: it owns the connection to the game server, reads the server's
// commands for the executor and sends the player's requests, each one command record
// stamped with the low byte of the client's update counter. Without a stream a request is
// dropped silently. One client is current at a time.
#include "net/NetSignal.h"
#include "session/NetCommand.h"
#include "session/SessionServices.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ClientAgent;
class IFlimbsStream;
class PseudoTcpClientAgent;
class Trap;

class GameClient : public GameClientRequests {
public:
    GameClient();
    ~GameClient() override;
    GameClient(const GameClient&) = delete;
    GameClient& operator=(const GameClient&) = delete;

    // ---- Connecting ------------------------------------------------------------------------
    // 127.0.0.1 at the port (the configured server port when negative).
    void ConnectLocal(int port = -1);
    void ConnectDirect(const std::string& address, int port);
    // A game found through the world server, by its host's client id.
    void ConnectViaWorldServer(int hostClientId);
    // Takes a stream made elsewhere (tests); the client does not own it.
    void AttachStream(IFlimbsStream* stream);
    // Each agent that exists does its work once.
    void Pump();
    // The next record from the stream (inside the receive buffer until the next call), or
    // null. Records that fail the validator are logged and skipped.
    const uint8_t* Receive();
    bool HasStream() const { return stream_ != nullptr; }
    IFlimbsStream* Stream() const { return stream_; }

    // Connection problems and refusals for whoever listens (the session, the screens).
    NetSignal<void(const std::string&)> SignalStatusText;

    // ---- Requests --------------------------------------------------------------------------
    // Stamps and sends one record (nothing without a stream).
    void Send(NetRecord record);
    void SendMoveFlimb(int32_t x, int32_t y, int16_t flimbId);
    void SendUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t subKind, int32_t argument) override;
    // A chat line: speaker -1 is the local player, whose name (the given one or the
    // "username" variable) and " [S]" as a spectator lead the line; group-only lines are
    // prefixed "(Group Only) ".
    void SendChat(const std::string& line, int speaker = -1, bool groupOnly = false, const std::string& name = "");
    void SendChatLine(const std::string& line);
    void SendHighlight(int16_t flimbId) override;
    void SendHighlight(int16_t flimbId, bool on);
    void SendUsername();
    void SendNewPlayer(uint8_t player, uint8_t kind, uint8_t ready);
    // GAMEDATA with the level's name (at most 99 bytes; longer names are refused, logged).
    void SendGameData(const std::string& levelName) override;
    void SendNetResult(uint32_t code, uint32_t value = 0);
    void SendChecksum(uint32_t checksum);
    void SendPing(uint8_t value);
    void SendGulpChange(int16_t flimbId, uint8_t on) override;
    void SendTeamChange(uint32_t player, uint8_t group);
    // The requests of the world and the level loader through the session's services: the
    // local player's group, another player's group, and a flimb moved to a point.
    void SendTeamChange(uint8_t group) override;
    void SendPlayerTeamChange(uint8_t playerId, uint8_t group) override { SendTeamChange(playerId, group); }
    void SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y) override { SendMoveFlimb(x, y, flimbId); }
    // The connection agents, pumped while a level loads.
    ClientAgent* WorldServerAgent() { return worldServerAgent_.get(); }
    PseudoTcpClientAgent* DirectAgent();
    void PumpConnections() override;
    void SendActionSelect(uint8_t action, uint8_t on, uint8_t group);
    void SendNetBash(const NetBashArgs& args);
    void SendTrapState(const Trap& trap, uint8_t activate, int32_t flimbId) override;
    // The view's dig tool and the stamp overlay: the point travels in the record's two
    // integers, then the material, the tint and the affected materials.
    void SendNetBash(const std::string& imagePath, float scaleX, float scaleY, uint8_t material,
                     uint32_t affectedMaterials, uint32_t tint, float rotation, uint8_t flag, int32_t x,
                     int32_t y) override;
    void SendGameModeState(const std::string& xml) override;
    void SendModifierState(uint8_t index, int16_t flimbId);
    void SendGameManagerState(const std::string& xml) override;
    // Group -1: the local player's group.
    void SendUpdateGroup(int group);
    void RequestStartMatch();
    void SendDecoration(const std::string& name, int16_t flimbId);

    // ---- The requests the HUD and the world make through the session's services -------
    void SendSetHostVariable(uint8_t variable, int32_t value) override;
    void SendChat(const std::string& name, const std::string& text, int32_t speaker, bool groupOnly) override
    {
        SendChat(text, speaker, groupOnly, name);
    }
    // CHAT with an empty text and the typing state: 1 started, 2 stopped.
    void SendTypingState(bool typing) override;
    void SendDecoration(uint8_t, int16_t flimbId, const std::string& decoration) override
    {
        SendDecoration(decoration, flimbId);
    }
    // The player leaves the level: the status signal with an empty text.
    void EmitLeave() override { SignalStatusText(std::string()); }
    void SendProfileId();
    void SendLevelQuery(const std::string& levelName, uint32_t crc, bool found);
    // A file through the file manager in FILEDATA chunks; false (logged) when it cannot be read.
    bool SendFile(const std::string& path, uint32_t kind);
    void SendAvatar(const std::string& avatarDataPath);
    void RequestLevelFile(const std::string& levelName);

    // ---- Recording and playback: the command state's one recording and eight slots -------
    // The path of a playback: a name beginning with '$' in Playbacks\Abnormal\, another name
    // in Playbacks\, no name <level>_NNN with the first free number; with fullPath the name
    // itself. Empty (logged) for a name that is not a plain file name.
    static std::string PlaybackPath(const std::string& name, bool fullPath = false);
    // Opens Playbacks\temp.flimbs for a new recording; false (no recording) on failure.
    static bool OpenTempRecording(const std::string& levelName);
    static void CloseRecording();
    static void DiscardTempRecording();
    // Copies the recording so far (recording goes on) with a CAMERA_VIEW and a closing
    // NETLOAD; the file appears only when complete. False (logged) on failure.
    static bool SavePlayback(const std::string& name, bool fullPath = false);
    // Slot 0's records up to its cursor and a closing NETLOAD.
    static bool SavePlaybackAs(const std::string& name, bool fullPath = false);
    // The records of the slots in a new numbered playback; its path, or "" without one.
    static std::string SaveSlots();
    // Into the first free slot. Throws GameException "There are no open playback slots",
    // "Playback file [%s] is damaged or missing" or "... contains invalid data".
    static void LoadPlayback(const std::string& path);
    static void ClearPlaybackSlots();
    static void SeekPlayback(uint32_t update);
    // Executes slot 0 until `count` updates ran. Using it up sets the ended flag and ends a
    // playback session (session kind finished), as the timed feed does.
    static void RunPlayback(uint32_t count);
    // Points slot 0 back at its first record; false when no playback is loaded.
    static bool RewindPlayback();

    // Records sent so far (tests read what went out).
    uint32_t sentCount = 0;

private:
    void OnStreamReady(IFlimbsStream* stream);
    void OnStreamClosed();

    std::unique_ptr<uint8_t[]> receiveBuffer_;
    IFlimbsStream* stream_ = nullptr;
    std::unique_ptr<ClientAgent> worldServerAgent_;
    std::unique_ptr<ClientAgent> directAgent_;
    std::vector<boost::signals2::scoped_connection> connections_;
    std::shared_ptr<int> alive_;
};

// The current client (null when none).
GameClient* CurrentClient();
void SetCurrentClient(GameClient* client);

// Playbacks\temp.flimbs of the current profile.
std::string TempRecordingPath();

// The local player's number (255 without one).
uint8_t LocalPlayerNumber();

// The local player's profile id: made once with libuuid and kept in the profile.
std::array<uint8_t, 16> LocalProfileId();
