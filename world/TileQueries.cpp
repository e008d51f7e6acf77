// The solidity queries, pixel colours and checksums of the tile store.
#include "world/TileStore.h"

#include "app/Log.h"
#include "app/SimMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr int32_t kProbeStepLimit = 1 << 17;

bool IsWall(int32_t mode) { return mode == TileStore::kEdgeWall; }
bool IsOpen(int32_t mode) { return mode == TileStore::kEdgeOpen; }

// The bytes of a map added as the checksum adds them: 16,384 bytes plus 122,880.
uint32_t TileSum(const uint8_t* map)
{
    // Sixteen-bit lanes of eight-byte words; 128 words at most before a lane could overflow.
    constexpr uint64_t kLanes = 0x00FF00FF00FF00FFull;
    uint32_t sum = 0;
    for (int block = 0; block < kTilePixels; block += 1024) {
        uint64_t lanes = 0;
        for (int i = 0; i < 1024; i += 8) {
            uint64_t word = 0;
            std::memcpy(&word, map + block + i, 8);
            lanes += (word & kLanes) + ((word >> 8) & kLanes);
        }
        sum += uint32_t(lanes & 0xFFFF) + uint32_t((lanes >> 16) & 0xFFFF) + uint32_t((lanes >> 32) & 0xFFFF) +
               uint32_t(lanes >> 48);
    }
    // Byte i of every group of 16 adds i: 1,024 groups x (0 + 1 + ... + 15).
    return sum + 122880u;
}

} // namespace

bool TileStore::MayHoldTerrain(int x0, int y0, int x1, int y1) const
{
    if (x0 < 0 || y0 < 0 || x1 >= width_ || y1 >= height_ || x1 < x0 || y1 < y0)
        return true;
    for (int column = x0 >> kTileShift; column <= (x1 >> kTileShift); ++column)
        for (int row = y0 >> kTileShift; row <= (y1 >> kTileShift); ++row)
            if (tiles_[TileSlot(column, row)].material)
                return true;
    return false;
}

uint8_t TileStore::HitTestPoint(int x, int y) const
{
    const int w = width_, h = height_;
    if (x < 0) {
        if (IsWall(edgeModes[kEdgeLeft]))
            return 2;
        if (IsOpen(edgeModes[kEdgeLeft]))
            return 0;
        x += w;
    } else if (x > w - 1) {
        if (IsWall(edgeModes[kEdgeRight]))
            return 2;
        if (IsOpen(edgeModes[kEdgeRight]))
            return 0;
        x -= w;
    }
    if (y < 0) {
        if (IsWall(edgeModes[kEdgeTop]))
            return 2;
        if (IsOpen(edgeModes[kEdgeTop]))
            return 0;
        y += h;
    } else if (y > h - 1) {
        if (IsWall(edgeModes[kEdgeBottom]))
            return 2;
        if (IsOpen(edgeModes[kEdgeBottom]))
            return 0;
        y -= h;
    }
    // One wrap per axis: a point that is still outside reads as empty.
    if (x < 0 || y < 0 || x >= w || y >= h)
        return 0;
    return MaterialAt(x, y);
}

bool TileStore::ScanRect(bool findEmpty, bool findAny, int x0, int y0, int x1, int y1) const
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width_ - 1);
    y1 = std::min(y1, height_ - 1);
    if (x0 > x1 || y0 > y1)
        return false;
    for (int tx = x0 >> kTileShift; tx <= x1 >> kTileShift; ++tx) {
        const int xs = std::max(x0, tx << kTileShift), xe = std::min(x1, (tx << kTileShift) + kTileMask);
        for (int ty = y0 >> kTileShift; ty <= y1 >> kTileShift; ++ty) {
            const uint8_t* map = tiles_[TileSlot(tx, ty)].material.get();
            if (!map)
                continue;
            const int ys = std::max(y0, ty << kTileShift) & kTileMask;
            const int ye = std::min(y1, (ty << kTileShift) + kTileMask) & kTileMask;
            for (int x = xs; x <= xe; ++x) {
                const uint8_t* column = map + (x & kTileMask) * kTileSize;
                for (int y = ys; y <= ye; ++y) {
                    const uint8_t m = column[y];
                    if (findEmpty ? m == 0 : findAny ? m != 0 : (m != 0 && m != 7 && m != 17))
                        return true;
                }
            }
        }
    }
    return false;
}

