#include "session/PlaybackRunner.h"

#include "app/GameException.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "game/GameController.h"
#include "modes/ModeServices.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/NetCommand.h"
#include "session/SessionGame.h"
#include "session/SessionServices.h"
#include "world/StateHash.h"
#include "world/WorldState.h"

#include <chrono>

namespace {

// The local group: the local player's, else group 0 (a playback has no local player).
uint8_t LocalGroup()
{
    const PlayerRecord* local = Controller().localPlayer;
    return local && local->team < kControllerGroups ? local->team : 0;
}

// Marks the run as a playback for the game (and the level's checksum rules) while it lasts.
class PlaybackScope {
public:
    PlaybackScope() : client_(), previous_(CurrentClient())
    {
        ResetCommandState();
        SetCurrentClient(&client_);
        CommandState().recordingAllowed = false;
        SetPlaybackRunning(true);
        Controller().playbackRunning = 1;
    }
    ~PlaybackScope()
    {
        Controller().playbackRunning = 0;
        SetPlaybackRunning(false);
        SetCurrentClient(previous_);
        ResetCommandState();
    }
    PlaybackScope(const PlaybackScope&) = delete;
    PlaybackScope& operator=(const PlaybackScope&) = delete;

private:
    GameClient client_;
    GameClient* previous_;
};

// The level of the slot's first GAMEDATA; empty when it has none.
std::string RecordedLevel(const PlaybackSlot& slot)
{
    for (const NetRecord& record : slot.records)
        if (record.Command() == kCmdGameData)
            return GetText(record.data(), netfield::kGameDataName, netfield::kGameDataNameBytes);
    return {};
}

} // namespace

PlaybackRunResult RunPlaybackFile(const std::string& path, const PlaybackRunOptions& options)
{
    PlaybackRunResult result;
    const auto started = std::chrono::steady_clock::now();
    {
        PlaybackScope scope;
        ClientCommandState& state = CommandState();
        try {
            GameClient::LoadPlayback(path);
            result.cutAt = state.playbackCutAt;
            const PlaybackSlot& slot = state.slots[0];
            const std::string level = RecordedLevel(slot);
            SessionLevelInfo info;
            if (level.empty())
                throw GameException("the playback names no level");
            if (!SessionGame().ResolveLevel(level, info))
                throw GameException(StringPrintf("the level [%s] cannot be loaded", level.c_str()));
            state.sessionKind = kPlaybackPlaying;
            while (!slot.Free()) {
                GameClient::RunPlayback(1);
                if (options.afterUpdate)
                    options.afterUpdate(World().clock.updateCounter);
            }
            if (SessionGame().LoadedLevel().name.empty())
                throw GameException(StringPrintf("the level [%s] cannot be loaded", level.c_str()));
            result.ok = true;
        } catch (const GameException& failure) {
            result.error = failure.what();
            WriteLog("Playback %s failed: %s\n", path.c_str(), failure.what());
        }
        FillPlaybackOutcome(result);
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

void FillPlaybackOutcome(PlaybackRunResult& result)
{
    result.level = GetFileTitle(SessionGame().LoadedLevel().name, true);
    result.updates = World().clock.updateCounter;
    result.result = ModeResultCode();
    // A recording holds no GAMEOVER (it is not recorded): the result the end would publish.
    result.matchResult = Controller().matchResult;
    if (result.matchResult <= 0) {
        const int settled = ModeSettledResult();
        result.matchResult = settled > 0 ? settled : -1;
    }
    SumExitCounters(LocalGroup(), result.saved, result.required);
    result.stateHash = WorldStateHash();
}

const char* PlaybackOutcome(const PlaybackRunResult& result)
{
    switch (result.matchResult) {
    case 1:
    case 6:
        return "win";
    case 2:
    case 5:
        return "loss";
    case 3:
        return "tie";
    case 4:
        return "no score";
    default:
        return "unfinished";
    }
}

std::string StateHashText(uint64_t hash)
{
    return StringPrintf("%016llx", static_cast<unsigned long long>(hash));
}

std::string PlaybackResultLine(const std::string& path, const PlaybackRunResult& result)
{
    if (!result.ok)
        return StringPrintf("Playback %s: failed: %s", path.c_str(), result.error.c_str());
    const double rate = result.seconds > 0.0 ? result.updates / result.seconds : 0.0;
    const std::string cut =
        result.cutAt ? StringPrintf(", ends inside a record at byte %llu", static_cast<unsigned long long>(result.cutAt))
                     : std::string();
    return StringPrintf("Playback %s: level %s, result %s, saved %d of %d required, %u updates, state hash %s, "
                        "%.0f updates per second%s",
                        path.c_str(), result.level.c_str(), PlaybackOutcome(result), result.saved, result.required,
                        result.updates, StateHashText(result.stateHash).c_str(), rate, cut.c_str());
}
