#pragma once
// The drop-down choice: a box showing the selected entry and, when opened, a list of the
// entries below it. Each entry has a text and a data value. By default the list opens on a
// full-screen layer of its own at the front of the window list (a press outside the list
// closes it); a host container given in listHost shows it as its child instead.

#include "gui/Primitive.h"

#include <functional>
#include <memory>
#include <string>

class ComboBox;
class PrimContainer;
class SimpleListBox;

// Called with (the combo box's parent, the combo box).
using ComboCallback = std::function<void(Primitive* parent, ComboBox* combo)>;

class ComboBox : public Primitive {
public:
    ComboBox();
    ~ComboBox() override;

    // A click on the box (at the release) opens or closes the list.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    // With the focus: previous entry for a step up (1), else the next.
    Primitive* OnWheel(int up) override;
    // Focused: Up and Down choose the neighbour entry, Space and Enter open the list.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    std::string GetCursorName() override { return "pointer-focus"; }
    void Draw() override;
    // The widest entry plus the arrow and the margins; one row high.
    bool GetSize(float* width, float* height) override;
    // Changed by the user since the flag was last cleared.
    bool GetPressed() override { return pressed != 0; }
    void ClearPressed() override { pressed = 0; }
    // The selected entry's data, -1 when none is selected.
    int GetIntValue() override;
    // Selects the first entry with this data (no notification); nothing when none has it.
    void SetIntValue(int data) override;
    // The selected entry's text, empty when none.
    std::string GetText() override;
    // Selects the entry with this text (ignoring case) when there is one.
    void SetText(const std::string& text) override;

    // Returns the new entry's index.
    int AddItem(const std::string& text, int data = 0);
    // The entry with this text (ignoring case), -1 when none.
    int FindItem(const std::string& text) const;
    void ClearItems();
    int GetCount() const;
    int GetSelection() const;
    // Clamped like the list's selection; with notify and a change: marks the box changed
    // and calls onChange.
    void SetSelection(int index, bool notify);

    virtual void OpenList();
    virtual void CloseList();
    bool IsListOpen() const { return open_; }
    // The drop-down list (it holds the entries).
    SimpleListBox& List();

    // Called by the drop-down: the user chose an entry (pick) or moved the selection.
    void OnListSelectionChanged();
    void OnListPicked();

    PrimContainer* listHost = nullptr; // not owned; none: the combo's own layer
    ComboCallback onChange;
    float listOffsetX = 0.0f; // pixels
    float listOffsetY = 0.0f;
    int32_t maxVisibleRows = 8;
    int32_t fontId = 0;
    uint32_t boxColour = 0x88334433;
    uint32_t outlineColour = 0xFF778877;
    uint32_t textColour = 0xFFFFFFFF;

private:
    class DropDownList;
    class DropDownLayer;

    std::unique_ptr<DropDownList> list_;
    std::unique_ptr<DropDownLayer> layer_;
    bool open_ = false;
};
