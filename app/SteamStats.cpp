#include "app/SteamStats.h"

#include "app/Log.h"
#include "platform/steam/Steam.h"

namespace SteamStats {

void AddToStat(const std::string& name)
{
    int32_t value = 0;
    platform::steam::GetStat(name, value);
    SetStat(name, value + 1);
}

void SetStat(const std::string& name, int32_t value)
{
    if (!platform::steam::SetStat(name, value)) {
        WriteLog("Steam stat [%s] not set\n", name.c_str());
        return;
    }
    platform::steam::statsChanged = true;
}

void UnlockAchievement(const std::string& name)
{
    bool achieved = false;
    if (platform::steam::GetAchievement(name, achieved) && achieved)
        return;
    if (!platform::steam::SetAchievement(name)) {
        WriteLog("Steam achievement [%s] not set\n", name.c_str());
        return;
    }
    platform::steam::statsChanged = true;
}

void PostLeaderboardScore(const std::string& board, uint32_t score)
{
    platform::steam::UploadScore(board, int32_t(score), false, [board](bool ok, int32_t) {
        if (!ok)
            WriteLog("Leaderboard [%s] score not stored\n", board.c_str());
    });
}

} // namespace SteamStats
