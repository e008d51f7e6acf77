// World-server bytes cut into receives at random, fed to a client waiting for the hello, the
// login result or logged in (states 4 to 6), with two requests of its own pending so that
// answers can match them.
//
// Input: byte 0 picks the state; then chunks as [u8 length][bytes], one receive each.
#include "FuzzHome.h"
#include "net/WorldServerClient.h"
#include "net/flimbsworld.pb.h"

#include <cstdint>
#include <sys/socket.h>
#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0)
        return 0;
    uint32_t now = 1000;
    {
        WorldServerClient client([&now] { return now; });
        client.AttachConnectedSocket(pair[0], WorldServerClient::kWaitHello + data[0] % 3, 7);
        int peerResults = 0;
        client.SignalPeer.connect([](const flimbsworld::PeerMessage* message) { (void)message->from_client_id(); });
        flimbsworld::ServerInfo info;
        info.set_server_name("fuzz");
        client.RegisterServer(info, [](const flimbsworld::ServerRegisterResult& result) { (void)result.reason(); });
        client.SendPeerMessage(9, flimbsworld::PeerCandidates(), flimbsworld::Credentials(),
                               [&peerResults](int) { ++peerResults; });
        char sink[4096];
        size_t offset = 1;
        while (offset < size && client.State() != WorldServerClient::kDisconnected) {
            const size_t length = std::min<size_t>(data[offset] % 64 + 1, size - offset - 1);
            ++offset;
            if (length > 0 && send(pair[1], data + offset, length, MSG_NOSIGNAL) < 0)
                break;
            offset += length;
            client.Update();
            now += 16;
            while (recv(pair[1], sink, sizeof sink, 0) > 0) {
            }
        }
        for (int i = 0; i < 4 && client.State() != WorldServerClient::kDisconnected; ++i)
            client.Update();
    }
    close(pair[1]);
    return 0;
}
