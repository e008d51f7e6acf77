// Loose terrain under gravity, on ASCII maps: '1' and '5' are loose, '#' (2) is not.
#include "../support/WorldFixture.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class Gravity : public WorldFixture {
protected:
    void ApplyToAll(int direction, bool stepMode)
    {
        land->ApplyGravity(direction, stepMode, false, 0, 0, land->Width() - 1, land->Height() - 1);
    }
};

} // namespace

TEST_F(Gravity, StepModeMovesEveryLoosePixelOnePixel)
{
    const struct {
        int direction;
        AsciiMap before, after;
    } cases[] = {
        {0, {".1.5", ".1..", "#...", "...."}, {"....", ".1.5", "#1..", "...."}},
        {1, {"....", "#1..", ".1.5", "...."}, {".1..", "#1.5", "....", "...."}},
        {2, {"....", "..11", "..#5", "...."}, {"....", ".11.", "..#5", "...."}},
        {3, {"....", "11..", "5#..", "...."}, {"....", ".11.", "5#..", "...."}},
        // Terrain that is not loose stays; loose terrain rests on it.
        {0, {"1#5", "#.#", "..."}, {"1#5", "#.#", "..."}},
    };
    for (const auto& c : cases) {
        LoadMap(c.before);
        ApplyToAll(c.direction, true);
        EXPECT_EQ(Map(), c.after) << "direction " << c.direction;
    }
}

TEST_F(Gravity, ColoursTravelWithTheirPixels)
{
    LoadMap({"5.", ".."});
    ApplyToAll(0, true);
    EXPECT_EQ(land->FrontColours(0)[ColourIndex(0, 1)], AsciiColour(5));
    EXPECT_EQ(land->FrontColours(0)[ColourIndex(0, 0)], 0u);
    // Near the side edges as well (GetPixelColour's margin does not apply).
    LoadMap({"...1", "...."});
    ApplyToAll(0, true);
    EXPECT_EQ(land->FrontColours(0)[ColourIndex(3, 1)], AsciiColour(1));
}

TEST_F(Gravity, TheLastLineDecidesByTheEdgeMode)
{
    const struct {
        EdgeModes edges;
        AsciiMap after;
    } cases[] = {
        {{0, TileStore::kEdgeOpen, 0, 0}, {"..", "..", "1."}},  // open: the bottom pixel vanishes
        {{0, TileStore::kEdgeWall, 0, 0}, {"..", "1.", "1."}},  // wall: it stays
        {{0, TileStore::kEdgeWrap, 0, 0}, {"..", "..", "1."}},  // wrap onto an empty top: vanishes
    };
    for (const auto& c : cases) {
        LoadMap({"..", "1.", "1."}, c.edges);
        ApplyToAll(0, true);
        EXPECT_EQ(Map(), c.after);
    }
}

TEST_F(Gravity, InstantModeDropsColumnsOntoWhatHoldsThem)
{
    LoadMap({
        ".1.5",
        ".#1.",
        "..11",
        "....",
        "...#",
    });
    ApplyToAll(0, false);
    EXPECT_EQ(Map(), (AsciiMap{
                         ".1..", // column 1: '#' holds the '1' above it
                         ".#..", // column 2: the empty bottom row lets everything fall out
                         "...5",
                         "...1", // column 3: piled on the '#' in order
                         "...#",
                     }));
    EXPECT_EQ(land->FrontColours(0)[ColourIndex(3, 2)], AsciiColour(5));
}

TEST_F(Gravity, InstantModeWithinAPartOfTheMap)
{
    LoadMap({
        "1111",
        "....",
        "....",
        "####",
    });
    land->ApplyGravity(0, false, false, 1, 0, 2, 2); // the rectangle's bottom row is row 2
    EXPECT_EQ(Map(), (AsciiMap{"1..1", "....", "....", "####"}));
    LoadMap({"1111", "....", "....", "####"});
    land->ApplyGravity(0, false, false, 1, 0, 2, 3); // row 3 holds: they land on row 2
    EXPECT_EQ(Map(), (AsciiMap{"1..1", "....", ".11.", "####"}));
}

TEST_F(Gravity, CircleMovesOnlyTheEllipse)
{
    LoadMap({"11111", "11111", "11111", "11111", "11111", "....."}, {0, TileStore::kEdgeWall, 0, 0});
    land->ApplyGravity(0, true, true, 0, 0, 4, 4);
    // The corners lie outside the inscribed ellipse and stay.
    EXPECT_EQ(Map(), (AsciiMap{"1...1", "11111", "11111", "11111", "11111", ".111."}));
}

TEST_F(Gravity, BadArgumentsChangeNothing)
{
    const AsciiMap map = {".1.", "...", "..."};
    LoadMap(map);
    for (int direction : {-1, 4, INT_MAX})
        land->ApplyGravity(direction, true, false, 0, 0, 2, 2);
    land->ApplyGravity(0, true, false, 2, 2, 0, 0);
    land->ApplyGravity(0, false, false, 100, 100, 200, 200);
    EXPECT_EQ(Map(), map);
    land->ApplyGravity(0, true, true, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    land->ApplyGravity(0, false, true, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
}
