#include "gui/FlimbsLayoutEngine.h"

#include "gui/FlimbsCheckBox.h"
#include "gui/FlimbsComboBox.h"
#include "gui/FlimbsEditBox.h"
#include "gui/FlimbsListBox.h"
#include "gui/FlimbsSliderBar.h"
#include "gui/FlimbsToolTip.h"
#include "gui/Label.h"
#include "gui/PrimContainer.h"
#include "gui/StretchGraphicButton.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"

#include <algorithm>
#include <memory>

namespace {

float DesignX(float pixels) { return Primitive::ToVirtualX(pixels * GetUiScale()); }
float DesignY(float pixels) { return Primitive::ToVirtualY(pixels * GetUiScale()); }

// Sizes a control to its natural size (what its GetSize reports).
void FitToContent(Primitive* control)
{
    float width = 0.0f;
    float height = 0.0f;
    if (control->GetSize(&width, &height))
        control->SetSize(width, height);
}

// The natural height of a control that is given a width.
void SetWidthKeepNaturalHeight(Primitive* control, float width)
{
    control->SetSize(width, kKeepCoordinate);
    float height = 0.0f;
    if (control->GetSize(nullptr, &height))
        control->SetSize(kKeepCoordinate, height);
}

// A skinned button is never narrower than its two caps, whose images would else spill
// over its neighbours.
void FitStretchButton(TextButton* button)
{
    float width = 0.0f;
    button->GetSize(&width, nullptr);
    if (auto* skinned = dynamic_cast<StretchGraphicButton*>(button)) {
        const float caps = skinned->LeftImage().DrawnWidth(skinned->ImageScale()) +
                           skinned->RightImage().DrawnWidth(skinned->ImageScale());
        width = std::max(width, Primitive::ToVirtualX(caps));
    }
    button->SetSize(width, kKeepCoordinate);
}

} // namespace

ComboBox* FlimbsLayoutEngine::AddComboBox(const std::string& key, PrimContainer* owner)
{
    auto combo = std::make_unique<FlimbsComboBox>();
    combo->SetName(key.c_str());
    if (owner)
        combo->listHost = owner;
    // As high as the skin (the box's own height), the text centred on it.
    combo->SetSize(ControlWidth(), kKeepCoordinate);
    return Adopt(std::move(combo));
}

ListBox* FlimbsLayoutEngine::AddListBox(const std::string& key)
{
    auto list = std::make_unique<FlimbsListBox>();
    list->SetName(key.c_str());
    // Three fifths as high as wide, in pixels of either axis.
    list->SetSize(ControlWidth(), Primitive::ToVirtualY(Primitive::ToPixelsX(ControlWidth()) * 0.6f));
    return Adopt(std::move(list));
}

SimpleLabel* FlimbsLayoutEngine::AddLabel(const std::string& text, const char* key, bool labelSuffix)
{
    return LayoutEngine::AddLabel(text, key, labelSuffix);
}

EditBox* FlimbsLayoutEngine::AddEditBox(const std::string& key, const std::string& text, bool multiline)
{
    std::unique_ptr<EditBox> box;
    if (multiline) {
        box = std::make_unique<FlimbsEditBoxMultiline>();
        box->multiline = 1;
    } else {
        box = std::make_unique<FlimbsEditBox>();
    }
    box->SetName(key.c_str());
    box->InitText(text, true);
    if (multiline) {
        // Room for four lines (at least the text's) inside the frame.
        box->SetSize(ControlWidth(), 0.0f);
        const float lines = std::max(4.0f, float(std::count(text.begin(), text.end(), '\n') + 1));
        const float pixels = box->LineHeight() * lines + box->margins.top + box->margins.bottom;
        box->SetSize(kKeepCoordinate, Primitive::ToVirtualY(pixels));
    } else {
        SetWidthKeepNaturalHeight(box.get(), ControlWidth());
    }
    return Adopt(std::move(box));
}

GraphicSliderBar* FlimbsLayoutEngine::AddSlider(const std::string& key, float value, float maximum, float minimum)
{
    auto slider = std::make_unique<FlimbsSliderBar>();
    slider->SetName(key.c_str());
    slider->Configure(value, maximum, minimum);
    slider->SetSize(ControlWidth(), 0.0f);
    float height = 0.0f;
    slider->GetSize(nullptr, &height);
    slider->SetSize(kKeepCoordinate, height);
    return Adopt(std::move(slider));
}

CheckBox* FlimbsLayoutEngine::AddCheckBox(const std::string& key, bool checked)
{
    auto box = std::make_unique<FlimbsCheckBox>();
    box->SetName(key.c_str());
    box->SetChecked(checked, false, false);
    FitToContent(box.get());
    return Adopt(std::move(box));
}

TextButton* FlimbsLayoutEngine::AddButton(const std::string& caption, const std::string& key, int commandId)
{
    auto button = std::make_unique<FlimbsButton>();
    button->SetCaption(caption.c_str());
    button->SetName(key.c_str());
    button->commandId = commandId;
    button->secondId = -1;
    // As wide as the caption needs; as high as the skin.
    FitStretchButton(button.get());
    return Adopt(std::move(button));
}

ToolTip* FlimbsLayoutEngine::AddToolTip(const std::string& text)
{
    return AdoptToolTip(std::make_unique<FlimbsToolTip>(0.0f, text));
}

ToolTip* FlimbsLayoutEngine::AddToolTip(const std::string& text, float widthLimit)
{
    return AdoptToolTip(std::make_unique<FlimbsToolTip>(widthLimit, text));
}

TextButton* FlimbsLayoutEngine::AddCompactButton(const std::string& caption, const std::string& key, int commandId)
{
    TextButton* button = AddButton(caption, key, commandId);
    if (!button)
        return nullptr;
    button->SetFont(3, 0xFFFFFFFF, 1.0f);
    button->SetMargins(DesignX(4.0f), DesignY(1.0f), DesignX(4.0f), DesignY(1.0f));
    // The new font and margins change its natural width; its height stays its own.
    FitStretchButton(button);
    Layout();
    return button;
}

IconButton* FlimbsLayoutEngine::AddIconButton(const std::string& caption, const std::string& key,
                                              const std::string& iconPath, int commandId)
{
    auto button = std::make_unique<IconButton>();
    button->hoverOffsetX = 0.0f;
    button->hoverOffsetY = 0.0f;
    button->iconScale = ScreenImageScale();
    // One frame of the whole image; the caption's left margin becomes the icon's drawn
    // width plus 10 pixels x UI scale.
    button->SetIcon(iconPath, 1, 1, true);
    button->SetCaption(caption.c_str());
    button->SetName(key.c_str());
    button->commandId = commandId;
    button->secondId = -1;
    FitToContent(button.get());
    return Adopt(std::move(button));
}
