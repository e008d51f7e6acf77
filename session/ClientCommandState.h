#pragma once
// The client side of the command stream: the one command state (session kind, waiting
// and checkpoint flags, playback timing, the playback slots and the recording writer) and
// the per-frame pass that executes what the server broadcast or a playback holds.
#include "session/NetCommand.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class NetInfoFileWriter;

enum SessionKindValue : int {
    kSessionLive = 0,
    kPlaybackPaused = 1,
    kPlaybackPlaying = 2,
    kPlaybackFinished = 3,
};

constexpr int kPlaybackSlotCount = 8;
constexpr uint32_t kDefaultMsPerUpdate = 80;

struct PlaybackSlot {
    std::vector<NetRecord> records;
    size_t cursor = 0;
    bool Free() const { return cursor >= records.size(); }
};

struct ClientCommandState {
    ClientCommandState();
    ~ClientCommandState();
    ClientCommandState(const ClientCommandState&) = delete;
    ClientCommandState& operator=(const ClientCommandState&) = delete;
    // Everything back to its start (the writer closed and freed).
    void Clear();
    // Before a level is (re)loaded within a session: the checkpoint and half-update flags,
    // the playback timing and the action selection. A catch-up (waiting), the playback slots
    // and the session kind go on.
    void ClearForLevel();

    int sessionKind = kSessionLive;
    bool waiting = false;    // a catch-up is under way
    bool checkpoint = false; // a checkpoint trap fired in this pass
    uint32_t lastPlaybackUpdate = 0;
    uint32_t acknowledgedUpdate = 0;
    bool halfUpdate = false;
    uint32_t msPerUpdate = kDefaultMsPerUpdate;
    std::array<PlaybackSlot, kPlaybackSlotCount> slots;
    std::unique_ptr<NetInfoFileWriter> recording;
    uint32_t playbackLength = 0; // updates of the last loaded playback
    std::string playbackPath;
    uint64_t playbackCutAt = 0; // where the last loaded playback ends inside a record; 0: whole
    uint32_t nextPlaybackUpdate = 0;
    bool playbackEnded = false;
    bool drawing = true;
    std::array<uint8_t, 16> sessionId{};
    uint32_t battleSkill = 0;
    // The actions each group may be ordered (ACTIONSELECT); every one until changed.
    std::array<std::array<uint8_t, 11>, 8> actionSelected;
    // Off for a headless replay: the player's temporary recording is left alone.
    bool recordingAllowed = true;
    // Frames per second of the game loop (the half-update flag uses it).
    int framesPerSecond = 60;
};

ClientCommandState& CommandState();
// Counter 0, flags cleared, slots emptied, milliseconds per update 80, no writer.
void ResetCommandState();

// Appends an executed record to the recording when its command is recorded by clients:
// in the live pass when the game mode accepts it, while slots are fed unless the multiverse
// or loop mode runs.
void RecordExecuted(const uint8_t* record, bool fed);

// Once per frame: executes the received (or, in a playback, stored) commands.
void RunClientCommands();
// Executes one record: 0 done, -1 stop the pass.
int ExecuteCommand(const uint8_t* record);
// Feeds the playback slots: a playback session (ghost false) or the one-update ghost feed.
void PumpPlayback(bool ghost);

// Forgets a file download under way and the level asked for (part of the reset).
void ResetCommandDownloads();

// The client's game update counter (the current world's).
uint32_t ClientUpdateCounter();
