#pragma once
// The game's sound: numbered sound effects, one-shot sound files and one streamed music
// track, played through the audio device. One global object, `soundManager`, is started at
// start-up and shut down at exit.
//
// Without an audio device Start() logs one line and the manager stays silent: every call
// still returns normally. The console variables soundenable, soundlevel (0..255, effects),
// musicenable and musiclevel (0..255, music) switch and scale what plays.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class SoundManager {
public:
    SoundManager();
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Opens the audio device (the default one when `deviceName` is null) and reads the
    // effect table "Sounds\sound-effects.xml". False, with one log line, when there is no
    // device; the manager then stays silent.
    bool Start(const char* deviceName = nullptr);
    // Stops the music (joining its refill thread) and every effect, and closes the device.
    void Shutdown();
    bool IsActive() const;

    // Plays effect `effectId` of the table once. At the listener when `atListener` is set;
    // otherwise at (x, y) relative to the listener, in units of half the game view (x to
    // the right, y up), so that points outside the view sound to that side and fainter.
    void PlayEffect(int effectId, float volume = 1.0f, bool atListener = true, float x = 0.0f, float y = 0.0f);
    // Tests: told of every PlayEffect call (played or not) before anything else; null: none.
    using EffectObserver = std::function<void(int effectId, float volume, bool atListener, float x, float y)>;
    void SetEffectObserver(EffectObserver observer) { effectObserver_ = std::move(observer); }
    // Plays a WAV or Ogg Vorbis file once at the listener; logs
    // "PlaySoundFile() File does not exists" when the file is missing.
    void PlaySoundFile(std::string_view path, float volume = 1.0f);

    // Streams an Ogg Vorbis track, replacing what plays. `name` is a file of the folder
    // "Sounds\Music" (".ogg" added when it has no extension), or with `nameIsPath` a game
    // path used unchanged. Does nothing when a track of that name is already playing. With
    // `loop` the track starts again from its beginning when it ends.
    void PlayMusic(std::string_view name, bool loop = true, bool nameIsPath = false, float volume = 1.0f);
    // Stops the music and joins its refill thread.
    void StopMusic();
    // Length in seconds of the file at the game path, 0 when it does not open as a music
    // stream.
    double GetMusicDuration(std::string_view path) const;

    // Places the listener: the centre of the game view, in world units, once per frame.
    void SetListenerPosition(float x, float y);

    // What plays, for the screens that show it and for tests.
    struct MusicStatus {
        bool playing = false;            // a track is streaming and has not played out
        bool refillThreadRunning = false; // its refill thread exists (not joined yet)
        std::string name;                // as asked for
        uint32_t starts = 0;             // tracks started since Start()
        uint64_t buffersQueued = 0;      // buffers handed to the source by the current track
        uint32_t loops = 0;              // times the current track started again
        bool looping = false;            // the current track starts again when it ends
    };
    MusicStatus GetMusicStatus() const;
    int EffectSourceCount() const;
    // Effect sources free to play (not playing).
    int FreeEffectSourceCount() const;

    // Applies musicenable and musiclevel after they changed.
    void ApplyMusicSettings();

    // A stream of 16-bit samples that its owner feeds as it decodes them (a video's sound
    // track), played at the listener on a source of its own. Queued pieces play one after
    // the other; a piece that finds 32 still queued is dropped.
    class SampleStream {
    public:
        virtual ~SampleStream() = default;
        // Interleaved samples of the stream's channels.
        virtual void Queue(const int16_t* samples, size_t frames) = 0;
        virtual void SetGain(float gain) = 0;
        // Pieces handed to the device and not yet played out.
        virtual int PendingPieces() = 0;
    };
    // One or two channels. Null when the manager is silent. A stream still open at Shutdown
    // falls silent and stays safe to use and drop.
    std::unique_ptr<SampleStream> OpenSampleStream(int channels, int sampleRate, float gain);

private:
    EffectObserver effectObserver_;
    struct Impl;
    class SampleStreamImpl;
    std::unique_ptr<Impl> impl_;
};

extern SoundManager soundManager;
