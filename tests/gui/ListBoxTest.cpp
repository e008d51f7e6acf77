#include "WidgetFixture.h"

#include "gui/ListBox.h"
#include "gui/ScrollBar.h"
#include "platform/input/ScanCodes.h"

#include <string>
#include <vector>

namespace {

// Scan codes of a few letters.

class ListBoxTest : public WidgetFixture {
protected:
    // A list at (100, 100) of 300 x height in an open window.
    SimpleListBox* MakeList(const std::vector<std::string>& texts, float height = 400)
    {
        auto* window = MakeWindow("w", 0, 0, 1000, 1000);
        auto* list = new SimpleListBox;
        list->SetPosition(100, 100);
        list->SetSize(300, height);
        for (const std::string& text : texts)
            list->AddItem(text);
        list->onSelectionChanged = [this](Primitive*) { ++changes; };
        list->onDoubleClick = [this](Primitive*) { ++doubleClicks; };
        window->AddChild(list);
        OpenWindow(window, true);
        list->UpdateAbsolutePosition();
        return list;
    }

    // Screen point inside a row.
    static std::pair<int, int> RowPoint(const ListBox& list, int row)
    {
        const FloatRect area = list.TextArea();
        const float y = area.top + (static_cast<float>(row - list.topIndex) + 0.5f) * list.RowHeight();
        return {static_cast<int>(area.left) + 20, static_cast<int>(y)};
    }

