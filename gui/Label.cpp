#include "gui/Label.h"

#include "app/LanguageTexts.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/Font.h"

#include <algorithm>

static_assert(kLabelCentre == kTextCentre && kLabelRight == kTextRight && kLabelVCentre == kTextVCentre);

Label::Label(int fontId, uint32_t colour, uint32_t alignment, const std::string& text)
    : text_(text), fontId_(fontId), colour_(colour), alignment_(alignment), textScale_(GetUiScale())
{
}

void Label::SetText(const std::string& text)
{
    if (text == text_)
        return;
    text_ = text;
    Invalidate();
}

void Label::SetScale(float scale)
{
    textScale_ = scale * GetUiScale();
}

float Label::AvailableWidth() const
{
    return std::max(0.0f, (rect.right - rect.left) - margins.left - margins.right);
}

std::string Label::ShownText() const
{
    std::string shown = ConvertCaptionText(fontId_, text_);
    if (fit_ == TextFit::Cut && AvailableWidth() > 0.0f) {
        // Cut each line on its own.
        std::string result;
        size_t start = 0;
        while (true) {
            const size_t end = shown.find('\n', start);
            const std::string line = shown.substr(start, end == std::string::npos ? std::string::npos : end - start);
            // Half a pixel of slack: a label sized to its text keeps it whole although the
            // size went through virtual units and back.
            result += CutTextToWidth(fontId_, line, textScale_, AvailableWidth() + 0.5f);
            if (end == std::string::npos)
                break;
            result += '\n';
            start = end + 1;
        }
        shown = result;
    }
    return shown;
}

void Label::Draw()
{
    if (!visible || !highlight || text_.empty())
        return;
    const float left = rect.left + margins.left;
    const float right = rect.right - margins.right;
    const float top = rect.top + margins.top;
    const float bottom = rect.bottom - margins.bottom;
    uint32_t flags = alignment_ & (kTextCentre | kTextRight | kTextVCentre);
    float x = left;
    if (flags & kTextCentre)
        x = (left + right) / 2.0f;
    else if (flags & kTextRight)
        x = right;
    const float y = (flags & kTextVCentre) ? (top + bottom) / 2.0f : top;
    const uint8_t shownAlpha = static_cast<uint8_t>(((colour_ >> 24) * alpha) / 255);
    const float wrap = fit_ == TextFit::Wrap ? AvailableWidth() : 0.0f;
    DrawWidgetText(fontId_, x, y, textScale_, WithAlpha(colour_, shownAlpha), ShownText(), flags, wrap);
}

bool Label::GetSize(float* width, float* height)
{
    const std::string shown = ConvertCaptionText(fontId_, text_);
    float w = 0.0f;
    float h = 0.0f;
    if (fit_ == TextFit::Wrap && AvailableWidth() > 0.0f) {
        w = AvailableWidth();
        h = WidgetLineHeight(fontId_, textScale_) * float(WidgetWrappedLineCount(fontId_, shown, textScale_, w));
    } else {
        const size_t lines = 1 + size_t(std::count(shown.begin(), shown.end(), '\n'));
        w = WidgetTextWidth(fontId_, shown, textScale_);
        h = WidgetLineHeight(fontId_, textScale_) * float(lines);
    }
    if (width)
        *width = ToVirtualX(w + margins.left + margins.right);
    if (height)
        *height = ToVirtualY(h + margins.top + margins.bottom);
    return true;
}

void Label::FitToText()
{
    float w = 0.0f;
    float h = 0.0f;
    GetSize(&w, &h);
    SetSize(fit_ == TextFit::Wrap ? kKeepCoordinate : w, h);
}

SimpleLabel::SimpleLabel(int fontId, uint32_t colour, uint32_t alignment, const std::string& text)
    : Label(fontId, colour, alignment, std::string())
{
    SetFit(TextFit::Cut);
    SimpleLabel::SetText(text);
}

void SimpleLabel::SetText(const std::string& text)
{
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::replace(line.begin(), line.end(), '\r', ' ');
    Label::SetText(line);
}
