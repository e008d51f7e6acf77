#pragma once
// The widget factory of screens and panels. An engine is bound to a target container:
// every Add... operation creates one control, names it with the caller's key, adds it to
// the container, registers it under the key and places it in the engine's flow. Values are
// read back by key. The Add... operations are virtual so that a skinned engine can make
// its own look of each control; AddCompactButton and the panel helpers build on them.
//
// Flow: controls go left to right in rows (or top to bottom in columns) from the origin,
// with the spacing between them. A caption that starts a row takes at least the caption
// column's width. Positions and lengths are virtual units. Layout() places everything
// again from the recorded flow (controls whose size changed after they were added move
// their neighbours); Finish() closes the last row and does the same.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class AnimButton;
class CheckBox;
class ComboBox;
class EditBox;
class GraphicButton;
class GraphicSliderBar;
class GroupChooser;
class IconButton;
class ImageChooser;
class ListBox;
class PrimContainer;
class Primitive;
class ScreenImage;
class SimpleLabel;
class TextButton;
class ToolTip;

enum class FlowDirection : uint8_t { Rows, Columns };

// One entry of a choice list: the shown text and the value it stands for.
struct PanelChoice {
    std::string text;
    int value = 0;
};

// Reads a float control of a panel into a field: finds the control by key (false when
// there is none), gives up unless the control reports a change when onlyIfChanged is set,
// and takes its float value. Unless minimum and maximum are both -1 the value's magnitude
// is kept within [minimum, maximum] with its sign kept. False when the result equals the
// field; else the field takes it and the answer is true.
bool ReadPanelFloat(Primitive* panel, const std::string& key, float& field, float minimum, float maximum,
                    bool onlyIfChanged);

// The text of a number box: value formatted by a printf format that holds exactly one
// number conversion (flags, width and precision allowed, "%%" as literal text). A format
// of any other shape is logged and "%g" used instead.
std::string FormatPanelNumber(const std::string& format, double value);

class LayoutEngine {
public:
    // The target is not owned; it owns the controls.
    explicit LayoutEngine(PrimContainer* target);
    virtual ~LayoutEngine();
    LayoutEngine(const LayoutEngine&) = delete;
    LayoutEngine& operator=(const LayoutEngine&) = delete;

    // Factory operations, in slot order. owner: the container that hosts the drop-down
    // list (none: the combo box's own layer).
    virtual ComboBox* AddComboBox(const std::string& key, PrimContainer* owner);
    virtual ListBox* AddListBox(const std::string& key);
    // Null key: an unnamed label; labelSuffix appends "_label" to the key.
    virtual SimpleLabel* AddLabel(const std::string& text, const char* key, bool labelSuffix);
    // The text is set with the caret at the start.
    virtual EditBox* AddEditBox(const std::string& key, const std::string& text, bool multiline);
    // The value is clamped into [minimum, maximum].
    virtual GraphicSliderBar* AddSlider(const std::string& key, float value, float maximum, float minimum);
    // Set without notification.
    virtual CheckBox* AddCheckBox(const std::string& key, bool checked);
    // commandId goes to the button's command id, -1 to its second id.
    virtual TextButton* AddButton(const std::string& caption, const std::string& key, int commandId);
    // folder + file cut into `frames` columns.
    virtual GraphicButton* AddImageButton(const std::string& key, const std::string& folder,
                                          const std::string& file, int frames);
    // The container's shared tooltip, with `text` as its own tip. Added to the container,
    // neither registered nor placed in the flow.
    virtual ToolTip* AddToolTip(const std::string& text);
    virtual ScreenImage* AddImage(const std::string& key, const std::string& path);
    virtual AnimButton* AddAnimButton(const std::string& key, const std::string& path, int frameWidth,
                                      int frameHeight, uint32_t frameTimeMs);
    // AddButton (as overridden) with a plain caption style and small margins.
    virtual TextButton* AddCompactButton(const std::string& caption, const std::string& key, int commandId);
    virtual IconButton* AddIconButton(const std::string& caption, const std::string& key,
                                      const std::string& iconPath, int commandId);
    // One of the eight groups (0-7) or, with allowAny, any group (255).
    virtual GroupChooser* AddGroupChooser(const std::string& key, int group, bool allowAny);
    // The files of a folder that match a wildcard pattern; `current` is selected.
    virtual ImageChooser* AddImageChooser(const std::string& key, const std::string& folder,
                                          const std::string& pattern, const std::string& current);

    // A control the caller made (a widget of its own, a wrapper): named with the key unless
    // it is empty, added, registered and placed like the factory's.
    Primitive* AddControl(std::unique_ptr<Primitive> control, const std::string& key);

