#include "gui/MessageBox.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "gui/FlimbsMessageBox.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "platform/input/ScanCodes.h"

#include <algorithm>

namespace {

constexpr uint32_t kPanelColour = 0xEE223344;
constexpr uint32_t kTitleColour = 0xFF334E66;
constexpr uint32_t kBorderColour = 0xFF8899AA;

float Scale() { return GetUiScale(); }

} // namespace

MessageBox::MessageBox(const std::string& title, const std::string& text, std::vector<MessageBoxButton> buttons,
                       bool closable)
    : title_(title), text_(text)
{
    name = "MESSAGE_BOX";
    containerFlags = kContainerModal | kContainerModalBlocks | kContainerWindow;
    if (buttons.empty())
        buttons.push_back(MessageBoxButton{TranslateText("OK"), nullptr});
    Build(buttons, closable);
}

void MessageBox::Build(const std::vector<MessageBoxButton>& buttons, bool closable)
{
    const float scale = Scale();
    Font* font = FontManager::GetFont(0);
    const float lineHeight = font ? font->LineHeight(scale) : 16.0f * scale;
    const float padding = 12.0f * scale;
    const float width = std::min(420.0f * scale, static_cast<float>(GetScreenWidth()) - 2.0f * padding);
    wrapWidth_ = width - 2.0f * padding;
    titleHeight_ = lineHeight + 8.0f * scale;
    textTop_ = titleHeight_ + padding;
    const float textHeight = font ? font->MeasureText(text_, scale, scale, wrapWidth_).height : lineHeight;

    // The button row: equal buttons, centred.
    float buttonWidth = 80.0f * scale;
    for (const MessageBoxButton& spec : buttons)
        if (font)
            buttonWidth = std::max(buttonWidth, font->TextWidth(spec.caption, scale) + 24.0f * scale);
    const float buttonHeight = lineHeight + 10.0f * scale;
    const float gap = 10.0f * scale;
    const float rowWidth = static_cast<float>(buttons.size()) * buttonWidth +
                           static_cast<float>(buttons.size() - 1) * gap;
    const float boxWidth = std::max(width, rowWidth + 2.0f * padding);
    const float height = textTop_ + textHeight + padding + buttonHeight + padding;

    SetPosition(ToVirtualX((static_cast<float>(GetScreenWidth()) - boxWidth) / 2.0f),
                ToVirtualY((static_cast<float>(GetScreenHeight()) - height) / 2.0f));
    SetSize(ToVirtualX(boxWidth), ToVirtualY(height));

    float x = (boxWidth - rowWidth) / 2.0f;
    const float y = height - padding - buttonHeight;
    for (size_t index = 0; index < buttons.size(); ++index) {
        auto* button = new SimpleButton(buttons[index].caption);
        button->name = "message_button_" + std::to_string(index);
        button->SetPosition(ToVirtualX(x), ToVirtualY(y));
        button->SetSize(ToVirtualX(buttonWidth), ToVirtualY(buttonHeight));
        button->onClick = [this, index](Primitive*, Button*) { Press(static_cast<int>(index)); };
        AddChild(button);
        buttons_.push_back(button);
        actions_.push_back(buttons[index].action);
        x += buttonWidth + gap;
    }
    if (closable) {
        auto* close = new SimpleButton("x");
        close->name = "close_button";
        const float side = titleHeight_ - 4.0f * scale;
        close->SetPosition(ToVirtualX(boxWidth - side - 2.0f * scale), ToVirtualY(2.0f * scale));
        close->SetSize(ToVirtualX(side), ToVirtualY(side));
        close->onClick = [this](Primitive*, Button*) { Press(-1); };
        AddChild(close);
        closeButton_ = close;
    }
}

Button* MessageBox::GetButton(int index) const
{
    if (index < 0 || index >= ButtonCount())
        return nullptr;
    return buttons_[static_cast<size_t>(index)];
}

void ModalHandover::Take(Primitive* box)
{
    previous_ = GetModalWindow();
    previousBlocks_ = IsModalActive();
    OpenWindow(box, true);
    SetModalWindow(box, true);
    SetKeyboardFocus(box);
}

void ModalHandover::Release(Primitive* box)
{
    if (GetModalWindow() == box) {
        if (previous_ && previous_ != box && IsWindowOpen(previous_))
            SetModalWindow(previous_, previousBlocks_);
        else
            SetModalWindow(nullptr, false);
    }
    if (GetKeyboardFocus() && box->IsSelfOrAncestorOf(GetKeyboardFocus()))
        SetKeyboardFocus(nullptr);
}

int MessageBoxKeyButton(int value, int code, int buttonCount)
{
    if (value == 0)
        return kNotABoxKey;
    if (code == kKeyEnter)
        return 0;
    if (code == kKeyEscape)
        return buttonCount > 1 ? buttonCount - 1 : -1;
    return kNotABoxKey;
}

void MessageBox::Show() { modal_.Take(this); }

void MessageBox::Press(int index)
{
    if (!active)
        return;
    pressedButton = index;
    if (Button* button = GetButton(index)) {
        // The action may close the box itself; it is closed here in any case.
        if (const ButtonCallback action = actions_[static_cast<size_t>(index)])
            action(this, button);
    }
    Close();
}

bool MessageBox::Deactivate()
{
    const bool result = PrimContainer::Deactivate();
    modal_.Release(this);
    return result;
}

int MessageBox::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (!active)
        return 0;
    const int button = MessageBoxKeyButton(value, code, ButtonCount());
    if (button != kNotABoxKey) {
        Press(button);
        return 1;
    }
    PrimContainer::OnKey(value, code, shift, device);
    return 1;
}

void MessageBox::Draw()
{
    const uint32_t alphaBits = static_cast<uint32_t>(alpha) << 24;
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, kPanelColour);
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.top + titleHeight_, kTitleColour);
    Draw2D::DrawRectOutline(rect.left, rect.top, rect.right, rect.bottom, kBorderColour);
    if (Font* font = FontManager::GetFont(0)) {
        const float scale = Scale();
        const float padding = 12.0f * scale;
        font->DrawTextLines(rect.left + padding, rect.top + titleHeight_ / 2.0f, scale, scale, 0xFFFFFF | alphaBits,
                            title_, kTextVCentre);
        font->DrawTextLines(rect.left + padding, rect.top + textTop_, scale, scale, 0xFFFFFF | alphaBits, text_, 0,
                            wrapWidth_);
    }
    PrimContainer::Draw();
}

namespace {

FlimbsMessageBox* OpenBox(const std::string& title, const std::string& text, std::vector<MessageBoxButton> buttons,
                          bool logText, bool closable)
{
    if (logText)
        WriteLog("%s: %s\n", title.c_str(), text.c_str());
    auto* box = new FlimbsMessageBox(title, text, std::move(buttons), closable);
    box->Show();
    return box;
}

} // namespace

FlimbsMessageBox* ShowMessageBox(const std::string& title, const std::string& text,
                                 std::vector<MessageBoxButton> buttons, bool logText)
{
    return OpenBox(title, text, std::move(buttons), logText, false);
}

FlimbsMessageBox* ShowClosableMessageBox(const std::string& title, const std::string& text,
                                         std::vector<MessageBoxButton> buttons, bool logText)
{
    return OpenBox(title, text, std::move(buttons), logText, true);
}
