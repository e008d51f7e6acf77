#include "../media/SurfaceFixture.h"

#include "gui/GraphicButtons.h"
#include "gui/GuiClock.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "platform/gfx/Device.h"

namespace {

// A 64 x 48 device; a strip of four 10 x 10 frames: red, green, blue, grey.
class ImageButtonTest : public SurfaceFixture {
protected:
    void SetUp() override
    {
        SurfaceFixture::SetUp();
        StartDevice();
        AddImage("Graphics\\Test\\strip.png", 40, 10, [](int x, int) {
            static const uint32_t colours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF808080u};
            return colours[x / 10];
        });
        ResetGuiInput();
    }
    void TearDown() override
    {
        ResetGuiInput();
        SurfaceFixture::TearDown();
    }

    static uint32_t Read(int x, int y) { return DXManager::GetBackBuffer()->ReadPixel(x, y) & 0xFFFFFFu; }
    static void ClearScreen()
    {
        DXManager::GetDevice()->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    }
};

TEST_F(ImageButtonTest, GraphicButtonShowsTheFrameOfItsState)
{
    GraphicButton button("Graphics\\Test", "strip.png");
    ASSERT_NE(button.image, nullptr);
    EXPECT_EQ(button.image->frameWidth, 10);
    EXPECT_EQ(button.image->frameCount, 4);
    EXPECT_NEAR(button.rect.right - button.rect.left, 10.0f, 0.01f); // takes the frame's size
    button.SetPosition(Primitive::ToVirtualX(20), Primitive::ToVirtualY(10));
    button.SetSize(Primitive::ToVirtualX(20), Primitive::ToVirtualY(20)); // stretched
    struct Case {
        int32_t state;
        bool enabled;
        uint32_t colour;
    };
    for (const Case& c : {Case{kButtonNormal, true, 0xFF0000u}, Case{kButtonHover, true, 0x00FF00u},
                          Case{kButtonPressed, true, 0x0000FFu}, Case{kButtonNormal, false, 0x808080u}}) {
        button.state = c.state;
        button.enabled = c.enabled;
        ClearScreen();
        button.Draw();
        EXPECT_EQ(Read(30, 20), c.colour) << c.state << " " << c.enabled;
        EXPECT_EQ(Read(45, 20), 0u); // nothing beside the button
    }
}

TEST_F(ImageButtonTest, IconButtonMovesItsMarginForTheIcon)
{
    IconButton button("Go", "Graphics\\Test\\strip.png");
    ASSERT_NE(button.icon, nullptr);
    EXPECT_NEAR(button.margins.left, 40.0f + 10.0f * GetUiScale(), 0.01f);
    button.SetIcon("Graphics\\Test\\strip.png", 4, 0, false); // rows at least 1
    EXPECT_EQ(button.icon->frameWidth, 10);
    EXPECT_NEAR(button.margins.right, 10.0f + 10.0f * GetUiScale(), 0.01f);
    EXPECT_EQ(ImageCache::ReferenceCount(button.icon), 1); // the first icon was given back
    button.SetPosition(0, 0);
    button.SetSize(1000, 1000);
    button.state = kButtonPressed;
    ClearScreen();
    button.Draw();
    EXPECT_EQ(button.icon->currentFrame, 2);
    EXPECT_EQ(button.hoverAlpha, 128.0f);
}

TEST_F(ImageButtonTest, AnimButtonAdvancesItsFrames)
{
    AnimButton button("Graphics\\Test\\strip.png", 10, 10, 100);
    ASSERT_NE(button.animation, nullptr);
    SetGuiFrameElapsed(60);
    std::vector<int> frames;
    for (int n = 0; n < 10; ++n) {
        button.Draw();
        frames.push_back(button.frame);
    }
    // 60 ms a draw, 100 ms a frame, wrapping after four frames.
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 1, 2, 3, 3, 0, 0, 1, 2}));
    button.noCatchUp = 1;
    SetGuiFrameElapsed(1000);
    button.Draw();
    EXPECT_LE(button.frameClock, button.frameTime);
    SetGuiFrameElapsed(0);
}

} // namespace
