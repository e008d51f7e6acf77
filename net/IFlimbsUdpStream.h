#pragma once
// An unreliable datagram stream: the ground the reliable stream runs on (an ICE stream, a
// plain UDP socket towards one peer, or an in-memory pair in tests).
#include "net/NetSignal.h"

#include <cstdint>

class IFlimbsUdpStream {
public:
    virtual ~IFlimbsUdpStream() = default;
    // Sends one datagram: the bytes sent, or a negative value on failure.
    virtual int Send(const void* data, int length) = 0;

    // Emitted once for every datagram that arrives.
    NetSignal<void(const uint8_t* data, int length)> SignalReceived;
};
