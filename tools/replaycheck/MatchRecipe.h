#pragma once
// The fixed match landscape of the replay check and the world benchmark: 2048 x 1024
// pixels of dirt hills over a rock bed, ledges, a steel block, a brick stair, a pool and
// one-way walls; and stand-in brushes while the landscape supplies none.
#include "world/Landscape.h"

#include <algorithm>
#include <cstdint>

namespace recipe {

constexpr int kWidth = 2048, kHeight = 1024;

inline void Fill(Landscape& land, int material, int x0, int y0, int x1, int y1)
{
    land.SetPixel(uint8_t(material), true, MaterialColour(material), x0, y0, x1, y1);
}

// A triangle wave: 0 .. amplitude .. 0 over the period.
inline int Wave(int x, int period, int amplitude)
{
    const int at = x % period;
    const int half = period / 2;
    return (at < half ? at : period - at) * amplitude / half;
}

// The top row of the hills at x.
inline int HillTop(int x)
{
    return 760 + Wave(x, 512, 120) - Wave(x + 90, 96, 24);
}

inline void BuildLandscape(Landscape& land)
{
    land.Clear();
    land.Create(kWidth, kHeight);
    land.edgeModes = {TileStore::kEdgeOpen, TileStore::kEdgeOpen, TileStore::kEdgeWrap, TileStore::kEdgeWrap};
    // Hills of dirt over a rock bed.
    for (int x = 0; x < kWidth; ++x) {
        Fill(land, 1, x, HillTop(x), x, 979);
    }
    Fill(land, 2, 0, 980, kWidth - 1, kHeight - 1);
    // Ledges at several heights, some of rock, a steel block, a brick stair, a pool, one-way walls.
    for (int i = 0; i < 12; ++i) {
        const int x = 80 + i * 165, y = 380 + (i * 137) % 300;
        Fill(land, i % 4 == 3 ? 2 : 1, x, y, x + 110, y + 14);
    }
    Fill(land, 3, 1000, 600, 1030, 760);
    for (int step = 0; step < 10; ++step)
        Fill(land, 7, 1300 + step * 6, 740 - step * 3, 1305 + step * 6, 760);
    Fill(land, 4, 1500, 700, 1580, 740);
    Fill(land, 8, 600, 690, 603, 760);
    Fill(land, 9, 1800, 650, 1803, 760);
}

// Stand-in brushes while the landscape supplies none (the stamping code makes the real
// ones): blocks of the flimbs' sizes, the same in every direction.
inline void InstallStandInBrushes(Landscape& land)
{
    if (land.BrushMask(13, 1, 0, 0))
        return;
    struct Brush {
        int mask, width, height;
    };
    const Brush brushes[] = {{2, 6, 20}, {3, 16, 8}, {12, 40, 40}, {13, 14, 40}, {14, 18, 18}, {15, 18, 18}};
    for (int size = 0; size < 4; ++size) {
        const float scale = kBrushScales[size];
        for (const Brush& b : brushes)
            for (int direction = 0; direction < 4; ++direction)
                for (int flip = 0; flip < 2; ++flip) {
                    const int w = std::max(1, int(b.width * scale)), h = std::max(1, int(b.height * scale));
                    BashMaskPtr mask = direction >= 2 ? AllocateBashMask(h, w) : AllocateBashMask(w, h);
                    for (int y = 0; y < mask->height; ++y)
                        for (int x = 0; x < mask->width; ++x)
                            mask->Row(y)[x] = 0xFFFFFFFFu;
                    land.SetPredefinedMask(b.mask, size, direction, flip, std::move(mask));
                }
        for (int group = 0; group < 8; ++group)
            for (int direction = 0; direction < 4; ++direction)
                for (int flip = 0; flip < 2; ++flip) {
                    const int w = std::max(1, int(8 * scale)), h = std::max(1, int(2 * scale));
                    BashMaskPtr mask = direction >= 2 ? AllocateBashMask(h, w) : AllocateBashMask(w, h);
                    for (int y = 0; y < mask->height; ++y)
                        for (int x = 0; x < mask->width; ++x)
                            mask->Row(y)[x] = 0xFF808080u;
                    land.SetPredefinedMask(4 + group, size, direction, flip, std::move(mask));
                }
    }
}

} // namespace recipe
