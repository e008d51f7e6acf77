// The statistics client against a local HTTP server: what each operation posts, what it
// stores of the answers, and how it meets errors, redirects, oversized and hung answers.
#include "../support/LocalHttpServer.h"
#include "../support/LogCapture.h"

#include "app/Crc32.h"
#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "app/Uuid.h"
#include "net/StatsReport.h"
#include "net/WebStats.h"
#include "net/flimbs.pb.h"
#include "platform/steam/Steam.h"

#include <gtest/gtest.h>

#include <curl/curl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr const char* kIntro = "Level\\intro.flevel";

std::string ReadHostFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteHostFile(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string StringOf(int slot)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02d", slot);
    return text;
}

StatsPlayer Player(int slot, const std::string& user, const std::string& password, int group, bool local = false,
                   bool spectator = false)
{
    StatsPlayer player;
    player.slot = slot;
    player.userName = user;
    player.password = password;
    player.group = group;
    player.local = local;
    player.spectator = spectator;
    player.playerId = "00112233-4455-6677-8899-aabbccddee" + StringOf(slot);
    return player;
}

StatsSnapshot SinglePlayerMatch()
{
    StatsSnapshot match;
    match.players = {Player(0, "pilot", "secret", 0, true)};
    match.localGroup = 0;
    match.matchGuid = UuidToString(NewUuid());
    match.modeIndex = 0;
    match.groupRows[0] = {{0, 37}, {15, 5000}, {18, 3}};
    match.result = 6;
    match.updateCount = 5000;
    match.qdotCount = 3;
    match.qdotTotal = 3;
    match.serverName = "host";
    match.connectPort = 9877;
    match.levelHash = "43FF92B54B3781434CD7B099D3782D3";
    return match;
}

class WebStatsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    static void TearDownTestSuite() { curl_global_cleanup(); }

    void SetUp() override
    {
        ASSERT_NE(server.Port(), 0);
        ASSERT_TRUE(platform::steam::Init(std::string(std::getenv("FLIMBS_HOME")) + "/webstats-store"));
        files = std::make_unique<FileManager>();
        auto user = std::make_unique<StandardFileManager>();
        user->AddRootFolder("Ads");
        files->AddMember(std::move(user));
        files->AddMember(std::make_unique<MemoryFileManager>());
        fileManager = files.get();
        fs::remove(GetUserPath(kPromoPicturePath));
    }
    void TearDown() override
    {
        stats.Shutdown();
        server.Stop();
        fileManager = nullptr;
        platform::steam::Shutdown();
        fs::remove_all(std::string(std::getenv("FLIMBS_HOME")) + "/webstats-store");
    }

    // Waits until every request finished (generous: the machine may be loaded).
    void Settle() { ASSERT_TRUE(stats.WaitIdle(20000)); }

    template <typename Message>
    Message Posted(const std::string& path, int index = 0)
    {
        EXPECT_TRUE(server.WaitForRequests(path, index + 1)) << path;
        Message message;
        const std::vector<HttpRequestRecord> requests = server.RequestsTo(path);
        if (int(requests.size()) > index) {
            EXPECT_EQ(requests[size_t(index)].method, "POST");
            EXPECT_TRUE(requests[size_t(index)].hasFormData) << path;
            EXPECT_TRUE(message.ParseFromString(requests[size_t(index)].formData)) << path;
        }
        return message;
    }

    static std::string StatsReplyBody(uint32_t rank, std::vector<std::pair<uint32_t, uint32_t>> records)
    {
        pb::StatsReply reply;
        reply.set_rank(rank);
        for (const auto& [kind, value] : records) {
            pb::Stat* record = reply.add_records();
            record->set_kind(kind);
            record->set_value(value);
        }
        return reply.SerializeAsString();
    }

    LocalHttpServer server;
    LogCapture log; // outlives the client's workers (joined in TearDown)
    WebStats stats{{server.Url("/stats/"), server.Url("/ads")}};
    std::unique_ptr<FileManager> files;
};

