#include "net/StatsReport.h"

#include "app/Md5.h"
#include "app/StringUtil.h"
#include "modes/GameStat.h"

#include <algorithm>

namespace {

constexpr int kLeaderboardBits = 38;
constexpr uint32_t kMissedQdotsBit = 0x80000000u;
constexpr int kTimeKind = kStatTime;

uint32_t WireGameMode(int modeIndex)
{
    return modeIndex >= 0 && modeIndex < 7 ? uint32_t(modeIndex + 1) : 0u;
}

void FillServerInfo(pb::ServerInfo& info, const StatsSnapshot& match, const std::string& levelPath,
                    const std::string& digest)
{
    info.set_digest(digest);
    info.set_server_name(match.serverName);
    info.set_port(match.connectPort);
    info.set_level_path(levelPath);
    info.set_client_version(kStatsClientVersion);
    info.set_multiplayer(match.multiplayer ? 1u : 0u);
    if (!match.matchGuid.empty()) // required: a report without it is not sent
        info.set_session_id(match.matchGuid);
    info.set_game_mode(WireGameMode(match.modeIndex));
    info.set_ranked_match(match.statsMatch);
    if (!match.levelHash.empty())
        info.set_level_hash(match.levelHash);
}

pb::Player& AddPlayer(pb::ServerUpdate& update, const StatsPlayer& player)
{
    pb::Player& entry = *update.add_players();
    entry.set_user_name(player.userName);
    entry.set_password(player.password);
    entry.set_group(uint32_t(player.group));
    entry.set_local(player.local ? 1u : 0u);
    entry.set_platform(kStatsPlatform);
    entry.set_reserved(0);
    if (!player.playerId.empty())
        entry.set_player_id(player.playerId);
    return entry;
}

std::string DigestPart(const StatsPlayer& player)
{
    return player.userName + player.password + StringPrintf("%d", player.group);
}

void AddStat(google::protobuf::RepeatedPtrField<pb::Stat>& stats, const StatsRow& row)
{
    pb::Stat& stat = *stats.Add();
    stat.set_kind(uint32_t(row.kind + 1));
    stat.set_value(uint32_t(row.value));
}

const std::vector<StatsRow>& RowsOf(const StatsSnapshot& match, int group)
{
    static const std::vector<StatsRow> none;
    return group >= 0 && group < kStatsGroupCount ? match.groupRows[group] : none;
}

} // namespace

std::string StatsDigest(const std::string& text)
{
    return Md5String(text, "%s%02x");
}

std::string LevelStatsTitle(const std::string& levelPath)
{
    return GetFileTitle(levelPath, true);
}

ScoreKey PackScoreKey(const std::vector<StatsRow>& rows)
{
    ScoreKey packed;
    for (const StatsRow& row : rows) {
        const StatKindInfo* info = FindStatKind(row.kind);
        if (!info)
            continue;
        const int width = info->bits;
        const int64_t max = (int64_t(1) << width) - 1;
        // A figure beyond its field is clamped first, so an over-large lower-is-better
        // figure packs as the worst, never as the best.
        int64_t value = std::clamp<int64_t>(row.value, 0, max);
        if (!info->higherIsBetter)
            value = max - value;
        if (packed.bits > 0)
            packed.key <<= width;
        packed.key |= uint64_t(value);
        packed.bits += width;
    }
    return packed;
}

uint32_t LeaderboardScore(const ScoreKey& key, bool allQdots)
{
    const int shift = key.bits - kLeaderboardBits;
    uint32_t score = uint32_t(shift > 0 ? key.key >> shift : key.key);
    if (allQdots)
        score &= ~kMissedQdotsBit;
    else
        score |= kMissedQdotsBit;
    return score;
}

std::string LeaderboardName(const std::string& levelPath, bool userLevel)
{
    return (userLevel ? "Singleplayer UGC - " : "Singleplayer - ") + LevelStatsTitle(levelPath);
}

bool PlayerWon(int result, int group, int localGroup)
{
    const bool win = result == 1 || result == 6;
    const bool loss = result == 2 || result == 5;
    return group == localGroup ? win : loss;
}

