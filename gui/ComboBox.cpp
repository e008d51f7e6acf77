#include "gui/ComboBox.h"

#include "gui/Button.h"
#include "gui/GuiSounds.h"
#include "gui/ListBox.h"
#include "gui/PrimContainer.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "platform/input/ScanCodes.h"

#include <algorithm>
#include <strings.h>

// The list shown under the box: a release after a press on a row picks it.
class ComboBox::DropDownList : public SimpleListBox {
public:
    explicit DropDownList(ComboBox& owner) : owner_(owner)
    {
        deleteWhenClosed = 0;
        clipToParent = 0;
        absolutelyPlaced = 1;
        onSelectionChanged = [this](Primitive*) { owner_.OnListSelectionChanged(); };
    }

    Primitive* OnLeftButton(int x, int y, int phase) override
    {
        Primitive* taker = SimpleListBox::OnLeftButton(x, y, phase);
        if (phase == kPhaseDown)
            pickPending_ = taker == this && RowAt(x, y, nullptr) >= 0;
        else if (phase == kPhaseUp && pickPending_) {
            pickPending_ = false;
            owner_.OnListPicked();
        }
        return taker;
    }

    int OnKey(int value, int code, bool shift, IInputDevice& device) override
    {
        if (value != 0 && (code == kKeyEnter || code == kKeyEscape)) {
            owner_.CloseList();
            return 1;
        }
        return SimpleListBox::OnKey(value, code, shift, device);
    }

private:
    ComboBox& owner_;
    bool pickPending_ = false;
};

// A full-screen layer in front of every window; a press beside the list closes it.
class ComboBox::DropDownLayer : public PrimContainer {
public:
    explicit DropDownLayer(ComboBox& owner) : owner_(owner)
    {
        deleteWhenClosed = 0;
        containerFlags = kContainerModal | kContainerWindow;
        name = "COMBO_DROP_DOWN";
    }

    Primitive* OnLeftButton(int x, int y, int phase) override
    {
        Primitive* taker = PrimContainer::OnLeftButton(x, y, phase);
        if (taker == this && phase == kPhaseDown)
            owner_.CloseList();
        return taker;
    }

    Primitive* OnRightButton(int, int, int phase) override
    {
        if (phase == kPhaseDown)
            owner_.CloseList();
        return this;
    }

    int OnKey(int value, int code, bool shift, IInputDevice& device) override
    {
        if (value != 0 && code == kKeyEscape) {
            owner_.CloseList();
            return 1;
        }
        return PrimContainer::OnKey(value, code, shift, device);
    }

private:
    ComboBox& owner_;
};

ComboBox::ComboBox() : list_(std::make_unique<DropDownList>(*this)), layer_(std::make_unique<DropDownLayer>(*this))
{
    const float scale = GetUiScale();
    margins = FloatRect{5.0f * scale, 3.0f * scale, 5.0f * scale, 3.0f * scale};
    list_->soundOn = 1;
}

ComboBox::~ComboBox()
{
    CloseList();
    // The layer goes first: it must not outlive the list's parent link.
    layer_.reset();
    list_.reset();
}

int ComboBox::AddItem(const std::string& text, int data)
{
    const int index = list_->AddItem(text, static_cast<uint32_t>(data));
    list_->GetItem(index)->value = data;
    return index;
}

int ComboBox::FindItem(const std::string& text) const { return list_->FindText(-1, text); }

void ComboBox::ClearItems()
{
    CloseList();
    const bool hadSelection = list_->selected >= 0;
    list_->onSelectionChanged = nullptr;
    list_->Clear();
    list_->onSelectionChanged = [this](Primitive*) { OnListSelectionChanged(); };
    if (hadSelection)
        pressed = 1;
}

SimpleListBox& ComboBox::List() { return *list_; }

int ComboBox::GetCount() const { return list_->GetCount(); }
int ComboBox::GetSelection() const { return list_->selected; }

void ComboBox::SetSelection(int index, bool notify)
{
    const int before = list_->selected;
    list_->SetSelection(index, false);
    if (notify && list_->selected != before)
        OnListSelectionChanged();
}

void ComboBox::OnListSelectionChanged()
{
    pressed = 1;
    if (onChange)
        onChange(parent, this);
}

void ComboBox::OnListPicked() { CloseList(); }

int ComboBox::GetIntValue()
{
    const ListItem* item = list_->GetItem(list_->selected);
    return item ? item->value : -1;
}

void ComboBox::SetIntValue(int data)
{
    for (int index = 0; index < list_->GetCount(); ++index)
        if (list_->GetItem(index)->value == data) {
            list_->SetSelection(index, false);
            return;
        }
}

std::string ComboBox::GetText() { return list_->GetItemText(list_->selected); }

void ComboBox::SetText(const std::string& text)
{
    const int index = FindItem(text);
    if (index >= 0)
        list_->SetSelection(index, false);
}

