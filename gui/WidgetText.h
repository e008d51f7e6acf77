#pragma once
// Text measuring and drawing for the generic widgets, through the font manager. Lengths
// are screen pixels; a font id the manager does not know gives its default font.

#include "gui/GuiDevice.h"
#include "gui/Primitive.h"

#include <cstdint>
#include <functional>
#include <string>

// The change callback of check boxes, sliders and edit boxes: (the control's parent, the
// control).
using ControlCallback = std::function<void(Primitive* parent, Primitive* control)>;

// Widget type codes (Primitive::GetWidgetType).
enum : int { kWidgetEditBox = 2, kWidgetCheckBox = 3, kWidgetImage = 10 };

float WidgetTextWidth(int fontId, const std::string& text, float scale);
float WidgetLineHeight(int fontId, float scale);
// Flags are the font's (kTextCentre, kTextRight, kTextVCentre); wrapWidth 0: no wrap.
void DrawWidgetText(int fontId, float x, float y, float scale, uint32_t colour, const std::string& text,
                    uint32_t flags, float wrapWidth = 0.0f);
// The number of lines the text takes when wrapped at width pixels (at least 1).
size_t WidgetWrappedLineCount(int fontId, const std::string& text, float scale, float width);
// The longest prefix of text (whole UTF-8 characters) that fits into width pixels.
std::string CutTextToWidth(int fontId, const std::string& text, float scale, float width);
// Replaces the alpha byte of an ARGB colour.
uint32_t WithAlpha(uint32_t colour, uint8_t alpha);

// UTF-8 stepping: the start of the character after / before byte offset `at`.
size_t NextCharBoundary(const std::string& text, size_t at);
size_t PreviousCharBoundary(const std::string& text, size_t at);

// Narrows the device viewport to a rectangle (pixels, within the present viewport) for
// its lifetime.
class ScopedWidgetClip {
public:
    explicit ScopedWidgetClip(const FloatRect& area);
    ~ScopedWidgetClip();
    ScopedWidgetClip(const ScopedWidgetClip&) = delete;
    ScopedWidgetClip& operator=(const ScopedWidgetClip&) = delete;
    // True when the rectangle does not meet the present viewport.
    bool Empty() const { return empty_; }

private:
    GuiViewport kept_{};
    bool empty_ = false;
};
