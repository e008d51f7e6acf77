#pragma once
// Level names: the path of a level's file, the parts of a level file name
// ("<kind>_<mode>_<name>.flevel": kind "s", "m" or "f", the game mode's short name, then the
// name, which may hold underscores; a first field of exactly four characters is an extra
// leading field), and the name tables of difficulty and permission.
//
// Paths are at most 255 characters: a longer one is refused (an empty path, false).
#include <cstdint>
#include <string>

constexpr size_t kMaxLevelPath = 255;
extern const char* const kLevelExtension; // ".flevel"
// The kind letters, by level kind: "s", "m", "f".
const char* LevelKindLetter(int32_t kind);

// The name with ".flevel" appended unless it occurs in it (ignoring case), and with
// "Level\" in front when it holds no backslash. Empty (and a log line) when too long.
std::string MakeLevelPath(const std::string& levelName);

struct LevelFileName {
    int32_t kind = 0;     // index in the kind table; 0 for an unknown letter
    int32_t gameMode = 0; // index in the game-mode table; 0 for an unknown short name
    std::string name;     // the rest of the title, without its extension
};
// Splits a level file name (the part after the last backslash of the path). False when the
// title lacks its underscores or the path is too long.
bool ParseLevelFileName(const std::string& path, LevelFileName& out);

// Name tables, matched ignoring case; no match gives 0.
int32_t DifficultyFromName(const std::string& text);
int32_t PermissionFromName(const std::string& text);
// The table texts of an index ("" outside the table).
const char* DifficultyName(int32_t index);
const char* PermissionName(int32_t index);

// The level's preview image: "Cache\Previews\<file title>.jpg".
std::string LevelPreviewPath(const std::string& levelPath);

// The one folder of the player's playbacks, where recordings are saved, listed and played
// from: the current profile's folder + "\Playbacks\" (a game path).
std::string PlaybackFolder();
