#include "net/IceAgent.h"

#include "app/Log.h"
#include "net/FlimbsUdpStream.h"
#include "net/NetSettings.h"
#include "platform/net/Socket.h"

#include <nice/agent.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kMaxDispatchesPerPump = 10000;

IceAgent* Self(gpointer data) { return static_cast<IceAgent*>(data); }

void OnGatheringDone(NiceAgent*, guint streamId, gpointer data)
{
    IceAgent* self = Self(data);
    FlimbsUdpStream* stream = self->FindStream(streamId);
    if (!stream)
        return;
    WriteLog("[%d] candidate_gathering_done\n", int(self->Now() - stream->CreatedTick()));
    stream->SignalCandidatesGathered(stream);
}

void OnComponentStateChanged(NiceAgent*, guint streamId, guint, guint state, gpointer data)
{
    FlimbsUdpStream* stream = Self(data)->FindStream(streamId);
    std::printf("component_state_changed\n");
    if (stream)
        stream->OnComponentState(state);
}

void OnNewCandidate(NiceAgent* agent, guint streamId, guint componentId, gchar*, gpointer data)
{
    IceAgent* self = Self(data);
    FlimbsUdpStream* stream = self->FindStream(streamId);
    if (!stream)
        return;
    std::string line = "[" + std::to_string(int(self->Now() - stream->CreatedTick())) + "] new_candidate";
    GSList* candidates = nice_agent_get_local_candidates(agent, streamId, componentId);
    for (GSList* item = candidates; item; item = item->next) {
        auto* candidate = static_cast<NiceCandidate*>(item->data);
        char address[NICE_ADDRESS_STRING_LEN] = {};
        nice_address_to_string(&candidate->addr, address);
        line += "\t" + std::string(address) + ":" + std::to_string(nice_address_get_port(&candidate->addr));
        nice_candidate_free(candidate);
    }
    g_slist_free(candidates);
    WriteLog("%s\n", line.c_str());
}

void OnNewSelectedPair(NiceAgent*, guint, guint, gchar*, gchar*, gpointer) { std::printf("new_selected_pair\n"); }

void OnInitialBindingRequest(NiceAgent*, guint, gpointer) { std::printf("initial_binding_request_received\n"); }

void OnReceive(NiceAgent*, guint, guint, guint length, gchar* buffer, gpointer data)
{
    auto* stream = static_cast<FlimbsUdpStream*>(data);
    stream->SignalReceived(reinterpret_cast<const uint8_t*>(buffer), int(length));
}

} // namespace

IceAgent::IceAgent(bool controlling, NetClock clock) : clock_(std::move(clock))
{
    context_ = g_main_context_new();
    loop_ = g_main_loop_new(context_, FALSE);
    agent_ = nice_agent_new(g_main_loop_get_context(loop_), NICE_COMPATIBILITY_RFC5245);
    nice_agent_set_software(agent_, "Flimbs Agent");
    g_signal_connect(agent_, "candidate-gathering-done", G_CALLBACK(OnGatheringDone), this);
    g_signal_connect(agent_, "component-state-changed", G_CALLBACK(OnComponentStateChanged), this);
    g_signal_connect(agent_, "new-selected-pair", G_CALLBACK(OnNewSelectedPair), this);
    g_signal_connect(agent_, "new-candidate", G_CALLBACK(OnNewCandidate), this);
    g_signal_connect(agent_, "initial-binding-request-received", G_CALLBACK(OnInitialBindingRequest), this);

    const NetSettings& settings = GetNetSettings();
    if (!settings.stunServerHost.empty()) {
        // libnice takes the STUN server as an address literal.
        platform::net::Ipv4Endpoint stun;
        if (platform::net::ResolveIpv4(settings.stunServerHost, settings.stunServerPort, stun)) {
            const std::string address = platform::net::Ipv4Text(stun.address);
            g_object_set(agent_, "stun-server", address.c_str(), "stun-server-port", guint(settings.stunServerPort),
                         nullptr);
        } else {
            WriteLog("Couldn't resolve the STUN server %s\n", settings.stunServerHost.c_str());
        }
    }
    g_object_set(agent_, "controlling-mode", gboolean(controlling), "upnp", gboolean(settings.iceUpnp), nullptr);
    for (const std::string& text : settings.iceLocalAddresses) {
        NiceAddress address;
        nice_address_init(&address);
        if (nice_address_set_from_string(&address, text.c_str()))
            nice_agent_add_local_address(agent_, &address);
        else
            WriteLog("Ignoring the local ICE address %s\n", text.c_str());
    }
}

IceAgent::~IceAgent()
{
    std::vector<FlimbsUdpStream*> streams;
    streams.swap(streams_);
    for (FlimbsUdpStream* stream : streams) {
        nice_agent_attach_recv(agent_, stream->StreamId(), 1, context_, nullptr, nullptr);
        if (!stream->removed) {
            stream->removed = true;
            delete stream;
        }
    }
    g_object_unref(agent_);
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

FlimbsUdpStream* IceAgent::CreateStream()
{
    const guint id = nice_agent_add_stream(agent_, 1);
    if (id == 0) {
        WriteLog("Couldn't add an ICE stream\n");
        return nullptr;
    }
    auto* stream = new FlimbsUdpStream(this, id, clock_());
    nice_agent_attach_recv(agent_, id, 1, context_, OnReceive, stream);
    streams_.push_back(stream);
    return stream;
}

FlimbsUdpStream* IceAgent::FindStream(uint32_t streamId) const
{
    for (FlimbsUdpStream* stream : streams_)
        if (stream->StreamId() == streamId)
            return stream;
    return nullptr;
}

void IceAgent::Detach(FlimbsUdpStream* stream)
{
    auto found = std::find(streams_.begin(), streams_.end(), stream);
    if (found == streams_.end())
        return;
    streams_.erase(found);
    nice_agent_attach_recv(agent_, stream->StreamId(), 1, context_, nullptr, nullptr);
    nice_agent_remove_stream(agent_, stream->StreamId());
}

void IceAgent::RemoveStream(FlimbsUdpStream* stream)
{
    if (std::find(streams_.begin(), streams_.end(), stream) == streams_.end())
        return;
    Detach(stream);
    if (!stream->removed) {
        stream->removed = true;
        delete stream;
    }
}

void IceAgent::Pump()
{
    for (int i = 0; i < kMaxDispatchesPerPump && g_main_context_iteration(context_, FALSE); ++i) {
    }
}
