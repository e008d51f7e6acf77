#pragma once
// The headless playback runner: replays a playback file as fast as it can, without a
// connection or a window, and reports where it ended. The playback viewer, the game's
// headless "-l <playback>", the playback check tool and the end-to-end tests use it.
#include <cstdint>
#include <functional>
#include <string>

struct PlaybackRunResult {
    bool ok = false;
    std::string error;      // the load failure's text
    std::string level;      // the level the playback plays (its GAMEDATA's name)
    uint32_t updates = 0;   // the game's update counter at the end
    int32_t result = 0;     // the game mode's result code (0: still running or no mode)
    int32_t matchResult = -1; // the match result the end published (-1: none)
    int32_t saved = 0;      // flimbs the local group's exits took in
    int32_t required = 0;   // flimbs those exits want
    uint64_t stateHash = 0; // the world state hash at the end
    uint64_t cutAt = 0;     // the file ends inside a record at this byte (0: it is whole)
    double seconds = 0.0;   // the time the run took
};

struct PlaybackRunOptions {
    // Told after every update, with the update counter (hash lines, frames drawn between
    // updates).
    std::function<void(uint32_t update)> afterUpdate;
};

// The level the file names must be loadable here: a file that names none, or a level that
// cannot be loaded, fails (its error names the level) without playing. A file cut inside a
// record plays up to the cut. The player's own recording is left alone.
PlaybackRunResult RunPlaybackFile(const std::string& path, const PlaybackRunOptions& options = {});

// The game as it stands: level, updates, results, the local group's exits and the state
// hash (the run's ok, error and time are left alone).
void FillPlaybackOutcome(PlaybackRunResult& result);

// The outcome word: "win" (match result 1 or 6), "loss" (2 or 5), "tie" (3), "no score" (4),
// else "unfinished".
const char* PlaybackOutcome(const PlaybackRunResult& result);
// One line for people and tools:
// "Playback <file>: level <name>, result <outcome>, saved <n> of <m> required, <u> updates,
//  state hash <16 hex digits>, <r> updates per second" (then ", ends inside a record at byte
//  <n>" for a cut file), or "Playback <file>: failed: <error>".
std::string PlaybackResultLine(const std::string& path, const PlaybackRunResult& result);
// "<16 hex digits>" of a state hash.
std::string StateHashText(uint64_t hash);