    int changes = 0;
    int doubleClicks = 0;
};

TEST_F(ListBoxTest, SelectionIsClampedAndNotifiesOnlyOnChange)
{
    struct Case {
        int items, asked, expected;
    };
    for (const Case& c : {Case{3, -5, 0}, Case{3, 10, 2}, Case{3, 1, 1}, Case{0, 0, -1}, Case{0, 7, -1}}) {
        ListBox list;
        for (int n = 0; n < c.items; ++n)
            list.AddItem("item" + std::to_string(n));
        list.SetSelection(c.asked, true);
        EXPECT_EQ(list.selected, c.expected) << c.items << " items, asked " << c.asked;
    }

    SimpleListBox* list = MakeList({"a", "b", "c"});
    list->SetSelection(1, true);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(list->GetPressed());
    list->ClearPressed();
    EXPECT_FALSE(list->GetPressed());
    list->SetSelection(1, true); // already selected
    EXPECT_EQ(changes, 1);
    list->alwaysNotify = 1;
    list->SetSelection(1, true);
    EXPECT_EQ(changes, 2);
    list->SetSelection(2, false);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(list->GetIntValue(), 2);
    EXPECT_EQ(list->GetText(), "c");
}

TEST_F(ListBoxTest, RemovingAndClearingKeepTheSelectionValid)
{
    SimpleListBox* list = MakeList({"a", "b", "c"});
    list->SetSelection(2, false);
    EXPECT_EQ(list->RemoveItem(2), 2);
    EXPECT_EQ(list->selected, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list->RemoveItem(5), 2); // outside: nothing
    EXPECT_EQ(list->RemoveItem(-1), 2);
    EXPECT_EQ(list->GetItemText(1), "b");
    EXPECT_EQ(list->GetItemText(2), "");
    EXPECT_EQ(list->GetItemText(-1), "");

    list->RemoveItem(1);
    EXPECT_EQ(list->selected, 0);
    list->RemoveItem(0); // the last item: nothing left to select
    EXPECT_EQ(list->selected, -1);
    EXPECT_EQ(list->GetText(), "");

    list->AddItem("x");
    list->SetSelection(0, false);
    list->Clear();
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_EQ(list->selected, -1);
}

TEST_F(ListBoxTest, TypeAheadBuildsAPrefixWithin750Ms)
{
    SimpleListBox* list = MakeList({"apple", "banana", "berry", "cherry"});
    list->SetSelection(0, false);
    SetKeyboardFocus(list);
    EXPECT_EQ(Key(0x80, kKeyB), 1);
    EXPECT_EQ(list->selected, 1); // "banana"
    GuiTestNow() += 700;
    Key(0x80, kKeyE);
    EXPECT_EQ(list->typeAhead, "be");
    EXPECT_EQ(list->selected, 2); // "berry"

    GuiTestNow() += 751; // a new search
    Key(0x80, kKeyC);
    EXPECT_EQ(list->typeAhead, "c");
    EXPECT_EQ(list->selected, 3);

    GuiTestNow() += 800;
    Key(0x80, kKeyB); // after the selection there is none: from the start
    EXPECT_EQ(list->selected, 1);
    GuiTestNow() += 100;
    Key(0x80, kKeyC); // "bc" matches nothing: shortened to "c"
    EXPECT_EQ(list->typeAhead, "c");
    EXPECT_EQ(list->selected, 3);
    GuiTestNow() += 100;
    EXPECT_EQ(Key(0x80, kKeyX), 1); // "cx", then "x": nothing; the selection stays
    EXPECT_EQ(list->typeAhead, "");
    EXPECT_EQ(list->selected, 3);
    EXPECT_EQ(SoundCount(kSoundListMove), 5); // one for each hit
}

TEST_F(ListBoxTest, KeysAndWheelNeedTheFocusAndASelection)
{
    std::vector<std::string> texts;
    for (int n = 0; n < 40; ++n)
        texts.push_back("row " + std::to_string(n));
    SimpleListBox* list = MakeList(texts, 200);
    ASSERT_GT(list->visibleRows, 2);
    EXPECT_EQ(Key(0x80, kKeyDown), 0); // no focus
    SetKeyboardFocus(list);
    EXPECT_EQ(Key(0x80, kKeyDown), 0); // no selection
    list->SetSelection(0, false);
    struct Step {
        int code, expected;
    };
    const int page = list->visibleRows;
    for (const Step& s : {Step{kKeyDown, 1}, Step{kKeyPageDown, 1 + page}, Step{kKeyUp, page},
                          Step{kKeyPageUp, 0}, Step{kKeyUp, 0}}) {
        EXPECT_EQ(Key(2, s.code), 1);
        EXPECT_EQ(list->selected, s.expected) << s.code;
    }
    EXPECT_EQ(Key(0, kKeyDown), 0); // releases pass on
    list->SetSelection(39, true);
    EXPECT_EQ(list->topIndex, 40 - list->visibleRows); // kept in view
    EXPECT_EQ(list->GetScrollBar()->position, list->topIndex);
    RouteWheel(120);
    EXPECT_EQ(list->selected, 38);
    RouteWheel(-120);
    EXPECT_EQ(list->selected, 39);
    EXPECT_EQ(SoundCount(kSoundListMove), 7);
}

TEST_F(ListBoxTest, ClicksSelectAndTwoWithin200MsAreADoubleClick)
{
    SimpleListBox* list = MakeList({"a", "b", "c"});
    auto [x, y] = RowPoint(*list, 1);
    RouteLeftButton(kPhaseDown, GuiTestNow(), x, y);
    RouteLeftButton(kPhaseUp, GuiTestNow(), x, y);
    EXPECT_EQ(list->selected, 1);
    EXPECT_EQ(GetKeyboardFocus(), list);
    EXPECT_EQ(doubleClicks, 0);
    GuiTestNow() += 150;
    RouteLeftButton(kPhaseDown, GuiTestNow(), x, y);
    RouteLeftButton(kPhaseUp, GuiTestNow(), x, y);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(changes, 1);
    GuiTestNow() += 200;
    RouteLeftButton(kPhaseDown, GuiTestNow(), x, y);
    EXPECT_EQ(doubleClicks, 1);

    // Below the last row: no row, the selection stays.
    const FloatRect area = list->TextArea();
    RouteLeftButton(kPhaseDown, GuiTestNow() + 500, x, static_cast<int>(area.bottom) - 2);
    RouteLeftButton(kPhaseUp, GuiTestNow() + 500, x, static_cast<int>(area.bottom) - 2);
    EXPECT_EQ(list->selected, 1);

    UpdateGuiInput(RowPoint(*list, 2).first, RowPoint(*list, 2).second);
    EXPECT_EQ(list->hoverIndex, 2);
    EXPECT_EQ(GetPointerCursorName(), "pointer-focus");
    UpdateGuiInput(x, y);
    EXPECT_EQ(GetPointerCursorName(), "regular"); // the selected row
}

TEST_F(ListBoxTest, ScrollBarOnlyWhenTheRowsDoNotFit)
{
    SimpleListBox* list = MakeList({"a", "b", "c"}, 300);
    EXPECT_EQ(list->GetScrollBar(), nullptr);
    EXPECT_EQ(list->margins.right, 0.0f);

    while (list->GetCount() <= list->visibleRows)
        list->AddItem("more");
    list->UpdateAbsolutePosition();
    ScrollBar* bar = list->GetScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_GT(list->margins.right, 0.0f);
    EXPECT_EQ(bar->rect.right, list->rect.right);
    EXPECT_EQ(bar->rect.left, list->rect.right - list->margins.right);
    EXPECT_EQ(bar->count, list->GetCount());
    EXPECT_EQ(bar->page, list->visibleRows);

    bar->StepDown(1); // the bar moves the list
    EXPECT_EQ(list->topIndex, 1);

    list->SetStyleFlags(0);
    EXPECT_EQ(list->GetScrollBar(), nullptr);
    list->SetStyleFlags(kListScrollBar);
    list->RemoveItem(0);
    list->UpdateAbsolutePosition();
    EXPECT_EQ(list->GetScrollBar(), nullptr);
    EXPECT_EQ(list->margins.right, 0.0f);

    float w = 0, h = 0;
    ASSERT_TRUE(list->GetSize(&w, &h));
    EXPECT_NEAR(h, static_cast<float>(list->GetCount()) * list->RowHeight() + list->margins.top + list->margins.bottom,
                0.01f);
}

TEST_F(ListBoxTest, LongTextsAreCutNotWrapped)
{
    SimpleListBox* list = MakeList({}, 200);
    const std::string longText(200, 'W');
    const std::string cut = list->FitText(longText);
    EXPECT_LT(cut.size(), longText.size());
    EXPECT_FALSE(cut.empty());
    EXPECT_EQ(longText.compare(0, cut.size(), cut), 0);
    EXPECT_EQ(list->FitText("ok"), "ok");
    EXPECT_EQ(list->FitText("two\nlines"), "two lines");
    const std::string accents = list->FitText(std::string(300, 'x') + "\xC3\xA9\xC3\xA9");
    EXPECT_LT(accents.size(), 300u);

    list->AddItem(longText);
    list->SetSelection(0, false);
    list->styleFlags |= kListRowLines;
    list->Draw(); // no device: nothing drawn, nothing fails
}

TEST_F(ListBoxTest, SearchSortAndItemValues)
{
    ListBox list;
    for (const char* text : {"delta", "Alpha", "charlie", "bravo", "alpha"})
        list.AddItem(text);
    EXPECT_EQ(list.FindPrefix(-1, "AL"), 1);
    EXPECT_EQ(list.FindPrefix(1, "al"), 4);
    EXPECT_EQ(list.FindPrefix(4, "al"), -1);
    EXPECT_EQ(list.FindPrefix(10, "a"), -1);
    EXPECT_EQ(list.FindText(-1, "CHARLIE"), 2);
    EXPECT_EQ(list.FindText(-1, "char"), -1);
    list.GetItem(3)->secondText = "second";
    EXPECT_EQ(list.FindText(-1, "Second", true), 3);

    list.Sort();
    std::vector<std::string> sorted;
    for (int n = 0; n < list.GetCount(); ++n)
        sorted.push_back(list.GetItemText(n));
    EXPECT_EQ(sorted, (std::vector<std::string>{"Alpha", "alpha", "bravo", "charlie", "delta"}));
    list.Sort([](const ListItem& a, const ListItem& b) { return a.text.size() < b.text.size(); });
    EXPECT_EQ(list.GetItemText(0), "Alpha");

    for (int n = 0; n < list.GetCount(); ++n)
        list.GetItem(n)->value = 100 + n;
    list.SetIntValue(3);
    EXPECT_EQ(list.selected, 3);
    list.itemDataMode = 1;
    list.SetIntValue(101);
    EXPECT_EQ(list.selected, 1);
    list.SetIntValue(7); // no such value: unchanged
    EXPECT_EQ(list.selected, 1);
}

TEST_F(ListBoxTest, ScrollBarArithmetic)
{
    SimpleScrollBar bar;
    int calls = 0;
    int seen = -1;
    bar.SetScrollCallback([&](int position) {
        ++calls;
        seen = position;
    });
    float top = 0, bottom = 0;
    EXPECT_FALSE(bar.ThumbRect(0, 99, &top, &bottom)); // count 0: no thumb
    bar.SetScrollRange(50, 10);
    EXPECT_EQ(bar.position, 0);
    bar.SetScrollPosition(100, true);
    EXPECT_EQ(bar.position, 40);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, 40);
    bar.SetScrollPosition(45, true); // clamped to the same
    bar.SetScrollPosition(20, false);
    EXPECT_EQ(calls, 1);
    bar.step = 3;
    bar.StepUp(2);
    EXPECT_EQ(bar.position, 14);
    bar.StepDown(100);
    EXPECT_EQ(bar.position, 40);
    EXPECT_EQ(calls, 3);
    ASSERT_TRUE(bar.ThumbRect(0, 99, &top, &bottom));
    EXPECT_FLOAT_EQ(top, 80.0f);
    EXPECT_FLOAT_EQ(bottom, 100.0f);
    bar.SetScrollRange(5, 10); // all fits
    EXPECT_EQ(bar.position, 0);
    bar.SetScrollRange(-3, -1);
    EXPECT_EQ(bar.count, 0);
    EXPECT_FALSE(bar.ThumbRect(0, 99, &top, &bottom));
    bar.Draw();
}

