#include "media/SoundManager.h"

#include "app/ConsoleParam.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "media/sound/EffectTable.h"
#include "media/sound/MusicStream.h"
#include "media/sound/SoundDecode.h"
#include "media/sound/SoundFiles.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

SoundManager soundManager;

namespace {

ConsoleParam g_soundEnable("soundenable", ConsoleParamType::Int, "1", "Turn on or off in-game sound effects");
ConsoleParam g_soundLevel("soundlevel", ConsoleParamType::Int, "250", "Sound fx volume");
ConsoleParam g_musicEnable("musicenable", ConsoleParamType::Int, "0", "Turn on or off music",
                           [](ConsoleParam&) { soundManager.ApplyMusicSettings(); });
ConsoleParam g_musicLevel("musiclevel", ConsoleParamType::Int, "128", "Music volume (0-255)",
                          [](ConsoleParam&) { soundManager.ApplyMusicSettings(); });

constexpr const char* kEffectTablePath = "Sounds\\sound-effects.xml";
constexpr const char* kMusicFolder = "Sounds\\Music\\";
constexpr int kEffectSources = 16;

float Gain(float volume, const ConsoleParam& level)
{
    const float v = volume > 0.0f ? std::min(volume, 1.0f) : 0.0f; // also turns NaN into 0
    return v * static_cast<float>(std::clamp(level.GetInt(), 0, 255)) / 255.0f;
}

std::string MusicPath(std::string_view name, bool nameIsPath)
{
    if (nameIsPath)
        return std::string(name);
    std::string path = kMusicFolder + std::string(name);
    if (GetFileTitle(name, false).find('.') == std::string::npos)
        path += ".ogg";
    return path;
}

struct CachedSound {
    ALuint buffer = 0; // 0: could not be played
    bool missing = false;
};

} // namespace

struct SoundManager::Impl {
    struct MusicRequest {
        std::string name;
        bool loop;
        bool nameIsPath;
        float volume;
    };

    std::mutex alLock; // every OpenAL call; the music's refill thread takes it too
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::vector<ALuint> effectSources;
    ALuint musicSource = 0;
    std::map<int, std::string> effectFiles;
    std::map<std::string, CachedSound> sounds; // by lower-case game path
    std::set<int> unknownEffectsLogged;

    std::set<SampleStreamImpl*> sampleStreams; // under alLock

    std::unique_ptr<sound::MusicStream> music;
    std::string musicName;
    float musicVolume = 1.0f;
    uint32_t musicStarts = 0;
    std::optional<MusicRequest> request; // the last track asked for, until StopMusic

    const CachedSound& LoadSound(const std::string& gamePath);
    ALuint FreeSource();
    bool MusicPlaying() const { return music && !music->Finished(); }
    void EndMusicStream()
    {
        if (music)
            music->Stop();
        music.reset();
        musicName.clear();
    }
    void Play(ALuint buffer, float gain, bool atListener, float x, float y);
};

const CachedSound& SoundManager::Impl::LoadSound(const std::string& gamePath)
{
    const std::string key = ToLowerAscii(ToHostSeparators(gamePath));
    if (auto it = sounds.find(key); it != sounds.end())
        return it->second;
    CachedSound& cached = sounds[key];
    std::vector<uint8_t> bytes;
    if (!sound::ReadSoundFile(gamePath, bytes)) {
        cached.missing = true;
        return cached;
    }
    sound::PcmSound pcm;
    std::string error;
    if (!sound::DecodeSound(bytes, pcm, error) || pcm.samples.empty()) {
        WriteLog("Sound file %s: %s\n", gamePath.c_str(), error.empty() ? "no samples" : error.c_str());
        return cached;
    }
    std::lock_guard lock(alLock);
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, pcm.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, pcm.samples.data(),
                 static_cast<ALsizei>(pcm.samples.size() * sizeof(int16_t)), pcm.sampleRate);
    if (alGetError() != AL_NO_ERROR) {
        WriteLog("Sound file %s: the device refused its samples\n", gamePath.c_str());
        alDeleteBuffers(1, &buffer);
        return cached;
    }
    cached.buffer = buffer;
    return cached;
}

