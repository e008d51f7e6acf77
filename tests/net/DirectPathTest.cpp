// The direct path over real UDP on 127.0.0.1: the client agent and the host's stream
// manager, with the streams on a test clock.
#include "../support/NetWait.h"
#include "../support/PseudoTcpWire.h"

#include "app/GameException.h"
#include "net/PseudoTcpClientAgent.h"
#include "net/PseudoTcpHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using platform::net::Ipv4Endpoint;
using platform::net::MakeIpv4;
using platform::net::UdpSocket;

class DirectPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<PseudoTcpHost>(0, Clock());
        host->SignalStreamReady.connect([this](IFlimbsStream* stream) {
            hostStreams.emplace_back(stream);
        });
    }
    NetClock Clock()
    {
        return [this] { return now; };
    }
    std::unique_ptr<PseudoTcpClientAgent> MakeClient()
    {
        auto client = std::make_unique<PseudoTcpClientAgent>("127.0.0.1", host->Port(), Clock());
        client->SignalStreamReady.connect([this](IFlimbsStream* stream) { clientStreams.push_back(stream); });
        client->SignalFailure.connect([this](const char* text) { failures.emplace_back(text); });
        return client;
    }
    // One frame: every client, the host, then `ms` of test time.
    void Frame(std::initializer_list<PseudoTcpClientAgent*> clients, uint32_t ms = 16)
    {
        for (PseudoTcpClientAgent* client : clients)
            client->UpdateDirect();
        if (host)
            host->Update();
        now += ms;
    }
    // A raw socket of the test that speaks to the host directly.
    static UdpSocket RawSocket()
    {
        UdpSocket socket;
        EXPECT_TRUE(socket.Open());
        EXPECT_TRUE(socket.Bind(MakeIpv4(127, 0, 0, 1), 0));
        socket.SetNonBlocking();
        return socket;
    }
    Ipv4Endpoint HostEndpoint() const { return {MakeIpv4(127, 0, 0, 1), host->Port()}; }

    uint32_t now = 5000;
    std::unique_ptr<PseudoTcpHost> host;
    std::vector<std::unique_ptr<IFlimbsStream>> hostStreams; // owned once handed over
    std::vector<IFlimbsStream*> clientStreams;
    std::vector<std::string> failures;
};

TEST_F(DirectPathTest, ClientAndHostCarryAThousandRecordsEachWayInOrder)
{
    auto client = MakeClient();
    EXPECT_EQ(client->Name(), "CLIENT:127.0.0.1:" + std::to_string(host->Port()));
    ASSERT_TRUE(PumpUntil([&] { return !hostStreams.empty() && !clientStreams.empty(); },
                          [&] { Frame({client.get()}); }));
    ASSERT_EQ(hostStreams.size(), 1u);
    ASSERT_EQ(clientStreams.size(), 1u);
    IFlimbsStream* toHost = clientStreams[0];
    IFlimbsStream* toClient = hostStreams[0].get();
    EXPECT_EQ(toClient->GetName().rfind("HOST:127.0.0.1:", 0), 0u);
    EXPECT_EQ(host->PendingCount(), 0u);

    constexpr int kCount = 1000;
    for (int i = 0; i < kCount; ++i) {
        const auto up = MakeMessage(3, 8 + i % 200, 0, uint8_t(i));
        const auto down = MakeMessage(5, 8 + (i * 7) % 300, 0, uint8_t(i * 3));
        ASSERT_TRUE(toHost->Send(up.data()));
        ASSERT_TRUE(toClient->Send(down.data()));
    }
    int gotUp = 0, gotDown = 0;
    std::vector<uint8_t> buffer(4096);
    ASSERT_TRUE(PumpUntil(
        [&] {
            while (toClient->Receive(buffer.data(), int(buffer.size()))) {
                EXPECT_EQ(buffer[0], 3);
                EXPECT_EQ(buffer[2] | buffer[3] << 8, 8 + gotUp % 200);
                EXPECT_EQ(buffer[7], uint8_t(gotUp));
                ++gotUp;
            }
            while (toHost->Receive(buffer.data(), int(buffer.size()))) {
                EXPECT_EQ(buffer[0], 5);
                EXPECT_EQ(buffer[2] | buffer[3] << 8, 8 + (gotDown * 7) % 300);
                EXPECT_EQ(buffer[7], uint8_t(gotDown * 3));
                ++gotDown;
            }
            return gotUp == kCount && gotDown == kCount;
        },
        [&] { Frame({client.get()}); }));
    EXPECT_TRUE(failures.empty());
    EXPECT_TRUE(client->IsRunning());
}

