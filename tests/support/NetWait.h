#pragma once
// Waiting in network tests: runs a pump until a condition holds or a generous real-time
// limit passes (the machine may be loaded), never sleeping as a pass condition.
#include <chrono>
#include <functional>
#include <thread>

// Calls `pump` until `done` answers true; false when `limitMs` of real time passed first.
inline bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& pump, int limitMs = 20000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
