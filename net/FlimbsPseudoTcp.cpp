#include "net/FlimbsPseudoTcp.h"

#include "app/Log.h"
#include "app/Md5.h"
#include "net/SequenceNumbers.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace {

constexpr int kPacketRoom = 65535;
constexpr int kStagingRoom = 65523; // the staging buffer's limit for records
constexpr int kRawPayloadLimit = 32;
constexpr int kGapMs = 16;
constexpr int kFirstRepeats = 5;
constexpr int kMaxSends = 25;
constexpr uint32_t kMaxRto = 500;
constexpr int kRecordHeader = 4;
constexpr int kCtrlLength = 12;
constexpr int kAckLength = 8;

uint16_t Read16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Read32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
void Write16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Write32(uint8_t* p, uint32_t v)
{
    Write16(p, v);
    Write16(p + 2, v >> 16);
}

int MessageLength(const uint8_t* message) { return Read16(message + 2); }

} // namespace

uint16_t PseudoTcpCheckWord(const uint8_t* header12, uint32_t connectionKey)
{
    uint8_t input[16];
    std::memcpy(input, header12, 10);
    input[10] = input[11] = 0;
    Write32(input + 12, connectionKey);
    const Md5Digest digest = Md5Of(input, sizeof input);
    return uint16_t(digest[3] << 8);
}

FlimbsPseudoTcp::FlimbsPseudoTcp(IFlimbsUdpStream* datagrams)
    : datagrams_(datagrams), staging_(new uint8_t[kBufferSize]), packet_(new uint8_t[kBufferSize]),
      deflate_(std::make_unique<z_stream_s>()), inflate_(std::make_unique<z_stream_s>()), clock_(DefaultNetClock())
{
    *deflate_ = {};
    *inflate_ = {};
    deflateInit(deflate_.get(), Z_DEFAULT_COMPRESSION);
    inflateInit(inflate_.get());
    if (datagrams_)
        receivedConnection_ = datagrams_->SignalReceived.connect(
            [this](const uint8_t* data, int length) { OnDatagram(data, length); });
}

FlimbsPseudoTcp::~FlimbsPseudoTcp()
{
    // The peer still hears the disconnect; no slot runs while this object goes away.
    SignalClosed.disconnect_all_slots();
    SignalConnected.disconnect_all_slots();
    Close();
    receivedConnection_.disconnect();
    deflateEnd(deflate_.get());
    inflateEnd(inflate_.get());
}

void FlimbsPseudoTcp::DetachDatagramStream()
{
    receivedConnection_.disconnect();
    datagrams_ = nullptr;
}

int FlimbsPseudoTcp::OldestSendCount() const
{
    return sendQueue_.empty() ? -1 : sendQueue_.begin()->second.sendCount;
}

uint32_t FlimbsPseudoTcp::RetransmitTimeout(int sendCount) const
{
    const double rto = (sendCount / 5.0) * (smoothedRtt_ * 1.5);
    // Compared as a double: a huge round trip must not overflow the conversion.
    if (!(rto < double(kMaxRto)))
        return kMaxRto;
    return rto > 0.0 ? uint32_t(rto) : 0u;
}

void FlimbsPseudoTcp::Queue(const uint8_t* message, int length)
{
    QueuedEntry entry;
    entry.id = nextMessageId_++;
    entry.order = nextOrderToAssign_;
    if (!(message[4] & kUnordered))
        ++nextOrderToAssign_;
    entry.message.assign(message, message + length);
    queuedBytes_ += uint32_t(length);
    const uint32_t id = entry.id;
    sendQueue_.emplace(id, std::move(entry));
}

bool FlimbsPseudoTcp::Send(const void* message)
{
    if (state_ != kConnected || !message)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(message);
    const int length = MessageLength(bytes);
    if (length < kMinMessageLength || length > kMaxMessageLength) {
        // A longer message never fits a datagram and would hold back everything behind it.
        WriteLog("PseudoTcp: refused a message of %d bytes (command %d)\n", length, bytes[0]);
        return false;
    }
    if ((bytes[4] & kUnreliable) && !(bytes[4] & kUnordered)) {
        // Its order number would stall delivery for good if the one datagram were lost.
        WriteLog("PseudoTcp: refused an unreliable ordered message (command %d)\n", bytes[0]);
        return false;
    }
    Queue(bytes, length);
    return true;
}

