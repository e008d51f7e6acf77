#pragma once
// The host's internet path: logs in to the world server, publishes the match there, answers
// every joining client's ICE candidates with its own on a new ICE stream, and runs one
// reliable stream (key 7391) per client whose ICE check succeeded. A stream that connects
// is handed to the stream-ready signal, whose receiver then owns it. Streams that never
// connect are deleted here (closed, or still shaking hands after kHandshakeTimeoutMs).
#include "app/Uuid.h"
#include "net/FlimbsPseudoTcp.h"
#include "net/NetClock.h"
#include "net/NetSignal.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class FlimbsUdpStream;
class IceAgent;
class WorldServerClient;
class WorldServerHostAgent;
namespace flimbsworld {
class PeerMessage;
class ServerRegisterResult;
} // namespace flimbsworld

class FlimbsPseudoTcpManaged2 : public FlimbsPseudoTcp {
public:
    FlimbsPseudoTcpManaged2(WorldServerHostAgent* agent, FlimbsUdpStream* datagrams, uint32_t ownClientId,
                            uint32_t peerClientId);
    // Closes the stream, leaves its agent's list and deletes its ICE stream.
    ~FlimbsPseudoTcpManaged2() override;

    uint32_t PeerClientId() const { return peerClientId_; }
    FlimbsUdpStream* Datagrams() const { return datagrams_; }
    bool connected = false;
    bool handedOver = false;
    uint32_t createdTick = 0;

private:
    friend class WorldServerHostAgent;
    WorldServerHostAgent* agent_;
    FlimbsUdpStream* datagrams_;
    uint32_t peerClientId_;
    boost::signals2::scoped_connection destroyedConnection_;
};

// What the world server lists of a hosted match; the game server fills it.
struct HostListing {
    struct Player {
        std::string name;
        std::string account;
        UuidBytes profileId{};
        bool observer = false;
    };
    std::string matchText;  // the level's title
    std::string levelFile;  // the level file's name without folder and extension
    uint32_t modeValue = 0;
    uint32_t maxPlayers = 0;
    uint32_t serverState = 0;
    std::vector<Player> players; // the player numbers 0 to 15 that exist, in order
};

class WorldServerHostAgent {
public:
    static constexpr uint32_t kRefreshMs = 300000;
    static constexpr uint32_t kHandshakeTimeoutMs = 10000;
    // An ICE stream of a joining client that has no result after this long is dropped.
    static constexpr uint32_t kIceTimeoutMs = 60000;
    // ICE streams waiting for a result at one time; further joining requests are ignored.
    static constexpr size_t kMaxPendingIce = 32;

    explicit WorldServerHostAgent(NetClock clock = DefaultNetClock());
    ~WorldServerHostAgent();
    WorldServerHostAgent(const WorldServerHostAgent&) = delete;
    WorldServerHostAgent& operator=(const WorldServerHostAgent&) = delete;

    // Per frame: the client streams, the world-server client, the ICE context, the refresh
    // of the listing every kRefreshMs; then the streams that connected are reported.
    void Pump();
    // Registers (full) or refreshes the match on the world server, from the listing source.
    void Publish(bool full);
    void DisconnectAll();

    // Where Publish reads the match from (the game server installs it).
    std::function<HostListing()> listingSource;
    // Shows the "Network Problem" question; its action opens the help page. The default
    // opens the skinned closable message box.
    std::function<void(const std::string& title, const std::string& text, std::function<void()> openHelp)>
        showProblemBox;

    WorldServerClient* Client() const { return client_.get(); }
    IceAgent* Ice() const { return ice_.get(); }
    size_t StreamCount() const;
    bool NetworkProblemShown() const { return networkProblemShown_; }

    NetSignal<void(IFlimbsStream*)> SignalStreamReady;

    // Reads servername and connectPORT, registering them when nothing has.
    static int ConnectPortSetting();
    static std::string ServerNameSetting();

private:
    friend class FlimbsPseudoTcpManaged2;
    void OnPeerMessage(const flimbsworld::PeerMessage* message);
    void OnGathered(FlimbsUdpStream* stream);
    void OnIceUdpConnection(FlimbsUdpStream* stream, bool ok);
    void OnRegisterResult(const flimbsworld::ServerRegisterResult& result);
    void Remove(FlimbsPseudoTcpManaged2* stream);
    FlimbsPseudoTcpManaged2* FindStream(uint32_t peerClientId) const;
    void ReapIceStreams(uint32_t now);
    void EmitReady();
    int Now() const { return int(clock_()); }

    std::vector<FlimbsPseudoTcpManaged2*> streams_; // null slots while iterating
    std::unique_ptr<WorldServerClient> client_;
    std::unique_ptr<IceAgent> ice_;
    bool networkProblemShown_ = false;
    bool publishWanted_ = false;
    bool everRegistered_ = false;
    bool published_ = false;
    uint32_t lastPublish_ = 0;
    NetClock clock_;
    std::vector<FlimbsPseudoTcpManaged2*> ready_;
    int iterating_ = 0;
    std::shared_ptr<int> alive_;
};
