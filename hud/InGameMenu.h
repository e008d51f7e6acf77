#pragma once
// The in-game menu "IN_GAME_MENU": a bar of icon buttons that slides down from the
// top-right corner into the HUD's upper layer when the HUD's "Menu" button is pressed. The
// entries offered depend on the session and the player's role (InGameMenuEntries); a
// click outside the bar, leaving it with the pointer, Escape or Close slide it out again.
#include "gui/PrimContainer.h"
#include "gui/TextButtons.h"

#include <functional>
#include <string>
#include <vector>

class AnimatePosition;
class Button;

// What decides the entries.
struct InGameMenuContext {
    bool multiplayer = false;
    bool admin = false;
    bool editorTest = false;
    bool hasSolution = false;
    bool hasCheckpoint = false;
    bool singlePlayerAid = false; // the game mode's IsSinglePlayerAid
    bool playersPanel = false;    // the admin players panel can be opened

    bool operator==(const InGameMenuContext&) const = default;
};

struct InGameMenuEntry {
    const char* label;
    const char* icon; // under Graphics\HUD\InGame
    std::function<void(Button* button)> action;
    // A row whose screen is not there is shown greyed and does nothing.
    bool enabled = true;
};

// The entries offered, in menu order.
std::vector<InGameMenuEntry> InGameMenuEntries(const InGameMenuContext& context);
// The context of the running match.
InGameMenuContext CurrentInGameMenuContext();

class InGameMenuButton : public IconButton {
public:
    static constexpr const char* kFolder = "Graphics\\HUD\\InGame";

    // end: the piece that closes the row (no icon, no action).
    InGameMenuButton(const std::string& label, const std::string& icon, bool end);
    ~InGameMenuButton() override;

    // The three pieces in the frame of the state, then the icon and caption.
    void Draw() override;
    // The caption button's size, at least as wide as its caption.
    bool GetSize(float* width, float* height) override;

    bool IsEnd() const { return end_; }

private:
    AnimSurface* left_ = nullptr;
    AnimSurface* middle_ = nullptr;
    AnimSurface* right_ = nullptr;
    bool end_;
};

class InGameMenu : public PrimContainer {
public:
    static constexpr const char* kName = "IN_GAME_MENU";
    static constexpr uint32_t kSlideMs = 300;

    explicit InGameMenu(const InGameMenuContext& context);

    // The context its rows were made for.
    const InGameMenuContext& Context() const { return context_; }

    // Slides in (to y = 52) or out (above the top edge, hidden at the end).
    void SetOpen(bool open);

    Primitive* OnLeftButton(int x, int y, int phase) override;
    // Tracks the pointer: inside marks the menu open, leaving it after that slides it out.
    Primitive* HitTest(int x, int y) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void Close() override;

    // The x of the menu's right edge (virtual units).
    static float RightEdge();
    std::vector<std::string> Labels() const;
    bool PointerInside() const { return open_; }
    // Shown or sliding in (not sliding out or put away).
    bool Shown() const { return shown_; }
    AnimatePosition* Animator() const { return animator_; }

private:
    InGameMenuContext context_;
    AnimatePosition* animator_ = nullptr;
    bool open_ = false;
    bool shown_ = false;
};

// Whether the HUD's in-game menu is shown (false without a HUD or a menu).
bool InGameMenuShown();

// The HUD's "Menu" button: the menu slides in; it is made in the HUD's upper layer on first
// use, and made anew when what decides its rows has changed since (a checkpoint saved).
void OpenInGameMenu(Primitive* button);
