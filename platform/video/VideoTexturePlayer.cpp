#include "platform/video/VideoTexturePlayer.h"

#include "platform/log_sink.h"
#include "platform/video/VideoDecoder.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace platform::video {
namespace {

constexpr size_t kQueueDepth = 3;
// A frame that is due waits at most this long for the decoder.
constexpr auto kMaxWait = std::chrono::seconds(2);

} // namespace

VideoTexturePlayer::VideoTexturePlayer() = default;

VideoTexturePlayer::~VideoTexturePlayer() { Halt(); }

bool VideoTexturePlayer::Open(std::vector<uint8_t> bytes, std::string& error)
{
    Halt();
    open_ = false;
    bytes_ = std::move(bytes);
    VideoDecoder probe;
    if (!probe.Open(bytes_.data(), bytes_.size(), error)) {
        bytes_.clear();
        return false;
    }
    info_ = probe.Info();
    stop_ = info_.duration;
    open_ = true;
    return true;
}

bool VideoTexturePlayer::Play(int64_t start, int64_t stop)
{
    Halt();
    if (!open_)
        return false;
    {
        std::lock_guard guard(lock_);
        queue_.clear();
        sound_.clear();
        halt_ = false;
        ended_ = false;
        nextFrameTime_ = 0;
        lastFrameEnd_ = start;
        stop_ = stop > 0 ? stop : info_.duration;
    }
    try {
        thread_ = std::thread(&VideoTexturePlayer::Decode, this, start, stop_, key_, soundWanted_);
    } catch (const std::system_error& e) {
        PlatformLog("Video: cannot start the decoder thread: %s\n", e.what());
        std::lock_guard guard(lock_);
        ended_ = true;
        return false;
    }
    return true;
}

void VideoTexturePlayer::Halt()
{
    {
        std::lock_guard guard(lock_);
        halt_ = true;
    }
    spaceFree_.notify_all();
    if (thread_.joinable())
        thread_.join();
    std::lock_guard guard(lock_);
    ended_ = true;
}

void VideoTexturePlayer::Decode(int64_t start, int64_t stop, KeyRule key, bool sound)
{
    VideoDecoder decoder;
    std::string error;
    decoder.SetSoundWanted(sound);
    if (!decoder.Open(bytes_.data(), bytes_.size(), error, false)) {
        std::lock_guard guard(lock_);
        ended_ = true;
        framesReady_.notify_all();
        return;
    }
    const VideoInfo& info = decoder.Info();
    std::vector<int16_t> samples;
    for (;;) {
        std::vector<uint32_t> pixels;
        {
            std::unique_lock guard(lock_);
            spaceFree_.wait(guard, [&] { return halt_ || queue_.size() < kQueueDepth; });
            if (halt_)
                return;
            if (!spare_.empty()) {
                pixels = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        int64_t time = 0, index = 0;
        const bool decoded = decoder.DecodeNextFrame(time, index);
        const int64_t next = decoded ? decoder.FrameTime(index + 1) : 0;
        // Sound of this play only: from the start to the stop.
        samples.clear();
        const int64_t firstFrame = decoder.SoundFramesTaken();
        decoder.TakeSound(samples);
        const size_t channels = size_t(info.soundChannels);
        if (channels > 0 && !samples.empty()) {
            const int64_t rate = info.soundRate;
            const int64_t skip = std::max<int64_t>(0, start * rate / kUnitsPerSecond - firstFrame);
            const int64_t keep = std::max<int64_t>(0, stop * rate / kUnitsPerSecond - firstFrame);
            const size_t frames = samples.size() / channels;
            const size_t from = size_t(std::min<int64_t>(skip, int64_t(frames))) * channels;
            const size_t to = size_t(std::min<int64_t>(keep, int64_t(frames))) * channels;
            if (to > from) {
                std::lock_guard guard(lock_);
                sound_.insert(sound_.end(), samples.begin() + std::ptrdiff_t(from), samples.begin() + std::ptrdiff_t(to));
            }
        }
        if (!decoded || time > stop) {
            std::lock_guard guard(lock_);
            ended_ = true;
            framesReady_.notify_all();
            return;
        }
        if (next <= start) // never shown: the next frame is due at the start already
            continue;
        pixels.resize(size_t(info.width) * size_t(info.height));
        decoder.ConvertFrame(key, pixels.data());
        std::lock_guard guard(lock_);
        queue_.push_back(Frame{time, std::move(pixels)});
        nextFrameTime_ = next;
        lastFrameEnd_ = next;
        framesReady_.notify_all();
    }
}

bool VideoTexturePlayer::AdvanceTo(int64_t position)
{
    std::unique_lock guard(lock_);
    bool changed = false;
    const auto deadline = std::chrono::steady_clock::now() + kMaxWait;
    for (;;) {
        while (!queue_.empty() && queue_.front().time <= position) {
            if (!current_.pixels.empty())
                spare_.push_back(std::move(current_.pixels));
            current_ = std::move(queue_.front());
            queue_.pop_front();
            ++serial_;
            changed = true;
            spaceFree_.notify_all();
        }
        // The next frame is queued but not due, or none is coming, or it is not due yet.
        if (!queue_.empty() || ended_ || nextFrameTime_ > position)
            break;
        if (framesReady_.wait_until(guard, deadline) == std::cv_status::timeout)
            break;
    }
    return changed;
}

bool VideoTexturePlayer::ReachedEnd(int64_t position) const
{
    std::lock_guard guard(lock_);
    if (position >= stop_)
        return true;
    return ended_ && queue_.empty() && position >= lastFrameEnd_;
}

bool VideoTexturePlayer::DecoderEnded() const
{
    std::lock_guard guard(lock_);
    return ended_;
}

void VideoTexturePlayer::WithCurrentFrame(const std::function<void(const uint32_t*, int, int)>& fn) const
{
    std::lock_guard guard(lock_);
    if (current_.time >= 0 && !current_.pixels.empty())
        fn(current_.pixels.data(), info_.width, info_.height);
}

uint64_t VideoTexturePlayer::FrameSerial() const
{
    std::lock_guard guard(lock_);
    return serial_;
}

int64_t VideoTexturePlayer::CurrentFrameTime() const
{
    std::lock_guard guard(lock_);
    return current_.time;
}

size_t VideoTexturePlayer::TakeSound(std::vector<int16_t>& out)
{
    std::lock_guard guard(lock_);
    if (info_.soundChannels == 0)
        return 0;
    const size_t frames = sound_.size() / size_t(info_.soundChannels);
    out.insert(out.end(), sound_.begin(), sound_.end());
    sound_.clear();
    return frames;
}

} // namespace platform::video
