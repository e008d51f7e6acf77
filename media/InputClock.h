#pragma once
// The time the input managers stamp handlers with: the program clock's milliseconds.
// The program clock installs itself here; until then a steady millisecond clock is used.

#include <cstdint>

using InputClockFn = uint32_t (*)();

// Installs the clock (null: back to the steady clock).
void SetInputClock(InputClockFn clock);
uint32_t InputClockNow();
