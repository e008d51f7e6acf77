#pragma once
// The two sockets of the LAN announcements: a hosting game's server sends its record to the
// multicast group about once a second, and the server browser of a joining game listens on
// the group. The record and the timing belong to the multiplayer front end. The group and
// port come from the network settings (225.243.152.198, 53997).
#include "platform/net/Socket.h"

#include <cstdint>
#include <string>

class LanMulticastSender {
public:
    // An IPv4 datagram socket aimed at the group and port (the settings' unless given);
    // no socket options: time-to-live and loop-back are the system's. Throws GameException
    // "Error Creating Multicast Sender Socket".
    LanMulticastSender();
    LanMulticastSender(const std::string& group, int port);

    // One sendto of the record to the group: the bytes sent or a negative value.
    int Send(const void* data, int length);
    void Close() { socket_.Close(); }
    bool IsOpen() const { return socket_.IsOpen(); }
    const platform::net::Ipv4Endpoint& Destination() const { return destination_; }

    bool enabled = true;
    uint32_t intervalMs = 1000;
    uint32_t elapsedMs = 0; // since the last announcement
    uint32_t spare = 0;

private:
    platform::net::UdpSocket socket_;
    platform::net::Ipv4Endpoint destination_;
};

class LanMulticastReceiver {
public:
    static constexpr int kMaxDatagram = 2048;

    // Socket, SO_REUSEADDR (so that several games on one machine listen), bound to any
    // address on the port, joined to the group on any interface, non-blocking. Throws
    // GameException "Error Creating Multicast Receive Socket", "Reusing ADDR failed",
    // "Error binding multicast socket" or "Failed to join multicast group".
    LanMulticastReceiver();
    LanMulticastReceiver(const std::string& group, int port);

    // One datagram of at most kMaxDatagram bytes into the buffer (that large): its length,
    // with the sender's dotted address and port in the outputs given; negative when nothing
    // waits (kWouldBlock), on an error, or for a longer datagram (kTruncated; it is dropped).
    int Receive(void* buffer, std::string* address = nullptr, int* port = nullptr);
    void Close() { socket_.Close(); }
    uint16_t Port() const { return socket_.LocalEndpoint().port; }
    const platform::net::Ipv4Endpoint& LastSender() const { return lastSender_; }

private:
    platform::net::UdpSocket socket_;
    platform::net::Ipv4Endpoint lastSender_;
};