bool TileStore::HitTestRect(bool findEmpty, bool findAny, int x0, int y0, int x1, int y1) const
{
    const int w = width_, h = height_;
    bool leftDone = false;
    if (x1 > w - 1) {
        const int32_t mode = edgeModes[kEdgeRight];
        if (IsWall(mode))
            return true;
        if (IsOpen(mode)) {
            x1 = w - 1;
        } else {
            if (HitTestRect(findEmpty, findAny, x0, y0, w - 1, y1))
                return true;
            x0 = 0;
            x1 -= w;
            leftDone = true;
        }
    }
    if (!leftDone && x0 < 0) {
        const int32_t mode = edgeModes[kEdgeLeft];
        if (IsWall(mode))
            return true;
        if (IsOpen(mode)) {
            x0 = 0;
        } else {
            if (HitTestRect(findEmpty, findAny, 0, y0, x1, y1))
                return true;
            x0 += w;
            x1 = w - 1;
        }
    }
    bool topDone = false;
    if (y1 > h - 1) {
        const int32_t mode = edgeModes[kEdgeBottom];
        if (IsWall(mode))
            return true;
        if (IsOpen(mode)) {
            y1 = h - 1;
        } else {
            if (HitTestRect(findEmpty, findAny, x0, y0, x1, h - 1))
                return true;
            y0 = 0;
            y1 -= h;
            topDone = true;
        }
    }
    if (!topDone && y0 < 0) {
        const int32_t mode = edgeModes[kEdgeTop];
        if (IsWall(mode))
            return true;
        if (IsOpen(mode)) {
            y0 = 0;
        } else {
            if (HitTestRect(findEmpty, findAny, x0, 0, x1, y1))
                return true;
            y0 += h;
            y1 = h - 1;
        }
    }
    return ScanRect(findEmpty, findAny, x0, y0, x1, y1);
}

int64_t TileStore::CountRect(int x0, int y0, int x1, int y1) const
{
    const int w = width_, h = height_;
    int64_t count = 0;
    bool leftDone = false;
    if (x1 > w - 1) {
        const int32_t mode = edgeModes[kEdgeRight];
        if (IsWall(mode))
            return 1;
        if (IsOpen(mode)) {
            x1 = w - 1;
        } else {
            count += CountRect(x0, y0, w - 1, y1);
            x0 = 0;
            x1 -= w;
            leftDone = true;
        }
    }
    if (!leftDone && x0 < 0) {
        const int32_t mode = edgeModes[kEdgeLeft];
        if (IsWall(mode))
            return 1;
        if (IsOpen(mode)) {
            x0 = 0;
        } else {
            count += CountRect(0, y0, x1, y1);
            x0 += w;
            x1 = w - 1;
        }
    }
    bool topDone = false;
    if (y1 > h - 1) {
        const int32_t mode = edgeModes[kEdgeBottom];
        if (IsWall(mode))
            return 1;
        if (IsOpen(mode)) {
            y1 = h - 1;
        } else {
            count += CountRect(x0, y0, x1, h - 1);
            y0 = 0;
            y1 -= h;
            topDone = true;
        }
    }
    if (!topDone && y0 < 0) {
        const int32_t mode = edgeModes[kEdgeTop];
        if (IsWall(mode))
            return 1;
        if (IsOpen(mode)) {
            y0 = 0;
        } else {
            count += CountRect(x0, 0, x1, y1);
            y0 += h;
            y1 = h - 1;
        }
    }
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, w - 1);
    y1 = std::min(y1, h - 1);
    if (x0 > x1 || y0 > y1)
        return count;
    for (int tx = x0 >> kTileShift; tx <= x1 >> kTileShift; ++tx) {
        const int xs = std::max(x0, tx << kTileShift), xe = std::min(x1, (tx << kTileShift) + kTileMask);
        for (int ty = y0 >> kTileShift; ty <= y1 >> kTileShift; ++ty) {
            const uint8_t* map = tiles_[TileSlot(tx, ty)].material.get();
            if (!map)
                continue;
            const int ys = std::max(y0, ty << kTileShift) & kTileMask;
            const int ye = std::min(y1, (ty << kTileShift) + kTileMask) & kTileMask;
            for (int x = xs; x <= xe; ++x) {
                const uint8_t* column = map + (x & kTileMask) * kTileSize;
                for (int y = ys; y <= ye; ++y)
                    count += column[y] != 0 ? 1 : 0;
            }
        }
    }
    return count;
}

