#include "SkinnedControlsFixture.h"

#include "gui/StretchGraphicButton.h"
#include "gui/UiScale.h"

namespace {

// Strip frames: normal, hover, pressed, disabled.
const std::vector<uint32_t> kLeftFrames = {0x100000, 0x200000, 0x300000, 0x400000};
const std::vector<uint32_t> kMiddleFrames = {0x001000, 0x002000, 0x003000, 0x004000};
const std::vector<uint32_t> kRightFrames = {0x000010, 0x000020, 0x000030, 0x000040};

class StretchGraphicButtonTest : public SkinnedControlsFixture {
protected:
    void SetUp() override
    {
        SkinnedControlsFixture::SetUp();
        AddSkin("Graphics\\Menu\\FlimbsButton\\button-");
    }
    void AddSkin(const std::string& prefix)
    {
        AddStrip(prefix + "left.png", 42, 32, kLeftFrames);
        AddStrip(prefix + "mid.png", 32, 32, kMiddleFrames);
        AddStrip(prefix + "right.png", 42, 32, kRightFrames);
    }
    // A captionless button with the default tint (the images as they are) at (100, 100) of
    // the given pixel width.
    FlimbsButton* MakeButton(float width)
    {
        auto* button = new FlimbsButton;
        button->SetPosition(Primitive::ToVirtualX(100), Primitive::ToVirtualY(100));
        button->SetSize(Primitive::ToVirtualX(width), kKeepCoordinate);
        return button;
    }
};

TEST_F(StretchGraphicButtonTest, TheDrawnFrameFollowsTheButtonsState)
{
    FlimbsButton* button = MakeButton(200);
    Host(button);
    struct Case {
        int state;
        bool enabled;
        int frame;
    } const cases[] = {{kButtonNormal, true, 0}, {kButtonHover, true, 1}, {kButtonPressed, true, 2},
                       {kButtonNormal, false, 3}, {kButtonPressed, false, 3}};
    for (const Case& c : cases) {
        button->state = c.state;
        button->enabled = c.enabled ? 1 : 0;
        EXPECT_EQ(button->FrameForState(), c.frame);
        DrawFrame([&] { button->Draw(); });
        EXPECT_EQ(Pixel(110, 116), kLeftFrames[size_t(c.frame)]) << c.frame;
        EXPECT_EQ(Pixel(200, 116), kMiddleFrames[size_t(c.frame)]) << c.frame;
        EXPECT_EQ(Pixel(290, 116), kRightFrames[size_t(c.frame)]) << c.frame;
        EXPECT_EQ(Pixel(301, 116), 0u);
    }

    // Through the pointer: a press shows the pressed frame, the release the normal one.
    button->enabled = 1;
    button->state = kButtonNormal;
    int clicks = 0;
    button->onClick = [&](Primitive*, Button*) { ++clicks; };
    RouteLeftButton(kPhaseDown, GuiTestNow(), 150, 110);
    DrawFrame([&] { button->Draw(); });
    EXPECT_EQ(Pixel(110, 116), kLeftFrames[2]);
    RouteLeftButton(kPhaseUp, GuiTestNow(), 150, 110);
    EXPECT_EQ(clicks, 1);
    EXPECT_NE(button->FrameForState(), 2);
}

TEST_F(StretchGraphicButtonTest, SizeFollowsTheImagesAndAGivenHeightRescalesThem)
{
    auto button = std::unique_ptr<FlimbsButton>(MakeButton(200));
    EXPECT_FLOAT_EQ(button->ImageScale(), 1.0f);
    EXPECT_NEAR(button->rect.bottom - button->rect.top, 32.0f, 0.01f); // -999 keeps the images' height
    EXPECT_NEAR(button->MiddleWidth(), 200.0f - 84.0f, 0.01f);
    float width = 0, height = 0;
    ASSERT_TRUE(button->GetSize(&width, &height));
    EXPECT_NEAR(Primitive::ToPixelsY(height), 32.0f, 0.01f); // caption height raised to the images'

    button->SetSize(kKeepCoordinate, Primitive::ToVirtualY(64));
    EXPECT_FLOAT_EQ(button->ImageScale(), 2.0f);
    EXPECT_NEAR(button->rect.right - button->rect.left, 200.0f, 0.01f); // the width is kept
    EXPECT_NEAR(button->rect.bottom - button->rect.top, 64.0f, 0.01f);
    EXPECT_NEAR(button->MiddleWidth(), 200.0f - 168.0f, 0.01f);
    ASSERT_TRUE(button->GetSize(&width, &height));
    EXPECT_NEAR(Primitive::ToPixelsY(height), 64.0f, 0.01f);
    DrawFrame([&] { button->Draw(); });
    EXPECT_EQ(Pixel(180, 160), kLeftFrames[0]); // the cap is 84 wide now
    EXPECT_EQ(Pixel(200, 160), kMiddleFrames[0]);
    EXPECT_EQ(Pixel(220, 160), kRightFrames[0]);
    EXPECT_EQ(Pixel(180, 170), 0u);

    // -999 after a given height keeps the rescaled images' height.
    button->SetSize(Primitive::ToVirtualX(300), kKeepCoordinate);
    EXPECT_NEAR(button->rect.bottom - button->rect.top, 64.0f, 0.01f);
}

TEST_F(StretchGraphicButtonTest, NarrowerThanItsCapsTheMiddleGetsNoWidth)
{
    auto button = std::unique_ptr<FlimbsButton>(MakeButton(50));
    EXPECT_FLOAT_EQ(button->MiddleWidth(), 0.0f);
    DrawFrame([&] { button->Draw(); });
    for (int x = 90; x < 200; ++x)
        EXPECT_NE(Pixel(x, 116), kMiddleFrames[0]) << x;
    EXPECT_EQ(Pixel(110, 116), kLeftFrames[0]);
    // Degenerate sizes draw nothing wrong and never fail.
    for (const float h : {0.0f, -5.0f}) {
        button->SetSize(0.0f, Primitive::ToVirtualY(h));
        EXPECT_GE(button->ImageScale(), 0.0f);
        EXPECT_FLOAT_EQ(button->MiddleWidth(), 0.0f);
        DrawFrame([&] { button->Draw(); });
    }
}

TEST_F(StretchGraphicButtonTest, EachSkinLoadsItsStripsWithTheDoubledTint)
{
    // Without its images a skin draws nothing and never fails.
    {
        FlimbsButton2 bare("x");
        EXPECT_EQ(bare.LeftImage().get(), nullptr);
        PlacePixels(bare, 100, 100, 200, 32);
        DrawFrame([&] { bare.Draw(); });
        EXPECT_EQ(Pixel(110, 116), 0u);
    }
    AddSkin("Graphics\\Menu\\FlimbsButton\\button2-");
    AddSkin("Graphics\\Menu\\FlimbsButton\\button3-");
    AddSkin("Graphics\\Menu\\VoiceBubbleButton\\");
    struct Case {
        std::unique_ptr<StretchGraphicButton> button;
        const char* left;
        const char* middle;
        const char* right;
    };
    Case cases[] = {
        {std::make_unique<FlimbsButton>("A"), "Graphics\\Menu\\FlimbsButton\\button-left.png",
         "Graphics\\Menu\\FlimbsButton\\button-mid.png", "Graphics\\Menu\\FlimbsButton\\button-right.png"},
        {std::make_unique<FlimbsButton2>("B"), "Graphics\\Menu\\FlimbsButton\\button2-left.png",
         "Graphics\\Menu\\FlimbsButton\\button2-mid.png", "Graphics\\Menu\\FlimbsButton\\button2-right.png"},
        {std::make_unique<FlimbsButton3>("C"), "Graphics\\Menu\\FlimbsButton\\button3-left.png",
         "Graphics\\Menu\\FlimbsButton\\button3-mid.png", "Graphics\\Menu\\FlimbsButton\\button3-right.png"},
        {std::make_unique<VoiceBubbleButton>("D"), "Graphics\\Menu\\VoiceBubbleButton\\left.png",
         "Graphics\\Menu\\VoiceBubbleButton\\mid.png", "Graphics\\Menu\\VoiceBubbleButton\\right.png"},
    };
    for (Case& c : cases) {
        StretchGraphicButton& button = *c.button;
        ASSERT_NE(button.LeftImage().get(), nullptr);
        ASSERT_NE(button.MiddleImage().get(), nullptr);
        ASSERT_NE(button.RightImage().get(), nullptr);
        EXPECT_STREQ(button.LeftImage().get()->GetName(), c.left);
        EXPECT_STREQ(button.MiddleImage().get()->GetName(), c.middle);
        EXPECT_STREQ(button.RightImage().get()->GetName(), c.right);
        EXPECT_EQ(button.tint, 0xFF808080u);
        EXPECT_EQ(button.caption.size(), 1u);
        EXPECT_FLOAT_EQ(button.margins.left, 15.0f * GetUiScale());
        EXPECT_FLOAT_EQ(button.margins.top, 3.5f * GetUiScale());
        EXPECT_FLOAT_EQ(button.margins.bottom, 4.0f * GetUiScale());
    }

    // The tint is doubled: the default shows the skin's colours as they are, a quarter tint
    // halves them, a full tint doubles them.
    FlimbsButton* button = MakeButton(200);
    for (const auto& [tint, expected] : {std::pair{0xFF808080u, 0x10}, std::pair{0xFF404040u, 0x08},
                                         std::pair{0xFFFFFFFFu, 0x20}}) {
        button->tint = tint;
        DrawFrame([&] { button->Draw(); });
        EXPECT_NEAR(double(Pixel(110, 116) >> 16), expected, 1.0) << std::hex << tint;
    }
    delete button;

    // The optional icon sits before the caption and pushes it right.
    AddStrip("Graphics\\Menu\\IconButton\\head.png", 20, 20, {0x00FFFF});
    VoiceBubbleButton bubble("Start");
    bubble.tint = 0xFFFFFFFF;
    bubble.SetIcon("Graphics\\Menu\\IconButton\\head.png", 6.0f, 1.0f);
    EXPECT_FLOAT_EQ(bubble.margins.left, 6.0f + 20.0f + 5.0f);
    PlacePixels(bubble, 100, 100, 200, 32);
    DrawFrame([&] { bubble.Draw(); });
    EXPECT_EQ(Pixel(110, 116), 0x00FFFFu);
    bubble.SetIcon("", 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(bubble.margins.left, 15.0f);
    // A missing icon file never fails.
    bubble.SetIcon("Graphics\\Nowhere\\none.png", 6.0f, 1.0f);
    EXPECT_FLOAT_EQ(bubble.margins.left, 15.0f);
    DrawFrame([&] { bubble.Draw(); });
}

} // namespace
