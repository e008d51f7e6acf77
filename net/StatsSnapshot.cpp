#include "net/StatsSnapshot.h"

#include "app/ConsoleParam.h"
#include "app/XmlUtil.h"
#include "modes/GameMode.h"
#include "modes/MatchWorld.h"
#include "modes/ModeServices.h"
#include "net/StatsControllerFacts.h"

#include <array>

namespace {

// The match settings the reports carry; registered here, the first of their readers.
ConsoleParam serverNameParam("servername", ConsoleParamType::Text, "", "the server's name");
ConsoleParam connectPortParam("connectPORT", ConsoleParamType::Int, "9877", "the direct connect port");
ConsoleParam statsMatchParam("statsmatch", ConsoleParamType::Int, "0",
                             "1 = a ranked match between registered players, reported to the statistics service");

std::string LevelHash(const std::string& levelPath)
{
    if (levelPath.empty())
        return {};
    XmlDocument level = XmlLoadFile(levelPath);
    const char* hash = level ? XmlGetAttrValue(XmlRoot(level.get()), "hash") : nullptr;
    return hash ? hash : "";
}

std::vector<StatsRow> ModeRows(GameMode& mode, int group)
{
    std::vector<StatsRow> rows;
    for (const auto& row : mode.AddEndOfMatchStats(group).rows)
        rows.push_back({row->kind, row->value});
    return rows;
}

} // namespace

StatsSnapshot GatherStatsSnapshot(const std::string& levelPath)
{
    StatsSnapshot match;
    const MatchWorld& world = CurrentMatchWorld();
    GatherControllerFacts(match, world.LocalGroup());
    match.result = world.MatchResult();
    match.updateCount = world.UpdateCounter();

    if (GameMode* mode = CurrentGameMode()) {
        match.modeIndex = mode->modeIndex;
        std::array<bool, kStatsGroupCount> wanted{};
        if (match.localGroup >= 0 && match.localGroup < kStatsGroupCount)
            wanted[size_t(match.localGroup)] = true;
        for (const StatsPlayer& player : match.players)
            if (player.group >= 0 && player.group < kStatsGroupCount)
                wanted[size_t(player.group)] = true;
        for (int group = 0; group < kStatsGroupCount; ++group)
            if (wanted[size_t(group)])
                match.groupRows[group] = ModeRows(*mode, group);
        match.qdotCount = mode->GetLocalQdotCount();
        match.qdotTotal = mode->qdotTotal;
    }

    match.serverName = serverNameParam.GetString();
    match.connectPort = uint32_t(connectPortParam.GetInt());
    match.statsMatch = uint32_t(statsMatchParam.GetInt());
    match.levelHash = LevelHash(levelPath);
    return match;
}
