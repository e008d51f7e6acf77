#pragma once
// A world server for tests on 127.0.0.1 (an ephemeral port), polled from the test's loop:
// it greets each connection with a hello, checks the login digest, answers registrations,
// and relays peer messages under ids of its own, forwarding each acknowledgement to the
// sender as the answer to its request. Options make it answer badly: a newer protocol,
// refused logins, silence, frames cut into single bytes or merged into one send.
#include "net/flimbsworld.pb.h"
#include "platform/net/Socket.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FakeWorldServer {
public:
    struct Options {
        uint32_t protocolVersion = 1;
        std::string seed = "abc";
        bool greet = true;         // sends the hello when a connection opens
        bool silent = false;       // sends nothing at all
        bool refuseLogins = false; // answers every login with result 0
        bool holdLogins = false;   // keeps login answers until released
        bool splitFrames = false;  // one byte per Pump
        bool mergeFrames = false;  // frames wait and go out together on the next Pump
        uint32_t registeredId = 42; // 0: not registered
        uint32_t registerReason = 0;
    };
    struct Connection {
        platform::net::TcpSocket socket;
        std::string in;
        std::string out;
        std::string held;
        int stage = 0; // 0 hello sent, 1 logged in
        uint32_t clientId = 0;
    };

    FakeWorldServer();
    uint16_t Port() const { return port_; }
    // Accepts, reads and answers what waits; sends what is due.
    void Pump();
    // Sends the login answers kept back by holdLogins.
    void ReleaseLogins();
    // Frames a raw message to a connection (by accept order).
    void SendFrame(size_t connection, const std::string& message);
    // Closes a connection from the server's side.
    void Drop(size_t connection);

    Options options;
    std::vector<Connection> connections;
    std::vector<flimbsworld::ClientHello> hellos;
    std::vector<flimbsworld::ServerInfo> registrations;
    std::vector<flimbsworld::PeerMessage> peerMessages; // every peer message received
    std::vector<std::string> frames;                    // every frame received, raw
    int badDigests = 0;

private:
    struct Relay {
        size_t sender = 0;
        uint32_t senderRequest = 0;
    };
    void Handle(size_t index, const std::string& message);
    void Queue(size_t index, const google::protobuf::MessageLite& message);
    Connection* ByClientId(uint32_t clientId, size_t* index);

    platform::net::TcpListener listener_;
    uint16_t port_ = 0;
    uint32_t nextClientId_ = 1000;
    uint32_t nextRelayId_ = 0x70000001;
    std::map<uint32_t, Relay> relays_;
};
