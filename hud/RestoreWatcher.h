#pragma once
// Hiding an end-of-match pop-up: its arrow button hides it and leaves a "Restore" button
// over the HUD, with the RestoreWatcher, an invisible full-screen layer under it. The
// watcher passes keys to the game view (a key bound to "ChatMode" focuses the chat line),
// lets the chat windows take their clicks first in a network game, and turns any other
// click into "restore": the pop-up comes back and the watcher and its button go.
#include "gui/PrimContainer.h"

class Button;

class RestoreWatcher : public PrimContainer {
public:
    // owner: the Restore button it clicks.
    explicit RestoreWatcher(Button* owner);

    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    Primitive* HitTest(int x, int y) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;

    Button* Owner() const { return owner_; }

private:
    Button* owner_;
    Primitive* gameView_ = nullptr;
    Primitive* chatBox_ = nullptr;
    Primitive* chatCheck_ = nullptr;
    Primitive* chatPopup_ = nullptr;
};

// The hide action of the result pop-up's arrow and the Restore button's action.
void HidePopupForRestore(Primitive* parent, Primitive* control);
void RestoreHiddenPopup(Primitive* parent, Button* button);
