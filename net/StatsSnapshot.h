#pragma once
// What the statistics reports say about a match, taken on the main thread before a request
// goes to its worker: the players, the match globals, the game mode's end-of-match rows and
// the console settings.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct PlayerRecord;

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

// Reads the game controller's player list, the current game mode, the match world, the
// console variables "servername", "connectPORT" and "statsmatch" and the level file's hash.
StatsSnapshot GatherStatsSnapshot(const std::string& levelPath);

// What the reports need that the game controller and the session do not keep yet: the
// players' site accounts and profile GUIDs, the match GUID, whether the level is a player's
// own. They install their answers when they land; each one left empty keeps its default:
// the local player's account from the profile (others none), no profile GUIDs, the match
// GUID that each gathered game start renews, not a user level.
struct StatsAccount {
    std::string userName;
    std::string password;
    std::string playerId;
};
struct StatsMatchFacts {
    std::function<StatsAccount(const PlayerRecord& player, bool local)> account;
    std::function<std::string()> matchGuid;
    std::function<bool()> userLevel;
};
void SetStatsMatchFacts(StatsMatchFacts facts);
// A new default match GUID (a level or match starts).
void RenewDefaultMatchGuid();
