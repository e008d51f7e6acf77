#include "WidgetFixture.h"

#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/ListBox.h"
#include "platform/input/ScanCodes.h"

namespace {

class ComboBoxTest : public WidgetFixture {
protected:
    // A combo box at (100, 100)-(300, 130) with "Down", "Up", "Left", "Right" (data 10..13).
    ComboBox* MakeCombo()
    {
        window = MakeWindow("w", 0, 0, 1000, 1000);
        auto* combo = new ComboBox;
        combo->SetPosition(100, 100);
        combo->SetSize(200, 30);
        int data = 10;
        for (const char* text : {"Down", "Up", "Left", "Right"})
            combo->AddItem(text, data++);
        combo->onChange = [this](Primitive* owner, ComboBox*) {
            ++changes;
            EXPECT_EQ(owner, window);
        };
        window->AddChild(combo);
        OpenWindow(window, false);
        return combo;
    }

    void Click(int x, int y)
    {
        RouteLeftButton(kPhaseDown, GuiTestNow(), x, y);
        RouteLeftButton(kPhaseUp, GuiTestNow(), x, y);
        GuiTestNow() += 500;
    }

    static std::pair<int, int> RowPoint(ListBox& list, int row)
    {
        const FloatRect area = list.TextArea();
        const float y = area.top + (static_cast<float>(row - list.topIndex) + 0.5f) * list.RowHeight();
        return {static_cast<int>(area.left) + 10, static_cast<int>(y)};
    }

    PrimContainer* window = nullptr;
    int changes = 0;
};

TEST_F(ComboBoxTest, EntriesDataAndText)
{
    ComboBox* combo = MakeCombo();
    EXPECT_EQ(combo->GetSelection(), -1);
    EXPECT_EQ(combo->GetIntValue(), -1);
    EXPECT_EQ(combo->GetText(), "");
    EXPECT_EQ(combo->FindItem("left"), 2);
    EXPECT_EQ(combo->FindItem("Sideways"), -1);
    combo->SetIntValue(13);
    EXPECT_EQ(combo->GetSelection(), 3);
    EXPECT_EQ(combo->GetText(), "Right");
    combo->SetIntValue(99); // no such data: unchanged
    EXPECT_EQ(combo->GetIntValue(), 13);
    combo->SetText("up");
    EXPECT_EQ(combo->GetIntValue(), 11);
    EXPECT_EQ(changes, 0); // set by code: no notification
    EXPECT_FALSE(combo->GetPressed());
    combo->SetSelection(9, true); // clamped to the last entry
    EXPECT_EQ(combo->GetSelection(), 3);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(combo->GetPressed());
    combo->ClearItems();
    EXPECT_EQ(combo->GetCount(), 0);
    EXPECT_EQ(combo->GetIntValue(), -1);
    combo->OpenList(); // nothing to show
    EXPECT_FALSE(combo->IsListOpen());
}

TEST_F(ComboBoxTest, PressOpensTheListAndPickingARowChoosesAndCloses)
{
    ComboBox* combo = MakeCombo();
    combo->SetSelection(0, false);
    Click(150, 115);
    ASSERT_TRUE(combo->IsListOpen());
    ListBox& list = combo->List();
    EXPECT_EQ(OpenWindows().front(), list.parent); // its layer, in front of every window
    EXPECT_GE(list.rect.top, combo->rect.bottom);
    EXPECT_EQ(list.rect.left, combo->rect.left);
    EXPECT_EQ(GetKeyboardFocus(), &list);

    auto [x, y] = RowPoint(list, 2);
    Click(x, y);
    EXPECT_FALSE(combo->IsListOpen());
    EXPECT_EQ(combo->GetSelection(), 2);
    EXPECT_EQ(combo->GetIntValue(), 12);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(combo->GetPressed());
    EXPECT_EQ(OpenWindows(), (std::vector<Primitive*>{window}));
    EXPECT_EQ(list.parent, nullptr);
    EXPECT_GE(SoundCount(kSoundListMove), 2);
}

TEST_F(ComboBoxTest, PressBesideTheListOrEscapeClosesWithoutAChange)
{
    ComboBox* combo = MakeCombo();
    combo->SetSelection(1, false);
    Click(150, 115);
    ASSERT_TRUE(combo->IsListOpen());
    Click(800, 800); // beside the list: closes, reaches nothing else
    EXPECT_FALSE(combo->IsListOpen());
    EXPECT_EQ(GetLeftCapture(), nullptr);

    Click(150, 115);
    ASSERT_TRUE(combo->IsListOpen());
    EXPECT_EQ(Key(0x80, 1), 1); // Escape
    EXPECT_FALSE(combo->IsListOpen());
    EXPECT_EQ(combo->GetSelection(), 1);
    EXPECT_EQ(changes, 0);

    Click(150, 115);
    Key(0x80, kKeyDown); // moves the open list's selection
    EXPECT_EQ(combo->GetSelection(), 2);
    EXPECT_EQ(changes, 1);
    Key(0x80, kKeyEnter);
    EXPECT_FALSE(combo->IsListOpen());
}

TEST_F(ComboBoxTest, KeysOnTheFocusedBoxAndAHostContainer)
{
    ComboBox* combo = MakeCombo();
    combo->SetSelection(0, false);
    SetKeyboardFocus(combo);
    EXPECT_EQ(Key(0x80, kKeyDown), 1);
    EXPECT_EQ(Key(0x80, kKeyDown), 1);
    EXPECT_EQ(combo->GetSelection(), 2);
    EXPECT_EQ(Key(0x80, kKeyUp), 1);
    EXPECT_EQ(combo->GetSelection(), 1);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(Key(0x80, 30), 0);

    auto* host = MakeWindow("host", 0, 0, 1000, 1000);
    OpenWindow(host, true);
    combo->listHost = host;
    EXPECT_EQ(Key(0x80, kKeyEnter), 1);
    ASSERT_TRUE(combo->IsListOpen());
    EXPECT_EQ(combo->List().parent, host);
    EXPECT_EQ(OpenWindows().size(), 2u); // no layer of its own
    combo->CloseList();
    EXPECT_FALSE(host->HasChild(&combo->List()));

    combo->OpenList();
    CloseAllWindows(); // the host and the combo go while the list is open
}

} // namespace
