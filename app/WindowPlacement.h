#pragma once
// Where the main window goes on the desktop.
#include "app/GlobalConfig.h"

#include <string>

// Shrinks the rectangle to fit the desktop and moves it fully onto it; centres it on the
// desktop when asked (or when it had to be moved).
WindowRect FitOnDesktop(const WindowRect& wanted, bool centre, int desktopWidth, int desktopHeight);

// The back-buffer size for a wanted size on a desktop of the given size (0 x 0: no desktop
// to fit, as when nothing is shown). The wanted size stands when it is at least 640 x 480,
// fits the desktop and is no narrower than 1:1 and no wider than 12:5; otherwise, and when
// nothing is wanted (0 x 0), the desktop's size (1024 x 768 without one). A wanted size that
// was refused is described in `refused` (else it is left empty).
DisplayMode FitResolution(DisplayMode wanted, DisplayMode desktop, std::string* refused = nullptr);
