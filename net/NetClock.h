#pragma once
// The millisecond clock of the network objects: a wrapping 32-bit tick. Each object takes
// its own, so tests can run it on simulated time.
#include <cstdint>
#include <functional>

using NetClock = std::function<uint32_t()>;

// The steady millisecond clock.
NetClock DefaultNetClock();
