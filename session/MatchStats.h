#pragma once
// The statistics record of the running match, filled by the session for the statistics
// client (net/StatsSnapshot.h): the game controller's players, the match world's result and
// clock, the current game mode's end-of-match rows and Qdots, the client's settings and the
// level file's hash.
#include "net/StatsSnapshot.h"

#include <functional>
#include <string>

struct PlayerRecord;

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
