#pragma once
// The turning "busy" sign: the strip "Graphics\Common\throbber.png" (16 frames of 24 x 24
// pixels, left to right, row after row), one frame every 50 ms while running, drawn
// centred on the primitive at the UI scale. The frame can be advanced from any thread.
#include "gui/Primitive.h"

#include <atomic>
#include <cstdint>

class AnimSurface;

class Throbber : public Primitive {
public:
    static constexpr const char* kImage = "Graphics\\Common\\throbber.png";
    static constexpr int kFrameSize = 24;
    static constexpr int kFrameCount = 16;
    static constexpr uint32_t kFrameTime = 50;

    Throbber();
    ~Throbber() override;

    // Advances by the frame's elapsed time.
    void Update() override;
    void Draw() override;
    // The frame size at the UI scale, in virtual units.
    bool GetSize(float* width, float* height) override;

    // Adds elapsed milliseconds; the frame moves on every kFrameTime while running.
    void Advance(uint32_t milliseconds);
    void Start() { running_.store(true); }
    void Stop() { running_.store(false); }
    bool Running() const { return running_.load(); }
    int Frame() const { return int((elapsed_.load() / kFrameTime) % kFrameCount); }
    // Draws at the centre point (pixels) with the given alpha.
    void DrawAt(float centreX, float centreY, uint8_t drawAlpha) const;

private:
    AnimSurface* image_ = nullptr;
    std::atomic<uint32_t> elapsed_{0};
    std::atomic<bool> running_{true};
};
