#include "gui/ListBox.h"

#include "gui/GuiClock.h"
#include "gui/GuiSounds.h"
#include "gui/ScrollBar.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "media/KeyTables.h"
#include "platform/input/ScanCodes.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

namespace {

Font* ListFont(int fontId) { return FontManager::GetFont(fontId < 0 ? 0 : fontId); }

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && strncasecmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

bool IsTypeAheadChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

} // namespace

ListBox::ListBox()
{
    const float scale = GetUiScale();
    textScale = scale;
    textInsetLeft = 10.0f * scale;
    rowInsetAbove = 2.3f * scale;
    textInsetRight = 5.0f * scale;
    rowInsetBelow = 2.3f * scale;
    margins = FloatRect{0.0f, 4.0f * scale, 0.0f, 2.3f * scale};
    keyRepeat.delay = 300;
}

ListBox::~ListBox() { scrollBar_.reset(); }

void ListBox::PlayListSound() const
{
    if (soundOn)
        PlayGuiSound(kSoundListMove, 1.0f);
}

FloatRect ListBox::TextArea() const
{
    return FloatRect{rect.left + margins.left, rect.top + margins.top, rect.right - margins.right,
                     rect.bottom - margins.bottom};
}

float ListBox::RowHeight() const
{
    const Font* font = ListFont(fontId);
    const float height = (font ? font->LineHeight(textScale) : 0.0f) + rowInsetAbove + rowInsetBelow;
    return std::max(height, 1.0f);
}

void ListBox::ComputeVisibleRows()
{
    const FloatRect area = TextArea();
    const float height = area.bottom - area.top;
    visibleRows = height > 0.0f ? static_cast<int>(height / RowHeight()) : 0;
}

int ListBox::RowAt(int x, int y, bool* outside) const
{
    const FloatRect area = TextArea();
    const float px = static_cast<float>(x);
    const float py = static_cast<float>(y);
    const bool out = px < area.left || px > area.right || py < area.top || py > area.bottom;
    if (outside)
        *outside = out;
    if (out)
        return -1;
    const int row = topIndex + static_cast<int>((py - area.top) / RowHeight());
    return row >= 0 && row < GetCount() && row < topIndex + std::max(visibleRows, 1) ? row : -1;
}

int ListBox::AddItem(const std::string& text, uint32_t data)
{
    auto item = std::make_unique<ListItem>();
    item->text = text;
    item->data = data;
    items.push_back(std::move(item));
    return GetCount() - 1;
}

int ListBox::RemoveItem(int index)
{
    if (index < 0 || index >= GetCount())
        return GetCount();
    items.erase(items.begin() + index);
    if (hoverIndex >= GetCount())
        hoverIndex = -1;
    if (items.empty()) {
        // Nothing is left to select.
        if (selected != -1)
            SetSelection(-1, true);
    } else if (selected >= GetCount() && selected > 0) {
        SetSelection(GetCount() - 1, true);
    }
    return GetCount();
}

void ListBox::Clear()
{
    items.clear();
    hoverIndex = -1;
    topIndex = 0;
    SetSelection(-1, true);
}

int ListBox::FindPrefix(int start, const std::string& prefix) const
{
    for (int index = std::max(start + 1, 0); index < GetCount(); ++index)
        if (StartsWithNoCase(items[static_cast<size_t>(index)]->text, prefix))
            return index;
    return -1;
}

int ListBox::FindText(int start, const std::string& text, bool useSecondText) const
{
    for (int index = std::max(start + 1, 0); index < GetCount(); ++index) {
        const ListItem& item = *items[static_cast<size_t>(index)];
        if (strcasecmp((useSecondText ? item.secondText : item.text).c_str(), text.c_str()) == 0)
            return index;
    }
    return -1;
}

void ListBox::Sort(const ItemLess& less)
{
    std::stable_sort(items.begin(), items.end(), [&less](const auto& a, const auto& b) {
        if (less)
            return less(*a, *b);
        return strcasecmp(a->text.c_str(), b->text.c_str()) < 0;
    });
}

std::string ListBox::GetItemText(int index) const
{
    if (index < 0 || index >= GetCount())
        return {};
    return items[static_cast<size_t>(index)]->text;
}

ListItem* ListBox::GetItem(int index)
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return items[static_cast<size_t>(index)].get();
}

std::string ListBox::GetText() { return GetItemText(selected); }

void ListBox::EnsureVisible(int index)
{
    index = std::clamp(index, 0, std::max(GetCount() - 1, 0));
    if (index < topIndex)
        topIndex = index;
    else if (index >= topIndex + visibleRows)
        topIndex = index - visibleRows + 1;
    if (topIndex < 0)
        topIndex = 0;
    if (scrollBar_)
        scrollBar_->SetScrollPosition(topIndex, false);
}

