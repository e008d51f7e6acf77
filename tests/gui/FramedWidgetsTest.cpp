#include "DeviceFixture.h"

#include "gui/DecoratedPrimContainer.h"
#include "gui/FlimbsWindow5.h"
#include "gui/GuiDevice.h"
#include "gui/RectControl.h"
#include "gui/WindowList.h"
#include "platform/gfx/Device.h"

namespace {

// A 128 x 768 screen: skin pictures are drawn at their own size.
class FramedWidgetsTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        StartScreen(128, 768);
    }
    void TearDown() override
    {
        ResetGuiInput();
        DeviceFixture::TearDown();
    }
};

constexpr uint32_t kPieceColours[] = {0x110000, 0x220000, 0x330000, 0x440000, 0x550000, 0x660000, 0x00AA00};
constexpr const char* kPieceNames[] = {"top-left.png",    "top.png",    "top-right.png", "bottom-left.png",
                                       "bottom.png",      "bottom-right.png", "fill.png"};

TEST_F(FramedWidgetsTest, DecoratedContainerDrawsStripsFillAndChildrenThenReleasesItsPictures)
{
    for (int i = 0; i < 7; ++i)
        AddImage(std::string("Graphics\\Test\\Deco\\") + kPieceNames[i], 4, 4,
                 [&](int, int) { return 0xFF000000u | kPieceColours[i]; });
    const size_t cachedBefore = ImageCache::CachedImageCount();
    {
        DecoratedPrimContainer box("Graphics\\Test\\Deco\\", true);
        EXPECT_EQ(box.Folder(), "Graphics\\Test\\Deco");
        EXPECT_STREQ(box.Frame().pieces[kFrameTop].image->GetName(), "Graphics\\Test\\Deco\\top.png");
        PlacePixels(box, 10, 10, 40, 30);
        auto* rule = new RectControl(0, 0xFF0000FFu);
        box.AddChild(rule);
        PlacePixels(*rule, 10, 10, 20, 2);
        DrawFrame([&] { box.Draw(); });
        EXPECT_EQ(Pixel(10, 10), kPieceColours[0]);
        EXPECT_EQ(Pixel(30, 11), kPieceColours[1]);
        EXPECT_EQ(Pixel(49, 13), kPieceColours[2]);
        EXPECT_EQ(Pixel(10, 36), kPieceColours[3]);
        EXPECT_EQ(Pixel(30, 38), kPieceColours[4]);
        EXPECT_EQ(Pixel(49, 39), kPieceColours[5]);
        EXPECT_EQ(Pixel(10, 25), kPieceColours[6]); // the fill reaches the sides
        EXPECT_EQ(Pixel(40, 30), kPieceColours[6]);
        EXPECT_EQ(Pixel(25, 21), 0x0000FFu); // the child rule, over the fill
        EXPECT_EQ(Pixel(25, 22), kPieceColours[6]);
        EXPECT_EQ(Pixel(50, 25), 0u);

        box.alpha = 0; // an invisible frame leaves the screen as it was
        rule->alpha = 0;
        DrawFrame([&] { box.Draw(); });
        EXPECT_EQ(Pixel(10, 10), 0u);
        EXPECT_EQ(Pixel(25, 21), 0u);
        EXPECT_GT(ImageCache::CachedImageCount(), cachedBefore);
    }
    EXPECT_EQ(ImageCache::CachedImageCount(), cachedBefore);

    // A missing folder still frames the box with the fallback image and never crashes.
    DecoratedPrimContainer missing("Graphics\\Nowhere");
    PlacePixels(missing, 0, 0, 2, 2);
    DrawFrame([&] { missing.Draw(); });
    EXPECT_STREQ(missing.Frame().pieces[kFrameTopLeft].image->GetName(), "Graphics\\default.png");
}

TEST_F(FramedWidgetsTest, FlimbsWindow5IsAWindowFramedByItsSkin)
{
    auto* window = new FlimbsWindow5;
    EXPECT_TRUE(window->containerFlags & kContainerWindow);
    ASSERT_NE(window->Frame().pieces[kFrameTopLeft].image, nullptr);
    EXPECT_STREQ(window->Frame().pieces[kFrameTopLeft].image->GetName(), FlimbsWindow5::kSkinImage);
    EXPECT_EQ(window->Frame().pieces[kFrameTopLeft].cell, (gfx::RECT{0, 0, 16, 16}));
    EXPECT_EQ(window->Frame().pieces[kFrameFill].cell, (gfx::RECT{16, 16, 32, 32}));
    auto* child = new RectControl(0xFF00FF00u);
    window->AddChild(child);
    EXPECT_EQ(child->FindOwningWindow(), window);

    PlacePixels(*window, 20, 20, 60, 60);
    window->fillAlpha = 0;
    DrawFrame([&] { window->Draw(); });
    int borderPixels = 0;
    for (int y = 20; y < 36; ++y)
        for (int x = 20; x < 80; ++x)
            borderPixels += Pixel(x, y) != 0u;
    EXPECT_GT(borderPixels, 100); // the top border
    EXPECT_EQ(Pixel(50, 50), 0u); // no fill, and the child has no size
    window->name = "W5";
    OpenWindow(window, true);
    EXPECT_EQ(FindOpenWindow("W5"), window);
    CloseAllWindows();
}

} // namespace
