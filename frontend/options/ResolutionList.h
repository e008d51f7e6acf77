#pragma once
// The options' list of screen resolutions, a pure function of the system's display modes,
// the desktop's size and the current screen size.
#include "platform/window/Desktop.h"

#include <string>
#include <vector>

struct ResolutionEntry {
    std::string caption; // "1680x1050 16:10", with " **" when the desktop has that ratio
    int data = -1;       // the mode's enumeration index; -1: 1024 x 768
};

struct ResolutionList {
    std::vector<ResolutionEntry> entries;
    int selected = 0;
};

// Lists the 32-bit modes at least 480 high and at least 4:3 wide, one entry per caption (the
// first mode of a size wins), and selects the current size (else the first entry). Without
// such a mode the list is the single entry "1024x768" (data -1).
ResolutionList BuildResolutionList(const std::vector<platform::DisplayModeInfo>& modes, platform::DisplaySize desktop,
                                   platform::DisplaySize current);
// The width and height an entry's data stands for; false for an index the modes lack.
bool ResolutionOfEntry(int data, const std::vector<platform::DisplayModeInfo>& modes, platform::DisplaySize& size);
