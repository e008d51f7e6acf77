#pragma once
// A property panel's widgets changed as the user changes them (typed, slid, checked,
// chosen), for any fixture that builds panels.
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/LayoutPanel.h"
#include "gui/SliderBar.h"

#include <gtest/gtest.h>

#include <string>

inline void PanelType(LayoutPanel& panel, const std::string& key, const std::string& text)
{
    auto* box = dynamic_cast<EditBox*>(panel.Find(key));
    ASSERT_NE(box, nullptr) << key;
    box->SetText(text);
    box->Commit();
}

inline void PanelSlide(LayoutPanel& panel, const std::string& key, float value)
{
    auto* slider = dynamic_cast<GraphicSliderBar*>(panel.Find(key));
    ASSERT_NE(slider, nullptr) << key;
    slider->SetValue(value, true);
}

inline void PanelCheck(LayoutPanel& panel, const std::string& key, bool on)
{
    auto* box = dynamic_cast<CheckBox*>(panel.Find(key));
    ASSERT_NE(box, nullptr) << key;
    box->SetChecked(on, true, true);
}

inline void PanelChoose(LayoutPanel& panel, const std::string& key, int index)
{
    auto* combo = dynamic_cast<ComboBox*>(panel.Find(key));
    ASSERT_NE(combo, nullptr) << key;
    combo->SetSelection(index, true);
    combo->pressed = 1;
}
