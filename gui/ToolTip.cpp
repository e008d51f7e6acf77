#include "gui/ToolTip.h"

#include "app/LanguageTexts.h"
#include "gui/Container.h"
#include "gui/GuiClock.h"
#include "gui/GuiDevice.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "gui/WindowList.h"
#include "media/Draw2D.h"

#include <algorithm>

ToolTip::ToolTip(uint32_t delayMs, const std::string& text)
    : delay(delayMs), textScale(GetUiScale()), padding(4.0f * GetUiScale()), pointerOffsetX(12.0f * GetUiScale()),
      pointerOffsetY(20.0f * GetUiScale()), text_(text)
{
    absolutelyPlaced = 1;
    clipToParent = 0;
    excludeFromBounds = 1;
    tabStop = 0;
}

void ToolTip::SetTip(const Primitive* control, const std::string& tip)
{
    if (control)
        tips_[control] = tip;
}

void ToolTip::RemoveTip(const Primitive* control)
{
    tips_.erase(control);
    if (resting_ == control) {
        resting_ = nullptr;
        showing_ = false;
    }
}

std::string ToolTip::TipFor(const Primitive* primitive) const
{
    if (!parent || !primitive || primitive == this || !parent->IsSelfOrAncestorOf(primitive))
        return {};
    for (const Primitive* at = primitive; at && at != parent; at = at->parent) {
        const auto found = tips_.find(at);
        if (found != tips_.end() && !found->second.empty())
            return found->second;
    }
    return text_;
}

void ToolTip::Update()
{
    const Primitive* under = GetHoverPrimitive();
    if (under != resting_) {
        resting_ = under;
        restingSince_ = GuiNow();
        showing_ = false;
    }
    const std::string tip = TipFor(under);
    if (tip.empty()) {
        showing_ = false;
        return;
    }
    if (!showing_ && GuiNow() - restingSince_ >= delay) {
        showing_ = true;
        shown_ = tip;
        // Drawn last among the container's children.
        if (auto* container = dynamic_cast<Container<Primitive>*>(parent))
            container->InsertChild(this, true);
    }
    if (showing_) {
        shown_ = tip;
        PlaceAtPointer();
    }
}

void ToolTip::PlaceAtPointer()
{
    float width = 0.0f;
    float height = 0.0f;
    GetSize(&width, &height);
    int x = 0;
    int y = 0;
    GetPointerPosition(&x, &y);
    float left = float(x) + pointerOffsetX;
    float top = float(y) + pointerOffsetY;
    const float w = ToPixelsX(width);
    const float h = ToPixelsY(height);
    const float screenW = float(GetScreenWidth());
    const float screenH = float(GetScreenHeight());
    if (left + w > screenW)
        left = std::max(0.0f, screenW - w);
    if (top + h > screenH)
        top = std::max(0.0f, float(y) - h - 2.0f); // above the pointer
    SetPosition(ToVirtualX(left), ToVirtualY(top));
    SetSize(width, height);
}

bool ToolTip::GetSize(float* width, float* height)
{
    const std::string shown = ConvertCaptionText(fontId, shown_);
    float w = WidgetTextWidth(fontId, shown, textScale);
    float lines = float(1 + std::count(shown.begin(), shown.end(), '\n'));
    if (widthLimit > 0.0f && w > widthLimit) {
        w = widthLimit;
        lines = float(WidgetWrappedLineCount(fontId, shown, textScale, widthLimit));
    }
    const float extra = 2.0f * (padding + BorderSize());
    if (width)
        *width = ToVirtualX(w + extra);
    if (height)
        *height = ToVirtualY(WidgetLineHeight(fontId, textScale) * lines + extra);
    return true;
}

void ToolTip::DrawTipText()
{
    const float inset = padding + BorderSize();
    DrawWidgetText(fontId, rect.left + inset, rect.top + inset, textScale,
                   WithAlpha(textColour, uint8_t(((textColour >> 24) * alpha) / 255)),
                   ConvertCaptionText(fontId, shown_), 0, widthLimit);
}

void ToolTip::Draw()
{
    if (showing_)
        DrawTipText();
}

SimpleToolTip::SimpleToolTip(uint32_t delayMs, uint32_t background, uint32_t border, uint32_t text)
    : ToolTip(delayMs), backgroundColour(background), borderColour(border)
{
    textColour = text;
}

void SimpleToolTip::Draw()
{
    if (!IsShowing())
        return;
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom,
                           WithAlpha(backgroundColour, uint8_t(((backgroundColour >> 24) * alpha) / 255)));
    Draw2D::DrawRectOutline(rect.left, rect.top, rect.right, rect.bottom, WithAlpha(borderColour, alpha));
    DrawTipText();
}
