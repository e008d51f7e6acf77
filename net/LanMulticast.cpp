#include "net/LanMulticast.h"

#include "app/GameException.h"
#include "app/Log.h"
#include "net/NetSettings.h"

namespace {

uint32_t GroupAddress(const std::string& group)
{
    uint32_t address = 0;
    if (!platform::net::ParseIpv4(group, address))
        WriteLog("Bad LAN group address %s\n", group.c_str());
    return address;
}

} // namespace

LanMulticastSender::LanMulticastSender() : LanMulticastSender(GetNetSettings().lanGroup, GetNetSettings().lanPort) {}

LanMulticastSender::LanMulticastSender(const std::string& group, int port)
{
    if (!socket_.Open())
        throw GameException("Error Creating Multicast Sender Socket");
    destination_ = {GroupAddress(group), uint16_t(port)};
}

int LanMulticastSender::Send(const void* data, int length)
{
    const int sent = socket_.SendTo(data, length, destination_);
    return sent >= 0 ? sent : -1;
}

LanMulticastReceiver::LanMulticastReceiver()
    : LanMulticastReceiver(GetNetSettings().lanGroup, GetNetSettings().lanPort)
{
}

LanMulticastReceiver::LanMulticastReceiver(const std::string& group, int port)
{
    if (!socket_.Open())
        throw GameException("Error Creating Multicast Receive Socket");
    if (!socket_.SetReuseAddress())
        throw GameException("Reusing ADDR failed");
    if (port < 0 || port > 65535 || !socket_.Bind(0, uint16_t(port)))
        throw GameException("Error binding multicast socket");
    if (!socket_.JoinGroup(GroupAddress(group), 0))
        throw GameException("Failed to join multicast group");
    socket_.SetNonBlocking();
}

int LanMulticastReceiver::Receive(void* buffer, std::string* address, int* port)
{
    platform::net::Ipv4Endpoint from;
    const int got = socket_.ReceiveFrom(buffer, kMaxDatagram, &from);
    if (got == platform::net::kTruncated) {
        WriteLog("LAN: dropped a datagram longer than %d bytes from %s\n", kMaxDatagram,
                 platform::net::Ipv4Text(from.address).c_str());
        return platform::net::kTruncated;
    }
    if (got < 0)
        return got;
    lastSender_ = from;
    if (address)
        *address = platform::net::Ipv4Text(from.address);
    if (port)
        *port = from.port;
    return got;
}
