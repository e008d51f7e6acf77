#include "SessionRecorder.h"

#include "app/StringUtil.h"
#include "session/ClientCommandState.h"
#include "session/NetCommand.h"
#include "session/SessionGame.h"
#include "traps/Trap.h"
#include "world/WorldState.h"

SessionRecorder::SessionRecorder()
{
    SetGameClientRequests(this);
    SetGameServerCommands(this);
}

SessionRecorder::~SessionRecorder()
{
    SetGameClientRequests(nullptr);
    SetGameServerCommands(nullptr);
}

void SessionRecorder::SendHighlight(int16_t flimbId)
{
    requests.push_back(StringPrintf("highlight %d", flimbId));
}

void SessionRecorder::SendUpdateFlimbType(int16_t flimbId, uint8_t type, uint8_t argument, int32_t value)
{
    requests.push_back(StringPrintf("type %d %d %d %d", flimbId, type, argument, value));
}

void SessionRecorder::SendGulpChange(int16_t flimbId, uint8_t variant)
{
    requests.push_back(StringPrintf("gulp %d %d", flimbId, variant));
}

void SessionRecorder::SendTrapState(const Trap& trap, uint8_t activate, int32_t flimbId)
{
    requests.push_back(StringPrintf("trap %u %d %d", trap.id, activate, flimbId));
    trapStates.push_back({World().clock.updateCounter, trap.id, activate, flimbId, SessionGame().TrapStateXml(trap)});
}

void SessionRecorder::ExecuteTrapStates(uint32_t update)
{
    std::vector<RecordedTrapState> later;
    std::vector<RecordedTrapState> due;
    for (RecordedTrapState& state : trapStates)
        (state.update <= update ? due : later).push_back(std::move(state));
    trapStates = std::move(later);
    for (const RecordedTrapState& state : due) {
        const NetRecord record = MakeUpdateTrap(state.trapId, state.activate, state.flimbId, state.xml);
        ExecuteCommand(record.data());
    }
}

void SessionRecorder::SendNetBash(const std::string& imagePath, float scaleX, float scaleY, uint8_t material,
                                  uint32_t affectedMaterials, uint32_t tint, float rotation, uint8_t flag, int32_t x,
                                  int32_t y)
{
    requests.push_back(StringPrintf("bash %s %.1f %.1f %d %x %x %.1f %d %d %d", imagePath.c_str(), scaleX, scaleY,
                                    material, affectedMaterials, tint, rotation, flag, x, y));
}

void SessionRecorder::SendCreateFlimb(int16_t flimbId, int32_t x, int32_t y)
{
    requests.push_back(StringPrintf("newflimb %d %d %d", flimbId, x, y));
}

void SessionRecorder::SendTeamChange(uint8_t group)
{
    requests.push_back(StringPrintf("team %d", group));
}

void SessionRecorder::BroadcastCreateFlimb(int32_t x, int32_t y, uint8_t group, uint8_t variant)
{
    requests.push_back(StringPrintf("create %d %d %d %d", x, y, group, variant));
}

void SessionRecorder::SendSetHostVariable(uint8_t variable, int32_t value)
{
    requests.push_back(StringPrintf("hostvar %d %d", variable, value));
}

void SessionRecorder::SendGameData(const std::string& levelFile)
{
    requests.push_back("gamedata " + levelFile);
}

void SessionRecorder::SendChat(const std::string& name, const std::string& text, int32_t speaker, bool groupOnly)
{
    chatNames.push_back(name);
    requests.push_back(StringPrintf("chat %d %d ", speaker, groupOnly ? 1 : 0) + text);
}

void SessionRecorder::SendTypingState(bool typing)
{
    requests.push_back(StringPrintf("typing %d", typing ? 1 : 0));
}

void SessionRecorder::SendDecoration(uint8_t flag, int16_t flimbId, const std::string& decoration)
{
    requests.push_back(StringPrintf("decoration %d %d ", flag, flimbId) + decoration);
}

void SessionRecorder::EmitLeave()
{
    requests.push_back("leave");
}

void SessionRecorder::SendPlayerTeamChange(uint8_t playerId, uint8_t group)
{
    requests.push_back(StringPrintf("teamof %d %d", playerId, group));
}

void SessionRecorder::SendGameModeState(const std::string&)
{
    requests.push_back("modestate");
}

void SessionRecorder::SendGameManagerState(const std::string& xml)
{
    requests.push_back("managerstate " + xml);
}

bool SessionRecorder::PlayRecording(const std::string& name, const std::string& level)
{
    requests.push_back(level.empty() ? "play " + name : "play " + name + " of " + level);
    return true;
}
