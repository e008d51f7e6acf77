#pragma once
// The level-list record: what describes a level file without playing it. The level
// summary reader fills it for level lists, the level loader keeps one for the level it
// opened (its settings, copied into the game controller after a game load), and the level
// chooser, the package writer and the end-of-match screens read it.
#include "app/IFileManager.h"

#include <array>
#include <cstdint>
#include <string>

constexpr int kLevelGroupCount = 8;
constexpr int kLevelActionCount = 11; // "Clob" ... "Walk", the first eleven flimb types

// Level kinds: the first field of a level file name ("s", "m", "f").
enum LevelKind : int32_t { kLevelSinglePlayer = 0, kLevelMultiplayer = 1, kLevelFlimbMaster = 2 };

// One group slot of a level.
struct GroupSetup {
    uint8_t present = 0;
    uint8_t available = 0;
    std::array<uint8_t, kLevelActionCount> actions{}; // uses of each action the group starts with
    uint8_t slot = 0;                                 // the record's own index
    uint8_t reserved = 0;
    uint8_t gravity = 0; // 0..3
};

struct LevelChooserEntryBase {
    std::string fileName; // the file name after the last backslash, with its extension
    std::string title;    // from the file name, replaced by the level's title unless "Title"
};

struct LevelChooserEntry : LevelChooserEntryBase {
    // All strings empty, all numbers 0; each group record carries its slot number.
    LevelChooserEntry();

    int32_t gameMode = 0;   // index in the game-mode table
    int32_t playerKind = 0; // LevelKind
    int32_t availableGroups = 0;
    int32_t theme = 0; // theme index (the file's value minus 1)
    std::string author;
    std::string description;
    std::string objective;
    std::string objectiveFailure;
    std::string preLevelIcon;
    int32_t permission = 0; // index: "Full", "PlayOnly", "EditOnly", "PlayTestOnly"
    uint32_t crc = 0;       // CRC-32 of the level file
    int32_t width = 0;
    int32_t height = 0;
    std::string music;
    std::array<GroupSetup, kLevelGroupCount> groups{};
    FileTime fileTime = 0;
    // The file lies in the plain folders (not only inside a resource archive).
    int32_t inUserFolder = 0;
    std::string path; // the level's path without its first folder
    std::string hash; // the root's "hash" attribute (level lists)
    std::string name; // the file title in lower case (level lists)
};