TEST_F(ListBoxTest, ScrollBarArrowsTrackAndDrag)
{
    auto* window = MakeWindow("w", 0, 0, 1000, 1000);
    auto* bar = new SimpleScrollBar;
    bar->SetPosition(500, 100);
    bar->SetSize(kKeepCoordinate, 330); // arrows of the bar's width, track between
    window->AddChild(bar);
    OpenWindow(window, true);
    bar->SetScrollRange(100, 10);
    const int x = static_cast<int>((bar->rect.left + bar->rect.right) / 2);
    RouteLeftButton(kPhaseDown, GuiTestNow(), x, static_cast<int>(bar->rect.bottom) - 2);
    EXPECT_EQ(bar->position, 1);
    Hold(260, x, static_cast<int>(bar->rect.bottom) - 2); // repeats after 200 ms
    EXPECT_GT(bar->position, 1);
    RouteLeftButton(kPhaseUp, GuiTestNow(), x, static_cast<int>(bar->rect.bottom) - 2);
    const int afterArrow = bar->position;
    RouteLeftButton(kPhaseDown, GuiTestNow(), x, static_cast<int>(bar->TrackBottom()) - 1);
    RouteLeftButton(kPhaseUp, GuiTestNow(), x, static_cast<int>(bar->TrackBottom()) - 1);
    EXPECT_EQ(bar->position, afterArrow + 10); // a page

    float top = 0, bottom = 0;
    ASSERT_TRUE(bar->ThumbRect(bar->TrackTop(), bar->TrackBottom(), &top, &bottom));
    const int grabY = static_cast<int>((top + bottom) / 2);
    UpdateGuiInput(x, grabY);
    EXPECT_EQ(bar->GetCursorName(), "hand");
    RouteLeftButton(kPhaseDown, GuiTestNow(), x, grabY);
    EXPECT_TRUE(bar->dragging);
    const int trackMiddle = static_cast<int>((bar->TrackTop() + bar->TrackBottom()) / 2);
    Hold(300, x, trackMiddle); // the held events start after the 200 ms delay
    EXPECT_NEAR(bar->position, 45, 1); // thumb centred on the pointer
    RouteLeftButton(kPhaseUp, GuiTestNow(), x, trackMiddle);
    EXPECT_FALSE(bar->dragging);
}

} // namespace

namespace {

TEST_F(ListBoxTest, ContainersGetAPlainScrollBarThatScrollsThem)
{
    PrimContainer box;
    box.SetPosition(0, 0);
    box.SetSize(200, 100);
    box.containerFlags = kContainerAutoScroll;
    box.SetContentHeight(300);
    box.UpdateAbsolutePosition();
    auto* bar = dynamic_cast<SimpleScrollBar*>(box.InputDelegate());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->count, 300);
    bar->SetScrollPosition(40, true);
    EXPECT_EQ(box.scrollY, 40.0f);
    box.SetContentHeight(50);
    box.UpdateAbsolutePosition();
    EXPECT_EQ(box.InputDelegate(), nullptr);
    EXPECT_EQ(box.scrollY, 0.0f);
}

} // namespace
