#include "gui/LayoutEngine.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/GraphicButtons.h"
#include "gui/Label.h"
#include "gui/ListBox.h"
#include "gui/PanelChoosers.h"
#include "gui/PrimContainer.h"
#include "gui/ScreenImage.h"
#include "gui/SliderBar.h"
#include "gui/TextButtons.h"
#include "gui/ToolTip.h"
#include "gui/UiScale.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

float DesignX(float pixels) { return Primitive::ToVirtualX(pixels * GetUiScale()); }
float DesignY(float pixels) { return Primitive::ToVirtualY(pixels * GetUiScale()); }

// The control's size in virtual units; a control without a size yet is fitted to its
// content first.
FloatPoint SizeOf(Primitive* control)
{
    FloatPoint size = control->GetSizeVirtual();
    if (size.x <= 0.0f || size.y <= 0.0f) {
        float width = 0.0f;
        float height = 0.0f;
        if (control->GetSize(&width, &height)) {
            control->SetSize(size.x <= 0.0f ? width : kKeepCoordinate, size.y <= 0.0f ? height : kKeepCoordinate);
            size = control->GetSizeVirtual();
        }
    }
    return size;
}

// Checks that a printf format holds exactly one number conversion; tells whether it is an
// integer one.
bool CheckNumberFormat(const std::string& format, bool& integer)
{
    int conversions = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < format.size() && std::strchr("-+ #0", format[j]))
            ++j;
        size_t digits = 0;
        while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])))
            ++j, ++digits;
        if (digits > 2)
            return false;
        if (j < format.size() && format[j] == '.') {
            ++j;
            digits = 0;
            while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])))
                ++j, ++digits;
            if (digits > 2)
                return false;
        }
        if (j >= format.size())
            return false;
        const char kind = format[j];
        if (std::strchr("fFeEgG", kind))
            integer = false;
        else if (std::strchr("diuxX", kind))
            integer = true;
        else
            return false;
        ++conversions;
        i = j;
    }
    return conversions == 1;
}

// The format has been checked to hold one conversion of the argument's kind.
template <class T>
std::string FormatOne(const std::string& format, T value)
{
    const int length = std::snprintf(nullptr, 0, format.c_str(), value);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format.c_str(), value);
    text.resize(static_cast<size_t>(length));
    return text;
}

} // namespace

bool ReadPanelFloat(Primitive* panel, const std::string& key, float& field, float minimum, float maximum,
                    bool onlyIfChanged)
{
    auto* container = dynamic_cast<Container<Primitive>*>(panel);
    Primitive* control = container ? container->FindChild(key) : nullptr;
    if (!control || (onlyIfChanged && !control->GetPressed()))
        return false;
    float value = control->GetFloatValue();
    if (!std::isfinite(value))
        return false;
    if (!(minimum == -1.0f && maximum == -1.0f)) {
        const float magnitude = std::fabs(value);
        if (magnitude < minimum)
            value = std::copysign(minimum, value);
        else if (magnitude > maximum)
            value = std::copysign(maximum, value);
    }
    if (value == field)
        return false;
    field = value;
    return true;
}

std::string FormatPanelNumber(const std::string& format, double value)
{
    bool integer = false;
    if (!CheckNumberFormat(format, integer)) {
        WriteLog("LayoutEngine: unusable number format \"%s\"\n", format.c_str());
        return StringPrintf("%g", value);
    }
    if (integer) {
        const double clamped = std::isfinite(value) ? std::clamp(value, -2147483648.0, 2147483647.0) : 0.0;
        return FormatOne(format, static_cast<int>(clamped));
    }
    return FormatOne(format, value);
}

LayoutEngine::LayoutEngine(PrimContainer* target)
    : target_(target), spacingX_(DesignX(5.0f)), spacingY_(DesignY(5.0f)), controlWidth_(DesignX(150.0f))
{
    ResetState();
}

LayoutEngine::~LayoutEngine() = default;