TEST_F(DirectPathTest, TwoSocketsOfOneAddressGetTwoStreams)
{
    auto first = MakeClient();
    auto second = MakeClient();
    ASSERT_TRUE(PumpUntil([&] { return hostStreams.size() == 2 && clientStreams.size() == 2; },
                          [&] { Frame({first.get(), second.get()}); }));
    EXPECT_NE(hostStreams[0]->GetName(), hostStreams[1]->GetName());
    EXPECT_EQ(host->StreamCount(), 2u);
    // A handed-over stream that its owner deletes leaves the host's list.
    hostStreams.pop_back();
    EXPECT_EQ(host->StreamCount(), 1u);
    Frame({first.get(), second.get()});
}

TEST_F(DirectPathTest, JunkAndHalfHandshakesNeverReachTheServerAndAreReaped)
{
    UdpSocket junk = RawSocket();
    UdpSocket quiet = RawSocket();
    UdpSocket half = RawSocket();
    // Junk: short datagrams and ones with a wrong check word make no stream.
    const std::string noise = "GET / HTTP/1.0\r\n\r\n";
    junk.SendTo(noise.data(), int(noise.size()), HostEndpoint());
    junk.SendTo("x", 1, HostEndpoint());
    Frame({});
    EXPECT_EQ(host->StreamCount(), 0u);
    // A valid header that starts nothing: the stream stays idle until it is reaped.
    const auto idle = BuildDatagram(WireDatagram{}, 0);
    quiet.SendTo(idle.data(), int(idle.size()), HostEndpoint());
    // A connect that is never acknowledged: the host answers, then gives up.
    WireDatagram connect;
    auto ctrl = MakeMessage(FlimbsPseudoTcp::kNetInfoCtrl, 12, 1);
    connect.records = {{1, 0, ctrl}};
    const auto bytes = BuildDatagram(connect, 0);
    half.SendTo(bytes.data(), int(bytes.size()), HostEndpoint());
    Frame({});
    EXPECT_EQ(host->StreamCount(), 2u);
    EXPECT_EQ(host->PendingCount(), 2u);

    ASSERT_TRUE(PumpUntil([&] { return host->StreamCount() == 0; }, [&] { Frame({}, 100); }));
    EXPECT_TRUE(hostStreams.empty());
    // The half-open peer heard the host's side of the handshake.
    std::vector<uint8_t> buffer(65535);
    int answers = 0;
    while (half.ReceiveFrom(buffer.data(), int(buffer.size())) > 0)
        ++answers;
    EXPECT_GT(answers, 1);
}

TEST_F(DirectPathTest, NewSendersBeyondTheHandshakeLimitAreIgnored)
{
    std::vector<UdpSocket> senders;
    const auto idle = BuildDatagram(WireDatagram{}, 0);
    for (size_t i = 0; i < PseudoTcpHost::kMaxPendingStreams + 6; ++i) {
        senders.push_back(RawSocket());
        senders.back().SendTo(idle.data(), int(idle.size()), HostEndpoint());
    }
    Frame({});
    EXPECT_EQ(host->PendingCount(), PseudoTcpHost::kMaxPendingStreams);
    // A real client still gets through once the idle ones are reaped.
    now += PseudoTcpHost::kHandshakeTimeoutMs + 1;
    auto client = MakeClient();
    ASSERT_TRUE(PumpUntil([&] { return !hostStreams.empty(); }, [&] { Frame({client.get()}); }));
}

TEST_F(DirectPathTest, AStoppedHostTimesTheClientOut)
{
    auto client = MakeClient();
    ASSERT_TRUE(PumpUntil([&] { return !clientStreams.empty(); }, [&] { Frame({client.get()}); }));
    hostStreams.clear();
    host.reset();
    const auto message = MakeMessage(3, 20);
    ASSERT_TRUE(clientStreams[0]->Send(message.data()));
    ASSERT_TRUE(PumpUntil([&] { return !failures.empty(); }, [&] { Frame({client.get()}, 50); }));
    EXPECT_EQ(failures, std::vector<std::string>{"The connection to the server timed out."});
    EXPECT_FALSE(client->IsRunning());
}

TEST_F(DirectPathTest, NoHostAtAllTimesTheClientOut)
{
    const uint16_t port = host->Port();
    host.reset();
    PseudoTcpClientAgent client("127.0.0.1", port, Clock());
    std::vector<std::string> texts;
    client.SignalFailure.connect([&](const char* text) { texts.emplace_back(text); });
    ASSERT_TRUE(PumpUntil([&] { return !texts.empty(); }, [&] { Frame({&client}, 50); }));
    EXPECT_EQ(texts, std::vector<std::string>{"The connection to the server timed out."});
}

TEST(DirectHostTest, APortInUseCannotBeBound)
{
    PseudoTcpHost first(0);
    EXPECT_THROW(
        {
            try {
                PseudoTcpHost second(first.Port());
            } catch (const GameException& error) {
                EXPECT_STREQ(error.what(), "Couldn't bind to address");
                throw;
            }
        },
        GameException);
}

} // namespace
