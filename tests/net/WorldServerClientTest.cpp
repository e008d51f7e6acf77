// The world-server client against the test world server on 127.0.0.1.
#include "../support/FakeWorldServer.h"
#include "../support/NetSettingsScope.h"
#include "../support/NetWait.h"

#include "net/WorldServerClient.h"
#include "net/flimbsworld.pb.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class WorldServerClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetNetSettings().worldServerHost = "127.0.0.1";
        GetNetSettings().worldServerPort = server.Port();
    }
    NetClock Clock()
    {
        return [this] { return now; };
    }
    std::unique_ptr<WorldServerClient> MakeClient()
    {
        auto client = std::make_unique<WorldServerClient>(Clock());
        client->SignalConnection.connect([this](bool ok) { connections.push_back(ok); });
        client->SignalLogin.connect(
            [this](const flimbsworld::ServerLoginResult* result) { logins.push_back(int(result->result())); });
        return client;
    }
    // Pumps the server and the clients until `done`, 16 ms of test time per round.
    bool Run(const std::function<bool()>& done, std::initializer_list<WorldServerClient*> clients)
    {
        return PumpUntil(done, [&] {
            server.Pump();
            for (WorldServerClient* client : clients)
                client->Update();
            now += 16;
        });
    }
    std::unique_ptr<WorldServerClient> LoggedInClient()
    {
        auto client = MakeClient();
        client->Connect();
        EXPECT_TRUE(Run([&] { return client->State() == WorldServerClient::kLoggedIn; }, {client.get()}));
        return client;
    }

    NetSettingsScope settings;
    FakeWorldServer server;
    uint32_t now = 1000;
    std::vector<bool> connections;
    std::vector<int> logins;
};

TEST_F(WorldServerClientTest, LogsInWithTheSeedDigest)
{
    auto client = MakeClient();
    client->SetHelloNumbers(124, 2);
    client->Connect();
    // An immediate connect goes on to the writability test as well.
    EXPECT_EQ(client->State(), WorldServerClient::kConnecting);
    ASSERT_TRUE(Run([&] { return client->State() == WorldServerClient::kLoggedIn; }, {client.get()}));
    ASSERT_EQ(server.hellos.size(), 1u);
    const flimbsworld::ClientHello& hello = server.hellos[0];
    EXPECT_EQ(hello.login_digest(), "BB808A93B209B535EB3476218AB0B8D6");
    EXPECT_EQ(hello.login_name(), "");
    EXPECT_EQ(hello.login_secret(), "");
    EXPECT_EQ(hello.protocol_version(), 1u);
    EXPECT_EQ(hello.game_version(), 124u);
    EXPECT_EQ(hello.game_variant(), 2u);
    EXPECT_EQ(server.badDigests, 0);
    EXPECT_EQ(connections, std::vector<bool>{true});
    EXPECT_EQ(logins, std::vector<int>{1});
    EXPECT_EQ(client->ClientId(), 1000);
}

TEST_F(WorldServerClientTest, LoginProblemsEndInTheRightState)
{
    struct Case {
        const char* name;
        FakeWorldServer::Options options;
        int state;
        std::vector<int> logins;
    };
    FakeWorldServer::Options newer;
    newer.protocolVersion = 2;
    FakeWorldServer::Options refusing;
    refusing.refuseLogins = true;
    FakeWorldServer::Options silent;
    silent.silent = true;
    FakeWorldServer::Options split;
    split.splitFrames = true;
    FakeWorldServer::Options merged;
    merged.mergeFrames = true;
    const Case cases[] = {
        {"newer server", newer, WorldServerClient::kWaitHello, {}},
        {"bad login", refusing, WorldServerClient::kDisconnected, {0}},
        {"silence", silent, WorldServerClient::kWaitHello, {}},
        {"split frames", split, WorldServerClient::kLoggedIn, {1}},
        {"merged frames", merged, WorldServerClient::kLoggedIn, {1}},
    };
    for (const Case& c : cases) {
        server.options = c.options;
        logins.clear();
        auto client = MakeClient();
        client->Connect();
        // Long enough for any answer (the split one takes a frame per byte), well within
        // the connect time-out of the test clock.
        for (int i = 0; i < 200; ++i) {
            server.Pump();
            client->Update();
            now += 1;
        }
        Run([&] { return client->State() == c.state && logins == c.logins; }, {client.get()});
        EXPECT_EQ(client->State(), c.state) << c.name;
        EXPECT_EQ(logins, c.logins) << c.name;
    }
    // Neither the newer server nor the silent one got a login.
    EXPECT_EQ(server.hellos.size(), 3u);
}