TEST_F(WebStatsTest, GameStartWithNoPlayersPostsOnlyTheServer)
{
    StatsSnapshot match;
    match.matchGuid = UuidToString(NewUuid());
    match.modeIndex = 6;
    match.serverName = "my server";
    match.connectPort = 4321;
    match.statsMatch = 1;
    match.levelHash = "ABC";
    stats.SendGameStart(kIntro, match);

    const auto update = Posted<pb::ServerUpdate>("/stats/gamestart");
    EXPECT_EQ(update.players_size(), 0);
    const pb::ServerInfo& server = update.server();
    EXPECT_EQ(server.digest(), "8db634fd2ff5122af4b992b81096e79e");
    EXPECT_EQ(server.client_version(), 124u);
    EXPECT_EQ(server.session_id(), match.matchGuid);
    EXPECT_EQ(server.session_id().size(), 36u);
    EXPECT_EQ(server.level_path(), kIntro);
    EXPECT_EQ(server.game_mode(), 7u);
    EXPECT_EQ(server.multiplayer(), 0u);
    EXPECT_EQ(server.server_name(), "my server");
    EXPECT_EQ(server.port(), 4321u);
    EXPECT_EQ(server.ranked_match(), 1u);
    EXPECT_EQ(server.level_hash(), "ABC");
    EXPECT_FALSE(server.has_score_key());
}

TEST_F(WebStatsTest, GameStartListsEverySlotAndCountsSinglePlayerSessions)
{
    StatsSnapshot match = SinglePlayerMatch();
    match.players.push_back(Player(3, "watcher", "pw", 1, false, true));
    stats.SendGameStart(kIntro, match);
    match.multiplayer = true;
    stats.SendGameStart(kIntro, match);

    ASSERT_TRUE(server.WaitForRequests("/stats/gamestart", 2));
    // The two posts run on workers of their own and may arrive in either order.
    auto single = Posted<pb::ServerUpdate>("/stats/gamestart", 0);
    auto multi = Posted<pb::ServerUpdate>("/stats/gamestart", 1);
    if (single.server().multiplayer())
        std::swap(single, multi);
    EXPECT_EQ(multi.server().multiplayer(), 1u);
    ASSERT_EQ(single.players_size(), 2);
    EXPECT_EQ(single.players(0).user_name(), "pilot");
    EXPECT_EQ(single.players(0).password(), "secret");
    EXPECT_EQ(single.players(0).local(), 1u);
    EXPECT_EQ(single.players(0).platform(), "steam");
    EXPECT_TRUE(single.players(0).has_reserved());
    EXPECT_EQ(single.players(0).player_id(), match.players[0].playerId);
    EXPECT_EQ(single.players(1).group(), 1u);
    EXPECT_EQ(single.players(1).local(), 0u);
    EXPECT_EQ(single.server().digest(), StatsDigest("pilotsecret0watcherpw1zomb4rt"));

    int32_t sessions = 0;
    EXPECT_TRUE(platform::steam::GetStat("puzzle_sessions", sessions));
    EXPECT_EQ(sessions, 1) << "only the single-player start counts";
}

TEST_F(WebStatsTest, GameOverGivesEachSideItsResultAndLeavesSpectatorsOut)
{
    StatsSnapshot match;
    match.multiplayer = true;
    match.matchGuid = UuidToString(NewUuid());
    match.modeIndex = 0;
    match.localGroup = 0;
    match.result = 2; // the local group lost
    match.updateCount = 777;
    match.players = {Player(0, "ann", "a", 0, true), Player(1, "bob", "b", 1), Player(2, "cy", "c", 0),
                     Player(4, "onlooker", "s", 1, false, true), Player(5, "dee", "d", 1)};
    match.groupRows[0] = {{0, 4}, {15, 900}};
    match.groupRows[1] = {{0, 6}, {2, 1}};
    stats.SendGameOver(kIntro, match);

    const auto update = Posted<pb::ServerUpdate>("/stats/gameover");
    ASSERT_EQ(update.players_size(), 4);
    const char* names[] = {"ann", "bob", "cy", "dee"};
    const uint32_t won[] = {0, 1, 0, 1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(update.players(i).user_name(), names[i]);
        EXPECT_EQ(update.players(i).won(), won[i]) << names[i];
    }
    // Group 0 has a time row of its own; group 1 gets {16, updates}.
    const pb::Player& ann = update.players(0);
    ASSERT_EQ(ann.stats_size(), 2);
    EXPECT_EQ(ann.stats(1).kind(), 16u);
    EXPECT_EQ(ann.stats(1).value(), 900u);
    const pb::Player& bob = update.players(1);
    ASSERT_EQ(bob.stats_size(), 3);
    EXPECT_EQ(bob.stats(0).kind(), 1u);
    EXPECT_EQ(bob.stats(0).value(), 6u);
    EXPECT_EQ(bob.stats(1).kind(), 3u);
    EXPECT_EQ(bob.stats(2).kind(), 16u);
    EXPECT_EQ(bob.stats(2).value(), 777u);
    EXPECT_EQ(update.server().digest(), StatsDigest("anna0bobb1cyc0deed1trel9ox"));
    EXPECT_FALSE(update.server().has_score_key()) << "no key in a multiplayer match of another mode";
}

