// The 17 brush masks: their files, the masks LoadPredefinedMask builds from them at every
// size, direction and flip, and the brushes they make.
#include "../support/GameFiles.h"
#include "../support/LogCapture.h"

#include "app/Md5.h"
#include "app/StringUtil.h"
#include "media/PngFile.h"
#include "world/Landscape.h"
#include "world/PredefinedMasks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kCorner = 0xFF112233u;

// 5 x 3, no symmetry; its top-left 2 x 2 block is one colour, so every size shows that
// colour at the hot spot.
const std::vector<uint32_t> kAsymmetric = {
    kCorner,     kCorner,     0xFFA00000u, 0xFF00A000u, 0xFF0000A0u,
    kCorner,     kCorner,     0xFFA0A000u, 0xFF00A0A0u, 0xFFA000A0u,
    0xFF404040u, 0xFF808080u, 0xFFC0C0C0u, 0xFFFFFFFFu, 0x00000000u,
};
constexpr int kAsymmetricWidth = 5, kAsymmetricHeight = 3;

// What direction d and flip f show at mask pixel (x, y) of the source scaled by a whole
// factor k: the source mirrored first (flip), then turned: 1 by 180 degrees, 3 (90) taking
// its right edge to the top, 2 (270) its left edge to the top.
uint32_t Oriented(const std::vector<uint32_t>& source, int w, int h, int k, int direction, bool flip, int x, int y)
{
    const int sw = w * k, sh = h * k;
    int u = x, v = y;
    switch (direction) {
    case 1: u = sw - 1 - x, v = sh - 1 - y; break;
    case 2: u = y, v = sh - 1 - x; break;
    case 3: u = sw - 1 - y, v = x; break;
    default: break;
    }
    if (flip)
        u = sw - 1 - u;
    return source[size_t(v / k) * size_t(w) + size_t(u / k)];
}

std::string PixelDigest(int width, int height, const std::vector<uint32_t>& argb)
{
    std::string bytes = StringPrintf("%dx%d:", width, height);
    for (uint32_t p : argb)
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += char((p >> shift) & 0xFF);
    return Md5Hex(bytes);
}

} // namespace

TEST(PredefinedMasks, ShapesForEveryDirectionAndFlipAtEachBrushScale)
{
    ScopedGameFiles files(false);
    files.AddPng("Graphics\\Masks\\mask_house_prot.png", kAsymmetricWidth, kAsymmetricHeight, kAsymmetric);
    Landscape land;
    for (int size = 0; size < 4; ++size) {
        const float scale = kBrushScales[size];
        const int w = int(std::ceil(kAsymmetricWidth * scale)), h = int(std::ceil(kAsymmetricHeight * scale));
        for (int direction = 0; direction < 4; ++direction) {
            for (int flip = 0; flip < 2; ++flip) {
                SCOPED_TRACE(StringPrintf("size %d direction %d flip %d", size, direction, flip));
                const BashMaskPtr mask = land.LoadPredefinedMask(0, scale, direction, flip);
                ASSERT_TRUE(mask);
                const bool across = direction >= 2;
                EXPECT_EQ(mask->width, across ? h : w);
                EXPECT_EQ(mask->height, across ? w : h);
                // The hot spot (0, 0) of the file follows its corner.
                const int right = mask->width - 1, bottom = mask->height - 1;
                const int corner[4][2][2] = {{{0, 0}, {right, 0}},
                                             {{right, bottom}, {0, bottom}},
                                             {{right, 0}, {right, bottom}},
                                             {{0, bottom}, {0, 0}}};
                EXPECT_EQ(mask->hotspotX, corner[direction][flip][0]);
                EXPECT_EQ(mask->hotspotY, corner[direction][flip][1]);
                EXPECT_EQ(mask->Row(mask->hotspotY)[mask->hotspotX], kCorner);
                // Whole scales are exact turns and mirrors of the file.
                if (scale != 1.0f && scale != 3.0f)
                    continue;
                for (int y = 0; y < mask->height; ++y)
                    for (int x = 0; x < mask->width; ++x)
                        ASSERT_EQ(mask->Row(y)[x], Oriented(kAsymmetric, kAsymmetricWidth, kAsymmetricHeight,
                                                            int(scale), direction, flip != 0, x, y))
                            << x << "," << y;
            }
        }
    }
    // Out of range, or without a file: none.
    EXPECT_FALSE(land.LoadPredefinedMask(17, 1.0f, 0, 0));
    EXPECT_FALSE(land.LoadPredefinedMask(-1, 1.0f, 0, 0));
    EXPECT_FALSE(land.LoadPredefinedMask(0, 1.0f, 4, 0));
    EXPECT_FALSE(land.LoadPredefinedMask(0, 1.0f, 0, 2));
    EXPECT_FALSE(land.LoadPredefinedMask(0, 0.0f, 0, 0));
    EXPECT_FALSE(land.LoadPredefinedMask(0, std::nanf(""), 0, 0));
    EXPECT_FALSE(land.LoadPredefinedMask(0, 1e6f, 0, 0));
    EXPECT_FALSE(land.LoadPredefinedMask(1, 1.0f, 0, 0));
}

