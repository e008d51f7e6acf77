#include "gui/LayoutPanel.h"

#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/Label.h"
#include "gui/LayoutEngine.h"
#include "gui/ListBox.h"
#include "gui/SliderBar.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"

#include <cmath>
#include <cstdlib>

namespace {

void FitToContent(Primitive* control)
{
    float width = 0.0f, height = 0.0f;
    if (control && control->GetSize(&width, &height))
        control->SetSize(width, height);
}

} // namespace

LayoutPanel::LayoutPanel() : engine_(std::make_unique<FlimbsLayoutEngine>(Client()))
{
    draggable = 1;
    engine_->SetMargins(DesignUnitsX(8.0f), DesignUnitsY(8.0f), DesignUnitsX(8.0f), DesignUnitsY(8.0f));
    engine_->SetSpacing(DesignUnitsX(4.0f), DesignUnitsY(3.0f));
    engine_->SetCaptionWidth(DesignUnitsX(90.0f));
    engine_->SetControlWidth(DesignUnitsX(140.0f));
}

LayoutPanel::~LayoutPanel() = default;

void LayoutPanel::Caption(const std::string& label, const std::string& key)
{
    if (!label.empty())
        engine_->AddCaption(label, key);
}

TextButton* LayoutPanel::AddButton(const std::string& label, const std::string& userText, ButtonCallback onClick)
{
    engine_->NewRow();
    const std::string key = userText.empty() ? label : userText;
    TextButton* button = engine_->AddButton(label, key, std::atoi(userText.c_str()));
    if (button)
        button->onClick = std::move(onClick);
    return button;
}

CheckBox* LayoutPanel::AddCheckBox(const std::string& label, const std::string& key, bool value,
                                   const std::string& tip)
{
    engine_->NewRow();
    CheckBox* box = engine_->AddCheckBox(key, value);
    if (!box)
        return nullptr;
    box->caption = label;
    FitToContent(box);
    if (!tip.empty())
        engine_->SetTip(box, tip);
    engine_->Layout();
    return box;
}

GraphicSliderBar* LayoutPanel::AddSlider(const std::string& label, const std::string& key, float value,
                                         float maximum, float minimum, const std::string& tip,
                                         ControlCallback onChange)
{
    Caption(label, key);
    GraphicSliderBar* slider = engine_->AddSlider(key, value, maximum, minimum);
    if (!slider)
        return nullptr;
    slider->onChange = std::move(onChange);
    if (!tip.empty())
        engine_->SetTip(slider, tip);
    return slider;
}

EditBox* LayoutPanel::AddTextField(const std::string& label, const std::string& key, const std::string& format,
                                   double value, const std::string& tip)
{
    Caption(label, key);
    EditBox* box = engine_->AddNumberBox(key, format, value);
    if (box && !tip.empty())
        engine_->SetTip(box, tip);
    return box;
}

ComboBox* LayoutPanel::AddChoice(const std::string& label, const std::string& key,
                                 const std::vector<std::string>& choices, int selected, const std::string& tip)
{
    Caption(label, key);
    std::vector<PanelChoice> items;
    items.reserve(choices.size());
    for (size_t i = 0; i < choices.size(); ++i)
        items.push_back(PanelChoice{choices[i], static_cast<int>(i)});
    ComboBox* combo = engine_->AddComboBox(key, nullptr);
    if (!combo)
        return nullptr;
    for (const PanelChoice& item : items)
        combo->AddItem(item.text, item.value);
    combo->SetIntValue(selected);
    combo->ClearPressed();
    if (!tip.empty())
        engine_->SetTip(combo, tip);
    return combo;
}

ListBox* LayoutPanel::AddList(const std::string& key, const std::vector<std::string>& lines)
{
    engine_->NewRow();
    ListBox* list = engine_->AddListBox(key);
    if (!list)
        return nullptr;
    for (const std::string& line : lines)
        list->AddItem(line);
    list->ClearPressed();
    return list;
}

SimpleLabel* LayoutPanel::AddLabel(const std::string& text)
{
    engine_->NewRow();
    return engine_->AddLabel(text, nullptr, false);
}

void LayoutPanel::AddGap(float units)
{
    engine_->AddGap(DesignUnitsY(units));
}

Primitive* LayoutPanel::Find(const std::string& key) const
{
    return engine_->Find(key);
}

LayoutPanel* LayoutPanel::Of(Primitive* widget)
{
    for (Primitive* node = widget; node; node = node->parent)
        if (auto* panel = dynamic_cast<LayoutPanel*>(node))
            return panel;
    return nullptr;
}

bool LayoutPanel::Accepted(const std::string& key) const
{
    Primitive* control = Find(key);
    return control && control->GetPressed();
}

bool LayoutPanel::ReadChecked(const std::string& key, uint8_t& field) const
{
    if (!Accepted(key))
        return false;
    field = Find(key)->IsChecked() ? 1 : 0;
    return true;
}

bool LayoutPanel::ReadInt(const std::string& key, int32_t& field) const
{
    if (!Accepted(key))
        return false;
    field = Find(key)->GetIntValue();
    return true;
}

bool LayoutPanel::ReadFloat(const std::string& key, float& field, float minimum, float maximum) const
{
    if (!Accepted(key))
        return false;
    float value = Find(key)->GetFloatValue();
    if (!std::isfinite(value))
        return false;
    const float magnitude = std::fabs(value);
    const float kept = magnitude < minimum ? minimum : (magnitude > maximum ? maximum : magnitude);
    field = value < 0.0f ? -kept : kept;
    return true;
}

bool LayoutPanel::SetChecked(const std::string& key, bool checked)
{
    return engine_->SetChecked(key, checked);
}

void LayoutPanel::ClearChanged()
{
    engine_->ClearChanged();
}

void LayoutPanel::Finish()
{
    engine_->FitContainer();
    AdjustSize(0, 0.0f, 0.0f);
    float width = 0.0f, height = 0.0f;
    GetSize(&width, &height);
    SetSize(width, height);
}
