#include "gui/FlimbsMessageBox.h"

#include "app/LanguageTexts.h"
#include "gui/GraphicButtons.h"
#include "gui/Label.h"
#include "gui/StretchGraphicButton.h"
#include "gui/UiScale.h"
#include "gui/GuiDevice.h"
#include "gui/WindowList.h"

#include <algorithm>

namespace {

// Design pixels, times the UI scale.
constexpr float kTextWidth = 420.0f;
constexpr float kGap = 10.0f;           // between the text and the buttons, and between buttons
constexpr float kInnerPadding = 8.0f;   // inside the client frame's border pieces
constexpr float kMinButtonWidth = 100.0f;

} // namespace

FlimbsMessageBox::FlimbsMessageBox(const std::string& title, const std::string& text,
                                   std::vector<MessageBoxButton> buttons, bool closable)
    : text_(text), closable_(closable)
{
    name = "MESSAGE_BOX";
    containerFlags = kContainerModal | kContainerModalBlocks | kContainerWindow;
    SetTitle(title.c_str());
    CloseButton()->onClick = [this](Primitive*, Button*) { Press(-1); };
    if (!closable)
        CloseButton()->SetVisible(0);
    if (buttons.empty())
        buttons.push_back(MessageBoxButton{TranslateText("OK"), nullptr});
    Build(buttons);
}

void FlimbsMessageBox::Build(const std::vector<MessageBoxButton>& buttons)
{
    const float ui = GetUiScale();
    const float screenWidth = float(GetScreenWidth());
    const float screenHeight = float(GetScreenHeight());
    const SkinFrame& border = Client()->Border();
    const float padX = std::max(border.LeftWidth(), border.RightWidth()) + kInnerPadding * ui;
    const float padTop = border.TopHeight() + kInnerPadding * ui;
    const float padBottom = border.BottomHeight() + kInnerPadding * ui;
    const float frameSides = 2.0f * (padX + BorderThickness());

    // The buttons first: their row may widen the box.
    float buttonWidth = kMinButtonWidth * ui;
    float buttonHeight = 0.0f;
    for (size_t index = 0; index < buttons.size(); ++index) {
        auto* button = new FlimbsButton(buttons[index].caption);
        button->name = "message_button_" + std::to_string(index);
        button->onClick = [this, index](Primitive*, Button*) { Press(int(index)); };
        float w = 0.0f, h = 0.0f;
        button->GetSize(&w, &h);
        buttonWidth = std::max(buttonWidth, ToPixelsX(w));
        buttonHeight = std::max(buttonHeight, ToPixelsY(h));
        buttons_.push_back(button);
        actions_.push_back(buttons[index].action);
    }
    const float gap = kGap * ui;
    const float rowWidth = float(buttons_.size()) * buttonWidth + float(buttons_.size() - 1) * gap;
    const float textWidth = std::max(0.0f, std::min(kTextWidth * ui, screenWidth - frameSides));
    const float innerWidth = std::max(textWidth, rowWidth);

    label_ = new Label(0, 0xFFFFFFFF, kLabelCentre);
    label_->name = "message_text";
    label_->SetFit(TextFit::Wrap);
    label_->SetText(text_);
    label_->SetPosition(ToVirtualX(padX + (innerWidth - textWidth) / 2.0f), ToVirtualY(padTop));
    label_->SetSize(ToVirtualX(textWidth), 0.0f);
    label_->FitToText();
    const float textHeight = label_->rect.bottom - label_->rect.top;
    Client()->AddChild(label_);

    const float buttonTop = padTop + textHeight + gap;
    float x = padX + (innerWidth - rowWidth) / 2.0f;
    for (StretchGraphicButton* button : buttons_) {
        button->SetPosition(ToVirtualX(x), ToVirtualY(buttonTop));
        // Skin images keep their own height; without them the caption's height serves.
        button->SetSize(ToVirtualX(buttonWidth), button->ImagesHeight() > 0.0f ? kKeepCoordinate
                                                                                : ToVirtualY(buttonHeight));
        Client()->AddChild(button);
        x += buttonWidth + gap;
    }

    const float clientHeight = buttonTop + buttonHeight + padBottom;
    const float width = innerWidth + frameSides;
    const float height = Title()->ImageHeight() + clientHeight;
    SetSize(ToVirtualX(width), ToVirtualY(height));
    // A box taller or wider than the screen keeps its title on the screen.
    SetPosition(ToVirtualX(std::max(0.0f, (screenWidth - width) / 2.0f)),
                ToVirtualY(std::max(0.0f, (screenHeight - height) / 2.0f)));
}

StretchGraphicButton* FlimbsMessageBox::GetButton(int index) const
{
    if (index < 0 || index >= ButtonCount())
        return nullptr;
    return buttons_[size_t(index)];
}

void FlimbsMessageBox::Show() { modal_.Take(this); }

void FlimbsMessageBox::Press(int index)
{
    if (!active)
        return;
    pressedButton = index;
    if (StretchGraphicButton* button = GetButton(index)) {
        // The action may close the box itself; it is closed here in any case.
        if (const ButtonCallback action = actions_[size_t(index)])
            action(this, button);
    }
    Close();
}

bool FlimbsMessageBox::Deactivate()
{
    const bool result = FlimbsWindow3::Deactivate();
    modal_.Release(this);
    return result;
}

int FlimbsMessageBox::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (!active)
        return 0;
    const int button = MessageBoxKeyButton(value, code, ButtonCount());
    if (button != kNotABoxKey) {
        Press(button);
        return 1;
    }
    FlimbsWindow3::OnKey(value, code, shift, device);
    return 1;
}
