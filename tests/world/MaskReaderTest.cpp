// The mask readers: orientations, scaled averages, free transforms and BlitImage.
#include "world/MaskReaders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A 3 x 2 image whose pixels are the letters A-F (opaque, the letter in the blue channel).
BashMaskPtr Letters()
{
    BashMaskPtr image = AllocateBashMask(3, 2);
    const char* rows[] = {"ABC", "DEF"};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image->Row(y)[x] = 0xFF000000u | uint32_t(rows[y][x]);
    return image;
}

// What the reader shows over a width x height output, as rows of letters ('.' for 0).
std::vector<std::string> Show(const MaskReader& reader, const BashMask& source, int width, int height)
{
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const uint32_t c = ReadMask(reader, source, x, y);
            row += c ? char(c & 0xFF) : '.';
        }
        rows.push_back(row);
    }
    return rows;
}

BashMaskPtr Pixels(int width, int height, std::initializer_list<uint32_t> pixels)
{
    BashMaskPtr image = AllocateBashMask(width, height);
    int i = 0;
    for (uint32_t p : pixels) {
        image->Row(i / width)[i % width] = p;
        ++i;
    }
    return image;
}

using Rows = std::vector<std::string>;

} // namespace

TEST(MaskReaders, EachOrientationOfThePlainTable)
{
    const BashMaskPtr image = Letters();
    const struct {
        int orientation;
        Rows shown;
    } cases[] = {
        {0, {"ABC", "DEF"}}, {1, {"CBA", "FED"}}, {2, {"DEF", "ABC"}}, {3, {"FED", "CBA"}},
        {4, {"CF", "BE", "AD"}}, {5, {"AD", "BE", "CF"}}, {6, {"FC", "EB", "DA"}}, {7, {"DA", "EB", "FC"}},
    };
    for (const auto& c : cases) {
        const int width = c.orientation < 4 ? 3 : 2, height = c.orientation < 4 ? 2 : 3;
        EXPECT_EQ(Show(OrientationReader(kMaskScalePlain, c.orientation), *image, width, height), c.shown)
            << c.orientation;
        // Outside the oriented image: transparent.
        EXPECT_EQ(ReadMask(OrientationReader(kMaskScalePlain, c.orientation), *image, width, 0), 0u);
        EXPECT_EQ(ReadMask(OrientationReader(kMaskScalePlain, c.orientation), *image, -1, 0), 0u);
    }
    // An unknown table or orientation is the plain reader.
    EXPECT_EQ(Show(OrientationReader(9, 0), *image, 3, 2), (Rows{"ABC", "DEF"}));
    EXPECT_EQ(Show(OrientationReader(0, 8), *image, 3, 2), (Rows{"ABC", "DEF"}));
}

TEST(MaskReaders, ScaledTablesOrientTheScaledImage)
{
    const BashMaskPtr image = Letters();
    // Double, orientation 1: the 6 x 4 image mirrored; even output coordinates hit one pixel.
    const MaskReader mirrored = OrientationReader(kMaskScaleDouble, 1);
    EXPECT_EQ(ReadMask(mirrored, *image, 0, 0) & 0xFF, 'C');
    EXPECT_EQ(ReadMask(mirrored, *image, 5, 3) & 0xFF, 'D');
    EXPECT_EQ(ReadMask(mirrored, *image, 6, 0), 0u);
    // Half, orientation 5 (transposed): the 2 x 1 half image shown 1 x 2.
    const BashMaskPtr block = Pixels(4, 2, {0xFF000010u, 0xFF000010u, 0xFF000030u, 0xFF000030u,  //
                                            0xFF000010u, 0xFF000010u, 0xFF000030u, 0xFF000030u});
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleHalf, 5), *block, 0, 0), 0xFF000010u);
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleHalf, 5), *block, 0, 1), 0xFF000030u);
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleHalf, 5), *block, 1, 0), 0u);
}

TEST(MaskReaders, DoubleAveragesItsSamples)
{
    const uint32_t p = 0xFF102030u, q = 0x80304050u, clear = 0x00FFFFFFu;
    const struct {
        uint32_t right, below, diagonal;
        int x, y;
        uint32_t expected;
    } cases[] = {
        {q, q, q, 0, 0, p},                     // even, even: the pixel itself
        {q, q, q, 1, 0, 0xBF203040u},           // odd x: (255 + 128) / 2, channels of both
        {clear, q, q, 1, 0, 0x7F102030u},       // a transparent sample counts in the alpha only
        {clear, clear, clear, 1, 1, 0x3F102030u}, // both odd: 255 / 4, colour of the one opaque
        {q, q, q, 1, 1, 0x9F283848u},           // (255 + 3 x 128) / 4; channels (p + 3q) / 4
    };
    for (const auto& c : cases) {
        const BashMaskPtr image = Pixels(2, 2, {p, c.right, c.below, c.diagonal});
        EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleDouble, 0), *image, c.x, c.y), c.expected)
            << std::hex << c.right << " " << c.x << "," << c.y;
    }
    const BashMaskPtr empty = Pixels(2, 1, {clear, clear});
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleDouble, 0), *empty, 1, 0), 0u);
    // The column past the image is a transparent sample.
    const BashMaskPtr single = Pixels(1, 1, {p});
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleDouble, 0), *single, 1, 0), 0x7F102030u);
}

