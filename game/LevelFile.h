#pragma once
// The level file: one XML document (root "flimbs-level" with a content hash in its "hash"
// attribute; sections debug, globals, groups, traps, preflimbs, primitives), stored gzip
// compressed or plain. Here: the summary reader for level lists, which streams only the
// header, and the writer.
#include "app/XmlUtil.h"
#include "levelmodel/LevelChooserEntry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class MapObject;

constexpr int32_t kLevelBuildNumber = 124;
constexpr int32_t kMinLevelWidth = 1024;
constexpr int32_t kMinLevelHeight = 768;
constexpr int32_t kMaxLevelSide = 16384;

// Reads the header of a level file into the entry: the hash, the globals the level list
// shows and the groups. False when the file name cannot be split (other than the editor's
// test level) or the file is not a level. Throws GameException "Bad resource for
// ResourceXmlSource" for a missing or empty file and "Couldn't init gzip!" for gzip data
// that cannot be inflated. A false result says why in `problem` when one is given.
bool ReadLevelSummary(const std::string& path, LevelChooserEntry& entry, std::string* problem = nullptr);

// Everything a level file's globals and groups hold, as the writer writes them.
struct LevelDescription {
    std::string title = "Title";
    std::string author;
    std::string description;
    std::string objective;
    std::string objectiveFailure;
    std::string preLevelIcon;
    int32_t width = kMinLevelWidth;
    int32_t height = kMinLevelHeight;
    std::string music;
    int32_t kind = kLevelMultiplayer; // LevelKind
    int32_t gameMode = 0;             // index in the game-mode table
    int32_t permission = 0;
    int32_t difficulty = 0;
    int32_t theme = 0; // theme index (written plus 1)
    std::vector<std::string> tags;
    int32_t boundaryTop = 0;
    int32_t boundaryLeft = 0;
    int32_t boundaryRight = 0;
    int32_t boundaryBottom = 0;
    int32_t lastEditorX = -999;
    int32_t lastEditorY = -999;
    float lastEditorZoom = 1.0f;
    uint32_t zoomFlimbId = 0;
    // The groups written (present ones, in slot order) and the single player's group.
    std::array<GroupSetup, kLevelGroupCount> groups{};
    int32_t defaultGroup = 0;
    // Fills the "gamemode_data" element (the game mode's options); none leaves it empty.
    std::function<void(xmlNode*)> writeModeData;
};

// The level document: root "flimbs-level", then "debug", "globals", "groups", "traps",
// "preflimbs" and "primitives" in that order, each object written by its WriteProps into a
// "trap", "flimb" or "prim" element. No hash yet.
XmlDocument BuildLevelDocument(const LevelDescription& level, const std::vector<const MapObject*>& traps,
                               const std::vector<const MapObject*>& flimbs,
                               const std::vector<const MapObject*>& primitives);
// Sets the hash on the root (the last change) and saves the document, gzip at level 9 or
// plain. With readOnly nothing is written (and true returned) unless the path is the
// editor's test level. False when the file cannot be written.
bool SaveLevelDocument(xmlDoc* doc, const std::string& path, bool compressed, bool readOnly = false);