    // Panel helpers on the factory operations.
    // A caption for the control under `key` ("<key>_label"), starting a new row.
    SimpleLabel* AddCaption(const std::string& text, const std::string& key);
    // A one-line edit box showing value through the printf format (FormatPanelNumber).
    EditBox* AddNumberBox(const std::string& key, const std::string& format, double value);
    // A combo box of the choices in order; the first whose value equals `selected` is shown.
    ComboBox* AddChoiceList(const std::string& key, const std::vector<PanelChoice>& choices, int selected);
    // An image shown at a given size (virtual units; <= 0 keeps the image's own size).
    ScreenImage* AddImageView(const std::string& key, const std::string& path, float width, float height);
    // Gives a control its tip on the shared tooltip, making the tooltip when there is none.
    void SetTip(Primitive* control, const std::string& tip);
    ToolTip* SharedToolTip() const { return toolTip_; }

    // Flow.
    void SetDirection(FlowDirection direction) { direction_ = direction; }
    FlowDirection Direction() const { return direction_; }
    // Moves the cursor (and the start of the rows or columns) there; -999 keeps an axis.
    void SetOrigin(float x, float y);
    void SetSpacing(float x, float y);
    float SpacingX() const { return spacingX_; }
    float SpacingY() const { return spacingY_; }
    // Space kept free inside the target: the default origin is (left, top) and
    // FitContainer adds right and bottom.
    void SetMargins(float left, float top, float right, float bottom);
    void SetCaptionWidth(float width) { captionWidth_ = width; }
    float CaptionWidth() const { return captionWidth_; }
    // The width given to edit boxes, sliders, combo and list boxes when they are made.
    void SetControlWidth(float width) { controlWidth_ = width; }
    float ControlWidth() const { return controlWidth_; }
    // Rows: the next control starts a new row under the current one. Columns: the next
    // column of rows starts under everything placed so far.
    void NewRow();
    // Columns: the next control starts a new column right of the current one, `extra`
    // further. Rows: the next rows start at the top, right of everything placed so far.
    void NewColumn(float extra = 0.0f);
    // Ends the current row (column) and leaves `units` free after it.
    void AddGap(float units);
    // Places every recorded control again.
    void Layout();
    // Closes the last row and lays everything out.
    void Finish();
    // Sizes the target to what was placed plus the right and bottom margins.
    void FitContainer();

    // Registry.
    PrimContainer* Target() const { return target_; }
    // The control registered under the key while it is still in the target, else the
    // target's descendant of that name; null when none.
    Primitive* Find(const std::string& key) const;
    bool IsRegistered(const Primitive* control) const;
    bool WasChanged(const std::string& key) const;
    // Clears the changed flag of every registered control.
    void ClearChanged();
    int ReadInt(const std::string& key, int fallback = 0) const;
    float ReadFloat(const std::string& key, float fallback = 0.0f) const;
    std::string ReadText(const std::string& key) const;
    bool IsChecked(const std::string& key) const;
    // Without notification; false when there is no check box under the key.
    bool SetChecked(const std::string& key, bool checked);

protected:
    // Adds the control to the target, registers it under its name and places it.
    template <class T>
    T* Adopt(std::unique_ptr<T> control, bool caption = false)
    {
        T* raw = control.release();
        return AdoptPrimitive(raw, caption) ? raw : nullptr;
    }
    void Register(const std::string& key, Primitive* control);
    // Adds a tooltip to the target, unregistered and out of the flow, as the shared one
    // that SetTip uses (for a subclass's AddToolTip); null without a target.
    ToolTip* AdoptToolTip(std::unique_ptr<ToolTip> toolTip);

private:
    struct FlowItem {
        enum class Kind : uint8_t { Control, Row, Column, Gap, Origin } kind;
        Primitive* control = nullptr;
        bool caption = false;
        float a = 0.0f;
        float b = 0.0f;
    };
    struct FlowState {
        float x = 0.0f, y = 0.0f;           // cursor
        float lineStart = 0.0f;             // where each row (column) starts
        float home = 0.0f;                  // rows: the top of the first row; columns: the left
        float lineExtent = 0.0f;            // height of the row (width of the column)
        float lineTop = 0.0f;               // top of the row (left of the column)
        float maxRight = 0.0f, maxBottom = 0.0f;
        std::vector<Primitive*> line;       // the controls of the open row (column)
    };

    // False (the control deleted) without a target.
    bool AdoptPrimitive(Primitive* control, bool caption);
    void Record(FlowItem item);
    void Apply(const FlowItem& item);
    void PlaceControl(Primitive* control, bool caption);
    void AlignLine();
    void EndLine();
    void ResetState();
    bool Placed(const Primitive* control) const;

    PrimContainer* target_;
    ToolTip* toolTip_ = nullptr;
    std::unordered_map<std::string, Primitive*> registry_;
    std::vector<FlowItem> flow_;
    FlowState state_;
    FlowDirection direction_ = FlowDirection::Rows;
    float originX_ = 0.0f, originY_ = 0.0f;
    float spacingX_;
    float spacingY_;
    float marginLeft_ = 0.0f, marginTop_ = 0.0f, marginRight_ = 0.0f, marginBottom_ = 0.0f;
    float captionWidth_ = 0.0f;
    float controlWidth_;
};
