#pragma once
// Loading a level for play and starting its match: what the game session's command executor
// runs when a level or a playback begins, when the game is over and when a level file sent
// by the server has arrived.
#include <cstdint>
#include <functional>
#include <string>

// The level a session asks for: its name and the checksum of the file it expects.
struct PlayLevelRequest {
    std::string name;
    uint32_t checksum = 0;
};

enum LoadForPlayResult : int32_t {
    kLoadFileMissing = 0,
    kLoadedForPlay = 2,
    kLoadChecksumDiffers = 4,
    kLoadUnreadable = 8,
};

// Loads "Level\<name>[.flevel]" into the world behind the loading screen and the "intro"
// music. A missing file or a checksum that differs (outside a playback) ends the load, except
// on the match host, which loads what it has.
int32_t LoadLevelForPlay(const PlayLevelRequest& request);
// The level reader's progress callback: counts an item on the screen (when there is one),
// advances the game clock on every tenth call and keeps the session's connections alive.
void LevelLoadProgress(class LoadingScreen* screen);

// Starts the loaded level's match. `trace`, when given, is told each step as it runs
// ("highlight", "control", "disable", "stamp", "run", "music", "counters", "health", "view",
// "mode", "start", "lonely", "stats").
void StartLevel(const std::function<void(const char* step)>& trace = nullptr);
// The game view's first place for the local player (or a spectator's first group): the
// group's camera trap, the flimb the view follows, or the group's Start trap or first flimb.
// Nothing without the game view.
void PlaceGameViewForLevel();
// The help page "Lonely Match" offers.
constexpr const char* kLonelyMatchHelpUrl = "https://flimbs.example/help/find-players";

// The game is over: no match result, the view zooms out to the whole landscape, the mode
// decides the result, and the annotations are put away.
void ShowGameOverView();

// A level file from the server has arrived: its preview picture is written beside it as
// "<path without .flevel>.jpg" (JPEG, quality 95). Nothing of the world changes. False when
// there was no picture.
bool WriteReceivedLevelPreview(const std::string& levelPath);
