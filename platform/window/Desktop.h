#pragma once
// The desktop the main window sits on: its size and the display modes it offers.
#include <vector>

namespace platform {

struct DisplaySize {
    int width = 0;
    int height = 0;
    bool operator==(const DisplaySize&) const = default;
};

// One display mode as the system enumerates it.
struct DisplayModeInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0; // the bytes of a pixel times 8
    int refreshRate = 0;  // Hz, 0 when unknown
};

// The desktop's current mode; 1024 x 768 when it cannot be read.
DisplaySize DesktopSize();
// The modes of the first display, without repeats (largest first).
std::vector<DisplaySize> DisplayModes();
// Every mode of the first display in the system's order, repeats (refresh rates) included,
// then the common sizes that fit the desktop and are not listed yet; an index into it names
// a mode.
std::vector<DisplayModeInfo> EnumerateDisplayModes();

} // namespace platform
