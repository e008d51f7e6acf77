#pragma once
// What the program shell calls of the in-game HUD: the console's start and its view's
// toggle, the global popup's step and the HUD's shutdown. The global popup is not part of
// the game yet; its step does nothing until it is.

void StartConsole();      // "loading console..": lines are stored from now on
void ToggleConsole();     // the shell action "toggleconsole"
void UpdateGlobalPopup(); // the open global popup, when there is one
void ShutdownHud();       // the console stops and its view goes