TEST_F(WorldServerClientTest, TwoFramesInOneReceiveAreHandledOnePerUpdate)
{
    server.options.greet = false;
    auto client = MakeClient();
    client->Connect();
    ASSERT_TRUE(Run([&] { return client->State() == WorldServerClient::kWaitHello && !server.connections.empty(); },
                    {client.get()}));
    flimbsworld::ServerHello hello;
    hello.set_seed("s");
    flimbsworld::ServerLoginResult login;
    login.set_result(1);
    login.set_client_id(5);
    server.SendFrame(0, hello.SerializeAsString());
    server.SendFrame(0, login.SerializeAsString());
    server.Pump(); // both go out in one send; the server is not pumped again
    ASSERT_TRUE(PumpUntil([&] { return client->State() != WorldServerClient::kWaitHello; }, [&] { client->Update(); }));
    EXPECT_EQ(client->State(), WorldServerClient::kWaitLogin);
    client->Update();
    EXPECT_EQ(client->State(), WorldServerClient::kLoggedIn);
    EXPECT_EQ(client->ClientId(), 5);
}

TEST_F(WorldServerClientTest, FrameLimitIs1020MessageBytes)
{
    auto client = LoggedInClient();
    // A registration whose envelope is exactly `size` bytes.
    auto registration = [&](size_t size) {
        flimbsworld::ServerInfo info;
        for (size_t name = 0;; ++name) {
            info.set_server_name(std::string(name, 'n'));
            flimbsworld::GenericClientMessage envelope;
            envelope.set_request_id(1000u << 16);
            *envelope.mutable_server_info() = info;
            if (envelope.ByteSizeLong() >= size) {
                EXPECT_EQ(envelope.ByteSizeLong(), size);
                return info;
            }
        }
    };
    client->RegisterServer(registration(1020), {});
    EXPECT_EQ(client->PendingRequests(), 1u);
    client->RegisterServer(registration(1021), {});
    EXPECT_EQ(client->PendingRequests(), 1u);
    ASSERT_TRUE(Run([&] { return client->PendingRequests() == 0; }, {client.get()}));
    ASSERT_EQ(server.registrations.size(), 1u);
    EXPECT_EQ(server.frames.back().size(), 1020u);
    EXPECT_EQ(client->RegisteredServerId(), 42);
    EXPECT_EQ(client->State(), WorldServerClient::kLoggedIn);
}

TEST_F(WorldServerClientTest, AnOversizedLengthWordDisconnects)
{
    server.options.greet = false;
    auto client = MakeClient();
    client->Connect();
    ASSERT_TRUE(Run([&] { return client->State() == WorldServerClient::kWaitHello && !server.connections.empty(); },
                    {client.get()}));
    server.connections[0].out = std::string("\xFD\x03\x00\x00", 4) + std::string(600, 'x'); // 1021
    ASSERT_TRUE(Run([&] { return client->State() == WorldServerClient::kDisconnected; }, {client.get()}));
    EXPECT_EQ(connections, std::vector<bool>{true});
    // A length word read as a negative number is just as large.
    auto second = MakeClient();
    second->Connect();
    ASSERT_TRUE(Run([&] { return second->State() == WorldServerClient::kWaitHello && server.connections.size() == 2; },
                    {second.get()}));
    server.connections[1].out = std::string("\xFF\xFF\xFF\xFF", 4);
    ASSERT_TRUE(Run([&] { return second->State() == WorldServerClient::kDisconnected; }, {second.get()}));
}

