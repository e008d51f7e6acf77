// Primitive stamping: whole-degree angles, cache keys, the reader choice, generated masks,
// primitive files with their caches and refusals, the profile measure and the generator.
#include "../support/GameFiles.h"
#include "../support/LogCapture.h"
#include "../support/ScopedConsoleInt.h"

#include "app/ConsoleParam.h"
#include "game/GameController.h"
#include "gui/LoadingScreen.h"
#include "media/AnimSurface.h"
#include "media/DXManager.h"
#include "media/PngFile.h"
#include "world/Landscape.h"
#include "world/MaskReaders.h"
#include "world/MaskTransform.h"
#include "platform/gfx/Device.h"
#include "platform/window/MainWindow.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr uint32_t R = 0xFFFF0000u, G = 0xFF00FF00u, B = 0xFF0000FFu, W = 0xFFFFFFFFu, K = 0xFF000000u;

// An image held by the test, viewed as a mask.
struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    BashMask View()
    {
        BashMask view;
        view.width = width;
        view.height = height;
        view.pitch = width * 4;
        view.pixels = pixels.data();
        return view;
    }
};

// 3 x 2, no symmetry, one transparent pixel.
Image Small()
{
    return {3, 2, {R, G, 0, B, W, K}};
}

// 64 x 48 with soft and transparent parts, for the free readers.
Image Patterned()
{
    Image image{64, 48, std::vector<uint32_t>(64 * 48)};
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool hole = (x - 40) * (x - 40) + (y - 20) * (y - 20) < 64;
            const uint32_t alpha = hole ? 0u : x < 8 ? 0x80u : 0xFFu;
            image.pixels[size_t(y) * 64 + x] = alpha << 24 | uint32_t(x * 4) << 16 | uint32_t(y * 5) << 8 | 0x40u;
        }
    return image;
}

std::vector<uint32_t> Pixels(const BashMask& mask)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < mask.height; ++y)
        out.insert(out.end(), mask.Row(y), mask.Row(y) + mask.width);
    return out;
}

// The image drawn through the reader into a mask of the geometry's size.
std::vector<uint32_t> Draw(Image& image, const MaskReader& reader, const MaskGeometry& geometry)
{
    BashMaskPtr mask = AllocateBashMask(geometry.width, geometry.height);
    const BashMask view = image.View();
    BlitImage(*mask, 0, 0, view, &reader);
    return Pixels(*mask);
}

} // namespace

TEST(MaskTransform, AnglesAndCacheKeys)
{
    const struct {
        float rotation;
        int angle;
    } angles[] = {{-90.0f, 270}, {359.9f, 359}, {360.0f, 0}, {-450.0f, 270}, {0.0f, 0},
                  {-0.5f, 0},    {90.7f, 90},   {720.5f, 0}, {1e9f, 280},    {-1e9f, 80}};
    for (const auto& c : angles)
        EXPECT_EQ(NormaliseMaskAngle(c.rotation), c.angle) << c.rotation;

    EXPECT_EQ(MaskCacheKey(0, 1.0f, 1.0f, "a.png"), "R0X1.00Y1.00gnp.a");
    EXPECT_EQ(MaskCacheKey(37, 1.3f, -0.5f, "Graphics\\r.png"), "R37X1.30Y-0.50gnp.r\\scihparG");
    EXPECT_EQ(MaskCacheKey(90, 2.0f, 2.0f, "a.png", "n"), "R90X2.00Y2.00{n}gnp.a");
    // Scales that "%.2f" cannot tell apart keep apart.
    EXPECT_NE(MaskCacheKey(0, 1.004f, 1.0f, "a.png"), MaskCacheKey(0, 1.0f, 1.0f, "a.png"));
    EXPECT_NE(MaskCacheKey(0, 1.0f, 1.004f, "a.png"), MaskCacheKey(0, 1.0f, 1.0f, "a.png"));
}

