#pragma once
// A joining game's connection attempt: it ends in a connected reliable stream, reported by
// the stream-ready signal, or in a failure text for the player. The agent keeps owning the
// stream (it pumps what the stream runs over); the receiver uses it while the agent lives.
//
// Both signals are emitted at the end of Update, so a slot may delete the agent.
#include "net/IFlimbsStream.h"
#include "net/NetSignal.h"

#include <memory>
#include <string>
#include <vector>

class ClientAgent {
public:
    ClientAgent();
    virtual ~ClientAgent();
    ClientAgent(const ClientAgent&) = delete;
    ClientAgent& operator=(const ClientAgent&) = delete;

    // Once per frame (also while a level loads).
    virtual void Update() = 0;
    // True while the attempt or the connection works; a failure clears it.
    bool IsRunning() const { return running_; }

    NetSignal<void(IFlimbsStream*)> SignalStreamReady;
    NetSignal<void(const char*)> SignalFailure;

    // The player's text for a reliable stream's close reason; null for a user close.
    static const char* CloseReasonText(PseudoTcpCloseResult reason);

protected:
    // Records the failure (once: the first one wins) and stops the agent.
    void Fail(const char* text);
    void StreamReady(IFlimbsStream* stream);
    // Emits what was recorded since the last call; the owner's Update calls it last.
    void EmitPending();

    bool running_ = true;

private:
    struct Event {
        IFlimbsStream* stream = nullptr;
        std::string failure;
    };
    std::vector<Event> pending_;
    bool failed_ = false;
    std::shared_ptr<int> alive_;
};
