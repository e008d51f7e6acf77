#include "net/FlimbsUdpStream.h"

#include "app/Log.h"
#include "net/IceAgent.h"

#include <nice/agent.h>

#include <cstdio>

namespace {

constexpr uint32_t kStateConnected = NICE_COMPONENT_STATE_CONNECTED;
constexpr uint32_t kStateReady = NICE_COMPONENT_STATE_READY;
constexpr uint32_t kStateFailed = NICE_COMPONENT_STATE_FAILED;

void ToMessage(const NiceAddress& address, std::string* text, uint32_t* port)
{
    char buffer[NICE_ADDRESS_STRING_LEN] = {};
    nice_address_to_string(&address, buffer);
    *text = buffer;
    *port = nice_address_get_port(&address);
}

bool FromMessage(const std::string& text, uint32_t port, NiceAddress& address)
{
    if (port > 65535 || !nice_address_set_from_string(&address, text.c_str()))
        return false;
    nice_address_set_port(&address, port);
    return true;
}

} // namespace

const char* IceComponentStateName(uint32_t state)
{
    static const char* const names[] = {
        "NICE_COMPONENT_STATE_DISCONNECTED", "NICE_COMPONENT_STATE_GATHERING", "NICE_COMPONENT_STATE_CONNECTING",
        "NICE_COMPONENT_STATE_CONNECTED",    "NICE_COMPONENT_STATE_READY",     "NICE_COMPONENT_STATE_FAILED",
        "NICE_COMPONENT_STATE_LAST"};
    return state < 7 ? names[state] : "NICE_COMPONENT_STATE_UNKNOWN";
}

FlimbsUdpStream::FlimbsUdpStream(IceAgent* agent, uint32_t streamId, uint32_t createdTick)
    : createdTick_(createdTick), agent_(agent), streamId_(streamId)
{
}

FlimbsUdpStream::~FlimbsUdpStream()
{
    SignalDestroyed(this);
    if (!removed) {
        removed = true;
        agent_->Detach(this);
    }
}

int FlimbsUdpStream::Send(const void* data, int length)
{
    if (length < 0)
        return -1;
    return nice_agent_send(agent_->Agent(), streamId_, componentId_, guint(length), static_cast<const gchar*>(data));
}

bool FlimbsUdpStream::GatherCandidates() { return nice_agent_gather_candidates(agent_->Agent(), streamId_); }

void FlimbsUdpStream::GetLocalCandidates(flimbsworld::PeerCandidates& candidates)
{
    GSList* list = nice_agent_get_local_candidates(agent_->Agent(), streamId_, componentId_);
    for (GSList* item = list; item; item = item->next) {
        auto* nice = static_cast<NiceCandidate*>(item->data);
        flimbsworld::Candidate* candidate = candidates.add_candidate();
        candidate->set_type(nice->type);
        uint32_t port = 0;
        ToMessage(nice->addr, candidate->mutable_address(), &port);
        candidate->set_port(port);
        ToMessage(nice->base_addr, candidate->mutable_base_address(), &port);
        candidate->set_base_port(port);
        candidate->set_transport(nice->transport);
        candidate->set_priority(nice->priority);
        if (nice->username)
            candidate->set_username(nice->username);
        if (nice->password)
            candidate->set_password(nice->password);
        candidate->set_foundation(nice->foundation);
        nice_candidate_free(nice);
    }
    g_slist_free(list);
}

int FlimbsUdpStream::SetRemoteCandidates(const flimbsworld::PeerCandidates& candidates)
{
    GSList* list = nullptr;
    for (const flimbsworld::Candidate& candidate : candidates.candidate()) {
        if (candidate.type() > NICE_CANDIDATE_TYPE_RELAYED || candidate.transport() > NICE_CANDIDATE_TRANSPORT_TCP_SO) {
            WriteLog("Skipping a peer candidate of type %u, transport %u\n", candidate.type(), candidate.transport());
            continue;
        }
        NiceCandidate* nice = nice_candidate_new(NiceCandidateType(candidate.type()));
        const bool baseGiven = !candidate.base_address().empty();
        if (!FromMessage(candidate.address(), candidate.port(), nice->addr) ||
            (baseGiven && !FromMessage(candidate.base_address(), candidate.base_port(), nice->base_addr))) {
            WriteLog("Skipping a peer candidate with the address [%.64s]:%u\n", candidate.address().c_str(),
                     candidate.port());
            nice_candidate_free(nice);
            continue;
        }
        nice->stream_id = streamId_;
        nice->component_id = componentId_;
        nice->transport = NiceCandidateTransport(candidate.transport());
        nice->priority = candidate.priority();
        if (!candidate.username().empty())
            nice->username = g_strdup(candidate.username().c_str());
        if (!candidate.password().empty())
            nice->password = g_strdup(candidate.password().c_str());
        g_strlcpy(nice->foundation, candidate.foundation().c_str(), NICE_CANDIDATE_MAX_FOUNDATION);
        list = g_slist_append(list, nice);
    }
    const int added = list ? nice_agent_set_remote_candidates(agent_->Agent(), streamId_, componentId_, list) : 0;
    g_slist_free_full(list, reinterpret_cast<GDestroyNotify>(nice_candidate_free));
    return added;
}

void FlimbsUdpStream::GetLocalCredentials(flimbsworld::Credentials& credentials)
{
    gchar* ufrag = nullptr;
    gchar* pwd = nullptr;
    if (nice_agent_get_local_credentials(agent_->Agent(), streamId_, &ufrag, &pwd)) {
        credentials.set_ufrag(ufrag ? ufrag : "");
        credentials.set_pwd(pwd ? pwd : "");
    }
    g_free(ufrag);
    g_free(pwd);
}

bool FlimbsUdpStream::SetRemoteCredentials(const flimbsworld::Credentials& credentials)
{
    return nice_agent_set_remote_credentials(agent_->Agent(), streamId_, credentials.ufrag().c_str(),
                                             credentials.pwd().c_str());
}

void FlimbsUdpStream::OnComponentState(uint32_t state)
{
    if (state == lastState_ || (lastState_ == kStateReady && state == kStateConnected))
        return;
    lastState_ = state;
    std::printf("[%u] - %s\n", streamId_, IceComponentStateName(state));
    if (state == kStateConnected)
        SignalIceResult(this, true);
    else if (state == kStateFailed)
        SignalIceResult(this, false);
}
