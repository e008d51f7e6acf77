#include "session/PlaybackRunner.h"

#include "app/GameException.h"
#include "modes/ModeServices.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "world/StateHash.h"
#include "world/WorldState.h"

#include <climits>

PlaybackRunResult RunPlaybackFile(const std::string& path)
{
    PlaybackRunResult result;
    ResetCommandState();
    GameClient client;
    GameClient* previous = CurrentClient();
    SetCurrentClient(&client);
    ClientCommandState& state = CommandState();
    state.recordingAllowed = false;
    try {
        GameClient::LoadPlayback(path);
        state.sessionKind = kPlaybackPlaying;
        GameClient::RunPlayback(UINT32_MAX);
        result.ok = true;
    } catch (const GameException& failure) {
        result.error = failure.what();
    }
    result.updates = World().clock.updateCounter;
    result.result = ModeResultCode();
    result.stateHash = WorldStateHash();
    SetCurrentClient(previous);
    ResetCommandState();
    return result;
}