TEST(MaskTransform, ReaderChoice)
{
    MaskTransform transform;
    MaskReader reader;
    // The Part's case: a mirror at rotation 0 is orientation 1 of the plain table.
    ASSERT_TRUE(ComputeMaskTransform(-1.0f, 1.0f, 0, false, 3, 2, transform, reader));
    EXPECT_EQ(reader.read, OrientationReader(kMaskScalePlain, 1).read);

    // Every right angle and sign pair: at scale 1 the fixed reader draws exactly what the
    // free transform draws pixel centre by pixel centre; the other scales take the same
    // orientation from their own table.
    Image image = Small();
    for (int angle : {0, 90, 180, 270}) {
        for (float sx : {1.0f, -1.0f}) {
            for (float sy : {1.0f, -1.0f}) {
                SCOPED_TRACE(testing::Message() << angle << " " << sx << " " << sy);
                ASSERT_TRUE(ComputeMaskTransform(sx, sy, angle, false, 3, 2, transform, reader));
                int orientation = -1;
                for (int o = 0; o < 8; ++o)
                    if (reader.read == OrientationReader(kMaskScalePlain, o).read)
                        orientation = o;
                ASSERT_GE(orientation, 0);
                MaskGeometry geometry;
                ASSERT_TRUE(ComputeMaskGeometry(sx, sy, angle, 3, 2, false, geometry));
                EXPECT_EQ(Draw(image, reader, geometry), Draw(image, NearestReader(transform), geometry));
                const struct {
                    float scale;
                    int table;
                } scales[] = {{2.0f, kMaskScaleDouble}, {0.5f, kMaskScaleHalf}, {0.25f, kMaskScaleQuarter}};
                for (const auto& s : scales) {
                    ASSERT_TRUE(ComputeMaskTransform(sx * s.scale, sy * s.scale, angle, true, 3, 2, transform, reader));
                    EXPECT_EQ(reader.read, OrientationReader(s.table, orientation).read) << s.scale;
                }
            }
        }
    }

    // Everything else takes a free reader.
    const struct {
        float sx, sy;
        int angle;
        bool nearest;
        MaskReader (*expected)(const MaskTransform&);
    } free[] = {
        {1.5f, 1.5f, 0, false, AreaReader},     {1.0f, 1.0f, 37, false, BilinearReader},
        {1.0f, 0.5f, 0, false, AreaReader},     {1.5f, 1.5f, 0, true, NearestReader},
        {2.0f, 2.0f, 45, false, AreaReader},    {1.0f, 2.0f, 90, false, AreaReader},
    };
    for (const auto& c : free) {
        ASSERT_TRUE(ComputeMaskTransform(c.sx, c.sy, c.angle, c.nearest, 3, 2, transform, reader));
        EXPECT_EQ(reader.read, c.expected(transform).read) << c.sx << " " << c.sy << " " << c.angle;
    }
    // "loadquick" asks for the nearest reader, but never in a networked match.
    {
        ScopedConsoleInt quick("loadquick", 1);
        ASSERT_TRUE(ComputeMaskTransform(1.5f, 1.5f, 0, false, 3, 2, transform, reader));
        EXPECT_EQ(reader.read, NearestReader(transform).read);
        Controller().sessionKind = kSessionNetworked;
        ASSERT_TRUE(ComputeMaskTransform(1.5f, 1.5f, 0, false, 3, 2, transform, reader));
        EXPECT_EQ(reader.read, AreaReader(transform).read);
        Controller().sessionKind = kSessionLocal;
    }
    // Refused: non-finite scales, an empty image, more than 16,384 on a side.
    LogCapture log;
    EXPECT_FALSE(ComputeMaskTransform(std::nanf(""), 1.0f, 0, false, 3, 2, transform, reader));
    EXPECT_FALSE(ComputeMaskTransform(1.0f, INFINITY, 0, false, 3, 2, transform, reader));
    EXPECT_FALSE(ComputeMaskTransform(1.0f, 1.0f, 0, false, 0, 2, transform, reader));
    EXPECT_FALSE(ComputeMaskTransform(10000.0f, 1.0f, 0, false, 3, 2, transform, reader));
    EXPECT_TRUE(log.Contains("larger than 16384"));
    EXPECT_TRUE(log.Contains("not a number"));
}

