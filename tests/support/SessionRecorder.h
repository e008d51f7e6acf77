#pragma once
// Records the requests the game sends to the game session, as text lines such as
// "highlight 5", "type 5 3 77 0", "gulp 5 1", "trap 12 0 -1", "create 10 20 0 1",
// "hostvar 18 1", "gamedata kpt_one.flevel", "chat -1 0 hello" (speaker, group-only,
// text), "typing 1", "decoration 0 5 Hat", "leave", "team 2",
// "bash <path> 1.0 1.0 1 fffe0ce3 ffffffff 0.0 0 10 20" (scales, material, affected
// materials, tint, rotation, flag, point), "newflimb 5 10 20".
// While it lives it is the session's game client and game server. It also keeps every trap
// state with its document and the update it is stamped for (the update the world runs next),
// and executes them through the session's own UPDATE_TRAP command when their update comes.
#include "session/SessionServices.h"

#include <cstdint>

#include <string>
#include <vector>

struct RecordedTrapState {
    uint32_t update = 0; // the world update counter when it was sent: the next update to run
    uint32_t trapId = 0;
    uint8_t activate = 0;
    int32_t flimbId = -1;
    std::string xml; // the "trap-state" document
};

class SessionRecorder : public GameClientRequests, public GameServerCommands {
public:
    SessionRecorder();
    ~SessionRecorder() override;
    SessionRecorder(const SessionRecorder&) = delete;
    SessionRecorder& operator=(const SessionRecorder&) = delete;

    void SendHighlight(int16_t flimbId) override;
    void SendUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t argument, int32_t value) override;
    void SendGulpChange(int16_t flimbId, uint8_t variant) override;
    void SendTrapState(const Trap& trap, uint8_t activate, int32_t flimbId) override;
    void SendNetBash(const std::string& imagePath, float scaleX, float scaleY, uint8_t material,
                     uint32_t affectedMaterials, uint32_t tint, float rotation, uint8_t flag, int32_t x,
                     int32_t y) override;
    void SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y) override;
    void SendSetHostVariable(uint8_t variable, int32_t value) override;
    void SendGameData(const std::string& levelFile) override;
    void SendChat(const std::string& name, const std::string& text, int32_t speaker, bool groupOnly) override;
    void SendTypingState(bool typing) override;
    void SendDecoration(uint8_t flag, int16_t flimbId, const std::string& decoration) override;
    void EmitLeave() override;
    void SendTeamChange(uint8_t group) override;
    void SendPlayerTeamChange(uint8_t playerId, uint8_t group) override;
    void SendGameModeState(const std::string& xml) override;
    void SendGameManagerState(const std::string& xml) override;
    void BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t group, uint8_t variant) override;
    bool PlayRecording(const std::string& name, const std::string& level) override;
    void CheckReceived() override { ++checkReceivedCalls; }
    int StateWord() const override { return stateWord; }

    // Executes, in the order they were sent, the kept trap states stamped for `update` or
    // earlier, as a client executes UPDATE_TRAP; they leave the list.
    void ExecuteTrapStates(uint32_t update);

    std::vector<std::string> requests;
    // The name each CHAT request was sent under, in order.
    std::vector<std::string> chatNames;
    std::vector<RecordedTrapState> trapStates;
    int checkReceivedCalls = 0;
    int stateWord = 0;
};
