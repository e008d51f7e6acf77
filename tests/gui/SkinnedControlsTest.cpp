#include "SkinnedControlsFixture.h"

#include "gui/AntlersImage.h"
#include "gui/FlimbsDataGrid.h"
#include "gui/FlimbsMenuBar.h"
#include "gui/FlimbsTabControl.h"
#include "gui/ScreenImage.h"

namespace {

constexpr uint32_t kStripColour = 0x202020; // caps and middles of the tab strips
constexpr uint32_t kFillOn = 0x00C000;
constexpr uint32_t kFillOff = 0x004000;

class SkinnedControlsTest : public SkinnedControlsFixture {
protected:
    void AddTabImages()
    {
        for (const char* piece : {"left", "mid", "right"})
            AddStrip(std::string("Graphics\\Menu\\TabControl\\tab-") + piece + ".png", 14, 28, {0x101010});
        for (const char* piece : {"left", "mid", "right"})
            AddStrip(std::string("Graphics\\Menu\\TabButton\\tab-button-") + piece + ".png", 14, 30, {kStripColour});
        AddStrip("Graphics\\Menu\\TabButton\\tab-button-fill-on.png", 32, 30, {kFillOn});
        AddStrip("Graphics\\Menu\\TabButton\\tab-button-fill-off.png", 32, 30, {kFillOff});
    }
    static int CentreX(const Primitive& p) { return int((p.rect.left + p.rect.right) / 2.0f); }
    static int CentreY(const Primitive& p) { return int((p.rect.top + p.rect.bottom) / 2.0f); }
    // A point of the caption area off the caption's text.
    static int FillX(const FlimbsTabButton& tab) { return int(tab.CaptionArea().left) + 1; }
    static int FillY(const FlimbsTabButton& tab) { return int(tab.rect.top) + 2; }
};

TEST_F(SkinnedControlsTest, TabButtonsSwitchPagesAndOnlyTheCurrentPageTakesInput)
{
    AddTabImages();
    auto* tabs = new FlimbsTabControl;
    tabs->SetPosition(0, 0);
    tabs->SetSize(Primitive::ToVirtualX(600), Primitive::ToVirtualY(400));
    PrimContainer* first = tabs->AddPage("First", nullptr, 100);
    PrimContainer* second = tabs->AddPage("Second", nullptr, 120);
    std::vector<int> changes;
    tabs->onPageChanged = [&](Primitive*, Primitive* control) { changes.push_back(control->GetIntValue()); };
    auto* one = new Probe("one");
    auto* two = new Probe("two");
    first->AddChild(one);
    second->AddChild(two);
    for (Probe* probe : {one, two})
        PlacePixels(*probe, 10, 10, 100, 100);
    Host(tabs);

    ASSERT_NE(tabs->TabButton(1), nullptr);
    EXPECT_EQ(tabs->TabButton(2), nullptr);
    FlimbsTabButton& firstTab = *tabs->TabButton(0);
    FlimbsTabButton& secondTab = *tabs->TabButton(1);
    EXPECT_EQ(secondTab.caption, "Second");
    EXPECT_NEAR(secondTab.rect.left, 100.0f, 0.5f);
    EXPECT_NEAR(secondTab.rect.right, 220.0f, 0.5f);
    EXPECT_EQ(firstTab.selected, 1);

    // The selected tab shows the "on" fill behind its caption, the other the "off" fill;
    // the caps are the plate's.
    DrawFrame([&] { tabs->Draw(); });
    EXPECT_EQ(Pixel(FillX(firstTab), FillY(firstTab)), kFillOn);
    EXPECT_EQ(Pixel(FillX(secondTab), FillY(secondTab)), kFillOff);
    EXPECT_EQ(Pixel(int(secondTab.rect.left) + 1, CentreY(secondTab)), kStripColour);

    const int probeY = int(first->rect.top) + 50;
    Click(50, probeY);
    EXPECT_EQ(Events().front(), "one:left2");

    Click(CentreX(secondTab), CentreY(secondTab));
    EXPECT_EQ(tabs->CurrentIndex(), 1);
    EXPECT_EQ(changes, (std::vector<int>{1}));
    EXPECT_EQ(secondTab.selected, 1);
    EXPECT_EQ(firstTab.selected, 0);
    EXPECT_FALSE(first->visible);
    DrawFrame([&] { tabs->Draw(); });
    EXPECT_EQ(Pixel(FillX(secondTab), FillY(secondTab)), kFillOn);
    EXPECT_EQ(Pixel(FillX(firstTab), FillY(firstTab)), kFillOff);

    Events().clear();
    Click(50, probeY);
    ASSERT_FALSE(Events().empty());
    for (const std::string& event : Events())
        EXPECT_EQ(event.rfind("one:", 0), std::string::npos) << event; // the hidden page gets nothing
    EXPECT_EQ(Events().front(), "two:left2");

    Click(CentreX(firstTab), CentreY(firstTab));
    EXPECT_EQ(tabs->CurrentIndex(), 0);
    EXPECT_EQ(changes, (std::vector<int>{1, 0}));

    // A page taken away takes its tab button with it.
    tabs->RemoveChild(second, true);
    tabs->SyncTabButtons();
    EXPECT_EQ(tabs->TabButton(1), nullptr);
}

TEST_F(SkinnedControlsTest, MenuBarShowsHoverAndCheckedMiddles)
{
    const uint32_t normal = 0x000080, hover = 0x008000, on = 0x800000, caps = 0x404040;
    AddStrip("Graphics\\Menu\\MenuBar\\menu-bar-left.png", 16, 30, {caps});
    AddStrip("Graphics\\Menu\\MenuBar\\menu-bar-mid.png", 32, 30, {normal});
    AddStrip("Graphics\\Menu\\MenuBar\\menu-bar-mid-hover.png", 32, 30, {hover});
    AddStrip("Graphics\\Menu\\MenuBar\\menu-bar-mid-on.png", 32, 30, {on});
    AddStrip("Graphics\\Menu\\MenuBar\\menu-bar-right.png", 16, 30, {caps});
    auto* bar = new FlimbsMenuBar;
    bar->playSounds = 0;
    PlacePixels(*bar, 100, 100, 200, 30);
    Host(bar);
    float width = 0, height = 0;
    ASSERT_TRUE(bar->GetSize(&width, &height));
    EXPECT_GE(Primitive::ToPixelsY(height), 30.0f - 0.01f);
    EXPECT_GE(Primitive::ToPixelsX(width), 70.0f - 0.01f); // the item paddings

    auto middle = [&] {
        DrawFrame([&] { bar->Draw(); });
        return Pixel(200, 115);
    };
    EXPECT_EQ(bar->MiddleLook(), kMenuBarMidNormal);
    EXPECT_EQ(middle(), normal);
    EXPECT_EQ(Pixel(105, 115), caps);
    UpdateGuiInput(200, 115);
    EXPECT_EQ(bar->MiddleLook(), kMenuBarMidHover);
    EXPECT_EQ(middle(), hover);
    UpdateGuiInput(900, 700);
    EXPECT_EQ(middle(), normal);
    bar->SetChecked(true, false, false);
    EXPECT_EQ(middle(), on);
    UpdateGuiInput(200, 115);
    Click(200, 115); // a click toggles it back
    UpdateGuiInput(900, 700);
    EXPECT_FALSE(bar->IsChecked());
    EXPECT_EQ(middle(), normal);

    bar->SetMenuText("Paused");
    EXPECT_EQ(bar->GetText(), "Paused");
}

struct GridRow : DataRowBase {
    explicit GridRow(int v) : value(v) {}
    int ColumnType(int index) const override { return index < 2 ? kFieldInt : kFieldNone; }
    int ColumnCount() const override { return 2; }
    const void* ColumnField(int index) const override { return index < 2 ? &value : nullptr; }
    int32_t value;
};

TEST_F(SkinnedControlsTest, DataGridDrawsHeaderAlternatingRowsAndDividers)
{
    const uint32_t header = 0x800000, row = 0x000080, row2 = 0x008000, divider = 0xFFFF00;
    AddStrip("Graphics\\Menu\\ServerBrowser\\header-back.png", 64, 24, {header});
    AddStrip("Graphics\\Menu\\ServerBrowser\\row-back.png", 64, 20, {row});
    AddStrip("Graphics\\Menu\\ServerBrowser\\row2-back.png", 64, 20, {row2});
    AddStrip("Graphics\\Menu\\ServerBrowser\\column-divider.png", 2, 20, {divider});
    FlimbsDataGrid grid;
    grid.textColour = 0; // no text in the way
    PlacePixels(grid, 100, 100, 300, 400);
    grid.AddColumn("A", 0, Primitive::ToVirtualX(100));
    grid.AddColumn("B", 1, Primitive::ToVirtualX(100));
    grid.AddColumn("C", 1, Primitive::ToVirtualX(100));
    GridRow a(1), b(2), c(3);
    grid.SetRows({&a, &b, &c});
    const float rowHeight = grid.RowHeight();
    auto rowY = [&](int position) { return int(100 + rowHeight * float(position + 1) + rowHeight / 2); };

    DrawFrame([&] { grid.Draw(); });
    EXPECT_EQ(Pixel(150, 100 + int(rowHeight / 2)), header);
    EXPECT_EQ(Pixel(150, rowY(0)), row);
    EXPECT_EQ(Pixel(150, rowY(1)), row2);
    EXPECT_EQ(Pixel(150, rowY(2)), row);
    EXPECT_EQ(Pixel(350, rowY(1)), row2); // the whole width
    for (const int x : {200, 300}) {      // between the columns, header and rows alike
        EXPECT_EQ(Pixel(x, 105), divider) << x;
        EXPECT_EQ(Pixel(x, rowY(2)), divider) << x;
        EXPECT_NE(Pixel(x, rowY(3)), divider) << x; // not below the last row
    }
    EXPECT_NE(Pixel(400, rowY(0)), divider); // none after the last column
    EXPECT_EQ(Pixel(150, rowY(3)), 0u);

    grid.SetSelectedIndex(1);
    DrawFrame([&] { grid.Draw(); });
    EXPECT_NE(Pixel(150, rowY(1)), row2); // the selection washes over the row image
    EXPECT_EQ(Pixel(150, rowY(0)), row);
}

TEST_F(SkinnedControlsTest, AntlersImageJoinsTheContainer)
{
    AddStrip("Graphics\\Menu\\Eom\\antlers_blue.png", 48, 48, {0x3F8FD8});
    PrimContainer box;
    ScreenImage* antlers = AddAntlersImage(&box);
    ASSERT_NE(antlers, nullptr);
    EXPECT_TRUE(box.HasChild(antlers));
    EXPECT_EQ(antlers->ImagePath(), "Graphics\\Menu\\Eom\\antlers_blue.png");
    EXPECT_EQ(antlers->FrameWidth(), 48);
    EXPECT_EQ(AddAntlersImage(nullptr), nullptr);
}

} // namespace
