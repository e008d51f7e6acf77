// ICE agents and their datagram streams on the loopback address, without STUN.
#include "../support/NetSettingsScope.h"
#include "../support/NetWait.h"
#include "../support/PseudoTcpWire.h"

#include "net/FlimbsPseudoTcp.h"
#include "net/FlimbsUdpStream.h"
#include "net/IceAgent.h"

#include <gtest/gtest.h>
#include <nice/agent.h>

#include <memory>
#include <string>

namespace {

struct Side {
    explicit Side(bool controlling) : agent(std::make_unique<IceAgent>(controlling)), stream(agent->CreateStream())
    {
        stream->SignalCandidatesGathered.connect([this](FlimbsUdpStream*) { gathered = true; });
        stream->SignalIceResult.connect([this](FlimbsUdpStream*, bool ok) { results.push_back(ok); });
        stream->SignalReceived.connect(
            [this](const uint8_t* data, int length) { received.emplace_back(data, data + length); });
    }
    std::unique_ptr<IceAgent> agent;
    FlimbsUdpStream* stream;
    bool gathered = false;
    std::vector<bool> results;
    std::vector<std::vector<uint8_t>> received;
};

class IceTest : public ::testing::Test {
protected:
    NetSettingsScope settings;
};

// Hands one side's candidates and credentials to the other.
void Introduce(Side& from, Side& to)
{
    flimbsworld::PeerCandidates candidates;
    flimbsworld::Credentials credentials;
    from.stream->GetLocalCandidates(candidates);
    from.stream->GetLocalCredentials(credentials);
    ASSERT_GT(candidates.candidate_size(), 0);
    EXPECT_FALSE(credentials.ufrag().empty());
    EXPECT_FALSE(credentials.pwd().empty());
    for (const auto& candidate : candidates.candidate()) {
        EXPECT_EQ(candidate.address(), "127.0.0.1");
        if (candidate.transport() == NICE_CANDIDATE_TRANSPORT_UDP) {
            EXPECT_GT(candidate.port(), 0u);
        }
    }
    ASSERT_TRUE(to.stream->SetRemoteCredentials(credentials));
    EXPECT_EQ(to.stream->SetRemoteCandidates(candidates), candidates.candidate_size());
}

TEST_F(IceTest, TwoAgentsConnectOnLoopbackAndCarryAReliableStream)
{
    Side host(true), client(false);
    ASSERT_TRUE(host.stream && client.stream);
    ASSERT_TRUE(host.stream->GatherCandidates());
    ASSERT_TRUE(client.stream->GatherCandidates());
    auto pump = [&] {
        host.agent->Pump();
        client.agent->Pump();
    };
    ASSERT_TRUE(PumpUntil([&] { return host.gathered && client.gathered; }, pump));
    Introduce(host, client);
    Introduce(client, host);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(PumpUntil([&] { return !host.results.empty() && !client.results.empty(); }, pump));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(host.results, std::vector<bool>{true});
    EXPECT_EQ(client.results, std::vector<bool>{true});

    const std::string ping = "ping", pong = "pong!";
    EXPECT_EQ(client.stream->Send(ping.data(), int(ping.size())), int(ping.size()));
    EXPECT_EQ(host.stream->Send(pong.data(), int(pong.size())), int(pong.size()));
    ASSERT_TRUE(PumpUntil([&] { return !host.received.empty() && !client.received.empty(); }, pump));
    EXPECT_EQ(std::string(host.received[0].begin(), host.received[0].end()), ping);
    EXPECT_EQ(std::string(client.received[0].begin(), client.received[0].end()), pong);

    FlimbsPseudoTcp hostTcp(host.stream), clientTcp(client.stream);
    hostTcp.SetConnectionKey(FlimbsPseudoTcp::kIceConnectionKey);
    clientTcp.SetConnectionKey(FlimbsPseudoTcp::kIceConnectionKey);
    ASSERT_TRUE(clientTcp.Connect());
    auto pumpTcp = [&] {
        hostTcp.Update(true);
        clientTcp.Update(true);
        pump();
    };
    ASSERT_TRUE(PumpUntil([&] { return hostTcp.IsConnected() && clientTcp.IsConnected(); }, pumpTcp));
    for (int i = 0; i < 50; ++i) {
        const auto message = MakeMessage(3, 40 + i, 0, uint8_t(i));
        ASSERT_TRUE(clientTcp.Send(message.data()));
    }
    int got = 0;
    ASSERT_TRUE(PumpUntil(
        [&] {
            std::vector<uint8_t> buffer(4096);
            while (hostTcp.Receive(buffer.data(), int(buffer.size()))) {
                EXPECT_EQ(buffer[6], got);
                EXPECT_EQ(buffer[2], 40 + got);
                ++got;
            }
            return got == 50;
        },
        pumpTcp));
}

TEST_F(IceTest, ComponentStatesReportEachResultOnce)
{
    IceAgent agent(false);
    struct Case {
        std::vector<uint32_t> states;
        std::vector<bool> results;
    } cases[] = {
        {{1, 2, 3}, {true}},
        {{1, 2, 3, 3}, {true}},          // a repeat is ignored
        {{1, 2, 3, 4, 3}, {true}},       // back from ready to connected is ignored
        {{1, 2, 3, 4, 5}, {true, false}}, // failing after success is reported
        {{1, 2, 5}, {false}},
        {{1, 2, 5, 2, 3}, {false, true}},
        {{0, 1, 2, 6}, {}},
    };
    for (const Case& c : cases) {
        FlimbsUdpStream* stream = agent.CreateStream();
        ASSERT_NE(stream, nullptr);
        std::vector<bool> results;
        stream->SignalIceResult.connect([&](FlimbsUdpStream*, bool ok) { results.push_back(ok); });
        for (uint32_t state : c.states)
            stream->OnComponentState(state);
        EXPECT_EQ(results, c.results) << "sequence of " << c.states.size();
        agent.RemoveStream(stream);
    }
}

TEST_F(IceTest, RemoteCandidatesAreCheckedAndCopied)
{
    IceAgent agent(true);
    FlimbsUdpStream* stream = agent.CreateStream();
    ASSERT_NE(stream, nullptr);
    flimbsworld::PeerCandidates candidates;
    auto add = [&](const std::string& address, uint32_t type, uint32_t transport) {
        flimbsworld::Candidate* candidate = candidates.add_candidate();
        candidate->set_type(type);
        candidate->set_address(address);
        candidate->set_port(40000 + uint32_t(candidates.candidate_size()));
        candidate->set_transport(transport);
        candidate->set_priority(1000 - uint32_t(candidates.candidate_size()));
        candidate->set_foundation(std::string(40, 'f'));
        return candidate;
    };
    add("127.0.0.1", NICE_CANDIDATE_TYPE_HOST, NICE_CANDIDATE_TRANSPORT_UDP);
    flimbsworld::Candidate* withSecrets = add("127.0.0.2", NICE_CANDIDATE_TYPE_SERVER_REFLEXIVE, 0);
    withSecrets->set_username("user");
    withSecrets->set_password("secret");
    withSecrets->set_foundation("short");
    add("not an address", NICE_CANDIDATE_TYPE_HOST, 0);
    add("127.0.0.3", 9, 0);  // no such type
    add("127.0.0.4", 0, 17); // no such transport
    add("127.0.0.5", 0, 0)->set_port(70000);
    EXPECT_EQ(stream->SetRemoteCandidates(candidates), 2);

    GSList* remote = nice_agent_get_remote_candidates(agent.Agent(), stream->StreamId(), 1);
    ASSERT_EQ(g_slist_length(remote), 2u);
    for (GSList* item = remote; item; item = item->next) {
        auto* candidate = static_cast<NiceCandidate*>(item->data);
        char address[NICE_ADDRESS_STRING_LEN] = {};
        nice_address_to_string(&candidate->addr, address);
        if (std::string(address) == "127.0.0.1") {
            EXPECT_EQ(std::string(candidate->foundation), std::string(32, 'f')); // cut to 32
            EXPECT_EQ(candidate->username, nullptr);
            EXPECT_EQ(candidate->password, nullptr);
            EXPECT_EQ(nice_address_get_port(&candidate->addr), 40001u);
        } else {
            EXPECT_EQ(std::string(address), "127.0.0.2");
            EXPECT_STREQ(candidate->username, "user");
            EXPECT_STREQ(candidate->password, "secret");
            EXPECT_STREQ(candidate->foundation, "short");
            EXPECT_EQ(candidate->type, NICE_CANDIDATE_TYPE_SERVER_REFLEXIVE);
        }
        nice_candidate_free(candidate);
    }
    g_slist_free(remote);
}

TEST_F(IceTest, EveryPathDeletesAStreamOnce)
{
    int destroyed = 0;
    {
        auto agent = std::make_unique<IceAgent>(false);
        FlimbsUdpStream* direct = agent->CreateStream();
        FlimbsUdpStream* removed = agent->CreateStream();
        FlimbsUdpStream* left = agent->CreateStream();
        for (FlimbsUdpStream* stream : {direct, removed, left})
            stream->SignalDestroyed.connect([&](FlimbsUdpStream*) { ++destroyed; });
        delete direct; // the stream itself first: it leaves its agent's list
        EXPECT_EQ(agent->Streams().size(), 2u);
        EXPECT_EQ(agent->FindStream(removed->StreamId()), removed);
        agent->RemoveStream(removed);
        agent->RemoveStream(removed); // no longer listed: left alone
        EXPECT_EQ(agent->Streams().size(), 1u);
        EXPECT_EQ(destroyed, 2);
        agent.reset(); // deletes the one left
    }
    EXPECT_EQ(destroyed, 3);
}

} // namespace
