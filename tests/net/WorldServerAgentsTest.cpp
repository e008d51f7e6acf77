// The client and host agents of the internet path: through the test world server and ICE on
// the loopback address, on a test clock.
#include "../support/FakeWorldServer.h"
#include "../support/NetSettingsScope.h"
#include "../support/NetWait.h"
#include "../support/PseudoTcpWire.h"

#include "net/FlimbsUdpStream.h"
#include "net/IceAgent.h"
#include "net/NetServices.h"
#include "net/WorldServerClient.h"
#include "net/WorldServerClientAgent.h"
#include "net/WorldServerHostAgent.h"
#include "platform/desktop/OpenUrl.h"

#include <gtest/gtest.h>
#include <nice/agent.h>

#include <memory>

namespace {

class WorldServerAgentsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetNetSettings().worldServerHost = "127.0.0.1";
        GetNetSettings().worldServerPort = server.Port();
        SetNetNoticeSink([this](const std::string& text) { notices.push_back(text); });
        platform::SetOpenUrlHandler([this](const std::string& url) {
            openedUrls.push_back(url);
            return true;
        });
    }
    void TearDown() override
    {
        SetNetNoticeSink({});
        platform::SetOpenUrlHandler({});
    }
    NetClock Clock()
    {
        return [this] { return now; };
    }
    std::unique_ptr<WorldServerHostAgent> MakeHost()
    {
        auto host = std::make_unique<WorldServerHostAgent>(Clock());
        host->listingSource = [this] { return listing; };
        host->showProblemBox = [this](const std::string& title, const std::string& text,
                                      std::function<void()> openHelp) {
            boxes.push_back(title + "|" + text);
            openHelp();
        };
        host->SignalStreamReady.connect([this](IFlimbsStream* stream) { hostStreams.emplace_back(stream); });
        return host;
    }
    std::unique_ptr<WorldServerClientAgent> MakeClientAgent(int hostClientId)
    {
        auto agent = std::make_unique<WorldServerClientAgent>(hostClientId, Clock());
        agent->SignalStreamReady.connect([this](IFlimbsStream* stream) { clientStreams.push_back(stream); });
        agent->SignalFailure.connect([this](const char* text) { failures.emplace_back(text); });
        return agent;
    }
    // One round: the world server, the host, the client agents, then 16 ms of test time.
    bool Run(const std::function<bool()>& done, WorldServerHostAgent* host,
             std::initializer_list<ClientAgent*> clients = {}, std::initializer_list<WorldServerClient*> raw = {})
    {
        return PumpUntil(done, [&] {
            server.Pump();
            if (host)
                host->Pump();
            for (ClientAgent* client : clients)
                client->Update();
            for (WorldServerClient* client : raw)
                client->Update();
            now += 16;
        });
    }

    NetSettingsScope settings;
    FakeWorldServer server;
    uint32_t now = 100000;
    HostListing listing;
    std::vector<std::string> notices;
    std::vector<std::string> boxes;
    std::vector<std::string> openedUrls;
    std::vector<std::unique_ptr<IFlimbsStream>> hostStreams;
    std::vector<IFlimbsStream*> clientStreams;
    std::vector<std::string> failures;
};

