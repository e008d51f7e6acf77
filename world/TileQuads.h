#pragma once
// The vertices of the landscape's tile quads: position, diffuse colour, one texture coordinate.
#include <cstdint>

struct TileVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(TileVertex) == 24, "the vertex buffer's stride is 24 bytes");

constexpr int kVerticesPerTile = 6;

// Two triangles per cell of a columns x rows grid, cells in row order (row 0 left to right,
// then row 1 ...): for the cell in column c, row r the corners (c, r), (c+1, r), (c, r+1),
// (c+1, r+1), (c, r+1), (c+1, r) of the step grid from the origin, uv spanning the extents;
// z 0 and colour 0xFFFFFFFF. The first vertex of a cell is (columns x r + c) x 6.
void BuildTileQuads(TileVertex* out, int columns, int rows, float stepX, float stepY, float originX, float originY,
                    float uExtent, float vExtent);
