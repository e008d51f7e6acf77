// The stamp overlay's transform: scale stops keeping the sign, whole turns of the wheel,
// flips and the mode cycle with its cursors.
#include "hud/StampTransform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = StampTransform::kPi;

TEST(StampTransform, ScaleStopsAtTheLimitsOnEitherSideOfAFlip)
{
    struct Case {
        float start;
        bool up;
        float stop;
    };
    for (const Case c : {Case{1.0f, true, 2.0f}, Case{1.0f, false, 0.3f}, Case{-1.0f, true, -2.0f},
                         Case{-1.0f, false, -0.3f}}) {
        StampTransform t;
        t.scaleX = c.start;
        t.scaleY = std::fabs(c.start);
        for (int i = 0; i < 40; ++i)
            t.Wheel(c.up);
        EXPECT_FLOAT_EQ(t.scaleX, c.stop) << c.start << (c.up ? " up" : " down");
        EXPECT_FLOAT_EQ(t.scaleY, std::fabs(c.stop));
    }
    StampTransform t;
    t.Wheel(true);
    EXPECT_FLOAT_EQ(t.scaleX, 1.1f);
    t.Wheel(false);
    EXPECT_FLOAT_EQ(t.scaleX, 1.1f * 0.9f);
}

TEST(StampTransform, ThirtyTwoWheelStepsTurnOnceRoundAndSixteenHalfway)
{
    for (const float start : {0.0f, StampTransform::StartRotation(0.0f), StampTransform::StartRotation(kPi / 2)}) {
        for (const bool up : {true, false}) {
            StampTransform t;
            t.mode = StampMode::Rotate;
            t.rotation = start;
            float halfway = 0.0f;
            for (int i = 0; i < 32; ++i) {
                t.Wheel(up);
                EXPECT_GE(t.rotation, 0.0f);
                EXPECT_LT(t.rotation, 2 * kPi);
                if (i == 15)
                    halfway = t.rotation;
            }
            const float expected = std::fmod(start + 4 * kPi, 2 * kPi);
            EXPECT_NEAR(std::remainder(t.rotation - expected, 2 * kPi), 0.0f, 1e-4f) << start;
            EXPECT_NEAR(std::fabs(std::remainder(halfway - expected, 2 * kPi)), kPi, 1e-4f);
        }
    }
    EXPECT_FLOAT_EQ(StampTransform::StartRotation(std::nullopt), 0.0f);
    EXPECT_FLOAT_EQ(StampTransform::StartRotation(kPi), -kPi - kPi / 2);
}

TEST(StampTransform, FlipMirrorsAndTheModeButtonCyclesWithItsCursors)
{
    StampTransform t;
    t.scaleX = 1.5f;
    t.scaleY = 1.5f;
    EXPECT_STREQ(t.CursorName(), "diagonal-right");
    t.NextMode();
    EXPECT_EQ(t.mode, StampMode::Rotate);
    EXPECT_STREQ(t.CursorName(), "rotate");
    t.NextMode();
    EXPECT_EQ(t.mode, StampMode::Flip);
    EXPECT_STREQ(t.CursorName(), "horizontal");
    t.Wheel(true);
    EXPECT_FLOAT_EQ(t.scaleX, -1.5f);
    EXPECT_FLOAT_EQ(t.scaleY, 1.5f);
    t.Wheel(false);
    EXPECT_FLOAT_EQ(t.scaleX, 1.5f);
    t.NextMode();
    EXPECT_EQ(t.mode, StampMode::Scale);
}

} // namespace
