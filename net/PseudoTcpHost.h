#pragma once
// The host's direct path: one UDP socket on the server port, shared by every client. Each
// sender (address and port) whose first datagram passes the check word gets a reliable
// stream; once that stream has connected it is handed to the stream-ready signal, whose
// receiver then owns it (the host keeps feeding it datagrams). Streams that never connect
// are closed by their own time-out or reaped after kHandshakeTimeoutMs, and deleted here.
#include "net/FlimbsPseudoTcp.h"
#include "net/IFlimbsUdpStream.h"
#include "net/NetClock.h"
#include "net/NetSignal.h"
#include "platform/net/Socket.h"

#include <memory>
#include <vector>

class PseudoTcpHost;

// A datagram stream towards one peer over the host's socket.
class ConnectedUdpStream : public IFlimbsUdpStream {
public:
    ConnectedUdpStream(platform::net::UdpSocket* socket, const platform::net::Ipv4Endpoint& peer)
        : socket_(socket), peer_(peer)
    {
    }
    // One sendto to the peer; -1 once the host's socket is gone.
    int Send(const void* data, int length) override;
    const platform::net::Ipv4Endpoint& Peer() const { return peer_; }
    void DropSocket() { socket_ = nullptr; }

private:
    platform::net::UdpSocket* socket_;
    platform::net::Ipv4Endpoint peer_;
};

class FlimbsPseudoTcpManaged : public FlimbsPseudoTcp {
public:
    FlimbsPseudoTcpManaged(PseudoTcpHost* host, std::unique_ptr<ConnectedUdpStream> datagrams);
    // Closes the stream, leaves the host's list and deletes the datagram stream.
    ~FlimbsPseudoTcpManaged() override;

    ConnectedUdpStream* Datagrams() const { return datagrams_.get(); }
    bool connected = false; // the handshake completed
    bool handedOver = false; // the stream-ready receiver owns it
    uint32_t createdTick = 0;

private:
    friend class PseudoTcpHost;
    void DetachFromHost();

    PseudoTcpHost* host_;
    std::unique_ptr<ConnectedUdpStream> datagrams_;
};

class PseudoTcpHost {
public:
    static constexpr uint32_t kHandshakeTimeoutMs = 10000;
    // Streams still shaking hands at one time; datagrams from further new senders are dropped.
    static constexpr size_t kMaxPendingStreams = 64;

    // Binds the port on every local address (0: an ephemeral one). Throws GameException
    // "Error Creating PseudoTcp Socket" or "Couldn't bind to address".
    explicit PseudoTcpHost(int port, NetClock clock = DefaultNetClock());
    // Deletes the streams it still owns; handed-over ones are cut off from the socket.
    ~PseudoTcpHost();
    PseudoTcpHost(const PseudoTcpHost&) = delete;
    PseudoTcpHost& operator=(const PseudoTcpHost&) = delete;

    // One pass per frame: reap, update, receive and route, update again, then report the
    // streams that connected.
    void Update();

    uint16_t Port() const { return socket_.LocalEndpoint().port; }
    // Streams of the host, handed over or not.
    size_t StreamCount() const;
    size_t PendingCount() const;

    NetSignal<void(IFlimbsStream*)> SignalStreamReady;

private:
    friend class FlimbsPseudoTcpManaged;
    void Remove(FlimbsPseudoTcpManaged* stream);
    FlimbsPseudoTcpManaged* Find(const platform::net::Ipv4Endpoint& peer) const;
    FlimbsPseudoTcpManaged* Accept(const platform::net::Ipv4Endpoint& peer, const uint8_t* data, int length);
    void Compact();
    void UpdateStreams();

    std::vector<FlimbsPseudoTcpManaged*> streams_; // null slots while iterating
    platform::net::UdpSocket socket_;
    std::unique_ptr<uint8_t[]> buffer_;
    NetClock clock_;
    std::vector<FlimbsPseudoTcpManaged*> ready_;
    int iterating_ = 0;
    bool fullLogged_ = false;
    std::shared_ptr<int> alive_;
};