TEST_F(WorldServerAgentsTest, ClientJoinsHostThroughTheWorldServerAndIce)
{
    auto host = MakeHost();
    ASSERT_TRUE(Run([&] { return host->Client()->State() == WorldServerClient::kLoggedIn; }, host.get()));
    auto client = MakeClientAgent(host->Client()->ClientId());
    ASSERT_TRUE(Run([&] { return !hostStreams.empty() && !clientStreams.empty(); }, host.get(), {client.get()}));
    EXPECT_TRUE(failures.empty());
    ASSERT_EQ(clientStreams.size(), 1u);
    EXPECT_EQ(clientStreams[0], client->Stream());
    EXPECT_EQ(client->Stream()->ConnectionKey(), FlimbsPseudoTcp::kIceConnectionKey);
    EXPECT_EQ(client->Stream()->GetName(), "WCS CLIENT: client [1001] <==> server_client_id [1000]");
    EXPECT_EQ(hostStreams[0]->GetName(), "WCS HOST: host_client_id [1000] <==> peer_client_id [1001]");

    // Records travel both ways over the reliable streams.
    const auto up = MakeMessage(3, 30, 0, 'u');
    const auto down = MakeMessage(3, 40, 0, 'd');
    ASSERT_TRUE(clientStreams[0]->Send(up.data()));
    ASSERT_TRUE(hostStreams[0]->Send(down.data()));
    std::vector<uint8_t> atHost(64), atClient(64);
    bool hostGot = false, clientGot = false;
    ASSERT_TRUE(Run(
        [&] {
            hostGot = hostGot || hostStreams[0]->Receive(atHost.data(), 64);
            clientGot = clientGot || clientStreams[0]->Receive(atClient.data(), 64);
            return hostGot && clientGot;
        },
        host.get(), {client.get()}));
    EXPECT_EQ(atHost[6], 'u');
    EXPECT_EQ(atClient[6], 'd');

    // A second ICE success makes no second stream on either side.
    FlimbsPseudoTcp* clientStream = client->Stream();
    FlimbsUdpStream* hostIce = host->Ice()->Streams().at(0);
    hostIce->OnComponentState(NICE_COMPONENT_STATE_FAILED);
    hostIce->OnComponentState(NICE_COMPONENT_STATE_CONNECTED);
    client->IceStream()->OnComponentState(NICE_COMPONENT_STATE_CONNECTING);
    client->IceStream()->OnComponentState(NICE_COMPONENT_STATE_CONNECTED);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(host->StreamCount(), 1u);
    EXPECT_EQ(host->Ice()->Streams().size(), 1u);
    EXPECT_EQ(client->Stream(), clientStream);

    // The host goes first: the handed-over stream outlives its ICE stream safely.
    host.reset();
    const auto late = MakeMessage(3, 20);
    EXPECT_TRUE(hostStreams[0]->Send(late.data()));
    hostStreams.clear();
}

TEST_F(WorldServerAgentsTest, CandidatesGatheredBeforeTheLoginAreSentOnceItSucceeds)
{
    auto host = MakeHost();
    ASSERT_TRUE(Run([&] { return host->Client()->State() == WorldServerClient::kLoggedIn; }, host.get()));
    server.options.holdLogins = true;
    auto client = MakeClientAgent(host->Client()->ClientId());
    ASSERT_TRUE(Run([&] { return server.hellos.size() == 2; }, host.get(), {client.get()}));
    // Give gathering every chance to finish while the login answer is held back.
    for (int i = 0; i < 100; ++i) {
        server.Pump();
        client->Update();
    }
    EXPECT_FALSE(client->IsAuthenticated());
    EXPECT_TRUE(server.peerMessages.empty());
    server.ReleaseLogins();
    ASSERT_TRUE(Run([&] { return !clientStreams.empty(); }, host.get(), {client.get()}));
    int fromClient = 0;
    for (const auto& message : server.peerMessages)
        fromClient += message.from_client_id() == 1001 && message.candidates().candidate_size() > 0;
    EXPECT_EQ(fromClient, 1);
}

