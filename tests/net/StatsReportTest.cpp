// The statistics schema and the pure parts of the statistics client: score keys,
// leaderboard scores, `won` flags and the reading of answers.
#include "net/StatsReport.h"
#include "net/flimbs.pb.h"

#include <gtest/gtest.h>

namespace {

std::string Bytes(std::initializer_list<uint8_t> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

TEST(StatsSchemaTest, RequiredFieldsDecideWhatParses)
{
    // A reply with records but no rank.
    pb::StatsReply noRank;
    pb::Stat* record = noRank.add_records();
    record->set_kind(1);
    record->set_value(37);
    std::string bytes = noRank.SerializePartialAsString();
    pb::StatsReply reply;
    EXPECT_FALSE(reply.ParseFromString(bytes));
    noRank.set_rank(3);
    EXPECT_TRUE(reply.ParseFromString(noRank.SerializeAsString()));
    EXPECT_EQ(reply.rank(), 3u);

    // A player has no required field of its own; its stats do.
    pb::Player player;
    EXPECT_TRUE(player.ParseFromString(""));
    EXPECT_TRUE(player.ParseFromString(Bytes({0x3a, 0x04, 0x08, 0x05, 0x10, 0x06}))); // stats {5, 6}
    EXPECT_FALSE(player.ParseFromString(Bytes({0x3a, 0x02, 0x08, 0x05})));            // stats {kind 5}

    // An update whose server lacks the session id is not initialised.
    pb::ServerUpdate update;
    pb::ServerInfo& server = *update.mutable_server();
    server.set_digest("d");
    server.set_client_version(124);
    server.set_multiplayer(0);
    server.set_game_mode(1);
    server.set_ranked_match(0);
    EXPECT_FALSE(update.IsInitialized());
    server.set_session_id(std::string(36, '0'));
    EXPECT_TRUE(update.IsInitialized());
}

TEST(StatsSchemaTest, FieldsGoOutInNumberOrderWithTheirWireTypes)
{
    pb::ServerInfo info;
    info.set_score_key(0x8000000000000001ull);
    info.set_port(9877);
    info.set_digest("ab");
    // digest (1, bytes), port (4, varint 9877), score_key (10, fixed64).
    EXPECT_EQ(info.SerializePartialAsString(),
              Bytes({0x0a, 0x02, 'a', 'b', 0x20, 0x95, 0x4d, 0x51, 0x01, 0, 0, 0, 0, 0, 0, 0x80}));
    pb::Player player;
    player.set_reserved(0);
    player.set_group(7);
    EXPECT_EQ(player.SerializeAsString(), Bytes({0x18, 0x07, 0x40, 0x00}));
}

TEST(StatsReportTest, ScoreKeysPackEachFigureInItsWidth)
{
    struct Case {
        const char* label;
        std::vector<StatsRow> rows;
        uint64_t key;
        int bits;
        uint32_t withAllQdots;
        uint32_t withoutAllQdots;
    };
    const Case cases[] = {
        {"flimbs, time, qdots", {{0, 37}, {15, 5000}, {18, 3}}, 0x4BF63B83ull, 35, 0x4BF63B83u, 0xCBF63B83u},
        {"score, time, flimbs (48 bits)", {{13, 123456}, {15, 1000}, {0, 40}}, 0x1E240FF05C28ull, 48, 0x0903FC17u,
         0x8903FC17u},
        {"an over-large time is the worst", {{15, 300000}}, 0, 18, 0, 0x80000000u},
        {"time exactly at the maximum", {{15, 262143}}, 0, 18, 0, 0x80000000u},
        {"an over-large count is the field's maximum", {{0, 5000}}, 1023, 10, 1023, 0x800003FFu},
        {"negative figures count as 0", {{0, -4}, {2, -1}}, 1023, 20, 1023, 0x800003FFu},
        {"unknown kinds take no bits", {{20, 9}, {-1, 9}, {18, 5}}, 5, 7, 5, 0x80000005u},
        {"no rows", {}, 0, 0, 0, 0x80000000u},
    };
    for (const Case& c : cases) {
        const ScoreKey key = PackScoreKey(c.rows);
        EXPECT_EQ(key.key, c.key) << c.label;
        EXPECT_EQ(key.bits, c.bits) << c.label;
        EXPECT_EQ(LeaderboardScore(key, true), c.withAllQdots) << c.label;
        EXPECT_EQ(LeaderboardScore(key, false), c.withoutAllQdots) << c.label;
    }
}

TEST(StatsReportTest, WonFollowsTheResultAsTheLocalGroupSeesIt)
{
    struct Case {
        int result;
        bool localSide;
        bool otherSide;
    };
    const Case cases[] = {{1, true, false}, {6, true, false}, {2, false, true}, {5, false, true},
                          {0, false, false}, {3, false, false}, {4, false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(PlayerWon(c.result, 2, 2), c.localSide) << c.result;
        EXPECT_EQ(PlayerWon(c.result, 5, 2), c.otherSide) << c.result;
    }
}

TEST(StatsReportTest, TitlesDigestsAndBoardNames)
{
    EXPECT_EQ(LevelStatsTitle("Level\\intro.flevel"), "intro");
    EXPECT_EQ(LevelStatsTitle("Level\\Pack\\ss_two.parts.flevel"), "ss_two.parts");
    EXPECT_EQ(LevelStatsTitle("plain"), "plain");
    EXPECT_EQ(StatsDigest("zomb4rt"), "8db634fd2ff5122af4b992b81096e79e");
    EXPECT_EQ(LeaderboardName("Level\\intro.flevel", false), "Singleplayer - intro");
    EXPECT_EQ(LeaderboardName("Level\\mine.flevel", true), "Singleplayer UGC - mine");
}

TEST(StatsReportTest, StoredRecordsNeedAKindOfOneToTwenty)
{
    pb::StatsReply reply;
    reply.set_rank(12);
    for (uint32_t kind : {0u, 1u, 16u, 20u, 21u, 0xFFFFFFFFu}) {
        pb::Stat* record = reply.add_records();
        record->set_kind(kind);
        record->set_value(kind + 100);
    }
    const std::optional<LevelStatsResult> result = ReadStatsReply(reply.SerializeAsString());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->rank, 12u);
    ASSERT_EQ(result->records.size(), 3u);
    EXPECT_EQ(result->records[0].kind, 0);
    EXPECT_EQ(result->records[0].value, 101);
    EXPECT_EQ(result->records[1].kind, 15);
    EXPECT_EQ(result->records[2].kind, 19);

    EXPECT_FALSE(ReadStatsReply("<html>error</html>"));
    EXPECT_FALSE(ReadValidateReply(Bytes({0x3a, 0x02, 0x08, 0x05})));
    EXPECT_EQ(ReadValidateReply(""), std::optional<bool>(false));
    EXPECT_EQ(ReadValidateReply(Bytes({0x20, 0x02})), std::optional<bool>(true));
    EXPECT_FALSE(ReadPromoReply(""));
    EXPECT_EQ(ReadPromoReply(Bytes({0x08, 0x00, 0x10, 0x00})), std::optional<bool>(false));
    EXPECT_EQ(ReadPromoReply(Bytes({0x08, 0x02, 0x10, 0x00})), std::optional<bool>(true));
}

TEST(StatsReportTest, AReportWithoutAMatchIdIsIncomplete)
{
    StatsSnapshot match;
    match.matchGuid.clear();
    EXPECT_FALSE(BuildGameStartReport(match, "Level\\intro.flevel").IsInitialized());
    match.matchGuid = "00112233-4455-6677-8899-aabbccddeeff";
    EXPECT_TRUE(BuildGameStartReport(match, "Level\\intro.flevel").IsInitialized());
}

} // namespace