void ListBox::SetSelection(int index, bool notify)
{
    if (index < 0)
        index = 0;
    if (index >= GetCount())
        index = GetCount() - 1;
    if (index == selected && !alwaysNotify) {
        EnsureVisible(selected);
        return;
    }
    selected = index;
    pressed = 1;
    if (notify && onSelectionChanged)
        onSelectionChanged(parent);
    EnsureVisible(selected);
}

bool ListBox::SelectByPrefix(const std::string& prefix)
{
    if (prefix.empty())
        return false;
    int hit = FindPrefix(selected, prefix);
    if (hit < 0)
        hit = FindPrefix(-1, prefix);
    if (hit < 0)
        return false;
    SetSelection(hit, true);
    EnsureVisible(selected + (visibleRows - 2) / 2);
    PlayListSound();
    return true;
}

int ListBox::OnKey(int value, int code, bool, IInputDevice&)
{
    if (GetKeyboardFocus() != this || !visible || selected < 0 || value == 0)
        return 0;
    int target = 0;
    bool move = true;
    switch (code) {
    case kKeyUp: target = selected - 1; break;
    case kKeyDown: target = selected + 1; break;
    case kKeyPageUp: target = selected - visibleRows; break;
    case kKeyPageDown: target = selected + visibleRows; break;
    default: move = false; break;
    }
    if (move) {
        PlayListSound();
        SetSelection(target, true);
        return 1;
    }
    const char c = KeyToChar(code, false);
    if (!IsTypeAheadChar(c))
        return 0;
    const uint32_t now = GuiNow();
    if (now - lastTypeTime > kTypeAheadMs)
        typeAhead.clear();
    typeAhead.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    while (!typeAhead.empty() && !SelectByPrefix(typeAhead))
        typeAhead.erase(0, 1);
    lastTypeTime = now;
    return 1;
}

Primitive* ListBox::OnWheel(int up)
{
    if (GetKeyboardFocus() != this)
        return nullptr;
    PlayGuiSound(kSoundListMove, 1.0f);
    SetSelection(up ? selected - 1 : selected + 1, true);
    return this;
}

Primitive* ListBox::OnLeftButton(int x, int y, int phase)
{
    bool outside = false;
    const int row = RowAt(x, y, &outside);
    if (!outside) {
        if (phase == kPhaseUp || phase == kPhaseHeld)
            return this;
        TakeFocus();
        const uint32_t now = GuiNow();
        if (now - lastClickTime < kDoubleClickMs && onDoubleClick)
            onDoubleClick(parent);
        // A click below the last row selects nothing.
        if (row >= 0 && (row != selected || alwaysNotify)) {
            PlayListSound();
            SetSelection(row, true);
        }
        lastClickTime = now;
        return this;
    }
    if (scrollBar_ && phase != kPhaseHeld)
        if (Primitive* taker = scrollBar_->OnLeftButton(x, y, phase))
            return taker;
    return PointInRect(x, y) && phase == kPhaseDown ? this : nullptr;
}

Primitive* ListBox::HitTest(int x, int y)
{
    if (scrollBar_)
        if (Primitive* hit = scrollBar_->HitTest(x, y))
            return hit;
    hoverIndex = RowAt(x, y, nullptr);
    return PointInRect(x, y) ? this : nullptr;
}

std::string ListBox::GetCursorName()
{
    return hoverIndex >= 0 && hoverIndex < GetCount() && hoverIndex != selected ? "pointer-focus" : "regular";
}

void ListBox::OnFocusLost(Primitive*) { focus = 0; }
void ListBox::OnFocusGained() { focus = 1; }

void ListBox::SetStyleFlags(uint32_t flags)
{
    styleFlags = flags;
    if (!(flags & kListScrollBar))
        DropScrollBar();
}

void ListBox::AttachScrollBar(std::unique_ptr<ScrollBar> bar)
{
    scrollBar_ = std::move(bar);
    if (!scrollBar_)
        return;
    scrollBar_->parent = this;
    scrollBar_->owner = this;
    scrollBar_->changeCallback = [this] {
        topIndex = scrollBar_->position;
        ComputeVisibleRows();
        topIndex = std::clamp(topIndex, 0, std::max(GetCount() - visibleRows, 0));
    };
}

void ListBox::DropScrollBar()
{
    if (!scrollBar_)
        return;
    scrollBar_.reset();
    margins.right = 0.0f;
}

void ListBox::LayOutScrollBar()
{
    if (GetCount() <= visibleRows) {
        DropScrollBar();
        return;
    }
    if (!scrollBar_)
        SetStyleFlags(styleFlags);
    if (!scrollBar_)
        return;
    float barWidth = 0.0f;
    scrollBar_->GetSize(&barWidth, nullptr);
    const float widthPixels = ToPixelsX(barWidth);
    scrollBar_->absolutelyPlaced = 1;
    scrollBar_->relX = rect.right - widthPixels;
    scrollBar_->relY = rect.top;
    scrollBar_->rect = FloatRect{scrollBar_->relX, rect.top, rect.right, rect.bottom};
    scrollBar_->UpdateAbsolutePosition();
    scrollBar_->SetScrollRange(GetCount(), visibleRows);
    scrollBar_->SetScrollPosition(topIndex, false);
    margins.right = widthPixels;
}