TEST(GenerateBashMask, GoldenMasksAt90DegreesAndAtScale2)
{
    Image image = Small();
    const BashMask view = image.View();
    // 90 degrees: the right edge goes to the top; the hot spot (1, 0) comes along.
    BashMaskPtr turned = Landscape::GenerateBashMask(view, nullptr, 1.0f, 1.0f, 90.0f, false, 1, 0);
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->width, 2);
    EXPECT_EQ(turned->height, 3);
    EXPECT_EQ(Pixels(*turned), (std::vector<uint32_t>{0, K, G, W, R, B}));
    EXPECT_EQ(turned->hotspotX, 0);
    EXPECT_EQ(turned->hotspotY, 1);

    // Scale 2: odd columns and rows average their two (or four) neighbours; a neighbour past
    // the image counts as transparent.
    BashMaskPtr doubled = Landscape::GenerateBashMask(view, nullptr, 2.0f, 2.0f, 0.0f, false, 1, 0);
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->width, 6);
    EXPECT_EQ(doubled->height, 4);
    const std::vector<uint32_t> golden = {
        0xFFFF0000, 0xFF7F7F00, 0xFF00FF00, 0x7F00FF00, 0x00000000, 0x00000000,
        0xFF7F007F, 0xFF7F7F7F, 0xFF7FFF7F, 0xBF55AA55, 0x7F000000, 0x3F000000,
        0xFF0000FF, 0xFF7F7FFF, 0xFFFFFFFF, 0xFF7F7F7F, 0xFF000000, 0x7F000000,
        0x7F0000FF, 0x7F7F7FFF, 0x7FFFFFFF, 0x7F7F7F7F, 0x7F000000, 0x3F000000,
    };
    EXPECT_EQ(Pixels(*doubled), golden);
    EXPECT_EQ(doubled->hotspotX, 3);
    EXPECT_EQ(doubled->hotspotY, 1);

    // A free transform keeps the image's pixels where they land: at 37 degrees and 1.3 the
    // mask covers the turned rectangle and nothing far outside it.
    Image big = Patterned();
    BashMaskPtr free = Landscape::GenerateBashMask(big.View(), nullptr, 1.3f, 1.3f, 37.0f, false, 0, 0);
    ASSERT_TRUE(free);
    // The whole pixels the turned rectangle touches: 64 x 1.3 x cos 37 + 48 x 1.3 x sin 37 =
    // 104.0 across, and from -50.07 to 49.83 down.
    EXPECT_EQ(free->width, 104);
    EXPECT_EQ(free->height, 101);
    int opaque = 0;
    for (uint32_t p : Pixels(*free))
        opaque += (p >> 24) != 0;
    const double area = 64 * 48 * 1.3 * 1.3 - 3.14159 * 64 * 1.3 * 1.3;
    EXPECT_NEAR(opaque, area, area * 0.03);
    // Refused.
    LogCapture log;
    EXPECT_FALSE(Landscape::GenerateBashMask(view, nullptr, std::nanf(""), 1.0f, 0.0f, false, 0, 0));
    EXPECT_FALSE(Landscape::GenerateBashMask(view, nullptr, 1.0f, 1.0f, INFINITY, false, 0, 0));
    EXPECT_FALSE(Landscape::GenerateBashMask(view, nullptr, 6000.0f, 6000.0f, 0.0f, false, 0, 0));
    const BashRect outside{5, 5, 9, 9};
    EXPECT_FALSE(Landscape::GenerateBashMask(view, &outside, 1.0f, 1.0f, 0.0f, false, 0, 0));
    EXPECT_TRUE(log.Contains("Mask refused"));
}