ComboBox* LayoutEngine::AddComboBox(const std::string& key, PrimContainer* owner)
{
    auto combo = std::make_unique<ComboBox>();
    combo->SetName(key.c_str());
    if (owner)
        combo->listHost = owner;
    float height = 0.0f;
    combo->GetSize(nullptr, &height);
    combo->SetSize(controlWidth_, height);
    return Adopt(std::move(combo));
}

ListBox* LayoutEngine::AddListBox(const std::string& key)
{
    auto list = std::make_unique<SimpleListBox>();
    list->SetName(key.c_str());
    // Three fifths as high as wide, in pixels of either axis.
    list->SetSize(controlWidth_, Primitive::ToVirtualY(Primitive::ToPixelsX(controlWidth_) * 0.6f));
    return Adopt(std::move(list));
}

SimpleLabel* LayoutEngine::AddLabel(const std::string& text, const char* key, bool labelSuffix)
{
    auto label = std::make_unique<SimpleLabel>();
    label->SetText(text);
    if (key)
        label->SetName((std::string(key) + (labelSuffix ? "_label" : "")).c_str());
    return Adopt(std::move(label), key && labelSuffix);
}

EditBox* LayoutEngine::AddEditBox(const std::string& key, const std::string& text, bool multiline)
{
    auto box = std::make_unique<EditBox>();
    box->multiline = multiline ? 1 : 0;
    box->SetName(key.c_str());
    box->InitText(text, true);
    float height = 0.0f;
    box->SetSize(controlWidth_, 0.0f);
    box->GetSize(nullptr, &height);
    box->SetSize(kKeepCoordinate, multiline ? height * 4.0f : height);
    return Adopt(std::move(box));
}

GraphicSliderBar* LayoutEngine::AddSlider(const std::string& key, float value, float maximum, float minimum)
{
    auto slider = std::make_unique<GraphicSliderBar>("Graphics\\Menu\\Slider", "slider_groove.png", "slider_bar.png");
    slider->SetName(key.c_str());
    slider->SetRange(minimum, maximum);
    slider->SetValue(value, false);
    float height = 0.0f;
    slider->SetSize(controlWidth_, 0.0f);
    slider->GetSize(nullptr, &height);
    slider->SetSize(kKeepCoordinate, height);
    return Adopt(std::move(slider));
}

CheckBox* LayoutEngine::AddCheckBox(const std::string& key, bool checked)
{
    auto box = std::make_unique<CheckBox>();
    box->SetName(key.c_str());
    box->SetChecked(checked, false, false);
    return Adopt(std::move(box));
}

TextButton* LayoutEngine::AddButton(const std::string& caption, const std::string& key, int commandId)
{
    auto button = std::make_unique<SimpleButton>();
    button->SetMargins(DesignX(8.0f), DesignY(3.0f), DesignX(8.0f), DesignY(3.0f));
    button->SetCaption(caption.c_str());
    button->SetName(key.c_str());
    button->commandId = commandId;
    button->secondId = -1;
    return Adopt(std::move(button));
}

GraphicButton* LayoutEngine::AddImageButton(const std::string& key, const std::string& folder,
                                            const std::string& file, int frames)
{
    auto button = std::make_unique<GraphicButton>(folder, file, std::max(frames, 1));
    button->SetName(key.c_str());
    return Adopt(std::move(button));
}

ToolTip* LayoutEngine::AddToolTip(const std::string& text)
{
    auto tip = std::make_unique<SimpleToolTip>();
    tip->SetText(text);
    return AdoptToolTip(std::move(tip));
}

ToolTip* LayoutEngine::AdoptToolTip(std::unique_ptr<ToolTip> toolTip)
{
    if (!target_ || !toolTip)
        return nullptr;
    toolTip_ = toolTip.release();
    target_->AddChild(toolTip_);
    return toolTip_;
}

ScreenImage* LayoutEngine::AddImage(const std::string& key, const std::string& path)
{
    auto image = std::make_unique<ScreenImage>(path);
    image->SetName(key.c_str());
    return Adopt(std::move(image));
}

AnimButton* LayoutEngine::AddAnimButton(const std::string& key, const std::string& path, int frameWidth,
                                        int frameHeight, uint32_t frameTimeMs)
{
    auto button = std::make_unique<AnimButton>(path, std::max(frameWidth, 1), std::max(frameHeight, 1), frameTimeMs);
    button->SetName(key.c_str());
    return Adopt(std::move(button));
}

