#include "net/PseudoTcpHost.h"

#include "app/GameException.h"
#include "app/Log.h"

#include <algorithm>

namespace {

constexpr int kDatagramRoom = 65535;
constexpr int kMaxDatagramsPerUpdate = 4096;

} // namespace

int ConnectedUdpStream::Send(const void* data, int length)
{
    if (!socket_)
        return -1;
    const int sent = socket_->SendTo(data, length, peer_);
    return sent >= 0 ? sent : -1;
}

FlimbsPseudoTcpManaged::FlimbsPseudoTcpManaged(PseudoTcpHost* host, std::unique_ptr<ConnectedUdpStream> datagrams)
    : FlimbsPseudoTcp(datagrams.get()), host_(host), datagrams_(std::move(datagrams))
{
}

FlimbsPseudoTcpManaged::~FlimbsPseudoTcpManaged()
{
    SignalClosed.disconnect_all_slots();
    SignalConnected.disconnect_all_slots();
    Close();
    if (host_)
        host_->Remove(this);
    DetachDatagramStream();
}

void FlimbsPseudoTcpManaged::DetachFromHost()
{
    host_ = nullptr;
    datagrams_->DropSocket();
}

PseudoTcpHost::PseudoTcpHost(int port, NetClock clock) : clock_(std::move(clock)), alive_(std::make_shared<int>(0))
{
    if (!socket_.Open())
        throw GameException("Error Creating PseudoTcp Socket");
    if (port < 0 || port > 65535 || !socket_.Bind(0, uint16_t(port))) {
        socket_.Close();
        throw GameException("Couldn't bind to address");
    }
    socket_.SetNonBlocking();
    buffer_.reset(new uint8_t[kDatagramRoom]);
}

PseudoTcpHost::~PseudoTcpHost()
{
    std::vector<FlimbsPseudoTcpManaged*> streams;
    streams.swap(streams_);
    for (FlimbsPseudoTcpManaged* stream : streams) {
        if (!stream)
            continue;
        stream->DetachFromHost();
        if (!stream->handedOver)
            delete stream;
    }
}

size_t PseudoTcpHost::StreamCount() const
{
    return size_t(std::count_if(streams_.begin(), streams_.end(), [](auto* s) { return s != nullptr; }));
}

size_t PseudoTcpHost::PendingCount() const
{
    return size_t(std::count_if(streams_.begin(), streams_.end(), [](auto* s) { return s && !s->connected; }));
}

void PseudoTcpHost::Remove(FlimbsPseudoTcpManaged* stream)
{
    auto found = std::find(streams_.begin(), streams_.end(), stream);
    if (found == streams_.end())
        return;
    if (iterating_ > 0)
        *found = nullptr;
    else
        streams_.erase(found);
    ready_.erase(std::remove(ready_.begin(), ready_.end(), stream), ready_.end());
}

void PseudoTcpHost::Compact()
{
    if (iterating_ == 0)
        streams_.erase(std::remove(streams_.begin(), streams_.end(), nullptr), streams_.end());
}

FlimbsPseudoTcpManaged* PseudoTcpHost::Find(const platform::net::Ipv4Endpoint& peer) const
{
    for (FlimbsPseudoTcpManaged* stream : streams_)
        if (stream && stream->Datagrams()->Peer() == peer)
            return stream;
    return nullptr;
}

FlimbsPseudoTcpManaged* PseudoTcpHost::Accept(const platform::net::Ipv4Endpoint& peer, const uint8_t* data,
                                              int length)
{
    // Only a sender that speaks the protocol gets a stream.
    if (length < FlimbsPseudoTcp::kHeaderSize || (data[10] | data[11] << 8) != PseudoTcpCheckWord(data, 0))
        return nullptr;
    if (PendingCount() >= kMaxPendingStreams) {
        if (!fullLogged_)
            WriteLog("HOST: %zu connections are still shaking hands; ignoring new senders\n", PendingCount());
        fullLogged_ = true;
        return nullptr;
    }
    fullLogged_ = false;
    auto datagrams = std::make_unique<ConnectedUdpStream>(&socket_, peer);
    auto* stream = new FlimbsPseudoTcpManaged(this, std::move(datagrams));
    stream->SetClock(clock_);
    stream->createdTick = clock_();
    stream->SetName("HOST:" + platform::net::Ipv4Text(peer.address) + ":" + std::to_string(peer.port));
    stream->SignalConnected.connect([this, stream] {
        stream->connected = true;
        ready_.push_back(stream);
    });
    streams_.push_back(stream);
    return stream;
}

void PseudoTcpHost::UpdateStreams()
{
    ++iterating_;
    for (size_t i = 0; i < streams_.size(); ++i)
        if (FlimbsPseudoTcpManaged* stream = streams_[i])
            stream->Update(true);
    --iterating_;
}

void PseudoTcpHost::Update()
{
    const uint32_t now = clock_();
    ++iterating_;
    for (size_t i = 0; i < streams_.size(); ++i) {
        FlimbsPseudoTcpManaged* stream = streams_[i];
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

    for (int i = 0; i < kMaxDatagramsPerUpdate; ++i) {
        platform::net::Ipv4Endpoint from;
        const int got = socket_.ReceiveFrom(buffer_.get(), kDatagramRoom, &from);
        if (got == platform::net::kTruncated)
            continue;
        if (got < 0)
            break;
        FlimbsPseudoTcpManaged* stream = Find(from);
        if (!stream)
            stream = Accept(from, buffer_.get(), got);
        if (stream)
            stream->Datagrams()->SignalReceived(buffer_.get(), got);
    }
    --iterating_;

    UpdateStreams();
    Compact();

    if (ready_.empty())
        return;
    std::vector<FlimbsPseudoTcpManaged*> ready;
    ready.swap(ready_);
    const std::weak_ptr<int> alive = alive_;
    for (FlimbsPseudoTcpManaged* stream : ready) {
        if (alive.expired())
            return;
        // A receiver takes the stream over; without one the host keeps it.
        stream->handedOver = SignalStreamReady.num_slots() > 0;
        SignalStreamReady(stream);
    }
}
