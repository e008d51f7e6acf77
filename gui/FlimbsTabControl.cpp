#include "gui/FlimbsTabControl.h"

#include "app/LanguageTexts.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/Font.h"

#include <algorithm>

namespace {
const char* const kTabButtonFolder = "Graphics\\Menu\\TabButton\\";
const char* const kTabControlFolder = "Graphics\\Menu\\TabControl\\";
constexpr float kTabButtonPaddingLeft = 13.0f; // design pixels
constexpr float kTabButtonPaddingRight = 12.0f;
constexpr float kTabPadding = 6.0f;
} // namespace

FlimbsTabButton::FlimbsTabButton(const std::string& newCaption, int font)
    : fontId(font), textScale(GetUiScale()), paddingLeft(kTabButtonPaddingLeft * GetUiScale()),
      paddingRight(kTabButtonPaddingRight * GetUiScale()), left_(kTabButtonFolder, "tab-button-left.png"),
      middle_(kTabButtonFolder, "tab-button-mid.png"), right_(kTabButtonFolder, "tab-button-right.png"),
      fillOn_(kTabButtonFolder, "tab-button-fill-on.png"), fillOff_(kTabButtonFolder, "tab-button-fill-off.png")
{
    SetCaption(newCaption.c_str());
}

void FlimbsTabButton::SetCaption(const char* newCaption)
{
    caption = newCaption ? newCaption : "";
    text = ConvertCaptionText(fontId, caption);
}

float FlimbsTabButton::PlateHeight() const
{
    return left_.DrawnHeight(ScreenImageScale());
}

FloatRect FlimbsTabButton::CaptionArea() const
{
    return FloatRect{rect.left + paddingLeft, rect.top, std::max(rect.left + paddingLeft, rect.right - paddingRight),
                     rect.bottom};
}

bool FlimbsTabButton::GetSize(float* width, float* height)
{
    const float textWidth = WidgetTextWidth(fontId, text, textScale);
    const float capsWidth = left_.DrawnWidth(ScreenImageScale()) + right_.DrawnWidth(ScreenImageScale());
    if (width)
        *width = ToVirtualX(std::max(textWidth + paddingLeft + paddingRight, capsWidth));
    if (height)
        *height = ToVirtualY(std::max(WidgetLineHeight(fontId, textScale), PlateHeight()));
    return true;
}

void FlimbsTabButton::Draw()
{
    const float height = rect.bottom - rect.top;
    if (height <= 0.0f || left_.FrameHeight() <= 0)
        return;
    // The plate fills the button's height; the caps keep their proportions.
    const float scale = height / float(left_.FrameHeight());
    const uint32_t colour = WithAlpha(0xFFFFFFFFu, alpha);
    DrawThreeSlice(left_, middle_, right_, rect.left, rect.top, rect.right - rect.left, scale, colour);
    const FloatRect area = CaptionArea();
    (selected ? fillOn_ : fillOff_).DrawStretched(area.left, area.top, area.right, area.bottom, colour);
    DrawWidgetText(fontId, (area.left + area.right) / 2.0f, (area.top + area.bottom) / 2.0f, textScale,
                   WithAlpha(textColour, alpha), text, kTextCentre | kTextVCentre);
}

FlimbsTabControl::FlimbsTabControl(int font)
    : TabControl(font), left_(kTabControlFolder, "tab-left.png"), middle_(kTabControlFolder, "tab-mid.png"),
      right_(kTabControlFolder, "tab-right.png")
{
    textScale = GetUiScale();
    tabPadding = kTabPadding * GetUiScale();
}

PrimContainer* FlimbsTabControl::AddPage(const std::string& caption, PrimContainer* page, float headerWidth)
{
    PrimContainer* added = TabControl::AddPage(caption, page, headerWidth);
    SyncTabButtons();
    return added;
}

FlimbsTabButton* FlimbsTabControl::TabButton(int index) const
{
    return index >= 0 && index < int(buttons_.size()) ? buttons_[size_t(index)] : nullptr;
}

void FlimbsTabControl::SyncTabButtons()
{
    // Forgets pages that left the control (selecting the current page again prunes them).
    SelectPage(CurrentIndex(), false);
    // Buttons taken out by someone else are forgotten.
    buttons_.erase(std::remove_if(buttons_.begin(), buttons_.end(), [this](FlimbsTabButton* button) {
                       return !HasChild(button);
                   }),
                   buttons_.end());
    while (int(buttons_.size()) > PageCount()) {
        RemoveChild(buttons_.back(), true);
        buttons_.pop_back();
    }
    while (int(buttons_.size()) < PageCount()) {
        auto* button = new FlimbsTabButton(std::string(), fontId);
        button->excludeFromBounds = 1;
        button->onClick = [this](Primitive*, Button* clicked) {
            const auto found = std::find(buttons_.begin(), buttons_.end(), clicked);
            if (found == buttons_.end())
                return;
            SelectPage(int(found - buttons_.begin()), true);
            SyncTabButtons();
        };
        AddChild(button);
        buttons_.push_back(button);
    }
    float left = 0.0f;
    const float header = HeaderHeight();
    for (int i = 0; i < PageCount(); ++i) {
        FlimbsTabButton* button = buttons_[size_t(i)];
        const float width = TabWidth(i);
        if (button->caption != PageCaption(i))
            button->SetCaption(PageCaption(i).c_str());
        button->textScale = textScale;
        button->selected = i == CurrentIndex() ? 1 : 0;
        button->SetPosition(ToVirtualX(left), 0.0f);
        button->SetSize(ToVirtualX(width), ToVirtualY(header));
        left += width;
    }
}

void FlimbsTabControl::SetSize(float width, float height)
{
    TabControl::SetSize(width, height);
    SyncTabButtons();
}

Primitive* FlimbsTabControl::OnLeftButton(int x, int y, int phase)
{
    if (!enabled || !visible)
        return nullptr;
    SyncTabButtons();
    for (FlimbsTabButton* button : buttons_)
        if (Primitive* taker = button->OnLeftButton(x, y, phase))
            return taker;
    // Not on a tab: the pages (the strip behind the buttons takes nothing).
    return PrimContainer::OnLeftButton(x, y, phase);
}

void FlimbsTabControl::DrawTabs()
{
    if (PageCount() == 0 || left_.FrameHeight() <= 0)
        return;
    const float header = HeaderHeight();
    const float scale = header / float(left_.FrameHeight());
    float width = 0.0f;
    for (int i = 0; i < PageCount(); ++i)
        width += TabWidth(i);
    DrawThreeSlice(left_, middle_, right_, rect.left, rect.top, std::min(width, rect.right - rect.left), scale,
                   WithAlpha(0xFFFFFFFFu, alpha));
}

void FlimbsTabControl::Draw()
{
    if (!visible || !highlight)
        return;
    SyncTabButtons();
    TabControl::Draw();
}
