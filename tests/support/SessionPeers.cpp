#include "SessionPeers.h"

#include "net/PseudoTcpClientAgent.h"
#include "session/NetCommand.h"

#include <cstring>

BareSessionClient::BareSessionClient(int port) : agent_(std::make_unique<PseudoTcpClientAgent>("127.0.0.1", port))
{
    agent_->SignalStreamReady.connect([this](IFlimbsStream* stream) { stream_ = stream; });
    agent_->SignalFailure.connect([this](const char*) { failed = true; });
}

BareSessionClient::~BareSessionClient() = default;

void BareSessionClient::Pump()
{
    agent_->Update();
    std::vector<uint8_t> buffer(kMaxNetRecord);
    while (stream_ && stream_->Receive(buffer.data(), int(buffer.size())))
        received.emplace_back(buffer.begin(), buffer.begin() + RecordLength(buffer.data()));
}

bool BareSessionClient::Connected() const
{
    return stream_ && stream_->IsConnected();
}

bool BareSessionClient::Send(const RecordBytes& record)
{
    return stream_ && stream_->Send(record.data());
}

bool BareSessionClient::Send(const NetRecord& record)
{
    return Send(RecordBytes(record.data(), record.data() + record.size()));
}

std::vector<RecordBytes> BareSessionClient::Of(uint8_t command) const
{
    std::vector<RecordBytes> found;
    for (const RecordBytes& record : received)
        if (!record.empty() && record[0] == command)
            found.push_back(record);
    return found;
}

bool MemoryStream::Send(const void* message)
{
    if (!connected)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(message);
    sent.emplace_back(bytes, bytes + RecordLength(bytes));
    return true;
}

bool MemoryStream::Receive(void* buffer, int capacity)
{
    if (incoming.empty() || int(incoming.front().size()) > capacity)
        return false;
    std::memcpy(buffer, incoming.front().data(), incoming.front().size());
    incoming.pop_front();
    return true;
}

void MemoryStream::Queue(const NetRecord& record)
{
    incoming.emplace_back(record.data(), record.data() + record.size());
}
