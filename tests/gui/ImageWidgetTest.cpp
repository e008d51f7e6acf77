#include "ImageWidgetFixture.h"

#include "gui/CheckBox.h"
#include "gui/ScreenImage.h"
#include "media/AnimSurface.h"

namespace {

using ImageWidgetTest = ImageWidgetFixture;

TEST_F(ImageWidgetTest, ScreenImageSizesScalesDrawsAndGivesItsImageBack)
{
    EXPECT_EQ(JoinImagePath("Common\\", "marker.png"), "Common\\marker.png");
    EXPECT_EQ(JoinImagePath("Common", "marker.png"), "Common\\marker.png");
    auto* image = new ScreenImage("Common", "marker.png");
    ASSERT_NE(image->Image(), nullptr);
    const AnimSurface* surface = image->Image();
    EXPECT_EQ(ImageCache::ReferenceCount(surface), 1);
    EXPECT_EQ(image->GetWidgetType(), 10);
    image->SetPosition(Primitive::ToVirtualX(100), Primitive::ToVirtualY(100));
    EXPECT_NEAR(image->rect.right - image->rect.left, 32.0f, 0.01f);
    image->SetScale(2.0f, 1.0f);
    EXPECT_NEAR(image->rect.right - image->rect.left, 64.0f, 0.01f);
    EXPECT_NEAR(image->rect.bottom - image->rect.top, 32.0f, 0.01f);

    Host(image);
    ClearScreen();
    ASSERT_EQ(DXManager::GetDevice()->BeginScene(), gfx::D3D_OK);
    DrawOpenWindows();
    DXManager::GetDevice()->EndScene();
    const uint32_t centre = Pixel(132, 116);
    EXPECT_GT((centre >> 16) & 0xFF, 0x80u); // the red disc
    EXPECT_EQ(Pixel(300, 300) & 0xFFFFFF, 0u);

    ScreenImage missing("Common\\no-such.png"); // the cache's default image, no failure
    EXPECT_NE(missing.Image(), nullptr);
    CloseAllWindows();
    EXPECT_EQ(ImageCache::ReferenceCount(surface), 0);
}

TEST_F(ImageWidgetTest, AnimationAdvancesByFrameTimeAndLoopsOrStops)
{
    // 192 x 48 strip of 24 x 24 frames: 16 frames.
    AnimScreenImage looping("Common\\throbber.png", 24, 24, 100, true);
    EXPECT_EQ(looping.FrameCount(), 16);
    SetGuiFrameElapsed(250);
    looping.Update();
    EXPECT_EQ(looping.Frame(), 2);
    SetGuiFrameElapsed(1400); // 50 + 1400 ms: 14 frames on, past the end
    looping.Update();
    EXPECT_EQ(looping.Frame(), 0);
    EXPECT_TRUE(looping.IsPlaying());

    AnimScreenImage once("Common\\throbber.png", 24, 24, 100, false);
    SetGuiFrameElapsed(5000);
    once.Update();
    EXPECT_EQ(once.Frame(), 15);
    EXPECT_FALSE(once.IsPlaying());
    once.Restart();
    EXPECT_EQ(once.Frame(), 0);

    AnimScreenImage odd("Common\\throbber.png", 0, 9999, 0, true); // sizes clamped, no failure
    EXPECT_EQ(odd.FrameWidth(), 1);
    EXPECT_EQ(odd.FrameHeight(), 48);
    odd.Update();
}

TEST_F(ImageWidgetTest, GraphicCheckBoxShowsItsStateFrame)
{
    GraphicCheckBox box("Common\\throbber.png", 2);
    EXPECT_EQ(box.CurrentFrame(), 0);
    box.SetChecked(true, false, false);
    EXPECT_EQ(box.CurrentFrame(), 1);
    box.SetImage("Common\\throbber.png", 3); // a look-state strip
    EXPECT_EQ(box.CurrentFrame(), 0);
    box.SetPosition(0, 0);
    EXPECT_EQ(box.HitTest(5, 5), &box);
    EXPECT_EQ(box.CurrentFrame(), 1);
}

} // namespace

#include "gui/EditBox.h"
#include "media/FontManager.h"
#include "platform/input/ScanCodes.h"

namespace {

// The lit pixels' horizontal extent within rows top..bottom.
std::pair<int, int> LitColumns(int top, int bottom)
{
    int first = 1024, last = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < 1024; ++x)
            if ((DXManager::GetBackBuffer()->ReadPixel(x, y) & 0xFF) > 0x60) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

TEST_F(ImageWidgetTest, EditBoxDrawsItsTextOnlyInsideItself)
{
    FontManager::ReleaseFonts(); // fonts made now draw on this device
    FontManager::Start();
    auto* box = new EditBox;
    box->fillColour = 0;
    box->frameColour = 0;
    box->caretColour = 0;
    box->SetPosition(Primitive::ToVirtualX(200), Primitive::ToVirtualY(100));
    box->SetSize(Primitive::ToVirtualX(120), Primitive::ToVirtualY(40));
    Host(box);
    box->TakeFocus();
    for (int i = 0; i < 40; ++i)
        Tap(kKeyH); // far wider than the box: it scrolls
    ClearScreen();
    ASSERT_EQ(DXManager::GetDevice()->BeginScene(), gfx::D3D_OK);
    DrawOpenWindows();
    DXManager::GetDevice()->EndScene();
    const auto [first, last] = LitColumns(100, 140);
    EXPECT_LE(first, last); // some text is drawn
    EXPECT_GE(first, 200);
    EXPECT_LT(last, 320);
    FontManager::ReleaseFonts();
}

} // namespace