TEST_F(WorldServerClientTest, PeerMessagesAreRelayedAcknowledgedAndAnswersStayPrivate)
{
    auto sender = LoggedInClient();
    auto receiver = LoggedInClient();
    std::vector<flimbsworld::PeerMessage> toSender, toReceiver;
    sender->SignalPeer.connect([&](const flimbsworld::PeerMessage* m) { toSender.push_back(*m); });
    receiver->SignalPeer.connect([&](const flimbsworld::PeerMessage* m) { toReceiver.push_back(*m); });
    flimbsworld::PeerCandidates candidates;
    candidates.add_candidate()->set_address("127.0.0.1");
    flimbsworld::Credentials credentials;
    credentials.set_ufrag("u");
    credentials.set_pwd("p");
    std::vector<int> results;
    sender->SendPeerMessage(uint32_t(receiver->ClientId()), candidates, credentials,
                            [&](int result) { results.push_back(result); });
    ASSERT_TRUE(Run([&] { return !results.empty(); }, {sender.get(), receiver.get()}));
    EXPECT_EQ(results, std::vector<int>{1});
    ASSERT_EQ(toReceiver.size(), 1u);
    EXPECT_EQ(int(toReceiver[0].from_client_id()), sender->ClientId());
    EXPECT_EQ(toReceiver[0].credentials().pwd(), "p");
    EXPECT_EQ(toReceiver[0].candidates().candidate(0).address(), "127.0.0.1");
    EXPECT_TRUE(toSender.empty()); // the answer to its own request
    // The request ids: client id in the high half, a counter in the low half.
    ASSERT_GE(server.peerMessages.size(), 2u);
    EXPECT_EQ(sender->PendingRequests(), 0u);
    // A message to nobody comes back as not delivered.
    sender->SendPeerMessage(4242, candidates, credentials, [&](int result) { results.push_back(result); });
    ASSERT_TRUE(Run([&] { return results.size() == 2; }, {sender.get(), receiver.get()}));
    EXPECT_EQ(results[1], 2);
}

TEST_F(WorldServerClientTest, ConnectionFailuresAreReported)
{
    // Nothing listens on the port: refused at once, or seen by the writability test.
    uint16_t closedPort = 0;
    {
        platform::net::TcpListener gone;
        ASSERT_TRUE(gone.Listen(platform::net::MakeIpv4(127, 0, 0, 1), 0));
        closedPort = gone.LocalEndpoint().port;
    }
    GetNetSettings().worldServerPort = closedPort;
    auto refused = MakeClient();
    refused->Connect();
    ASSERT_TRUE(Run([&] { return !connections.empty(); }, {refused.get()}));
    EXPECT_EQ(connections, std::vector<bool>{false});
    EXPECT_EQ(refused->State(), WorldServerClient::kDisconnected);

    // No world server configured: a resolve error.
    connections.clear();
    GetNetSettings().worldServerHost.clear();
    auto unnamed = MakeClient();
    unnamed->Connect();
    EXPECT_EQ(unnamed->State(), WorldServerClient::kResolveError);
    unnamed->Update();
    EXPECT_EQ(connections, std::vector<bool>{false});
}

TEST_F(WorldServerClientTest, AServerThatHangsUpDisconnects)
{
    auto client = LoggedInClient();
    server.Drop(0);
    ASSERT_TRUE(Run([&] { return client->State() == WorldServerClient::kDisconnected; }, {client.get()}));
    // Sending afterwards does nothing.
    client->RegisterServer(flimbsworld::ServerInfo(), {});
    EXPECT_EQ(client->PendingRequests(), 0u);
}

} // namespace