TEST_F(WorldServerAgentsTest, AnswersFromOtherClientsAreIgnored)
{
    // A stand-in host that acknowledges but never answers, and a stranger who does.
    auto standIn = std::make_unique<WorldServerClient>(Clock());
    auto stranger = std::make_unique<WorldServerClient>(Clock());
    standIn->Connect();
    stranger->Connect();
    ASSERT_TRUE(Run(
        [&] {
            return standIn->State() == WorldServerClient::kLoggedIn && stranger->State() == WorldServerClient::kLoggedIn;
        },
        nullptr, {}, {standIn.get(), stranger.get()}));
    auto client = MakeClientAgent(standIn->ClientId());
    ASSERT_TRUE(Run([&] { return server.peerMessages.size() >= 2; }, nullptr, {client.get()},
                    {standIn.get(), stranger.get()})); // the candidates and their acknowledgement
    flimbsworld::PeerCandidates candidates;
    auto* candidate = candidates.add_candidate();
    candidate->set_address("127.0.0.1");
    candidate->set_port(9);
    flimbsworld::Credentials credentials;
    credentials.set_ufrag("ufrag");
    credentials.set_pwd("password-of-the-stranger");
    bool acknowledged = false;
    stranger->SendPeerMessage(uint32_t(client->Client()->ClientId()), candidates, credentials,
                              [&](int) { acknowledged = true; });
    ASSERT_TRUE(Run([&] { return acknowledged; }, nullptr, {client.get()}, {standIn.get(), stranger.get()}));
    GSList* remote = nice_agent_get_remote_candidates(client->IceStream()->Agent()->Agent(),
                                                      client->IceStream()->StreamId(), 1);
    EXPECT_EQ(g_slist_length(remote), 0u);
    g_slist_free_full(remote, reinterpret_cast<GDestroyNotify>(nice_candidate_free));
    EXPECT_TRUE(failures.empty());
    EXPECT_TRUE(client->IsRunning());
}

TEST_F(WorldServerAgentsTest, TheClientAgentStopsWaitingAfterItsTimeOut)
{
    struct Case {
        const char* name;
        bool silent;
        int hostId;
    } cases[] = {{"no login", true, 0}, {"no peer", false, 4242}};
    for (const Case& c : cases) {
        server.options.silent = c.silent;
        failures.clear();
        auto client = MakeClientAgent(c.hostId);
        const uint32_t start = now;
        ASSERT_TRUE(Run([&] { return !failures.empty(); }, nullptr, {client.get()})) << c.name;
        if (c.silent) {
            EXPECT_EQ(failures, std::vector<std::string>{"Couldn't establish a connection!"}) << c.name;
            EXPECT_GE(now - start, WorldServerClientAgent::kEstablishTimeoutMs);
        } else {
            EXPECT_EQ(failures, std::vector<std::string>{"Couldn't send candidates to peer!"}) << c.name;
        }
        EXPECT_FALSE(client->IsRunning());
    }
}

TEST_F(WorldServerAgentsTest, NoWorldServerFailsTheClientAgent)
{
    GetNetSettings().worldServerHost.clear();
    auto client = MakeClientAgent(1);
    ASSERT_TRUE(Run([&] { return !failures.empty(); }, nullptr, {client.get()}));
    EXPECT_EQ(failures, std::vector<std::string>{"World Server Client Connection Failed!"});
}

