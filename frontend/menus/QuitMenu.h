#pragma once
// The quit menu ("Quit the game", "Quit to Main Menu" during a game, "No Way!") and the two
// ways out of it: quitting always runs through the credits, whose close ends the program;
// the return to the menus goes back to the editor when the level was started there.
#include "gui/Button.h"
#include "gui/FlimbsWindow.h"

class QuitFlimbsDoor;

class QuitGameMenu : public FlimbsWindow2 {
public:
    static constexpr const char* kName = "quit_menu";

    // closeCallback may be none; inGame adds "Quit to Main Menu".
    QuitGameMenu(CloseHandler closeCallback, bool inGame);

    // A press outside the menu closes it; the press then goes on as in any container.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    // Any key going down closes the menu.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;

    int ButtonCount() const { return buttonCount_; }
    QuitFlimbsDoor* Door() const { return door_; }

private:
    int buttonCount_ = 0;
    QuitFlimbsDoor* door_ = nullptr;
};

// "Quit the game": the menu goes, the global configuration file is written, the credits
// come up.
void QuitGameHandler(Primitive* parent, Button* button);
// How long the credits stand at their end before the program ends by itself (ms).
constexpr int kCreditsLingerMs = 3000;
// The credits over a fresh backdrop as the only open window; their close ends the program,
// a key, a click or the pause at their end closes them.
PrimContainer* ShowCreditsThenQuit();
// Posts the quit request to the main loop; true (the credits take care of themselves).
bool PostQuitOnClose(PrimContainer* credits);
// "Quit to Main Menu": every window goes; back to the editor after its test play, else to
// the menus.
void QuitToMainMenuHandler(Primitive* parent, Button* button);
void QuitToMainMenu();