ALuint SoundManager::Impl::FreeSource()
{
    for (ALuint source : effectSources) {
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING && state != AL_PAUSED)
            return source;
    }
    return 0;
}

void SoundManager::Impl::Play(ALuint buffer, float gain, bool atListener, float x, float y)
{
    std::lock_guard lock(alLock);
    const ALuint source = FreeSource();
    if (!source)
        return; // every source busy: the effect is dropped
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    if (atListener)
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    else
        alSource3f(source, AL_POSITION, x, y, 0.0f);
    alSourcef(source, AL_GAIN, gain);
    alSourcePlay(source);
}

class SoundManager::SampleStreamImpl : public SoundManager::SampleStream {
public:
    static constexpr size_t kMaxPieces = 32;

    SampleStreamImpl(Impl& owner, ALuint source, int channels, int rate)
        : owner_(&owner), source_(source), channels_(channels), rate_(rate)
    {
    }
    ~SampleStreamImpl() override
    {
        if (!owner_)
            return;
        std::lock_guard lock(owner_->alLock);
        Release();
        owner_->sampleStreams.erase(this);
    }

    void Queue(const int16_t* samples, size_t frames) override
    {
        if (!owner_ || !samples || frames == 0)
            return;
        std::lock_guard lock(owner_->alLock);
        if (!source_)
            return;
        Reclaim();
        ALuint buffer = 0;
        if (!spare_.empty()) {
            buffer = spare_.back();
            spare_.pop_back();
        } else if (queued_.size() < kMaxPieces) {
            alGenBuffers(1, &buffer);
        }
        if (!buffer)
            return;
        alBufferData(buffer, channels_ == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, samples,
                     static_cast<ALsizei>(frames * size_t(channels_) * sizeof(int16_t)), rate_);
        alSourceQueueBuffers(source_, 1, &buffer);
        queued_.push_back(buffer);
        ALint state = AL_STOPPED;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING)
            alSourcePlay(source_);
    }

    void SetGain(float gain) override
    {
        if (!owner_)
            return;
        std::lock_guard lock(owner_->alLock);
        if (source_)
            alSourcef(source_, AL_GAIN, std::clamp(gain, 0.0f, 1.0f));
    }

    int PendingPieces() override
    {
        if (!owner_)
            return 0;
        std::lock_guard lock(owner_->alLock);
        if (source_)
            Reclaim();
        return static_cast<int>(queued_.size());
    }

    // Under alLock: the manager shuts down; the stream keeps nothing of the device.
    void Release()
    {
        if (source_) {
            alSourceStop(source_);
            alSourcei(source_, AL_BUFFER, 0);
            alDeleteSources(1, &source_);
        }
        for (ALuint buffer : queued_)
            alDeleteBuffers(1, &buffer);
        for (ALuint buffer : spare_)
            alDeleteBuffers(1, &buffer);
        queued_.clear();
        spare_.clear();
        source_ = 0;
    }

private:
    // Under alLock: played pieces become spare.
    void Reclaim()
    {
        ALint processed = 0;
        alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
        while (processed-- > 0 && !queued_.empty()) {
            ALuint buffer = queued_.front();
            alSourceUnqueueBuffers(source_, 1, &buffer);
            queued_.erase(queued_.begin());
            spare_.push_back(buffer);
        }
    }

    Impl* owner_;
    ALuint source_;
    int channels_;
    int rate_;
    std::vector<ALuint> queued_;
    std::vector<ALuint> spare_;
};

SoundManager::SoundManager() : impl_(std::make_unique<Impl>()) {}

SoundManager::~SoundManager()
{
    Shutdown();
}