TEST_F(WebStatsTest, AWinnersGameOverCarriesTheKeyAndPostsTheLeaderboardScore)
{
    StatsSnapshot match = SinglePlayerMatch();
    stats.SendGameOver(kIntro, match);
    EXPECT_EQ(Posted<pb::ServerUpdate>("/stats/gameover").server().score_key(), 0x800000004BF63B83ull);
    int32_t score = 0;
    EXPECT_TRUE(platform::steam::GetScore("Singleplayer - intro", score));
    EXPECT_EQ(uint32_t(score), 0x4BF63B83u);

    match.qdotCount = 2;
    match.userLevel = true;
    stats.SendGameOver("Level\\mine.flevel", match);
    EXPECT_TRUE(platform::steam::GetScore("Singleplayer UGC - mine", score));
    EXPECT_EQ(uint32_t(score), 0xCBF63B83u);

    // A co-operative match counts too; a loser posts the key without bit 63 and no score.
    match.multiplayer = true;
    match.modeIndex = 6;
    match.result = 5;
    stats.SendGameOver("Level\\lost.flevel", match);
    ASSERT_TRUE(server.WaitForRequests("/stats/gameover", 3));
    for (int i = 0; i < 3; ++i) {
        const auto update = Posted<pb::ServerUpdate>("/stats/gameover", i); // in arrival order
        if (update.server().level_path() == "Level\\lost.flevel") {
            EXPECT_EQ(update.server().score_key(), 0x4BF63B83ull);
        }
    }
    EXPECT_FALSE(platform::steam::GetScore("Singleplayer - lost", score));
}

TEST_F(WebStatsTest, QueryStatStoresTheAnswerUnderTheLevelTitle)
{
    server.SetReply("/stats/querystat", HttpAnswer(200, StatsReplyBody(7, {{1, 37}, {16, 5000}, {0, 5}, {21, 5}})));
    stats.QueryLevelStats(kIntro, SinglePlayerMatch());

    const auto request = Posted<pb::StatsRequest>("/stats/querystat");
    EXPECT_EQ(request.level_title(), "intro");
    EXPECT_EQ(request.digest(), "9b5b89af92b1c8d7f483590b9a7349d8");
    EXPECT_EQ(request.score_key(), 0x800000004BF63B83ull);
    EXPECT_EQ(request.stats_size(), 3);
    EXPECT_EQ(request.level_hash(), "43FF92B54B3781434CD7B099D3782D3");

    Settle();
    LevelStatsResult result;
    ASSERT_TRUE(stats.GetLevelStats("Level\\Other\\intro.flevel", &result)) << log.Copy();
    EXPECT_EQ(result.rank, 7u);
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.records[0].kind, 0);
    EXPECT_EQ(result.records[0].value, 37);
    EXPECT_EQ(result.records[1].kind, 15);
    EXPECT_EQ(result.records[1].value, 5000);
    EXPECT_TRUE(stats.GetLevelStats(kIntro, nullptr));
    EXPECT_FALSE(stats.GetLevelStats("Level\\outro.flevel", nullptr));

    // A new query forgets the old answer until its own arrives.
    server.SetReply("/stats/querystat", HttpAnswer(200, StatsReplyBody(2, {})).Held());
    stats.QueryLevelStats(kIntro, SinglePlayerMatch());
    EXPECT_FALSE(stats.GetLevelStats(kIntro, nullptr));
    server.ReleaseHeld();
    Settle();
    ASSERT_TRUE(stats.GetLevelStats(kIntro, &result));
    EXPECT_EQ(result.rank, 2u);
    EXPECT_TRUE(result.records.empty());
}

