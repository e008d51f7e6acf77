// Throughput of the reliable stream through a lossless in-memory datagram pair: records
// sent one per frame (small enough to travel raw), and batches of compressible or random
// records (deflated). Time is simulated; the figures are CPU cost per byte delivered.
#include "net/FlimbsPseudoTcp.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <random>
#include <vector>

namespace {

struct Pair {
    struct End : IFlimbsUdpStream {
        int Send(const void* data, int length) override
        {
            const auto* bytes = static_cast<const uint8_t*>(data);
            other->queue.emplace_back(bytes, bytes + length);
            return length;
        }
        void Deliver()
        {
            while (!queue.empty()) {
                std::vector<uint8_t> datagram = std::move(queue.front());
                queue.pop_front();
                SignalReceived(datagram.data(), int(datagram.size()));
            }
        }
        End* other = nullptr;
        std::deque<std::vector<uint8_t>> queue;
    };
    Pair()
    {
        a.other = &b;
        b.other = &a;
    }
    End a, b;
    uint32_t now = 1000;
};

struct Connected {
    Connected() : sender(&pair.a), receiver(&pair.b)
    {
        sender.SetClock([this] { return pair.now; });
        receiver.SetClock([this] { return pair.now; });
        sender.Connect();
        for (int i = 0; i < 20; ++i)
            Frame();
    }
    void Frame()
    {
        sender.Update(true);
        receiver.Update(true);
        pair.a.Deliver();
        pair.b.Deliver();
        pair.now += 16;
    }
    Pair pair;
    FlimbsPseudoTcp sender;
    FlimbsPseudoTcp receiver;
};

std::vector<uint8_t> Record(int length, bool random, std::mt19937& generator, int sequence)
{
    std::vector<uint8_t> message(static_cast<size_t>(length));
    message[0] = 3;
    message[2] = uint8_t(length);
    message[3] = uint8_t(length >> 8);
    for (int i = 6; i < length; ++i)
        message[size_t(i)] = random ? uint8_t(generator()) : uint8_t((sequence + i / 16) * 31);
    return message;
}

// Batches of 64 records of the given length; arg 1: 0 compressible, 1 random.
void BM_StreamBatches(benchmark::State& state)
{
    const int length = int(state.range(0));
    const bool random = state.range(1) != 0;
    Connected link;
    std::mt19937 generator(5);
    std::vector<std::vector<uint8_t>> batch;
    for (int i = 0; i < 64; ++i)
        batch.push_back(Record(length, random, generator, i));
    std::vector<uint8_t> buffer(65535);
    int64_t bytes = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        for (const auto& message : batch)
            link.sender.Send(message.data());
        int received = 0;
        while (received < int(batch.size())) {
            link.Frame();
            ++frames;
            while (link.receiver.Receive(buffer.data(), int(buffer.size())))
                ++received;
        }
        bytes += int64_t(batch.size()) * length;
    }
    state.SetBytesProcessed(bytes);
    state.counters["frames_per_batch"] = double(frames) / double(state.iterations());
}
BENCHMARK(BM_StreamBatches)->Args({64, 0})->Args({1024, 0})->Args({4042, 0})->Args({1024, 1})->Args({4042, 1});

// One small record per frame: the payload stays at 32 bytes or less and travels raw.
void BM_StreamRawRecords(benchmark::State& state)
{
    Connected link;
    std::mt19937 generator(5);
    const auto message = Record(12, false, generator, 1);
    std::vector<uint8_t> buffer(256);
    int64_t bytes = 0;
    for (auto _ : state) {
        link.sender.Send(message.data());
        link.Frame();
        while (link.receiver.Receive(buffer.data(), int(buffer.size())))
            bytes += int64_t(message.size());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_StreamRawRecords);

} // namespace