int32_t TileStore::CountSolidPixels(int x0, int y0, int x1, int y1) const
{
    const int64_t count = CountRect(x0, y0, x1, y1);
    return static_cast<int32_t>(std::min<int64_t>(count, std::numeric_limits<int32_t>::max()));
}

int32_t TileStore::ProbeSolid(int x0, int y0, int x1, int y1) const
{
    const float dx = static_cast<float>(int64_t(x1) - x0);
    const float dy = static_cast<float>(int64_t(y1) - y0);
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length >= 1.0f))
        return 0;
    const int32_t steps = std::min(RoundToInt(length), kProbeStepLimit);
    const float sx = dx / length, sy = dy / length;
    float fx = static_cast<float>(x0), fy = static_cast<float>(y0);
    int lastX = x0, lastY = y0;
    int32_t hits = 0;
    for (int32_t i = 0; i < steps; ++i) {
        fx += sx;
        fy += sy;
        const int px = RoundToInt(fx), py = RoundToInt(fy);
        if (px == lastX && py == lastY)
            continue;
        lastX = px;
        lastY = py;
        if (HitTestPoint(px, py) != 0)
            ++hits;
    }
    return hits;
}

uint32_t TileStore::GetPixelColour(int x, int y) const
{
    if (!(x > 2 && x < width_ - 2 && y >= 0 && y < height_))
        return 0;
    return FrontAt(x, y);
}

int32_t TileStore::TestPixelColour(int x, int y) const
{
    if (!(x > 2 && x < width_ - 2 && y >= 0 && y < height_))
        return -1;
    return FrontAt(x, y) != 0 ? 1 : 0;
}

int32_t TileStore::ComputeChecksum(const PixelRect* rect) const
{
    int left = 0, top = 0, right = width_ - 1, bottom = height_ - 1;
    if (rect) {
        left = std::max(rect->left, 0);
        top = std::max(rect->top, 0);
        right = std::min(rect->right, width_ - 1);
        bottom = std::min(rect->bottom, height_ - 1);
    }
    uint32_t sum = 0;
    if (left > right || top > bottom)
        return 0;
    for (int tx = left >> kTileShift; tx <= right >> kTileShift; ++tx) {
        for (int ty = top >> kTileShift; ty <= bottom >> kTileShift; ++ty) {
            const uint8_t* map = tiles_[TileSlot(tx, ty)].material.get();
            if (map)
                sum += TileSum(map);
        }
    }
    return static_cast<int32_t>(sum);
}

int32_t TileStore::Checksum(const PixelRect* rect) const
{
    const int32_t sum = ComputeChecksum(rect);
    WriteLog("CheckSum %d\n", sum);
    return sum;
}

void TileStore::LogBlockChecksums() const
{
    int index = 0;
    ForTouchedSlots([&](int slot) {
        if (!tiles_[slot].material)
            return;
        const int column = slot / kMaxTilesPerAxis, row = slot % kMaxTilesPerAxis;
        WriteLog("Block %d (%d,%d) ", index++, column, row);
        const PixelRect tile{column << kTileShift, row << kTileShift, (column << kTileShift) + kTileMask,
                             (row << kTileShift) + kTileMask};
        Checksum(&tile);
    });
}