bool FlimbsPseudoTcp::Receive(void* buffer, int capacity)
{
    if (receiveBuffer_.empty())
        return false;
    auto candidate = receiveBuffer_.begin();
    ReceivedEntry& entry = candidate->second;
    const int length = int(entry.message.size());
    if (capacity < length)
        return false;
    if (entry.order == nextOrderToDeliver_) {
        std::memcpy(buffer, entry.message.data(), size_t(length));
        if (!(entry.message[4] & kUnordered))
            ++nextOrderToDeliver_;
        nextExpectedId_ = entry.id + 1;
        bufferedBytes_ -= uint32_t(length);
        receiveBuffer_.erase(candidate);
        stats_.stallStart = 0;
        return true;
    }
    const uint32_t now = clock_();
    if (stats_.stallStart == 0) {
        stats_.stallStart = now ? now : 1;
        stats_.lastStallTick = now;
    } else {
        stats_.stallTotal += now - stats_.lastStallTick;
        stats_.longestStall = std::max(stats_.longestStall, now - stats_.stallStart);
        stats_.lastStallTick = now;
    }
    return false;
}

bool FlimbsPseudoTcp::Connect()
{
    if (state_ != kIdle)
        return false;
    uint8_t ctrl[kCtrlLength] = {kNetInfoCtrl, 0, kCtrlLength, 0, kUnordered};
    Write32(ctrl + 8, 0);
    Queue(ctrl, kCtrlLength);
    state_ = kConnecting;
    return true;
}

void FlimbsPseudoTcp::Close()
{
    if (state_ == kClosed)
        return;
    if (state_ == kConnected) {
        uint8_t ctrl[kCtrlLength] = {kNetInfoCtrl, 0, kCtrlLength, 0, kUnordered};
        Write32(ctrl + 8, 1);
        Queue(ctrl, kCtrlLength);
        Flush();
    }
    CloseWith(TCR_USER);
}

void FlimbsPseudoTcp::ClearSendSide()
{
    sendQueue_.clear();
    inFlight_.clear();
    queuedBytes_ = 0;
}

void FlimbsPseudoTcp::CloseWith(PseudoTcpCloseResult reason)
{
    if (state_ == kClosed)
        return;
    state_ = kClosed;
    connectedPending_ = false;
    ClearSendSide();
    receiveBuffer_.clear();
    bufferedBytes_ = 0;
    SignalClosed(reason);
}

void FlimbsPseudoTcp::Update(bool checkPeer)
{
    if (!datagrams_)
        return;
    if (checkPeer) {
        if (peerDisconnected_) {
            CloseWith(TCR_PEER_DISCONNECT);
            return;
        }
        if (!sendQueue_.empty() && sendQueue_.begin()->second.sendCount > kMaxSends) {
            CloseWith(TCR_LOST_CONNECTION);
            return;
        }
    }
    Flush();
}

void FlimbsPseudoTcp::Release(std::map<uint32_t, QueuedEntry>::iterator entry)
{
    queuedBytes_ -= uint32_t(entry->second.message.size());
    sendQueue_.erase(entry);
}