TEST_F(WorldServerAgentsTest, PublishingListsTheMatchAndRefreshesIt)
{
    listing.matchText = "Cave of Wonders";
    listing.levelFile = "cave01";
    listing.modeValue = 4;
    listing.maxPlayers = 6;
    listing.serverState = 2;
    HostListing::Player ann{"ann", "ann@home", {}, false};
    ann.profileId[15] = 0xAB;
    listing.players = {ann, {"bob", "", {}, true}, {"cy", "cy@home", {}, false}};
    auto host = MakeHost();
    ASSERT_TRUE(Run([&] { return host->Client()->State() == WorldServerClient::kLoggedIn; }, host.get()));
    // A refresh before the world server has acknowledged a registration only marks one as
    // wanted; the acknowledgement then sends it.
    host->Publish(false);
    for (int i = 0; i < 20; ++i)
        host->Pump(), server.Pump();
    EXPECT_TRUE(server.registrations.empty());
    host->Publish(true);
    host->Publish(false);
    ASSERT_TRUE(Run([&] { return server.registrations.size() == 2; }, host.get()));
    const flimbsworld::ServerInfo& full = server.registrations[0];
    EXPECT_EQ(full.server_name(), WorldServerHostAgent::ServerNameSetting());
    EXPECT_EQ(full.level_title(), "Cave of Wonders");
    EXPECT_EQ(full.level_guid(), "cave01");
    EXPECT_EQ(full.game_mode(), 4u);
    EXPECT_EQ(full.max_players(), 6u);
    EXPECT_EQ(full.server_port(), 9877u);
    EXPECT_EQ(full.players(), 2u); // the observer is not counted
    ASSERT_EQ(full.player_size(), 2);
    EXPECT_EQ(full.player(0).name(), "ann");
    EXPECT_EQ(full.player(0).detail(), "ann@home");
    EXPECT_EQ(full.player(0).player_uuid(), "00000000-0000-0000-0000-0000000000ab");
    EXPECT_EQ(full.player(1).name(), "cy");
    // The wanted refresh followed the first acknowledgement; it carries no match details.
    const flimbsworld::ServerInfo& refresh = server.registrations[1];
    EXPECT_FALSE(refresh.has_server_name());
    EXPECT_FALSE(refresh.has_server_port());
    EXPECT_EQ(refresh.players(), 2u);
    EXPECT_EQ(refresh.server_state(), 2u);
    EXPECT_EQ(notices, std::vector<std::string>(2, "Your server has been publicly listed."));
    EXPECT_TRUE(boxes.empty());

    // Five minutes on, the agent refreshes by itself.
    now += WorldServerHostAgent::kRefreshMs + 1;
    ASSERT_TRUE(Run([&] { return server.registrations.size() == 3; }, host.get()));
    EXPECT_FALSE(server.registrations[2].has_server_name());
}

TEST_F(WorldServerAgentsTest, AnUnreachableServerAsksAboutPortForwardingOnce)
{
    server.options.registeredId = 0;
    server.options.registerReason = 1;
    auto host = MakeHost();
    ASSERT_TRUE(Run([&] { return host->Client()->State() == WorldServerClient::kLoggedIn; }, host.get()));
    host->Publish(true);
    host->Publish(true);
    ASSERT_TRUE(Run([&] { return host->Client()->PendingRequests() == 0 && server.registrations.size() == 2; },
                    host.get()));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Network Problem|Flimbs has detected that your server is not publicly accessible via the "
                        "internet.\nWould you like to view help on port forwarding?");
    EXPECT_EQ(openedUrls, std::vector<std::string>{GetNetSettings().portForwardingHelpUrl});
    EXPECT_TRUE(notices.empty());
    EXPECT_TRUE(host->NetworkProblemShown());
    // Never registered, so refreshes wait.
    host->Publish(false);
    Run([&] { return true; }, host.get());
    EXPECT_EQ(server.registrations.size(), 2u);
}

TEST_F(WorldServerAgentsTest, OneIceStreamPerJoiningClientAtATime)
{
    auto host = MakeHost();
    auto joining = std::make_unique<WorldServerClient>(Clock());
    joining->Connect();
    ASSERT_TRUE(Run(
        [&] {
            return host->Client()->State() == WorldServerClient::kLoggedIn &&
                   joining->State() == WorldServerClient::kLoggedIn;
        },
        host.get(), {}, {joining.get()}));
    flimbsworld::PeerCandidates candidates;
    flimbsworld::Credentials credentials;
    credentials.set_ufrag("abcd");
    credentials.set_pwd("0123456789abcdefghijkl");
    int acknowledged = 0;
    for (int i = 0; i < 2; ++i)
        joining->SendPeerMessage(uint32_t(host->Client()->ClientId()), candidates, credentials,
                                 [&](int) { ++acknowledged; });
    ASSERT_TRUE(Run([&] { return acknowledged == 2; }, host.get(), {}, {joining.get()}));
    EXPECT_EQ(host->Ice()->Streams().size(), 1u);
    // A pending ICE stream that never gets a result is dropped in time.
    now += WorldServerHostAgent::kIceTimeoutMs + 1;
    host->Pump();
    EXPECT_EQ(host->Ice()->Streams().size(), 0u);
}

} // namespace
