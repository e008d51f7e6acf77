#pragma once
// The statistics service's request bodies and the reading of its answers: pure functions of
// a match snapshot taken on the main thread (StatsSnapshot.h).
#include "net/StatsSnapshot.h"
#include "net/flimbs.pb.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr int kSuperSynergyModeIndex = 6;

// Protocol constants of the service.
constexpr uint32_t kStatsClientVersion = 124;
constexpr const char* kStatsPlatform = "steam";
constexpr const char* kGameStartSuffix = "zomb4rt";
constexpr const char* kGameOverSuffix = "trel9ox";
constexpr const char* kQueryStatSuffix = "gup3ik";
constexpr const char* kValidateSuffix = "vax2u";

// 32 lower-case hexadecimal digits of the MD5 of the text.
std::string StatsDigest(const std::string& text);
// The level's file name without folder and extension: the key of the level table.
std::string LevelStatsTitle(const std::string& levelPath);

// The packed score key of a list of rows: each figure in its kind's bit width, clamped to
// 0 .. 2^width - 1 and then inverted where lower is better, later rows in the low bits.
struct ScoreKey {
    uint64_t key = 0;
    int bits = 0;
};
ScoreKey PackScoreKey(const std::vector<StatsRow>& rows);
constexpr uint64_t kScoreKeyFlag = uint64_t(1) << 63;
// The 32-bit leaderboard score of a key: its top 38 bits at most, bit 31 set when the
// local group missed some of the level's Qdots.
uint32_t LeaderboardScore(const ScoreKey& key, bool allQdots);
// "Singleplayer - <level>" or, for a level a player made, "Singleplayer UGC - <level>".
std::string LeaderboardName(const std::string& levelPath, bool userLevel);

// gamestart: the match and every occupied slot.
pb::ServerUpdate BuildGameStartReport(const StatsSnapshot& match, const std::string& levelPath);

// gameover: spectators left out, `won` per group from the result, each player's group rows
// (with the time row {16, updates} when the rows have none), the score key for the first
// player in a single-player or co-operative match, and the leaderboard post of a winner.
struct LeaderboardPost {
    std::string board;
    uint32_t score = 0;
};
struct GameOverReport {
    pb::ServerUpdate body;
    std::optional<LeaderboardPost> leaderboard;
};
GameOverReport BuildGameOverReport(const StatsSnapshot& match, const std::string& levelPath);
// The `won` flag of a player of `group` for the result R as the local group sees it.
bool PlayerWon(int result, int group, int localGroup);

// querystat: the local group's rows and their key with bit 63 set.
pb::StatsRequest BuildStatsRequest(const StatsSnapshot& match, const std::string& levelPath);
// validate: the account and its digest.
pb::Player BuildValidateRequest(const std::string& userName, const std::string& password);
// checkpromo: kind 0 and the local picture's CRC (0 when there is none).
pb::Stat BuildPromoRequest(uint32_t pictureCrc);

// The answers. Each gives nothing for a body that does not parse.
// Record rows keep kinds 1 .. 20 on the wire (stored as kind - 1); others are dropped.
std::optional<LevelStatsResult> ReadStatsReply(const std::string& body);
// The account's flag: `won` of the answer is not 0 (a missing `won` reads as 0).
std::optional<bool> ReadValidateReply(const std::string& body);
// Whether a new picture is to be fetched: the answer's kind is not 0.
std::optional<bool> ReadPromoReply(const std::string& body);
