#include "net/ClientAgent.h"

ClientAgent::ClientAgent() : alive_(std::make_shared<int>(0)) {}

ClientAgent::~ClientAgent() = default;

const char* ClientAgent::CloseReasonText(PseudoTcpCloseResult reason)
{
    switch (reason) {
    case TCR_LOST_CONNECTION: return "The connection to the server timed out.";
    case TCR_PEER_DISCONNECT: return "The server has left the game.";
    case TCR_QUEUE_OVERFLOW: return "Couldn't connect to server.";
    case TCR_SEND_FAILED: return "Failed to send data to the server.";
    case TCR_USER: break;
    }
    return nullptr;
}

void ClientAgent::Fail(const char* text)
{
    running_ = false;
    if (failed_ || !text)
        return;
    failed_ = true;
    pending_.push_back({nullptr, text});
}

void ClientAgent::StreamReady(IFlimbsStream* stream) { pending_.push_back({stream, {}}); }

void ClientAgent::EmitPending()
{
    if (pending_.empty())
        return;
    const std::weak_ptr<int> alive = alive_;
    std::vector<Event> events;
    events.swap(pending_);
    for (const Event& event : events) {
        if (alive.expired())
            return;
        if (event.stream)
            SignalStreamReady(event.stream);
        else
            SignalFailure(event.failure.c_str());
    }
}
