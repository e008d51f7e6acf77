#include "TypingFixture.h"

#include "gui/CheckBox.h"

namespace {

class CheckBoxTest : public TypingFixture {
protected:
    CheckBox* MakeBox()
    {
        auto* box = new CheckBox("Sound");
        box->SetPosition(10, 10);
        box->SetSize(200, 30);
        box->onChange = [this](Primitive* owner, Primitive* control) {
            ++calls;
            lastOwner = owner;
            lastControl = control;
        };
        return box;
    }
    int calls = 0;
    Primitive* lastOwner = nullptr;
    Primitive* lastControl = nullptr;
};

TEST_F(CheckBoxTest, ClicksAndSpaceToggleAndCallBack)
{
    CheckBox* box = MakeBox();
    PrimContainer* window = Host(box);
    Click(20, 20);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_TRUE(box->GetPressed());
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(lastOwner, window);
    EXPECT_EQ(lastControl, box);

    // A press that leaves the box before the release does not toggle.
    RouteLeftButton(kPhaseDown, GuiTestNow(), 20, 20);
    RouteLeftButton(kPhaseUp, GuiTestNow(), 600, 600);
    EXPECT_TRUE(box->IsChecked());

    ASSERT_EQ(GetKeyboardFocus(), box);
    Tap(57); // Space
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(box->GetIntValue(), 0);

    box->enabled = 0; // a disabled box ignores the user
    Click(20, 20);
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(calls, 2);
}

TEST_F(CheckBoxTest, NotifyOffNeverCallsBack)
{
    CheckBox* box = MakeBox();
    Host(box);
    box->SetChecked(true, false, false);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_FALSE(box->GetPressed());
    box->SetChecked(false, true, false);
    EXPECT_TRUE(box->GetPressed());
    box->SetIntValue(1);
    box->notifyOnToggle = 0;
    Click(20, 20); // the user's toggle with notify off
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(calls, 0);

    box->SetChecked(false, false, true); // notify on: called even without a change
    EXPECT_EQ(calls, 1);
}

} // namespace
