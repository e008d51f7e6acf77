#pragma once
// What the statistics reports say about a match, taken on the main thread before a request
// goes to its worker: the players, the match globals, the game mode's end-of-match rows and
// the console settings. A plain record: the session fills it (session/MatchStats.h), the
// client only reads it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One end-of-match figure: a statistic kind (0 .. 19) and its value.
struct StatsRow {
    int32_t kind = 0;
    int32_t value = 0;
};

struct StatsPlayer {
    int slot = 0;            // 0 .. 15
    std::string userName;    // the web-site account
    std::string password;    // as the player's record holds it
    int group = 0;           // 0 .. 7
    bool local = false;
    bool spectator = false;
    std::string playerId;    // the profile GUID as text; empty when unknown
};

constexpr int kStatsGroupCount = 8;
constexpr int kStatsPlayerSlots = 16;

struct StatsSnapshot {
    std::vector<StatsPlayer> players; // occupied slots in slot order
    int localGroup = 0;
    bool multiplayer = false;
    std::string matchGuid;            // 36 characters
    int modeIndex = 7;                // 0 .. 6; 7: no mode
    std::vector<StatsRow> groupRows[kStatsGroupCount]; // the mode's end-of-match rows
    int result = 0;                   // the global match result
    uint32_t updateCount = 0;
    int32_t qdotCount = 0;            // of the local group
    int32_t qdotTotal = 0;            // in the level
    bool userLevel = false;
    std::string serverName;
    uint32_t connectPort = 0;
    uint32_t statsMatch = 0;
    std::string levelHash;            // the level root's "hash" attribute; empty when unknown
};

// The level statistics the service answers: record rows and the player's rank.
struct LevelStatsResult {
    std::vector<StatsRow> records;
    uint32_t rank = 0;
};

// The statistics client's own settings, read into the record: the console variables
// "servername", "connectPORT" and "statsmatch".
void ReadStatsSettings(StatsSnapshot& match);

// The match GUID the reports carry when the session has none of its own: one GUID from its
// first use until the next game start renews it.
std::string DefaultMatchGuid();
void RenewDefaultMatchGuid();

// Where the client's operations that are given only a level path get their record. The
// session installs its gathering at start-up; without it the record holds its defaults and
// the client's settings.
using StatsSnapshotSource = std::function<StatsSnapshot(const std::string& levelPath)>;
void SetStatsSnapshotSource(StatsSnapshotSource source);
StatsSnapshot TakeStatsSnapshot(const std::string& levelPath);
