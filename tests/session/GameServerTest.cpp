// The game server against bare protocol clients on 127.0.0.1.
#include "SessionFixture.h"

#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "game/GameController.h"
#include "net/NetSettings.h"
#include "platform/net/Socket.h"

namespace {

using GameServerTest = SessionFixture;

TEST_F(GameServerTest, AJoiningClientGetsExactlyTheseRecords)
{
    BareSessionClient& client = Connect();
    ASSERT_TRUE(Until([&] { return !client.received.empty(); }));
    RecordBytes playerId(32, 0);
    playerId[0] = kCmdPlayerId;
    playerId[2] = 32;
    playerId[12] = 124;
    EXPECT_EQ(client.received[0], playerId);

    client.Send(MakeNetResult(kNrVersionOk, 0, 0));
    ASSERT_TRUE(Until([&] { return client.received.size() >= 11; }));
    for (uint8_t g = 0; g < 8; ++g) {
        RecordBytes team(16, 0);
        team[0] = kCmdTeamChange;
        team[2] = 16;
        team[8] = 255;
        team[12] = team[13] = g;
        EXPECT_EQ(client.received[1 + g], team) << int(g);
    }
    RecordBytes own(64, 0);
    own[0] = kCmdNewPlayer;
    own[2] = 64;
    own[7] = 1;  // a participant
    own[59] = 1; // active
    own[60] = 1; // client 0 is the admin
    EXPECT_EQ(client.received[9], own);
    // No level yet: the client is in the game and hears its own answer passed on.
    EXPECT_EQ(client.received[10], Bytes(MakeNetResult(kNrVersionOk, 0, 0)));
    EXPECT_TRUE(server->ClientInGame(0));
}

TEST_F(GameServerTest, AClientBeyondTheMaximumIsRefusedWithoutAPlayerId)
{
    maxPlayers = 3;
    for (int i = 0; i < 4; ++i)
        Connect();
    ASSERT_TRUE(Until([&] {
        for (auto& client : clients)
            if (client->received.empty())
                return false;
        return true;
    }));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(clients[size_t(i)]->Count(kCmdPlayerId), 1u);
        EXPECT_EQ(clients[size_t(i)]->Count(kCmdNetResult), 0u);
    }
    EXPECT_EQ(clients[3]->Count(kCmdPlayerId), 0u);
    EXPECT_EQ(clients[3]->received, (std::vector<RecordBytes>{Bytes(MakeNetResult(kNrMemErr, 0, 0))}));
    EXPECT_EQ(server->ClientCount(), 4u); // kept, never in game, until its stream closes
    EXPECT_FALSE(server->ClientInGame(3));
}

TEST_F(GameServerTest, MalformedRequestsDropTheClient)
{
    RecordBytes id41 = Bytes(MakeChecksum(1));
    id41[0] = 41;
    RecordBytes wrongSize = Bytes(MakeChecksum(1));
    wrongSize.resize(20);
    wrongSize[2] = 20;
    RecordBytes noNul = Bytes(MakeGameModeOptions("<a/>"));
    noNul.back() = '>';
    RecordBytes badPlayer = Bytes(MakeProfileId({}, 0));
    badPlayer[24] = 40;
    const struct {
        const char* what;
        RecordBytes record;
        const char* line;
    } cases[] = {
        {"id 41", id41, "NETINFO from client contains an invalid type.  Disconnecting client!\n"},
        {"wrong size", wrongSize, "NETINFO from client contains invalid CMD SIZE.  Disconnecting client"},
        {"variable text without NUL", noNul, "NETINFO from client contains invalid data (unterminated text)"},
        {"player 40", badPlayer, "NETINFO from client contains invalid data (field out of range)"},
    };
    Join(); // client 0 stays
    for (const auto& c : cases) {
        BareSessionClient& bad = Join();
        const size_t before = server->ClientCount();
        log.Clear();
        ASSERT_TRUE(bad.Send(c.record)) << c.what;
        EXPECT_TRUE(Until([&] { return server->ClientCount() == before - 1; })) << c.what;
        EXPECT_TRUE(log.Contains(c.line)) << c.what << "\n" << log.Text();
    }
    EXPECT_TRUE(server->ClientInGame(0));
}

