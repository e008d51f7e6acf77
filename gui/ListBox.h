#pragma once
// The one-column text list: a window of rows out of an ordered list of items, one selected
// row, mouse, wheel and keyboard selection (arrows, page keys, type-ahead), and a vertical
// scroll bar on the right edge while the items do not fit. SimpleListBox is the plain look.

#include "gui/Primitive.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>

class ScrollBar;

struct ListItem {
    std::string text;
    std::string secondText;
    int32_t value = 0;
    uint32_t data = 0;
};

// Style flags.
enum : uint32_t {
    kListRowLines = 1,    // a line under every row and above the first
    kListScrollBar = 2,   // a scroll bar when the rows do not fit
    kListNoHighlight = 4, // the selection is not highlighted
};

// DirectInput scan codes of the list keys.

class ListBox : public Primitive {
public:
    using ListCallback = std::function<void(Primitive* parent)>;
    using ItemLess = std::function<bool(const ListItem& a, const ListItem& b)>;

    static constexpr uint32_t kDoubleClickMs = 200;
    static constexpr uint32_t kTypeAheadMs = 750;

    ListBox();
    ~ListBox() override;

    Primitive* OnLeftButton(int x, int y, int phase) override;
    // With the focus: previous row for a step up (1), next row otherwise.
    Primitive* OnWheel(int up) override;
    Primitive* HitTest(int x, int y) override;
    std::string GetCursorName() override;
    void OnFocusLost(Primitive* taker) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void OnFocusGained() override;
    void Draw() override;
    void UpdateAbsolutePosition() override;
    bool GetSize(float* width, float* height) override;
    // The selection differs from the one the owner last acknowledged.
    bool GetPressed() override;
    void ClearPressed() override;
    void SetIntValue(int value) override;
    // The selected row, -1 when none.
    int GetIntValue() override { return selected; }
    // The selected item's text, empty when none.
    std::string GetText() override;

    virtual void SetStyleFlags(uint32_t flags);
    // Clamped into the list (an empty list selects -1); notifies when asked and changed.
    virtual void SetSelection(int index, bool notify);
    // Type-ahead: selects the next item that begins with the text; true on a hit.
    virtual bool SelectByPrefix(const std::string& prefix);
    virtual void DrawSelectionHighlight();

    // Returns the new item's index.
    int AddItem(const std::string& text, uint32_t data = 0);
    // The new count; an index outside the list changes nothing.
    int RemoveItem(int index);
    void Clear();
    // The first item after `start` whose text begins with / equals the text, ignoring case;
    // -1 when none.
    int FindPrefix(int start, const std::string& prefix) const;
    int FindText(int start, const std::string& text, bool useSecondText = false) const;
    // Case-insensitive order of the texts when no comparison is given.
    void Sort(const ItemLess& less = nullptr);
    // The item's text; empty for an index outside the list.
    std::string GetItemText(int index) const;
    ListItem* GetItem(int index);
    int GetCount() const { return static_cast<int>(items.size()); }
    void EnsureVisible(int index);
    // The row under a screen point (pixels), or -1; outside is set when the point is not
    // in the text area.
    int RowAt(int x, int y, bool* outside) const;

    // Geometry in pixels.
    FloatRect TextArea() const;
    float RowHeight() const;
    // The text as drawn in a row of the text area's width: cut at the end, never wrapped.
    std::string FitText(const std::string& text) const;
    ScrollBar* GetScrollBar() const { return scrollBar_.get(); }

    uint8_t alwaysNotify = 0;
    uint8_t soundOn = 1;
    std::deque<std::unique_ptr<ListItem>> items;
    int32_t selected = -1;
    int32_t hoverIndex = -1;
    int32_t acknowledged = -1;
    int32_t topIndex = 0;
    int32_t visibleRows = 0;
    float textInsetLeft;
    float rowInsetAbove;
    float textInsetRight;
    float rowInsetBelow;
    int32_t fontId = -1;
    float textScale; // the rows' text size: the UI scale
    uint32_t styleFlags = kListScrollBar;
    ListCallback onSelectionChanged;
    ListCallback onDoubleClick;
    uint32_t lastClickTime = 0;
    uint8_t itemDataMode = 0;
    uint32_t lastTypeTime = 0;
    std::string typeAhead;
    uint32_t textColour = 0xFFFFFFFF;
    uint32_t lineColour = 0x88FFFFFF;

protected:
    // Makes a scroll bar of the list's look (SetStyleFlags of the looks call it).
    void AttachScrollBar(std::unique_ptr<ScrollBar> bar);
    void DropScrollBar();
    void ComputeVisibleRows();
    void PlayListSound() const;

    uint32_t selectionColour_ = 0x88778877;

private:
    void LayOutScrollBar();

    std::unique_ptr<ScrollBar> scrollBar_;
};

class SimpleListBox : public ListBox {
public:
    SimpleListBox();
    ~SimpleListBox() override;

    void Draw() override;
    // Also rebuilds the background rectangle.
    void UpdateAbsolutePosition() override;
    // Flag 2 makes a SimpleScrollBar when there is none; without it the bar goes.
    void SetStyleFlags(uint32_t flags) override;

    FloatRect background;
    uint32_t backgroundColour = 0x88334433;
    uint32_t highlightColour = 0x88778877;
};
