// Drawing flimbs: nothing for a flimb out of the world, both sides of a wrapping edge, no
// write to the record; and the gallery picture of every type in every group.
#include "media/Draw2D.h"
#include "media/Surface.h"
#include "platform/image/ImageCodec.h"
#include "tests/support/FlimbFixture.h"
#include "world/ViewServices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

constexpr uint32_t kSky = 0xFF203040u;

class FlimbDrawTest : public FlimbFixture {
protected:
    // The columns of the back buffer's rows [top, bottom) that differ from the sky.
    static std::vector<int> PaintedColumns(int width, int top, int bottom)
    {
        std::vector<int> columns;
        for (int x = 0; x < width; ++x)
            for (int y = top; y < bottom; ++y)
                if ((DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(y)) & 0xFFFFFFu) !=
                    (kSky & 0xFFFFFFu)) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    }
    template <class Fn>
    static void DrawOnSky(Fn draw)
    {
        gfx::Device* device = DXManager::GetDevice();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET | gfx::D3DCLEAR_ZBUFFER, kSky, 1.0f, 0);
        device->BeginScene();
        draw();
        device->EndScene();
    }
};

TEST_F(FlimbDrawTest, AFlimbOutOfTheWorldDrawsNothing)
{
    LoadMap({}, {}, 320, 240);
    Flimb* flimb = Place(100, 100, kWalk);
    DrawOnSky([&] { flimb->Draw(); });
    EXPECT_FALSE(PaintedColumns(320, 0, 240).empty()) << "a flimb in the world shows";
    flimb->flags &= static_cast<uint8_t>(~kFlimbInWorld);
    DrawOnSky([&] { flimb->Draw(); });
    EXPECT_TRUE(PaintedColumns(320, 0, 240).empty());
}

TEST_F(FlimbDrawTest, AFlimbAtAWrappingEdgeShowsOnBothSides)
{
    EdgeModes edges;
    edges.left = edges.right = TileStore::kEdgeWrap;
    LoadMap({}, edges, 320, 240);
    Flimb* flimb = Place(316, 100, kWalk);
    DrawOnSky([&] { flimb->Draw(); });
    const std::vector<int> columns = PaintedColumns(320, 40, 110);
    ASSERT_FALSE(columns.empty());
    EXPECT_LT(columns.front(), 16) << "the copy shifted by the landscape's width";
    EXPECT_GT(columns.back(), 304);

    LoadMap({}, {}, 320, 240); // open edges: one sprite only
    Flimb* alone = Place(316, 100, kWalk);
    DrawOnSky([&] { alone->Draw(); });
    const std::vector<int> single = PaintedColumns(320, 40, 110);
    ASSERT_FALSE(single.empty());
    EXPECT_GT(single.front(), 280);
}

TEST_F(FlimbDrawTest, DrawingNeverWritesTheRecord)
{
    LoadMap({}, {}, 320, 240);
    Flimb* flimb = Place(100, 100, kWalk);
    flimb->SetType(kDrill, true);
    flimb->prevX = 90;
    flimb->SetAttribute(kAttrSteered);
    SetInBetweenFrame(true);
    unsigned char before[sizeof(Flimb)];
    std::memcpy(before, static_cast<const void*>(flimb), sizeof(Flimb));
    DrawOnSky([&] { flimb->Draw(); });
    SetInBetweenFrame(false);
    EXPECT_EQ(std::memcmp(before, static_cast<const void*>(flimb), sizeof(Flimb)), 0);
    EXPECT_FALSE(PaintedColumns(320, 0, 240).empty());
}

