#include "net/WorldServerHostAgent.h"

#include "app/ConsoleParam.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "gui/MessageBox.h"
#include "net/FlimbsUdpStream.h"
#include "net/IceAgent.h"
#include "net/NetServices.h"
#include "net/NetSettings.h"
#include "net/WorldServerClient.h"
#include "net/flimbsworld.pb.h"
#include "platform/desktop/OpenUrl.h"

#include <algorithm>

namespace {

constexpr uint32_t kGameVersion = 124;
constexpr uint32_t kGameVariant = 2;
constexpr size_t kPlayerSlots = 16;
constexpr const char* kProblemText = "Flimbs has detected that your server is not publicly accessible via the "
                                     "internet.\nWould you like to view help on port forwarding?";

// The console variable of that name; registered here when no folder has registered it.
ConsoleParam& SettingParam(const char* name, ConsoleParamType type, const char* defaultText, const char* help)
{
    if (ConsoleParam* found = ConsoleParam::Find(name))
        return *found;
    static std::vector<std::unique_ptr<ConsoleParam>> registered;
    registered.push_back(std::make_unique<ConsoleParam>(name, type, defaultText, help));
    return *registered.back();
}

void ShowProblemBoxInGui(const std::string& title, const std::string& text, std::function<void()> openHelp)
{
    ShowClosableMessageBox(TranslateText(title), TranslateText(text),
                           {{TranslateText("Yes"), [openHelp](Primitive*, Button*) { openHelp(); }}});
}

} // namespace

int WorldServerHostAgent::ConnectPortSetting()
{
    return SettingParam("connectPORT", ConsoleParamType::Int, "9877", "the direct connect port").GetInt();
}

std::string WorldServerHostAgent::ServerNameSetting()
{
    return SettingParam("servername", ConsoleParamType::Text, "", "the server's name").GetString();
}

FlimbsPseudoTcpManaged2::FlimbsPseudoTcpManaged2(WorldServerHostAgent* agent, FlimbsUdpStream* datagrams,
                                                 uint32_t ownClientId, uint32_t peerClientId)
    : FlimbsPseudoTcp(datagrams), agent_(agent), datagrams_(datagrams), peerClientId_(peerClientId)
{
    SetConnectionKey(kIceConnectionKey);
    SetName("WCS HOST: host_client_id [" + std::to_string(ownClientId) + "] <==> peer_client_id [" +
            std::to_string(peerClientId) + "]");
    // The ICE stream goes with its agent when the host agent is taken down first.
    destroyedConnection_ = datagrams->SignalDestroyed.connect([this](FlimbsUdpStream*) {
        datagrams_ = nullptr;
        DetachDatagramStream();
    });
}

FlimbsPseudoTcpManaged2::~FlimbsPseudoTcpManaged2()
{
    SignalClosed.disconnect_all_slots();
    SignalConnected.disconnect_all_slots();
    Close();
    if (agent_)
        agent_->Remove(this);
    destroyedConnection_.disconnect();
    DetachDatagramStream();
    delete datagrams_; // leaves its ICE agent's list on the way
}

WorldServerHostAgent::WorldServerHostAgent(NetClock clock)
    : showProblemBox(ShowProblemBoxInGui), clock_(std::move(clock)), alive_(std::make_shared<int>(0))
{
    client_ = std::make_unique<WorldServerClient>(clock_);
    client_->SetHelloNumbers(kGameVersion, kGameVariant);
    ice_ = std::make_unique<IceAgent>(true, clock_);
    client_->SignalPeer.connect([this](const flimbsworld::PeerMessage* message) { OnPeerMessage(message); });
    client_->Connect();
}

WorldServerHostAgent::~WorldServerHostAgent() { DisconnectAll(); }

size_t WorldServerHostAgent::StreamCount() const
{
    return size_t(std::count_if(streams_.begin(), streams_.end(), [](auto* s) { return s != nullptr; }));
}

