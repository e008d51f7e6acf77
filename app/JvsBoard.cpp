#include "app/JvsBoard.h"

#include "app/StringUtil.h"

namespace {

constexpr uint8_t kSync = 0xE0;
constexpr uint8_t kEscape = 0xD0;
constexpr uint8_t kBroadcast = 0xFF;
constexpr uint8_t kHost = 0x00;
constexpr size_t kMaxBuffered = 1024;

} // namespace

const char* JvsStateName(int state)
{
    switch (state) {
    case JvsBoard::ErrorSendOver: return "ErrorSendOver";
    case JvsBoard::ErrorConnect: return "ErrorConnect";
    case JvsBoard::ErrorNodeOver: return "ErrorNodeOver";
    case JvsBoard::Error: return "Error";
    case JvsBoard::Init: return "Init";
    case JvsBoard::Idle: return "Idle";
    case JvsBoard::Send: return "Send";
    case JvsBoard::Recv: return "Recv";
    default: return "Unknown";
    }
}

std::string JvsNodeText(const JvsNode* node)
{
    if (!node)
        return "Invalid Node";
    return StringPrintf("Node = %d\nSwitches = 0x%02X%02X\n", node->number, node->switches[0], node->switches[1]);
}

bool JvsBoard::Open(const std::string& device)
{
    state_ = port_.Open(device, 115200) ? Init : ErrorConnect;
    return state_ == Init;
}

const JvsNode* JvsBoard::Node(int number) const
{
    return nodePresent_ && number == node_.number ? &node_ : nullptr;
}

void JvsBoard::SendFrame(uint8_t node, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> frame{kSync};
    uint8_t sum = 0;
    auto put = [&](uint8_t byte) {
        sum = static_cast<uint8_t>(sum + byte);
        if (byte == kSync || byte == kEscape) {
            frame.push_back(kEscape);
            frame.push_back(static_cast<uint8_t>(byte - 1));
        } else {
            frame.push_back(byte);
        }
    };
    put(node);
    put(static_cast<uint8_t>(data.size() + 1));
    for (uint8_t byte : data)
        put(byte);
    const uint8_t total = sum;
    if (total == kSync || total == kEscape) {
        frame.push_back(kEscape);
        frame.push_back(static_cast<uint8_t>(total - 1));
    } else {
        frame.push_back(total);
    }
    state_ = Send;
    state_ = port_.Write(frame.data(), frame.size()) ? Recv : ErrorSendOver;
    waitedPasses_ = 0;
}

// Takes one whole frame addressed to the host out of the received bytes.
bool JvsBoard::ReadReply(std::vector<uint8_t>& data)
{
    uint8_t chunk[256];
    for (;;) {
        const long got = port_.Read(chunk, sizeof chunk);
        if (got <= 0)
            break;
        received_.insert(received_.end(), chunk, chunk + got);
    }
    if (received_.size() > kMaxBuffered)
        received_.clear();
    for (;;) {
        size_t start = 0;
        while (start < received_.size() && received_[start] != kSync)
            ++start;
        received_.erase(received_.begin(), received_.begin() + static_cast<long>(start));
        if (received_.empty())
            return false;
        std::vector<uint8_t> body;
        size_t i = 1;
        for (; i < received_.size(); ++i) {
            uint8_t byte = received_[i];
            if (byte == kSync)
                break;
            if (byte == kEscape) {
                if (++i >= received_.size())
                    return false;
                byte = static_cast<uint8_t>(received_[i] + 1);
            }
            body.push_back(byte);
            if (body.size() >= 2 && body.size() == static_cast<size_t>(body[1]) + 2u)
                break;
        }
        if (body.size() < 2 || body.size() < static_cast<size_t>(body[1]) + 2u) {
            if (i < received_.size()) { // a new sync cut this frame short
                received_.erase(received_.begin(), received_.begin() + static_cast<long>(i));
                continue;
            }
            return false; // wait for the rest
        }
        received_.erase(received_.begin(), received_.begin() + static_cast<long>(i + 1));
        uint8_t sum = 0;
        for (size_t k = 0; k + 1 < body.size(); ++k)
            sum = static_cast<uint8_t>(sum + body[k]);
        if (sum != body.back() || body[0] != kHost) {
            state_ = Error;
            return false;
        }
        data.assign(body.begin() + 2, body.end() - 1);
        return true;
    }
}

void JvsBoard::HandleReply(const std::vector<uint8_t>& data)
{
    // status, then the report of the one command.
    if (data.size() < 2 || data[0] != 0x01 || data[1] != 0x01) {
        state_ = Error;
        return;
    }
    if (awaitingAddress_) {
        awaitingAddress_ = false;
        nodePresent_ = true;
        node_.number = 1;
        state_ = Idle;
        return;
    }
    if (data.size() < 4) {
        state_ = Error;
        return;
    }
    node_.switches[0] = data[2];
    node_.switches[1] = data[3];
    inputCount_ = 1;
    state_ = Idle;
}

void JvsBoard::SendOutputs()
{
    if (!port_.IsOpen())
        return;
    if (state_ == Recv) {
        std::vector<uint8_t> reply;
        if (ReadReply(reply))
            HandleReply(reply);
        else if (state_ == Recv && ++waitedPasses_ > kTimeoutPasses)
            state_ = ErrorConnect;
        return;
    }
    if (state_ == Idle) {
        inputCount_ = 0;
        SendFrame(1, {0x20, 0x01, 0x01}); // switches: one player, one byte, after the system byte
        return;
    }
    // Init or any error: reset the line and address the node again.
    nodePresent_ = false;
    inputCount_ = 0;
    received_.clear();
    SendFrame(kBroadcast, {0xF0, 0xD9});
    if (state_ != Recv)
        return;
    awaitingAddress_ = true;
    SendFrame(kBroadcast, {0xF1, 0x01});
}
