#pragma once
// The skinned slider: a GraphicSliderBar from "Graphics\Menu\Slider" whose track is
// "slider_groove.png" and whose gripper is "slider_bar.png". A change by the user marks it
// changed and calls the change callback with (parent, slider).
#include "gui/SliderBar.h"

class FlimbsSliderBar : public GraphicSliderBar {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\Slider";
    static constexpr const char* kBarImage = "slider_bar.png";
    static constexpr const char* kGrooveImage = "slider_groove.png";

    FlimbsSliderBar();

    // The range [minimum, maximum] (a minimum above the maximum takes the maximum), then
    // the value clamped into it, without notification.
    void Configure(float value, float maximum, float minimum);
};