void FlimbsPseudoTcp::Flush()
{
    if (!datagrams_)
        return;
    const uint32_t now = clock_();
    uint8_t* const staging = staging_.get();
    uint8_t* const payload = packet_.get() + kHeaderSize;
    z_stream_s& z = *deflate_;
    z.next_out = payload;
    z.avail_out = kPacketRoom;
    int staged = 0;
    int compressed = 0;
    int lastResult = Z_STREAM_END;
    DatagramRecord record;

    bool packing = true;
    for (int pass = 1; pass <= 3 && packing; ++pass) {
        for (auto it = sendQueue_.begin(); it != sendQueue_.end();) {
            QueuedEntry& entry = it->second;
            const bool sent = entry.sendCount > 0;
            if (sent && now - entry.gapTick < uint32_t(kGapMs)) {
                ++it;
                continue;
            }
            bool take = false;
            if (pass == 1)
                take = !sent;
            else if (pass == 2)
                take = sent && now - entry.lastSend > RetransmitTimeout(entry.sendCount);
            else
                take = entry.sendCount < kFirstRepeats;
            if (!take) {
                ++it;
                continue;
            }
            const int length = int(entry.message.size());
            const int recordSize = length + kRecordHeader;
            if (kStagingRoom - staged < recordSize || (kPayloadBudget - kHeaderSize) - compressed < recordSize / 3) {
                packing = false;
                break;
            }
            uint8_t* out = staging + staged;
            Write16(out, entry.id);
            Write16(out + 2, entry.order);
            std::memcpy(out + kRecordHeader, entry.message.data(), size_t(length));
            staged += recordSize;
            if (staged > kPayloadBudget) {
                if (compressed == 0) {
                    z.next_in = staging;
                    z.avail_in = uInt(staged);
                } else {
                    z.next_in = out;
                    z.avail_in = uInt(recordSize);
                }
                lastResult = deflate(&z, Z_SYNC_FLUSH);
                compressed = kPacketRoom - int(z.avail_out);
            }
            if (entry.message[4] & kUnreliable) {
                Release(it++);
                continue;
            }
            ++entry.sendCount;
            entry.lastSend = entry.gapTick = now;
            record.ids.push_back(entry.id);
            ++it;
        }
    }

    if (staged > kRawPayloadLimit && compressed == 0) {
        z.next_in = staging;
        z.avail_in = uInt(staged);
        lastResult = deflate(&z, Z_FINISH);
        compressed = kPacketRoom - int(z.avail_out);
    }
    if (lastResult != Z_STREAM_END) {
        z.avail_in = 0;
        lastResult = deflate(&z, Z_FINISH);
        compressed = kPacketRoom - int(z.avail_out);
    }
    deflateReset(&z);

    if (staged == 0) {
        if (stats_.sendFailuresInRow > uint32_t(kMaxSends))
            CloseWith(TCR_SEND_FAILED);
        return;
    }
    bool deflated = compressed > 0;
    if (deflated && lastResult != Z_STREAM_END) {
        // Cannot happen within the room test; the records then travel raw.
        WriteLog("PseudoTcp: deflate did not finish (%d); sending raw\n", lastResult);
        deflated = false;
    }
    int payloadLength = compressed;
    if (!deflated) {
        std::memcpy(payload, staging, size_t(staged));
        payloadLength = staged;
    }
    uint8_t* header = packet_.get();
    Write16(header, nextDatagram_);
    Write16(header + 2, nextExpectedId_ - 1);
    Write16(header + 4, (now + 5) / 10);
    Write16(header + 6, havePeerSendTime_ ? peerSendTime_ : 0);
    Write16(header + 8, deflated ? 1 : 0);
    Write16(header + 10, 0);
    Write16(header + 10, PseudoTcpCheckWord(header, connectionKey_));

    const int length = kHeaderSize + payloadLength;
    const int result = datagrams_->Send(header, length);
    if (result != length) {
        ++stats_.sendFailures;
        ++stats_.sendFailuresInRow;
        return; // the entries keep their counts; the number is reused
    }
    stats_.bytesSent += uint64_t(length);
    stats_.sendFailuresInRow = 0;
    record.number = nextDatagram_++;
    if (!record.ids.empty())
        inFlight_.emplace(record.number, std::move(record));
}

void FlimbsPseudoTcp::OnDatagram(const uint8_t* data, int length)
{
    if (state_ == kClosed || !data || length < kHeaderSize)
        return;
    const uint16_t check = Read16(data + 10);
    if (check != PseudoTcpCheckWord(data, connectionKey_))
        return;
    const uint16_t number = Read16(data);
    const uint16_t cumulative = Read16(data + 2);
    const uint16_t sendTime = Read16(data + 4);
    const uint16_t echoedTime = Read16(data + 6);

    const uint8_t* records = data + kHeaderSize;
    int available = length - kHeaderSize;
    if (data[8] & 1) {
        z_stream_s& z = *inflate_;
        z.next_in = const_cast<uint8_t*>(records);
        z.avail_in = uInt(available);
        z.next_out = packet_.get();
        z.avail_out = kPacketRoom;
        const int result = inflate(&z, Z_FINISH);
        available = result == Z_STREAM_END ? kPacketRoom - int(z.avail_out) : 0;
        records = packet_.get();
        inflateReset(&z);
    }

    bool acknowledge = false;
    bool refused = false;
    int offset = 0;
    while (available - offset >= 10) {
        const uint8_t* record = records + offset;
        const int messageLength = MessageLength(record + kRecordHeader);
        if (messageLength < kMinMessageLength) {
            WriteLog("PseudoTcp: dropped a record of length %d\n", messageLength);
            break; // the rest of the payload cannot be framed
        }
        const int recordLength = messageLength + kRecordHeader;
        if (available - offset < recordLength)
            break;
        acknowledge |= HandleRecord(record, recordLength, refused);
        offset += recordLength;
        if (state_ == kClosed)
            return;
    }
    // A datagram with a record refused for room is not acknowledged at all, so its sender
    // repeats every record in it.
    if (acknowledge && !refused) {
        uint8_t ack[kAckLength] = {kNetInfoAck, 0, kAckLength, 0, kUnordered | kUnreliable, 0};
        Write16(ack + 6, number);
        Queue(ack, kAckLength);
    }
    HandleCumulativeAck(cumulative);
    UpdateTiming(sendTime, echoedTime);
    if (connectedPending_) {
        connectedPending_ = false;
        SignalConnected(); // last: a slot may delete this stream
    }
}

