#include "net/WorldServerClient.h"

#include "app/Log.h"
#include "app/Md5.h"
#include "net/NetSettings.h"
#include "net/flimbsworld.pb.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kLoginAccepted = 1;

} // namespace

WorldServerClient::WorldServerClient(NetClock clock) : clock_(std::move(clock)) {}

WorldServerClient::~WorldServerClient()
{
    std::printf("Destructing WorldServerClient\n");
    if (socket_.IsOpen())
        Disconnect();
}

std::string WorldServerClient::LoginDigest(const std::string& seed, const std::string& name,
                                           const std::string& password)
{
    Md5Context context;
    context.Update(seed);
    const uint8_t one[4] = {1, 0, 0, 0};
    context.Update(one, sizeof one);
    context.Update(name);
    context.Update(password);
    context.Update(seed);
    return Md5Format(context.Final(), "%02X");
}

void WorldServerClient::SetHelloNumbers(uint32_t gameVersion, uint32_t gameVariant)
{
    helloNumber1_ = gameVersion;
    helloNumber2_ = gameVariant;
}

void WorldServerClient::Connect()
{
    userName_.clear();
    password_.clear();
    host_ = GetNetSettings().worldServerHost;
    port_ = GetNetSettings().worldServerPort;
    state_ = kResolve;
    connectStart_ = clock_();
    std::printf("WorldServerClient::Connect\n");
    ResolveAndConnect();
}

void WorldServerClient::ResolveAndConnect()
{
    std::printf("AsyncResolv2\n");
    platform::net::Ipv4Endpoint server;
    if (host_.empty() || !platform::net::ResolveIpv4(host_, port_, server)) {
        state_ = kResolveError;
        return;
    }
    std::printf("Host %s resolved to [%s]\n", host_.c_str(), platform::net::Ipv4Text(server.address).c_str());
    if (!socket_.Open() || !socket_.SetNonBlocking()) {
        std::printf("Failed to connect\n");
        socket_.Close();
        return;
    }
    switch (socket_.Connect(server)) {
    case platform::net::ConnectResult::InProgress:
        std::printf("Starting connection...");
        state_ = kConnecting;
        break;
    case platform::net::ConnectResult::Connected:
        // Done at once (a local server): the writability test confirms it in the next step.
        state_ = kConnecting;
        break;
    case platform::net::ConnectResult::Failed:
        std::printf("Failed to connect\n");
        socket_.Close();
        break;
    }
}

void WorldServerClient::Disconnect()
{
    state_ = kDisconnected;
    if (socket_.IsOpen()) {
        std::printf("Disconnecting socket\n");
        socket_.Close();
        fill_ = 0;
    }
    unsent_.clear();
}

void WorldServerClient::AttachConnectedSocket(int descriptor, int state, int clientId)
{
    Disconnect();
    socket_.Adopt(descriptor);
    socket_.SetNonBlocking();
    state_ = std::clamp(state, int(kWaitHello), int(kLoggedIn));
    clientId_ = clientId;
    connectStart_ = clock_();
}

void WorldServerClient::TimedOut()
{
    std::printf("Connection Failed..Timed out!\n");
    Disconnect();
    SignalConnection(false); // last: a slot may delete this client
}

void WorldServerClient::Update()
{
    switch (state_) {
    case kResolve:
        std::printf("RESOLVE\n");
        if (clock_() - connectStart_ > kConnectTimeoutMs)
            TimedOut();
        return;
    case kResolveError:
        std::printf("RESOLVE_ERROR\n");
        TimedOut();
        return;
    case kConnecting:
        if (socket_.IsWritable()) {
            // Writable also means failed: the pending error tells which.
            const int error = socket_.PendingError();
            if (error != 0) {
                WriteLog("World server connection failed: %s\n", std::strerror(error));
                Disconnect();
                SignalConnection(false);
                return;
            }
            std::printf("Connection Success!\n");
            socket_.SetNoDelay();
            state_ = kWaitHello;
            SignalConnection(true);
            return;
        }
        if (clock_() - connectStart_ > kConnectTimeoutMs)
            TimedOut();
        return;
    case kWaitHello:
    case kWaitLogin:
    case kLoggedIn:
        break;
    default:
        return;
    }

    FlushOutput();
    if (state_ == kDisconnected)
        return;
    if (!ReceiveSome())
        return;
    uint32_t length = 0;
    if (!FrontFrame(length))
        return;
    std::printf("Got Message\n");
    // The frame is copied out, so the handlers may send and change the buffer.
    std::vector<uint8_t> frame(buffer_ + 4, buffer_ + 4 + length);
    DropFrame(length);
    HandleFrame(frame.data(), length);
}

