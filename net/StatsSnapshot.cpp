#include "net/StatsSnapshot.h"

#include "app/ConsoleParam.h"
#include "app/Uuid.h"

#include <algorithm>

namespace {

// The match settings the reports carry; registered here, the first of their readers.
ConsoleParam serverNameParam("servername", ConsoleParamType::Text, "", "the server's name");
ConsoleParam connectPortParam("connectPORT", ConsoleParamType::Int, "9877", "the direct connect port");
ConsoleParam statsMatchParam("statsmatch", ConsoleParamType::Int, "0",
                             "1 = a ranked match between registered players, reported to the statistics service");

UuidBytes& DefaultGuid()
{
    static UuidBytes guid{};
    return guid;
}

StatsSnapshotSource& Source()
{
    static StatsSnapshotSource source;
    return source;
}

} // namespace

void ReadStatsSettings(StatsSnapshot& match)
{
    match.serverName = serverNameParam.GetString();
    match.connectPort = uint32_t(connectPortParam.GetInt());
    match.statsMatch = uint32_t(statsMatchParam.GetInt());
}

std::string DefaultMatchGuid()
{
    UuidBytes& guid = DefaultGuid();
    if (std::all_of(guid.begin(), guid.end(), [](uint8_t byte) { return byte == 0; }))
        guid = NewUuid();
    return UuidToString(guid);
}

void RenewDefaultMatchGuid()
{
    DefaultGuid() = NewUuid();
}

void SetStatsSnapshotSource(StatsSnapshotSource source)
{
    Source() = std::move(source);
}

StatsSnapshot TakeStatsSnapshot(const std::string& levelPath)
{
    if (const StatsSnapshotSource& source = Source())
        return source(levelPath);
    StatsSnapshot match;
    ReadStatsSettings(match);
    return match;
}