TEST(GenerateBashMask, NamedMasksAreKeptPerRectangleAndHotSpot)
{
    // One sheet, two frames of 2 x 2.
    Image sheet{4, 2, {R, R, G, B, R, R, B, G}};
    const BashMask view = sheet.View();
    const BashRect first{0, 0, 2, 2}, second{2, 0, 4, 2};
    Landscape land;
    const BashMask* a = land.GenerateBashMask(view, &first, 1.0f, 1.0f, 90.0f, false, "sheet.png", 0, 0);
    const BashMask* b = land.GenerateBashMask(view, &second, 1.0f, 1.0f, 90.0f, false, "sheet.png", 0, 0);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_EQ(Pixels(*a), (std::vector<uint32_t>{R, R, R, R}));
    EXPECT_EQ(Pixels(*b), (std::vector<uint32_t>{B, G, G, B}));
    EXPECT_EQ(land.GenerateBashMask(view, &first, 1.0f, 1.0f, 90.0f, false, "sheet.png", 0, 0), a);
    EXPECT_EQ(land.GenerateBashMask(view, &first, 1.0f, 1.0f, 90.9f, false, "sheet.png", 0, 0), a);
    const BashMask* moved = land.GenerateBashMask(view, &first, 1.0f, 1.0f, 90.0f, false, "sheet.png", 1, 0);
    ASSERT_TRUE(moved);
    EXPECT_NE(moved, a);
    EXPECT_EQ(moved->hotspotY, 0);
    EXPECT_EQ(a->hotspotY, 1);
    EXPECT_EQ(land.Primitives().MaskCount(), 3u);
    // Refused: no name, or a scale that is not a number (nothing kept).
    EXPECT_EQ(land.GenerateBashMask(view, &first, 1.0f, 1.0f, 0.0f, false, "", 0, 0), nullptr);
    EXPECT_EQ(land.GenerateBashMask(view, &first, NAN, 1.0f, 0.0f, false, "sheet.png", 0, 0), nullptr);
    EXPECT_EQ(land.Primitives().MaskCount(), 3u);
    land.ClearPrimitives();
    EXPECT_EQ(land.Primitives().MaskCount(), 0u);
}

namespace {

constexpr uint32_t kNeutral = 0xFF808080u;
const char* const kPrimitive = "Graphics\\Prims\\small.png";
const char* const kPattern = "Graphics\\Prims\\pattern.png";

class StampingFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        Image small = Small();
        files.AddPng(kPrimitive, small.width, small.height, small.pixels);
        Image pattern = Patterned();
        files.AddPng(kPattern, pattern.width, pattern.height, pattern.pixels);
        land = Fresh();
    }
    static std::unique_ptr<Landscape> Fresh()
    {
        auto made = std::make_unique<Landscape>();
        made->Create(256, 256);
        return made;
    }
    uint32_t Stamp(Landscape& into, const char* name, float sx, float sy, float rotation, int cacheFlags, float x,
                   float y, bool centred = false, bool nearest = false, int material = 3)
    {
        return into.BashPrimitiveFile(material, name, BashOptions{}, kAllMaterials, sx, sy, rotation, centred, nullptr,
                                      kNeutral, cacheFlags, nearest, nullptr, false, nullptr, false, x, y);
    }

    ScopedGameFiles files{false};
    std::unique_ptr<Landscape> land;
};

} // namespace

