#include "hud/RestoreWatcher.h"

#include "app/KeyBindings.h"
#include "gui/StretchGraphicButton.h"
#include "gui/UiScale.h"
#include "gui/VoiceBubble.h"
#include "gui/WindowList.h"
#include "hud/HudGame.h"
#include "hud/HudWindow.h"
#include "hud/PopupSupport.h"
#include "media/KeyTables.h"

namespace {

constexpr int kPressEvent = 1;

// The Restore button remembers the hidden pop-up.
class RestoreButton : public FlimbsButton {
public:
    explicit RestoreButton(Primitive* popup) : FlimbsButton("Restore"), hidden(popup) {}
    Primitive* hidden;
    Primitive* watcher = nullptr;
};

// True when the tree under root holds the primitive (compared by address only, so a
// pop-up that went away is never touched).
bool TreeHolds(const Primitive* root, const Primitive* wanted)
{
    if (root == wanted)
        return true;
    if (const auto* container = dynamic_cast<const Container<Primitive>*>(root))
        for (const Primitive* child : container->Children())
            if (TreeHolds(child, wanted))
                return true;
    return false;
}

Primitive* Usable(Primitive* primitive)
{
    return primitive && primitive->visible && primitive->enabled ? primitive : nullptr;
}

} // namespace

RestoreWatcher::RestoreWatcher(Button* owner) : owner_(owner)
{
    SetName("RestoreWatcher");
    containerFlags |= kContainerWindow;
    if (HudGameView* view = FindHudGameView())
        gameView_ = view->Panel();
    if (CurrentHudGame().IsMultiplayer()) {
        chatBox_ = FindOpenWindow("CHAT_BOX");
        chatCheck_ = FindOpenWindow("chatCheck");
        chatPopup_ = FindOpenWindow("CHAT_POPUP");
    }
}

Primitive* RestoreWatcher::HitTest(int x, int y)
{
    if (Primitive* hit = PrimContainer::HitTest(x, y))
        return hit;
    return this;
}

Primitive* RestoreWatcher::OnLeftButton(int x, int y, int phase)
{
    if (phase != kPhaseDown) {
        if (gameView_)
            gameView_->OnLeftButton(x, y, phase);
        return this;
    }
    // The chat windows take their clicks first.
    for (Primitive* chat : {Usable(chatBox_), Usable(chatPopup_), Usable(chatCheck_), Usable(chatBox_)})
        if (chat)
            if (Primitive* taker = chat->OnLeftButton(x, y, phase))
                return taker;
    if (owner_)
        owner_->Click();
    return this;
}

Primitive* RestoreWatcher::OnRightButton(int x, int y, int phase)
{
    return OnLeftButton(x, y, phase);
}

int RestoreWatcher::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (Primitive* chat = Usable(chatBox_))
        if (int taken = chat->OnKey(value, code, shift, device))
            return taken;
    if (gameView_)
        if (int taken = gameView_->OnKey(value, code, shift, device))
            return taken;
    if (value == kPressEvent && KeyBindings::CommandForKey(KeyName(code, &device)) == "ChatMode")
        if (Primitive* box = FindOpenWindow("CHAT_BOX")) {
            SetKeyboardFocus(box);
            return 1;
        }
    return 0;
}

void HidePopupForRestore(Primitive*, Primitive* control)
{
    if (control)
        control->ClearPressed();
    Primitive* popup = control ? control->FindOwningWindow() : nullptr;
    HudWindow* hud = FindHud();
    PrimContainer* top = hud ? hud->TopContainer() : nullptr;
    if (!popup || !top)
        return;
    // Hidden, not closed: it stays in its layer until it is restored.
    popup->visible = 0;
    popup->enabled = 0;

    auto button = std::make_unique<RestoreButton>(popup);
    button->SetName("Restore");
    button->hAlign = kAlignHCentre;
    button->vAlign = kAlignBottom;
    button->SetMargins(8.0f, kKeepCoordinate, 8.0f, kKeepCoordinate);
    float w = 0.0f, h = 0.0f;
    button->GetSize(&w, &h);
    button->SetSize(w, h);
    button->onClick = RestoreHiddenPopup;

    auto watcher = std::make_unique<RestoreWatcher>(button.get());
    watcher->SetPosition(0.0f, 0.0f);
    watcher->SetSize(1000.0f, 1000.0f);
    button->watcher = watcher.get();
    button->SetPosition(500.0f, 1000.0f - DesignUnitsY(kPopupBottomRoom));
    // The top container's front child is its topmost: the button over everything, the
    // watcher under it and over the rest.
    top->AddChild(watcher.release(), false);
    top->AddChild(button.release(), false);
}

void RestoreHiddenPopup(Primitive*, Button* button)
{
    auto* restore = dynamic_cast<RestoreButton*>(button);
    if (!restore)
        return;
    HudWindow* hud = FindHud();
    PrimContainer* top = hud ? hud->TopContainer() : nullptr;
    if (top && restore->hidden && TreeHolds(top, restore->hidden)) {
        restore->hidden->visible = 1;
        restore->hidden->enabled = 1;
        restore->hidden->active = 1;
    }
    restore->hidden = nullptr;
    if (top && restore->watcher && TreeHolds(top, restore->watcher))
        restore->watcher->Deactivate();
    restore->watcher = nullptr;
    restore->Deactivate();
}
