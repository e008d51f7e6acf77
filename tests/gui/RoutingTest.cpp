#include "GuiFixture.h"

#include "media/ButtonPresses.h"
#include "media/MSManager.h"

namespace {

class RoutingTest : public GuiFixture {
protected:
    void TearDown() override
    {
        RemoveGuiInputRouting();
        buttonPresses.Clear();
        GuiFixture::TearDown();
    }
};

// A device whose codes are their own press-record indices and which binds nothing.
class BareDevice : public IInputDevice {
public:
    void Init(platform::InputSystem&) override {}
    int WaitForEvent() override { return -1; }
    bool IsButtonDown(int) const override { return false; }
    int BindButton(int, ActionHandler, int, int) override { return 0; }
    bool Acquire() override { return true; }
    const ButtonBinding* Binding(int) const override { return nullptr; }
    int PressRecordIndex(int code) const override { return code; }
};

TEST_F(RoutingTest, OpeningFindingAndClosingWindows)
{
    auto* back = MakeWindow("back", 0, 0, 100, 100);
    auto* front = MakeWindow("front", 0, 0, 100, 100);
    auto* field = new Probe("FIELD");
    front->AddChild(field);
    OpenWindow(back, false);
    OpenWindow(front, true);
    UpdateGuiInput(500, 500); // clears the changed flag
    OpenWindow(back, true);
    EXPECT_FALSE(WindowListChanged());
    EXPECT_EQ(OpenWindows(), (std::vector<Primitive*>{front, back}));

    EXPECT_EQ(FindOpenWindow("back"), back);
    EXPECT_EQ(FindOpenWindow("FIELD"), field);
    EXPECT_EQ(FindOpenWindow("field"), nullptr);
    EXPECT_TRUE(IsWindowOpen(front));
    front->Deactivate();
    EXPECT_FALSE(IsWindowOpen(front));
    EXPECT_EQ(FindOpenWindow("FIELD"), nullptr);

    Probe::destroyed = 0;
    UpdateGuiInput(500, 500); // the closed window is dropped and deleted
    EXPECT_EQ(Probe::destroyed, 1);
    EXPECT_EQ(OpenWindows(), (std::vector<Primitive*>{back}));
    EXPECT_FALSE(IsWindowOpen(nullptr));

    back->deleteWhenClosed = 0;
    CloseAllWindows();
    EXPECT_TRUE(OpenWindows().empty());
    EXPECT_FALSE(back->active);
    OpenWindow(back, false); // reopened: shown and active again
    EXPECT_TRUE(IsWindowOpen(back));
    EXPECT_TRUE(back->visible && back->highlight);
    CloseWindow(back);
    delete back;
}

TEST_F(RoutingTest, PressOnAModalWindowNeverReachesTheOthers)
{
    auto* window = MakeWindow("w", 0, 0, 1000, 1000);
    auto* button = (new Probe("button"))->At(0, 0, 100, 100);
    window->AddChild(button);
    OpenWindow(window, false);
    auto* modal = new Probe("modal", false); // takes nothing
    OpenWindow(modal, true);
    SetModalWindow(modal, true);

    RouteLeftButton(kPhaseDown, 1000, 50, 50);
    RouteWheel(-120);
    EXPECT_EQ(Events(), (std::vector<std::string>{"modal:left2", "modal:wheel0"}));
    EXPECT_EQ(GetLeftCapture(), nullptr);

    modal->visible = 0; // a hidden modal window does not block
    RouteLeftButton(kPhaseDown, 1000, 50, 50);
    EXPECT_EQ(GetLeftCapture(), button);
    EXPECT_EQ(GetKeyboardFocus(), button);
}

TEST_F(RoutingTest, ReleaseRepeatAndHoverFollowTheCapture)
{
    auto* window = MakeWindow("w", 0, 0, 1000, 1000);
    auto* a = (new Probe("a"))->At(0, 0, 100, 100);
    auto* b = (new Probe("b"))->At(200, 0, 100, 100);
    a->leftRepeat = RepeatSetting{1, 300, 100};
    window->AddChild(a);
    window->AddChild(b);
    OpenWindow(window, false);

    UpdateGuiInput(50, 50);
    EXPECT_EQ(GetHoverPrimitive(), a);
    EXPECT_EQ(GetPointerCursorName(), "a-cursor");
    RouteLeftButton(kPhaseDown, 1000, 50, 50);
    Events().clear();
    for (const uint32_t now : {1100u, 1300u, 1350u, 1400u, 1500u}) {
        GuiTestNow() = now;
        UpdateGuiInput(250, 50); // over b, but a holds the capture
    }
    EXPECT_EQ(Events(), (std::vector<std::string>{"a:left1", "a:left1", "a:left1"}));
    EXPECT_EQ(GetHoverPrimitive(), a);

    Events().clear();
    RouteLeftButton(kPhaseUp, 1600, 250, 50);
    EXPECT_EQ(Events(), (std::vector<std::string>{"a:left0"}));
    EXPECT_EQ(GetLeftCapture(), nullptr);
    Events().clear();
    UpdateGuiInput(250, 50);
    EXPECT_EQ(Events(), (std::vector<std::string>{"a:pointerLeft:b"}));
    EXPECT_EQ(GetPointerCursorName(), "b-cursor");
    UpdateGuiInput(600, 600); // the window itself
    EXPECT_EQ(GetPointerCursorName(), "regular");
}

TEST_F(RoutingTest, DeletingTheFocusHolderRestoresThePreviousHolder)
{
    auto* window = MakeWindow("w", 0, 0, 1000, 1000);
    auto* first = new Probe("first");
    auto* second = new Probe("second");
    window->AddChild(first);
    window->AddChild(second);
    OpenWindow(window, false);
    first->TakeFocus();
    second->TakeFocus();
    EXPECT_EQ(GetPreviousKeyboardFocus(), first);
    Events().clear();
    window->RemoveChild(second, true);
    EXPECT_EQ(Events(), (std::vector<std::string>{"second:focusLost", "first:focusGained"}));
    EXPECT_EQ(GetKeyboardFocus(), first);
    EXPECT_EQ(GetPreviousKeyboardFocus(), nullptr);

    // A holder whose window closes loses the focus at the next input update.
    window->Deactivate();
    window->deleteWhenClosed = 0;
    UpdateGuiInput(0, 0);
    EXPECT_EQ(GetKeyboardFocus(), nullptr);
    delete window;
}

TEST_F(RoutingTest, LosingTheForegroundReleasesTheHeldButtonOnce)
{
    auto* window = MakeWindow("w", 0, 0, 1000, 1000);
    auto* button = (new Probe("button"))->At(0, 0, 100, 100);
    window->AddChild(button);
    OpenWindow(window, false);
    RouteLeftButton(kPhaseDown, 1000, 40, 60);
    UpdateGuiInput(40, 60);
    Events().clear();
    ReleaseAllCaptures();
    ReleaseAllCaptures();
    EXPECT_EQ(Events(), (std::vector<std::string>{"button:left0", "button:pointerLeft:none", "button:focusLost"}));
    EXPECT_EQ(GetKeyboardFocus(), nullptr);
    EXPECT_EQ(GetLeftCapture(), nullptr);
    EXPECT_EQ(GetHoverPrimitive(), nullptr);
}

TEST_F(RoutingTest, DeletedModalWindowLeavesNothingBehind)
{
    auto* window = MakeWindow("w", 0, 0, 1000, 1000);
    auto* button = (new Probe("button"))->At(0, 0, 100, 100);
    window->AddChild(button);
    OpenWindow(window, false);
    auto* dialog = MakeWindow("dialog", 100, 100, 300, 300);
    dialog->containerFlags = kContainerModal | kContainerModalBlocks;
    auto* ok = (new Probe("ok"))->At(10, 10, 50, 50);
    dialog->AddChild(ok);
    OpenWindow(dialog, true);
    UpdateOpenWindows();
    ASSERT_EQ(GetModalWindow(), dialog);
    RouteLeftButton(kPhaseDown, 1000, 120, 120);
    UpdateGuiInput(120, 120);
    ASSERT_EQ(GetLeftCapture(), ok);
    ASSERT_EQ(GetKeyboardFocus(), ok);

    dialog->Close(); // closed, then dropped and deleted by the next input update
    UpdateGuiInput(50, 50);
    EXPECT_EQ(GetModalWindow(), nullptr);
    EXPECT_FALSE(IsModalActive());
    EXPECT_EQ(GetLeftCapture(), nullptr);
    EXPECT_EQ(GetKeyboardFocus(), nullptr);
    EXPECT_EQ(OpenWindows(), (std::vector<Primitive*>{window}));

    Events().clear();
    RouteLeftButton(kPhaseDown, 1100, 50, 50);
    RouteLeftButton(kPhaseUp, 1200, 50, 50);
    UpdateOpenWindows();
    DrawOpenWindows();
    EXPECT_EQ(Events(), (std::vector<std::string>{"button:left2", "button:focusGained", "button:left0"}));
}

TEST_F(RoutingTest, KeysAndPointerActionsArriveThroughTheInputHooks)
{
    InstallGuiInputRouting();
    auto* window = MakeWindow("w", 0, 0, 1000, 1000);
    auto* declines = new Probe("declines", false);
    auto* field = (new Probe("field"))->At(0, 0, 100, 100);
    window->AddChild(declines);
    window->AddChild(field);
    OpenWindow(window, false);

    msManager.SetCursorPosition(20, 30);
    msManager.RouteButton(0, 0x80, 1000);
    EXPECT_EQ(GetLeftCapture(), field);
    msManager.RouteButton(0, 0, 1010);
    EXPECT_EQ(GetLeftCapture(), nullptr);
    EXPECT_EQ(GetKeyboardFocus(), field);

    BareDevice device;
    Events().clear();
    DispatchButtonEvent(0x80, 30, false, device);
    EXPECT_EQ(Events(), (std::vector<std::string>{"field:key30=128"}));
    EXPECT_EQ(buttonPresses.Record(30).target, field);
    delete field; // forgotten by the press records too
    EXPECT_EQ(buttonPresses.Record(30).target, nullptr);
    Events().clear();
    DispatchButtonEvent(0, 30, false, device);
    EXPECT_EQ(Events(), (std::vector<std::string>{"declines:key30=0"}));
}

} // namespace
