#pragma once
// Where the main window goes on the desktop.
#include "app/GlobalConfig.h"

// Shrinks the rectangle to fit the desktop and moves it fully onto it; centres it on the
// desktop when asked (or when it had to be moved).
WindowRect FitOnDesktop(const WindowRect& wanted, bool centre, int desktopWidth, int desktopHeight);
