#pragma once
// The completion records: "Cache\Settings\complete.cfg" lists the title of every level the
// player has passed.
#include <string>

namespace LevelCompletion {

constexpr const char* kFile = "Cache\\Settings\\complete.cfg";

bool IsComplete(const std::string& levelPath);
// Records the level (by its file title) as complete. True when it was not complete before.
bool MarkComplete(const std::string& levelPath);

} // namespace LevelCompletion

// The controller's level is passed (the game mode's game-over). The first time: the puzzle
// "Level\s_<mode code>_<safe title>.flevel" and its preview are copied out of the resource
// archive into the user's folders (the level editor then offers it), the level is recorded,
// and "Kudos! You have unlocked this puzzle in the level editor." is announced with sound
// 12. Nothing happens for a level recorded before. True when it was recorded now.
bool RecordLevelCompleted();
// The title with each character a file name may not hold (/ \ : * ? " < > | ^ & ! $ and
// blank) replaced by "-".
std::string SafeLevelTitle(const std::string& title);
