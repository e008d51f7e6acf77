#pragma once
// The front end's main menu.

// Opens the main menu unless it is open already.
void ShowFrontEnd();
