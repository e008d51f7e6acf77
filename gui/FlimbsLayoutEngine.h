#pragma once
// The skinned widget factory: the layout engine's contract (every Add... makes one control
// under the caller's key, adds it to the target, registers it and places it in the flow)
// with the game's own look. Combo boxes, list boxes, edit boxes, sliders, check boxes,
// buttons and the shared tooltip are the Flimbs... skins; labels, image buttons, screen
// images and animated buttons are the layout engine's own. Skin images are drawn at the
// screen's skin scale (ScreenImageScale); pixel lengths are multiplied by the UI scale.

#include "gui/LayoutEngine.h"

class FlimbsLayoutEngine : public LayoutEngine {
public:
    using LayoutEngine::LayoutEngine;

    // A FlimbsComboBox; a non-null owner hosts its drop-down list.
    ComboBox* AddComboBox(const std::string& key, PrimContainer* owner) override;
    // A FlimbsListBox.
    ListBox* AddListBox(const std::string& key) override;
    // A SimpleLabel, as the layout engine makes it.
    SimpleLabel* AddLabel(const std::string& text, const char* key, bool labelSuffix) override;
    // A FlimbsEditBoxMultiline (its multi-line flag set before the text) or a FlimbsEditBox;
    // the text is set with the caret at the start.
    EditBox* AddEditBox(const std::string& key, const std::string& text, bool multiline) override;
    // A FlimbsSliderBar over [minimum, maximum] holding value clamped into it.
    GraphicSliderBar* AddSlider(const std::string& key, float value, float maximum, float minimum) override;
    // A FlimbsCheckBox, set without notification.
    CheckBox* AddCheckBox(const std::string& key, bool checked) override;
    // A FlimbsButton: commandId as its command id, -1 as its second id.
    TextButton* AddButton(const std::string& caption, const std::string& key, int commandId) override;
    // A FlimbsToolTip as the target's shared tooltip; not registered.
    ToolTip* AddToolTip(const std::string& text) override;
    // The same wrapping its text at widthLimit design pixels.
    ToolTip* AddToolTip(const std::string& text, float widthLimit);
    // AddButton (as a subclass overrides it) restyled: caption font 3 in white at the UI
    // scale, margins 4 pixels left and right and 1 pixel top and bottom (x UI scale).
    TextButton* AddCompactButton(const std::string& caption, const std::string& key, int commandId) override;
    // An IconButton with the icon (full path, one frame) on the left at the skin scale and
    // no hover offsets; the caption starts 10 pixels (x UI scale) after the icon.
    IconButton* AddIconButton(const std::string& caption, const std::string& key, const std::string& iconPath,
                              int commandId) override;
};