bool SoundManager::Start(const char* deviceName)
{
    Impl& s = *impl_;
    if (s.device)
        return true;
    s.device = alcOpenDevice(deviceName);
    if (s.device) {
        s.context = alcCreateContext(s.device, nullptr);
        if (!s.context || !alcMakeContextCurrent(s.context)) {
            if (s.context)
                alcDestroyContext(s.context);
            s.context = nullptr;
            alcCloseDevice(s.device);
            s.device = nullptr;
        }
    }
    if (!s.device) {
        WriteLog("Sound: no audio device, sound is off\n");
        return false;
    }

    {
        std::lock_guard lock(s.alLock);
        alGetError();
        alGenSources(1, &s.musicSource);
        for (int i = 0; i < kEffectSources; ++i) {
            ALuint source = 0;
            alGenSources(1, &source);
            if (alGetError() != AL_NO_ERROR)
                break; // the device gives fewer sources: use those
            s.effectSources.push_back(source);
        }
        alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    }

    std::vector<uint8_t> table;
    if (!sound::ReadSoundFile(kEffectTablePath, table) || !sound::ParseEffectTable(table, s.effectFiles))
        WriteLog("Sound: cannot read the effect table %s\n", kEffectTablePath);
    return true;
}

void SoundManager::Shutdown()
{
    Impl& s = *impl_;
    if (!s.device)
        return;
    s.EndMusicStream();
    s.request.reset();
    {
        std::lock_guard lock(s.alLock);
        for (SampleStreamImpl* stream : s.sampleStreams)
            stream->Release();
        s.sampleStreams.clear();
        for (ALuint source : s.effectSources) {
            alSourceStop(source);
            alSourcei(source, AL_BUFFER, 0);
        }
        alDeleteSources(static_cast<ALsizei>(s.effectSources.size()), s.effectSources.data());
        alDeleteSources(1, &s.musicSource);
        for (auto& [path, cached] : s.sounds)
            if (cached.buffer)
                alDeleteBuffers(1, &cached.buffer);
    }
    s.effectSources.clear();
    s.musicSource = 0;
    s.sounds.clear();
    s.effectFiles.clear();
    s.unknownEffectsLogged.clear();
    s.musicStarts = 0;
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(s.context);
    alcCloseDevice(s.device);
    s.context = nullptr;
    s.device = nullptr;
}

bool SoundManager::IsActive() const
{
    return impl_->device != nullptr;
}

void SoundManager::PlayEffect(int effectId, float volume, bool atListener, float x, float y)
{
    if (effectObserver_)
        effectObserver_(effectId, volume, atListener, x, y);
    Impl& s = *impl_;
    if (!s.device || g_soundEnable.GetInt() == 0)
        return;
    const auto it = s.effectFiles.find(effectId);
    if (it == s.effectFiles.end()) {
        if (s.unknownEffectsLogged.insert(effectId).second)
            WriteLog("PlayEffect() unknown sound effect %d\n", effectId);
        return;
    }
    const CachedSound& cached = s.LoadSound(it->second);
    if (cached.missing && s.unknownEffectsLogged.insert(effectId).second)
        WriteLog("PlayEffect() sound effect %d: cannot read %s\n", effectId, it->second.c_str());
    if (cached.buffer)
        s.Play(cached.buffer, Gain(volume, g_soundLevel), atListener, x, y);
}

void SoundManager::PlaySoundFile(std::string_view path, float volume)
{
    Impl& s = *impl_;
    if (!s.device || g_soundEnable.GetInt() == 0)
        return;
    const CachedSound& cached = s.LoadSound(std::string(path));
    if (cached.missing) {
        WriteLog("PlaySoundFile() File does not exists\n");
        return;
    }
    if (cached.buffer)
        s.Play(cached.buffer, Gain(volume, g_soundLevel), true, 0.0f, 0.0f);
}

