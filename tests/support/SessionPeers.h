#pragma once
// Peers of the game session in tests: a bare protocol client that speaks network command
// records to a game server over 127.0.0.1 (no executor behind it), and an in-memory stream
// whose incoming records a test queues and whose sent records it reads.
#include "net/IFlimbsStream.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class PseudoTcpClientAgent;
class NetRecord;

using RecordBytes = std::vector<uint8_t>;

class BareSessionClient {
public:
    explicit BareSessionClient(int port);
    ~BareSessionClient();
    BareSessionClient(const BareSessionClient&) = delete;
    BareSessionClient& operator=(const BareSessionClient&) = delete;

    // The agent's work, then every record that arrived goes to `received`.
    void Pump();
    bool Connected() const;
    // Sends raw bytes as one record (their length field as given); false when refused.
    bool Send(const RecordBytes& record);
    bool Send(const NetRecord& record);
    // Received records of a command (in order).
    std::vector<RecordBytes> Of(uint8_t command) const;
    size_t Count(uint8_t command) const { return Of(command).size(); }

    std::vector<RecordBytes> received;
    bool failed = false;

private:
    std::unique_ptr<PseudoTcpClientAgent> agent_;
    IFlimbsStream* stream_ = nullptr;
};

class MemoryStream : public IFlimbsStream {
public:
    bool Send(const void* message) override;
    bool Receive(void* buffer, int capacity) override;
    bool IsConnected() override { return connected; }
    void Close() override { connected = false; }
    std::string GetName() override { return "MEMORY"; }

    void Queue(const RecordBytes& record) { incoming.push_back(record); }
    void Queue(const NetRecord& record);

    std::deque<RecordBytes> incoming;
    std::vector<RecordBytes> sent;
    bool connected = true;
};
