#include "platform/net/Socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::net {

namespace {

sockaddr_in ToSockaddr(const Ipv4Endpoint& endpoint)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = endpoint.address;
    address.sin_port = htons(endpoint.port);
    return address;
}

bool IsWouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

} // namespace

std::string Ipv4Text(uint32_t address)
{
    in_addr in{};
    in.s_addr = address;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &in, text, sizeof text);
    return text;
}

bool ParseIpv4(const std::string& text, uint32_t& address)
{
    in_addr in{};
    if (inet_pton(AF_INET, text.c_str(), &in) != 1)
        return false;
    address = in.s_addr;
    return true;
}

uint32_t MakeIpv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    return htonl(uint32_t(a) << 24 | uint32_t(b) << 16 | uint32_t(c) << 8 | uint32_t(d));
}

bool ResolveIpv4(const std::string& host, int port, Ipv4Endpoint& result)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
        return false;
    bool any = false;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in))
            continue;
        const auto* in = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        result.address = in->sin_addr.s_addr;
        result.port = uint16_t(port);
        any = true;
    }
    freeaddrinfo(found);
    return any;
}

Socket::~Socket() { Close(); }

Socket::Socket(Socket&& other) noexcept : fd_(other.fd_), lastError_(other.lastError_) { other.fd_ = -1; }

Socket& Socket::operator=(Socket&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        lastError_ = other.lastError_;
        other.fd_ = -1;
    }
    return *this;
}

void Socket::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void Socket::Adopt(int descriptor)
{
    Close();
    fd_ = descriptor;
}

bool Socket::Fail()
{
    lastError_ = errno;
    return false;
}

bool Socket::SetNonBlocking()
{
    const int flags = fcntl(fd_, F_GETFL, 0);
    if (flags < 0 || fcntl(fd_, F_SETFL, flags | O_NONBLOCK) < 0)
        return Fail();
    return true;
}

bool Socket::SetReuseAddress()
{
    const int on = 1;
    if (setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0)
        return Fail();
    return true;
}

bool Socket::Bind(uint32_t address, uint16_t port)
{
    const sockaddr_in local = ToSockaddr({address, port});
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return Fail();
    return true;
}

Ipv4Endpoint Socket::LocalEndpoint() const
{
    sockaddr_in local{};
    socklen_t size = sizeof local;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size) != 0)
        return {};
    return {local.sin_addr.s_addr, ntohs(local.sin_port)};
}

bool UdpSocket::Open()
{
    Close();
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return fd_ >= 0 || Fail();
}

bool UdpSocket::JoinGroup(uint32_t group, uint32_t interfaceAddress)
{
    ip_mreq request{};
    request.imr_multiaddr.s_addr = group;
    request.imr_interface.s_addr = interfaceAddress;
    if (setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) != 0)
        return Fail();
    return true;
}

int UdpSocket::SendTo(const void* data, int length, const Ipv4Endpoint& to)
{
    if (length < 0)
        return kSocketError;
    const sockaddr_in target = ToSockaddr(to);
    for (;;) {
        const ssize_t sent = ::sendto(fd_, data, size_t(length), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&target),
                                      sizeof target);
        if (sent >= 0)
            return int(sent);
        if (errno == EINTR)
            continue;
        lastError_ = errno;
        return IsWouldBlock(errno) ? kWouldBlock : kSocketError;
    }
}

int UdpSocket::ReceiveFrom(void* buffer, int capacity, Ipv4Endpoint* from)
{
    if (capacity < 0)
        return kSocketError;
    sockaddr_in sender{};
    for (;;) {
        socklen_t size = sizeof sender;
        // MSG_TRUNC: the result is the datagram's real length, so a longer one is seen.
        const ssize_t got = ::recvfrom(fd_, buffer, size_t(capacity), MSG_TRUNC, reinterpret_cast<sockaddr*>(&sender),
                                       &size);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            lastError_ = errno;
            return IsWouldBlock(errno) ? kWouldBlock : kSocketError;
        }
        if (from)
            *from = {sender.sin_addr.s_addr, ntohs(sender.sin_port)};
        if (got > capacity)
            return kTruncated;
        return int(got);
    }
}

bool TcpSocket::Open()
{
    Close();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    return fd_ >= 0 || Fail();
}

ConnectResult TcpSocket::Connect(const Ipv4Endpoint& to)
{
    const sockaddr_in target = ToSockaddr(to);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0)
        return ConnectResult::Connected;
    lastError_ = errno;
    if (errno == EINPROGRESS || errno == EINTR)
        return ConnectResult::InProgress;
    return ConnectResult::Failed;
}

bool TcpSocket::IsWritable()
{
    pollfd entry{fd_, POLLOUT, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLOUT | POLLERR | POLLHUP)) != 0;
}

int TcpSocket::PendingError()
{
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return errno;
    return error;
}

bool TcpSocket::SetNoDelay()
{
    const int on = 1;
    if (setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0)
        return Fail();
    return true;
}

int TcpSocket::Send(const void* data, int length)
{
    if (length < 0)
        return kSocketError;
    for (;;) {
        const ssize_t sent = ::send(fd_, data, size_t(length), MSG_NOSIGNAL);
        if (sent >= 0)
            return int(sent);
        if (errno == EINTR)
            continue;
        lastError_ = errno;
        return IsWouldBlock(errno) ? kWouldBlock : kSocketError;
    }
}

int TcpSocket::Receive(void* buffer, int capacity)
{
    if (capacity < 0)
        return kSocketError;
    for (;;) {
        const ssize_t got = ::recv(fd_, buffer, size_t(capacity), 0);
        if (got >= 0)
            return int(got);
        if (errno == EINTR)
            continue;
        lastError_ = errno;
        return IsWouldBlock(errno) ? kWouldBlock : kSocketError;
    }
}

bool TcpListener::Listen(uint32_t address, uint16_t port, int backlog)
{
    Close();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return Fail();
    SetReuseAddress();
    if (!Bind(address, port) || ::listen(fd_, backlog) != 0 || !SetNonBlocking()) {
        lastError_ = errno;
        Close();
        return false;
    }
    return true;
}

TcpSocket TcpListener::Accept()
{
    TcpSocket accepted;
    const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        lastError_ = errno;
    else
        accepted.Adopt(fd);
    return accepted;
}

} // namespace platform::net
