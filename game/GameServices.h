#pragma once
// Game state services the program shell calls: the definition files loaded at start-up, the
// controller globals, the per-update steps and the releases at shutdown.
#include <cstdint>

class AnimSurface;

// "Graphics\Animations\animation-spec.xml" and "Level\level_defaults.xml".
void LoadProfileResources();
void ReleaseProfileResources();

namespace AnimationSpec {
// "Graphics\Actions\action-sprite-spec.xml", the decorations spec and the halo image.
void Load();
void Release();
int GroupCount();
// "Graphics\Actions\halo.png" (image cache), null before Load.
AnimSurface* HaloImage();
} // namespace AnimationSpec

// "Graphics\Traps\trap-spec.xml" and the group-select marker.
void LoadTrapSpecs();
void ReleaseTrapSpecs();
int TrapSpecCount();
// "Graphics\Menu\FlimbGroupSelector\group-select.png", hot spot at its centre.
AnimSurface* GroupSelectImage();

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

void UpdateGameState();
void UpdateWorldLists();

// Game updates so far.
extern uint32_t gameUpdateCounter;
// The game's run state: 0 none, 1 running, 2 the other playing state (toggled by the pause
// command). Terrain bashes wrap round the edges only while it is 1.
extern int32_t gameRunState;

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