TEST_F(WebStatsTest, FollowsRedirectsAndWaitsForSlowAnswers)
{
    // 307 keeps the POST and its body.
    server.SetReply("/stats/querystat", HttpAnswer(307).RedirectedTo("/stats/moved/querystat"));
    server.SetReply("/stats/moved/querystat", HttpAnswer(200, StatsReplyBody(4, {})).Delayed(500));
    stats.QueryLevelStats(kIntro, SinglePlayerMatch());
    Settle();
    EXPECT_EQ(Posted<pb::StatsRequest>("/stats/moved/querystat").level_title(), "intro");
    LevelStatsResult result;
    ASSERT_TRUE(stats.GetLevelStats(kIntro, &result)) << log.Copy();
    EXPECT_EQ(result.rank, 4u);
}

TEST_F(WebStatsTest, BadAnswersStoreNothing)
{
    struct Case {
        const char* label;
        HttpReplyPlan plan;
        const char* logged;
    };
    const HttpReplyPlan oversized = HttpAnswer(200, StatsReplyBody(1, {})).PaddedTo(kMaxAnswerBytes + 1);
    const Case cases[] = {
        {"not a reply", HttpAnswer(200, "<html>Service unavailable</html>"), "Statistics answer refused"},
        {"no rank", HttpAnswer(200, std::string("\x0a\x04\x08\x01\x10\x02", 6)),
         "Statistics answer refused"},
        {"status 500 with a valid body", HttpAnswer(500, StatsReplyBody(1, {})), "Curl Error"},
        {"status 204 with no body", HttpAnswer(204), "Statistics answer refused"},
        {"larger than the limit", oversized, "Curl Error"},
        {"larger than the limit, no length", oversized.WithoutLength(), "Statistics answer refused: more than"},
        {"endless redirects", HttpAnswer(302).RedirectedTo("/stats/querystat"), "Curl Error"},
    };
    for (const Case& c : cases) {
        log.Clear();
        server.SetReply("/stats/querystat", c.plan);
        stats.QueryLevelStats(kIntro, SinglePlayerMatch());
        Settle();
        EXPECT_FALSE(stats.GetLevelStats(kIntro, nullptr)) << c.label;
        EXPECT_TRUE(log.Contains(c.logged)) << c.label << "\n" << log.Copy();
    }
}

TEST_F(WebStatsTest, ValidateStoresTheFlagAndAsksEachAccountOnce)
{
    // No `won` in the answer: the account is stored as invalid.
    server.SetReply("/stats/validate", HttpAnswer(200));
    stats.ValidateAccount("pilot", "secret");
    const auto request = Posted<pb::Player>("/stats/validate");
    EXPECT_EQ(request.user_name(), "pilot");
    EXPECT_EQ(request.password(), "secret");
    EXPECT_EQ(request.digest(), "9d01925ae9e86add2684a652c06b3976");
    Settle();
    EXPECT_FALSE(stats.IsAccountValid("pilot", "secret"));
    stats.ValidateAccount("pilot", "secret");
    Settle();
    EXPECT_EQ(server.CountTo("/stats/validate"), 1) << "an answered account is not asked again";

    // Two calls while the first is under way send one request; won 1 is valid.
    pb::Player valid;
    valid.set_won(1);
    server.SetReply("/stats/validate", HttpAnswer(200, valid.SerializeAsString()).Held());
    stats.ValidateAccount("navigator", "hunter2");
    ASSERT_TRUE(server.WaitForRequests("/stats/validate", 2));
    stats.ValidateAccount("navigator", "hunter2");
    EXPECT_FALSE(stats.IsAccountValid("navigator", "hunter2"));
    server.ReleaseHeld();
    Settle();
    EXPECT_TRUE(stats.IsAccountValid("navigator", "hunter2"));
    EXPECT_FALSE(stats.IsAccountValid("navigator", "other"));
    EXPECT_EQ(server.CountTo("/stats/validate"), 2);

    // An answer that does not parse stores nothing, so a later call asks again.
    server.SetReply("/stats/validate", HttpAnswer(200, "not a player"));
    stats.ValidateAccount("ghost", "pw");
    Settle();
    stats.ValidateAccount("ghost", "pw");
    Settle();
    EXPECT_EQ(server.CountTo("/stats/validate"), 4);
    EXPECT_FALSE(stats.IsAccountValid("ghost", "pw"));
}