void WorldServerHostAgent::Remove(FlimbsPseudoTcpManaged2* stream)
{
    auto found = std::find(streams_.begin(), streams_.end(), stream);
    if (found != streams_.end()) {
        if (iterating_ > 0)
            *found = nullptr;
        else
            streams_.erase(found);
    }
    ready_.erase(std::remove(ready_.begin(), ready_.end(), stream), ready_.end());
}

FlimbsPseudoTcpManaged2* WorldServerHostAgent::FindStream(uint32_t peerClientId) const
{
    for (FlimbsPseudoTcpManaged2* stream : streams_)
        if (stream && stream->PeerClientId() == peerClientId)
            return stream;
    return nullptr;
}

void WorldServerHostAgent::DisconnectAll()
{
    std::vector<FlimbsPseudoTcpManaged2*> streams;
    streams.swap(streams_);
    ready_.clear();
    for (FlimbsPseudoTcpManaged2* stream : streams) {
        if (!stream)
            continue;
        stream->agent_ = nullptr;
        if (!stream->handedOver)
            delete stream;
    }
    if (client_)
        client_->Disconnect();
    client_.reset();
    ice_.reset();
}

void WorldServerHostAgent::Pump()
{
    if (!client_ || !ice_)
        return;
    const uint32_t now = clock_();
    ++iterating_;
    for (size_t i = 0; i < streams_.size(); ++i) {
        FlimbsPseudoTcpManaged2* stream = streams_[i];
        if (!stream)
            continue;
        const int state = stream->State();
        const bool stale = (state == FlimbsPseudoTcp::kIdle || state == FlimbsPseudoTcp::kConnecting) &&
                           now - stream->createdTick > kHandshakeTimeoutMs;
        if (!stream->connected && (state == FlimbsPseudoTcp::kClosed || stale))
            delete stream;
        else
            stream->Update(true);
    }
    --iterating_;
    streams_.erase(std::remove(streams_.begin(), streams_.end(), nullptr), streams_.end());

    client_->Update();
    ice_->Pump();
    ReapIceStreams(now);
    if (published_ && clock_() - lastPublish_ > kRefreshMs)
        Publish(false);
    EmitReady();
}

void WorldServerHostAgent::ReapIceStreams(uint32_t now)
{
    std::vector<FlimbsUdpStream*> stale;
    for (FlimbsUdpStream* stream : ice_->Streams())
        if (!FindStream(stream->ownerTag) && now - stream->CreatedTick() > kIceTimeoutMs)
            stale.push_back(stream);
    for (FlimbsUdpStream* stream : stale) {
        WriteLog("[ha] Dropping the unfinished ICE stream of client %u\n", stream->ownerTag);
        ice_->RemoveStream(stream);
    }
}

void WorldServerHostAgent::EmitReady()
{
    if (ready_.empty())
        return;
    std::vector<FlimbsPseudoTcpManaged2*> ready;
    ready.swap(ready_);
    const std::weak_ptr<int> alive = alive_;
    for (FlimbsPseudoTcpManaged2* stream : ready) {
        if (alive.expired())
            return;
        stream->handedOver = SignalStreamReady.num_slots() > 0;
        SignalStreamReady(stream);
    }
}

void WorldServerHostAgent::OnPeerMessage(const flimbsworld::PeerMessage* message)
{
    const uint32_t peer = message->from_client_id();
    size_t pending = 0;
    for (FlimbsUdpStream* stream : ice_->Streams()) {
        if (FindStream(stream->ownerTag))
            continue;
        ++pending;
        if (stream->ownerTag == peer) {
            WriteLog("[ha] Client %u already has a connection under way\n", peer);
            return;
        }
    }
    if (pending >= kMaxPendingIce) {
        WriteLog("[ha] Too many clients joining at once; ignoring client %u\n", peer);
        return;
    }
    FlimbsUdpStream* stream = ice_->CreateStream();
    if (!stream)
        return;
    stream->ownerTag = peer;
    stream->peerCandidates = message->candidates();
    stream->SignalCandidatesGathered.connect([this](FlimbsUdpStream* s) { OnGathered(s); });
    stream->SetRemoteCredentials(message->credentials());
    stream->GatherCandidates();
}

