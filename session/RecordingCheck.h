#pragma once
// A recording read whole before anything acts on it: a checkpoint or a stored solution must
// not end the running level only to turn out unreadable, or to be another level's.
#include <cstdint>
#include <string>

struct RecordingCheck {
    bool ok = false;
    std::string error;   // why it cannot be played (empty when ok)
    std::string level;   // the level its first GAMEDATA names
    uint32_t updates = 0; // the game updates it holds
    bool closed = false; // its last record ends a catch-up (NETLOAD 0), as saved recordings do
};

// Opens the game path and reads every record: a missing file, one that is no recording,
// one whose data stops at a record that cannot be one or fails validation, and one without
// a GAMEDATA record are refused with the reason.
RecordingCheck CheckRecording(const std::string& path);

// As CheckRecording, and further: the recording is whole (it ends as a saved recording ends)
// and plays `levelName` (compared by file title, ignoring case).
RecordingCheck CheckRecordingOfLevel(const std::string& path, const std::string& levelName);
