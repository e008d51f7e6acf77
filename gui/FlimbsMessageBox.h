#pragma once
// The skinned message box: a FlimbsWindow3 centred on the screen, modal in front of every
// other window, with the wrapped text and a row of FlimbsButtons in its client area (one
// "OK" when no buttons are given). Enter presses the first button; Escape presses the last
// one when there are several, else only closes the box. Every button closes the box after
// its action runs. The title bar's close button is shown only on a closable box and closes
// it without running any action.
//
// Derived boxes may change the container flags and take over OnKey; Press and Show stay.

#include "gui/FlimbsWindow3.h"
#include "gui/MessageBox.h"

#include <string>
#include <vector>

class Label;
class StretchGraphicButton;

class FlimbsMessageBox : public FlimbsWindow3 {
public:
    FlimbsMessageBox(const std::string& title, const std::string& text,
                     std::vector<MessageBoxButton> buttons = {}, bool closable = false);

    // Enter and Escape on a press; every other key is kept from the windows behind.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // Also gives the modal role back to the box that had it before, when still open.
    bool Deactivate() override;

    // Runs the button's action (when it has one) and closes the box; an index outside the
    // buttons only closes it.
    void Press(int index);
    // Opens the box at the front of the window list as the blocking modal window, with the
    // keyboard focus.
    void Show();

    const std::string& Text() const { return text_; }
    Label* TextLabel() const { return label_; }
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    StretchGraphicButton* GetButton(int index) const;
    bool Closable() const { return closable_; }
    // The button pressed last, -1 while none (or when closed otherwise).
    int pressedButton = -1;

private:
    void Build(const std::vector<MessageBoxButton>& buttons);

    std::string text_;
    Label* label_ = nullptr;                     // a child of the client
    std::vector<StretchGraphicButton*> buttons_; // children of the client
    std::vector<ButtonCallback> actions_;
    ModalHandover modal_;
    bool closable_;
};
