#pragma once
// One libnice ICE agent with its own GLib main context, and the datagram streams made on
// it. The owner pumps the context from the game's update (Pump); the loop on it is never
// run, so every callback happens inside Pump on the owner's thread. The agent owns its
// streams and deletes those still present when it goes.
//
// Owners must not delete the agent from inside a slot of one of its streams' signals
// (those run inside Pump); they defer it to after Pump.
#include "net/NetClock.h"

#include <cstdint>
#include <vector>

class FlimbsUdpStream;
typedef struct _NiceAgent NiceAgent;
typedef struct _GMainContext GMainContext;
typedef struct _GMainLoop GMainLoop;

class IceAgent {
public:
    // Standard ICE; `controlling` for the host's side. The STUN server and extra local
    // addresses come from the network settings.
    explicit IceAgent(bool controlling, NetClock clock = DefaultNetClock());
    ~IceAgent();
    IceAgent(const IceAgent&) = delete;
    IceAgent& operator=(const IceAgent&) = delete;

    // A new stream of one component, receiving on the agent's context. Gathering is
    // started by the owner.
    FlimbsUdpStream* CreateStream();
    // Takes a listed stream out and deletes it (once); a stream not listed is left alone.
    void RemoveStream(FlimbsUdpStream* stream);
    // Dispatches what is pending on the context without blocking.
    void Pump();

    NiceAgent* Agent() const { return agent_; }
    uint32_t Now() const { return clock_(); }
    const std::vector<FlimbsUdpStream*>& Streams() const { return streams_; }
    FlimbsUdpStream* FindStream(uint32_t streamId) const;

private:
    friend class FlimbsUdpStream;
    // Takes the stream out of the list and out of libnice, without deleting it.
    void Detach(FlimbsUdpStream* stream);

    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    NiceAgent* agent_ = nullptr;
    std::vector<FlimbsUdpStream*> streams_;
    NetClock clock_;
};
