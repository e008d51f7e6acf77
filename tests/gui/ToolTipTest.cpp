#include "TypingFixture.h"

#include "gui/ToolTip.h"

namespace {

class ToolTipTest : public TypingFixture {
protected:
    void SetUp() override
    {
        TypingFixture::SetUp();
        window = MakeWindow("panel", 0, 0, 500, 500);
        a = new Probe("a");
        b = new Probe("b");
        window->AddChild(a->At(10, 10, 100, 50));
        window->AddChild(b->At(10, 100, 100, 50));
        tip = new SimpleToolTip(500);
        window->AddChild(tip);
        tip->SetTip(a, "explains a");
        OpenWindow(window, true);
    }
    // One frame with the pointer at (x, y) after `ms` milliseconds.
    void Frame(int x, int y, uint32_t ms)
    {
        GuiTestNow() += ms;
        UpdateGuiInput(x, y);
        UpdateOpenWindows();
    }
    PrimContainer* window = nullptr;
    Probe* a = nullptr;
    Probe* b = nullptr;
    SimpleToolTip* tip = nullptr;
};

TEST_F(ToolTipTest, AppearsOnlyAfterItsDelayAndFollowsThePointer)
{
    Frame(20, 20, 0);
    Frame(25, 20, 499);
    EXPECT_FALSE(tip->IsShowing());
    Frame(30, 20, 1);
    ASSERT_TRUE(tip->IsShowing());
    EXPECT_EQ(tip->ShownText(), "explains a");
    EXPECT_EQ(window->Children().back(), tip); // drawn over its siblings
    const float left = tip->rect.left;
    Frame(60, 30, 16); // follows the pointer over the same control
    EXPECT_TRUE(tip->IsShowing());
    EXPECT_FLOAT_EQ(tip->rect.left, left + 30.0f);
    EXPECT_GT(tip->rect.right, tip->rect.left);
    EXPECT_EQ(tip->HitTest(int(tip->rect.left) + 1, int(tip->rect.top) + 1), nullptr);

    Frame(20, 120, 16); // another control: the delay starts again
    EXPECT_FALSE(tip->IsShowing());
    Frame(20, 120, 600);
    EXPECT_FALSE(tip->IsShowing()); // b has no tip and the tooltip no text of its own

    tip->SetText("about the panel");
    Frame(20, 120, 16);
    EXPECT_EQ(tip->ShownText(), "about the panel");
    Frame(800, 800, 16); // outside the container: hidden
    EXPECT_FALSE(tip->IsShowing());
}

TEST_F(ToolTipTest, StaysOnScreenAndForgetsRemovedTips)
{
    window->SetSize(1000, 1000);
    b->SetPosition(890, 940);
    tip->SetTip(b, "explains b");
    Frame(990, 990, 0);
    Frame(990, 990, 500);
    ASSERT_TRUE(tip->IsShowing());
    EXPECT_LE(tip->rect.right, 1000.0f);
    EXPECT_LT(tip->rect.bottom, 990.0f); // above the pointer near the bottom edge
    tip->RemoveTip(b);
    EXPECT_FALSE(tip->IsShowing());
    EXPECT_EQ(tip->TipFor(b), "");
    EXPECT_EQ(tip->TipFor(nullptr), "");
    EXPECT_EQ(tip->TipFor(window), "");
}

} // namespace
