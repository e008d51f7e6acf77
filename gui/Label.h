#pragma once
// Text labels. `Label` draws its text in one of the font manager's fonts with a colour, a
// scale and an alignment inside its rectangle less the margins; long text is left alone,
// cut at the right edge or wrapped into lines as the owner asks. `SimpleLabel` is the
// one-line label of the layout engines: line breaks are shown as spaces and long text is
// cut.

#include "gui/Primitive.h"

#include <cstdint>
#include <string>

// Label alignment: the font's text flags.
enum : uint32_t { kLabelLeft = 0, kLabelCentre = 1, kLabelVCentre = 2, kLabelRight = 16 };

enum class TextFit : uint8_t { None, Cut, Wrap };

class Label : public Primitive {
public:
    // alignment: kLabelLeft, kLabelCentre or kLabelRight, plus kLabelVCentre to centre
    // the text vertically (else it starts at the top).
    explicit Label(int fontId = 0, uint32_t colour = 0xFFFFFFFF, uint32_t alignment = 0,
                   const std::string& text = std::string());

    void Draw() override;
    // The text's extent plus the margins (wrapped at the current width when wrapping).
    bool GetSize(float* width, float* height) override;
    std::string GetText() override { return text_; }
    void SetText(const std::string& text) override;

    // Scale relative to the UI scale (1.0: the font's size on a 768-pixel-high screen).
    void SetScale(float scale);
    float TextScale() const { return textScale_; }
    void SetColour(uint32_t colour) { colour_ = colour; }
    uint32_t Colour() const { return colour_; }
    void SetFont(int fontId) { fontId_ = fontId; }
    int FontId() const { return fontId_; }
    void SetAlignment(uint32_t alignment) { alignment_ = alignment; }
    uint32_t Alignment() const { return alignment_; }
    void SetFit(TextFit fit) { fit_ = fit; }
    TextFit Fit() const { return fit_; }
    // Resizes the label to its text (the width is kept when wrapping).
    void FitToText();

    // The text as drawn: the caption conversion of the font, then the fit rule (pixels).
    std::string ShownText() const;

protected:
    // The pixel width the text may take; 0 when the label has no width yet.
    float AvailableWidth() const;

private:
    std::string text_;
    int fontId_;
    uint32_t colour_;
    uint32_t alignment_;
    float textScale_;
    TextFit fit_ = TextFit::None;
};

class SimpleLabel : public Label {
public:
    explicit SimpleLabel(int fontId = 0, uint32_t colour = 0xFFFFFFFF, uint32_t alignment = 0,
                         const std::string& text = std::string());
    void SetText(const std::string& text) override;
};
