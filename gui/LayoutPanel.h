#pragma once
// A property panel window built through the skinned layout engine: a titled, draggable
// skinned window whose client the engine fills one captioned row after another. Editors
// build one per object they show, add widgets under keys and read the values back by key.
//
// A widget counts for reading back only once the user changed it (its changed flag, which
// ClearChanged drops again), so that applying a panel to several objects changes in each
// only what was edited. Texts given here are shown as they are: callers translate. A
// captioned widget starts a row; one given an empty caption continues the current row.
#include "gui/Button.h"
#include "gui/FlimbsWindow3.h"
#include "gui/WidgetText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CheckBox;
class ComboBox;
class EditBox;
class FlimbsLayoutEngine;
class GraphicSliderBar;
class ListBox;
class SimpleLabel;
class TextButton;

class LayoutPanel : public FlimbsWindow3a {
public:
    LayoutPanel();
    ~LayoutPanel() override;

    FlimbsLayoutEngine& Engine() { return *engine_; }

    // A button on a row of its own. Its key (the name Find uses) is the user text, or the
    // label when the user text is empty; the user text's number is its command id.
    TextButton* AddButton(const std::string& label, const std::string& userText, ButtonCallback onClick);
    CheckBox* AddCheckBox(const std::string& label, const std::string& key, bool value, const std::string& tip);
    // Whole numbers between minimum and maximum; onChange (may be empty) runs when the user
    // moves it.
    GraphicSliderBar* AddSlider(const std::string& label, const std::string& key, float value, float maximum,
                                float minimum, const std::string& tip, ControlCallback onChange = {});
    // A one-line number box showing the value through the printf format ("%d", "%.2f").
    EditBox* AddTextField(const std::string& label, const std::string& key, const std::string& format, double value,
                          const std::string& tip);
    // A drop-down list of the choices (item i stands for the value i); `selected` shown.
    ComboBox* AddChoice(const std::string& label, const std::string& key, const std::vector<std::string>& choices,
                        int selected, const std::string& tip = std::string());
    // A list of text lines.
    ListBox* AddList(const std::string& key, const std::vector<std::string>& lines);
    SimpleLabel* AddLabel(const std::string& text);
    // Ends the row and leaves `units` free under it.
    void AddGap(float units);

    // The panel a widget lies in (itself or an ancestor), or null.
    static LayoutPanel* Of(Primitive* widget);
    // The widget under the key, or null.
    Primitive* Find(const std::string& key) const;
    // The widget under the key exists and the user changed it since the last ClearChanged.
    bool Accepted(const std::string& key) const;
    // Each reads an accepted widget into its field and answers true; false (the field left
    // alone) when the widget is missing or not accepted.
    bool ReadChecked(const std::string& key, uint8_t& field) const;
    bool ReadInt(const std::string& key, int32_t& field) const;
    // The float's magnitude kept within [minimum, maximum], its sign kept.
    bool ReadFloat(const std::string& key, float& field, float minimum, float maximum) const;
    // Shows the check box checked or clear without notification; false without one.
    bool SetChecked(const std::string& key, bool checked);
    // Drops every widget's changed flag.
    void ClearChanged();
    // Lays the rows out and sizes the window around them.
    void Finish();

    // What the panel edits: an object id (a trap's id) and a kind, for the handlers of its
    // buttons to find it again.
    uint32_t ownerId = 0;
    int32_t ownerKind = -1;

private:
    // A new row with the caption; nothing for an empty one.
    void Caption(const std::string& label, const std::string& key);

    std::unique_ptr<FlimbsLayoutEngine> engine_;
};
