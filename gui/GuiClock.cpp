#include "gui/GuiClock.h"

#include "media/InputClock.h"

namespace {
uint32_t g_frameElapsed = 0;
}

uint32_t GuiNow() { return InputClockNow(); }
uint32_t GuiFrameElapsed() { return g_frameElapsed; }
void SetGuiFrameElapsed(uint32_t milliseconds) { g_frameElapsed = milliseconds; }
