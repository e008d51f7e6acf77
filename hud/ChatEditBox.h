#pragma once
// The chat line "CHAT_BOX": Enter sends the typed line (group-only while Ctrl or Shift is
// held) and gives the keyboard focus back to the game view; typing tells the other players
// once per spell that the local player is typing, and emptying the line tells them it
// stopped. A click takes the focus (clearing a hint that was never edited).
#include "gui/EditBox.h"

class ChatEditBox : public EditBox {
public:
    static constexpr int kCapacity = 80;

    ChatEditBox();

    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // The edit box's handling; when it takes the press, TakeFocus.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    // Clears the text unless the box was edited, then takes the keyboard focus.
    void TakeFocus() override;

    // A typing record was sent for the present spell of typing.
    bool TypingSent() const { return typingSent_; }

private:
    bool typingSent_ = false;
};