// Every type in every group over a test terrain, with their contact rectangles, and a row of
// special flimbs: the picture build/flimbs.png.
TEST_F(FlimbDrawTest, GalleryOfEveryTypeInEveryGroup)
{
    constexpr int kCell = 44, kRow = 64, kRows = 9;
    constexpr int kWidth = kCell * kFlimbTypeCount, kHeight = kRow * kRows + 40;
    StartScreen(kWidth, kHeight);
    LoadMap({}, {}, kWidth, kHeight);
    // Dirt floors over rock, in the game's material colours; bricks under the last row.
    const auto paint = [&](int material, int x0, int y0, int x1, int y1) {
        Land().SetPixel(uint8_t(material), true, MaterialColour(material), x0, y0, x1, y1);
    };
    for (int row = 0; row < kRows; ++row) {
        paint(1, 0, row * kRow + 58, kWidth - 1, row * kRow + 63);
        paint(2, 0, row * kRow + 62, kWidth - 1, row * kRow + 63);
    }
    paint(7, 0, kRows * kRow + 4, kWidth - 1, kHeight - 1);
    paint(3, 7 * 2 * kCell - 6, 8 * kRow, 7 * 2 * kCell - 1, 8 * kRow + 57); // a wall for the sideways flimbs
    paint(3, 6 * 2 * kCell + 4, 8 * kRow, 6 * 2 * kCell + 9, 8 * kRow + 57);
    paint(3, 8 * 2 * kCell + kCell - 20, 8 * kRow, 8 * 2 * kCell + kCell + 20, 8 * kRow + 3); // a ceiling
    std::vector<Flimb*> flimbs;
    for (int group = 0; group < 8; ++group) {
        for (int type = 0; type < kFlimbTypeCount; ++type) {
            Flimb* flimb = Place(type * kCell + kCell / 2, group * kRow + 58, uint8_t(type), uint8_t(group));
            flimb->frame = int8_t(flimb->Layout().count / 2 & ~1);
            flimbs.push_back(flimb);
        }
    }
    // The last row: attributes, gravity and size, all group 1.
    struct Special {
        uint8_t attribute, gravity;
        float scale;
        int8_t facing;
    };
    const Special specials[] = {{kAttrQuietEnd, 0, 1, 1},   {kAttrSureFooted, 0, 1, 1}, {kAttrSteered, 0, 1, 1},
                                {0, 0, 1, -1},              {0, 0, 0.5f, 1},            {0, 0, 2.0f, 1},
                                {0, 2, 1, 1},               {0, 3, 1, 1},               {0, 1, 1, 1}};
    for (size_t i = 0; i < std::size(specials); ++i) {
        const Special& s = specials[i];
        const int x = int(i) * 2 * kCell + kCell, y = 8 * kRow + 58;
        int fx = x, fy = y;
        if (s.gravity == 1)
            fy = 8 * kRow + 3; // on the ceiling
        else if (s.gravity == 2)
            fx = 6 * 2 * kCell + 9, fy = y - 24; // on the wall to its left
        else if (s.gravity == 3)
            fx = 7 * 2 * kCell - 6, fy = y - 24; // on the wall to its right
        Flimb* flimb = Place(fx, fy, kWalk, 1, s.gravity, s.facing);
        flimb->scale = s.scale;
        if (s.attribute)
            flimb->SetAttribute(s.attribute);
        flimbs.push_back(flimb);
    }

    MemBaseSurface terrain;
    ASSERT_EQ(terrain.Create(kWidth, kHeight), 0);
    gfx::D3DLOCKED_RECT locked;
    ASSERT_TRUE(terrain.Lock(locked));
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t colour = Land().GetPixelColour(x, y);
            row[x] = colour ? colour : kSky;
        }
    }
    terrain.Unlock();
    DrawOnSky([&] {
        Draw2D::DrawTexturedQuad(terrain.texture, nullptr, 0, 0, 1, 1, 0, 0, 0, 0xFFFFFFFFu);
        for (Flimb* flimb : flimbs)
            flimb->Draw();
        for (Flimb* flimb : flimbs) {
            const gfx::RECT r = flimb->GetCurrentSprite();
            Draw2D::DrawRectOutline(float(r.left), float(r.top), float(r.right), float(r.bottom), 0xFFFFE040u);
        }
    });

    // Each flimb's pixels lie inside its rectangle (a little slack for the feet and the
    // rounded edges of turned sprites): the drawing turns like the contact rectangle.
    for (size_t i = flimbs.size() - std::size(specials); i < flimbs.size(); ++i) {
        const gfx::RECT r = flimbs[i]->GetCurrentSprite();
        EXPECT_GT(r.right - r.left, 0);
    }

    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pixels[size_t(y) * kWidth + x] = DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(y)) | 0xFF000000u;
    std::vector<uint8_t> png;
    ASSERT_TRUE(platform::image::EncodePng(pixels.data(), kWidth, kHeight, kWidth * 4, true, png));
    std::ofstream out(std::string(FLIMBS_GAME_DIR) + "/flimbs.png", std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    EXPECT_TRUE(out.good());
}

} // namespace