TEST(MaskReaders, HalfAndQuarterBlockAverages)
{
    const uint32_t clear = 0x00000000u;
    const BashMaskPtr full = Pixels(2, 2, {0xFF100000u, 0xFF200000u, 0xFF300000u, 0xFF400000u});
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleHalf, 0), *full, 0, 0), 0xFF280000u);
    // One transparent pixel: alpha over the block, colour over the three.
    const BashMaskPtr holed = Pixels(2, 2, {0xFF100000u, 0xFF200000u, 0xFF300000u, clear});
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleHalf, 0), *holed, 0, 0), 0xBF200000u);
    const BashMaskPtr none = Pixels(2, 2, {clear, clear, clear, clear});
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleHalf, 0), *none, 0, 0), 0u);
    // An odd width rounds the half image up; its last block reaches past the source.
    const BashMaskPtr odd = Pixels(3, 2, {0, 0, 0xFF000080u, 0, 0, 0xFF000080u});
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleHalf, 0), *odd, 1, 0), 0x7F000080u);
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleHalf, 0), *odd, 2, 0), 0u);

    BashMaskPtr quarter = AllocateBashMask(4, 4);
    for (int i = 0; i < 16; ++i)
        quarter->Row(i / 4)[i % 4] = i < 12 ? 0xFF000000u | uint32_t(i * 4) : 0u;
    // 12 opaque of 16: alpha 255 x 12 / 16; blue (0 + 4 + ... + 44) / 12.
    EXPECT_EQ(ReadMask(OrientationReader(kMaskScaleQuarter, 0), *quarter, 0, 0), 0xBF000016u);
}

TEST(MaskReaders, FreeTransformReaders)
{
    const BashMaskPtr row = Pixels(4, 1, {0xFF000010u, 0xFF000020u, 0x00000000u, 0xFF000040u});
    MaskTransform half; // output x reads source x / 2
    half.m11 = 0.5f;
    half.m22 = 0.5f;
    half.scaleX = half.scaleY = 2.0f;
    const MaskReader nearest = NearestReader(half);
    EXPECT_EQ(ReadMask(nearest, *row, 1, 0), 0xFF000020u); // 0.5 rounds away from zero
    EXPECT_EQ(ReadMask(nearest, *row, 2, 0), 0xFF000020u);
    EXPECT_EQ(ReadMask(nearest, *row, 3, 0), 0u);          // 1.5 -> 2: transparent
    EXPECT_EQ(ReadMask(nearest, *row, 9, 0), 0u);

    MaskTransform shift; // output x reads source x + 0.5
    shift.dx = 0.5f;
    const MaskReader bilinear = BilinearReader(shift);
    EXPECT_EQ(ReadMask(bilinear, *row, 0, 0), 0xFF000018u);  // halfway between 0x10 and 0x20
    EXPECT_EQ(ReadMask(bilinear, *row, 1, 0), 0xFF000020u);  // its neighbour is transparent: renormalised
    EXPECT_EQ(ReadMask(bilinear, *row, 5, 0), 0u);
    MaskTransform identity;
    EXPECT_EQ(ReadMask(BilinearReader(identity), *row, 3, 0), 0xFF000040u);

    MaskTransform shrink; // output x reads source 2x: footprint [2x - 1, 2x + 1)
    shrink.m11 = 2.0f;
    shrink.m22 = 2.0f;
    shrink.scaleX = shrink.scaleY = 0.5f;
    const MaskReader area = AreaReader(shrink);
    EXPECT_EQ(ReadMask(area, *row, 1, 0), 0x7F000020u); // pixels 1 and 2: one opaque of two
    EXPECT_EQ(ReadMask(area, *row, 0, 0), 0xFF000010u); // pixels -1 and 0: clipped to pixel 0
    EXPECT_EQ(ReadMask(area, *row, 2, 0), 0xFF000040u); // pixel 3 (4 is past the source)
    EXPECT_EQ(ReadMask(AreaReader(identity), *row, 1, 0), 0xFF000020u);
}

TEST(MaskReaders, BlitImageDrawsThroughTheReaderInsideTheDestination)
{
    const BashMaskPtr image = Letters();
    BashMaskPtr dest = AllocateBashMask(4, 3);
    BlitImage(*dest, 1, 1, *image, nullptr);
    EXPECT_EQ(Show(MaskReader{}, *dest, 4, 3), (Rows{"....", ".ABC", ".DEF"}));
    BashMaskPtr turned = AllocateBashMask(2, 3);
    const MaskReader rotate = OrientationReader(kMaskScalePlain, 4);
    BlitImage(*turned, 0, 0, *image, &rotate);
    EXPECT_EQ(Show(MaskReader{}, *turned, 2, 3), (Rows{"CF", "BE", "AD"}));
    // Negative and far offsets stay inside the destination.
    BashMaskPtr clipped = AllocateBashMask(2, 2);
    BlitImage(*clipped, -1, -1, *image, nullptr);
    EXPECT_EQ(Show(MaskReader{}, *clipped, 2, 2), (Rows{"EF", ".."}));
    BlitImage(*clipped, 1 << 30, -(1 << 30), *image, nullptr);
    BlitImage(*clipped, -(1 << 30), 0, *image, nullptr);
}

TEST(MaskReaders, MasksAreOneZeroedBlockWithinTheSizeLimit)
{
    BashMaskPtr mask = AllocateBashMask(3, 5);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->pitch, 12);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(mask->pixels), reinterpret_cast<uint8_t*>(mask.get()) + sizeof(BashMask));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(mask->Row(y)[x], 0u);
    EXPECT_FALSE(AllocateBashMask(0, 5));
    EXPECT_FALSE(AllocateBashMask(5, -1));
    EXPECT_FALSE(AllocateBashMask(16385, 1));
    EXPECT_TRUE(AllocateBashMask(16384, 1));
}
