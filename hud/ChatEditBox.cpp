#include "hud/ChatEditBox.h"

#include "gui/WindowList.h"
#include "hud/HudGame.h"
#include "hud/HudWindow.h"
#include "platform/input/ScanCodes.h"
#include "session/SessionServices.h"

namespace {

constexpr int kPress = 1;
constexpr int kRepeat = 2;
constexpr int kGroupOnlyKeys[] = {29, 157, 42, 54}; // left and right Ctrl and Shift

} // namespace

ChatEditBox::ChatEditBox()
{
    SetName("CHAT_BOX");
    SetCapacity(kCapacity);
    onChange = [](Primitive*, Primitive*) {};
}

int ChatEditBox::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    const int taken = EditBox::OnKey(value, code, shift, device);
    if (!taken)
        return 0;
    HudGame& game = CurrentHudGame();
    if (code == kKeyEnter) {
        if (value != kPress || GetText().empty())
            return taken;
        bool groupOnly = false;
        for (int key : kGroupOnlyKeys)
            groupOnly = groupOnly || game.KeyHeld(key);
        SendChat(std::string(), GetText(), -1, groupOnly);
        SetText(std::string());
        typingSent_ = false;
        if (HudGameView* view = FindHudGameView())
            if (Primitive* panel = view->Panel())
                SetKeyboardFocus(panel);
        return taken;
    }
    if (code == kKeyBackspace || code == kKeyDelete) {
        if ((value == kPress || value == kRepeat) && GetText().empty() && typingSent_) {
            SendTypingState(false);
            typingSent_ = false;
        }
        return taken;
    }
    if (value == kPress && !typingSent_) {
        SendTypingState(true);
        typingSent_ = true;
    }
    return taken;
}

Primitive* ChatEditBox::OnLeftButton(int x, int y, int phase)
{
    Primitive* taker = EditBox::OnLeftButton(x, y, phase);
    if (taker && phase == kPhaseDown)
        TakeFocus();
    return taker;
}

void ChatEditBox::TakeFocus()
{
    if (!GetPressed())
        SetText(std::string());
    SetKeyboardFocus(this);
}
