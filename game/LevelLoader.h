#pragma once
// The level loader: turns a level file into a running level (mode 0: the world's flimbs,
// traps, landscape and game mode), into the level editor's model (mode 2) or into a preview
// image (mode 3: a private landscape, trap list and ARGB surface; no world state touched
// and the hash not checked).
//
// Opening (LoadFlimbsLevel) parses the file, checks its hash and reads its globals;
// LoadLevel reads the sections once per universe; CloseLevelDocument frees it all. Editor
// and preview loads draw from a private generator, never SimRandom, on any thread.
#include "app/Random.h"
#include "app/XmlUtil.h"
#include "levelmodel/LevelChooserEntry.h"
#include "platform/gfx/Resources.h"
#include "traps/Trap.h"
#include "world/Flimb.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class Landscape;
class MapEditor;
class MapObject;
class WorldState;

enum LevelLoadMode : int32_t { kLevelLoadGame = 0, kLevelLoadEditor = 2, kLevelLoadPreview = 3 };
constexpr uint32_t kUniverseIdStep = 50000;

class LevelLoader {
public:
    LevelLoader();
    ~LevelLoader();
    LevelLoader(const LevelLoader&) = delete;
    LevelLoader& operator=(const LevelLoader&) = delete;

    int32_t mode = kLevelLoadGame;
    // The level's settings (LevelInfo); copied into the controller after a game load.
    LevelChooserEntry info;
    int32_t kind = kLevelMultiplayer;
    int32_t difficulty = 0;
    bool loaded = false;   // opening completed
    bool levelRead = false; // LoadLevel ran (once per opening)
    int32_t defaultGroup = -1;
    // Preview: the size in pixels (-1 until set; then the level width), the scale, the
    // surface and the private landscape, traps and flimbs.
    int32_t previewSize = -1;
    float previewScale = 1.0f;
    gfx::Ref<gfx::Surface> previewSurface;
    std::unique_ptr<Landscape> previewLandscape;
    std::vector<std::unique_ptr<Trap>> previewTraps;
    std::vector<Flimb> previewFlimbs;
    // Called once per trap and per primitive read.
    std::function<void()> progress;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    int32_t universeWidth = 0;
    int32_t universeHeight = 0;
    int32_t universes = 1;
    bool availabilityDerived = true;
    std::string path;
    XmlDocument document;
    // Mode 2: the model the level goes into.
    MapEditor* editor = nullptr;
    // Ids of the placed objects of the universe being read (level object id -> object id)
    // and its traps, for relinking.
    std::vector<TrapIdPair> placed;
    std::vector<Trap*> placedTraps;
    // The primitive files of a game load: met and openable, met and missing.
    std::set<std::string> primitiveFiles;
    std::set<std::string> missingPrimitiveFiles;
    int32_t missingPrimitives = 0;
    // The level's globals until the load ends (modes 0 and 2 publish them).
    int32_t boundaries[4] = {0, 0, 0, 0}; // top, bottom, left, right
    int32_t zoomFlimbId = 0;
    // Modes 2 and 3: the generator their draws come from; mode 3: the world it fills.
    RandomGenerator privateRandom{1};
    std::unique_ptr<WorldState> privateWorld;
};

// Opens a level (a bare name or a path) in a load mode. Never throws; failure leaves
// `loaded` clear. previewSize sets the preview's size (mode 3; -1: the level width).
std::unique_ptr<LevelLoader> LoadFlimbsLevel(const std::string& levelName, int32_t mode,
                                             MapEditor* editor = nullptr, int32_t previewSize = -1);
// Reads the level's sections. False when not loaded, when already read, or when a reader
// threw (logged as "Error: LoadFlimbsLevel() : %s").
bool LoadLevel(LevelLoader& loader);
// Frees the document, the private landscape and lists and the preview surface.
void CloseLevelDocument(LevelLoader& loader);
// Opens the record's level in mode 0, loads and closes.
bool LoadLevelFromRecord(const LevelChooserEntry& record);
// Resets the editor, opens the level in mode 2 (the console value "touchscreen" remembered
// in the editor and set to 0), loads and closes. An open editor stays open, with an empty
// undo history. After the read, the editor's ids are fixed and its order numbers renewed.
bool LoadLevelIntoMap(MapEditor& editor, const std::string& path);
bool ReloadEditorLevel(MapEditor& editor);
// The number of "prim" elements plus "trap" elements times the number of universes.
int32_t CountLevelLoadItems(const LevelLoader& loader);
// 1, except for a game load of a Multiverse match: 2 for a single-player level, else the
// players on all teams who are not spectators (at least 1).
int32_t GetUniverseCount(const LevelLoader& loader);
// A group remapped into universe u (Multiverse game loads only): single player, universe 1:
// the default group becomes the FlimbMaster group; multiplayer: every group becomes u.
int32_t RemapGroupForUniverse(const LevelLoader& loader, int32_t group, int32_t universe);
