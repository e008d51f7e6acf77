#include "WidgetFixture.h"

#include "gui/Button.h"
#include "gui/GraphicButtons.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"
#include "platform/input/ScanCodes.h"

namespace {

class ButtonTest : public WidgetFixture {
protected:
    // A button at (100, 100)-(200, 140) in an open window; counts its callbacks.
    template <class T = Button>
    T* MakeButton()
    {
        auto* window = MakeWindow("w", 0, 0, 1000, 1000);
        auto* button = new T;
        button->SetPosition(100, 100);
        button->SetSize(100, 40);
        button->onClick = [this](Primitive* owner, Button* which) {
            ++clicks;
            EXPECT_EQ(owner, which->parent);
        };
        button->onRightClick = [this](Primitive*, Button*) { ++rightClicks; };
        window->AddChild(button);
        OpenWindow(window, true);
        return button;
    }

    int clicks = 0;
    int rightClicks = 0;
};

TEST_F(ButtonTest, RepeatWhileHeldThenOneClickOnRelease)
{
    struct Case {
        int32_t repeat;
        uint32_t holdMs;
        int minHeldClicks, maxHeldClicks;
    };
    for (const Case& c : {Case{500, 2000, 3, 4}, Case{500, 400, 0, 0}, Case{-1, 2000, 0, 0}}) {
        SCOPED_TRACE(c.repeat);
        CloseAllWindows();
        clicks = 0;
        sounds.clear();
        Button* button = MakeButton();
        button->repeatInterval = c.repeat;
        RouteLeftButton(kPhaseDown, GuiTestNow(), 150, 120);
        EXPECT_EQ(button->state, kButtonPressed);
        EXPECT_EQ(clicks, 0);
        Hold(c.holdMs, 150, 120);
        EXPECT_GE(clicks, c.minHeldClicks);
        EXPECT_LE(clicks, c.maxHeldClicks);
        const int held = clicks;
        RouteLeftButton(kPhaseUp, GuiTestNow(), 150, 120);
        EXPECT_EQ(clicks, held + 1);
        EXPECT_EQ(SoundCount(kSoundButtonClick), held + 1);
        EXPECT_EQ(button->state, kButtonNormal);
    }
}

TEST_F(ButtonTest, ClickOnPressClicksOnceAndReleaseOutsideDoesNothing)
{
    Button* button = MakeButton();
    button->clickOnPress = 1;
    RouteLeftButton(kPhaseDown, GuiTestNow(), 150, 120);
    EXPECT_EQ(clicks, 1);
    RouteLeftButton(kPhaseUp, GuiTestNow(), 150, 120);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SoundCount(kSoundButtonClick), 1);

    button->clickOnPress = 0;
    RouteLeftButton(kPhaseDown, GuiTestNow(), 150, 120);
    RouteLeftButton(kPhaseUp, GuiTestNow(), 500, 500); // released off the button
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, RightClickAlwaysSoundsAndClickSoundSwitchesOnlyTheLeft)
{
    Button* button = MakeButton();
    button->clickSound = 0;
    RouteRightButton(kPhaseDown, GuiTestNow(), 150, 120);
    EXPECT_EQ(rightClicks, 0);
    RouteRightButton(kPhaseUp, GuiTestNow(), 150, 120);
    EXPECT_EQ(rightClicks, 1);
    EXPECT_EQ(SoundCount(kSoundButtonClick), 1);

    RouteLeftButton(kPhaseDown, GuiTestNow(), 150, 120);
    RouteLeftButton(kPhaseUp, GuiTestNow(), 150, 120);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SoundCount(kSoundButtonClick), 1);

    button->rightRepeatInterval = 300;
    RouteRightButton(kPhaseDown, GuiTestNow(), 150, 120);
    Hold(1000, 150, 120);
    EXPECT_EQ(rightClicks, 3); // two repeats, each more than 300 ms after the last
    RouteRightButton(kPhaseUp, GuiTestNow(), 150, 120);
    EXPECT_EQ(rightClicks, 4);
    EXPECT_EQ(SoundCount(kSoundButtonClick), 4);
}

TEST_F(ButtonTest, KeyboardActivationWhileFocused)
{
    Button* button = MakeButton();
    SetKeyboardFocus(button);
    EXPECT_EQ(Key(0x80, kKeySpace), 0); // activation off: not taken
    EXPECT_EQ(button->state, kButtonNormal);

    button->keyboardActivation = 1;
    for (int code : {kKeySpace, kKeyEnter}) {
        const int before = clicks;
        EXPECT_EQ(Key(0x80, code), 1);
        EXPECT_EQ(button->state, kButtonPressed);
        EXPECT_EQ(clicks, before); // fires on key up
        EXPECT_EQ(Key(0, code), 1);
        EXPECT_EQ(button->state, kButtonNormal);
    }
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(sounds.empty()); // keyboard activation is silent
    EXPECT_EQ(Key(0x80, 30), 0); // other keys pass on

    SetKeyboardFocus(nullptr);
    EXPECT_EQ(button->OnKey(0x80, kKeySpace, false, keyboard), 0); // not focused
}

