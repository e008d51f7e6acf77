// The client's per-frame command pass, the command state and the feeding of the playback
// slots.
#include "app/GameClock.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "game/GameController.h"
#include "game/LevelGlobals.h"
#include "modes/ModeServices.h"
#include "session/ClientCommandState.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "session/NetInfoFile.h"
#include "session/SessionConsole.h"
#include "session/SessionGame.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

using namespace netfield;

namespace {

constexpr int kMultiverseMode = 4;
constexpr int kLoopMode = 5;
constexpr int32_t kGhostIdOffset = 10000;
constexpr uint32_t kGhostTrapOffset = 50000;

ClientCommandState* g_state = nullptr;
// A record stamped ahead of the client, kept between passes.
NetRecord g_pending;

const uint8_t* HeldBackTick()
{
    static NetRecord tick = MakeUpdateFlimbs();
    tick[1] = static_cast<uint8_t>(ClientUpdateCounter());
    return tick.data();
}

int PlayedLevelKind()
{
    return SessionGame().LoadedLevel().kind;
}

} // namespace

// ---- The command state --------------------------------------------------------------------

ClientCommandState::ClientCommandState()
{
    for (auto& group : actionSelected)
        group.fill(1);
}
ClientCommandState::~ClientCommandState() = default;

void ClientCommandState::Clear()
{
    if (recording)
        recording->Close();
    recording.reset();
    sessionKind = kSessionLive;
    waiting = false;
    checkpoint = false;
    lastPlaybackUpdate = acknowledgedUpdate = nextPlaybackUpdate = 0;
    halfUpdate = false;
    msPerUpdate = kDefaultMsPerUpdate;
    for (PlaybackSlot& slot : slots)
        slot = {};
    playbackLength = 0;
    playbackPath.clear();
    playbackCutAt = 0;
    playbackEnded = false;
    drawing = true;
    recordingAllowed = true;
    sessionId = {};
    battleSkill = 0;
    for (auto& group : actionSelected)
        group.fill(1);
}

void ClientCommandState::ClearForLevel()
{
    checkpoint = false;
    halfUpdate = false;
    lastPlaybackUpdate = acknowledgedUpdate = 0;
    for (auto& group : actionSelected)
        group.fill(1);
}

ClientCommandState& CommandState()
{
    if (!g_state)
        g_state = new ClientCommandState; // lives for the program: sessions reset it
    return *g_state;
}

void ResetCommandState()
{
    CommandState().Clear();
    g_pending = {};
    ResetCommandDownloads();
}

uint32_t ClientUpdateCounter()
{
    return World().clock.updateCounter;
}

void RecordExecuted(const uint8_t* record, bool fed)
{
    ClientCommandState& state = CommandState();
    if (!state.recording || !state.recording->IsOpen() || !NetCommandTable[record[0] % kNetCommandCount].clientRecords)
        return;
    if (fed) {
        const int mode = CurrentGameModeIndex();
        if (mode == kMultiverseMode || mode == kLoopMode)
            return;
    } else if (!ModeAcceptCommand(record, RecordLength(record))) {
        return;
    }
    state.recording->WriteRecord(record);
}

void RunClientCommands()
{
    ClientCommandState& state = CommandState();
    state.checkpoint = false;
    GameClient* client = CurrentClient();
    if (state.sessionKind == kPlaybackPlaying) {
        PumpPlayback(false);
    } else if (state.sessionKind != kPlaybackPaused && client) {
        client->Pump();
        NetRecord received;
        if (!g_pending.empty()) {
            received = std::move(g_pending);
            g_pending = {};
        } else if (const uint8_t* next = client->Receive()) {
            received = NetRecord::Copy(next);
        }
        while (!received.empty()) {
            const bool over = ModeIsMatchOver();
            const uint32_t counter = ClientUpdateCounter();
            const uint8_t* run = received.data();
            bool kept = false;
            // A record stamped ahead waits for its update; GAMEDATA never does, as it
            // replaces the world that would run up to it.
            if (!over && received[0] != kCmdGameData && RebuildUpdateNumber(counter, received[1]) > counter) {
                run = HeldBackTick();
                kept = true;
            }
            bool skip = false;
            if (run[0] == kCmdUpdateFlimbs) {
                const int mode = CurrentGameModeIndex();
                if (CurrentGameMode() && PlayedLevelKind() == 0 && (mode == kMultiverseMode || mode == kLoopMode))
                    PumpPlayback(true);
                skip = over;
            }
            if (!skip) {
                if (ExecuteCommand(run) == -1) {
                    if (kept)
                        g_pending = std::move(received);
                    break;
                }
                RecordExecuted(run, false);
            }
            if (!kept) {
                const uint8_t* next = CurrentClient() == client ? client->Receive() : nullptr;
                if (!next)
                    break;
                received = NetRecord::Copy(next);
            }
            if (state.waiting && ClientUpdateCounter() % 10 == 0) {
                client->Pump();
                if (GameServer* server = CurrentServer())
                    server->Update(true);
            }
        }
    }
    if (state.lastPlaybackUpdate != state.acknowledgedUpdate) {
        const int fps = state.framesPerSecond > 0 ? state.framesPerSecond : 60;
        const int64_t due = int64_t(state.lastPlaybackUpdate) + state.msPerUpdate / 2 - (1000 / fps) / 2;
        if (int64_t(gameClock.Now()) >= due) {
            state.halfUpdate = true;
            state.acknowledgedUpdate = state.lastPlaybackUpdate;
        }
    } else {
        state.halfUpdate = false;
    }
    if (state.checkpoint && state.sessionKind == kSessionLive) {
        const std::string path = CurrentProfile().CheckpointPath(SessionGame().LoadedLevel().name, true, 0, false);
        GameClient::SavePlayback(path, true);
        // Seam: the FLIMBS_HUD window's checkpoint event.
    }
    state.checkpoint = false;
}

