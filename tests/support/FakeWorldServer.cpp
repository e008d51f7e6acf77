#include "FakeWorldServer.h"

#include "net/WorldServerClient.h"

#include <gtest/gtest.h>

namespace {

std::string Frame(const std::string& message)
{
    std::string frame(4, '\0');
    for (int i = 0; i < 4; ++i)
        frame[size_t(i)] = char(message.size() >> (8 * i));
    return frame + message;
}

} // namespace

FakeWorldServer::FakeWorldServer()
{
    EXPECT_TRUE(listener_.Listen(platform::net::MakeIpv4(127, 0, 0, 1), 0));
    port_ = listener_.LocalEndpoint().port;
}

void FakeWorldServer::Queue(size_t index, const google::protobuf::MessageLite& message)
{
    SendFrame(index, message.SerializeAsString());
}

void FakeWorldServer::SendFrame(size_t index, const std::string& message)
{
    Connection& connection = connections[index];
    if (options.mergeFrames)
        connection.held += Frame(message);
    else
        connection.out += Frame(message);
}

void FakeWorldServer::Drop(size_t index) { connections[index].socket.Close(); }

FakeWorldServer::Connection* FakeWorldServer::ByClientId(uint32_t clientId, size_t* index)
{
    for (size_t i = 0; i < connections.size(); ++i)
        if (connections[i].clientId == clientId && connections[i].stage == 1 && connections[i].socket.IsOpen()) {
            *index = i;
            return &connections[i];
        }
    return nullptr;
}

void FakeWorldServer::ReleaseLogins()
{
    options.holdLogins = false;
    for (Connection& connection : connections) {
        connection.out += connection.held;
        connection.held.clear();
    }
}

void FakeWorldServer::Pump()
{
    for (;;) {
        platform::net::TcpSocket accepted = listener_.Accept();
        if (!accepted.IsOpen())
            break;
        connections.push_back({});
        connections.back().socket = std::move(accepted);
        if (options.greet) {
            flimbsworld::ServerHello hello;
            hello.set_name("test world");
            hello.set_protocol_version(options.protocolVersion);
            hello.set_seed(options.seed);
            Queue(connections.size() - 1, hello);
        }
    }
    for (size_t i = 0; i < connections.size(); ++i) {
        Connection& connection = connections[i];
        if (!connection.socket.IsOpen())
            continue;
        char buffer[4096];
        for (;;) {
            const int got = connection.socket.Receive(buffer, sizeof buffer);
            if (got <= 0)
                break;
            connection.in.append(buffer, size_t(got));
        }
        while (connection.in.size() >= 4) {
            uint32_t length = 0;
            for (int b = 0; b < 4; ++b)
                length |= uint32_t(uint8_t(connection.in[size_t(b)])) << (8 * b);
            if (connection.in.size() < 4 + size_t(length))
                break;
            const std::string message = connection.in.substr(4, length);
            connection.in.erase(0, 4 + size_t(length));
            frames.push_back(message);
            Handle(i, message);
        }
    }
    for (Connection& connection : connections) {
        if (!connection.socket.IsOpen())
            continue;
        if (options.mergeFrames && !options.holdLogins) {
            connection.out += connection.held;
            connection.held.clear();
        }
        if (connection.out.empty() || options.silent)
            continue;
        const size_t chunk = options.splitFrames ? 1 : connection.out.size();
        const int sent = connection.socket.Send(connection.out.data(), int(chunk));
        if (sent > 0)
            connection.out.erase(0, size_t(sent));
    }
}

void FakeWorldServer::Handle(size_t index, const std::string& message)
{
    Connection& connection = connections[index];
    if (connection.stage == 0) {
        flimbsworld::ClientHello hello;
        if (!hello.ParseFromString(message)) {
            ADD_FAILURE() << "the world server got a bad ClientHello";
            return;
        }
        hellos.push_back(hello);
        flimbsworld::ServerLoginResult result;
        const bool digestOk =
            hello.login_digest() ==
            WorldServerClient::LoginDigest(options.seed, hello.login_name(), hello.login_secret());
        badDigests += digestOk ? 0 : 1;
        const bool accepted = digestOk && !options.refuseLogins;
        result.set_result(accepted ? 1 : 0);
        if (accepted) {
            connection.clientId = nextClientId_++;
            connection.stage = 1;
            result.set_client_id(connection.clientId);
        }
        if (options.holdLogins)
            connection.held += Frame(result.SerializeAsString());
        else
            Queue(index, result);
        return;
    }
    flimbsworld::GenericClientMessage request;
    if (!request.ParseFromString(message)) {
        ADD_FAILURE() << "the world server got a bad GenericClientMessage";
        return;
    }
    if (request.has_server_info()) {
        registrations.push_back(request.server_info());
        flimbsworld::GenericServerMessage answer;
        answer.set_request_id(request.request_id());
        answer.mutable_register_result()->set_registered(options.registeredId);
        answer.mutable_register_result()->set_reason(options.registerReason);
        Queue(index, answer);
        return;
    }
    if (!request.has_peer_message())
        return;
    const flimbsworld::PeerMessage& peer = request.peer_message();
    peerMessages.push_back(peer);
    auto relayed = relays_.find(request.request_id());
    if (relayed != relays_.end()) {
        // An acknowledgement of a relayed message: the answer to the sender's request.
        const Relay relay = relayed->second;
        relays_.erase(relayed);
        flimbsworld::GenericServerMessage answer;
        answer.set_request_id(relay.senderRequest);
        *answer.mutable_peer_message() = peer;
        Queue(relay.sender, answer);
        return;
    }
    size_t target = 0;
    if (!ByClientId(peer.to_client_id(), &target)) {
        flimbsworld::GenericServerMessage answer; // not delivered
        answer.set_request_id(request.request_id());
        answer.mutable_peer_message()->set_from_client_id(peer.to_client_id());
        answer.mutable_peer_message()->set_to_client_id(peer.from_client_id());
        answer.mutable_peer_message()->set_kind(flimbsworld::PEER_KIND_2);
        Queue(index, answer);
        return;
    }
    const uint32_t relayId = nextRelayId_++;
    relays_[relayId] = {index, request.request_id()};
    flimbsworld::GenericServerMessage forward;
    forward.set_request_id(relayId);
    *forward.mutable_peer_message() = peer;
    Queue(target, forward);
}
