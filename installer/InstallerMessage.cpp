#include "installer/InstallerMessage.h"

#include "gui/GuiDevice.h"
#include "gui/Label.h"
#include "gui/MessageBox.h"
#include "gui/StretchGraphicButton.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "platform/input/ScanCodes.h"

#include <algorithm>

namespace {

// Pixels of the installer's window.
constexpr float kMessageBoxWidth = 380.0f;
constexpr float kMessagePadding = 16.0f;
constexpr float kMessageButtonWidth = 120.0f;
constexpr float kMessageButtonHeight = 30.0f;
constexpr float kMessageGap = 10.0f;

Label* AddText(PrimContainer* parent, const std::string& text, float top, uint32_t colour, int font)
{
    auto* label = new Label(font, colour, kLabelCentre);
    label->SetScale(kInstallerTextScale / GetUiScale());
    label->SetFit(TextFit::Wrap);
    label->SetText(text);
    label->SetPosition(Primitive::ToVirtualX(kMessagePadding), Primitive::ToVirtualY(top));
    label->SetSize(Primitive::ToVirtualX(kMessageBoxWidth - 2 * kMessagePadding), 0.0f);
    label->FitToText();
    parent->AddChild(label);
    return label;
}

} // namespace

InstallerMessage::InstallerMessage(const std::string& title, const std::string& text) : title_(title), text_(text)
{
    name = kName;
    containerFlags = kContainerModal | kContainerModalBlocks | kContainerWindow;
    float top = kMessagePadding;
    if (!title_.empty()) {
        Label* heading = AddText(this, title_, top, 0xFFFFD24A, 3);
        heading->name = "message_title";
        top = heading->rect.bottom - rect.top + kMessageGap;
    }
    Label* body = AddText(this, text_, top, 0xFFFFFFFF, 0);
    body->name = "message_text";
    top = body->rect.bottom - rect.top + kMessageGap;

    ok_ = new FlimbsButton("OK");
    ok_->name = "message_ok";
    ok_->SetFont(0, 0xFFFFFFFF, kInstallerTextScale / GetUiScale());
    ok_->onClick = [this](Primitive*, Button*) { Close(); };
    ok_->SetPosition(ToVirtualX((kMessageBoxWidth - kMessageButtonWidth) / 2), ToVirtualY(top));
    ok_->SetSize(ToVirtualX(kMessageButtonWidth), ToVirtualY(kMessageButtonHeight));
    AddChild(ok_);

    const float height = top + kMessageButtonHeight + kMessagePadding;
    const float screenWidth = float(GetScreenWidth()), screenHeight = float(GetScreenHeight());
    SetSize(ToVirtualX(kMessageBoxWidth), ToVirtualY(height));
    SetPosition(ToVirtualX(std::max(0.0f, (screenWidth - kMessageBoxWidth) / 2)),
                ToVirtualY(std::max(0.0f, (screenHeight - height) / 2)));
}

int InstallerMessage::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (!active)
        return 0;
    if (value && (code == kKeyEnter || code == kKeyNumpadEnter || code == kKeyEscape || code == kKeySpace)) {
        Close();
        return 1;
    }
    FlimbsWindow2::OnKey(value, code, shift, device);
    return 1; // nothing reaches the dialog behind
}

void InstallerMessage::Show()
{
    modal_.Take(this);
}

bool InstallerMessage::Deactivate()
{
    const bool result = FlimbsWindow2::Deactivate();
    modal_.Release(this);
    return result;
}

InstallerMessage* ShowInstallerMessage(const std::string& title, const std::string& text)
{
    auto* box = new InstallerMessage(title, text);
    box->Show();
    return box;
}
