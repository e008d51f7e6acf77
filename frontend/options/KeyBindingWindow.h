#pragma once
// The key binding window: every bindable action on one of two tabs ("Common", "Advanced")
// with a primary and a secondary box holding the name of the key, mouse button or pad
// button bound to it. A click into a box opens a small modal box ("Press any key.") that
// takes the next key; the keyboard's Escape unbinds. The boxes are a working copy: "Okay"
// writes them into the binding store, "Reset to Defaults" puts the default profile's
// bindings into the store and the boxes at once.
#include "gui/Button.h"
#include "gui/FlimbsEditBox.h"
#include "gui/FlimbsMessageBox.h"
#include "gui/PrimContainer.h"

#include <string>

class FlimbsTabControl;

class KeyBindingWindow : public PrimContainer {
public:
    static constexpr const char* kName = "KeyBindingWindow";

    KeyBindingWindow();

    FlimbsTabControl* Tabs() const { return tabs_; }
    // The box "<action>_<index>", or null.
    class KeyBinderBox* Box(const std::string& action, int index);
    // Every box takes the store's key name of its action (empty for actions not in it).
    void LoadBoxesFromStore();

private:
    FlimbsTabControl* tabs_ = nullptr;
};

// A box whose text is a key name: typing does nothing; a press inside opens the watcher.
class KeyBinderBox : public FlimbsEditBox {
public:
    KeyBinderBox(const std::string& action, int index);

    Primitive* OnLeftButton(int x, int y, int phase) override;
    // Leaves the text as it is: no commit, no change reported.
    void OnFocusLost(Primitive* taker) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;

    const std::string& Action() const { return action_; }
    int Index() const { return index_; }

private:
    std::string action_;
    int index_;
};

// The modal "Press any key." box of one binding box: the next key, mouse button, wheel step
// or pad button (pressed) goes into the owner box and the box closes.
class KeyPressWatcher : public FlimbsMessageBox {
public:
    explicit KeyPressWatcher(KeyBinderBox* owner);

    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    Primitive* OnWheel(int delta) override;
    // Catches the middle mouse button, which reaches no window.
    void Update() override;

    // Sets the owner's text to the name of (device, code), or empties it for the keyboard's
    // Escape; clears the same name from the other boxes of the owner's page, then closes.
    void Capture(int code, const IInputDevice& device);
    KeyBinderBox* Owner() const { return owner_; }

private:
    KeyBinderBox* owner_;
    bool middleWasDown_ = false;
};

// "Customize input" of the options menu.
void OpenKeyBindingWindow(Primitive* parent, Button* button);
// The window's close callback: the options menu shows again; false.
bool ShowOptionsOnClose(PrimContainer* window);
// "Okay" and "Reset to Defaults".
void SaveKeyBindingsAndClose(Primitive* parent, Button* button);
void ResetKeyBindings(Primitive* parent, Button* button);

// "GulpUp" -> "Gulp Up", "ShowFMView" -> "Show F M View": a blank before every capital but
// the first character; at most 255 characters.
std::string SplitCamelCase(const std::string& name);