bool FlimbsPseudoTcp::HandleRecord(const uint8_t* record, int recordLength, bool& refused)
{
    const uint8_t* message = record + kRecordHeader;
    const int messageLength = recordLength - kRecordHeader;
    const uint8_t command = message[0];
    if (command == kNetInfoCtrl) {
        if (messageLength < kCtrlLength)
            return false;
        const uint32_t action = Read32(message + 8);
        if (action == 1)
            peerDisconnected_ = true;
        else if (action == 0 && state_ == kIdle)
            Connect();
        return !(message[4] & kUnreliable);
    }
    if (command == kNetInfoAck) {
        if (messageLength >= kAckLength)
            HandleAckMessage(Read16(message + 6));
        return false;
    }
    if (state_ != kConnected)
        return false;
    const uint32_t id = ExtendSeq16(Read16(record), nextExpectedId_);
    if (int32_t(id - nextExpectedId_) < 0)
        return sendQueue_.empty(); // a duplicate of a delivered message
    if (receiveBuffer_.count(id))
        return false;
    const uint32_t order = ExtendSeq16(Read16(record + 2), nextOrderToDeliver_);
    if (!AcceptOutOfOrder(id, order, messageLength)) {
        refused = true;
        return false;
    }
    ReceivedEntry entry;
    entry.id = id;
    entry.order = order;
    entry.message.assign(message, message + messageLength);
    bufferedBytes_ += uint32_t(messageLength);
    receiveBuffer_.emplace(id, std::move(entry));
    return true;
}

bool FlimbsPseudoTcp::AcceptOutOfOrder(uint32_t id, uint32_t order, int length) const
{
    if (bufferedBytes_ + uint32_t(length) <= kMaxBufferedBytes)
        return true;
    // Beyond the limit only the record that unblocks delivery is taken: it comes before
    // everything buffered and carries the next order number. Any excess drains as the
    // application receives it.
    if (bufferedBytes_ > 2 * kMaxBufferedBytes || order != nextOrderToDeliver_)
        return false;
    return receiveBuffer_.empty() || int32_t(id - receiveBuffer_.begin()->first) < 0;
}

void FlimbsPseudoTcp::HandleAckMessage(uint16_t datagramNumber)
{
    const uint32_t number = ExtendSeq16(datagramNumber, nextDatagram_);
    auto found = inFlight_.find(number);
    if (found == inFlight_.end())
        return;
    for (uint32_t id : found->second.ids) {
        auto queued = sendQueue_.find(id);
        if (queued != sendQueue_.end())
            Release(queued);
    }
    inFlight_.erase(found);
    if (state_ == kConnecting) {
        state_ = kConnected;
        connectedPending_ = true;
    }
}

void FlimbsPseudoTcp::HandleCumulativeAck(uint16_t cumulative)
{
    for (auto it = sendQueue_.begin(); it != sendQueue_.end();) {
        const uint32_t acknowledged = ExtendSeq16(cumulative, it->first);
        if (int32_t(it->first - acknowledged) > 0)
            break;
        Release(it++);
    }
    for (auto it = inFlight_.begin(); it != inFlight_.end();) {
        const auto& ids = it->second.ids;
        const bool stillQueued =
            std::any_of(ids.begin(), ids.end(), [this](uint32_t id) { return sendQueue_.count(id) != 0; });
        if (stillQueued)
            break;
        it = inFlight_.erase(it);
    }
}

void FlimbsPseudoTcp::UpdateTiming(uint16_t sendTime, uint16_t echoedTime)
{
    const uint32_t now = clock_();
    if (echoedTime != 0) {
        const uint32_t widened = ExtendSeq16(echoedTime, (now + 5) / 10);
        const uint32_t echoedMs = widened * 10;
        // Stamps are rounded to 10 ms, so an echo may read up to one step ahead of now (a
        // round trip of nothing); one further ahead is garbled or forged and says nothing of
        // the round trip.
        if (echoedMs <= now + 10) {
            ++rttCount_;
            rttSum_ += now > echoedMs ? now - echoedMs : 0;
            smoothedRtt_ = std::max(rttSum_ / rttCount_, 50u);
            if (rttCount_ >= 20) {
                rttSum_ /= 2;
                rttCount_ /= 2;
            }
        }
    }
    const uint16_t later = uint16_t(sendTime - peerSendTime_);
    if (!havePeerSendTime_ || (later >= 1 && later <= 32767)) {
        peerSendTime_ = sendTime;
        havePeerSendTime_ = true;
    }
}