bool WorldServerClient::ReceiveSome()
{
    const int room = kBufferSize - fill_;
    if (room == 0)
        return true; // a whole frame waits in the full buffer
    const int got = socket_.Receive(buffer_ + fill_, room);
    if (got == 0) {
        std::printf("RCV=0, Disconnected by peer\n");
        Disconnect();
        return false;
    }
    if (got == platform::net::kSocketError) {
        WriteLog("World server connection lost: %s\n", std::strerror(socket_.LastError()));
        Disconnect();
        return false;
    }
    if (got > 0)
        fill_ += got;
    return true;
}

bool WorldServerClient::FrontFrame(uint32_t& length)
{
    if (fill_ < 4)
        return false;
    length = uint32_t(buffer_[0]) | uint32_t(buffer_[1]) << 8 | uint32_t(buffer_[2]) << 16 | uint32_t(buffer_[3]) << 24;
    if (length > uint32_t(kMaxMessageSize)) {
        WriteLog("World server frame of %u bytes is larger than the buffer; disconnecting\n", length);
        Disconnect();
        return false;
    }
    return length <= uint32_t(fill_ - 4);
}

void WorldServerClient::DropFrame(uint32_t length)
{
    const int used = int(length) + 4;
    std::memmove(buffer_, buffer_ + used, size_t(fill_ - used));
    fill_ -= used;
}

void WorldServerClient::HandleFrame(const uint8_t* data, uint32_t length)
{
    switch (state_) {
    case kWaitHello:
        HandleHello(data, length);
        break;
    case kWaitLogin:
        HandleLoginResult(data, length);
        break;
    case kLoggedIn: {
        flimbsworld::GenericServerMessage message;
        if (!message.ParseFromArray(data, int(length))) {
            std::printf("UPDATE ERROR: %s\n", "Couldn't parse generic server message!");
            Disconnect();
            return;
        }
        Dispatch(message);
        break;
    }
    default:
        break;
    }
}

void WorldServerClient::HandleHello(const uint8_t* data, uint32_t length)
{
    flimbsworld::ServerHello hello;
    if (!hello.ParseFromArray(data, int(length))) {
        std::printf("UPDATE ERROR: %s\n", "Couldn't parse hello msg");
        Disconnect();
        return;
    }
    std::printf("Successfully decoded hello packet!\n");
    std::printf("Name = %s\n", hello.name().c_str());
    std::printf("Seed = %s\n", hello.seed().c_str());
    if (hello.protocol_version() > 1) {
        std::printf("We aren't compatible with this version of the server..need to upgrade client!");
        return;
    }
    flimbsworld::ClientHello answer;
    answer.set_protocol_version(1);
    answer.set_login_name(userName_);
    answer.set_login_secret(password_);
    answer.set_login_digest(LoginDigest(hello.seed(), userName_, password_));
    answer.set_game_version(helloNumber1_);
    answer.set_game_variant(helloNumber2_);
    SendMessage(answer);
    if (state_ == kWaitHello)
        state_ = kWaitLogin;
}

void WorldServerClient::HandleLoginResult(const uint8_t* data, uint32_t length)
{
    flimbsworld::ServerLoginResult result;
    if (!result.ParseFromArray(data, int(length))) {
        std::printf("UPDATE ERROR: %s\n", "Couldn't parse server login result");
        Disconnect();
        return;
    }
    if (result.result() == kLoginAccepted) {
        std::printf("Successfully Logged in! Client ID: %d\n", int(result.client_id()));
        clientId_ = int(result.client_id());
        state_ = kLoggedIn;
    } else {
        std::printf("ERROR: Authentication failed!\n");
        Disconnect();
    }
    SignalLogin(&result);
}