TEST(PredefinedMasks, BrushesAreBuiltOnceFromTheFiles)
{
    ScopedGameFiles files(false);
    files.AddPng("Graphics\\Masks\\mask_lop.png", kAsymmetricWidth, kAsymmetricHeight, kAsymmetric);
    Landscape land;
    ASSERT_EQ(land.Create(64, 64), TileStore::kCreated);
    land.SetPixel(1, true, 0xFF886B0Bu, 0, 0, 63, 63);
    // Lop at size 1, direction 0: the file's opaque pixels are dug with their corner at (10, 20).
    EXPECT_NE(land.BashBrush(16, 1, 0, 0, 0, false, kAllMaterials, nullptr, 0xFF808080u, 10, 20), 0u);
    EXPECT_EQ(land.CountSolidPixels(10, 20, 14, 22), 1);
    EXPECT_EQ(land.HitTestPoint(14, 22), 1);
    const BashMask* kept = land.PredefinedMask(16, 1, 0, 0);
    ASSERT_NE(kept, nullptr);
    land.BashBrush(16, 1, 0, 0, 0, false, kAllMaterials, nullptr, 0xFF808080u, 30, 30);
    EXPECT_EQ(land.PredefinedMask(16, 1, 0, 0), kept);
    // A missing file bashes nothing.
    const int32_t before = land.ComputeChecksum();
    EXPECT_EQ(land.BashBrush(12, 1, 0, 0, 0, false, kAllMaterials, nullptr, 0xFF808080u, 40, 40), 0u);
    EXPECT_EQ(land.ComputeChecksum(), before);
    EXPECT_EQ(land.PredefinedMask(12, 1, 0, 0), nullptr);
}

// The shipped masks: pinned pixels, alpha 0 or 255 only, and a picture of all 544 masks.
TEST(PredefinedMasks, ShippedFilesArePinnedAndDrawnAtEverySize)
{
    struct Pin {
        int width, height;
        const char* digest;
    };
    const Pin pins[kPredefinedMaskFiles] = {
        {96, 64, "be9b394b24a11be154dea838acc87c94"},
        {64, 48, "d211d97c3e4441ddbf6393af8b92b290"},
        {12, 46, "2477579c407f2671122e203f894fe915"},
        {26, 8, "181614161079e375ec9972af3f3a6704"},
        {24, 6, "d990f278fbda22edd6d45ef16c3976ae"},
        {24, 6, "17518084c944cb7579125ffeac524890"},
        {24, 6, "aef4b2b2c5c510eec80ed1a4e9864a55"},
        {24, 6, "10b7582f27fd585977a82cc5b83403ec"},
        {24, 6, "c7233cf2955b426423eae6896f314beb"},
        {24, 6, "8719eea87a26a996d106380f3d73c363"},
        {24, 6, "684556a28698c7e3d84f6ee8ba22c503"},
        {24, 6, "251094e3c324790b79145f8d9fdd9a2a"},
        {80, 80, "cdd4a2e2a39083687a3e3aa4d907a538"},
        {24, 52, "9e6a9a905d624af7125d760526aa0fb1"},
        {44, 44, "a213fe9f76678183cf9d10904698e94c"},
        {44, 44, "c22530af6b1ca4ba3937706c07c01704"},
        {20, 20, "0fd8082195f608a6c85d810bc99f0ce4"},
    };
    ScopedGameFiles files;
    for (int mask = 0; mask < kPredefinedMaskFiles; ++mask) {
        SCOPED_TRACE(PredefinedMaskFile(mask));
        PNGReader png;
        ASSERT_TRUE(png.Init(std::string("Graphics\\") + PredefinedMaskFile(mask), 1));
        EXPECT_EQ(png.Width(), pins[mask].width);
        EXPECT_EQ(png.Height(), pins[mask].height);
        EXPECT_EQ(PixelDigest(png.Width(), png.Height(), png.Pixels()), pins[mask].digest);
        EXPECT_TRUE(std::all_of(png.Pixels().begin(), png.Pixels().end(),
                                [](uint32_t p) { return (p >> 24) == 0 || (p >> 24) == 255; }));
        EXPECT_TRUE(std::any_of(png.Pixels().begin(), png.Pixels().end(), [](uint32_t p) { return p != 0; }));
    }

    // One row per mask and size; its eight cells are directions 0-3, each unflipped then
    // flipped, on a dark ground with a one-pixel gap.
    Landscape land;
    struct Cell {
        int x, y;
        const BashMask* mask;
    };
    std::vector<Cell> cells;
    int width = 0, height = 0;
    for (int mask = 0; mask < kPredefinedMaskFiles; ++mask) {
        for (int size = 0; size < 4; ++size) {
            int x = 2, rowHeight = 0;
            for (int direction = 0; direction < 4; ++direction) {
                for (int flip = 0; flip < 2; ++flip) {
                    land.BashBrush(mask, size, direction, flip, 0, false, 0, nullptr, 0xFF808080u, 0, 0);
                    const BashMask* built = land.PredefinedMask(mask, size, direction, flip);
                    ASSERT_NE(built, nullptr) << mask << " " << size << " " << direction << " " << flip;
                    cells.push_back({x, height + 2, built});
                    x += built->width + 3;
                    rowHeight = std::max(rowHeight, built->height);
                }
            }
            width = std::max(width, x);
            height += rowHeight + 3;
        }
    }
    std::vector<uint32_t> sheet(size_t(width) * size_t(height + 2), 0xFF202028u);
    for (const Cell& cell : cells)
        for (int y = 0; y < cell.mask->height; ++y)
            for (int x = 0; x < cell.mask->width; ++x)
                if (const uint32_t p = cell.mask->Row(y)[x]; p >> 24)
                    sheet[size_t(cell.y + y) * size_t(width) + size_t(cell.x + x)] = p | 0xFF000000u;
    EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/stamping-masks.png", sheet.data(), width, height + 2));
}
