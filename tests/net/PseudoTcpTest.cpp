// The reliable compressed stream over an in-memory datagram pair on simulated time.
#include "../support/DatagramPair.h"
#include "../support/PseudoTcpWire.h"

#include "net/FlimbsPseudoTcp.h"
#include "net/SequenceNumbers.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

constexpr uint8_t kChat = 3;

class PseudoTcpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        a.SetClock(pair.Clock());
        b.SetClock(pair.Clock());
        a.SignalConnected.connect([this] { ++connectedA; });
        b.SignalConnected.connect([this] { ++connectedB; });
        a.SignalClosed.connect([this](PseudoTcpCloseResult r) { closedA.push_back(r); });
        b.SignalClosed.connect([this](PseudoTcpCloseResult r) { closedB.push_back(r); });
    }
    // One frame on both sides, then `ms` of simulated time.
    void Frame(uint32_t ms = 16)
    {
        a.Update(true);
        b.Update(true);
        pair.Step(ms);
    }
    void Frames(int n, uint32_t ms = 16)
    {
        for (int i = 0; i < n; ++i)
            Frame(ms);
    }
    void ConnectBoth()
    {
        ASSERT_TRUE(a.Connect());
        for (int i = 0; i < 50 && !(a.IsConnected() && b.IsConnected()); ++i)
            Frame();
        ASSERT_TRUE(a.IsConnected());
        ASSERT_TRUE(b.IsConnected());
        Frames(10); // acknowledgements settle
    }
    std::optional<std::vector<uint8_t>> ReceiveFrom(FlimbsPseudoTcp& stream)
    {
        std::vector<uint8_t> buffer(65535);
        if (!stream.Receive(buffer.data(), int(buffer.size())))
            return std::nullopt;
        buffer.resize(size_t(buffer[2] | buffer[3] << 8));
        return buffer;
    }
    // Datagrams sent by an end that carry a record with this command and fill byte.
    static int CountCarrying(const DatagramPair::End& end, uint8_t command, uint8_t fill)
    {
        int count = 0;
        for (const auto& bytes : end.sent) {
            WireDatagram datagram;
            if (!ParseDatagram(bytes, datagram))
                continue;
            for (const WireRecord& record : datagram.records)
                if (record.message[0] == command && record.message.size() > 6 && record.message[6] == fill) {
                    ++count;
                    break;
                }
        }
        return count;
    }

    DatagramPair pair;
    FlimbsPseudoTcp a{&pair.A()};
    FlimbsPseudoTcp b{&pair.B()};
    int connectedA = 0;
    int connectedB = 0;
    std::vector<PseudoTcpCloseResult> closedA;
    std::vector<PseudoTcpCloseResult> closedB;
};

TEST(PseudoTcpWireTest, CheckWordHasItsDigestByteInByte11)
{
    const uint8_t header[12] = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0xAA, 0xBB};
    EXPECT_EQ(PseudoTcpCheckWord(header, 0), 0x1600); // byte 10 = 0, byte 11 = 0x16
    EXPECT_EQ(PseudoTcpCheckWord(header, FlimbsPseudoTcp::kIceConnectionKey), 0x1400);
}