TEST_F(StampingFiles, StampsImagesAtTheirCornerOrCentre)
{
    // Unturned: the image's own colours at its top-left corner; transparent pixels lay nothing.
    EXPECT_EQ(land->BashPrimitiveFileAt(3, kPrimitive, BashOptions{}, kAllMaterials, 1.0f, 1.0f, 0.0f, false,
                                        kNeutral, Landscape::kCacheStore, false, 10, 20),
              0u);
    EXPECT_EQ(land->GetPixelColour(10, 20), R);
    EXPECT_EQ(land->GetPixelColour(12, 21), K);
    EXPECT_EQ(land->HitTestPoint(12, 20), 0);
    EXPECT_EQ(land->CountSolidPixels(9, 19, 13, 22), 5);
    EXPECT_EQ(land->HitTestPoint(11, 21), 3);
    // Centred: the centre lands on the point.
    Stamp(*land, kPrimitive, 1.0f, 1.0f, 0.0f, 0, 50.0f, 50.0f, true);
    EXPECT_EQ(land->GetPixelColour(48, 49), R);
    EXPECT_EQ(land->CountSolidPixels(40, 40, 60, 60), 5);
    // Turned 90 degrees and centred: 2 x 3 about (100, 100), from (99, 99) to (100, 101).
    Stamp(*land, kPrimitive, 1.0f, 1.0f, 90.0f, 0, 100.0f, 100.0f, true);
    EXPECT_EQ(land->GetPixelColour(100, 99), K);
    EXPECT_EQ(land->GetPixelColour(99, 101), R);
    EXPECT_EQ(land->CountSolidPixels(90, 90, 110, 110), 5);
    // Removing with the image as the mask.
    Stamp(*land, kPrimitive, 1.0f, 1.0f, 0.0f, 0, 10.0f, 20.0f, false, false, 0);
    EXPECT_EQ(land->CountSolidPixels(9, 19, 13, 22), 0);

    // Drawn into a destination image instead: nothing is bashed.
    const int32_t before = land->ComputeChecksum();
    BashMaskPtr into = AllocateBashMask(4, 4);
    EXPECT_EQ(land->BashPrimitiveFile(3, kPrimitive, BashOptions{}, kAllMaterials, 1.0f, 1.0f, 180.0f, false,
                                      into.get(), kNeutral, 3, true, nullptr, false, nullptr, false, 1.0f, 1.4f),
              0u);
    EXPECT_EQ(Pixels(*into), (std::vector<uint32_t>{0, 0, 0, 0, 0, K, W, B, 0, 0, G, R, 0, 0, 0, 0}));
    EXPECT_EQ(land->ComputeChecksum(), before);
}

TEST_F(StampingFiles, MissingAndRefusedPrimitivesTouchNothing)
{
    land->SetPixel(1, true, 0xFF886B0Bu, 0, 0, 255, 255);
    const int32_t before = land->ComputeChecksum();
    {
        LogCapture log;
        EXPECT_EQ(Stamp(*land, "Graphics\\Prims\\none.png", 1.0f, 1.0f, 0.0f, 2, 10.0f, 10.0f, false, false, 0), 0u);
        EXPECT_TRUE(log.Contains("Failed to load primitive [Graphics\\Prims\\none.png]\n"));
        // Rotated and scaled the same.
        EXPECT_EQ(Stamp(*land, "Graphics\\Prims\\none.png", 1.3f, 1.3f, 37.0f, 2, 10.0f, 10.0f, false, false, 0), 0u);
    }
    const char* const refused[] = {"Graphics\\..\\Level\\a.png", "..\\a.png", "Graphics\\Prims\\..\\..\\a.png",
                                   "/etc/passwd", "\\Graphics\\a.png", "C:\\Graphics\\a.png",
                                   "Graphics:a.png", "Level\\a.png", "", "Graphics", "Graphics\\"};
    for (const char* name : refused) {
        LogCapture log;
        EXPECT_EQ(Stamp(*land, name, 1.0f, 1.0f, 0.0f, 2, 10.0f, 10.0f, false, false, 0), 0u) << name;
        EXPECT_TRUE(log.Contains("Primitive name refused")) << name;
        EXPECT_FALSE(log.Contains("PNGReader")) << name;
    }
    EXPECT_TRUE(IsPrimitiveNameAllowed("graphics/Prims/a.png"));
    EXPECT_TRUE(IsPrimitiveNameAllowed(kPrimitive));
    // Not numbers, or too large: refused with a log line.
    const float bad[][5] = {{NAN, 1, 0, 10, 10}, {1, INFINITY, 0, 10, 10}, {1, 1, NAN, 10, 10},
                            {1, 1, 0, NAN, 10},  {1, 1, 0, 10, -INFINITY}, {9000, 9000, 0, 10, 10}};
    for (const auto& b : bad) {
        LogCapture log;
        EXPECT_EQ(Stamp(*land, kPrimitive, b[0], b[1], b[2], 2, b[3], b[4], false, false, 0), 0u);
        EXPECT_TRUE(log.Contains("refused")) << b[0] << " " << b[1] << " " << b[2];
    }
    EXPECT_EQ(land->ComputeChecksum(), before);
    EXPECT_EQ(land->Primitives().ImageCount(), 1u); // only small.png was loaded
}

