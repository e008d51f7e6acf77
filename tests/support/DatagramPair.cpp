#include "DatagramPair.h"

#include <algorithm>

DatagramPair::DatagramPair(uint32_t seed, uint32_t startTime) : random_(seed), now_(startTime)
{
    for (int i = 0; i < 2; ++i) {
        ends_[i].pair = this;
        ends_[i].side = i;
    }
}

NetClock DatagramPair::Clock()
{
    return [this] { return now_; };
}

int DatagramPair::End::Send(const void* data, int length)
{
    Link& link = pair->links_[side];
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (link.refuseSends > 0) {
        --link.refuseSends;
        return -1;
    }
    std::vector<uint8_t> copy(bytes, bytes + length);
    sent.push_back(copy);
    if (link.dropIf && link.dropIf(copy))
        return length;
    std::uniform_int_distribution<int> percent(0, 99);
    if (percent(pair->random_) < link.lossPercent)
        return length;
    const int copies = percent(pair->random_) < link.duplicatePercent ? 2 : 1;
    for (int i = 0; i < copies; ++i) {
        uint32_t delay = link.delayMs;
        if (link.jitterMs)
            delay += std::uniform_int_distribution<uint32_t>(0, link.jitterMs)(pair->random_);
        pair->transit_.push_back({pair->now_ + delay, pair->serial_++, 1 - side, copy});
    }
    return length;
}

void DatagramPair::DeliverDue()
{
    for (;;) {
        auto next = transit_.end();
        for (auto it = transit_.begin(); it != transit_.end(); ++it)
            if (int32_t(it->due - now_) <= 0 &&
                (next == transit_.end() || int32_t(it->due - next->due) < 0 ||
                 (it->due == next->due && it->serial < next->serial)))
                next = it;
        if (next == transit_.end())
            return;
        Pending pending = std::move(*next);
        transit_.erase(next);
        ends_[pending.to].SignalReceived(pending.bytes.data(), int(pending.bytes.size()));
    }
}

void DatagramPair::Step(uint32_t ms)
{
    now_ += ms;
    DeliverDue();
}
