// The flimbs with the game's own brushes (Graphics\Masks\): the brushes keep their shape in a
// flimb's own frame under every gravity, and the Nova crater, the Mold's bricks and the Clob
// tunnel are pinned by checksums of the terrain they leave.
#include "app/Random.h"
#include "modes/MatchOptions.h"
#include "tests/support/FlimbFixture.h"
#include "world/FlimbFrame.h"

#include <gtest/gtest.h>

namespace {

class FlimbGoldenTest : public FlimbFixture {
protected:
    void SetUp() override
    {
        FlimbFixture::SetUp();
        ResetMatchOptions();
        SimSrand(1);
    }
    Flimb* Ordered(int x, int y, uint8_t type, uint8_t group = 0)
    {
        Flimb* flimb = Place(x, y, kWalk, group);
        flimb->SetType(type, true);
        return flimb;
    }
    static int Count(const AsciiMap& map, char c)
    {
        int count = 0;
        for (const std::string& row : map)
            count += int(std::count(row.begin(), row.end(), c));
        return count;
    }
};

TEST_F(FlimbGoldenTest, TheGamesBrushesKeepTheirShapeInTheFlimbsOwnFrame)
{
    LoadMap({}, {}, 256, 256);
    for (const int brush : {2, 3, 4, 9, 12, 13, 14, 15}) {
        for (const int size : {0, 1, 2}) {
            for (const bool flip : {false, true}) {
                Flimb* upright = Place(100, 100, kWalk, 0, 0);
                int width = 0, height = 0;
                flimbs::BrushFrameSize(*upright, brush, flip, width, height, size);
                ASSERT_GT(width, 0) << "brush " << brush;
                for (uint8_t gravity = 1; gravity < 4; ++gravity) {
                    Flimb* turned = Place(100, 100, kWalk, 0, gravity);
                    int differ = 0;
                    for (int row = 0; row < height; ++row)
                        for (int column = 0; column < width; ++column)
                            differ += flimbs::BrushSolidAt(*turned, brush, flip, column, row, size) !=
                                      flimbs::BrushSolidAt(*upright, brush, flip, column, row, size);
                    EXPECT_EQ(differ, 0) << "brush " << brush << " size " << size << " flip " << flip << " gravity "
                                         << int(gravity);
                }
            }
        }
    }
}

TEST_F(FlimbGoldenTest, NovaCrater)
{
    LoadMap({}, {}, 256, 160);
    Fill(1, 0, 60, 255, 159);
    Flimb* flimb = Ordered(128, 100, kNova); // buried to the waist in dirt
    const int gone = RunUntil(20, [&] { return !flimb->InWorld(); });
    EXPECT_EQ(gone, 14);
    const AsciiMap map = Map();
    EXPECT_EQ(Count(map, '.'), 256 * 60 + 4308) << "the crater's pixels";
    EXPECT_EQ(map[84].substr(84, 4), "1111");
    EXPECT_EQ(map[84].substr(88, 80), std::string(80, '.')) << "round, about the flimb's body";
    EXPECT_EQ(map[84].substr(168, 4), "1111");
    EXPECT_EQ(map[100].substr(120, 16), std::string(16, '.')) << "deep under the feet";
    EXPECT_EQ(Land().ComputeChecksum(), 512812) << "crater checksum";
}

TEST_F(FlimbGoldenTest, MoldBricks)
{
    LoadMap({}, {}, 320, 160);
    Fill(2, 0, 140, 319, 159);
    Flimb* flimb = Ordered(60, 140, kMold, 2);
    const int walked = RunUntil(400, [&] { return flimb->type == kWalk; });
    ASSERT_LE(walked, 400);
    const AsciiMap map = Map();
    EXPECT_EQ(Count(map, '7'), 1872) << "13 bricks of 24 x 6";
    EXPECT_EQ(Land().ComputeChecksum(), 640304) << "stair checksum";
    EXPECT_EQ(flimb->x, 60 + 13 * 12) << "half a brick on for every brick";
    EXPECT_EQ(flimb->y, 140 - 13 * 6) << "a brick higher for every brick";
    // The last three bricks are darker, step by step.
    const auto brightness = [&](int brick) {
        const uint32_t c = Land().GetPixelColour(60 + 12 * brick + 6, 140 - 6 * (brick + 1) + 3);
        return int((c >> 16) & 0xFF) + int((c >> 8) & 0xFF) + int(c & 0xFF);
    };
    for (int brick = 1; brick < 10; ++brick)
        EXPECT_EQ(brightness(brick), brightness(0)) << "brick " << brick + 1;
    EXPECT_LT(brightness(10), brightness(0));
    EXPECT_LT(brightness(11), brightness(10));
    EXPECT_LT(brightness(12), brightness(11));
}

TEST_F(FlimbGoldenTest, ClobTunnel)
{
    LoadMap({}, {}, 320, 160);
    Fill(2, 0, 140, 319, 159);
    Fill(1, 90, 60, 239, 139);
    Fill(2, 240, 60, 260, 139);
    Flimb* flimb = Ordered(70, 140, kClob);
    const int stopped = RunUntil(300, [&] { return flimb->type != kClob; });
    ASSERT_LE(stopped, 300);
    EXPECT_EQ(flimb->type, kWalk);
    EXPECT_EQ(stopped, 155);
    const AsciiMap map = Map();
    EXPECT_EQ(Count(map, '1'), 4296) << "dirt left";
    EXPECT_EQ(Count(map, '#'), 320 * 20 + 21 * 80) << "the rock is whole";
    EXPECT_EQ(map[120].substr(80, 160), std::string(160, '.')) << "the tunnel runs up to the rock";
    EXPECT_EQ(Land().ComputeChecksum(), 757736) << "tunnel checksum";
}

} // namespace