TEST_F(WebStatsTest, BodiesAreBinarySafeAndAllPlayersAreValidated)
{
    const std::string password("pass\0word\xff", 10);
    StatsSnapshot match = SinglePlayerMatch();
    match.players.push_back(Player(1, "second", password, 1));
    stats.ValidateAllPlayers(match);
    Settle();
    ASSERT_EQ(server.CountTo("/stats/validate"), 2);
    bool found = false;
    for (const HttpRequestRecord& request : server.RequestsTo("/stats/validate"))
        if (request.formData == BuildValidateRequest("second", password).SerializeAsString())
            found = true;
    EXPECT_TRUE(found) << "the body travels byte for byte, NUL included";
}

TEST_F(WebStatsTest, CheckPromoReplacesThePictureOnlyWithACompleteDownload)
{
    const std::string picturePath = GetUserPath(kPromoPicturePath);
    pb::Stat fetch;
    fetch.set_kind(1);
    fetch.set_value(0);
    static const char kPictureBytes[] = "\xff\xd8\xff\xe0 new picture \0 bytes";
    const std::string newPicture(kPictureBytes, sizeof kPictureBytes - 1);

    // No local picture: CRC 0; the answer asks for the new one, which is fetched.
    server.SetReply("/stats/checkpromo", HttpAnswer(200, fetch.SerializeAsString()));
    server.SetReply("/ads/demo-ad-01.jpg", HttpAnswer(200, newPicture));
    stats.CheckPromo();
    const auto first = Posted<pb::Stat>("/stats/checkpromo");
    EXPECT_EQ(first.kind(), 0u);
    EXPECT_EQ(first.value(), 0u);
    ASSERT_TRUE(server.WaitForRequests("/ads/demo-ad-01.jpg", 1));
    Settle();
    EXPECT_EQ(server.RequestsTo("/ads/demo-ad-01.jpg")[0].method, "GET");
    EXPECT_EQ(ReadHostFile(picturePath), newPicture);

    // A local picture sends its CRC; a failed download keeps it.
    const std::string oldPicture = "old picture";
    WriteHostFile(picturePath, oldPicture);
    files->IndexNames(nullptr, 0, nullptr);
    server.SetReply("/ads/demo-ad-01.jpg", HttpAnswer(404, "missing"));
    stats.CheckPromo();
    EXPECT_EQ(Posted<pb::Stat>("/stats/checkpromo", 1).value(), Crc32(oldPicture.data(), oldPicture.size()));
    ASSERT_TRUE(server.WaitForRequests("/ads/demo-ad-01.jpg", 2));
    Settle();
    EXPECT_EQ(ReadHostFile(picturePath), oldPicture);

    // So do an oversized download and an answer of kind 0 (no fetch at all).
    server.SetReply("/ads/demo-ad-01.jpg", HttpAnswer(200).PaddedTo(kMaxPictureBytes + 1).WithoutLength());
    stats.CheckPromo();
    ASSERT_TRUE(server.WaitForRequests("/ads/demo-ad-01.jpg", 3));
    Settle();
    EXPECT_EQ(ReadHostFile(picturePath), oldPicture);
    server.SetReply("/stats/checkpromo", HttpAnswer(200, BuildPromoRequest(5).SerializeAsString()));
    stats.CheckPromo();
    ASSERT_TRUE(server.WaitForRequests("/stats/checkpromo", 4));
    Settle();
    EXPECT_EQ(server.CountTo("/ads/demo-ad-01.jpg"), 3);
    EXPECT_EQ(ReadHostFile(picturePath), oldPicture);
    for (const auto& entry : fs::directory_iterator(fs::path(picturePath).parent_path()))
        EXPECT_EQ(entry.path().filename(), "demo-ad-01.jpg") << "no temporary left behind";
}

