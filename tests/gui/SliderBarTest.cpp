#include "ImageWidgetFixture.h"

#include "gui/SliderBar.h"
#include "platform/input/ScanCodes.h"

#include <cmath>
#include <limits>

namespace {

class SliderBarTest : public ImageWidgetFixture {
protected:
    // A 400-pixel slider at (100, 100) over 0..100 with a 32-pixel gripper: the track runs
    // from x 116 to 484.
    GraphicSliderBar* MakeSlider()
    {
        auto* slider = new GraphicSliderBar("Common", "ring.png", "marker.png");
        slider->SetPosition(Primitive::ToVirtualX(100), Primitive::ToVirtualY(100));
        slider->SetSize(Primitive::ToVirtualX(400), Primitive::ToVirtualY(32));
        slider->SetRange(0, 100);
        slider->onChange = [this](Primitive*, Primitive* control) {
            ++calls;
            values.push_back(control->GetIntValue());
        };
        return slider;
    }
    int calls = 0;
    std::vector<int> values;
};

TEST_F(SliderBarTest, ValuesAreClampedAndOnlyChangesCallBack)
{
    GraphicSliderBar* slider = MakeSlider();
    Host(slider);
    EXPECT_EQ(slider->Marks(), (std::vector<float>{0, 50, 100}));
    const struct {
        float in;
        int out;
        bool changed;
    } cases[] = {{40, 40, true}, {40, 40, false}, {250, 100, true}, {-5, 0, true}, {7.6f, 8, true},
                 {std::numeric_limits<float>::quiet_NaN(), 8, false}};
    for (const auto& c : cases)
        EXPECT_EQ(slider->SetValue(c.in, true), c.changed) << c.in;
    EXPECT_EQ(slider->GetIntValue(), 8);
    EXPECT_EQ(values, (std::vector<int>{40, 100, 0, 8}));
    EXPECT_TRUE(slider->GetPressed());

    slider->ClearPressed();
    slider->SetIntValue(30); // no notification
    EXPECT_EQ(calls, 4);
    EXPECT_FALSE(slider->GetPressed());
    slider->SetMaximum(20); // the value follows the range, the marks move
    EXPECT_EQ(slider->GetIntValue(), 20);
    EXPECT_EQ(slider->Marks(), (std::vector<float>{0, 10, 20}));
    slider->SetMinimum(50); // above the maximum: takes it
    EXPECT_EQ(slider->Minimum(), 20.0f);
    EXPECT_EQ(slider->GetText(), "20");
    EXPECT_EQ(calls, 4);
}

TEST_F(SliderBarTest, DragKeysAndWheelMoveTheValue)
{
    GraphicSliderBar* slider = MakeSlider();
    Host(slider);
    RouteLeftButton(kPhaseDown, GuiTestNow(), 300, 116); // the middle of the track
    EXPECT_EQ(slider->GetIntValue(), 50);
    GuiTestNow() += 20; // held-button events come at the repeat rate
    UpdateGuiInput(600, 116); // dragged beyond the right end
    EXPECT_EQ(slider->GetIntValue(), 100);
    GuiTestNow() += 20;
    UpdateGuiInput(0, 500); // and beyond the left end
    EXPECT_EQ(slider->GetIntValue(), 0);
    RouteLeftButton(kPhaseUp, GuiTestNow(), 0, 500);
    EXPECT_FALSE(slider->IsDragging());
    GuiTestNow() += 20;
    UpdateGuiInput(300, 116); // released: no more dragging
    EXPECT_EQ(slider->GetIntValue(), 0);
    EXPECT_EQ(values, (std::vector<int>{50, 100, 0}));

    ASSERT_EQ(GetKeyboardFocus(), slider);
    Tap(kKeyRight);
    Tap(kKeyRight);
    Tap(kKeyLeft);
    EXPECT_EQ(slider->GetIntValue(), 1);
    Tap(kKeyEnd);
    EXPECT_EQ(slider->GetIntValue(), 100);
    Tap(kKeyRight); // at the end: no change, no callback
    EXPECT_EQ(calls, 7);
    slider->OnWheel(-1);
    EXPECT_EQ(slider->GetIntValue(), 99);
    RouteWheel(0); // the router's "down"
    EXPECT_EQ(slider->GetIntValue(), 98);
    RouteWheel(1);
    EXPECT_EQ(slider->GetIntValue(), 99);
    Tap(kKeyHome);
    EXPECT_EQ(slider->GetIntValue(), 0);
}

} // namespace
