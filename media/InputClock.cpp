#include "media/InputClock.h"

#include <atomic>
#include <chrono>

namespace {

uint32_t SteadyMilliseconds()
{
    static const auto start = std::chrono::steady_clock::now();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

std::atomic<InputClockFn> g_clock{nullptr};

} // namespace

void SetInputClock(InputClockFn clock)
{
    g_clock.store(clock);
}

uint32_t InputClockNow()
{
    const InputClockFn clock = g_clock.load();
    return clock ? clock() : SteadyMilliseconds();
}
