// The frame-rate figure and the widget scale.
#include "shell/FrameRate.h"

#include <gtest/gtest.h>

TEST(FrameRate, ChangesOnlyPastHalfSecondWindowsToTwiceTheFramesDrawn)
{
    FrameRate rate;
    uint32_t now = 5000;
    int changes = 0;
    int32_t last = rate.Value();
    uint32_t lastChange = now;
    for (int frame = 0; frame < 200; ++frame, now += 7) {
        rate.BeginFrame(now);
        if (rate.Value() != last) {
            EXPECT_GT(now - lastChange, 500u);
            lastChange = now;
            last = rate.Value();
            ++changes;
        }
        rate.EndFrame();
    }
    EXPECT_GE(changes, 1);
    // 7 ms frames: a window closes at the first frame past 500 ms, 72 frames after its start.
    EXPECT_EQ(rate.Value(), 2 * 72);

    FrameRate wrapped;
    wrapped.BeginFrame(0xFFFFFF00u);
    wrapped.EndFrame();
    wrapped.BeginFrame(0x00000200u); // 768 ms later across the wrap
    EXPECT_EQ(wrapped.Value(), 2);
}

TEST(FrameRate, UiScaleFollowsTheNarrowerSide)
{
    EXPECT_FLOAT_EQ(UiScaleFor(1024, 768), 1.0f);
    EXPECT_FLOAT_EQ(UiScaleFor(1920, 1080), 1080.0f / 768.0f);
    EXPECT_FLOAT_EQ(UiScaleFor(1280, 1024), 1280.0f / 1024.0f);
}
