// Solidity queries, pixel colours and checksums of the terrain.
#include "../support/LogCapture.h"
#include "../support/WorldFixture.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr int32_t kOpen = TileStore::kEdgeOpen;
constexpr int32_t kWall = TileStore::kEdgeWall;
constexpr int32_t kWrap = TileStore::kEdgeWrap;

// 16 x 8: material 4 at the left end of row 5, 3 at its right end, 6 at the top and bottom
// of column 2.
const AsciiMap kStrip = {
    "..6.............", "................", "................", "................",
    "................", "4..............3", "................", "..9.............",
};

class TileQueries : public WorldFixture {};

} // namespace

TEST_F(TileQueries, HitTestPointEdgesAndOneWrap)
{
    const struct {
        EdgeModes edges;
        int x, y;
        int expected;
    } cases[] = {
        {{kOpen, kOpen, kWrap, kOpen}, -1, 5, 3},  // left wraps to (width - 1, 5)
        {{kOpen, kOpen, kOpen, kOpen}, -1, 5, 0},  // left open
        {{kOpen, kOpen, kWall, kOpen}, -1, 5, 2},  // left wall
        {{kOpen, kOpen, 7, kOpen}, -1, 5, 3},      // any other value wraps too
        {{kOpen, kOpen, kOpen, kWrap}, 16, 5, 4},  // right wraps to (0, 5)
        {{kOpen, kOpen, kOpen, kWall}, 16, 5, 2},
        {{kWrap, kOpen, kOpen, kOpen}, 2, -1, 9},  // top wraps to the bottom row
        {{kOpen, kWrap, kOpen, kOpen}, 2, 8, 6},   // bottom wraps to the top row
        {{kOpen, kWall, kOpen, kOpen}, 2, 8, 2},
        {{kOpen, kOpen, kWrap, kWrap}, -17, 5, 0}, // two widths out: still outside after one wrap
        {{kOpen, kOpen, kWrap, kWrap}, 32, 5, 0},
        {{kWrap, kWrap, kOpen, kOpen}, 2, -9, 0},
        {{kWrap, kWrap, kWrap, kWrap}, INT_MIN, INT_MAX, 0},
        {{kOpen, kOpen, kOpen, kOpen}, 0, 5, 4},   // inside
        {{kOpen, kOpen, kOpen, kOpen}, 5, 5, 0},
    };
    for (const auto& c : cases) {
        LoadMap(kStrip, c.edges);
        EXPECT_EQ(land->HitTestPoint(c.x, c.y), c.expected) << c.x << "," << c.y;
    }
}

TEST_F(TileQueries, HitTestPointOfATileWithoutTerrainIsEmpty)
{
    LoadMap({"1"}, {}, 300, 300);
    EXPECT_EQ(land->HitTestPoint(0, 0), 1);
    EXPECT_EQ(land->HitTestPoint(200, 200), 0);
    EXPECT_EQ(land->MaterialMap(TileSlot(1, 1)), nullptr);
}

TEST_F(TileQueries, HitTestRectFlagsAndTilesWithoutMaps)
{
    // Terrain only in tile (0, 0): materials 7 and 17 and an empty pixel; tile (1, 1) has no map.
    LoadMap({"7h."}, {}, 256, 256);
    const struct {
        bool findEmpty, findAny;
        int x0, y0, x1, y1;
        bool expected;
    } cases[] = {
        {false, false, 0, 0, 1, 0, false},        // 7 and 17 let the plain test through
        {false, true, 0, 0, 0, 0, true},          // ... but not findAny
        {false, true, 1, 0, 1, 0, true},
        {true, false, 2, 0, 2, 0, true},          // the empty pixel of a mapped tile
        {true, false, 0, 0, 1, 0, false},
        {true, false, 130, 130, 200, 200, false}, // a tile without a map: false even for findEmpty
        {true, true, 128, 0, 255, 255, false},
        {false, true, 5, 5, 2, 2, false},         // reversed rectangle
    };
    for (const auto& c : cases)
        EXPECT_EQ(land->HitTestRect(c.findEmpty, c.findAny, c.x0, c.y0, c.x1, c.y1), c.expected)
            << c.findEmpty << c.findAny << " " << c.x0 << "," << c.y0 << "-" << c.x1 << "," << c.y1;
}

