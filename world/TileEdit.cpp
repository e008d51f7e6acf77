// The rectangle fill and the tile block copy of the tile store.
#include "world/TileStore.h"

#include "app/Log.h"

#include <algorithm>
#include <cstring>

void TileStore::SetPixel(uint8_t material, bool writeColour, uint32_t colour, int x0, int y0, int x1, int y1)
{
    if (width_ <= 0 || height_ <= 0)
        return;
    x0 = std::clamp(x0, 0, width_ - 1);
    x1 = std::clamp(x1, 0, width_ - 1);
    y0 = std::clamp(y0, 0, height_ - 1);
    y1 = std::clamp(y1, 0, height_ - 1);
    if (x0 > x1 || y0 > y1)
        return;
    for (int tx = x0 >> kTileShift; tx <= x1 >> kTileShift; ++tx) {
        const int px0 = std::max(x0, tx << kTileShift), px1 = std::min(x1, (tx << kTileShift) + kTileMask);
        for (int ty = y0 >> kTileShift; ty <= y1 >> kTileShift; ++ty) {
            const int py0 = std::max(y0, ty << kTileShift), py1 = std::min(y1, (ty << kTileShift) + kTileMask);
            FillPiece(tx, ty, material, writeColour, colour, px0, py0, px1, py1);
        }
    }
}

void TileStore::FillPiece(int column, int row, uint8_t material, bool writeColour, uint32_t colour, int x0, int y0,
                          int x1, int y1)
{
    Tile& tile = tiles_[TileSlot(column, row)];
    if (!tile.material && material != 0 && !MakeTerrain(tile))
        return;
    if (writeColour) {
        if (!tile.front) {
            WriteLog("Could not Lock front surface for Lancscaoe::SetPixel! %d %d\n", column, row);
        } else {
            for (int y = y0; y <= y1; ++y)
                std::fill_n(tile.front.get() + ColourIndex(x0, y), x1 - x0 + 1, colour);
        }
    }
    if (tile.material)
        for (int x = x0; x <= x1; ++x)
            std::memset(tile.material.get() + MaterialIndex(x, y0), material, size_t(y1 - y0 + 1));
    ++tile.revision;
    OnTerrainChanged(x0, y0, x1 + 1, y1 + 1);
}

void TileStore::PlotPixel(uint8_t material, uint32_t colour, int x, int y)
{
    SetPixel(material, true, colour, x, y, x, y);
}

void TileStore::CopyTile(int from, int to)
{
    if (from == to)
        return;
    Tile& source = tiles_[from];
    Tile& dest = tiles_[to];
    if (source.material) {
        if (!MakeTerrain(dest))
            return;
        std::memcpy(dest.material.get(), source.material.get(), kTilePixels);
        std::copy_n(source.front.get(), kTilePixels, dest.front.get());
    }
    if (source.back && MakeBack(dest))
        std::copy_n(source.back.get(), kTilePixels, dest.back.get());
    ++dest.revision;
}

void TileStore::CopyTiles(int left, int top, int right, int bottom, int destX, int destY)
{
    // Tile units, as the division truncates.
    const int64_t sx0 = left / kTileSize, sy0 = top / kTileSize;
    const int64_t sx1 = right / kTileSize, sy1 = bottom / kTileSize;
    const int64_t offsetX = int64_t(destX / kTileSize) - sx0;
    const int64_t offsetY = int64_t(destY / kTileSize) - sy0;
    const int64_t columns = std::min<int64_t>(tileColumns_, kMaxTilesPerAxis);
    const int64_t rows = std::min<int64_t>(tileRows_, kMaxTilesPerAxis);
    const int64_t firstX = std::max<int64_t>(sx0, 0), lastX = std::min<int64_t>(sx1, columns - 1);
    const int64_t firstY = std::max<int64_t>(sy0, 0), lastY = std::min<int64_t>(sy1, rows - 1);
    if (firstX > lastX || firstY > lastY)
        return;
    // Walk away from the destination so that a tile is read before the copy overwrites it.
    const bool backwardX = offsetX > 0, backwardY = offsetY > 0;
    for (int64_t i = 0; i <= lastX - firstX; ++i) {
        const int64_t sx = backwardX ? lastX - i : firstX + i;
        const int64_t dx = sx + offsetX;
        for (int64_t j = 0; j <= lastY - firstY; ++j) {
            const int64_t sy = backwardY ? lastY - j : firstY + j;
            const int64_t dy = sy + offsetY;
            if (dx < 0 || dy < 0 || dx >= columns || dy >= rows)
                continue;
            CopyTile(TileSlot(int(sx), int(sy)), TileSlot(int(dx), int(dy)));
        }
    }
}