TEST(PseudoTcpWireTest, ExtendSeq16WidensAcrossWraps)
{
    struct Case {
        uint16_t value;
        uint32_t reference;
        uint32_t expected;
    } cases[] = {
        {5, 0x00010003, 0x00010005},       // same window
        {0xFFFE, 0x00020001, 0x0001FFFE},  // just before a wrap of the reference
        {0x0002, 0x0001FFF0, 0x00020002},  // just after a wrap
        {0x7FFF, 0x00010000, 0x00017FFF},  // 32767 ahead stays in the window
        {0x8000, 0x00010000, 0x00008000},  // 32768 ahead counts as behind
        {0x8000, 0x0001FFFF, 0x00018000},  // 32767 behind stays
        {0x7FFF, 0x0001FFFF, 0x00027FFF},  // 32768 behind counts as ahead
        {0, 0, 0},
        {0xFFFF, 0, 0xFFFFFFFF},           // below zero wraps the 32 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExtendSeq16(c.value, c.reference), c.expected) << c.value << " against " << c.reference;
}

TEST_F(PseudoTcpTest, OneSidedConnectConnectsBothOnce)
{
    EXPECT_EQ(a.State(), FlimbsPseudoTcp::kIdle);
    ASSERT_TRUE(a.Connect());
    EXPECT_FALSE(a.Connect());
    EXPECT_EQ(a.State(), FlimbsPseudoTcp::kConnecting);
    // Refused while connecting, though the stream's own control message is queued.
    const auto early = MakeMessage(kChat, 10);
    EXPECT_FALSE(a.Send(early.data()));
    EXPECT_EQ(a.QueuedMessages(), 1u);
    for (int i = 0; i < 50 && !(a.IsConnected() && b.IsConnected()); ++i)
        Frame();
    EXPECT_TRUE(a.IsConnected());
    EXPECT_TRUE(b.IsConnected());
    Frames(40);
    EXPECT_EQ(connectedA, 1);
    EXPECT_EQ(connectedB, 1);
    EXPECT_EQ(a.QueuedMessages(), 0u);
    EXPECT_EQ(b.QueuedMessages(), 0u);
    EXPECT_EQ(a.InFlightDatagrams(), 0u);
    EXPECT_TRUE(closedA.empty());
}

TEST_F(PseudoTcpTest, SendRefusesWhatWouldStallTheStream)
{
    ConnectBoth();
    struct Case {
        int length;
        uint8_t flags;
        bool accepted;
    } cases[] = {
        {6, 0, true},
        {5, 0, false},        // shorter than a record header
        {4042, 0, true},      // the longest that fits a datagram
        {4043, 0, false},     // would hold back everything behind it
        {12, 0x03, true},     // unreliable and unordered
        {12, 0x02, false},    // unreliable but ordered: a loss would stall delivery
        {12, 0x01, true},
    };
    for (const Case& c : cases) {
        const auto message = MakeMessage(kChat, c.length, c.flags);
        EXPECT_EQ(a.Send(message.data()), c.accepted) << c.length << " flags " << int(c.flags);
    }
    Frames(20);
    int received = 0;
    while (auto message = ReceiveFrom(b)) {
        ++received;
        EXPECT_NE(message->size(), 4043u);
    }
    EXPECT_EQ(received, 4);
}

TEST_F(PseudoTcpTest, DamagedOrForeignDatagramsAreDropped)
{
    // The connect datagram of `a`, sent at a fixed time, makes an idle stream connect too.
    ASSERT_TRUE(a.Connect());
    a.Update(true);
    ASSERT_EQ(pair.A().sent.size(), 1u);
    const std::vector<uint8_t> connect = pair.A().sent[0];
    ASSERT_EQ(connect[10], 0);

    auto acceptedBy = [&](const std::vector<uint8_t>& bytes, uint32_t key) {
        DatagramPair other;
        FlimbsPseudoTcp fresh(&other.B());
        fresh.SetClock(other.Clock());
        fresh.SetConnectionKey(key);
        fresh.OnDatagram(bytes.data(), int(bytes.size()));
        return fresh.State() == FlimbsPseudoTcp::kConnecting;
    };
    EXPECT_TRUE(acceptedBy(connect, 0));
    EXPECT_FALSE(acceptedBy(std::vector<uint8_t>(connect.begin(), connect.begin() + 11), 0));
    std::vector<uint8_t> noisy = connect;
    noisy[10] = 1; // byte 10 of a valid check word is always 0
    EXPECT_FALSE(acceptedBy(noisy, 0));
    // The word was made with key 0; a stream over ICE (key 7391) rejects it.
    EXPECT_NE(PseudoTcpCheckWord(connect.data(), 0), PseudoTcpCheckWord(connect.data(), 7391));
    EXPECT_FALSE(acceptedBy(connect, FlimbsPseudoTcp::kIceConnectionKey));
    // A header bit changed after the word was made: dropped unless the digest byte happens
    // to agree (8 effective bits).
    int passed = 0;
    for (int bit = 0; bit < 80; ++bit) {
        std::vector<uint8_t> flipped = connect;
        flipped[size_t(bit / 8)] ^= uint8_t(1 << (bit % 8));
        const bool collides = PseudoTcpCheckWord(flipped.data(), 0) == PseudoTcpCheckWord(connect.data(), 0);
        EXPECT_EQ(acceptedBy(flipped, 0), collides && !(flipped[8] & 1)) << "bit " << bit;
        passed += collides;
    }
    EXPECT_LE(passed, 3);
}

TEST_F(PseudoTcpTest, OrderedDeliveryWaitsForAGap)
{
    ConnectBoth();
    auto deliver = [&](std::vector<WireRecord> records, uint16_t number) {
        WireDatagram datagram;
        datagram.number = number;
        datagram.records = std::move(records);
        const auto bytes = BuildDatagram(datagram, 0);
        b.OnDatagram(bytes.data(), int(bytes.size()));
    };
    // Ordered 100 (order 0), unordered 101 (takes order 1 without consuming it), ordered
    // 102 (order 1), ordered 103 (order 2); 102 arrives last.
    deliver({{100, 0, MakeMessage(kChat, 8, 0, 'a')}, {101, 1, MakeMessage(kChat, 8, 1, 'u')},
             {103, 2, MakeMessage(kChat, 8, 0, 'c')}},
            500);
    auto first = ReceiveFrom(b);
    ASSERT_TRUE(first);
    EXPECT_EQ((*first)[6], 'a');
    auto second = ReceiveFrom(b);
    ASSERT_TRUE(second);
    EXPECT_EQ((*second)[6], 'u');
    EXPECT_FALSE(ReceiveFrom(b));
    EXPECT_FALSE(ReceiveFrom(b));
    deliver({{102, 1, MakeMessage(kChat, 8, 0, 'b')}}, 501);
    auto third = ReceiveFrom(b);
    auto fourth = ReceiveFrom(b);
    ASSERT_TRUE(third && fourth);
    EXPECT_EQ((*third)[6], 'b');
    EXPECT_EQ((*fourth)[6], 'c');
    EXPECT_FALSE(ReceiveFrom(b));
}

TEST_F(PseudoTcpTest, UnorderedMessageKeepsTheNextOrderNumber)
{
    ConnectBoth();
    const size_t before = pair.A().sent.size();
    const auto first = MakeMessage(kChat, 8, 0, 'a');
    const auto loose = MakeMessage(kChat, 8, 1, 'u');
    const auto second = MakeMessage(kChat, 8, 0, 'b');
    ASSERT_TRUE(a.Send(first.data()));
    ASSERT_TRUE(a.Send(loose.data()));
    ASSERT_TRUE(a.Send(second.data()));
    Frames(5);
    WireDatagram datagram;
    ASSERT_TRUE(ParseDatagram(pair.A().sent[before], datagram));
    ASSERT_EQ(datagram.records.size(), 3u);
    EXPECT_EQ(datagram.records[1].order, datagram.records[0].order + 1);
    EXPECT_EQ(datagram.records[2].order, datagram.records[1].order);
    std::string order;
    while (auto message = ReceiveFrom(b))
        order += char((*message)[6]);
    EXPECT_EQ(order, "aub");
}

TEST_F(PseudoTcpTest, PayloadsUpTo32BytesTravelRaw)
{
    ConnectBoth();
    for (int length : {28, 29}) {
        Frames(20);
        const size_t before = pair.A().sent.size();
        const auto message = MakeMessage(kChat, length);
        ASSERT_TRUE(a.Send(message.data()));
        a.Update(true);
        ASSERT_EQ(pair.A().sent.size(), before + 1);
        const auto& bytes = pair.A().sent.back();
        EXPECT_EQ(bytes[8], length == 28 ? 0 : 1) << "staged " << length + 4;
        WireDatagram datagram;
        ASSERT_TRUE(ParseDatagram(bytes, datagram));
        ASSERT_EQ(datagram.records.size(), 1u);
        EXPECT_EQ(datagram.records[0].message, message);
    }
}

TEST_F(PseudoTcpTest, RetransmissionTimeoutGrowsWithSendsUpTo500)
{
    EXPECT_EQ(a.SmoothedRtt(), 50u);
    EXPECT_EQ(a.RetransmitTimeout(1), 15u);
    EXPECT_EQ(a.RetransmitTimeout(5), 75u);
    EXPECT_EQ(a.RetransmitTimeout(33), 495u);
    EXPECT_EQ(a.RetransmitTimeout(34), 500u);
    EXPECT_EQ(a.RetransmitTimeout(200), 500u);
}

TEST_F(PseudoTcpTest, AnEchoFromTheFutureLeavesTheRoundTripAlone)
{
    ConnectBoth();
    const uint32_t before = a.SmoothedRtt();
    // b's latest datagram, its echoed time moved far ahead of a's clock and resealed.
    ASSERT_FALSE(pair.B().sent.empty());
    WireDatagram datagram;
    ASSERT_TRUE(ParseDatagram(pair.B().sent.back(), datagram));
    datagram.echoedTime = uint16_t(datagram.echoedTime + 30000);
    datagram.number = uint16_t(datagram.number + 1);
    const std::vector<uint8_t> forged = BuildDatagram(datagram, 0);
    a.OnDatagram(forged.data(), int(forged.size()));
    EXPECT_EQ(a.SmoothedRtt(), before);
    EXPECT_LE(a.RetransmitTimeout(1000), 500u);
    EXPECT_TRUE(a.IsConnected());
}

TEST_F(PseudoTcpTest, UnacknowledgedMessageIsRepeatedThenLosesTheConnection)
{
    ConnectBoth();
    pair.Direction(0).lossPercent = 100;
    const auto message = MakeMessage(kChat, 8, 0, 'x');
    ASSERT_TRUE(a.Send(message.data()));
    std::vector<uint32_t> sendTimes;
    size_t seen = pair.A().sent.size();
    while (closedA.empty() && pair.Now() < 60000) {
        a.Update(true);
        for (; seen < pair.A().sent.size(); ++seen) {
            WireDatagram datagram;
            if (ParseDatagram(pair.A().sent[seen], datagram) && !datagram.records.empty())
                sendTimes.push_back(pair.Now());
        }
        pair.Step(1);
    }
    ASSERT_EQ(closedA, std::vector<PseudoTcpCloseResult>{TCR_LOST_CONNECTION});
    EXPECT_EQ(sendTimes.size(), 26u); // closed at the Update after the 26th send
    // Five sends 16 ms apart, then each after its RTO: 75 ms after 5 sends, 90 after 6.
    ASSERT_GE(sendTimes.size(), 7u);
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(sendTimes[size_t(i)] - sendTimes[size_t(i - 1)], 16u);
    EXPECT_EQ(sendTimes[5] - sendTimes[4], 76u);
    EXPECT_EQ(sendTimes[6] - sendTimes[5], 91u);
    EXPECT_FALSE(a.IsConnected());
    EXPECT_EQ(a.QueuedMessages(), 0u);
}

TEST_F(PseudoTcpTest, UnreliableMessageGoesOutOnceAndNeverLosesTheConnection)
{
    ConnectBoth();
    pair.Direction(0).lossPercent = 100;
    const auto message = MakeMessage(kChat, 8, 0x03, 'q');
    ASSERT_TRUE(a.Send(message.data()));
    for (int i = 0; i < 3000; ++i) {
        a.Update(true);
        pair.Step(5);
    }
    EXPECT_EQ(CountCarrying(pair.A(), kChat, 'q'), 1);
    EXPECT_TRUE(closedA.empty());
    EXPECT_TRUE(a.IsConnected());
}

TEST_F(PseudoTcpTest, CloseSendsTheDisconnectOnceAndThePeerSeesIt)
{
    ConnectBoth();
    a.Close();
    a.Close();
    EXPECT_EQ(closedA, std::vector<PseudoTcpCloseResult>{TCR_USER});
    EXPECT_FALSE(a.IsConnected());
    pair.Step(1);
    b.Update(true); // sees the flag set by the datagram
    b.Update(true);
    EXPECT_EQ(closedB, std::vector<PseudoTcpCloseResult>{TCR_PEER_DISCONNECT});
    const auto late = MakeMessage(kChat, 8);
    EXPECT_FALSE(b.Send(late.data()));
}

TEST_F(PseudoTcpTest, RefusedSendsCountAndEndTheStreamAfter25InARow)
{
    ConnectBoth();
    pair.Direction(0).refuseSends = 1000;
    const auto message = MakeMessage(kChat, 8);
    ASSERT_TRUE(a.Send(message.data()));
    for (int i = 0; i < 4000 && closedA.empty(); ++i) {
        a.Update(false);
        pair.Step(5);
    }
    EXPECT_EQ(closedA, std::vector<PseudoTcpCloseResult>{TCR_SEND_FAILED});
    EXPECT_GT(a.Stats().sendFailures, 25u);
}

TEST_F(PseudoTcpTest, ShortRecordsAreNotRead)
{
    ConnectBoth();
    auto deliver = [&](std::vector<WireRecord> records, uint16_t number) {
        WireDatagram datagram;
        datagram.number = number;
        datagram.records = std::move(records);
        auto bytes = BuildDatagram(datagram, 0);
        b.OnDatagram(bytes.data(), int(bytes.size()));
    };
    // A disconnect shorter than a control message, an acknowledgement shorter than 8 bytes.
    auto shortCtrl = MakeMessage(FlimbsPseudoTcp::kNetInfoCtrl, 8, 1, 1);
    auto shortAck = MakeMessage(FlimbsPseudoTcp::kNetInfoAck, 6, 3);
    deliver({{200, 0, shortCtrl}, {201, 0, shortAck}}, 700);
    b.Update(true);
    EXPECT_TRUE(b.IsConnected());
    // A record claiming 0 bytes ends the datagram's records: the one after it is not read.
    WireDatagram datagram;
    datagram.number = 701;
    datagram.records = {{300, 0, MakeMessage(kChat, 8, 0, 'z')}};
    auto bytes = BuildDatagram(datagram, 0);
    const std::vector<uint8_t> bogus = {0x2C, 0x01, 0, 0, kChat, 0, 0, 0, 0, 0};
    bytes.insert(bytes.begin() + 12, bogus.begin(), bogus.end());
    const uint16_t check = PseudoTcpCheckWord(bytes.data(), 0);
    bytes[10] = uint8_t(check);
    bytes[11] = uint8_t(check >> 8);
    b.OnDatagram(bytes.data(), int(bytes.size()));
    EXPECT_EQ(b.BufferedMessages(), 0u);
}

TEST_F(PseudoTcpTest, OutOfOrderBufferIsBoundedButTheNextMessageStillGetsIn)
{
    ConnectBoth();
    b.Update(true);
    const size_t queuedBefore = b.QueuedMessages();
    // A peer floods ids far ahead of a gap at 1000.
    uint16_t number = 900;
    for (int id = 1001; id < 1400; ++id) {
        WireDatagram datagram;
        datagram.number = number++;
        datagram.deflated = true;
        datagram.records = {{uint16_t(id), uint16_t(id - 1000), MakeMessage(kChat, 4096, 0, uint8_t(id))}};
        const auto bytes = BuildDatagram(datagram, 0);
        b.OnDatagram(bytes.data(), int(bytes.size()));
    }
    EXPECT_LE(b.BufferedBytes(), FlimbsPseudoTcp::kMaxBufferedBytes);
    EXPECT_GT(b.BufferedBytes(), FlimbsPseudoTcp::kMaxBufferedBytes - 8000);
    const size_t buffered = b.BufferedMessages();
    // Refused datagrams are not acknowledged: the acknowledgements queued are those of the
    // datagrams taken in.
    EXPECT_EQ(b.QueuedMessages() - queuedBefore, buffered);
    EXPECT_FALSE(ReceiveFrom(b));
    // The missing message is taken although the buffer is full, and delivery resumes.
    WireDatagram gap;
    gap.number = number++;
    gap.records = {{1000, 0, MakeMessage(kChat, 8, 0, 'g')}};
    const auto bytes = BuildDatagram(gap, 0);
    b.OnDatagram(bytes.data(), int(bytes.size()));
    size_t delivered = 0;
    while (ReceiveFrom(b))
        ++delivered;
    EXPECT_EQ(delivered, buffered + 1);
    EXPECT_EQ(b.BufferedBytes(), 0u);
}

// 10,000 messages of 6 to 4,042 bytes each way under 30 % loss, reordering and duplication
// arrive once each, in order, within bounded simulated time.
TEST_F(PseudoTcpTest, SoakUnderLossReorderingAndDuplication)
{
    ConnectBoth();
    for (int side = 0; side < 2; ++side) {
        pair.Direction(side).lossPercent = 30;
        pair.Direction(side).duplicatePercent = 10;
        pair.Direction(side).delayMs = 20;
        pair.Direction(side).jitterMs = 60;
    }
    constexpr int kCount = 10000;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> size(6, FlimbsPseudoTcp::kMaxMessageLength);
    auto make = [&](int sequence, int length) {
        auto message = MakeMessage(kChat, length);
        for (int i = 6; i < length; ++i)
            message[size_t(i)] = uint8_t(i < 10 ? sequence >> (8 * (i - 6)) : (sequence + i / 16) * 31);
        return message;
    };
    std::vector<int> lengthsA(kCount), lengthsB(kCount);
    for (int i = 0; i < kCount; ++i) {
        lengthsA[size_t(i)] = size(random);
        lengthsB[size_t(i)] = size(random);
    }
    int sentA = 0, sentB = 0, gotA = 0, gotB = 0;
    auto check = [&](const std::vector<uint8_t>& message, int& got, const std::vector<int>& lengths) {
        ASSERT_EQ(message, make(got, lengths[size_t(got)])) << "message " << got;
        ++got;
    };
    const uint32_t start = pair.Now();
    while ((gotA < kCount || gotB < kCount) && pair.Now() - start < 600'000) {
        // Keep about 20 messages queued on each side.
        for (; sentA < kCount && a.QueuedMessages() < 20; ++sentA)
            ASSERT_TRUE(a.Send(make(sentA, lengthsA[size_t(sentA)]).data()));
        for (; sentB < kCount && b.QueuedMessages() < 20; ++sentB)
            ASSERT_TRUE(b.Send(make(sentB, lengthsB[size_t(sentB)]).data()));
        Frame(16);
        while (auto message = ReceiveFrom(b))
            check(*message, gotB, lengthsA);
        while (auto message = ReceiveFrom(a))
            check(*message, gotA, lengthsB);
        ASSERT_TRUE(closedA.empty() && closedB.empty());
    }
    EXPECT_EQ(gotA, kCount);
    EXPECT_EQ(gotB, kCount);
    EXPECT_LT(pair.Now() - start, 600'000u);
    RecordProperty("simulated_ms", int(pair.Now() - start));
    Frames(200);
    EXPECT_FALSE(ReceiveFrom(a));
    EXPECT_FALSE(ReceiveFrom(b));
}

} // namespace