TEST_F(GameServerTest, OnlyTheAdminSetsHostVariables)
{
    BareSessionClient& host = Join();
    BareSessionClient& other = Join();
    auto& admin = Controller().players.emplace_back(std::make_unique<PlayerRecord>());
    admin->id = 0;
    admin->admin = 1;
    auto& plain = Controller().players.emplace_back(std::make_unique<PlayerRecord>());
    plain->id = 1;

    other.Send(MakeSetHostVariable(kHostVarMsPerUpdate, 33));
    host.Send(MakeChat("sync", 0, 0, 0));
    ASSERT_TRUE(Until([&] { return other.Count(kCmdChat) == 1; }));
    EXPECT_EQ(LagSetting(), 75);
    EXPECT_EQ(other.Count(kCmdSetHostVariable), 0u);

    host.Send(MakeSetHostVariable(kHostVarMsPerUpdate, 33));
    ASSERT_TRUE(Until([&] { return other.Count(kCmdSetHostVariable) == 1; }));
    EXPECT_EQ(LagSetting(), 33);
    EXPECT_EQ(GetU32(other.Of(kCmdSetHostVariable)[0].data(), 12), 33u);
}

TEST_F(GameServerTest, TicksFollowTheClockAtMostTwoAtATime)
{
    server->StartMatch();
    ASSERT_EQ(server->State(), GameServer::kRunning);
    Controller().runState = kRunRunning;
    const uint32_t counter = server->UpdateCounter();
    now += 3 * 75 + 1; // three pulses behind
    server->Update(false);
    EXPECT_EQ(server->UpdateCounter(), counter + 2);
    server->Update(false); // re-based: nothing more is due
    EXPECT_EQ(server->UpdateCounter(), counter + 2);
    now += 75;
    server->Update(false);
    EXPECT_EQ(server->UpdateCounter(), counter + 2);
    now += 1;
    server->Update(false);
    EXPECT_EQ(server->UpdateCounter(), counter + 3);
    // No ticks while the game is not running or the server is paused.
    Controller().runState = kRunNone;
    now += 1000;
    server->Update(false);
    EXPECT_EQ(server->UpdateCounter(), counter + 3);
}

TEST_F(GameServerTest, ASecondPauseWithinTwentyUpdatesIsRefusedUnlessForced)
{
    server->StartMatch();
    server->SetUpdateCounter(100);
    server->RequestPause(1, false);
    EXPECT_EQ(server->State(), GameServer::kPaused);
    server->RequestPause(1, false); // already paused: nothing changes
    EXPECT_EQ(server->State(), GameServer::kPaused);
    server->RequestPause(0, false);
    EXPECT_EQ(server->State(), GameServer::kRunning);

    server->SetUpdateCounter(119);
    server->RequestPause(1, false);
    EXPECT_EQ(server->State(), GameServer::kRunning);
    EXPECT_TRUE(log.Contains("Pausing is unavailable right now, try again in a second."));
    ASSERT_FALSE(Controller().messages.Entries().empty());
    EXPECT_EQ(Controller().messages.Entries().back().text, "Pausing is unavailable right now, try again in a second.");
    server->RequestPause(1, true);
    EXPECT_EQ(server->State(), GameServer::kPaused);
    server->RequestPause(0, false); // an unpause is never refused
    EXPECT_EQ(server->State(), GameServer::kRunning);

    server->SetUpdateCounter(125);
    {
        ScopedConsoleInt god("god", 1);
        server->RequestPause(1, false);
    }
    EXPECT_EQ(server->State(), GameServer::kPaused);
    server->SetUpdateCounter(150);
    server->RequestPause(0, false);
    server->RequestPause(1, false); // 25 updates after the last pause
    EXPECT_EQ(server->State(), GameServer::kPaused);
}

class CatchUpTest : public SessionFixture {
protected:
    void SetUp() override
    {
        files.AddMember(std::make_unique<MemoryFileManager>());
        const std::string level = "<flimbs-level><globals><singleplayer>1</singleplayer></globals></flimbs-level>";
        static_cast<MemoryFileManager*>(files.Member(0))
            ->AddFile("Level\\s_dm_catchup.flevel", level.data(), level.size());
        fileManager = &files;
        SessionFixture::SetUp();
    }
    void TearDown() override
    {
        SessionFixture::TearDown();
        fileManager = nullptr;
    }
    FileManager files;
};

