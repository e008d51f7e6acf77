// The non-blocking socket layer on 127.0.0.1.
#include "platform/net/Socket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

using namespace platform::net;

TEST(SocketTest, NamesResolveToIpv4)
{
    Ipv4Endpoint endpoint;
    ASSERT_TRUE(ResolveIpv4("127.0.0.1", 51334, endpoint));
    EXPECT_EQ(endpoint.address, MakeIpv4(127, 0, 0, 1));
    EXPECT_EQ(endpoint.port, 51334);
    ASSERT_TRUE(ResolveIpv4("localhost", 80, endpoint));
    EXPECT_EQ(Ipv4Text(endpoint.address), "127.0.0.1");
    EXPECT_FALSE(ResolveIpv4("no-such-host.invalid", 80, endpoint));
    EXPECT_FALSE(ResolveIpv4("", 80, endpoint));
    uint32_t address = 0;
    EXPECT_TRUE(ParseIpv4("225.243.152.198", address));
    EXPECT_EQ(Ipv4Text(address), "225.243.152.198");
    EXPECT_FALSE(ParseIpv4("225.243.152", address));
}

TEST(SocketTest, DatagramsCarryTheirSenderAndLongOnesAreReported)
{
    UdpSocket receiver, sender;
    ASSERT_TRUE(receiver.Open() && receiver.Bind(MakeIpv4(127, 0, 0, 1), 0) && receiver.SetNonBlocking());
    ASSERT_TRUE(sender.Open() && sender.Bind(MakeIpv4(127, 0, 0, 1), 0));
    char buffer[16];
    EXPECT_EQ(receiver.ReceiveFrom(buffer, sizeof buffer), kWouldBlock);
    const std::string longer(17, 'x');
    ASSERT_EQ(sender.SendTo(longer.data(), int(longer.size()), receiver.LocalEndpoint()), 17);
    ASSERT_EQ(sender.SendTo("hi", 2, receiver.LocalEndpoint()), 2);
    ASSERT_EQ(sender.SendTo("", 0, receiver.LocalEndpoint()), 0);
    Ipv4Endpoint from;
    int got = kWouldBlock;
    for (int i = 0; i < 2000 && got == kWouldBlock; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(1)))
        got = receiver.ReceiveFrom(buffer, sizeof buffer, &from);
    EXPECT_EQ(got, kTruncated); // dropped, not 16 good bytes
    EXPECT_EQ(receiver.ReceiveFrom(buffer, sizeof buffer, &from), 2);
    EXPECT_EQ(from, sender.LocalEndpoint());
    EXPECT_EQ(receiver.ReceiveFrom(buffer, sizeof buffer), 0); // an empty datagram
}

TEST(SocketTest, TcpConnectionsConfirmWithThePendingError)
{
    TcpListener listener;
    ASSERT_TRUE(listener.Listen(MakeIpv4(127, 0, 0, 1), 0));
    TcpSocket client;
    ASSERT_TRUE(client.Open() && client.SetNonBlocking());
    EXPECT_NE(client.Connect(listener.LocalEndpoint()), ConnectResult::Failed);
    for (int i = 0; i < 2000 && !client.IsWritable(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(client.PendingError(), 0);
    TcpSocket accepted;
    for (int i = 0; i < 2000 && !accepted.IsOpen(); ++i, std::this_thread::sleep_for(std::chrono::milliseconds(1)))
        accepted = listener.Accept();
    ASSERT_TRUE(accepted.IsOpen());
    EXPECT_EQ(client.Send("ping", 4), 4);
    char buffer[8];
    int got = kWouldBlock;
    for (int i = 0; i < 2000 && got == kWouldBlock; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(1)))
        got = accepted.Receive(buffer, sizeof buffer);
    EXPECT_EQ(got, 4);
    accepted.Close();
    got = kWouldBlock;
    for (int i = 0; i < 2000 && got == kWouldBlock; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(1)))
        got = client.Receive(buffer, sizeof buffer);
    EXPECT_EQ(got, 0); // closed by the peer

    // Refused: at once, or as a pending error once writable.
    const Ipv4Endpoint closed = listener.LocalEndpoint();
    listener.Close();
    TcpSocket refused;
    ASSERT_TRUE(refused.Open() && refused.SetNonBlocking());
    if (refused.Connect(closed) == ConnectResult::InProgress) {
        for (int i = 0; i < 2000 && !refused.IsWritable(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_NE(refused.PendingError(), 0);
    }
}

} // namespace