TEST_F(WebStatsTest, AServerThatIsDownOrRefusesLeavesTheTablesAlone)
{
    // A port nobody listens on (the server's own, once stopped); and https spoken to a
    // plain HTTP server: the protocol is allowed, the handshake fails.
    LocalHttpServer gone;
    const std::string goneUrl = gone.Url("/stats/");
    gone.Stop();
    const std::string httpsUrl = "https://127.0.0.1:" + std::to_string(server.Port()) + "/stats/";
    for (const std::string& base : {goneUrl, httpsUrl}) {
        log.Clear();
        WebStats client{{base, base}};
        client.QueryLevelStats(kIntro, SinglePlayerMatch());
        client.ValidateAccount("pilot", "secret");
        client.SendGameOver(kIntro, SinglePlayerMatch());
        client.CheckPromo();
        ASSERT_TRUE(client.WaitIdle(20000));
        EXPECT_FALSE(client.GetLevelStats(kIntro, nullptr)) << base;
        EXPECT_FALSE(client.IsAccountValid("pilot", "secret")) << base;
        EXPECT_TRUE(log.Contains("Curl Error: ")) << base << "\n" << log.Copy();
        EXPECT_FALSE(log.Contains("nsupported protocol")) << base;
        EXPECT_FALSE(fs::exists(GetUserPath(kPromoPicturePath))) << base;
        client.Shutdown();
    }
}

TEST_F(WebStatsTest, ShutdownAbortsAHungRequestAndDropsLaterOnes)
{
    server.SetReply("/stats/querystat", HttpHang());
    server.SetReply("/stats/validate", HttpHang());
    stats.QueryLevelStats(kIntro, SinglePlayerMatch());
    stats.ValidateAccount("pilot", "secret");
    ASSERT_TRUE(server.WaitForRequests("/stats/querystat", 1));
    ASSERT_TRUE(server.WaitForRequests("/stats/validate", 1));

    const auto start = std::chrono::steady_clock::now();
    stats.Shutdown();
    const auto took = std::chrono::steady_clock::now() - start;
    // The transfers would run 20 s; the abort takes milliseconds (bench/webstats_shutdown
    // measures it). The bound only tells an abort from a time-out on a loaded machine.
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_FALSE(stats.GetLevelStats(kIntro, nullptr));
    EXPECT_FALSE(stats.IsAccountValid("pilot", "secret"));

    stats.ValidateAccount("late", "pw");
    stats.QueryLevelStats(kIntro, SinglePlayerMatch());
    EXPECT_TRUE(stats.WaitIdle(0));
    EXPECT_EQ(server.CountTo("/stats/validate"), 1);
}

TEST_F(WebStatsTest, EmptyBaseUrlsSendNothingAndSaySoOnce)
{
    WebStats client{{"", ""}};
    client.LogConfiguration();
    EXPECT_TRUE(log.Contains("Web statistics: no service or picture address configured")) << log.Copy();
    client.SendGameStart(kIntro, SinglePlayerMatch());
    client.SendGameOver(kIntro, SinglePlayerMatch());
    client.QueryLevelStats(kIntro, SinglePlayerMatch());
    client.ValidateAccount("pilot", "secret");
    client.CheckPromo();
    EXPECT_TRUE(client.WaitIdle(0));
    EXPECT_TRUE(server.Requests().empty());
    int32_t sessions = 0;
    EXPECT_TRUE(platform::steam::GetStat("puzzle_sessions", sessions)) << "the platform stat is local";

    log.Clear();
    stats.LogConfiguration();
    EXPECT_EQ(log.Copy(), "");
}

} // namespace
