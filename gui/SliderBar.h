#pragma once
// `GraphicSliderBar`: a horizontal slider drawn as a bar image with a gripper image on it.
// The value runs over [minimum, maximum]; it is set by pressing or dragging on the bar, by
// the wheel, and with the arrow keys, Home and End while the slider has the keyboard
// focus. A change made that way marks the slider changed and calls the change callback
// with (parent, slider). Marks are drawn at the minimum, the middle and the maximum.

#include "gui/Primitive.h"
#include "gui/WidgetText.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class AnimSurface;

class GraphicSliderBar : public Primitive {
public:
    // The images are folder + file through the image cache (the default image when missing).
    GraphicSliderBar(const std::string& folder, const std::string& barImage, const std::string& gripperImage);
    ~GraphicSliderBar() override;

    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnWheel(int delta) override;
    std::string GetCursorName() override { return enabled ? "pointer-focus" : "regular"; }
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void Draw() override;
    // Width as set; height at least the taller image.
    bool GetSize(float* width, float* height) override;
    // The value as text (whole numbers without decimals).
    std::string GetText() override;
    int GetIntValue() override;
    float GetFloatValue() override { return value_; }
    // Set without notification.
    void SetIntValue(int value) override { SetValue(float(value), false); }
    void SetFloatValue(float value) override { SetValue(value, false); }

    // Each also replaces the marks (minimum, middle, maximum) and clamps the value. A
    // minimum above the maximum takes the maximum.
    void SetMinimum(float minimum);
    void SetMaximum(float maximum);
    void SetRange(float minimum, float maximum);
    // Clamped (and rounded while wholeNumbers is set). With notify and a change: marks the
    // slider changed and calls the callback. True when the value changed.
    bool SetValue(float value, bool notify);
    float Minimum() const { return minimum_; }
    float Maximum() const { return maximum_; }
    float Value() const { return value_; }
    const std::vector<float>& Marks() const { return marks_; }
    // Replaces the marks (values within the range) until the range changes again.
    void SetMarks(std::vector<float> marks) { marks_ = std::move(marks); }
    // The value under a screen x (pixels), clamped.
    float ValueAt(int x) const;
    bool IsDragging() const { return dragging_; }

    ControlCallback onChange;
    float step = 1.0f;
    uint8_t wholeNumbers = 1;
    uint32_t markColour = 0xFFAAAAAA;

private:
    void PlaceMarks();
    float GripperWidth() const;
    float TrackLeft() const;
    float TrackRight() const;

    AnimSurface* bar_ = nullptr;
    AnimSurface* gripper_ = nullptr;
    float minimum_ = 0.0f;
    float maximum_ = 100.0f;
    float value_ = 0.0f;
    std::vector<float> marks_;
    bool dragging_ = false;
};
