#pragma once
// The installation's own settings, "Cache\Settings\global_config.xml" (root "flimbs-config"):
// the game window's placement, the screen resolution, the last profile and the server port.

#include <string>
#include <vector>

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct DisplayMode {
    int width = 0;
    int height = 0;
};

// What the writer reads from the game window and the display.
struct GlobalConfigSource {
    WindowRect outer;     // the window's outer rectangle
    int clientWidth = 0;  // its client area
    int clientHeight = 0;
    int screenWidth = 0;
    int screenHeight = 0;
};

// Saves the current profile, then writes the file. False when the save failed.
bool writeGlobalConfig(const GlobalConfigSource& source);

// Start-up readers.
// Assigns "last-profile" to the variable "profile" (its handler loads the profile) and
// "serverPORT"; a missing file loads "default-profile". False when the file is missing.
bool readGlobalConfig();

struct WindowPlacement {
    WindowRect client; // the client area to restore
    bool centre = false;
};
// The stored rectangle when left, top >= 0 and both sizes >= 100; else (5, 5, 805, 605), centred.
WindowPlacement ReadGlobalConfigWindow();

// The stored resolution ("res-x", "res-y"), 0 x 0 when there is none.
DisplayMode ReadGlobalConfigResolution();
