#pragma once
// The game's stats and achievements on the storefront platform. Changes mark the stats
// changed; the main loop stores them.
#include <cstdint>
#include <string>

namespace SteamStats {

// Reads the stat (0 when it has none), writes it back plus one.
void AddToStat(const std::string& name);
void SetStat(const std::string& name, int32_t value);
// Sets the achievement when it is not set yet.
void UnlockAchievement(const std::string& name);
// Uploads the score to the leaderboard of that name (the better one is kept); a failure
// is logged when the platform answers.
void PostLeaderboardScore(const std::string& board, uint32_t score);

} // namespace SteamStats
