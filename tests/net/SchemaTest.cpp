// The flimbsworld messages on the wire.
#include "net/flimbsworld.pb.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace flimbsworld;

TEST(SchemaTest, ServerHelloNeedsItsSeed)
{
    ServerHello hello;
    hello.set_name("world");
    hello.set_protocol_version(1);
    std::string bytes;
    ASSERT_FALSE(hello.IsInitialized());
    hello.SerializePartialToString(&bytes);
    ServerHello parsed;
    EXPECT_FALSE(parsed.ParseFromString(bytes));

    ServerHello seedOnly;
    seedOnly.set_seed("abc");
    ASSERT_TRUE(seedOnly.SerializeToString(&bytes));
    ASSERT_TRUE(parsed.ParseFromString(bytes));
    EXPECT_EQ(parsed.seed(), "abc");
    EXPECT_EQ(parsed.name(), "");
    EXPECT_EQ(parsed.protocol_version(), 0u);
}

TEST(SchemaTest, APlayerWithoutUuidLeavesEveryEnvelopeUninitialised)
{
    ServerInfo info;
    info.set_server_name("host");
    FlimbsPlayer* player = info.add_player();
    player->set_name("ann");
    player->set_detail("account");
    EXPECT_FALSE(info.IsInitialized());
    ServerListing listing;
    *listing.add_server() = info;
    EXPECT_FALSE(listing.IsInitialized());
    GenericClientMessage envelope;
    envelope.set_request_id(1);
    *envelope.mutable_server_info() = info;
    EXPECT_FALSE(envelope.IsInitialized());

    player->set_player_uuid("00112233-4455-6677-8899-aabbccddeeff");
    *listing.mutable_server(0) = info;
    *envelope.mutable_server_info() = info;
    EXPECT_TRUE(info.IsInitialized());
    EXPECT_TRUE(listing.IsInitialized());
    EXPECT_TRUE(envelope.IsInitialized());
    // The envelope also needs its request id.
    GenericServerMessage answer;
    EXPECT_FALSE(answer.IsInitialized());
}

TEST(SchemaTest, PeerMessageKindDefaultsToOneAndDropsUnknownValues)
{
    PeerMessage message;
    message.set_from_client_id(3);
    message.set_to_client_id(9);
    std::string bytes;
    ASSERT_TRUE(message.SerializeToString(&bytes));
    EXPECT_EQ(bytes, std::string("\x08\x03\x10\x09", 4)); // no field 4
    PeerMessage parsed;
    ASSERT_TRUE(parsed.ParseFromString(bytes));
    EXPECT_FALSE(parsed.has_kind());
    EXPECT_EQ(parsed.kind(), PEER_RECEIVED);
    EXPECT_EQ(int(parsed.kind()), 1);

    // Kind 7 on the wire: the message parses, the field stays unset.
    ASSERT_TRUE(parsed.ParseFromString(bytes + std::string("\x20\x07", 2)));
    EXPECT_FALSE(parsed.has_kind());
    EXPECT_EQ(int(parsed.kind()), 1);
    ASSERT_TRUE(parsed.ParseFromString(bytes + std::string("\x20\x03", 2)));
    EXPECT_TRUE(parsed.has_kind());
    EXPECT_EQ(int(parsed.kind()), 3);
}

TEST(SchemaTest, PositionsTravelAsDoubles)
{
    ServerInfo info;
    info.set_position_x(51.4778);
    info.set_position_y(-0.0014);
    std::string bytes;
    ASSERT_TRUE(info.SerializeToString(&bytes));
    ASSERT_EQ(bytes.size(), 18u); // two 64-bit fields with their one-byte tags
    EXPECT_EQ(uint8_t(bytes[0]), 13 << 3 | 1);
    double x = 0;
    std::memcpy(&x, bytes.data() + 1, 8);
    EXPECT_EQ(x, 51.4778);
    ServerInfo parsed;
    ASSERT_TRUE(parsed.ParseFromString(bytes));
    EXPECT_EQ(parsed.position_x(), 51.4778);
    EXPECT_EQ(parsed.position_y(), -0.0014);
}

TEST(SchemaTest, LoginAndRegisterResultsShareTheirWireForm)
{
    ServerLoginResult login;
    login.set_result(1);
    login.set_client_id(77);
    std::string bytes;
    ASSERT_TRUE(login.SerializeToString(&bytes));
    ServerRegisterResult registered;
    ASSERT_TRUE(registered.ParseFromString(bytes));
    EXPECT_EQ(registered.registered(), 1u);
    EXPECT_EQ(registered.reason(), 77u);
    // Only the login result requires field 1.
    ServerLoginResult empty;
    EXPECT_FALSE(empty.ParseFromString(""));
    EXPECT_TRUE(registered.ParseFromString(""));
}

} // namespace