// A cache never changes what a stamp lays: a kept copy, a stamp without caching and one
// from a warm cache give the same terrain; copies are kept per reader.
TEST_F(StampingFiles, CachesNeverChangeTheResult)
{
    // A fresh landscape (through the cache given, or its own) with one stamp over old terrain.
    auto stamped = [&](PrimitiveCache* cache, int flags, bool nearest) {
        auto into = Fresh();
        into->UsePrimitiveCache(cache);
        into->SetPixel(5, true, 0xFF445566u, 0, 0, 255, 99);
        Stamp(*into, kPattern, 1.3f, 1.3f, 37.0f, flags, 128.0f, 100.0f, true, nearest);
        return into->StateHash();
    };
    PrimitiveCache cache, uncached;
    const uint64_t cold = stamped(&cache, Landscape::kCacheStore, false);
    EXPECT_EQ(cache.ImageCount(), 2u); // the image and its transformed copy
    EXPECT_EQ(stamped(&uncached, 0, false), cold);
    EXPECT_EQ(uncached.ImageCount(), 1u);
    EXPECT_EQ(stamped(&cache, Landscape::kCacheStore, false), cold);
    EXPECT_EQ(cache.ImageCount(), 2u);

    // The nearest reader draws otherwise, and a copy made by one reader never serves the other.
    const uint64_t nearestHash = stamped(nullptr, 0, true);
    EXPECT_NE(nearestHash, cold);
    EXPECT_EQ(stamped(&cache, Landscape::kCacheStore, true), nearestHash);
    EXPECT_EQ(cache.ImageCount(), 3u);
    {
        ScopedConsoleInt quick("loadquick", 1);
        EXPECT_EQ(stamped(&cache, Landscape::kCacheStore, false), nearestHash);
    }
    // Bit 1 keeps no copy beyond 2,048 on a side.
    auto large = Fresh();
    Stamp(*large, kPattern, 40.0f, 40.0f, 0.0f, Landscape::kCacheStore, 0.0f, 0.0f);
    EXPECT_EQ(large->Primitives().ImageCount(), 1u);
    EXPECT_EQ(large->CountSolidPixels(0, 0, 255, 255), 256 * 256);
}

TEST_F(StampingFiles, BashPrimitiveLaysAFrameWithItsHotSpot)
{
    // The second frame of a two-frame sheet, hot spot (1, 0), turned 90 degrees: 2 x 3 with
    // the hot spot at (0, 1) of the mask, on (20, 20).
    Image sheet{6, 2, {0, 0, 0, R, G, 0, 0, 0, 0, B, W, K}};
    const BashRect frame{3, 0, 6, 2};
    EXPECT_EQ(land->BashPrimitive(sheet.View(), &frame, 1, 0, 4, 1.0f, 1.0f, 90.0f, kAllMaterials, BashOptions{},
                                  kNeutral, false, 20.0f, 20.0f),
              0u);
    EXPECT_EQ(land->GetPixelColour(20, 20), G);
    EXPECT_EQ(land->GetPixelColour(21, 19), K);
    EXPECT_EQ(land->GetPixelColour(21, 21), B);
    EXPECT_EQ(land->CountSolidPixels(15, 15, 25, 25), 5);
    EXPECT_EQ(land->HitTestPoint(20, 21), 4);
    EXPECT_EQ(land->BashPrimitiveAt(nullptr, 4, 1.0f, 1.0f, 0.0f, kAllMaterials, BashOptions{}, kNeutral, false,
                                    nullptr, 5, 5),
              0u);
    EXPECT_EQ(land->BashPrimitive(sheet.View(), &frame, 1, 0, 4, 1.0f, 1.0f, 0.0f, kAllMaterials, BashOptions{},
                                  kNeutral, false, NAN, 5.0f),
              0u);
}

