#pragma once
// What the program shell calls of the in-game HUD: the global popup's step and the HUD's
// shutdown. The HUD is not part of the game yet; both do nothing until it is.

void UpdateGlobalPopup(); // the open global popup, when there is one
void ShutdownHud();