TextButton* LayoutEngine::AddCompactButton(const std::string& caption, const std::string& key, int commandId)
{
    TextButton* button = AddButton(caption, key, commandId);
    if (!button)
        return nullptr;
    button->SetFont(3, 0xFFFFFFFF, 1.0f);
    button->SetMargins(DesignX(4.0f), DesignY(1.0f), DesignX(4.0f), DesignY(1.0f));
    // The margins changed its natural size.
    button->SetSize(0.0f, 0.0f);
    SizeOf(button);
    Layout();
    return button;
}

IconButton* LayoutEngine::AddIconButton(const std::string& caption, const std::string& key,
                                        const std::string& iconPath, int commandId)
{
    auto button = std::make_unique<IconButton>();
    button->hoverOffsetX = 0.0f;
    button->hoverOffsetY = 0.0f;
    button->SetIcon(iconPath, 1, 1, true);
    button->SetCaption(caption.c_str());
    button->SetName(key.c_str());
    button->commandId = commandId;
    button->secondId = -1;
    return Adopt(std::move(button));
}

GroupChooser* LayoutEngine::AddGroupChooser(const std::string& key, int group, bool allowAny)
{
    auto chooser = std::make_unique<GroupChooser>(allowAny);
    chooser->SetName(key.c_str());
    chooser->SetIntValue(group);
    float height = 0.0f;
    chooser->GetSize(nullptr, &height);
    chooser->SetSize(controlWidth_, height);
    return Adopt(std::move(chooser));
}

ImageChooser* LayoutEngine::AddImageChooser(const std::string& key, const std::string& folder,
                                            const std::string& pattern, const std::string& current)
{
    auto chooser = std::make_unique<ImageChooser>(folder, pattern);
    chooser->SetName(key.c_str());
    chooser->Refresh();
    chooser->SetText(current);
    float height = 0.0f;
    chooser->GetSize(nullptr, &height);
    chooser->SetSize(controlWidth_, height);
    return Adopt(std::move(chooser));
}

SimpleLabel* LayoutEngine::AddCaption(const std::string& text, const std::string& key)
{
    if (direction_ == FlowDirection::Rows)
        NewRow();
    return AddLabel(text, key.c_str(), true);
}

EditBox* LayoutEngine::AddNumberBox(const std::string& key, const std::string& format, double value)
{
    return AddEditBox(key, FormatPanelNumber(format, value), false);
}

ComboBox* LayoutEngine::AddChoiceList(const std::string& key, const std::vector<PanelChoice>& choices, int selected)
{
    ComboBox* combo = AddComboBox(key, nullptr);
    if (!combo)
        return nullptr;
    for (const PanelChoice& choice : choices)
        combo->AddItem(choice.text, choice.value);
    combo->SetIntValue(selected);
    combo->ClearPressed();
    return combo;
}

ScreenImage* LayoutEngine::AddImageView(const std::string& key, const std::string& path, float width, float height)
{
    ScreenImage* image = AddImage(key, path);
    if (!image)
        return nullptr;
    image->SetSize(width > 0.0f ? width : kKeepCoordinate, height > 0.0f ? height : kKeepCoordinate);
    Layout();
    return image;
}

void LayoutEngine::SetTip(Primitive* control, const std::string& tip)
{
    if (!control)
        return;
    if (!toolTip_ || !Placed(toolTip_))
        AddToolTip(std::string());
    if (toolTip_ && Placed(toolTip_))
        toolTip_->SetTip(control, tip);
}

void LayoutEngine::SetOrigin(float x, float y) { Record(FlowItem{FlowItem::Kind::Origin, nullptr, false, x, y}); }

void LayoutEngine::SetSpacing(float x, float y)
{
    if (x > kKeepCoordinate)
        spacingX_ = x;
    if (y > kKeepCoordinate)
        spacingY_ = y;
}