// ---- Feeding the playback slots -----------------------------------------------------------

namespace {

bool GhostFeeds(uint8_t id, const uint8_t* r)
{
    switch (id) {
    case kCmdCreateFlimb:
        return (r[18] & 0x7F) == 'c';
    case kCmdUpdateFlimbType:
    case kCmdHighlight:
    case kCmdGulpChange:
    case kCmdNetBash:
    case kCmdUpdateTrap:
    case kCmdDecoration:
        return true;
    default:
        return false;
    }
}

// The multiverse mode's ghosts live in their own id range and half of the world.
// False when the record stays out of the ghost: a recorded group order of the FlimbMaster's
// own group (the recorded match's opponent, say its concession), which is not the recorded
// player's.
bool ShiftToGhostRange(NetRecord& r)
{
    const int32_t half = LandscapeWidth() / 2;
    switch (r[0]) {
    case kCmdCreateFlimb:
        r.U16(16, static_cast<uint16_t>(GetU16(r.data(), 16) + kGhostIdOffset));
        r.U32(8, GetU32(r.data(), 8) + static_cast<uint32_t>(half));
        break;
    case kCmdUpdateFlimbType:
        if (r[9] != 'B' || GetU16(r.data(), 6) >= kControllerGroups) {
            r.U16(6, static_cast<uint16_t>(GetU16(r.data(), 6) + kGhostIdOffset));
        } else {
            // The recorded player's group order is the FlimbMaster's.
            const int32_t ghostGroup = CurrentLevelGlobals().flimbMasterGroup;
            if (GetU16(r.data(), 6) == ghostGroup)
                return false;
            r.U16(6, static_cast<uint16_t>(ghostGroup));
        }
        break;
    case kCmdHighlight:
    case kCmdGulpChange:
        r.U16(6, static_cast<uint16_t>(GetU16(r.data(), 6) + kGhostIdOffset));
        break;
    case kCmdDecoration:
        r.U16(kDecorationFlimb, static_cast<uint16_t>(GetU16(r.data(), kDecorationFlimb) + kGhostIdOffset));
        break;
    case kCmdUpdateTrap:
        r.U32(8, GetU32(r.data(), 8) + kGhostTrapOffset);
        break;
    case kCmdNetBash:
        r.U32(268, GetU32(r.data(), 268) + static_cast<uint32_t>(half));
        break;
    default:
        break;
    }
    return true;
}

// Feeds one update of the slot: records up to and including an UPDATE_FLIMBS.
void FeedOneUpdate(PlaybackSlot& slot, bool ghost)
{
    while (!slot.Free()) {
        const NetRecord& stored = slot.records[slot.cursor++];
        const uint8_t id = stored.Command();
        // A ghost's update ends at its UPDATE_FLIMBS, which is not run (the live game runs
        // its own); without that stop one call would feed the whole slot.
        if (ghost && id == kCmdUpdateFlimbs)
            return;
        if (ghost && !GhostFeeds(id, stored.data()))
            continue;
        if (ghost && CurrentGameModeIndex() == kMultiverseMode) {
            NetRecord copy = stored;
            if (!ShiftToGhostRange(copy))
                continue;
            ExecuteCommand(copy.data());
            RecordExecuted(copy.data(), true);
        } else {
            ExecuteCommand(stored.data());
            RecordExecuted(stored.data(), true);
        }
        if (id == kCmdUpdateFlimbs)
            return;
    }
}

} // namespace

void PumpPlayback(bool ghost)
{
    ClientCommandState& state = CommandState();
    for (PlaybackSlot& slot : state.slots) {
        if (slot.Free())
            continue;
        int fed = 0;
        while (!slot.Free()) {
            if (!ghost) {
                const uint32_t lag = static_cast<uint32_t>(LagSetting());
                if (int32_t(gameClock.Now() - (state.nextPlaybackUpdate + lag)) <= 0)
                    break;
            }
            FeedOneUpdate(slot, ghost);
            if (ghost)
                break;
            state.lastPlaybackUpdate = state.nextPlaybackUpdate;
            state.msPerUpdate = static_cast<uint32_t>(LagSetting());
            state.nextPlaybackUpdate += static_cast<uint32_t>(LagSetting());
            if (++fed == 5) {
                state.nextPlaybackUpdate = gameClock.Now();
                break;
            }
        }
        if (!slot.Free())
            continue;
        if (!ghost) {
            state.sessionKind = kPlaybackFinished;
            return;
        }
        slot.records.clear();
        slot.cursor = 0;
        // The FlimbMaster's recording is over: what is left of its group goes SuperNova, so
        // that the match can end.
        if (CurrentGameModeIndex() == kMultiverseMode && Controller().matchRunning == 1)
            if (GameClient* client = CurrentClient())
                client->SendUpdateGroup(CurrentLevelGlobals().flimbMasterGroup);
    }
}
