// The LAN announcement sockets on the loopback address; a test group and ephemeral ports,
// never the game's own group.
#include "../support/NetWait.h"

#include "app/GameException.h"
#include "net/LanMulticast.h"
#include "net/NetSettings.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr const char* kTestGroup = "239.255.83.97";

// A receiver on the test group, or none when the machine refuses to join it.
std::unique_ptr<LanMulticastReceiver> TestReceiver(int port)
{
    try {
        return std::make_unique<LanMulticastReceiver>(kTestGroup, port);
    } catch (const GameException& error) {
        if (error.Message() == "Failed to join multicast group")
            return nullptr;
        throw;
    }
}

TEST(LanMulticastTest, DefaultsAreTheGamesGroupAndPort)
{
    const LanMulticastSender sender;
    EXPECT_EQ(platform::net::Ipv4Text(sender.Destination().address), "225.243.152.198");
    EXPECT_EQ(sender.Destination().port, 53997);
    EXPECT_TRUE(sender.enabled);
    EXPECT_EQ(sender.intervalMs, 1000u);
    EXPECT_EQ(sender.elapsedMs, 0u);
}

TEST(LanMulticastTest, TwoReceiversShareThePortAndDatagramsCarryTheirSender)
{
    auto first = TestReceiver(0);
    if (!first)
        GTEST_SKIP() << "joining a multicast group is refused here";
    auto second = TestReceiver(first->Port());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Port(), first->Port());

    LanMulticastSender sender("127.0.0.1", first->Port());
    const std::string record = "<flimbs-lan-broadcast hash=\"1\"/>";
    ASSERT_EQ(sender.Send(record.c_str(), int(record.size()) + 1), int(record.size()) + 1);
    char buffer[LanMulticastReceiver::kMaxDatagram];
    std::string address;
    int port = 0;
    int got = -1;
    ASSERT_TRUE(PumpUntil([&] { return got >= 0; }, [&] {
        got = first->Receive(buffer, &address, &port);
        if (got < 0)
            got = second->Receive(buffer, &address, &port);
    }));
    EXPECT_EQ(got, int(record.size()) + 1);
    EXPECT_EQ(std::string(buffer), record);
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_GT(port, 0);
    EXPECT_EQ(first->Receive(buffer), -1); // nothing else waits
    EXPECT_EQ(second->Receive(buffer), -1);
}

TEST(LanMulticastTest, ADatagramOverTheLimitIsAnError)
{
    auto receiver = TestReceiver(0);
    if (!receiver)
        GTEST_SKIP() << "joining a multicast group is refused here";
    LanMulticastSender sender("127.0.0.1", receiver->Port());
    const std::string big(LanMulticastReceiver::kMaxDatagram + 1, 'x');
    const std::string exact(LanMulticastReceiver::kMaxDatagram, 'y');
    ASSERT_GT(sender.Send(big.data(), int(big.size())), 0);
    ASSERT_GT(sender.Send(exact.data(), int(exact.size())), 0);
    char buffer[LanMulticastReceiver::kMaxDatagram];
    std::vector<int> results;
    ASSERT_TRUE(PumpUntil([&] { return results.size() == 2; }, [&] {
        const int got = receiver->Receive(buffer);
        if (got != platform::net::kWouldBlock)
            results.push_back(got);
    }));
    EXPECT_LT(results[0], 0);
    EXPECT_EQ(results[1], LanMulticastReceiver::kMaxDatagram);
}

} // namespace
