#include "SkinControlsFixture.h"

#include "gui/FlimbsCheckBox.h"
#include "gui/FlimbsComboBox.h"
#include "gui/FlimbsEditBox.h"
#include "gui/FlimbsListBox.h"
#include "gui/FlimbsScrollBar.h"
#include "gui/FlimbsSliderBar.h"
#include "gui/FlimbsToolTip.h"
#include "gui/FlimbsWindow5.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"

namespace {

constexpr const char* kEditLeft = "Graphics\\Menu\\EditBox\\edit-left.png";
constexpr const char* kEditMid = "Graphics\\Menu\\EditBox\\edit-mid.png";
constexpr const char* kEditRight = "Graphics\\Menu\\EditBox\\edit-right.png";
constexpr const char* kHighlight = "Graphics\\Menu\\ListBox\\list-highlight.png";

class SkinControlsTest : public SkinControlsFixture {};

TEST_F(SkinControlsTest, EditBoxKeepsTheImageHeightOrScalesAllThreeSlicesToAGivenHeight)
{
    StartScreen(256, 768);
    FlimbsEditBox box;
    box.SetPosition(Primitive::ToVirtualX(10), Primitive::ToVirtualY(10));
    // -999 for the height: the images' own height (22 pixels at 768).
    box.SetSize(Primitive::ToVirtualX(100), kKeepCoordinate);
    EXPECT_FLOAT_EQ(box.rect.bottom - box.rect.top, 22.0f);
    EXPECT_FLOAT_EQ(box.LeftCapWidth(), 10.0f);
    DrawFrame([&] { box.Draw(); });
    EXPECT_EQ(Pixel(10, 20), SkinColour(kEditLeft));
    EXPECT_EQ(Pixel(19, 20), SkinColour(kEditLeft));
    EXPECT_EQ(Pixel(20, 20), SkinColour(kEditMid));
    EXPECT_EQ(Pixel(109, 20), SkinColour(kEditRight));
    EXPECT_EQ(Pixel(50, 32), 0u);

    // Twice the height: the caps are twice as wide too, the middle fills the rest.
    box.SetSize(kKeepCoordinate, Primitive::ToVirtualY(44));
    EXPECT_FLOAT_EQ(box.rect.bottom - box.rect.top, 44.0f);
    EXPECT_FLOAT_EQ(box.rect.right - box.rect.left, 100.0f);
    EXPECT_FLOAT_EQ(box.LeftCapWidth(), 20.0f);
    EXPECT_FLOAT_EQ(box.RightCapWidth(), 20.0f);
    EXPECT_FLOAT_EQ(box.MiddleWidth(), 60.0f);
    DrawFrame([&] { box.Draw(); });
    EXPECT_EQ(Pixel(29, 50), SkinColour(kEditLeft));
    EXPECT_EQ(Pixel(30, 50), SkinColour(kEditMid));
    EXPECT_EQ(Pixel(89, 50), SkinColour(kEditMid));
    EXPECT_EQ(Pixel(90, 50), SkinColour(kEditRight));
    float width = 0.0f;
    float height = 0.0f;
    ASSERT_TRUE(box.GetSize(&width, &height));
    EXPECT_NEAR(Primitive::ToPixelsY(height), 44.0f, 0.01f);
    // -999 again keeps the images' present height.
    box.SetSize(Primitive::ToVirtualX(80), kKeepCoordinate);
    EXPECT_FLOAT_EQ(box.rect.bottom - box.rect.top, 44.0f);

    // A nonsense height leaves the scale alone.
    box.SetSize(kKeepCoordinate, 0.0f);
    EXPECT_FLOAT_EQ(box.ImageScale(), 2.0f);
}

TEST_F(SkinControlsTest, MultilineEditBoxDrawsTheListFrameAroundItsText)
{
    StartScreen(256, 768);
    FlimbsEditBoxMultiline box;
    EXPECT_EQ(box.multiline, 1);
    EXPECT_FLOAT_EQ(box.margins.left, 6.0f * GetUiScale());
    PlacePixels(box, 10, 10, 100, 60);
    DrawFrame([&] { box.Draw(); });
    EXPECT_EQ(Pixel(10, 10), SkinColour("Graphics\\Menu\\ListBox\\list-top-left.png"));
    EXPECT_EQ(Pixel(60, 12), SkinColour("Graphics\\Menu\\ListBox\\list-top-mid.png"));
    EXPECT_EQ(Pixel(109, 40), SkinColour("Graphics\\Menu\\ListBox\\list-right.png"));
    EXPECT_EQ(Pixel(10, 69), SkinColour("Graphics\\Menu\\ListBox\\list-bottom-left.png"));
    EXPECT_EQ(Pixel(60, 68), 0u); // the frame has no bottom edge
}

TEST_F(SkinControlsTest, CheckBoxesShowTheImageOfTheirState)
{
    StartScreen(256, 768);
    FlimbsCheckBox box;
    PlacePixels(box, 10, 10, 100, 5);
    EXPECT_FLOAT_EQ(box.rect.bottom - box.rect.top, 22.0f); // never lower than its image
    DrawFrame([&] { box.Draw(); });
    EXPECT_EQ(Pixel(20, 20), SkinColour("Graphics\\Menu\\CheckBox\\checkbox_off.png"));
    box.SetChecked(true, false, false);
    DrawFrame([&] { box.Draw(); });
    EXPECT_EQ(Pixel(20, 20), SkinColour("Graphics\\Menu\\CheckBox\\checkbox_on.png"));
    EXPECT_EQ(Pixel(32, 20), 0u);
}

TEST_F(SkinControlsTest, CollapseCheckBoxShowsTheArrowOfItsStateAndCallsBackOnlyWhenAsked)
{
    StartScreen(256, 768);
    CollapseCheckBox box;
    int calls = 0;
    Primitive* control = nullptr;
    box.onChange = [&](Primitive*, Primitive* changed) {
        ++calls;
        control = changed;
    };
    EXPECT_EQ(box.ImageName(), "arrow_down.png");
    EXPECT_FALSE(box.IsChecked());
    PlacePixels(box, 10, 10, 20, 20);
    DrawFrame([&] { box.Draw(); });
    EXPECT_EQ(Pixel(15, 15), SkinColour("Graphics\\arrow_down.png"));
    EXPECT_EQ(Pixel(31, 15), 0u); // one frame of the three

    box.SetChecked(true, false, false);
    box.SetChecked(false, true, false);
    box.SetChecked(true, true, false);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(box.IsChecked());
    EXPECT_TRUE(box.GetPressed());
    EXPECT_EQ(box.ImageName(), "arrow_up.png");
    DrawFrame([&] { box.Draw(); });
    EXPECT_EQ(Pixel(15, 15), SkinColour("Graphics\\arrow_up.png"));

    box.SetChecked(false, false, true);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(control, &box);
    EXPECT_EQ(box.ImageName(), "arrow_down.png");
    box.Toggle(); // the user's toggle notifies
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(box.ImageName(), "arrow_up.png");
}

TEST_F(SkinControlsTest, AtTwiceTheDesignHeightSkinImagesAreDrawnTwiceAsLarge)
{
    StartScreen(256, 1536);
    FlimbsCheckBox check;
    PlacePixels(check, 10, 10, 100, 1);
    DrawFrame([&] { check.Draw(); });
    EXPECT_EQ(Pixel(10, 10), SkinColour("Graphics\\Menu\\CheckBox\\checkbox_off.png"));
    EXPECT_EQ(Pixel(53, 53), SkinColour("Graphics\\Menu\\CheckBox\\checkbox_off.png"));
    EXPECT_EQ(Pixel(54, 31), 0u);

    FlimbsEditBox edit;
    edit.SetPosition(Primitive::ToVirtualX(10), Primitive::ToVirtualY(100));
    edit.SetSize(Primitive::ToVirtualX(100), kKeepCoordinate);
    EXPECT_FLOAT_EQ(edit.rect.bottom - edit.rect.top, 44.0f);
    DrawFrame([&] { edit.Draw(); });
    EXPECT_EQ(Pixel(29, 120), SkinColour(kEditLeft));
    EXPECT_EQ(Pixel(30, 120), SkinColour(kEditMid));

    FlimbsScrollBar bar;
    float width = 0.0f;
    ASSERT_TRUE(bar.GetSize(&width, nullptr));
    EXPECT_NEAR(Primitive::ToPixelsX(width), 44.0f, 0.01f);
    PlacePixels(bar, 200, 100, 44, 400);
    EXPECT_FLOAT_EQ(bar.ArrowLength(), 44.0f);

    FlimbsToolTip tip;
    EXPECT_FLOAT_EQ(tip.LeftBorder(), 16.0f);
    EXPECT_FLOAT_EQ(tip.BottomBorder(), 16.0f);
}

TEST_F(SkinControlsTest, ListBoxDrawsTheHighlightUnderTheHoveredAndTheSelectedRow)
{
    StartScreen(256, 768);
    FlimbsListBox list;
    for (const char* text : {"a", "b", "c", "d"})
        list.AddItem(text);
    PlacePixels(list, 10, 10, 200, 300);
    list.UpdateAbsolutePosition();
    ASSERT_GE(list.visibleRows, 4);
    EXPECT_EQ(list.GetScrollBar(), nullptr); // all rows fit
    EXPECT_FLOAT_EQ(list.margins.right, 10.0f); // the frame's side, not 0
    list.SetSelection(1, false);
    FloatRect band;
    ASSERT_TRUE(list.RowBand(3, &band));
    list.HitTest(int(band.left) + 50, int(band.top) + 1);
    ASSERT_EQ(list.hoverIndex, 3);

    const uint32_t highlight = SkinColour(kHighlight);
    auto rowPixel = [&](int row) {
        FloatRect rowBand;
        EXPECT_TRUE(list.RowBand(row, &rowBand));
        return Pixel(int(rowBand.right) - 2, int((rowBand.top + rowBand.bottom) / 2.0f));
    };
    DrawFrame([&] { list.Draw(); });
    EXPECT_EQ(list.drawnSelectedRow, 1);
    EXPECT_EQ(list.drawnHoverRow, 3);
    EXPECT_EQ(rowPixel(1), highlight);
    EXPECT_EQ(rowPixel(3), highlight);
    EXPECT_NE(rowPixel(0), highlight);
    EXPECT_NE(rowPixel(2), highlight);
    EXPECT_EQ(Pixel(10, 10), SkinColour("Graphics\\Menu\\ListBox\\list-top-left.png"));

    // The pointer leaves: only the selection keeps its highlight.
    list.OnPointerLeft(nullptr);
    DrawFrame([&] { list.Draw(); });
    EXPECT_EQ(list.drawnHoverRow, -1);
    EXPECT_EQ(rowPixel(1), highlight);
    EXPECT_NE(rowPixel(3), highlight);
}

TEST_F(SkinControlsTest, ListBoxThatOverflowsGetsTheSkinnedScrollBar)
{
    StartScreen(256, 768);
    FlimbsListBox list;
    for (int i = 0; i < 60; ++i)
        list.AddItem("row " + std::to_string(i));
    PlacePixels(list, 10, 10, 200, 120);
    list.UpdateAbsolutePosition();
    auto* bar = dynamic_cast<FlimbsScrollBar*>(list.GetScrollBar());
    ASSERT_NE(bar, nullptr);
    EXPECT_FLOAT_EQ(list.margins.right, 22.0f);
    EXPECT_EQ(bar->count, 60);
    EXPECT_EQ(bar->page, list.visibleRows);
    list.SetSelection(59, false);
    EXPECT_EQ(bar->DistanceFromEnd(), 0);
    EXPECT_EQ(bar->position, 60 - list.visibleRows);

    // Skinned containers make the same bar for their own scrolling.
    FlimbsWindow5 window;
    EXPECT_NE(dynamic_cast<FlimbsScrollBar*>(window.CreateScrollBar().get()), nullptr);
}

TEST_F(SkinControlsTest, ScrollBarGripIsThePageShareOfTheTrack)
{
    StartScreen(256, 768);
    FlimbsScrollBar bar;
    int changes = 0;
    bar.changeCallback = [&] { ++changes; };
    PlacePixels(bar, 100, 100, 22, 244);
    EXPECT_FLOAT_EQ(bar.TrackTop(), 122.0f);
    EXPECT_FLOAT_EQ(bar.TrackBottom(), 322.0f);
    const float track = bar.TrackBottom() - bar.TrackTop() + 1.0f;
    float top = 0.0f;
    float bottom = 0.0f;
    EXPECT_FALSE(bar.GripRect(&top, &bottom)); // nothing to scroll

    struct Case {
        int count, page, position;
    };
    for (const Case c : {Case{100, 25, 0}, Case{100, 50, 50}, Case{300, 10, 150}, Case{4, 3, 1}}) {
        bar.SetScrollRange(c.count, c.page);
        bar.SetScrollPosition(c.position, false);
        ASSERT_TRUE(bar.GripRect(&top, &bottom));
        EXPECT_NEAR(bottom - top, track * float(c.page) / float(c.count), 0.001f) << c.count << "/" << c.page;
        EXPECT_NEAR(top, bar.TrackTop() + track * float(c.position) / float(c.count), 0.001f);
    }

    bar.SetScrollRange(100, 25);
    bar.SetScrollPosition(0, false);
    DrawFrame([&] { bar.Draw(); });
    EXPECT_EQ(Pixel(110, 110), SkinColour("Graphics\\Menu\\ScrollBar\\scroll-up.png"));
    EXPECT_EQ(Pixel(110, 333), SkinColour("Graphics\\Menu\\ScrollBar\\scroll-down.png"));
    EXPECT_EQ(Pixel(110, 124), SkinColour("Graphics\\Menu\\ScrollBar\\scroll-grip-end.png"));
    EXPECT_EQ(Pixel(110, 130), SkinColour("Graphics\\Menu\\ScrollBar\\scroll-grip-mid.png"));
    EXPECT_EQ(Pixel(110, 147), SkinColour("Graphics\\Menu\\ScrollBar\\scroll-grip-grip.png"));
    EXPECT_EQ(Pixel(110, 170), SkinColour("Graphics\\Menu\\ScrollBar\\scroll-grip-end.png"));
    EXPECT_EQ(Pixel(110, 200), SkinColour("Graphics\\Menu\\ScrollBar\\scroll-mid.png"));

    EXPECT_EQ(bar.DistanceFromEnd(), 75);
    bar.ScrollToEnd(false);
    EXPECT_EQ(bar.position, 75);
    EXPECT_EQ(changes, 0);
    bar.SetScrollPosition(0, false);
    bar.ScrollToEnd(true);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(bar.DistanceFromEnd(), 0);
}

TEST_F(SkinControlsTest, ToolTipIsItsTextPlusTheBorderImages)
{
    StartScreen(512, 768);
    auto* window = MakeWindow("panel", 0, 0, 500, 500);
    auto* control = new Probe("control");
    window->AddChild(control->At(10, 10, 100, 50));
    auto* tip = new FlimbsToolTip(0.0f, std::string(), 100);
    window->AddChild(tip);
    tip->SetTip(control, "Explains the control");
    OpenWindow(window, true);
    for (uint32_t step : {0u, 200u}) {
        GuiTestNow() += step;
        UpdateGuiInput(Primitive::ToPixelsX(20) + 0.5f, Primitive::ToPixelsY(20) + 0.5f);
        UpdateOpenWindows();
    }
    ASSERT_TRUE(tip->IsShowing());
    const float textWidth = WidgetTextWidth(tip->fontId, "Explains the control", tip->textScale);
    const float lineHeight = WidgetLineHeight(tip->fontId, tip->textScale);
    ASSERT_GT(textWidth, 0.0f);
    EXPECT_NEAR(tip->rect.right - tip->rect.left, textWidth + 16.0f, 0.01f);
    EXPECT_NEAR(tip->rect.bottom - tip->rect.top, lineHeight + 16.0f, 0.01f);

    // Wrapped at its width: the lines' height plus the borders.
    auto* narrow = new FlimbsToolTip(40.0f);
    window->AddChild(narrow);
    narrow->SetTip(control, "Explains the control");
    for (int frame = 0; frame < 2; ++frame) {
        UpdateOpenWindows();
        GuiTestNow() += 600;
    }
    ASSERT_TRUE(narrow->IsShowing());
    const size_t lines = WidgetWrappedLineCount(narrow->fontId, "Explains the control", narrow->textScale,
                                                narrow->widthLimit);
    EXPECT_GT(lines, 1u);
    EXPECT_NEAR(narrow->rect.bottom - narrow->rect.top, lineHeight * float(lines) + 16.0f, 0.01f);

    DrawFrame([&] { tip->Draw(); });
    const int left = int(tip->rect.left);
    const int top = int(tip->rect.top);
    EXPECT_EQ(Pixel(left + 1, top + 1), SkinColour("Graphics\\Menu\\ToolTip\\corner_top_left.png"));
    EXPECT_EQ(Pixel(left + 12, top + 1), SkinColour("Graphics\\Menu\\ToolTip\\border_top.png"));
    EXPECT_EQ(Pixel(left + 1, top + 12), SkinColour("Graphics\\Menu\\ToolTip\\border_left.png"));
}

TEST_F(SkinControlsTest, ComboBoxDrawsTheEditCapsWithTheArrowAndOpensTheListOverItsEdge)
{
    StartScreen(512, 768);
    auto* combo = new FlimbsComboBox;
    combo->AddItem("first", 1);
    combo->AddItem("second", 2);
    combo->SetSelection(0, false);
    auto* window = MakeWindow("host", 0, 0, 1000, 1000);
    window->AddChild(combo);
    OpenWindow(window, true);
    PlacePixels(*combo, 10, 10, 150, 22);
    float width = 0.0f;
    float height = 0.0f;
    ASSERT_TRUE(combo->GetSize(&width, &height));
    EXPECT_GE(Primitive::ToPixelsY(height), 22.0f - 0.01f);
    EXPECT_GE(Primitive::ToPixelsX(width), 32.0f);
    DrawFrame([&] { combo->Draw(); });
    EXPECT_EQ(Pixel(12, 30), SkinColour(kEditLeft));
    EXPECT_EQ(Pixel(100, 30), SkinColour(kEditMid));
    EXPECT_EQ(Pixel(158, 12), SkinColour("Graphics\\Menu\\ScrollBar\\scroll-down.png"));

    combo->OpenList();
    ASSERT_TRUE(combo->IsListOpen());
    EXPECT_FLOAT_EQ(combo->List().rect.top, combo->rect.bottom - GetUiScale());
    EXPECT_EQ(combo->List().backgroundColour, combo->listBackgroundColour);
    combo->CloseList();
}

TEST_F(SkinControlsTest, SliderTakesTheSkinImagesClampsItsValueAndReportsChanges)
{
    StartScreen(512, 768);
    auto* slider = new FlimbsSliderBar;
    slider->Configure(150.0f, 100.0f, 20.0f);
    EXPECT_FLOAT_EQ(slider->Value(), 100.0f);
    EXPECT_FLOAT_EQ(slider->Marks()[1], 60.0f);
    slider->Configure(-5.0f, 100.0f, 20.0f);
    EXPECT_FLOAT_EQ(slider->Value(), 20.0f);
    EXPECT_FALSE(slider->GetPressed());

    int calls = 0;
    Primitive* changed = nullptr;
    slider->onChange = [&](Primitive*, Primitive* control) {
        ++calls;
        changed = control;
    };
    auto* window = MakeWindow("host", 0, 0, 1000, 1000);
    window->AddChild(slider);
    OpenWindow(window, true);
    PlacePixels(*slider, 10, 10, 200, 30);
    float height = 0.0f;
    ASSERT_TRUE(slider->GetSize(nullptr, &height));
    EXPECT_GE(Primitive::ToPixelsY(height), 24.0f - 0.01f); // the knob's height
    slider->OnLeftButton(200, 25, kPhaseDown);
    slider->OnLeftButton(200, 25, kPhaseUp);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(changed, slider);
    EXPECT_TRUE(slider->GetPressed());
    EXPECT_GT(slider->Value(), 60.0f);

    DrawFrame([&] { slider->Draw(); });
    EXPECT_EQ(Pixel(30, 25), SkinColour("Graphics\\Menu\\Slider\\slider_groove.png"));
    const int knobX = int(slider->rect.left) + 8 +
                      int((slider->Value() - 20.0f) / 80.0f * (slider->rect.right - slider->rect.left - 16.0f));
    EXPECT_EQ(Pixel(knobX, 16), SkinColour("Graphics\\Menu\\Slider\\slider_bar.png"));
}

TEST_F(SkinControlsTest, MissingSkinImagesLeaveWorkingControlsThatDrawNothing)
{
    StartScreen(256, 768);
    manager_ = std::make_unique<FileManager>(); // no files at all
    fileManager = manager_.get();
    FlimbsEditBox edit;
    edit.SetPosition(10, 10);
    edit.SetSize(Primitive::ToVirtualX(100), kKeepCoordinate);
    edit.SetSize(kKeepCoordinate, Primitive::ToVirtualY(30));
    EXPECT_GT(edit.rect.bottom, edit.rect.top);
    FlimbsEditBoxMultiline multi;
    FlimbsCheckBox check("caption");
    CollapseCheckBox collapse;
    FlimbsListBox list;
    for (int i = 0; i < 30; ++i)
        list.AddItem("row");
    FlimbsComboBox combo;
    FlimbsScrollBar bar;
    FlimbsToolTip tip(100.0f);
    FlimbsSliderBar slider;
    Primitive* controls[] = {&edit, &multi, &check, &collapse, &list, &combo, &bar, &tip, &slider};
    for (Primitive* control : controls)
        PlacePixels(*control, 10, 10, 120, 60);
    bar.SetScrollRange(10, 3);
    collapse.SetChecked(true, true, true);
    DrawFrame([&] {
        for (Primitive* control : controls)
            control->Draw();
    });
    EXPECT_EQ(collapse.ImageName(), "arrow_up.png");
    float width = 0.0f;
    float height = 0.0f;
    for (Primitive* control : controls)
        EXPECT_TRUE(control->GetSize(&width, &height));
}

} // namespace