void ListBox::UpdateAbsolutePosition()
{
    Primitive::UpdateAbsolutePosition();
    ComputeVisibleRows();
    if (selected >= 0)
        EnsureVisible(selected);
    if (styleFlags & kListScrollBar)
        LayOutScrollBar();
    acknowledged = selected;
}

std::string ListBox::FitText(const std::string& text) const
{
    Font* font = ListFont(fontId);
    if (!font)
        return text;
    const FloatRect area = TextArea();
    const float width = area.right - area.left - textInsetLeft - textInsetRight;
    std::string cut = text;
    while (!cut.empty() && font->TextWidth(cut, textScale) > width) {
        cut.pop_back();
        // Never leave half a UTF-8 sequence.
        while (!cut.empty() && (static_cast<unsigned char>(cut.back()) & 0xC0) == 0x80)
            cut.pop_back();
        if (!cut.empty() && static_cast<unsigned char>(cut.back()) >= 0xC0)
            cut.pop_back();
    }
    // Line breaks would wrap the row.
    std::replace(cut.begin(), cut.end(), '\n', ' ');
    return cut;
}

void ListBox::DrawSelectionHighlight()
{
    const FloatRect area = TextArea();
    const float rowHeight = RowHeight();
    const float top = area.top + static_cast<float>(selected - topIndex) * rowHeight;
    Draw2D::DrawFilledRect(area.left, top, area.right, top + rowHeight, selectionColour_);
}

void ListBox::Draw()
{
    ComputeVisibleRows();
    const FloatRect area = TextArea();
    const float rowHeight = RowHeight();
    if (styleFlags & kListRowLines)
        Draw2D::DrawLine(area.left, area.top, area.right, area.top, lineColour);
    if (topIndex >= GetCount() && GetCount() > 0) {
        topIndex = GetCount() - 1;
        if (scrollBar_)
            scrollBar_->SetScrollPosition(topIndex, false);
    }
    if (!(styleFlags & kListNoHighlight) && selected >= topIndex && selected < topIndex + visibleRows &&
        selected < GetCount())
        DrawSelectionHighlight();
    Font* font = ListFont(fontId);
    for (int row = 0; font && row < visibleRows; ++row) {
        const int index = topIndex + row;
        if (index < 0 || index >= GetCount())
            break;
        const float top = area.top + static_cast<float>(row) * rowHeight;
        uint32_t flags = 0;
        if (index == hoverIndex && index != selected)
            flags |= kTextHighlight;
        const uint32_t colour = (textColour & 0x00FFFFFFu) | (static_cast<uint32_t>(alpha) << 24);
        font->DrawTextLines(area.left + textInsetLeft, top + rowInsetAbove, textScale, textScale, colour,
                            FitText(items[static_cast<size_t>(index)]->text), flags);
        if (styleFlags & kListRowLines)
            Draw2D::DrawLine(area.left, top + rowHeight, area.right, top + rowHeight, lineColour);
    }
    if (scrollBar_ && scrollBar_->visible)
        scrollBar_->Draw();
}

bool ListBox::GetSize(float* width, float* height)
{
    Font* font = ListFont(fontId);
    float widest = 0.0f;
    for (const auto& item : items)
        if (font)
            widest = std::max(widest, font->TextWidth(item->text, textScale));
    const float w = std::max(150.0f * GetUiScale(),
                             widest + textInsetLeft + textInsetRight + margins.left + margins.right);
    const float h = static_cast<float>(GetCount()) * RowHeight() + margins.top + margins.bottom;
    if (width)
        *width = ToVirtualX(w);
    if (height)
        *height = ToVirtualY(h);
    return true;
}

bool ListBox::GetPressed() { return selected != acknowledged; }

void ListBox::ClearPressed()
{
    acknowledged = selected;
    pressed = 0;
}

void ListBox::SetIntValue(int value)
{
    if (!itemDataMode) {
        SetSelection(value, false);
        return;
    }
    for (int index = 0; index < GetCount(); ++index)
        if (items[static_cast<size_t>(index)]->value == value) {
            SetSelection(index, false);
            return;
        }
}

SimpleListBox::SimpleListBox() { selectionColour_ = highlightColour; }

SimpleListBox::~SimpleListBox() = default;

void SimpleListBox::UpdateAbsolutePosition()
{
    ListBox::UpdateAbsolutePosition();
    background = rect;
}

void SimpleListBox::SetStyleFlags(uint32_t flags)
{
    if ((flags & kListScrollBar) && !GetScrollBar())
        AttachScrollBar(std::make_unique<SimpleScrollBar>());
    ListBox::SetStyleFlags(flags);
}

void SimpleListBox::Draw()
{
    Draw2D::DrawFilledRect(background.left, background.top, background.right, background.bottom, backgroundColour);
    selectionColour_ = highlightColour;
    ListBox::Draw();
}
