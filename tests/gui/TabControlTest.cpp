#include "TypingFixture.h"

#include "gui/EditBox.h"
#include "gui/TabControl.h"
#include "platform/input/ScanCodes.h"

namespace {

class TabControlTest : public TypingFixture {
protected:
    void SetUp() override
    {
        TypingFixture::SetUp();
        tabs = new TabControl;
        tabs->SetPosition(0, 0);
        tabs->SetSize(600, 400);
        first = tabs->AddPage("First");
        second = tabs->AddPage("Second page", nullptr, 150);
        header = tabs->HeaderHeight();
        // Both pages hold a probe at the same place below the headers.
        one = new Probe("one");
        two = new Probe("two");
        first->AddChild(one->At(10, 10, 100, 100));
        second->AddChild(two->At(10, 10, 100, 100));
        tabs->onPageChanged = [this](Primitive*, Primitive* control) { changes.push_back(control->GetIntValue()); };
        Host(tabs);
    }
    int ProbeY() const { return int(header) + 50; }

    TabControl* tabs = nullptr;
    PrimContainer* first = nullptr;
    PrimContainer* second = nullptr;
    Probe* one = nullptr;
    Probe* two = nullptr;
    float header = 0.0f;
    std::vector<int> changes;
};

TEST_F(TabControlTest, HeadersSwitchPagesAndOnlyTheCurrentPageTakesInput)
{
    EXPECT_EQ(tabs->CurrentIndex(), 0);
    EXPECT_EQ(tabs->GetText(), "First");
    EXPECT_NEAR(first->rect.top, header, 0.01f);
    EXPECT_NEAR(first->rect.bottom, 400.0f, 0.01f);

    Click(50, ProbeY());
    Tap(kKeyA);
    EXPECT_EQ(Events(), (std::vector<std::string>{"one:left2", "one:focusGained", "one:left0", "one:key30=128",
                                                  "one:key30=0"}));
    Events().clear();

    const float firstWidth = tabs->TabWidth(0);
    EXPECT_EQ(tabs->TabAt(int(firstWidth) + 10, 5), 1);
    EXPECT_EQ(tabs->TabAt(int(firstWidth) + 160, 5), -1); // the second tab is 150 wide
    Click(int(firstWidth) + 10, 5);
    EXPECT_EQ(tabs->CurrentIndex(), 1);
    EXPECT_EQ(changes, (std::vector<int>{1}));
    Click(int(firstWidth) + 10, 5); // the same tab again: no change
    EXPECT_EQ(changes, (std::vector<int>{1}));

    Events().clear();
    Click(50, ProbeY());
    SetKeyboardFocus(nullptr);
    Tap(kKeyA);
    for (const std::string& event : Events())
        EXPECT_EQ(event.rfind("one:", 0), std::string::npos) << event; // the hidden page gets nothing
    EXPECT_EQ(Events().front(), "two:left2");
}

TEST_F(TabControlTest, FocusLeavesAHiddenPageAndCtrlTabSteps)
{
    auto* box = new EditBox;
    int commits = 0;
    box->onChange = [&](Primitive*, Primitive*) { ++commits; };
    first->AddChild(box);
    box->SetPosition(200, 10);
    box->SetSize(200, 30);
    box->TakeFocus();
    keyboard.held = {kKeyLeftCtrl};
    Tap(15); // ctrl+Tab: next page; the edit box on the hidden page commits and loses focus
    EXPECT_EQ(tabs->CurrentIndex(), 1);
    EXPECT_EQ(GetKeyboardFocus(), tabs);
    EXPECT_EQ(commits, 1);
    Tap(15, true); // backwards, wrapping
    EXPECT_EQ(tabs->CurrentIndex(), 0);
    EXPECT_EQ(changes, (std::vector<int>{1, 0}));

    tabs->SelectPage(99, false);
    EXPECT_EQ(tabs->CurrentIndex(), 1);
    tabs->SelectPage(-3, false);
    EXPECT_EQ(tabs->CurrentIndex(), 0);
    EXPECT_EQ(tabs->Page(5), nullptr);
    EXPECT_EQ(tabs->PageCaption(-1), "");
    TabControl empty;
    empty.SelectPage(2, true);
    EXPECT_EQ(empty.CurrentIndex(), -1);
    EXPECT_EQ(empty.CurrentPage(), nullptr);
    box->onChange = {}; // the box commits again when the fixture closes its window
}

} // namespace

namespace {

TEST_F(TabControlTest, PagesMoveIntoAPageFrameAndDeletedPagesAreForgotten)
{
    auto* frame = new PrimContainer;
    frame->name = "frame";
    tabs->SetPageFrame(frame);
    EXPECT_EQ(first->parent, frame);
    EXPECT_EQ(second->parent, frame);
    EXPECT_NEAR(frame->rect.top, header, 0.01f);
    EXPECT_NEAR(first->rect.top, header, 0.01f);
    PrimContainer* third = tabs->AddPage("Third");
    EXPECT_EQ(third->parent, frame);
    Click(50, ProbeY()); // the first page still takes input inside the frame
    EXPECT_EQ(Events().front(), "one:left2");

    tabs->SelectPage(2, false);
    delete third;
    tabs->SelectPage(2, false);
    EXPECT_EQ(tabs->PageCount(), 2);
    EXPECT_EQ(tabs->CurrentIndex(), 1);
}

} // namespace