pb::ServerUpdate BuildGameStartReport(const StatsSnapshot& match, const std::string& levelPath)
{
    pb::ServerUpdate update;
    std::string digestText;
    for (const StatsPlayer& player : match.players) {
        AddPlayer(update, player);
        digestText += DigestPart(player);
    }
    FillServerInfo(*update.mutable_server(), match, levelPath, StatsDigest(digestText + kGameStartSuffix));
    return update;
}

GameOverReport BuildGameOverReport(const StatsSnapshot& match, const std::string& levelPath)
{
    GameOverReport report;
    std::string digestText;
    bool first = true;
    std::optional<ScoreKey> key;
    for (const StatsPlayer& player : match.players) {
        if (player.spectator)
            continue;
        pb::Player& entry = AddPlayer(report.body, player);
        const bool won = PlayerWon(match.result, player.group, match.localGroup);
        entry.set_won(won ? 1u : 0u);
        std::vector<StatsRow> rows = RowsOf(match, player.group);
        if (std::none_of(rows.begin(), rows.end(), [](const StatsRow& row) { return row.kind == kTimeKind; }))
            rows.push_back({kTimeKind, int32_t(match.updateCount)});
        for (const StatsRow& row : rows)
            AddStat(*entry.mutable_stats(), row);
        digestText += DigestPart(player);

        if (first && (!match.multiplayer || match.modeIndex == kSuperSynergyModeIndex)) {
            key = PackScoreKey(rows);
            if (won) {
                report.leaderboard = LeaderboardPost{LeaderboardName(levelPath, match.userLevel),
                                                     LeaderboardScore(*key, match.qdotCount == match.qdotTotal)};
                key->key |= kScoreKeyFlag;
            }
        }
        first = false;
    }
    FillServerInfo(*report.body.mutable_server(), match, levelPath, StatsDigest(digestText + kGameOverSuffix));
    if (key)
        report.body.mutable_server()->set_score_key(key->key);
    return report;
}

pb::StatsRequest BuildStatsRequest(const StatsSnapshot& match, const std::string& levelPath)
{
    pb::StatsRequest request;
    const std::string title = LevelStatsTitle(levelPath);
    const std::vector<StatsRow>& rows = RowsOf(match, match.localGroup);
    request.set_digest(StatsDigest(title + kQueryStatSuffix));
    request.set_level_title(title);
    for (const StatsRow& row : rows)
        AddStat(*request.mutable_stats(), row);
    request.set_score_key(PackScoreKey(rows).key | kScoreKeyFlag);
    if (!match.levelHash.empty())
        request.set_level_hash(match.levelHash);
    return request;
}

pb::Player BuildValidateRequest(const std::string& userName, const std::string& password)
{
    pb::Player player;
    player.set_user_name(userName);
    player.set_password(password);
    player.set_digest(StatsDigest(userName + password + kValidateSuffix));
    return player;
}

pb::Stat BuildPromoRequest(uint32_t pictureCrc)
{
    pb::Stat stat;
    stat.set_kind(0);
    stat.set_value(pictureCrc);
    return stat;
}

std::optional<LevelStatsResult> ReadStatsReply(const std::string& body)
{
    pb::StatsReply reply;
    if (!reply.ParseFromString(body))
        return std::nullopt;
    LevelStatsResult result;
    result.rank = reply.rank();
    for (const pb::Stat& record : reply.records())
        if (record.kind() >= 1 && record.kind() <= uint32_t(kStatKindCount))
            result.records.push_back({int32_t(record.kind() - 1), int32_t(record.value())});
    return result;
}

std::optional<bool> ReadValidateReply(const std::string& body)
{
    pb::Player answer;
    if (!answer.ParseFromString(body))
        return std::nullopt;
    return answer.won() != 0;
}

std::optional<bool> ReadPromoReply(const std::string& body)
{
    pb::Stat answer;
    if (!answer.ParseFromString(body))
        return std::nullopt;
    return answer.kind() != 0;
}
