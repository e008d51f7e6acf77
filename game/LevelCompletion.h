#pragma once
// The completion records: "Cache\Settings\complete.cfg" lists the title of every level the
// player has passed.
#include <string>

namespace LevelCompletion {

constexpr const char* kFile = "Cache\\Settings\\complete.cfg";

bool IsComplete(const std::string& levelPath);
// Records the level (by its file title) as complete. True when it was not complete before.
bool MarkComplete(const std::string& levelPath);

enum class Outcome {
    AlreadyComplete, // recorded before: nothing done
    PuzzleUnlocked,  // recorded now, and its puzzle copied out for the level editor
    RecordedOnly,    // recorded now; its puzzle could not be copied out (logged)
};

// A passed level. The first time: the puzzle "Level\s_<mode code>_<safe title>.flevel" and
// its preview are copied out of the resource archive into the user's folders (the level
// editor then offers it), then the level is recorded.
Outcome CompleteLevel(const std::string& levelPath, const std::string& title, int modeIndex);

} // namespace LevelCompletion

// CompleteLevel for the controller's level; when its puzzle was unlocked, "Kudos! You have
// unlocked this puzzle in the level editor." is announced with sound 12. True when the level
// was recorded now.
bool RecordLevelCompleted();
// The title with each character a file name may not hold (/ \ : * ? " < > | ^ & ! $ and
// blank) replaced by "-".
std::string SafeLevelTitle(const std::string& title);