TEST(MeasureImageProfile, DistancesToTheFirstSolidPixelFromEachSide)
{
    constexpr uint32_t S = 0xFF808080u, F = 0x64808080u; // solid, faint (alpha 100)
    Image image{3, 4, {0, 0, 0,  //
                       S, F, 0,  //
                       S, 0, F,  //
                       S, S, 0}};
    const struct {
        int direction;
        std::vector<int32_t> expected;
    } cases[] = {
        {0, {0, 0, -7}},     // columns from the bottom
        {1, {1, 3, -7}},     // columns from the top
        {2, {-7, 0, 0, 0}},  // rows from the left
        {3, {-7, 2, 2, 1}},  // rows from the right
    };
    for (const auto& c : cases) {
        std::vector<int32_t> out(c.expected.size(), -7);
        EXPECT_EQ(Landscape::MeasureImageProfile(image.View(), c.direction, 0.0f, 1.0f, 1.0f, out.data(),
                                                 int(out.size())),
                  0);
        EXPECT_EQ(out, c.expected) << c.direction;
    }
    // Turned 90 degrees the rows become columns; lines past the mask or the count stay.
    std::vector<int32_t> out(6, -7);
    EXPECT_EQ(Landscape::MeasureImageProfile(image.View(), 2, 90.0f, 1.0f, 1.0f, out.data(), 6), 0);
    EXPECT_EQ(out, (std::vector<int32_t>{-7, 3, 1, -7, -7, -7}));
    out.assign(3, -7);
    EXPECT_EQ(Landscape::MeasureImageProfile(image.View(), 1, 0.0f, 1.0f, 1.0f, out.data(), 1), 0);
    EXPECT_EQ(out, (std::vector<int32_t>{1, -7, -7}));
    EXPECT_EQ(Landscape::MeasureImageProfile(image.View(), 4, 0.0f, 1.0f, 1.0f, out.data(), 3), -1);
    EXPECT_EQ(Landscape::MeasureImageProfile(image.View(), 0, 0.0f, NAN, 1.0f, out.data(), 3), -1);
}

TEST(LandscapeGenerate, GenConsoleVariableMakesTheNovaField)
{
    ScopedGameFiles files;
    InitLandscape();
    Landscape& land = *GameLandscape();
    land.Create(300, 200);
    land.SetPixel(2, true, 0xFF999999u, 0, 0, 299, 199);
    ConsoleParam* gen = ConsoleParam::Find("gen");
    ASSERT_NE(gen, nullptr);
    ASSERT_TRUE(gen->SetInt(0));
    EXPECT_EQ(land.Width(), 1024);
    EXPECT_EQ(land.Height(), 768);
    EXPECT_EQ(land.TileColumns(), 8);
    EXPECT_EQ(land.TileRows(), 6);
    // The old rock is gone; every tile holds a Nova disc of material 1 in its colour.
    EXPECT_EQ(land.GetPixelColour(40, 40), 0xFF886B0Bu);
    EXPECT_EQ(land.HitTestPoint(40 + 128 * 5, 40 + 128 * 3), 1);
    EXPECT_EQ(land.HitTestPoint(100, 100), 0);
    EXPECT_EQ(land.CountSolidPixels(0, 0, 127, 127), land.CountSolidPixels(128, 128, 255, 255));
    EXPECT_EQ(land.ComputeChecksum(), 6139392);
    std::vector<uint32_t> picture(1024 * 768, 0xFF1A2430u);
    for (int y = 0; y < 768; ++y)
        for (int x = 3; x < 1021; ++x)
            if (const uint32_t c = land.GetPixelColour(x, y))
                picture[size_t(y) * 1024 + x] = c;
    EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/stamping-generated.png", picture.data(), 1024, 768));

    // The value's low byte moves every stamp right and up; an open loading screen counts the
    // 48 stamps.
    LoadingScreen screen;
    ASSERT_TRUE(screen.StartWorker([](LoadingScreen&) {}, 1000));
    EXPECT_EQ(LoadingScreen::Shown(), &screen);
    ASSERT_TRUE(gen->SetInt(256 + 20));
    EXPECT_EQ(screen.ProgressRange(), 48);
    EXPECT_EQ(screen.ProgressCount(), 48);
    screen.StopWorker();
    EXPECT_EQ(LoadingScreen::Shown(), nullptr);
    EXPECT_EQ(land.HitTestPoint(5, 40), 0);
    EXPECT_EQ(land.HitTestPoint(60, 5), 1);
    gen->ResetToDefault();
    land.Clear();
    ReleaseLandscape();
}

