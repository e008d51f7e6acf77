#pragma once
// The times the GUI reads: the program clock's milliseconds and the elapsed milliseconds
// of the current frame (set once a frame by the main loop).

#include <cstdint>

uint32_t GuiNow();
uint32_t GuiFrameElapsed();
void SetGuiFrameElapsed(uint32_t milliseconds);
