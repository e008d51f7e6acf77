#pragma once
// Numbered copies of levels kept before a level is replaced: "Cache\LevelBackups\%04d_"
// followed by the level's file name, numbered 0000 to 9998; a new copy takes the first
// free number.
#include <string>

// The game path of the next backup of a level file name, or empty (and a log line) when
// all 9999 numbers are taken.
std::string FreeLevelBackupName(const std::string& levelFileName);