TEST_F(CatchUpTest, AJoinerGetsTheRecordingWithOnlyEverySeventyFifthTick)
{
    ASSERT_TRUE(server->LoadLevel("s_dm_catchup.flevel"));
    EXPECT_TRUE(log.Contains("GameInfo has been loaded\n"));
    server->StartMatch();
    Controller().runState = kRunRunning;
    while (server->UpdateCounter() < 340) {
        now += 76;
        server->Update(false);
    }
    server->Broadcast(MakeTeamChange(255, 2, 2));
    const uint32_t ticks = server->UpdateCounter();

    BareSessionClient& joiner = Join();
    ASSERT_EQ(joiner.Count(kCmdLevelQuery), 1u);
    const RecordBytes query = joiner.Of(kCmdLevelQuery)[0];
    EXPECT_EQ(GetText(query.data(), 6, 128), "s_dm_catchup.flevel");
    joiner.Send(MakeLevelQuery("s_dm_catchup.flevel", GetU32(query.data(), 136), 1, 0));
    ASSERT_TRUE(Until([&] { return joiner.Count(kCmdSetHostVariable) > 0; }));
    EXPECT_TRUE(log.Contains("Client 0 has level s_dm_catchup.flevel\n"));

    // From the first NETLOAD on: start, the recording, end, the pace.
    const auto start = std::find_if(joiner.received.begin(), joiner.received.end(),
                                    [](const RecordBytes& r) { return r[0] == kCmdNetLoad; });
    ASSERT_NE(start, joiner.received.end());
    const std::vector<RecordBytes> seen(start, joiner.received.end());
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(GetU32(seen.front().data(), 8), 1u);
    std::vector<uint8_t> commands;
    std::vector<uint32_t> tickUpdates;
    uint32_t update = 0;
    for (size_t i = 1; i < seen.size(); ++i) {
        const RecordBytes& r = seen[i];
        EXPECT_EQ(r[4], 0) << NetCommandName(r[0]);
        if (r[0] == kCmdNetLoad) {
            EXPECT_EQ(GetU32(r.data(), 8), 0u);
            EXPECT_EQ(seen[i + 1][0], kCmdSetHostVariable);
            EXPECT_EQ(GetU32(seen[i + 1].data(), 8), 16u);
            EXPECT_EQ(GetU32(seen[i + 1].data(), 12), 75u);
            break;
        }
        if (r[0] == kCmdUpdateFlimbs) {
            update = RebuildUpdateNumber(update, r[1]);
            tickUpdates.push_back(update);
        } else {
            commands.push_back(r[0]);
        }
    }
    EXPECT_EQ(tickUpdates, (std::vector<uint32_t>{74, 149, 224, 330}));
    EXPECT_LT(tickUpdates.back(), ticks);
    // The recording: the level, the match start, the pace, the team change (the server's
    // own bookkeeping records around them).
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front(), kCmdGameData);
    EXPECT_NE(std::find(commands.begin(), commands.end(), kCmdStartGame), commands.end());
    EXPECT_NE(std::find(commands.begin(), commands.end(), kCmdTeamChange), commands.end());
    EXPECT_TRUE(server->ClientInGame(0));
}

} // namespace

namespace {

TEST(GameServerLan, ANetworkedServerAnnouncesItselfEverySecond)
{
    using platform::net::MakeIpv4;
    platform::net::UdpSocket listener;
    ASSERT_TRUE(listener.Open());
    ASSERT_TRUE(listener.Bind(MakeIpv4(127, 0, 0, 1), 0));
    listener.SetNonBlocking();
    NetSettings saved = GetNetSettings();
    GetNetSettings().lanGroup = "127.0.0.1";
    GetNetSettings().lanPort = listener.LocalEndpoint().port;
    ScopedConsoleInt notPublic("publicServer", 0);
    TestWorld world;
    uint32_t now = 5000;
    {
        GameServer server(true, 0, [&] { return now; });
        char buffer[2048];
        server.Update(false);
        EXPECT_LT(listener.ReceiveFrom(buffer, sizeof buffer), 0); // not yet due
        now += 1001;
        server.Update(false);
        int got = -1;
        ASSERT_TRUE(PumpUntil([&] { return got > 0; }, [&] { got = listener.ReceiveFrom(buffer, sizeof buffer); }));
        const std::string record(buffer, size_t(got));
        EXPECT_NE(record.find("<flimbs-lan-broadcast"), std::string::npos) << record;
        EXPECT_NE(record.find("server_port=\"" + std::to_string(server.Port()) + "\""), std::string::npos) << record;
        EXPECT_NE(record.find("game_version=\"124\""), std::string::npos) << record;
        EXPECT_NE(record.find("max_players=\"16\""), std::string::npos) << record;
    }
    GetNetSettings() = saved;
}

} // namespace