void LayoutEngine::SetMargins(float left, float top, float right, float bottom)
{
    marginLeft_ = left;
    marginTop_ = top;
    marginRight_ = right;
    marginBottom_ = bottom;
    originX_ = left;
    originY_ = top;
    if (flow_.empty())
        ResetState();
}

void LayoutEngine::NewRow() { Record(FlowItem{FlowItem::Kind::Row}); }
void LayoutEngine::NewColumn(float extra) { Record(FlowItem{FlowItem::Kind::Column, nullptr, false, extra}); }
void LayoutEngine::AddGap(float units) { Record(FlowItem{FlowItem::Kind::Gap, nullptr, false, units}); }

void LayoutEngine::Layout()
{
    // Controls that left the target are dropped from the flow first.
    std::erase_if(flow_, [this](const FlowItem& item) {
        return item.kind == FlowItem::Kind::Control && !(target_ && target_->HasChild(item.control));
    });
    ResetState();
    for (const FlowItem& item : flow_)
        Apply(item);
    AlignLine();
}

void LayoutEngine::Finish()
{
    Layout();
    EndLine();
}

void LayoutEngine::FitContainer()
{
    if (!target_)
        return;
    Finish();
    target_->SetSize(state_.maxRight + marginRight_, state_.maxBottom + marginBottom_);
}

Primitive* LayoutEngine::Find(const std::string& key) const
{
    if (!target_)
        return nullptr;
    const auto it = registry_.find(key);
    // A registered control counts while it is in the target under that name (a control
    // made later at the address of a removed one does not answer for the old key).
    if (it != registry_.end() && Placed(it->second) && it->second->name == key)
        return it->second;
    return target_->FindChild(key);
}

bool LayoutEngine::IsRegistered(const Primitive* control) const
{
    return std::any_of(registry_.begin(), registry_.end(),
                       [control](const auto& entry) { return entry.second == control; });
}

bool LayoutEngine::WasChanged(const std::string& key) const
{
    Primitive* control = Find(key);
    return control && control->GetPressed();
}

void LayoutEngine::ClearChanged()
{
    for (const auto& [key, control] : registry_)
        if (Placed(control))
            control->ClearPressed();
}

int LayoutEngine::ReadInt(const std::string& key, int fallback) const
{
    Primitive* control = Find(key);
    return control ? control->GetIntValue() : fallback;
}

float LayoutEngine::ReadFloat(const std::string& key, float fallback) const
{
    Primitive* control = Find(key);
    return control ? control->GetFloatValue() : fallback;
}

std::string LayoutEngine::ReadText(const std::string& key) const
{
    Primitive* control = Find(key);
    return control ? control->GetText() : std::string();
}

bool LayoutEngine::IsChecked(const std::string& key) const
{
    auto* box = dynamic_cast<CheckBox*>(Find(key));
    return box && box->IsChecked();
}

bool LayoutEngine::SetChecked(const std::string& key, bool checked)
{
    auto* box = dynamic_cast<CheckBox*>(Find(key));
    if (!box)
        return false;
    box->SetChecked(checked, false, false);
    return true;
}

void LayoutEngine::Register(const std::string& key, Primitive* control) { registry_[key] = control; }

Primitive* LayoutEngine::AddControl(std::unique_ptr<Primitive> control, const std::string& key)
{
    if (!control)
        return nullptr;
    if (!key.empty())
        control->SetName(key.c_str());
    return Adopt(std::move(control));
}

bool LayoutEngine::AdoptPrimitive(Primitive* control, bool caption)
{
    if (!target_) {
        WriteLog("LayoutEngine: no target container for \"%s\"\n", control->name.c_str());
        delete control;
        return false;
    }
    target_->AddChild(control);
    Register(control->name, control);
    Record(FlowItem{FlowItem::Kind::Control, control, caption});
    return true;
}

void LayoutEngine::Record(FlowItem item)
{
    flow_.push_back(item);
    Apply(item);
}

