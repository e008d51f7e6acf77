#include "net/WorldServerClientAgent.h"

#include "app/Log.h"
#include "net/FlimbsUdpStream.h"
#include "net/IceAgent.h"
#include "net/WorldServerClient.h"
#include "net/flimbsworld.pb.h"

namespace {

constexpr uint32_t kGameVersion = 124;
constexpr uint32_t kGameVariant = 2;

} // namespace

WorldServerClientAgent::WorldServerClientAgent(int hostClientId, NetClock clock)
    : hostClientId_(hostClientId), clock_(std::move(clock))
{
    start_ = clock_();
    client_ = std::make_unique<WorldServerClient>(clock_);
    client_->SetHelloNumbers(kGameVersion, kGameVariant);
    client_->SignalConnection.connect([this](bool connected) { OnConnection(connected); });
    client_->SignalLogin.connect([this](const flimbsworld::ServerLoginResult* result) { OnLogin(result); });
    client_->Connect();
    authenticated_ = false;
    ice_ = std::make_unique<IceAgent>(false, clock_);
    iceStream_ = ice_->CreateStream();
    if (!iceStream_) {
        Fail("Couldn't establish a connection!");
        return;
    }
    iceStream_->SignalCandidatesGathered.connect([this](FlimbsUdpStream*) { OnGathered(); });
    iceStream_->GatherCandidates();
}

WorldServerClientAgent::~WorldServerClientAgent()
{
    stream_.reset();
    ice_.reset();
    client_.reset();
}

void WorldServerClientAgent::Update()
{
    if (running_) {
        if (stream_)
            stream_->Update(true);
        client_->Update();
        ice_->Pump();
        if (stream_)
            stream_->Update(true);
        if (running_ && !iceConnected_ && clock_() - start_ > kEstablishTimeoutMs) {
            WriteLog("[ca][%d] Gave up waiting for the host\n", Now());
            Fail("Couldn't establish a connection!");
        }
    }
    EmitPending();
}

void WorldServerClientAgent::OnConnection(bool connected)
{
    if (!connected) {
        Fail("World Server Client Connection Failed!");
        return;
    }
    WriteLog("[ca][%d] World Server Client Connected!\n", Now());
}

void WorldServerClientAgent::OnLogin(const flimbsworld::ServerLoginResult* result)
{
    if (result->result() != 1) {
        Fail("World Server Client Authentication FAILED!");
        return;
    }
    WriteLog("[ca][%d] World Server Client Authenticated!\n", Now());
    authenticated_ = true;
    if (gathered_)
        SendCandidates();
}

void WorldServerClientAgent::OnGathered()
{
    WriteLog("[ca][%d] Candidates are ready!\n", Now());
    gathered_ = true;
    if (authenticated_)
        SendCandidates();
}

void WorldServerClientAgent::SendCandidates()
{
    if (candidatesSent_ || !running_)
        return;
    candidatesSent_ = true;
    flimbsworld::PeerCandidates candidates;
    flimbsworld::Credentials credentials;
    iceStream_->GetLocalCandidates(candidates);
    iceStream_->GetLocalCredentials(credentials);
    client_->SendPeerMessage(uint32_t(hostClientId_), candidates, credentials,
                             [this](int result) { OnPeerResult(result); });
}

void WorldServerClientAgent::OnPeerResult(int result)
{
    if (result != 1) {
        Fail("Couldn't send candidates to peer!");
        return;
    }
    WriteLog("[ca][%d] Server really got the list of candidates!  Waiting for list of candidates from server.\n",
             Now());
    if (!waitingForHost_) {
        waitingForHost_ = true;
        client_->SignalPeer.connect([this](const flimbsworld::PeerMessage* message) { OnHostAnswer(message); });
    }
}

void WorldServerClientAgent::OnHostAnswer(const flimbsworld::PeerMessage* message)
{
    WriteLog("[ca][%d] Got host candidate list!\n", Now());
    if (message->from_client_id() != uint32_t(hostClientId_) || !running_)
        return;
    iceStream_->SetRemoteCredentials(message->credentials());
    iceStream_->SetRemoteCandidates(message->candidates());
    if (!iceBound_) {
        iceBound_ = true;
        iceStream_->SignalIceResult.connect([this](FlimbsUdpStream*, bool ok) { OnIceResult(ok); });
    }
}

void WorldServerClientAgent::OnIceResult(bool ok)
{
    if (!ok) {
        Fail("Couldn't establish a connection!");
        return;
    }
    WriteLog("[ca][%d] Client successfully established UDP stream\n", Now());
    iceConnected_ = true;
    if (stream_)
        return;
    stream_ = std::make_unique<FlimbsPseudoTcp>(iceStream_);
    stream_->SetClock(clock_);
    stream_->SetConnectionKey(FlimbsPseudoTcp::kIceConnectionKey);
    stream_->SetName("WCS CLIENT: client [" + std::to_string(client_->ClientId()) + "] <==> server_client_id [" +
                     std::to_string(hostClientId_) + "]");
    stream_->SignalConnected.connect([this] {
        WriteLog("[ca][%d] PseudoTCP Stream connected\n", Now());
        StreamReady(stream_.get());
    });
    stream_->SignalClosed.connect([this](PseudoTcpCloseResult reason) { Fail(CloseReasonText(reason)); });
    stream_->Connect();
}
