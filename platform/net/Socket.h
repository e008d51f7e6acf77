#pragma once
// Non-blocking IPv4 sockets for the network layer: UDP datagram sockets (direct game path,
// LAN announcements), TCP client connections (world server) and a TCP listener (test
// servers), and name resolution through getaddrinfo.
//
// Every call reports failure through its result and never throws. A socket closes itself
// when destroyed; sockets move but do not copy.
#include <cstdint>
#include <string>

namespace platform::net {

// An IPv4 address (network byte order, as in sockaddr_in) and a port (host order).
struct Ipv4Endpoint {
    uint32_t address = 0;
    uint16_t port = 0;
    bool operator==(const Ipv4Endpoint&) const = default;
};

// The dotted text of an address in network byte order.
std::string Ipv4Text(uint32_t address);
// Parses a dotted address; false when the text is no IPv4 literal.
bool ParseIpv4(const std::string& text, uint32_t& address);
// The address in network byte order from its four parts (127, 0, 0, 1).
uint32_t MakeIpv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d);

// Resolves a host name for IPv4 with the port as decimal text; of several results the last
// is kept. False when nothing resolves.
bool ResolveIpv4(const std::string& host, int port, Ipv4Endpoint& result);

// Results of the transfer calls besides a byte count.
constexpr int kWouldBlock = -1; // nothing waiting / no room now
constexpr int kSocketError = -2; // the call failed (the error is in LastError)
constexpr int kTruncated = -3; // a datagram longer than the buffer arrived and was dropped

class Socket {
public:
    Socket() = default;
    ~Socket();
    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    void Close();
    bool SetNonBlocking();
    bool SetReuseAddress();
    // Binds to an address (network order, 0 = any) and port (0 = ephemeral).
    bool Bind(uint32_t address, uint16_t port);
    // The bound address and port.
    Ipv4Endpoint LocalEndpoint() const;
    // The errno of the last failed call on this socket.
    int LastError() const { return lastError_; }
    // Takes over an open descriptor (a test's socket pair).
    void Adopt(int descriptor);

protected:
    bool Fail();
    int fd_ = -1;
    int lastError_ = 0;
};

class UdpSocket : public Socket {
public:
    // Creates an IPv4 datagram socket; false on failure.
    bool Open();
    // Joins a multicast group (network order) on an interface (0 = any).
    bool JoinGroup(uint32_t group, uint32_t interfaceAddress = 0);
    // One sendto; the byte count, or kSocketError.
    int SendTo(const void* data, int length, const Ipv4Endpoint& to);
    // One recvfrom of at most `capacity` bytes: the byte count (0 for an empty datagram),
    // kWouldBlock when nothing waits, kTruncated for a datagram longer than `capacity`
    // (it is consumed), kSocketError otherwise. `from` receives the sender when given.
    int ReceiveFrom(void* buffer, int capacity, Ipv4Endpoint* from = nullptr);
};

enum class ConnectResult { Connected, InProgress, Failed };

class TcpSocket : public Socket {
public:
    bool Open();
    // Starts a connection (immediately done, in progress on a non-blocking socket, or failed).
    ConnectResult Connect(const Ipv4Endpoint& to);
    // True when the socket is writable now (no waiting).
    bool IsWritable();
    // The pending socket error (SO_ERROR): 0 once a connection has succeeded.
    int PendingError();
    bool SetNoDelay();
    // One send: bytes sent, kWouldBlock when there is no room, kSocketError otherwise.
    int Send(const void* data, int length);
    // One receive: bytes read (0 = closed by the peer), kWouldBlock, or kSocketError.
    int Receive(void* buffer, int capacity);
};

class TcpListener : public Socket {
public:
    // Opens, binds to the address and port (0 = ephemeral) and listens, non-blocking.
    bool Listen(uint32_t address, uint16_t port, int backlog = 8);
    // A waiting connection as a non-blocking socket, or a closed one when none waits.
    TcpSocket Accept();
};

} // namespace platform::net
