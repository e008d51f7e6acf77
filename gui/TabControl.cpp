#include "gui/TabControl.h"

#include "app/LanguageTexts.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "platform/input/ScanCodes.h"

#include <algorithm>
#include <cmath>

namespace {
const std::string kNoCaption;
} // namespace

TabControl::TabControl(int font) : fontId(font), textScale(GetUiScale()), tabPadding(6.0f * GetUiScale())
{
}

PrimContainer* TabControl::AddPage(const std::string& caption, PrimContainer* page, float headerWidth)
{
    if (!page)
        page = new PrimContainer;
    PrimContainer* host = frame_ ? frame_ : this;
    if (page->parent != host)
        host->AddChild(page);
    pages_.push_back({page, caption, std::max(0.0f, headerWidth)});
    page->visible = 0;
    LayoutPages();
    if (current_ < 0)
        SelectPage(0, false);
    return page;
}

PrimContainer* TabControl::Page(int index) const
{
    return index >= 0 && index < PageCount() ? pages_[size_t(index)].page : nullptr;
}

PrimContainer* TabControl::CurrentPage() const
{
    return Page(current_);
}

const std::string& TabControl::PageCaption(int index) const
{
    return index >= 0 && index < PageCount() ? pages_[size_t(index)].caption : kNoCaption;
}

void TabControl::SetPageCaption(int index, const std::string& caption)
{
    if (index >= 0 && index < PageCount())
        pages_[size_t(index)].caption = caption;
}

std::string TabControl::GetText()
{
    return PageCaption(current_);
}

void TabControl::PrunePages()
{
    const Container<Primitive>* host = frame_ ? static_cast<Container<Primitive>*>(frame_) : this;
    if (frame_ && !HasChild(frame_)) {
        frame_ = nullptr;
        host = this;
    }
    const auto gone = std::remove_if(pages_.begin(), pages_.end(),
                                     [host](const PageEntry& entry) { return !host->HasChild(entry.page); });
    if (gone == pages_.end())
        return;
    pages_.erase(gone, pages_.end());
    current_ = pages_.empty() ? -1 : std::clamp(current_, 0, PageCount() - 1);
}

void TabControl::SelectPage(int index, bool notify)
{
    PrunePages();
    if (pages_.empty()) {
        current_ = -1;
        return;
    }
    index = std::clamp(index, 0, PageCount() - 1);
    const bool changed = index != current_;
    current_ = index;
    for (int i = 0; i < PageCount(); ++i)
        pages_[size_t(i)].page->visible = i == current_ ? 1 : 0;
    // A focus holder on a hidden page gives the focus to the control.
    Primitive* focusHolder = GetKeyboardFocus();
    if (focusHolder && focusHolder != this && IsSelfOrAncestorOf(focusHolder) &&
        !CurrentPage()->IsSelfOrAncestorOf(focusHolder))
        SetKeyboardFocus(this);
    if (changed && notify) {
        pressed = 1;
        if (onPageChanged)
            onPageChanged(parent, this);
    }
}

float TabControl::HeaderHeight() const
{
    return WidgetLineHeight(fontId, textScale) + 2.0f * tabPadding;
}

float TabControl::TabWidth(int index) const
{
    if (index < 0 || index >= PageCount())
        return 0.0f;
    const PageEntry& entry = pages_[size_t(index)];
    if (entry.headerWidth > 0.0f)
        return entry.headerWidth;
    return WidgetTextWidth(fontId, ConvertCaptionText(fontId, entry.caption), textScale) + 2.0f * tabPadding;
}

int TabControl::TabAt(int x, int y) const
{
    if (float(y) < rect.top || float(y) >= rect.top + HeaderHeight())
        return -1;
    float left = rect.left;
    for (int i = 0; i < PageCount(); ++i) {
        const float right = left + TabWidth(i);
        if (float(x) >= left && float(x) < right)
            return i;
        left = right;
    }
    return -1;
}

