#pragma once
// Check boxes. `CheckBox` draws a square with a mark and a caption beside it; a left click
// on it (press and release inside) or Space while it has the keyboard focus toggles it.
// `GraphicCheckBox` draws a frame of an image strip instead of the square.
//
// The change callback runs with (parent, box) when the state is set with notify on; a
// toggle by the user notifies only while `notifyOnToggle` is set.

#include "gui/Primitive.h"
#include "gui/WidgetText.h"

#include <cstdint>
#include <string>

class AnimSurface;

class CheckBox : public Primitive {
public:
    explicit CheckBox(const std::string& caption = std::string(), int fontId = 0);

    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* HitTest(int x, int y) override;
    bool OnPointerLeft(Primitive* nowUnder) override;
    std::string GetCursorName() override { return enabled ? "pointer-focus" : "regular"; }
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void Draw() override;
    int GetWidgetType() override { return kWidgetCheckBox; }
    // The mark's square plus the caption.
    bool GetSize(float* width, float* height) override;
    bool IsChecked() override { return checked != 0; }
    int GetIntValue() override { return checked ? 1 : 0; }
    void SetIntValue(int value) override { SetChecked(value != 0, false, false); }
    std::string GetText() override { return caption; }
    void SetText(const std::string& text) override { caption = text; }

    // Stores the state; markChanged sets the pressed flag; notify calls the change callback
    // (when set) whether or not the state changed.
    virtual void SetChecked(bool state, bool markChanged, bool notify);
    // The user's toggle: sound effect 15 when it becomes checked, 16 when cleared; marks the
    // box changed and notifies while notifyOnToggle is set.
    virtual void Toggle();

    ControlCallback onChange;
    uint8_t checked = 0;
    uint8_t notifyOnToggle = 1;
    uint8_t playSounds = 1;
    std::string caption;
    int fontId;
    float textScale;
    uint32_t textColour = 0xFFFFFFFF;
    uint32_t boxColour = 0xFFCCCCCC;
    uint32_t markColour = 0xFF55DD55;

protected:
    // The caption from x (pixels) to the right edge, centred vertically.
    void DrawCaption(float x);
    // The side of the square (pixels): the rectangle's height less the vertical margins.
    float MarkSide() const;
    // 0 normal, 1 under the pointer, 2 held down.
    int lookState_ = 0;
};

class GraphicCheckBox : public CheckBox {
public:
    // frames: the strip's frame count, laid out in one row. A strip of two (or four) frames
    // shows frame 0 clear and 1 checked (2 and 3 the same under the pointer); any other
    // strip shows the look state (normal, hover, held) and the image itself tells the state.
    GraphicCheckBox(const std::string& imagePath, int frames);
    ~GraphicCheckBox() override;

    void Draw() override;
    bool GetSize(float* width, float* height) override;
    // Swaps the strip (the cache's default image when it is missing).
    void SetImage(const std::string& imagePath, int frames);
    int CurrentFrame() const;
    const AnimSurface* Image() const { return image_; }

private:
    AnimSurface* image_ = nullptr;
    int frames_ = 1;
};
