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

// Makes the game's view (GameViewPort, "MOUSEPORT") the one every new HUD window puts under
// its panels.
void InstallHudGameView();

// True when the game view covers the whole screen (only depth needs clearing).
bool GameViewCoversScreen();
// The centre of the game view in world units (where the sound listener stands).
void GameViewCentre(float& x, float& y);

// What the frame's rate line shows.
extern int rateDisplay;
struct FrameStatistics {
    bool enabled = false;
    int background = 0;
    int total = 0;
};
extern FrameStatistics frameStatistics;