void TabControl::SetPageFrame(PrimContainer* frame)
{
    if (!frame || frame == frame_)
        return;
    AddChild(frame);
    for (PageEntry& entry : pages_) {
        if (auto* holder = dynamic_cast<Container<Primitive>*>(entry.page->parent))
            holder->RemoveChild(entry.page, false);
        frame->AddChild(entry.page);
    }
    if (frame_)
        RemoveChild(frame_, true);
    frame_ = frame;
    LayoutPages();
}

void TabControl::LayoutPages()
{
    PrunePages();
    const float header = HeaderHeight();
    const float width = rect.right - rect.left;
    const float height = std::max(0.0f, (rect.bottom - rect.top) - header);
    float pageLeft = 0.0f, pageTop = header, pageWidth = width, pageHeight = height;
    if (frame_) {
        frame_->SetPosition(0.0f, ToVirtualY(header));
        frame_->SetSize(ToVirtualX(width), ToVirtualY(height));
        pageLeft = insets_[0];
        pageTop = insets_[1];
        pageWidth = std::max(0.0f, width - insets_[0] - insets_[2]);
        pageHeight = std::max(0.0f, height - insets_[1] - insets_[3]);
    }
    for (PageEntry& entry : pages_) {
        entry.page->SetPosition(ToVirtualX(pageLeft), ToVirtualY(pageTop));
        entry.page->SetSize(ToVirtualX(pageWidth), ToVirtualY(pageHeight));
    }
}

void TabControl::SetPageInsets(float left, float top, float right, float bottom)
{
    const float values[4] = {left, top, right, bottom};
    for (int i = 0; i < 4; ++i)
        insets_[i] = std::isfinite(values[i]) ? std::max(0.0f, values[i]) : 0.0f;
    LayoutPages();
}

void TabControl::SetSize(float width, float height)
{
    PrimContainer::SetSize(width, height);
    LayoutPages();
}

Primitive* TabControl::OnLeftButton(int x, int y, int phase)
{
    if (!enabled || !visible)
        return nullptr;
    if (phase == kPhaseDown) {
        const int tab = TabAt(x, y);
        if (tab >= 0) {
            SelectPage(tab, true);
            return this;
        }
    }
    return PrimContainer::OnLeftButton(x, y, phase);
}

int TabControl::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (code == kKeyTab && (device.IsButtonDown(kKeyLeftCtrl) || device.IsButtonDown(kKeyRightCtrl))) {
        Primitive* focusHolder = GetKeyboardFocus();
        if (focusHolder && IsSelfOrAncestorOf(focusHolder) && PageCount() > 0) {
            if (value != 0)
                SelectPage((current_ + (shift ? PageCount() - 1 : 1)) % PageCount(), true);
            return 1;
        }
    }
    return PrimContainer::OnKey(value, code, shift, device);
}

void TabControl::DrawTabs()
{
    float left = rect.left;
    const float bottom = rect.top + HeaderHeight();
    for (int i = 0; i < PageCount(); ++i) {
        const float right = left + TabWidth(i);
        const uint32_t fill = i == current_ ? currentTabColour : tabColour;
        Draw2D::DrawFilledRect(left, rect.top, right, bottom, WithAlpha(fill, uint8_t(((fill >> 24) * alpha) / 255)));
        Draw2D::DrawRectOutline(left, rect.top, right, bottom, WithAlpha(currentTabColour, alpha));
        DrawWidgetText(fontId, (left + right) / 2.0f, (rect.top + bottom) / 2.0f, textScale,
                       WithAlpha(textColour, alpha), ConvertCaptionText(fontId, pages_[size_t(i)].caption),
                       kTextCentre | kTextVCentre);
        left = right;
    }
}

void TabControl::Draw()
{
    if (!visible || !highlight)
        return;
    DrawTabs();
    PrimContainer::Draw();
}
