#pragma once
// Game state services the program shell calls: the definition files loaded at start-up, the
// controller globals, the per-update steps and the releases at shutdown.
#include "world/AnimationSpec.h"
#include "world/TrapSpecs.h"
#include "world/WorldClock.h"

#include <cstdint>
#include <string>

// Clears the current game mode, the level's name and the local player, loads
// "Graphics\Animations\animation-spec.xml" and "Level\level_defaults.xml" (GameException
// when one cannot be read), then resets the controller and refreshes the flimb-type captions
// (again after every language load).
void LoadProfileResources();
// At shutdown: both documents and every player record.
void FreeProfileResources();
// The level-defaults document (null before LoadProfileResources), and its replacement
// (tests, tools).
typedef struct _xmlDoc xmlDoc;
xmlDoc* LevelDefaultsDocument();
void SetLevelDefaultsDocument(const std::string& xmlText);
// The first `element` inside the root's `section` of the level-defaults document
// ("traps", "trap"), or the section itself when element is null; null when missing.
typedef struct _xmlNode xmlNode;
xmlNode* LevelDefaultsElement(const char* section, const char* element);

struct ControllerGlobals {
    int32_t levelCount = 0;
    int32_t flimbsSaved = 0;
    int32_t flimbsLost = 0;
    bool paused = false;
    bool levelRunning = false;
    int32_t flimbLimit = 80;
};
extern ControllerGlobals controllerGlobals;
void ResetControllerGlobals();

void ReleaseGameState();
void ReleaseLevelLists();
void ReleaseController();

// Game updates so far: the current world's update counter.
extern UpdateCounterRef gameUpdateCounter;

// True when the game view covers the whole screen (only depth needs clearing).
bool GameViewCoversScreen();
// The centre of the game view in world units (where the sound listener stands).
void GameViewCentre(float& x, float& y);

// Shows a line in the chat (the game's message log, as a system line) and in the log.
void PostChatLine(const std::string& text, uint32_t argb);

// What the frame's rate line shows.
extern int rateDisplay;
struct FrameStatistics {
    bool enabled = false;
    int background = 0;
    int total = 0;
};
extern FrameStatistics frameStatistics;

// ---- What the traps and the session ask of the game controller --------------------------
// The one way a flimb is spawned (the traps' releases and copies, the session's CREATE_FLIMB).
struct Flimb;
struct FlimbSpawnArgs {
    int32_t x = 0;
    int32_t y = 0;
    uint8_t group = 0;
    int8_t size = 1;           // size class; the scale is |size|, 0 gives 0.5
    int8_t facing = 0;         // -1 left, 1 right, 0 the flimb picks
    uint8_t gravity = 0;       // 0 down, 1 up, 2 left, 3 right
    uint16_t attributes = 0;   // one attribute bit to set, 0 for none
    uint8_t type = 18;         // Spawn
    uint16_t energy = 13023;
    uint8_t ai = 0;            // mini-AI bits
    uint32_t originTrap = 0;   // the trap that made it, 0 for none
    int32_t count = 0;         // the origin's stock after this one
};
// A new flimb of the group: its id from the game mode (or the world's counter), set up,
// scaled, told to the mode. Null (logged) when the flimb table is full.
Flimb* SpawnFlimb(const FlimbSpawnArgs& args);
// Set while a networked match runs (the controller's session kind).
bool MatchFlagSet();
// Called by an exit that took a flimb in: once per level, in a local match of the rescue
// mode, when no exit of the local player's group still wants flimbs, effect 65 plays.
void CheckExitsFilled();
// StartLevel's part: the exits may be reported filled again.
void ResetExitsFilled();
// Whether a recorded match is being played back (the controller's playback state, which the
// session's playback sets).
bool IsPlaybackRunning();

// The campaign's state that the front end resets. The FlimbMaster level list is emptied
// and loaded again from Level\; the campaign context (the current FlimbMaster and the
// current level points) is forgotten.
void ReloadFlimbMasterLevelList();
void ClearCampaignContext();
