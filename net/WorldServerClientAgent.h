#pragma once
// The internet way to a host: log in to the world server, send the host (known by its
// world-server client id) this side's ICE candidates and credentials, apply the host's
// answer, and run a reliable stream (key 7391) over the ICE stream once it connects.
// Gives up with "Couldn't establish a connection!" when the login, the peer result or the
// host's answer has not come within kEstablishTimeoutMs.
#include "net/ClientAgent.h"
#include "net/FlimbsPseudoTcp.h"
#include "net/NetClock.h"

#include <memory>

class FlimbsUdpStream;
class IceAgent;
class WorldServerClient;
namespace flimbsworld {
class PeerMessage;
class ServerLoginResult;
} // namespace flimbsworld

class WorldServerClientAgent : public ClientAgent {
public:
    static constexpr uint32_t kEstablishTimeoutMs = 30000;

    explicit WorldServerClientAgent(int hostClientId, NetClock clock = DefaultNetClock());
    ~WorldServerClientAgent() override;

    // The reliable stream's update, the world-server client, the ICE context, the reliable
    // stream's update again.
    void Update() override;

    FlimbsPseudoTcp* Stream() const { return stream_.get(); }
    WorldServerClient* Client() const { return client_.get(); }
    FlimbsUdpStream* IceStream() const { return iceStream_; }
    bool IsAuthenticated() const { return authenticated_; }

private:
    void OnConnection(bool connected);
    void OnLogin(const flimbsworld::ServerLoginResult* result);
    void OnGathered();
    void SendCandidates();
    void OnPeerResult(int result);
    void OnHostAnswer(const flimbsworld::PeerMessage* message);
    void OnIceResult(bool ok);
    int Now() const { return int(clock_()); }

    bool authenticated_ = false;
    std::unique_ptr<FlimbsPseudoTcp> stream_;
    std::unique_ptr<WorldServerClient> client_;
    std::unique_ptr<IceAgent> ice_;
    FlimbsUdpStream* iceStream_ = nullptr;
    int hostClientId_;
    NetClock clock_;
    uint32_t start_ = 0;
    bool gathered_ = false;
    bool candidatesSent_ = false;
    bool waitingForHost_ = false;
    bool iceBound_ = false;
    bool iceConnected_ = false;
};
