#pragma once
// The headless playback runner: replays a playback file as fast as it can, without a
// connection or a window, and reports where it ended. The playback viewer and the
// end-to-end checks use it.
#include <cstdint>
#include <string>

struct PlaybackRunResult {
    bool ok = false;
    std::string error;      // the load failure's text
    uint32_t updates = 0;   // the game's update counter at the end
    int32_t result = 0;     // the game mode's result code (0: still running or no mode)
    uint64_t stateHash = 0; // the world state hash at the end
};

// The level the file names must be loadable here. The player's own recording is left alone.
PlaybackRunResult RunPlaybackFile(const std::string& path);
