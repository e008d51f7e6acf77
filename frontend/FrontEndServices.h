#pragma once
// What the rest of the game asks of the front end: its start (the intro), the way back to
// the menus and the shared menu backdrop; and the screens' answers to the floors below.

class PrimContainer;

// The start of the front end when no command-line action applies: the intro, then the
// new-user prompt or the main menu.
void ShowIntro();
// The front end's menus (the new-user prompt or the main menu) unless the menu backdrop
// is open already.
void ShowFrontEnd();
// Empties and reloads the FlimbMaster level list, then the new-user prompt or the main
// menu; gives the menu backdrop.
PrimContainer* ReturnToMainMenu();
// The key action "quit": the quit menu over whatever is shown, with all three buttons.
void ShowQuitMenuInGame();

// Fills what the session and the HUD ask of the screens (session/SessionHooks.h,
// hud/HudHooks.h): the front end's menus, the closing credits, the planet visit, the
// reduced options menu and the editor's level chooser. Run once at start-up.
void InstallScreenHooks();
