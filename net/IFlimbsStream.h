#pragma once
// A reliable, ordered stream of whole network command records.
#include <string>

// Why a reliable stream closed.
enum PseudoTcpCloseResult : int {
    TCR_USER = 0,
    TCR_LOST_CONNECTION = 1,
    TCR_PEER_DISCONNECT = 2,
    TCR_QUEUE_OVERFLOW = 3,
    TCR_SEND_FAILED = 4,
};

class IFlimbsStream {
public:
    virtual ~IFlimbsStream() = default;
    // Queues one record (its own length field gives its size); false when refused.
    virtual bool Send(const void* message) = 0;
    // Copies the next deliverable record into the buffer; false when none is ready or it
    // does not fit.
    virtual bool Receive(void* buffer, int capacity) = 0;
    virtual bool IsConnected() = 0;
    virtual void Close() = 0;
    virtual std::string GetName() = 0;
};
