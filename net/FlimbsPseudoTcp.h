#pragma once
// The reliable compressed stream: whole network command records over an unreliable
// datagram stream, several to a datagram, deflated when worthwhile, retransmitted until
// acknowledged and delivered in order. Both ends run this class; one side's Connect starts
// both. It has no thread: the owner calls Update once per frame, and datagrams arrive
// through the datagram stream's signal on the same thread.
//
// Datagram: 12-byte header (u16 number, u16 cumulative acknowledgement, u16 send time in
// 10 ms units, u16 echoed time, u16 deflated flag, u16 check word) and a run of records
// (u16 id, u16 order number, the message), raw or as one zlib stream.
//
// Kept as the protocol has them: the check word carries 8 effective bits (byte 10 is always
// 0), so one foreign datagram in 256 passes it; and a cumulative acknowledgement also
// releases an unordered reliable message that was lost while a later one was delivered.
#include "net/IFlimbsStream.h"
#include "net/IFlimbsUdpStream.h"
#include "net/NetClock.h"
#include "net/NetSignal.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct z_stream_s;

// The check word of a datagram header (bytes 10-11 are ignored): digest byte 3 of the MD5
// of the header with bytes 10-11 zeroed followed by the key as 4 little-endian bytes,
// times 256.
uint16_t PseudoTcpCheckWord(const uint8_t* header12, uint32_t connectionKey);

class FlimbsPseudoTcp : public IFlimbsStream {
public:
    enum StreamState : int { kIdle = 0, kConnecting = 1, kConnected = 3, kClosed = 4 };

    static constexpr uint8_t kNetInfoCtrl = 33;
    static constexpr uint8_t kNetInfoAck = 34;
    static constexpr uint8_t kUnordered = 0x01;
    static constexpr uint8_t kUnreliable = 0x02;
    // The longest message the packing rule ever puts into a datagram.
    static constexpr int kMaxMessageLength = 4042;
    static constexpr int kMinMessageLength = 6;
    static constexpr int kHeaderSize = 12;
    static constexpr int kPayloadBudget = 1360;
    static constexpr int kBufferSize = 66857;
    // The key of streams over ICE; streams over plain UDP keep 0.
    static constexpr uint32_t kIceConnectionKey = 7391;
    // Out-of-order records waiting for delivery beyond this many bytes are dropped
    // unacknowledged (the sender repeats them), except one that can be delivered next.
    static constexpr uint32_t kMaxBufferedBytes = 256 * 1024;

    explicit FlimbsPseudoTcp(IFlimbsUdpStream* datagrams);
    ~FlimbsPseudoTcp() override;
    FlimbsPseudoTcp(const FlimbsPseudoTcp&) = delete;
    FlimbsPseudoTcp& operator=(const FlimbsPseudoTcp&) = delete;

    bool Send(const void* message) override;
    bool Receive(void* buffer, int capacity) override;
    bool IsConnected() override { return state_ == kConnected; }
    void Close() override;
    std::string GetName() override { return name_; }

    // Starts the handshake from Idle; false in any other state.
    bool Connect();
    // Once per frame: with checkPeer, closes on the peer's disconnect or a lost connection;
    // then sends at most one datagram.
    void Update(bool checkPeer);
    // Every received datagram.
    void OnDatagram(const uint8_t* data, int length);

    void SetConnectionKey(uint32_t key) { connectionKey_ = key; }
    uint32_t ConnectionKey() const { return connectionKey_; }
    void SetName(std::string name) { name_ = std::move(name); }
    void SetClock(NetClock clock) { clock_ = std::move(clock); }
    int State() const { return state_; }

    NetSignal<void()> SignalConnected;
    NetSignal<void(PseudoTcpCloseResult)> SignalClosed;

    struct Statistics {
        uint32_t stallTotal = 0; // ms
        uint32_t longestStall = 0; // ms
        uint32_t stallStart = 0;
        uint32_t lastStallTick = 0;
        uint64_t bytesSent = 0;
        uint32_t sendFailures = 0;
        uint32_t sendFailuresInRow = 0;
    };
    const Statistics& Stats() const { return stats_; }
    size_t QueuedMessages() const { return sendQueue_.size(); }
    uint32_t QueuedBytes() const { return queuedBytes_; }
    size_t BufferedMessages() const { return receiveBuffer_.size(); }
    uint32_t BufferedBytes() const { return bufferedBytes_; }
    size_t InFlightDatagrams() const { return inFlight_.size(); }
    uint32_t SmoothedRtt() const { return smoothedRtt_; }
    uint32_t DatagramsSent() const { return nextDatagram_; }
    // The send count of the lowest-id queued message; -1 when the queue is empty.
    int OldestSendCount() const;
    // The retransmission time-out of a message sent `sendCount` times, at the current RTT.
    uint32_t RetransmitTimeout(int sendCount) const;

protected:
    // The datagram stream went away (its owner was destroyed): nothing is sent any more.
    void DetachDatagramStream();

private:
    struct QueuedEntry {
        uint32_t lastSend = 0;
        uint32_t gapTick = 0;
        uint32_t id = 0;
        uint32_t order = 0;
        int32_t sendCount = 0;
        std::vector<uint8_t> message;
    };
    struct ReceivedEntry {
        uint32_t id = 0;
        uint32_t order = 0;
        std::vector<uint8_t> message;
    };
    struct DatagramRecord {
        uint32_t number = 0;
        std::vector<uint32_t> ids;
    };
    void Queue(const uint8_t* message, int length);
    void Flush();
    bool HandleRecord(const uint8_t* record, int recordLength, bool& refused);
    void HandleAckMessage(uint16_t datagramNumber);
    void HandleCumulativeAck(uint16_t cumulative);
    void UpdateTiming(uint16_t sendTime, uint16_t echoedTime);
    bool AcceptOutOfOrder(uint32_t id, uint32_t order, int length) const;
    void ClearSendSide();
    void CloseWith(PseudoTcpCloseResult reason);
    void Release(std::map<uint32_t, QueuedEntry>::iterator entry);

    IFlimbsUdpStream* datagrams_ = nullptr;
    boost::signals2::scoped_connection receivedConnection_;
    std::map<uint32_t, QueuedEntry> sendQueue_;
    std::map<uint32_t, DatagramRecord> inFlight_; // oldest first
    std::map<uint32_t, ReceivedEntry> receiveBuffer_;
    uint32_t nextDatagram_ = 0;
    uint32_t nextExpectedId_ = 1;
    uint32_t nextMessageId_ = 1;
    uint32_t nextOrderToDeliver_ = 0;
    uint32_t nextOrderToAssign_ = 0;
    uint32_t rttSum_ = 0;
    uint32_t rttCount_ = 0;
    uint32_t smoothedRtt_ = 50;
    uint16_t peerSendTime_ = 0;
    bool havePeerSendTime_ = false;
    int state_ = kIdle;
    bool peerDisconnected_ = false;
    bool connectedPending_ = false;
    uint32_t connectionKey_ = 0;
    std::string name_;
    std::unique_ptr<uint8_t[]> staging_;
    std::unique_ptr<uint8_t[]> packet_;
    std::unique_ptr<z_stream_s> deflate_;
    std::unique_ptr<z_stream_s> inflate_;
    Statistics stats_;
    uint32_t queuedBytes_ = 0;
    uint32_t bufferedBytes_ = 0;
    NetClock clock_;
};
