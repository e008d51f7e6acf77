#include "shell/FrameRate.h"

void FrameRate::BeginFrame(uint32_t now)
{
    if (!sampled_) {
        sampled_ = true;
        sampleTime_ = now;
    }
    if (now - sampleTime_ > 500u && static_cast<int32_t>(now - sampleTime_) > 0) {
        value_ = frames_ * 2;
        frames_ = 0;
        sampleTime_ = now;
    }
}

float UiScaleFor(int width, int height)
{
    if (height <= 0 || width <= 0)
        return 1.0f;
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    if (aspect >= 4.0f / 3.0f)
        return static_cast<float>(height) / 768.0f;
    return static_cast<float>(width) / 1024.0f;
}
