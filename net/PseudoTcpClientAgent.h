#pragma once
// The direct way to a host: a reliable stream over a UDP socket aimed at the host's address
// and port. The agent is itself the datagram stream under its reliable stream, and takes
// datagrams from any sender on its socket.
#include "net/ClientAgent.h"
#include "net/FlimbsPseudoTcp.h"
#include "net/IFlimbsUdpStream.h"
#include "net/NetClock.h"
#include "platform/net/Socket.h"

#include <memory>
#include <string>

class PseudoTcpClientAgent : public ClientAgent, public IFlimbsUdpStream {
public:
    PseudoTcpClientAgent(const std::string& host, int port, NetClock clock = DefaultNetClock());
    ~PseudoTcpClientAgent() override;

    // One datagram to the host.
    int Send(const void* data, int length) override;
    // Updates the stream, then hands it every datagram waiting on the socket.
    void UpdateDirect();
    void Update() override { UpdateDirect(); }

    FlimbsPseudoTcp* Stream() const { return stream_.get(); }
    const std::string& Name() const { return name_; }
    platform::net::Ipv4Endpoint HostEndpoint() const { return host_; }

private:
    void OnClosed(PseudoTcpCloseResult reason);

    std::unique_ptr<FlimbsPseudoTcp> stream_;
    platform::net::UdpSocket socket_;
    platform::net::Ipv4Endpoint host_;
    std::unique_ptr<uint8_t[]> buffer_;
    std::string name_;
};