void WorldServerClient::Dispatch(const flimbsworld::GenericServerMessage& message)
{
    auto found = std::find_if(pending_.begin(), pending_.end(),
                              [&](const PendingRequest& p) { return p.requestId == message.request_id(); });
    if (found != pending_.end()) {
        // Taken out first: a callback may send new requests.
        PendingRequest request = std::move(*found);
        pending_.erase(found);
        if (message.has_peer_message()) {
            if (request.onPeerResult)
                request.onPeerResult(int(message.peer_message().kind()));
        } else if (message.has_register_result()) {
            registeredServerId_ = int(message.register_result().registered());
            if (request.onRegister)
                request.onRegister(message.register_result());
        }
        return;
    }
    if (!message.has_peer_message())
        return;
    std::printf("Received Peer Command\n");
    flimbsworld::GenericClientMessage answer;
    answer.set_request_id(message.request_id());
    flimbsworld::PeerMessage* received = answer.mutable_peer_message();
    received->set_from_client_id(uint32_t(clientId_));
    received->set_to_client_id(message.peer_message().from_client_id());
    received->set_kind(flimbsworld::PEER_RECEIVED);
    SendMessage(answer);
    const flimbsworld::PeerMessage peer = message.peer_message();
    SignalPeer(&peer); // last: a slot may delete this client
}

uint32_t WorldServerClient::NextRequestId() { return uint32_t(clientId_) << 16 | requestCounter_++; }

void WorldServerClient::RegisterServer(const flimbsworld::ServerInfo& info, RegisterCallback onResult)
{
    flimbsworld::GenericClientMessage message;
    const uint32_t id = NextRequestId();
    message.set_request_id(id);
    *message.mutable_server_info() = info;
    if (SendMessage(message))
        pending_.push_back({id, std::move(onResult), {}});
}

void WorldServerClient::SendPeerMessage(uint32_t targetClientId, const flimbsworld::PeerCandidates& candidates,
                                        const flimbsworld::Credentials& credentials, PeerResultCallback onResult)
{
    flimbsworld::GenericClientMessage message;
    const uint32_t id = NextRequestId();
    message.set_request_id(id);
    flimbsworld::PeerMessage* peer = message.mutable_peer_message();
    peer->set_from_client_id(uint32_t(clientId_));
    peer->set_to_client_id(targetClientId);
    *peer->mutable_candidates() = candidates;
    *peer->mutable_credentials() = credentials;
    if (SendMessage(message))
        pending_.push_back({id, {}, std::move(onResult)});
}

bool WorldServerClient::SendMessage(const google::protobuf::MessageLite& message)
{
    const size_t size = message.ByteSizeLong();
    if (size > size_t(kMaxMessageSize)) {
        std::printf("Message is larger than output buffer\n");
        return false;
    }
    if (!message.IsInitialized()) {
        WriteLog("World server message %s lacks required fields; not sent\n", message.GetTypeName().c_str());
        return false;
    }
    if (!socket_.IsOpen())
        return false;
    std::string frame(4, '\0');
    for (int i = 0; i < 4; ++i)
        frame[size_t(i)] = char(size >> (8 * i));
    message.AppendToString(&frame);
    if (unsent_.size() + frame.size() > kMaxUnsentBytes) {
        WriteLog("World server does not take our data; disconnecting\n");
        Disconnect();
        return false;
    }
    unsent_ += frame;
    FlushOutput();
    std::printf("SENT [%d] bytes\n", int(frame.size()));
    return true;
}

void WorldServerClient::FlushOutput()
{
    while (!unsent_.empty() && socket_.IsOpen()) {
        const int sent = socket_.Send(unsent_.data(), int(unsent_.size()));
        if (sent == platform::net::kWouldBlock)
            return;
        if (sent < 0) {
            WriteLog("World server send failed: %s\n", std::strerror(socket_.LastError()));
            Disconnect();
            return;
        }
        unsent_.erase(0, size_t(sent));
    }
}
