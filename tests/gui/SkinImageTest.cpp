#include "DeviceFixture.h"

#include "gui/SkinImage.h"
#include "platform/gfx/Device.h"

namespace {

class SkinImageTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        StartScreen(64, 48);
        AddImage("Graphics\\Skin\\left.png", 4, 8, [](int, int) { return 0xFF110000u; });
        AddImage("Graphics\\Skin\\mid.png", 2, 8, [](int, int) { return 0xFF002200u; });
        AddImage("Graphics\\Skin\\right.png", 4, 8, [](int, int) { return 0xFF000033u; });
        // Two frames side by side: red, then blue.
        AddImage("Graphics\\Skin\\strip.png", 8, 4, [](int x, int) { return x < 4 ? 0xFFFF0000u : 0xFF0000FFu; });
    }
};

TEST_F(SkinImageTest, ThreeSliceStretchesTheMiddleAndNeverGivesItANegativeWidth)
{
    SkinImage left("Graphics\\Skin", "left.png"), mid("Graphics\\Skin\\", "mid.png"), right("Graphics\\Skin", "right.png");
    EXPECT_FLOAT_EQ(ThreeSliceMiddleWidth(left, right, 40, 1.0f), 32.0f);
    EXPECT_FLOAT_EQ(ThreeSliceMiddleWidth(left, right, 40, 2.0f), 24.0f);
    EXPECT_FLOAT_EQ(ThreeSliceMiddleWidth(left, right, 5, 1.0f), 0.0f);

    DrawFrame([&] { DrawThreeSlice(left, mid, right, 2, 2, 40, 1.0f); });
    EXPECT_EQ(Pixel(3, 5), 0x110000u);
    EXPECT_EQ(Pixel(20, 5), 0x002200u);
    EXPECT_EQ(Pixel(40, 5), 0x000033u);
    EXPECT_EQ(Pixel(42, 5), 0u);
    // Narrower than its caps: the caps keep their size side by side, no middle.
    DrawFrame([&] { DrawThreeSlice(left, mid, right, 2, 2, 5, 1.0f); });
    EXPECT_EQ(Pixel(5, 5), 0x110000u);
    EXPECT_EQ(Pixel(7, 5), 0x000033u);
    for (int x = 0; x < 64; ++x)
        EXPECT_NE(Pixel(x, 5), 0x002200u) << x;
}

TEST_F(SkinImageTest, FramesAreDrawnWithoutTouchingTheSharedImage)
{
    SkinImage strip("Graphics\\Skin", "strip.png");
    strip.SetFrameSize(4, 4);
    ASSERT_EQ(strip.FrameCount(), 2);
    const int frameBefore = strip.get()->currentFrame;
    DrawFrame([&] { strip.Draw(10, 10, 2.0f, 0xFFFFFFFF, 1); });
    EXPECT_EQ(Pixel(10, 10), 0x0000FFu);
    EXPECT_EQ(Pixel(17, 17), 0x0000FFu);
    EXPECT_EQ(Pixel(18, 18), 0u);
    EXPECT_EQ(strip.get()->currentFrame, frameBefore);
    DrawFrame([&] { strip.Draw(10, 10, 1.0f, 0xFFFFFFFF, 7); }); // clamped to the last frame
    EXPECT_EQ(Pixel(11, 11), 0x0000FFu);

    // One reference per holder, given back when the holder goes.
    const int references = ImageCache::ReferenceCount(strip.get());
    {
        SkinImage second("Graphics\\Skin", "strip.png");
        EXPECT_EQ(ImageCache::ReferenceCount(strip.get()), references + 1);
        SkinImage moved(std::move(second));
        EXPECT_EQ(second.get(), nullptr);
    }
    EXPECT_EQ(ImageCache::ReferenceCount(strip.get()), references);
}

} // namespace
