#include "SurfaceFixture.h"

#include "media/NinePieceFrame.h"
#include "platform/gfx/Device.h"

#include <limits>

namespace {

using namespace gfx;

// An image of width x height without pixels: enough for the layout.
void MakeImage(AnimSurface& image, int width, int height)
{
    image.imageWidth = image.frameWidth = width;
    image.imageHeight = image.frameHeight = height;
    image.frameCount = 1;
    image.sourceRect = {0, 0, width, height};
    image.ownsBitmap = false;
}

const FrameQuad* Find(const std::vector<FrameQuad>& quads, int piece)
{
    for (const FrameQuad& quad : quads)
        if (quad.piece == piece)
            return &quad;
    return nullptr;
}

TEST(NinePieceFrameTest, CornersKeepTheirSizeEdgesAndFillStretch)
{
    AnimSurface image;
    MakeImage(image, 12, 12);
    NinePieceFrame frame;
    SetFrameFromImage(frame, &image);
    const auto quads = LayoutNinePieceFrame(frame, {10, 20, 40, 40});
    ASSERT_EQ(quads.size(), 9u);
    EXPECT_EQ(quads.front().piece, kFrameFill); // drawn under the border
    struct Case {
        int piece;
        FrameRect dest;
        RECT source;
    };
    const Case cases[] = {
        {kFrameTopLeft, {10, 20, 14, 24}, {0, 0, 4, 4}},     {kFrameTop, {14, 20, 36, 24}, {4, 0, 8, 4}},
        {kFrameTopRight, {36, 20, 40, 24}, {8, 0, 12, 4}},   {kFrameLeft, {10, 24, 14, 36}, {0, 4, 4, 8}},
        {kFrameRight, {36, 24, 40, 36}, {8, 4, 12, 8}},      {kFrameBottomLeft, {10, 36, 14, 40}, {0, 8, 4, 12}},
        {kFrameBottom, {14, 36, 36, 40}, {4, 8, 8, 12}},     {kFrameBottomRight, {36, 36, 40, 40}, {8, 8, 12, 12}},
        {kFrameFill, {14, 24, 36, 36}, {4, 4, 8, 8}},
    };
    for (const Case& c : cases) {
        const FrameQuad* quad = Find(quads, c.piece);
        ASSERT_NE(quad, nullptr) << c.piece;
        EXPECT_EQ(quad->dest, c.dest) << c.piece;
        EXPECT_EQ(quad->source, c.source) << c.piece;
    }

    frame.scale = 2.0f; // skin scaling doubles the corners
    EXPECT_EQ(Find(LayoutNinePieceFrame(frame, {0, 0, 40, 40}), kFrameTopLeft)->dest, (FrameRect{0, 0, 8, 8}));
}

TEST(NinePieceFrameTest, BoxesSmallerThanTheirCornersNeverGetNegativeSizes)
{
    AnimSurface image;
    MakeImage(image, 12, 12);
    NinePieceFrame frame;
    SetFrameFromImage(frame, &image);
    const FrameRect rects[] = {{0, 0, 6, 6}, {0, 0, 1, 30}, {5, 5, 5, 5}, {10, 10, 2, 2}, {0, 0, 8, 8}};
    for (const FrameRect& rect : rects) {
        const auto quads = LayoutNinePieceFrame(frame, rect);
        for (const FrameQuad& quad : quads) {
            EXPECT_GT(quad.dest.right, quad.dest.left) << quad.piece;
            EXPECT_GT(quad.dest.bottom, quad.dest.top) << quad.piece;
            EXPECT_GE(quad.dest.left, rect.left);
            EXPECT_LE(quad.dest.right, std::max(rect.left, rect.right));
            EXPECT_LE(quad.dest.bottom, std::max(rect.top, rect.bottom));
            EXPECT_NE(quad.piece, kFrameFill); // no inside left
        }
    }
    // Half the corners' width: each corner shrinks to half, nothing between them.
    const auto quads = LayoutNinePieceFrame(frame, {0, 0, 4, 8});
    EXPECT_EQ(Find(quads, kFrameTopLeft)->dest, (FrameRect{0, 0, 2, 4}));
    EXPECT_EQ(Find(quads, kFrameTopRight)->dest, (FrameRect{2, 0, 4, 4}));
    EXPECT_EQ(Find(quads, kFrameTop), nullptr);
    EXPECT_TRUE(LayoutNinePieceFrame(frame, {0, 0, 0, 0}).empty());
    frame.scale = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(LayoutNinePieceFrame(frame, {0, 0, 40, 40}).empty());
}

TEST(NinePieceFrameTest, TiledEdgesCutTheLastTileAndCellsAreClipped)
{
    AnimSurface image;
    MakeImage(image, 12, 12);
    NinePieceFrame frame;
    SetFrameFromImage(frame, &image);
    frame.tileEdges = true;
    std::vector<FrameQuad> top;
    for (const FrameQuad& quad : LayoutNinePieceFrame(frame, {0, 0, 18, 12}))
        if (quad.piece == kFrameTop)
            top.push_back(quad);
    ASSERT_EQ(top.size(), 3u); // 4 + 4 + 2 pixels between the corners
    EXPECT_EQ(top[1].dest, (FrameRect{8, 0, 12, 4}));
    EXPECT_EQ(top[2].dest, (FrameRect{12, 0, 14, 4}));
    EXPECT_EQ(top[2].source, (RECT{4, 0, 6, 4}));

    // Cells are clipped to the image, borders too wide for it are cut down, and a missing
    // image clears the piece.
    const RECT outside{8, -5, 40, 6};
    SetFrameCell(frame, kFrameFill, &image, &outside);
    EXPECT_EQ(frame.pieces[kFrameFill].cell, (RECT{8, 0, 12, 6}));
    SetFrameCell(frame, 42, &image, &outside); // ignored
    SetFrameFromImage(frame, &image, 10, 1, 10, 1);
    EXPECT_EQ(frame.pieces[kFrameTopLeft].cell, (RECT{0, 0, 6, 1}));
    EXPECT_EQ(frame.pieces[kFrameTopRight].cell, (RECT{6, 0, 12, 1}));
    SetFrameFromImage(frame, nullptr);
    EXPECT_TRUE(LayoutNinePieceFrame(frame, {0, 0, 40, 40}).empty());
}

using NinePieceFrameDrawTest = SurfaceFixture;

TEST_F(NinePieceFrameDrawTest, ImageFrameDrawsEachCellWhereItBelongs)
{
    StartDevice();
    // A 6 x 6 image: each 2 x 2 cell its own colour.
    auto cellColour = [](int column, int row) { return 0xFF000000u | uint32_t(40 + 60 * column) << 16 | uint32_t(40 + 60 * row); };
    AddImage("Graphics\\frame.png", 6, 6, [&](int x, int y) { return cellColour(x / 2, y / 2); });
    AnimSurface* image = ImageCache::GetImage("Graphics\\frame.png");
    ASSERT_NE(image, nullptr);
    Device* device = DXManager::GetDevice();
    auto pixel = [&](int x, int y) { return DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(y)) & 0xFFFFFFu; };

    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    DrawImageFrame(image, {10, 10, 40, 30}, 255, 255, 0xFFFFFF);
    device->EndScene();
    EXPECT_EQ(pixel(10, 10), cellColour(0, 0) & 0xFFFFFFu);
    EXPECT_EQ(pixel(25, 10), cellColour(1, 0) & 0xFFFFFFu);
    EXPECT_EQ(pixel(39, 29), cellColour(2, 2) & 0xFFFFFFu);
    EXPECT_EQ(pixel(10, 20), cellColour(0, 1) & 0xFFFFFFu);
    EXPECT_EQ(pixel(25, 20), cellColour(1, 1) & 0xFFFFFFu);
    EXPECT_EQ(pixel(9, 9), 0u);
    EXPECT_EQ(pixel(40, 30), 0u);

    // Fill alpha 0 leaves the inside as it was; the border is still drawn.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    DrawImageFrame(image, {10, 10, 40, 30}, 0, 255, 0xFFFFFF);
    device->EndScene();
    EXPECT_EQ(pixel(25, 20), 0u);
    EXPECT_EQ(pixel(10, 10), cellColour(0, 0) & 0xFFFFFFu);
    ImageCache::ReleaseImage(image);
}

} // namespace
