#pragma once
// The current world's game clock, for code that needs nothing else of the world.
#include <cstdint>

uint32_t& CurrentUpdateCounter();
// Milliseconds of game time: the "now" of timers and messages.
uint32_t& CurrentGameTime();
// Milliseconds of game time the current update adds.
uint32_t& CurrentElapsedTime();

// Stands for the current world's update counter where code names it as a variable:
// reads, assignments and increments go to the counter. It cannot be copied, so passing it
// through "..." does not compile; write CurrentUpdateCounter() there.
class UpdateCounterRef {
public:
    UpdateCounterRef() = default;
    UpdateCounterRef(const UpdateCounterRef&) = delete;
    UpdateCounterRef& operator=(const UpdateCounterRef&) = delete;

    operator uint32_t() const { return CurrentUpdateCounter(); }
    UpdateCounterRef& operator=(uint32_t value)
    {
        CurrentUpdateCounter() = value;
        return *this;
    }
    UpdateCounterRef& operator+=(uint32_t value)
    {
        CurrentUpdateCounter() += value;
        return *this;
    }
    UpdateCounterRef& operator++()
    {
        ++CurrentUpdateCounter();
        return *this;
    }
    uint32_t operator++(int) { return CurrentUpdateCounter()++; }
};
