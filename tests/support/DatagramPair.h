#pragma once
// Two in-memory datagram streams joined by a simulated network on simulated time: each
// direction can lose, duplicate, delay and reorder datagrams (deterministically, from a
// seed), drop those a test picks, or refuse sends. Reliable streams run over its ends with
// Clock() as their clock; Step() advances the time and delivers what is due.
#include "net/IFlimbsUdpStream.h"
#include "net/NetClock.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <vector>

class DatagramPair {
public:
    struct Link {
        int lossPercent = 0;
        int duplicatePercent = 0;
        uint32_t delayMs = 0;
        uint32_t jitterMs = 0; // extra random delay: reorders datagrams
        // Returns true for a datagram to drop (after it was counted as sent).
        std::function<bool(const std::vector<uint8_t>&)> dropIf;
        int refuseSends = 0; // the next n sends fail with -1
    };
    struct End : IFlimbsUdpStream {
        int Send(const void* data, int length) override;
        DatagramPair* pair = nullptr;
        int side = 0;
        std::vector<std::vector<uint8_t>> sent; // every datagram handed to Send, in order
    };

    explicit DatagramPair(uint32_t seed = 1, uint32_t startTime = 1000);

    End& A() { return ends_[0]; }
    End& B() { return ends_[1]; }
    // Link from A to B (0) or from B to A (1).
    Link& Direction(int from) { return links_[from]; }
    NetClock Clock();
    uint32_t Now() const { return now_; }
    // Advances the time and delivers every datagram due by then, oldest due first.
    void Step(uint32_t ms);
    void DeliverDue();
    size_t InTransit() const { return transit_.size(); }

private:
    struct Pending {
        uint32_t due = 0;
        uint64_t serial = 0;
        int to = 0;
        std::vector<uint8_t> bytes;
    };
    End ends_[2];
    Link links_[2];
    std::deque<Pending> transit_;
    std::mt19937 random_;
    uint32_t now_;
    uint64_t serial_ = 0;
};