void WorldServerHostAgent::OnGathered(FlimbsUdpStream* stream)
{
    WriteLog("[ha] Host finished gathering candidates\n");
    flimbsworld::PeerCandidates candidates;
    flimbsworld::Credentials credentials;
    stream->GetLocalCandidates(candidates);
    stream->GetLocalCredentials(credentials);
    client_->SendPeerMessage(stream->ownerTag, candidates, credentials, [](int result) {
        if (result == 1)
            WriteLog("[ha] Client really got the list of candidates!  Waiting for connection to be established!\n");
    });
    stream->SignalIceResult.connect([this](FlimbsUdpStream* s, bool ok) { OnIceUdpConnection(s, ok); });
    stream->SetRemoteCandidates(stream->peerCandidates);
}

void WorldServerHostAgent::OnIceUdpConnection(FlimbsUdpStream* stream, bool ok)
{
    if (FindStream(stream->ownerTag)) {
        WriteLog("[ha] OnIceUdpConnection : Found existing managed tcp stream\n");
        return;
    }
    if (!ok) {
        WriteLog("[ha] OnIceUdpConnection: Host-Client UDP stream FAIL!\n");
        ice_->RemoveStream(stream); // nothing of the stream is touched after this
        return;
    }
    WriteLog("[ha][%d] OnIceUdpConnection: Host successfully established UDP stream with client\n", Now());
    auto* managed = new FlimbsPseudoTcpManaged2(this, stream, uint32_t(client_->ClientId()), stream->ownerTag);
    managed->SetClock(clock_);
    managed->createdTick = clock_();
    managed->SignalConnected.connect([this, managed] {
        WriteLog("[ha][%d] Host successfully connected with client via pseudo tcp\n", Now());
        managed->connected = true;
        ready_.push_back(managed);
    });
    streams_.push_back(managed);
}

void WorldServerHostAgent::Publish(bool full)
{
    if (!client_ || client_->State() != WorldServerClient::kLoggedIn)
        return;
    if (!full && !everRegistered_) {
        publishWanted_ = true;
        return;
    }
    const HostListing listing = listingSource ? listingSource() : HostListing{};
    flimbsworld::ServerInfo info;
    if (full) {
        info.set_server_name(ServerNameSetting());
        info.set_level_title(listing.matchText);
        info.set_level_guid(listing.levelFile);
        info.set_game_mode(listing.modeValue);
        info.set_max_players(listing.maxPlayers);
        info.set_server_port(uint32_t(ConnectPortSetting()));
    }
    uint32_t players = 0;
    for (size_t slot = 0; slot < listing.players.size() && slot < kPlayerSlots; ++slot) {
        const HostListing::Player& player = listing.players[slot];
        if (player.observer)
            continue;
        ++players;
        flimbsworld::FlimbsPlayer* entry = info.add_player();
        entry->set_name(player.name);
        entry->set_detail(player.account);
        entry->set_player_uuid(UuidToString(player.profileId));
    }
    info.set_players(players);
    info.set_server_state(listing.serverState);
    client_->RegisterServer(info, [this](const flimbsworld::ServerRegisterResult& result) { OnRegisterResult(result); });
    publishWanted_ = false;
    lastPublish_ = clock_();
    published_ = true;
}

void WorldServerHostAgent::OnRegisterResult(const flimbsworld::ServerRegisterResult& result)
{
    if (result.registered() != 0) {
        everRegistered_ = true;
        if (result.reason() == 0) {
            PostNetNotice(TranslateText("Your server has been publicly listed."));
            WriteLog("[ha] Server is registered and ready!\n");
        }
        if (publishWanted_)
            Publish(false);
        return;
    }
    if (result.reason() == 1 && !networkProblemShown_) {
        networkProblemShown_ = true;
        if (showProblemBox)
            showProblemBox("Network Problem", kProblemText,
                           [] { platform::OpenUrl(GetNetSettings().portForwardingHelpUrl); });
    }
    WriteLog("[ha] Server isn't registered!\n");
}
