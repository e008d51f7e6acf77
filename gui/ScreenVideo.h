#pragma once
// A video as a widget: the clip's current frame stretched over the widget's rectangle.
// The playing position follows the game clock: every update adds the frame's elapsed
// milliseconds, so a stepped clock steps the video.
//
// Restart plays from the start field to the stop field (both in 100 ns units; a stop of 0
// is the clip's end) and clears the finished flag, which is set once the position reaches
// the stop. A clip that cannot be loaded logs "Error: ScreenVideo can't be loaded %s" and
// counts as finished at once, so nobody waits for it.
#include "gui/Primitive.h"

#include <cstdint>
#include <memory>
#include <string>

class VideoSurface;

class ScreenVideo : public Primitive {
public:
    explicit ScreenVideo(const std::string& file);
    ~ScreenVideo() override;

    void Update() override;
    void Draw() override;
    // The picture's natural size (pixels); true when loaded.
    bool GetNaturalSize(int* width, int* height) const;
    bool IsLoaded() const { return loaded; }

    // Plays from the start field; finished is cleared (set again at once when not loaded).
    void Restart();
    bool IsPlaying() const { return playing_; }
    // 100 ns units.
    int64_t GetPosition() const { return position_; }
    int64_t GetDuration() const;

    uint8_t loaded = 0;
    uint8_t finished = 0;
    int64_t start = 0;
    int64_t stop = 0;
    // The frame copier's key: a pixel whose colour ORed with colourOr has no bit in
    // transparencyMask is drawn fully transparent, every other one fully opaque. The
    // defaults key nothing.
    uint32_t transparencyMask = 0xFFFFFFFFu;
    uint32_t colourOr = 0xFF000000u;

private:
    std::unique_ptr<VideoSurface> surface_;
    int64_t position_ = 0;
    bool playing_ = false;
    bool firstUpdate_ = false;
};
