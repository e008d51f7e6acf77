#pragma once
// Game time as text: one game update is 71 ms.
#include <cstdint>
#include <string>

// "%02d:%02d.%03d" (minutes mod 100, seconds, milliseconds) with the fraction, else
// "%02d:%02d".
std::string FormatGameTime(uint32_t updates, bool withFraction);
