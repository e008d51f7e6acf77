#include "world/TileQuads.h"

void BuildTileQuads(TileVertex* out, int columns, int rows, float stepX, float stepY, float originX, float originY,
                    float uExtent, float vExtent)
{
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const float left = originX + static_cast<float>(c) * stepX;
            const float right = originX + static_cast<float>(c + 1) * stepX;
            const float top = originY + static_cast<float>(r) * stepY;
            const float bottom = originY + static_cast<float>(r + 1) * stepY;
            const TileVertex corners[kVerticesPerTile] = {
                {left, top, 0.0f, 0xFFFFFFFFu, 0.0f, 0.0f},          {right, top, 0.0f, 0xFFFFFFFFu, uExtent, 0.0f},
                {left, bottom, 0.0f, 0xFFFFFFFFu, 0.0f, vExtent},    {right, bottom, 0.0f, 0xFFFFFFFFu, uExtent, vExtent},
                {left, bottom, 0.0f, 0xFFFFFFFFu, 0.0f, vExtent},    {right, top, 0.0f, 0xFFFFFFFFu, uExtent, 0.0f},
            };
            for (const TileVertex& v : corners)
                *out++ = v;
        }
    }
}
