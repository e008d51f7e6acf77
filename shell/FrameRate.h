#pragma once
// The frame-rate figure: frames counted over half-second windows of the program clock.
#include <cstdint>

class FrameRate {
public:
    // At the start of a frame: the first call takes the sample time; once `now` is more than
    // 500 ms past it, the rate becomes twice the frames counted and a new window starts.
    void BeginFrame(uint32_t now);
    // At the end of a drawn frame.
    void EndFrame() { ++frames_; }
    int32_t Value() const { return value_; }

private:
    bool sampled_ = false;
    uint32_t sampleTime_ = 0;
    int32_t frames_ = 0;
    int32_t value_ = 0;
};

// Widget scale: height / 768 on screens at least 4:3 wide, else width / 1024.
float UiScaleFor(int width, int height);
