#pragma once
// The TCP client of the world server: resolves and connects without blocking the frame
// loop for long, logs in with a challenge digest, then carries requests (register a server,
// send a peer message) and their answers as flimbsworld messages in frames of a u32
// little-endian length and at most 1,020 message bytes. Driven by its owner's Update.
//
// States: 0 disconnected, 1 resolving, 2 resolve error, 3 connecting, 4 waiting for the
// server's hello, 5 waiting for the login result, 6 logged in. Any failure returns to 0.
#include "net/NetClock.h"
#include "net/NetSignal.h"
#include "platform/net/Socket.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace flimbsworld {
class Credentials;
class GenericServerMessage;
class PeerCandidates;
class PeerMessage;
class ServerInfo;
class ServerLoginResult;
class ServerRegisterResult;
} // namespace flimbsworld

namespace google::protobuf {
class MessageLite;
}

class WorldServerClient {
public:
    enum StateId : int {
        kDisconnected = 0,
        kResolve = 1,
        kResolveError = 2,
        kConnecting = 3,
        kWaitHello = 4,
        kWaitLogin = 5,
        kLoggedIn = 6,
    };
    static constexpr int kBufferSize = 1024;
    static constexpr int kMaxMessageSize = 1020;
    static constexpr uint32_t kConnectTimeoutMs = 15000;
    // Unsent bytes kept when the connection cannot take them yet; beyond this it is dropped.
    static constexpr size_t kMaxUnsentBytes = 64 * 1024;

    using RegisterCallback = std::function<void(const flimbsworld::ServerRegisterResult&)>;
    using PeerResultCallback = std::function<void(int result)>;

    explicit WorldServerClient(NetClock clock = DefaultNetClock());
    virtual ~WorldServerClient();
    WorldServerClient(const WorldServerClient&) = delete;
    WorldServerClient& operator=(const WorldServerClient&) = delete;

    // Connects to the configured world server (state 1, then 3, or 2 when the host does
    // not resolve).
    void Connect();
    // One step of the state machine.
    virtual void Update();
    void Disconnect();
    void RegisterServer(const flimbsworld::ServerInfo& info, RegisterCallback onResult);
    void SendPeerMessage(uint32_t targetClientId, const flimbsworld::PeerCandidates& candidates,
                         const flimbsworld::Credentials& credentials, PeerResultCallback onResult);

    int State() const { return state_; }
    int ClientId() const { return clientId_; }
    int RegisteredServerId() const { return registeredServerId_; }
    size_t PendingRequests() const { return pending_.size(); }
    // The two numbers of the login (the game version and its variant).
    void SetHelloNumbers(uint32_t gameVersion, uint32_t gameVariant);

    // Tests and fuzzing: starts on an open stream socket as if it had just reached `state`
    // (4 to 6) with `clientId`.
    void AttachConnectedSocket(int descriptor, int state, int clientId);

    NetSignal<void(bool connected)> SignalConnection;
    NetSignal<void(const flimbsworld::ServerLoginResult*)> SignalLogin;
    NetSignal<void(const flimbsworld::PeerMessage*)> SignalPeer;

    // The login digest: MD5 of seed, the u32 1 (little-endian), name, password and seed
    // again, as 32 upper-case hex digits.
    static std::string LoginDigest(const std::string& seed, const std::string& name, const std::string& password);

private:
    struct PendingRequest {
        uint32_t requestId = 0;
        RegisterCallback onRegister;
        PeerResultCallback onPeerResult;
    };

    void ResolveAndConnect();
    void TimedOut();
    // Frames and queues a message; false (nothing sent) when it is too large or incomplete.
    bool SendMessage(const google::protobuf::MessageLite& message);
    void FlushOutput();
    // One receive into the buffer; false when the connection ended.
    bool ReceiveSome();
    // The length of the complete frame at the front, 0 when none (or the connection ended).
    bool FrontFrame(uint32_t& length);
    void DropFrame(uint32_t length);
    void HandleFrame(const uint8_t* data, uint32_t length);
    void HandleHello(const uint8_t* data, uint32_t length);
    void HandleLoginResult(const uint8_t* data, uint32_t length);
    void Dispatch(const flimbsworld::GenericServerMessage& message);
    uint32_t NextRequestId();

    std::vector<PendingRequest> pending_;
    int clientId_ = -1;
    uint32_t requestCounter_ = 0;
    std::string userName_;
    std::string password_;
    std::string host_;
    int port_ = 0;
    int state_ = kDisconnected;
    platform::net::TcpSocket socket_;
    uint32_t connectStart_ = 0;
    int registeredServerId_ = -1;
    uint32_t helloNumber1_ = 0;
    uint32_t helloNumber2_ = 0;
    uint8_t buffer_[kBufferSize] = {};
    int fill_ = 0;
    std::string unsent_;
    NetClock clock_;
};
