#pragma once
// Tooltips. A `ToolTip` is a child of the container whose controls it explains (a layout
// engine makes one per container and shares it among the controls). Each frame it looks
// at the primitive under the pointer: when that primitive, or an ancestor of it inside the
// container, has a tip, the tooltip shows it once the pointer has rested on that primitive
// for the delay, next to the pointer, and follows the pointer while it stays. The
// tooltip's own text is the container's tip. It never takes input.
//
// `ToolTip` measures and places; subclasses draw (`SimpleToolTip` a plain box, the skinned
// tooltip a frame of images) and may add their border to the size.

#include "gui/Primitive.h"

#include <cstdint>
#include <map>
#include <string>

class ToolTip : public Primitive {
public:
    static constexpr uint32_t kDefaultDelay = 500;

    explicit ToolTip(uint32_t delay = kDefaultDelay, const std::string& text = std::string());

    Primitive* HitTest(int, int) override { return nullptr; }
    // Follows the primitive under the pointer (see above).
    void Update() override;
    void Draw() override;
    // The shown text's extent (wrapped at the width limit) plus the padding and border.
    bool GetSize(float* width, float* height) override;
    std::string GetText() override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }

    // Tips are matched by identity only; a control that goes away should be removed.
    void SetTip(const Primitive* control, const std::string& tip);
    void RemoveTip(const Primitive* control);
    // The tip for a primitive: its own, else the nearest ancestor's inside the container,
    // else the tooltip's own text; empty outside the container.
    std::string TipFor(const Primitive* primitive) const;

    bool IsShowing() const { return showing_; }
    const std::string& ShownText() const { return shown_; }

    uint32_t delay;
    // Wrap width in pixels; 0: one line per text line.
    float widthLimit = 0.0f;
    int fontId = 0;
    float textScale;
    uint32_t textColour = 0xFFFFFFFF;
    float padding;          // pixels between the border and the text
    float pointerOffsetX;   // pixels from the pointer to the tooltip's top-left
    float pointerOffsetY;

protected:
    // Extra pixels around the padded text (the skinned frame's border).
    virtual float BorderSize() const { return 0.0f; }
    // The text inside the rectangle less border and padding.
    void DrawTipText();

private:
    void PlaceAtPointer();

    std::string text_;
    std::map<const Primitive*, std::string> tips_;
    const Primitive* resting_ = nullptr;
    uint32_t restingSince_ = 0;
    bool showing_ = false;
    std::string shown_;
};

class SimpleToolTip : public ToolTip {
public:
    SimpleToolTip(uint32_t delay = kDefaultDelay, uint32_t background = 0xEE202020, uint32_t border = 0xFFCCCCCC,
                  uint32_t text = 0xFFFFFFFF);
    void Draw() override;

    uint32_t backgroundColour;
    uint32_t borderColour;
};