void ComboBox::OpenList()
{
    if (open_ || list_->GetCount() == 0)
        return;
    const float rowHeight = list_->RowHeight();
    const int rows = std::clamp(list_->GetCount(), 1, std::max(maxVisibleRows, 1));
    const float height = static_cast<float>(rows) * rowHeight + list_->margins.top + list_->margins.bottom + 1.0f;
    float top = rect.bottom + listOffsetY;
    if (top + height > static_cast<float>(GetScreenHeight()) && rect.top - height >= 0.0f)
        top = rect.top - height; // no room below: above the box
    const float left = rect.left + listOffsetX;
    list_->relX = left;
    list_->relY = top;
    list_->rect = FloatRect{left, top, left + (rect.right - rect.left), top + height};
    if (listHost) {
        listHost->AddChild(list_.get());
    } else {
        layer_->SetPosition(0.0f, 0.0f);
        layer_->SetSize(1000.0f, 1000.0f);
        layer_->AddChild(list_.get());
        OpenWindow(layer_.get(), true);
    }
    list_->UpdateAbsolutePosition();
    list_->EnsureVisible(list_->selected);
    open_ = true;
    SetKeyboardFocus(list_.get());
}

void ComboBox::CloseList()
{
    if (!open_)
        return;
    open_ = false;
    if (auto* host = dynamic_cast<Container<Primitive>*>(list_->parent))
        host->RemoveChild(list_.get(), false);
    if (!listHost)
        CloseWindow(layer_.get());
    if (GetKeyboardFocus() == list_.get() || !GetKeyboardFocus())
        SetKeyboardFocus(this);
}

Primitive* ComboBox::OnLeftButton(int x, int y, int phase)
{
    if (!PointInRect(x, y))
        return nullptr;
    // Opens on the release, so that the press's focus change is over.
    if (phase == kPhaseUp && enabled) {
        PlayGuiSound(kSoundListMove, 1.0f);
        if (open_)
            CloseList();
        else
            OpenList();
    }
    return this;
}

Primitive* ComboBox::OnWheel(int up)
{
    if (GetKeyboardFocus() != this || !enabled || GetCount() == 0)
        return nullptr;
    SetSelection(up ? std::max(GetSelection() - 1, 0) : GetSelection() + 1, true);
    return this;
}

int ComboBox::OnKey(int value, int code, bool, IInputDevice&)
{
    if (GetKeyboardFocus() != this || !enabled || value == 0)
        return 0;
    switch (code) {
    case kKeyUp: SetSelection(std::max(GetSelection() - 1, 0), true); return 1;
    case kKeyDown: SetSelection(GetSelection() + 1, true); return 1;
    case kKeySpace:
    case kKeyEnter: OpenList(); return 1;
    default: return 0;
    }
}

void ComboBox::Draw()
{
    const uint32_t alphaBits = static_cast<uint32_t>(alpha) << 24;
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, boxColour);
    Draw2D::DrawRectOutline(rect.left, rect.top, rect.right, rect.bottom, (outlineColour & 0xFFFFFFu) | alphaBits);
    const float arrow = rect.bottom - rect.top;
    const float arrowLeft = rect.right - arrow;
    const float inset = arrow / 3.0f;
    const float midX = arrowLeft + arrow / 2.0f;
    Draw2D::DrawLine(arrowLeft + inset, rect.top + inset, midX, rect.bottom - inset, 0xFFFFFFFF);
    Draw2D::DrawLine(midX, rect.bottom - inset, rect.right - inset, rect.top + inset, 0xFFFFFFFF);
    Font* font = FontManager::GetFont(fontId);
    const std::string shown = GetText();
    if (!font || shown.empty())
        return;
    std::string cut = shown;
    const float room = arrowLeft - rect.left - margins.left - margins.right;
    while (!cut.empty() && font->TextWidth(cut, GetUiScale()) > room)
        cut.pop_back();
    font->DrawTextLines(rect.left + margins.left, (rect.top + rect.bottom) / 2.0f, GetUiScale(), GetUiScale(),
                        (textColour & 0xFFFFFFu) | alphaBits, cut, kTextVCentre);
}

bool ComboBox::GetSize(float* width, float* height)
{
    Font* font = FontManager::GetFont(fontId);
    const float scale = GetUiScale();
    float widest = 0.0f;
    for (int index = 0; font && index < GetCount(); ++index)
        widest = std::max(widest, font->TextWidth(list_->GetItemText(index), scale));
    const float lineHeight = font ? font->LineHeight(scale) : 16.0f * scale;
    const float h = lineHeight + margins.top + margins.bottom;
    if (width)
        *width = ToVirtualX(widest + margins.left + margins.right + h);
    if (height)
        *height = ToVirtualY(h);
    return true;
}
