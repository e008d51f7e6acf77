#pragma once
// The game controller: the state of the level being played that the world, the HUD, the
// modes and the session read: run state, players, group budgets and statistics, the
// message log, the session kind and the view rectangle sounds are placed by.
#include "editor/LevelChooserEntry.h"
#include "game/MessageLog.h"
#include "platform/gfx/D3DTypes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class AnimSurface;
struct Flimb;

constexpr int kActionCount = 11;    // the order types 0..10 ("Clob" ... "Walk")
constexpr uint8_t kUnlimitedUses = 199; // remaining uses of 199 or more never run out

enum RunState : int32_t { kRunNone = 0, kRunRunning = 1, kRunPaused = 2 };
enum SessionKind : int32_t { kSessionLocal = 0, kSessionNetworked = 1 };

struct GroupEntry {
    uint8_t inUse = 0;
    uint8_t listed = 0; // written to the level configuration
    std::array<uint8_t, kActionCount> uses{}; // remaining uses of each action
    uint8_t team = 0;   // whose players control the group
    std::array<uint8_t, 2> extra{};
};

struct GroupStats {
    int16_t score = 0;
    std::array<uint8_t, kActionCount> actionCounts{};
    uint16_t lost = 0; // flimbs that left the world without being saved
};

struct PlayerRecord {
    std::string name;
    std::string text2;
    std::string text3;
    uint8_t id = 255;
    uint8_t ready = 0;
    std::array<uint8_t, 8> control{}; // the groups the player commands
    uint8_t team = 0;
    uint8_t spectator = 0;
    uint8_t admin = 0;
    uint32_t ownFlimbId = 0; // the flimb the player is, in modes that give each player one
    AnimSurface* avatar = nullptr;

    // What the game session keeps of the player (text3: the statistics password).
    uint8_t group = 0;     // kSpectatorGroup while watching
    uint8_t active = 0;
    uint8_t loaded = 0;    // has loaded the level
    uint8_t finished = 0;
    uint8_t reported = 0;  // the statistics account was confirmed
    uint8_t typing = 0;
    int32_t highlightedFlimb = -1;
    uint32_t checksum = 0;
    uint32_t checksumUpdate = 0;
    uint8_t checksumReceived = 0;
    uint16_t ping = 0;
    std::array<uint8_t, 16> profileId{};
};

struct GameController {
    int32_t runState = kRunNone;
    int32_t modeIndex = 0; // 3 Quantum quarrel, 4 Multiverse match ...
    PlayerRecord* localPlayer = nullptr;
    std::vector<std::unique_ptr<PlayerRecord>> players;
    std::string levelFile;
    std::string levelTitle;
    std::array<GroupEntry, 8> groups{};
    std::array<GroupStats, 8> stats{};
    MessageLog messages{100};
    gfx::RECT visibleRect{}; // the game view's world rectangle, for placing sounds
    int32_t sessionKind = kSessionLocal;
    int32_t matchResult = -1;
    uint8_t frontEndFlag = 0;
    std::array<uint8_t, 8> detonation{};
    // Sheets whose frames come in pairs show the odd partner of an even frame while set.
    uint8_t alternateFrame = 0;
    // The settings of the level loaded for play.
    LevelChooserEntry currentLevel;
};

// The one controller.
GameController& Controller();
// Run state 0; the group entries, the visible rectangle and the per-level counters zeroed;
// the system messages removed from the message log.
void ResetGameController();

// Spends one use of the action for the flimb's group (a budget between 1 and 198 goes
// down by one; 0 and unlimited budgets stay) and counts the use.
void UseGroupAction(uint8_t action, const Flimb& flimb);
// The controller's action order for the selected flimb (belt, action keys, held keys).
void NoteFlimbSelected(uint8_t action, uint8_t flag, Flimb* flimb);
// Plays a sound for an event at a world point: at the listener inside the visible
// rectangle (or without a view), else placed left or right and up or down of it.
void PlayEffectAt(int soundId, int32_t x, int32_t y);
// The first player whose own flimb has that id, or null.
PlayerRecord* FindPlayerByFlimb(uint32_t flimbId);
// True when the local player commands the group.
bool LocalPlayerControls(uint8_t group);
// The local player's spectator flag (false without a local player).
bool LocalPlayerIsSpectator();