void LayoutEngine::Apply(const FlowItem& item)
{
    FlowState& s = state_;
    const bool rows = direction_ == FlowDirection::Rows;
    switch (item.kind) {
    case FlowItem::Kind::Control:
        PlaceControl(item.control, item.caption);
        break;
    case FlowItem::Kind::Row:
        EndLine();
        if (!rows) {
            s.y = s.lineStart = s.maxBottom + spacingY_;
            s.x = s.lineTop = s.home;
        }
        break;
    case FlowItem::Kind::Column:
        EndLine();
        if (rows) {
            s.x = s.lineStart = s.maxRight + spacingX_ + item.a;
            s.y = s.lineTop = s.home;
        } else {
            s.x += item.a;
            s.lineTop = s.x;
        }
        break;
    case FlowItem::Kind::Gap:
        EndLine();
        if (rows)
            s.y = s.lineTop = s.y + item.a;
        else
            s.x = s.lineTop = s.x + item.a;
        break;
    case FlowItem::Kind::Origin:
        EndLine();
        if (item.a != kKeepCoordinate) {
            s.x = rows ? (s.lineStart = item.a) : (s.lineTop = item.a);
            if (!rows)
                s.home = item.a;
        }
        if (item.b != kKeepCoordinate) {
            s.y = rows ? (s.lineTop = item.b) : (s.lineStart = item.b);
            if (rows)
                s.home = item.b;
        }
        break;
    }
}

void LayoutEngine::PlaceControl(Primitive* control, bool caption)
{
    FlowState& s = state_;
    const FloatPoint size = SizeOf(control);
    control->SetPosition(s.x, s.y);
    const bool rows = direction_ == FlowDirection::Rows;
    if (rows) {
        const float width = caption && s.line.empty() ? std::max(size.x, captionWidth_) : size.x;
        s.x += width + spacingX_;
        s.lineExtent = std::max(s.lineExtent, size.y);
    } else {
        const float width = caption ? std::max(size.x, captionWidth_) : size.x;
        s.y += size.y + spacingY_;
        s.lineExtent = std::max(s.lineExtent, width);
    }
    const FloatPoint at = control->GetPositionVirtual();
    s.maxRight = std::max(s.maxRight, at.x + size.x);
    s.maxBottom = std::max(s.maxBottom, at.y + size.y);
    s.line.push_back(control);
    AlignLine();
}

void LayoutEngine::AlignLine()
{
    // Rows: the controls of the row are centred on its height.
    // Controls that left the target since they were placed are skipped.
    std::erase_if(state_.line, [this](Primitive* control) { return !target_ || !target_->HasChild(control); });
    if (direction_ != FlowDirection::Rows)
        return;
    for (Primitive* control : state_.line) {
        const FloatPoint size = control->GetSizeVirtual();
        control->SetPosition(kKeepCoordinate, state_.lineTop + (state_.lineExtent - size.y) / 2.0f);
    }
}

void LayoutEngine::EndLine()
{
    FlowState& s = state_;
    if (s.line.empty())
        return;
    const bool rows = direction_ == FlowDirection::Rows;
    AlignLine();
    if (rows) {
        s.y = s.lineTop = s.lineTop + s.lineExtent + spacingY_;
        s.x = s.lineStart;
    } else {
        s.x = s.lineTop = s.lineTop + s.lineExtent + spacingX_;
        s.y = s.lineStart;
    }
    s.lineExtent = 0.0f;
    s.line.clear();
}

void LayoutEngine::ResetState()
{
    state_ = FlowState{};
    const bool rows = direction_ == FlowDirection::Rows;
    state_.x = originX_;
    state_.y = originY_;
    state_.lineStart = rows ? originX_ : originY_;
    state_.lineTop = rows ? originY_ : originX_;
    state_.home = state_.lineTop;
}

bool LayoutEngine::Placed(const Primitive* control) const
{
    if (!target_ || !control)
        return false;
    // Compares pointers only: a deleted control is never dereferenced.
    std::vector<Primitive*> pending = target_->CopyChildList();
    while (!pending.empty()) {
        Primitive* node = pending.back();
        pending.pop_back();
        if (node == control)
            return node->active != 0;
        if (auto* container = dynamic_cast<Container<Primitive>*>(node))
            for (Primitive* child : container->Children())
                pending.push_back(child);
    }
    return false;
}
