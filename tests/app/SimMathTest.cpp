// The simulation maths: tables against the C library (tests may call it), exact points,
// rounding rules.
#include "app/SimMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;

} // namespace

TEST(SimMath, WholeDegreesAreExactAtTheAxesAndCloseElsewhere)
{
    EXPECT_EQ(SinDeg(0), 0.0f);
    EXPECT_EQ(SinDeg(90), 1.0f);
    EXPECT_EQ(SinDeg(180), 0.0f);
    EXPECT_EQ(SinDeg(270), -1.0f);
    EXPECT_EQ(CosDeg(0), 1.0f);
    EXPECT_EQ(CosDeg(90), 0.0f);
    EXPECT_EQ(CosDeg(180), -1.0f);
    EXPECT_EQ(CosDeg(270), 0.0f);
    for (int d = -720; d <= 720; ++d) {
        EXPECT_NEAR(SinDeg(d), std::sin(d * kPi / 180.0), 1e-7) << d;
        EXPECT_NEAR(CosDeg(d), std::cos(d * kPi / 180.0), 1e-7) << d;
        EXPECT_EQ(SinDeg(d), SinDeg(d + 360)) << d;
    }
    EXPECT_EQ(SinDeg(std::numeric_limits<int>::min()), SinDeg(std::numeric_limits<int>::min() % 360 + 360));
}

TEST(SimMath, FractionalDegreesInterpolateBetweenWholeOnes)
{
    EXPECT_EQ(SinDegF(30.0f), SinDeg(30));
    EXPECT_EQ(CosDegF(-90.0f), CosDeg(270));
    EXPECT_FLOAT_EQ(SinDegF(30.5f), (SinDeg(30) + SinDeg(31)) * 0.5f);
    EXPECT_FLOAT_EQ(CosDegF(359.5f), (CosDeg(359) + CosDeg(0)) * 0.5f);
    for (float d = -400.0f; d < 400.0f; d += 0.37f) {
        EXPECT_NEAR(SinDegF(d), std::sin(d * kPi / 180.0), 5e-5) << d;
        EXPECT_NEAR(CosDegF(d), std::cos(d * kPi / 180.0), 5e-5) << d;
    }
    EXPECT_EQ(SinDegF(std::numeric_limits<float>::infinity()), 0.0f);
    EXPECT_EQ(CosDegF(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_TRUE(std::isfinite(SinDegF(3.0e38f)));
}

TEST(SimMath, Atan2InDegreesFollowsTheQuadrants)
{
    const struct {
        float y, x, degrees;
    } exact[] = {{0, 1, 0}, {1, 0, 90}, {0, -1, 180}, {-1, 0, -90}, {1, 1, 45}, {-1, -1, -135}, {0, 0, 0}};
    for (const auto& c : exact)
        EXPECT_EQ(Atan2Deg(c.y, c.x), c.degrees) << c.y << "," << c.x;
    for (float y = -5.0f; y <= 5.0f; y += 0.23f)
        for (float x = -5.0f; x <= 5.0f; x += 0.31f)
            EXPECT_NEAR(Atan2Deg(y, x), std::atan2(y, x) * 180.0 / kPi, 1e-4) << y << "," << x;
    EXPECT_EQ(Atan2Deg(std::numeric_limits<float>::quiet_NaN(), 1.0f), 0.0f);
}

TEST(SimMath, ExpTableOfWholeDistances)
{
    EXPECT_EQ(ExpNeg50(0), 1.0f);
    EXPECT_EQ(ExpNeg50(-7), 1.0f);
    EXPECT_EQ(ExpNeg50(kExpTableSize), 0.0f);
    EXPECT_GT(ExpNeg50(kExpTableSize - 1), 0.0f);
    for (int d = 0; d < kExpTableSize; d += 7)
        EXPECT_NEAR(ExpNeg50(d) / std::exp(-d / 50.0), 1.0, 1e-6) << d;
}

TEST(SimMath, RoundToIntRoundsAtFourDecimalsHalvesAwayFromZero)
{
    const struct {
        float value;
        int32_t rounded;
    } cases[] = {{0.5f, 1},           {-0.5f, -1},          {2.4f, 2},         {1.4996f, 2},
                 {1.4994f, 1},         {-1.4996f, -2},       {0.0f, 0},         {-0.4f, 0},
                 {3000000.0f, 3000000}, {214749.0f, 214749}, {-214749.5f, -214750}, {16384.75f, 16385}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundToInt(c.value), c.rounded) << c.value;
    EXPECT_EQ(RoundToInt(1.0e20f), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(RoundToInt(-1.0e20f), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(RoundToInt(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(RoundToInt(-std::numeric_limits<float>::infinity()), 0);
}
