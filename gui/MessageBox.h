#pragma once
// The generic message box: a modal window in front of all others with a title, a wrapped
// text and a row of buttons. Enter presses the first button; Escape presses the last one
// when there are several, else only closes the box. Every button closes the box after its
// action runs. The closable box also has a close button in its title bar, which closes it
// without running any action. ShowMessageBox and ShowClosableMessageBox open the skinned
// FlimbsMessageBox (gui/FlimbsMessageBox.h), which keeps the same rules.
//
//   ShowMessageBox("Error", "Couldn't save the level");
//   ShowClosableMessageBox("Confirm", "Really delete entire set?",
//                          {{"Yes", DeleteSelectedSet}, {"No", nullptr}});

#include "gui/Button.h"
#include "gui/PrimContainer.h"

#include <string>
#include <vector>

struct MessageBoxButton {
    std::string caption; // shown as given (already translated)
    ButtonCallback action; // none: the button only closes the box
};

class FlimbsMessageBox;

// Takes the modal role for a box and gives it back, on release, to the window that had it
// before (when that one is still open).
class ModalHandover {
public:
    void Take(Primitive* box);
    void Release(Primitive* box);

private:
    Primitive* previous_ = nullptr;
    bool previousBlocks_ = false;
};

// What a key does in a message box of `buttonCount` buttons: Enter (pressed) the first
// button, Escape (pressed) the last of several, or -1 (close without an action) for one or
// none. kNotABoxKey for every other key and for releases.
constexpr int kNotABoxKey = -2;
int MessageBoxKeyButton(int value, int code, int buttonCount);

class MessageBox : public PrimContainer {
public:
    // No buttons: one "OK" (translated).
    MessageBox(const std::string& title, const std::string& text, std::vector<MessageBoxButton> buttons,
               bool closable);

    // Enter and Escape on a press; every other key is kept from the windows behind.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void Draw() override;
    // Also gives the modal role back to the box that had it before, when still open.
    bool Deactivate() override;

    // Runs the button's action (when it has one) and closes the box; an index outside the
    // buttons only closes it.
    void Press(int index);
    // Opens the box at the front of the window list as the blocking modal window, with the
    // keyboard focus.
    void Show();

    const std::string& Title() const { return title_; }
    const std::string& Text() const { return text_; }
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    Button* GetButton(int index) const;
    Button* CloseButton() const { return closeButton_; }
    // The button pressed last, -1 while none (or when closed otherwise).
    int pressedButton = -1;

private:
    void Build(const std::vector<MessageBoxButton>& buttons, bool closable);

    std::string title_;
    std::string text_;
    std::vector<Button*> buttons_; // children
    std::vector<ButtonCallback> actions_;
    Button* closeButton_ = nullptr;
    ModalHandover modal_;
    float titleHeight_ = 0.0f; // pixels
    float textTop_ = 0.0f;
    float wrapWidth_ = 0.0f;
};

// The skinned modal message box with the buttons given (none: "OK"). With logText the title
// and text also go to the log. Returns the open box.
FlimbsMessageBox* ShowMessageBox(const std::string& title, const std::string& text,
                                 std::vector<MessageBoxButton> buttons = {}, bool logText = false);
// The same with the close button in the title bar.
FlimbsMessageBox* ShowClosableMessageBox(const std::string& title, const std::string& text,
                                         std::vector<MessageBoxButton> buttons = {}, bool logText = false);
