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

// Where the reports take the players' site accounts and profile GUIDs, the match GUID and
// whether the level is a player's own. Each one left empty keeps its default: the local
// player's account from the profile (others none), no profile GUIDs, the match GUID that
// each gathered game start renews, not a user level.
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
// The session's answers (installed at start-up): each player's account as UPDATE_USERNAME
// left it in the player's record (the local player's from the profile while the record holds
// none) and its PROFILEID as a GUID; the match's session id (the host's server's, else the
// SESSION command's; the default GUID until there is one); a level under "Level\UGC\" is a user level.
StatsMatchFacts SessionStatsMatchFacts();
