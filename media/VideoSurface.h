#pragma once
// The current frame of a playing video as a surface. The surface owns the player of the
// video layer (decoding on its own thread) and a texture of the video's size; Present
// moves the playing position, copies a new frame into the texture and passes the clip's
// sound on to the sound manager.
#include "media/SoundManager.h"
#include "media/Surface.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform::video {
class VideoTexturePlayer;
struct KeyRule;
}

class VideoSurface : public BaseSurface {
public:
    VideoSurface();
    ~VideoSurface() override;

    // Drops the old player, keeps the name and opens the file through the file manager.
    // 0, or -1 (the reason logged) when it cannot be read or played. Width and height
    // become the picture's, 0 x 0 without one.
    int Load(const std::string& fileName);
    bool IsLoaded() const;
    const char* GetName() const override { return name.c_str(); }
    ISurface* Duplicate() const override { return nullptr; }
    // Nothing is drawn before the first frame.
    gfx::HRESULT DrawRect(float x, float y, const gfx::RECT* sourceRect) override;
    gfx::HRESULT DrawRectSimple(float x, float y, const gfx::RECT* sourceRect) override;

    // Plays from start to stop (100 ns units; stop 0: the end) with the colour key.
    void Play(int64_t start, int64_t stop, const platform::video::KeyRule& key);
    // Main thread, once a frame while playing.
    void Present(int64_t position);
    // Main thread, once a frame after the play: the rest of the sound still decoded.
    void PumpSound();
    bool ReachedEnd(int64_t position) const;
    bool HasFrame() const { return hasFrame_; }
    int64_t Duration() const;

    // The sound level of the clip in hundredths of a decibel from a 0-255 volume setting:
    // (setting / 255 - 1) x 2000.
    static int VolumeFromSetting(int setting);

    std::string name;
    bool loop = false; // start again from the same start when the end is reached
    int32_t volume = 0; // hundredths of a decibel, 0 = full

private:
    void CopyFrame();

    std::unique_ptr<platform::video::VideoTexturePlayer> player_;
    std::unique_ptr<SoundManager::SampleStream> sound_;
    uint64_t shownSerial_ = 0;
    bool hasFrame_ = false;
};
