// The four gravity directions.
#include "game/Directions.h"

#include <gtest/gtest.h>

namespace {

TEST(Directions, AnglesAndRadiansGiveDirections)
{
    const std::pair<int32_t, uint8_t> angles[] = {{0, 0},   {44, 0},  {45, 3},  {134, 3}, {135, 1}, {225, 2},
                                                  {314, 2}, {315, 0}, {360, 0}, {-90, 2}, {450, 3}, {-1, 0}};
    for (const auto& [degrees, direction] : angles)
        EXPECT_EQ(AngleToDirection(degrees), direction) << degrees;
    const float pi = 3.14159265f;
    EXPECT_EQ(RadiansToDirection(3 * pi / 2), 0);
    EXPECT_EQ(RadiansToDirection(pi / 2), 1);
    EXPECT_EQ(RadiansToDirection(0.1f), 2);
    EXPECT_EQ(RadiansToDirection(pi), 3);
    EXPECT_EQ(RadiansToDirection(-pi / 2), 0) << "brought into range first";
    EXPECT_EQ(RadiansToDirection(2 * pi + 0.1f), 2);
    EXPECT_EQ(OppositeDirection(0), 1);
    EXPECT_EQ(OppositeDirection(3), 2);
}

TEST(Directions, VectorsAndRectanglesTurnAndTurnBack)
{
    for (uint8_t direction = 0; direction < 4; ++direction) {
        int32_t x = 3, y = -7;
        RotateVectorByDirection(direction, x, y);
        UnrotateVectorByDirection(direction, x, y);
        EXPECT_EQ(x, 3);
        EXPECT_EQ(y, -7);
        const gfx::RECT offsets{-2, -10, 4, 1};
        const gfx::RECT turned = RotateRectByDirection(offsets, direction, 100, 200);
        EXPECT_EQ(UnrotateRectByDirection(turned, direction, 100, 200), offsets) << int(direction);
    }
    const std::tuple<uint8_t, int32_t, int32_t> offsets[] = {{0, 12, 23}, {1, 8, 17}, {2, 7, 22}, {3, 13, 18}};
    for (const auto& [direction, x, y] : offsets) {
        int32_t px = 10, py = 20;
        OffsetByDirection(direction, px, py, 2, 3);
        EXPECT_EQ(px, x) << int(direction);
        EXPECT_EQ(py, y) << int(direction);
    }
    EXPECT_EQ(RotateRectByDirection({-2, -10, 4, 1}, 1, 0, 0), (gfx::RECT{-4, -1, 2, 10}));
    EXPECT_EQ(RotateRectByDirection({-2, -10, 4, 1}, 2, 0, 0), (gfx::RECT{-1, -2, 10, 4}));
    EXPECT_EQ(RotateRectByDirection({-2, -10, 4, 1}, 3, 0, 0), (gfx::RECT{-10, -4, 1, 2}));

    gfx::RECT rect{0, 0, 100, 100};
    InsetRectByDirection({1, 2, -3, -4}, 2, rect);
    EXPECT_EQ(rect, (gfx::RECT{4, 1, 98, 97}));
}

} // namespace