TEST(LandscapePrimitives, ClearedThroughTheWorldServices)
{
    ScopedGameFiles files(false);
    Image small = Small();
    files.AddPng(kPrimitive, small.width, small.height, small.pixels);
    InitLandscape();
    Landscape& land = *GameLandscape();
    land.Create(64, 64);
    land.BashPrimitiveFileAt(1, kPrimitive, BashOptions{}, kAllMaterials, 1.0f, 1.0f, 45.0f, false, kNeutral, 2,
                             false, 5, 5);
    EXPECT_EQ(land.Primitives().ImageCount(), 2u);
    ClearLandscapePrimitives();
    EXPECT_EQ(land.Primitives().ImageCount(), 0u);
    land.Clear();
    ReleaseLandscape();
}

// The traps stamp their sprite's current frame: the bitmap's texture is read in place.
TEST(BashPrimitive, StampsAnAnimatedSurfacesCurrentFrame)
{
    ScopedGameFiles files(false);
    files.AddPng("Graphics\\Prims\\sheet.png", 6, 2, {0, 0, 0, R, G, 0, 0, 0, 0, B, W, K});
    gfx::ResetAdapterProfile();
    platform::MainWindow window;
    ASSERT_TRUE(window.Create("Flimbs", {0, 0, 64, 48}));
    DXManager::Init(&window, 64, 48);
    {
        BitmapAnimSurface sprite;
        ASSERT_EQ(sprite.Init("Graphics\\Prims\\sheet.png", 0, false), 0);
        sprite.SetFrameSize(3, 2);
        sprite.SetFrame(1);
        sprite.SetHotspot(1, 0);
        Landscape land;
        land.Create(64, 64);
        EXPECT_EQ(land.BashPrimitiveAt(&sprite, 4, 1.0f, 1.0f, 90.0f, kAllMaterials, BashOptions{}, kNeutral, false,
                                       nullptr, 20, 20),
                  0u);
        EXPECT_EQ(land.GetPixelColour(20, 20), G);
        EXPECT_EQ(land.GetPixelColour(21, 19), K);
        EXPECT_EQ(land.CountSolidPixels(10, 10, 30, 30), 5);
        // An inset that leaves the frame's right column (nothing over K); the hot spot stays (1, 0).
        const BashRect inset{2, 0, 0, 0};
        land.BashPrimitiveAt(&sprite, 5, 1.0f, 1.0f, 0.0f, kAllMaterials, BashOptions{}, kNeutral, false, &inset, 40,
                             40);
        EXPECT_EQ(land.HitTestPoint(39, 40), 0);
        EXPECT_EQ(land.HitTestPoint(39, 41), 5);
        EXPECT_EQ(land.GetPixelColour(39, 41), K);
        EXPECT_EQ(land.CountSolidPixels(30, 30, 50, 50), 1);
        // The editor's profile of the whole image, columns from the top.
        std::vector<int32_t> profile(6, -7);
        EXPECT_EQ(Landscape::MeasureImageProfile(sprite.bitmap, 1, 0.0f, 1.0f, 1.0f, profile.data(), 6), 0);
        EXPECT_EQ(profile, (std::vector<int32_t>{-7, -7, -7, 0, 0, 1}));
        EXPECT_EQ(Landscape::MeasureImageProfile(static_cast<const BitmapBaseSurface*>(nullptr), 1, 0.0f, 1.0f, 1.0f,
                                                 profile.data(), 6),
                  -1);
    }
    DXManager::Shutdown();
    gfx::ResetAdapterProfile();
}
