// A peer message as the world server relays it, parsed and applied to an ICE stream: its
// credentials and candidates (any address, type, transport, foundation) go to libnice.
#include "FuzzHome.h"
#include "net/FlimbsUdpStream.h"
#include "net/IceAgent.h"
#include "net/NetSettings.h"
#include "net/flimbsworld.pb.h"

#include <cstdint>

namespace {
IceAgent* agent = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    GetNetSettings().iceLocalAddresses = {"127.0.0.1"};
    GetNetSettings().iceUpnp = false;
    agent = new IceAgent(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    flimbsworld::PeerMessage message;
    if (!message.ParseFromArray(data, int(size)))
        return 0;
    FlimbsUdpStream* stream = agent->CreateStream();
    if (!stream)
        return 0;
    stream->SetRemoteCredentials(message.credentials());
    stream->SetRemoteCandidates(message.candidates());
    agent->Pump();
    agent->RemoveStream(stream);
    return 0;
}
