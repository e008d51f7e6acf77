#pragma once
// The desktop the main window sits on: its size and the display modes it offers.
#include <vector>

namespace platform {

struct DisplaySize {
    int width = 0;
    int height = 0;
    bool operator==(const DisplaySize&) const = default;
};

// The desktop's current mode; 1024 x 768 when it cannot be read.
DisplaySize DesktopSize();
// The modes of the first display, without repeats (largest first).
std::vector<DisplaySize> DisplayModes();

} // namespace platform
