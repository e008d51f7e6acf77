#include "net/PseudoTcpClientAgent.h"

#include "app/Log.h"

namespace {

constexpr int kDatagramRoom = 65535;
constexpr int kMaxDatagramsPerUpdate = 4096;

} // namespace

PseudoTcpClientAgent::PseudoTcpClientAgent(const std::string& host, int port, NetClock clock)
    : name_("CLIENT:" + host + ":" + std::to_string(port))
{
    if (!socket_.Open()) {
        Fail("Error Creating PseudoTcp Socket");
        return;
    }
    if (!platform::net::ResolveIpv4(host, port, host_)) {
        WriteLog("Couldn't resolve host %s\n", host.c_str());
        Fail("Couldn't connect to server.");
        return;
    }
    WriteLog("Host %s resolved to [%s]\n", host.c_str(), platform::net::Ipv4Text(host_.address).c_str());
    socket_.SetNonBlocking();
    buffer_.reset(new uint8_t[kDatagramRoom]);
    stream_ = std::make_unique<FlimbsPseudoTcp>(this);
    stream_->SetClock(std::move(clock));
    stream_->SetName(name_);
    stream_->SignalConnected.connect([this] { StreamReady(stream_.get()); });
    stream_->SignalClosed.connect([this](PseudoTcpCloseResult reason) { OnClosed(reason); });
    stream_->Connect();
}

PseudoTcpClientAgent::~PseudoTcpClientAgent() { stream_.reset(); }

int PseudoTcpClientAgent::Send(const void* data, int length)
{
    const int sent = socket_.SendTo(data, length, host_);
    return sent >= 0 ? sent : -1;
}

void PseudoTcpClientAgent::OnClosed(PseudoTcpCloseResult reason)
{
    running_ = false;
    Fail(CloseReasonText(reason));
}

void PseudoTcpClientAgent::UpdateDirect()
{
    if (running_ && stream_) {
        stream_->Update(true);
        for (int i = 0; running_ && i < kMaxDatagramsPerUpdate; ++i) {
            const int got = socket_.ReceiveFrom(buffer_.get(), kDatagramRoom);
            if (got == platform::net::kTruncated)
                continue;
            if (got < 0)
                break;
            SignalReceived(buffer_.get(), got);
        }
    }
    EmitPending();
}