void SoundManager::PlayMusic(std::string_view name, bool loop, bool nameIsPath, float volume)
{
    Impl& s = *impl_;
    s.request = Impl::MusicRequest{std::string(name), loop, nameIsPath, volume};
    if (!s.device || g_musicEnable.GetInt() == 0)
        return;
    if (s.MusicPlaying() && EqualsNoCase(s.musicName, name))
        return;

    const std::string path = MusicPath(name, nameIsPath);
    std::vector<uint8_t> bytes;
    if (!sound::ReadSoundFile(path, bytes)) {
        WriteLog("PlayMusic() cannot open %s\n", path.c_str());
        return;
    }
    auto decoder = std::make_unique<sound::OggDecoder>();
    std::string error;
    if (!decoder->Open(std::move(bytes), error)) {
        WriteLog("PlayMusic() %s: %s\n", path.c_str(), error.c_str());
        return;
    }
    s.EndMusicStream();
    s.music = std::make_unique<sound::MusicStream>(std::move(decoder), s.musicSource, s.alLock);
    if (!s.music->Start(loop, Gain(volume, g_musicLevel))) {
        WriteLog("PlayMusic() %s: nothing to play\n", path.c_str());
        s.music.reset();
        return;
    }
    s.musicName = std::string(name);
    s.musicVolume = volume;
    ++s.musicStarts;
}

void SoundManager::StopMusic()
{
    impl_->request.reset();
    impl_->EndMusicStream();
}

double SoundManager::GetMusicDuration(std::string_view path) const
{
    std::vector<uint8_t> bytes;
    if (!sound::ReadSoundFile(path, bytes))
        return 0.0;
    sound::OggDecoder decoder;
    std::string error;
    return decoder.Open(std::move(bytes), error) ? decoder.Duration() : 0.0;
}

void SoundManager::SetListenerPosition(float x, float y)
{
    Impl& s = *impl_;
    if (!s.device)
        return;
    std::lock_guard lock(s.alLock);
    alListener3f(AL_POSITION, x, y, 0.0f);
}

void SoundManager::ApplyMusicSettings()
{
    Impl& s = *impl_;
    if (!s.device)
        return;
    if (g_musicEnable.GetInt() == 0) {
        s.EndMusicStream(); // the request stays: switching music on again resumes it
        return;
    }
    if (s.MusicPlaying()) {
        s.music->SetGain(Gain(s.musicVolume, g_musicLevel));
    } else if (s.request && s.request->loop) {
        const Impl::MusicRequest request = *s.request;
        PlayMusic(request.name, request.loop, request.nameIsPath, request.volume);
    }
}

std::unique_ptr<SoundManager::SampleStream> SoundManager::OpenSampleStream(int channels, int sampleRate, float gain)
{
    Impl& s = *impl_;
    if (!s.device || channels < 1 || channels > 2 || sampleRate <= 0)
        return nullptr;
    std::lock_guard lock(s.alLock);
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR || !source)
        return nullptr;
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source, AL_GAIN, std::clamp(gain, 0.0f, 1.0f));
    auto stream = std::make_unique<SampleStreamImpl>(s, source, channels, sampleRate);
    s.sampleStreams.insert(stream.get());
    return stream;
}

SoundManager::MusicStatus SoundManager::GetMusicStatus() const
{
    const Impl& s = *impl_;
    MusicStatus status;
    status.playing = s.MusicPlaying();
    status.refillThreadRunning = s.music && s.music->HasRefillThread();
    status.name = s.musicName;
    status.starts = s.musicStarts;
    if (s.music) {
        status.buffersQueued = s.music->BuffersQueued();
        status.loops = s.music->Loops();
        status.looping = s.music->Looping();
    }
    return status;
}

int SoundManager::EffectSourceCount() const
{
    return static_cast<int>(impl_->effectSources.size());
}

int SoundManager::FreeEffectSourceCount() const
{
    Impl& s = *impl_;
    std::lock_guard lock(s.alLock);
    int free = 0;
    for (ALuint source : s.effectSources) {
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING && state != AL_PAUSED)
            ++free;
    }
    return free;
}
