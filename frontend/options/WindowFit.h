#pragma once
// Fits the game window onto the desktop and centres it there (after a change of profile or
// resolution, which may bring another screen size).
void FitGameWindowToDesktop();
