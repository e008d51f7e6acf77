#pragma once
// The shared world fixture: a landscape drawn as ASCII art on the real Landscape.
//
// Map syntax: one string per row of pixels, one character per pixel:
//   '.'         empty (material 0)
//   '1' .. '9'  materials 1-9
//   'a' .. 'v'  materials 10-31 ('a' = 10, 'h' = 17)
//   '#'         material 2 (rock); ReadAscii shows material 2 as '#'
// Every other character is refused by the fixture (a test failure). Each pixel gets
// AsciiColour(material), so a test can follow colours as well as materials.
//
// Later world tests extend the fixture (placed flimbs, N updates, the state hash); keep
// additions small and document them here.
#include "world/Landscape.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using AsciiMap = std::vector<std::string>;

// The material of a map character; -1 for a character the syntax does not know.
int AsciiMaterial(char c);
// The character of a material ('?' for materials the syntax cannot show).
char AsciiChar(int material);
// The colour the fixture paints a material with: opaque, the material in the red channel.
uint32_t AsciiColour(int material);

// Paints the map with its top-left pixel at (x, y); '.' clears. Returns false for an unknown
// character (nothing after it is painted).
bool PaintAscii(TileStore& land, int x, int y, const AsciiMap& rows);
// The materials of the rectangle as map rows.
AsciiMap ReadAscii(const TileStore& land, int x, int y, int width, int height);

// Edge modes in the store's order: top, bottom, left, right.
struct EdgeModes {
    int32_t top = TileStore::kEdgeOpen;
    int32_t bottom = TileStore::kEdgeOpen;
    int32_t left = TileStore::kEdgeOpen;
    int32_t right = TileStore::kEdgeOpen;
};

// A landscape of the map's size (or the given larger size), the map painted at (0, 0).
std::unique_ptr<Landscape> MakeAsciiLandscape(const AsciiMap& rows, EdgeModes edges = {}, int width = 0,
                                              int height = 0);

class WorldFixture : public ::testing::Test {
protected:
    // Replaces `land` by a landscape made from the map.
    void LoadMap(const AsciiMap& rows, EdgeModes edges = {}, int width = 0, int height = 0)
    {
        land = MakeAsciiLandscape(rows, edges, width, height);
        ASSERT_TRUE(land) << "the map could not be made";
    }
    // The whole landscape as map rows.
    AsciiMap Map() const { return ReadAscii(*land, 0, 0, land->Width(), land->Height()); }

    std::unique_ptr<Landscape> land;
};
