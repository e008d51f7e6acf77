#pragma once
// Small timers on the world's game clock, owned by their users.
#include <cstdint>

// Fires at most once per update when a period of elapsed game time has built up; with
// clamp it never builds up more than one period of lag.
struct IntervalTimer {
    uint8_t enabled = 0;
    uint32_t period = 0;      // ms
    uint32_t accumulated = 0; // ms
    uint32_t clamp = 0;       // non-zero: on

    // Adds the elapsed time of this update; true when a period has passed.
    bool Tick();
};

// A value that moves between min and max by step at most once per interval, turning at the
// ends, optionally resting at one end for a number of bounces.
struct PingPongCounter {
    int32_t value = 0;
    int32_t min = 0;
    int32_t max = 0;
    int32_t step = 0;
    int32_t bouncesLeft = 0;
    uint8_t restAtMin = 0;
    uint32_t interval = 0; // ms
    uint32_t lastStep = 0; // game time

    void Step();
};
