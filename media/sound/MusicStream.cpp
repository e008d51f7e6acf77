#include "media/sound/MusicStream.h"

#include <AL/al.h>

#include <chrono>

namespace sound {

namespace {

constexpr auto kRefillPeriod = std::chrono::milliseconds(15);

ALenum PcmFormat(int channels)
{
    return channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

} // namespace

MusicStream::MusicStream(std::unique_ptr<OggDecoder> decoder, unsigned source, std::mutex& alLock)
    : decoder_(std::move(decoder)), source_(source), alLock_(alLock)
{
}

MusicStream::~MusicStream()
{
    Stop();
}

std::vector<int16_t> MusicStream::DecodeNext()
{
    std::vector<int16_t> pcm(kBufferSamples);
    size_t filled = 0;
    bool rewound = false;
    while (filled < pcm.size() && !decodedAll_) {
        const size_t n = decoder_->Read(pcm.data() + filled, pcm.size() - filled);
        filled += n;
        if (n > 0) {
            rewound = false;
            continue;
        }
        // End of the track: loop from the start, unless that gives nothing either.
        if (!loop_ || rewound || !decoder_->Rewind()) {
            decodedAll_ = true;
            break;
        }
        rewound = true;
        ++loops_;
    }
    pcm.resize(filled);
    return pcm;
}

bool MusicStream::Start(bool loop, float gain)
{
    loop_ = loop;
    std::vector<std::vector<int16_t>> first;
    for (int i = 0; i < kBufferCount; ++i) {
        std::vector<int16_t> pcm = DecodeNext();
        if (pcm.empty())
            break;
        first.push_back(std::move(pcm));
    }
    if (first.empty())
        return false;

    {
        std::lock_guard lock(alLock_);
        buffers_.assign(kBufferCount, 0);
        alGetError();
        alGenBuffers(kBufferCount, buffers_.data());
        if (alGetError() != AL_NO_ERROR) {
            buffers_.clear();
            return false;
        }
        alSourceStop(source_);
        alSourcei(source_, AL_BUFFER, 0);
        alSourcei(source_, AL_LOOPING, AL_FALSE);
        alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source_, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(source_, AL_GAIN, gain);
        for (size_t i = 0; i < first.size(); ++i) {
            alBufferData(buffers_[i], PcmFormat(decoder_->Channels()), first[i].data(),
                         static_cast<ALsizei>(first[i].size() * sizeof(int16_t)), decoder_->SampleRate());
            alSourceQueueBuffers(source_, 1, &buffers_[i]);
        }
        spare_.assign(buffers_.begin() + static_cast<std::ptrdiff_t>(first.size()), buffers_.end());
        alSourcePlay(source_);
        if (alGetError() != AL_NO_ERROR) {
            alSourceStop(source_);
            alSourcei(source_, AL_BUFFER, 0);
            alDeleteBuffers(kBufferCount, buffers_.data());
            buffers_.clear();
            return false;
        }
        buffersQueued_ = first.size();
    }
    thread_ = std::thread(&MusicStream::Run, this);
    return true;
}

void MusicStream::Run()
{
    std::unique_lock wait(waitMutex_);
    while (!stopRequested_) {
        if (wake_.wait_for(wait, kRefillPeriod, [this] { return stopRequested_; }))
            break;
        wait.unlock();
        const bool more = Refill();
        wait.lock();
        if (!more)
            break;
    }
    finished_ = true;
}

bool MusicStream::Refill()
{
    std::vector<ALuint> free;
    free.swap(spare_);
    {
        std::lock_guard lock(alLock_);
        ALint processed = 0;
        alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
        if (processed > 0) {
            const size_t have = free.size();
            free.resize(have + static_cast<size_t>(processed));
            alSourceUnqueueBuffers(source_, processed, free.data() + have);
        }
    }

    // Decode outside the lock; buffers left over wait for the next pass.
    std::vector<std::pair<ALuint, std::vector<int16_t>>> refilled;
    for (ALuint buffer : free) {
        std::vector<int16_t> pcm = decodedAll_ ? std::vector<int16_t>{} : DecodeNext();
        if (pcm.empty())
            spare_.push_back(buffer);
        else
            refilled.emplace_back(buffer, std::move(pcm));
    }

    std::lock_guard lock(alLock_);
    alGetError();
    ALint state = AL_STOPPED;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    if (state == AL_STOPPED) {
        // The queue ran dry while decoding: all that is queued has played.
        ALint processed = 0;
        alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
        if (processed > 0) {
            const size_t have = spare_.size();
            spare_.resize(have + static_cast<size_t>(processed));
            alSourceUnqueueBuffers(source_, processed, spare_.data() + have);
        }
    }
    for (auto& [buffer, pcm] : refilled) {
        alBufferData(buffer, PcmFormat(decoder_->Channels()), pcm.data(),
                     static_cast<ALsizei>(pcm.size() * sizeof(int16_t)), decoder_->SampleRate());
        alSourceQueueBuffers(source_, 1, &buffer);
        ++buffersQueued_;
    }
    if (alGetError() != AL_NO_ERROR)
        return false;
    ALint queued = 0;
    alGetSourcei(source_, AL_BUFFERS_QUEUED, &queued);
    if (queued == 0)
        return false; // everything has played
    if (state == AL_STOPPED)
        alSourcePlay(source_);
    return true;
}

void MusicStream::Stop()
{
    {
        std::lock_guard lock(waitMutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    finished_ = true;

    std::lock_guard lock(alLock_);
    if (buffers_.empty())
        return;
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    alDeleteBuffers(static_cast<ALsizei>(buffers_.size()), buffers_.data());
    buffers_.clear();
    spare_.clear();
}

void MusicStream::SetGain(float gain)
{
    std::lock_guard lock(alLock_);
    if (!buffers_.empty())
        alSourcef(source_, AL_GAIN, gain);
}

} // namespace sound