TEST_F(ButtonTest, DisabledButtonIgnoresMouseRightButtonAndKeyboard)
{
    Button* button = MakeButton();
    button->keyboardActivation = 1;
    button->clickOnPress = 1;
    button->repeatInterval = 0;
    button->rightRepeatInterval = 0;
    button->enabled = 0;
    // Straight to the button: the router would skip a disabled primitive anyway.
    for (int phase : {kPhaseDown, kPhaseHeld, kPhaseUp}) {
        GuiTestNow() += 100;
        button->OnLeftButton(150, 120, phase);
        button->OnRightButton(150, 120, phase);
    }
    SetKeyboardFocus(button);
    EXPECT_EQ(button->OnKey(0x80, kKeySpace, false, keyboard), 0);
    EXPECT_EQ(button->OnKey(0, kKeySpace, false, keyboard), 0);
    button->Click();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(rightClicks, 0);
    EXPECT_TRUE(sounds.empty());
}

TEST_F(ButtonTest, HoverCursorAndPointerLeft)
{
    Button* button = MakeButton();
    UpdateGuiInput(150, 120);
    EXPECT_EQ(button->state, kButtonHover);
    EXPECT_EQ(GetPointerCursorName(), "pointer-focus");
    UpdateGuiInput(600, 600);
    EXPECT_EQ(button->state, kButtonNormal);
    button->onClick = nullptr;
    EXPECT_EQ(button->GetCursorName(), "regular");
    EXPECT_EQ(button->HitTest(600, 600), nullptr);
}

TEST_F(ButtonTest, PulseStaysBetween150And255)
{
    Button* button = MakeButton();
    button->pulseMode = kPulseAlways;
    float low = 255.0f, high = 0.0f;
    for (uint32_t elapsed : {16u, 33u, 250u, 1000u, 5u, 700u}) {
        SetGuiFrameElapsed(elapsed);
        for (int frame = 0; frame < 40; ++frame) {
            button->Update();
            low = std::min(low, button->pulseAlpha);
            high = std::max(high, button->pulseAlpha);
        }
    }
    EXPECT_EQ(low, 150.0f);
    EXPECT_EQ(high, 255.0f);

    // Hover mode runs only while hovered; otherwise the pulse is reset.
    button->pulseMode = kPulseOnHover;
    SetGuiFrameElapsed(100);
    button->state = kButtonHover;
    button->pulseAlpha = 255.0f;
    button->pulseDirection = -1;
    button->Update();
    EXPECT_FLOAT_EQ(button->pulseAlpha, 255.0f - 20.4f);
    button->state = kButtonNormal;
    button->Update();
    EXPECT_EQ(button->pulseAlpha, 255.0f);

    button->pulseMode = kPulseOnFocus;
    button->pulseAlpha = 200.0f;
    button->Update();
    EXPECT_EQ(button->pulseAlpha, 255.0f);
    SetKeyboardFocus(button);
    button->Update();
    EXPECT_LT(button->pulseAlpha, 255.0f);
}

TEST_F(ButtonTest, TextAndSimpleButtonsLayOutTheirCaption)
{
    auto* button = MakeButton<SimpleButton>();
    EXPECT_EQ(button->margins, (FloatRect{5.0f * GetUiScale(), 3.0f * GetUiScale(), 5.0f * GetUiScale(),
                                          3.0f * GetUiScale()}));
    float emptyW = 0, emptyH = 0, w = 0, h = 0;
    ASSERT_TRUE(button->GetSize(&emptyW, &emptyH));
    button->SetCaption("Start the level");
    EXPECT_EQ(button->caption, "Start the level");
    EXPECT_EQ(button->GetText(), "Start the level");
    ASSERT_TRUE(button->GetSize(&w, &h));
    EXPECT_GT(w, emptyW + 20.0f);
    EXPECT_GE(h, emptyH);
    button->AdjustSize(3, 0, 0);
    EXPECT_NEAR(button->GetSizeVirtual().x, w, 0.01f);

    EXPECT_EQ(button->Background().fill, 0xFF000000u);
    EXPECT_EQ(button->Background().flags, 255u);
    const int x = static_cast<int>(button->rect.left) + 1;
    const int y = static_cast<int>(button->rect.top) + 1;
    UpdateGuiInput(x, y);
    EXPECT_EQ(button->Background().fill, 0xFF555555u);
    RouteLeftButton(kPhaseDown, GuiTestNow(), x, y);
    EXPECT_EQ(button->Background().fill, 0xFF007777u);
    EXPECT_EQ(button->Background().rect, button->rect);
    button->Draw(); // no device: draws nothing, fails nothing
}

TEST_F(ButtonTest, ImageButtonsWithoutImagesStillBehave)
{
    // No file manager here: the image cache gives nothing, and the buttons still click.
    auto* graphic = MakeButton<GraphicButton>();
    graphic->pulseMode = kPulseAlways;
    graphic->pulseAlpha = 170.0f;
    EXPECT_EQ(graphic->DrawAlpha(), 170);
    graphic->enabled = 0;
    EXPECT_EQ(graphic->DrawAlpha(), 255);
    graphic->enabled = 1;
    graphic->Draw();
    RouteLeftButton(kPhaseDown, GuiTestNow(), 150, 120);
    RouteLeftButton(kPhaseUp, GuiTestNow(), 150, 120);
    EXPECT_EQ(clicks, 1);

    auto* anim = MakeButton<AnimButton>();
    SetGuiFrameElapsed(500);
    anim->Draw();
    float w = 0, h = 0;
    EXPECT_TRUE(anim->GetSize(&w, &h));
    EXPECT_NEAR(w, 100.0f, 0.01f);
}

} // namespace