TEST_F(TileQueries, HitTestRectAtTheEdges)
{
    LoadMap(kStrip, {kOpen, kOpen, kWrap, kWall});
    EXPECT_TRUE(land->HitTestRect(false, false, 10, 0, 16, 0));    // right wall
    EXPECT_TRUE(land->HitTestRect(false, false, -3, 5, -1, 5));    // left wraps onto the 3
    EXPECT_FALSE(land->HitTestRect(false, false, -3, 4, -1, 4));
    EXPECT_FALSE(land->HitTestRect(false, false, -3, 6, 1, 6));
    land->edgeModes = {kOpen, kOpen, kOpen, kWrap};
    EXPECT_TRUE(land->HitTestRect(false, false, 14, 5, 17, 5) );    // its own 3
    EXPECT_TRUE(land->HitTestRect(false, false, 16, 5, 17, 5));    // wraps onto the 4
    EXPECT_FALSE(land->HitTestRect(false, false, 16, 4, 40, 4));
    EXPECT_FALSE(land->HitTestRect(false, false, INT_MIN, 1, INT_MAX, 4));
    EXPECT_TRUE(land->HitTestRect(false, false, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
}

TEST_F(TileQueries, CountSolidPixelsAddsEveryWrappedPiece)
{
    // 256 x 256 with a 2 x 2 block in each corner.
    land = std::make_unique<Landscape>();
    ASSERT_EQ(land->Create(256, 256), TileStore::kCreated);
    for (int x : {0, 254})
        for (int y : {0, 254})
            land->SetPixel(1, true, 0xFF112233u, x, y, x + 1, y + 1);
    land->edgeModes = {kWrap, kWrap, kWrap, kWrap};
    EXPECT_EQ(land->CountSolidPixels(254, 254, 257, 257), 16); // right and bottom edges cross
    EXPECT_EQ(land->CountSolidPixels(-2, -2, 1, 1), 16);       // left and top edges cross
    EXPECT_EQ(land->CountSolidPixels(254, 0, 257, 1), 8);
    EXPECT_EQ(land->CountSolidPixels(0, 0, 255, 255), 16);
    EXPECT_EQ(land->CountSolidPixels(100, 100, 120, 120), 0);
    land->edgeModes = {kOpen, kOpen, kOpen, kOpen};
    EXPECT_EQ(land->CountSolidPixels(254, 254, 257, 257), 4);
    land->edgeModes = {kOpen, kWall, kOpen, kOpen};
    EXPECT_EQ(land->CountSolidPixels(0, 250, 10, 260), 1); // a wall answers 1 at once
    land->edgeModes = {kWrap, kWrap, kWrap, kWrap};
    EXPECT_GE(land->CountSolidPixels(INT_MIN, INT_MIN, INT_MAX, INT_MAX), 16);
}

TEST_F(TileQueries, ProbeSolidWalksTheSegment)
{
    AsciiMap rows(12, std::string(12, '.'));
    for (int i = 5; i <= 8; ++i)
        rows[i].replace(5, 4, "####");
    LoadMap(rows);
    EXPECT_EQ(land->ProbeSolid(0, 0, 10, 10), 4);  // diagonal: (5,5) (6,6) (7,7) (8,8)
    EXPECT_EQ(land->ProbeSolid(10, 10, 0, 0), 4);
    EXPECT_EQ(land->ProbeSolid(0, 6, 11, 6), 4);   // across a row
    EXPECT_EQ(land->ProbeSolid(6, 6, 6, 6), 0);    // shorter than one step
    EXPECT_EQ(land->ProbeSolid(0, 0, 3, 0), 0);
    EXPECT_GE(land->ProbeSolid(INT_MIN, INT_MIN, INT_MAX, INT_MAX), 0); // capped, bounded
}

TEST_F(TileQueries, PixelColoursInsideTheMargins)
{
    LoadMap({"1111111111", "1111111111"}, {}, 300, 2);
    const struct {
        int x, y;
        uint32_t colour;
        int test;
    } cases[] = {
        {3, 0, AsciiColour(1), 1}, {2, 0, 0, -1},    {298, 1, 0, -1}, {297, 1, 0, 0}, // margin x
        {5, -1, 0, -1},            {5, 2, 0, -1},    {200, 0, 0, 0},                  // no terrain there
    };
    for (const auto& c : cases) {
        EXPECT_EQ(land->GetPixelColour(c.x, c.y), c.colour) << c.x << "," << c.y;
        EXPECT_EQ(land->TestPixelColour(c.x, c.y), c.test) << c.x << "," << c.y;
    }
}

TEST(TileChecksum, GoldensOfTheAddingRule)
{
    Landscape land;
    ASSERT_EQ(land.Create(256, 256), TileStore::kCreated);
    EXPECT_EQ(land.Checksum(), 0);
    land.PlotPixel(1, 0xFF000000u, 0, 0);
    land.PlotPixel(0, 0, 0, 0); // a tile of zeros
    EXPECT_EQ(land.Checksum(), 122880);
    land.SetPixel(1, true, 0xFF000000u, 0, 0, 127, 127);
    EXPECT_EQ(land.Checksum(), 139264);
    land.SetPixel(1, true, 0xFF000000u, 0, 0, 255, 255);
    const struct {
        PixelRect rect;
        int32_t sum;
    } cases[] = {
        {{127, 127, 128, 128}, 4 * 139264}, // touching four tiles counts all of them
        {{0, 0, 0, 0}, 139264},
        {{200, 10, 201, 11}, 139264},
        {{-50, -50, 10, 10}, 139264},
        {{300, 300, 400, 400}, 0},
        {{10, 10, 5, 5}, 0},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 4 * 139264},
    };
    for (const auto& c : cases)
        EXPECT_EQ(land.Checksum(&c.rect), c.sum) << c.rect.left << "," << c.rect.top;
    // The byte position inside its group of 16 counts: one pixel's value moved changes the sum.
    land.PlotPixel(3, 0, 0, 0);
    EXPECT_EQ(land.Checksum(), 4 * 139264 + 2);
}

TEST(TileChecksum, FullLandscapeOfMaterial255WrapsLikeTheWireValue)
{
    Landscape land;
    ASSERT_EQ(land.Create(4096, 2048), TileStore::kCreated);
    land.SetPixel(255, false, 0, 0, 0, 4095, 2047);
    LogCapture log;
    EXPECT_EQ(land.Checksum(), -2092957696);
    EXPECT_TRUE(log.Contains("CheckSum -2092957696\n")) << log.Text();
}

TEST(TileChecksum, BlockDumpListsEveryMappedTile)
{
    Landscape land;
    ASSERT_EQ(land.Create(384, 256), TileStore::kCreated);
    land.PlotPixel(1, 0xFF000000u, 5, 5);      // tile (0, 0)
    land.PlotPixel(2, 0xFF000000u, 300, 200);  // tile (2, 1)
    LogCapture log;
    land.LogBlockChecksums();
    EXPECT_EQ(log.Text(), "Block 0 (0,0) CheckSum 122881\nBlock 1 (2,1) CheckSum 122882\n");
}
