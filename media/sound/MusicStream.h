#pragma once
// One music track streamed through an OpenAL source. A few buffers are queued at the start;
// a refill thread then takes back the buffers that have played, decodes the next pieces
// into them (outside the lock) and hands them back to the source under the lock. At the
// end of the track it starts again from the beginning when looping, else it lets the queue
// run out and ends. Stop() ends the thread and joins it.

#include "media/sound/SoundDecode.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sound {

class MusicStream {
public:
    static constexpr int kBufferCount = 4;
    static constexpr size_t kBufferSamples = 8192;

    // `source` is an OpenAL source name; `alLock` guards every OpenAL call of its owner.
    MusicStream(std::unique_ptr<OggDecoder> decoder, unsigned source, std::mutex& alLock);
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Queues the first buffers, starts the source and the refill thread. False when the
    // track gives no sound at all.
    bool Start(bool loop, float gain);
    // Stops the refill thread (joined) and the source, and frees the buffers. Idempotent.
    void Stop();
    void SetGain(float gain);

    // True once the track has played out (not looping) or could not be read further.
    bool Finished() const { return finished_; }
    bool HasRefillThread() const { return thread_.joinable(); }
    uint64_t BuffersQueued() const { return buffersQueued_; }
    uint32_t Loops() const { return loops_; }
    bool Looping() const { return loop_; }

private:
    void Run();
    // One refill pass; false when the track has ended.
    bool Refill();
    std::vector<int16_t> DecodeNext();

    std::unique_ptr<OggDecoder> decoder_;
    unsigned source_;
    std::mutex& alLock_;
    std::vector<unsigned> buffers_;
    std::vector<unsigned> spare_; // not queued: refilled by the next pass
    bool loop_ = false;
    bool decodedAll_ = false;

    std::mutex waitMutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    std::thread thread_;

    std::atomic<bool> finished_{false};
    std::atomic<uint64_t> buffersQueued_{0};
    std::atomic<uint32_t> loops_{0};
};

} // namespace sound
