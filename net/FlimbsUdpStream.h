#pragma once
// One stream (component 1) of an ICE agent as a datagram stream. Its agent owns it; it may
// also be deleted directly, and either path removes and deletes it once.
#include "net/IFlimbsUdpStream.h"
#include "net/NetSignal.h"
#include "net/flimbsworld.pb.h"

#include <cstdint>

class IceAgent;

class FlimbsUdpStream : public IFlimbsUdpStream {
public:
    FlimbsUdpStream(IceAgent* agent, uint32_t streamId, uint32_t createdTick);
    ~FlimbsUdpStream() override;
    FlimbsUdpStream(const FlimbsUdpStream&) = delete;
    FlimbsUdpStream& operator=(const FlimbsUdpStream&) = delete;

    // nice_agent_send on component 1: the bytes sent or a negative value.
    int Send(const void* data, int length) override;

    // Appends one candidate per local candidate of component 1.
    void GetLocalCandidates(flimbsworld::PeerCandidates& candidates);
    // Hands the peer's candidates to ICE; a candidate with a bad address, type or transport
    // is skipped with a log line. Returns the number ICE took (negative on failure).
    int SetRemoteCandidates(const flimbsworld::PeerCandidates& candidates);
    void GetLocalCredentials(flimbsworld::Credentials& credentials);
    bool SetRemoteCredentials(const flimbsworld::Credentials& credentials);
    // Starts gathering the local candidates.
    bool GatherCandidates();

    // A new component state from ICE: repeats and a fall from ready (4) to connected (3)
    // are ignored; connected (3) reports success, failed (5) failure.
    void OnComponentState(uint32_t state);

    uint32_t StreamId() const { return streamId_; }
    uint32_t CreatedTick() const { return createdTick_; }
    IceAgent* Agent() const { return agent_; }
    uint32_t LastState() const { return lastState_; }

    NetSignal<void(FlimbsUdpStream*)> SignalCandidatesGathered;
    NetSignal<void(FlimbsUdpStream*, bool)> SignalIceResult;
    // Emitted first thing when the stream is deleted, by whichever path.
    NetSignal<void(FlimbsUdpStream*)> SignalDestroyed;

    flimbsworld::PeerCandidates peerCandidates; // for the owner's use
    uint32_t ownerTag = 0;                     // set by the owner to tell its streams apart
    bool removed = false;                      // taken out of its agent already

private:
    uint32_t createdTick_;
    IceAgent* agent_;
    uint32_t streamId_;
    uint32_t componentId_ = 1;
    uint32_t lastState_ = 0;
};

// The libnice name of a component state ("NICE_COMPONENT_STATE_READY").
const char* IceComponentStateName(uint32_t state);
