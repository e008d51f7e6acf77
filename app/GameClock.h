#pragma once
// The program clock: milliseconds since Start, in real time or in fixed steps of 1000/60 ms
// (input recording and replay). Every part of the program reads the time through it.
#include <cstdint>

// Millisecond reading of the underlying timer (wraps like a 32-bit tick counter).
using ClockSource = uint32_t (*)();

class GameClock {
public:
    static constexpr int kRealTime = 0;
    static constexpr int kFixedStep = 2;
    static constexpr double kStep = 1000.0 / 60.0;

    GameClock();

    void Start();
    // Takes a new reading (nothing while disabled).
    void Update();
    // Real time: a fresh reading since Start. Fixed step: the last update's time.
    uint32_t Now() const;

    void SwitchToFixedStep();
    void SwitchToRealTime();

    // Tests replace the timer; null restores the steady millisecond clock.
    void SetSource(ClockSource source);

    int32_t enabled = 1;
    uint32_t frameTime = 0;
    int64_t startReading = 0;
    int64_t lastReading = 0;
    uint32_t now = 0;
    int32_t mode = kRealTime;
    double step = kStep;
    double accumulated = 0.0;

private:
    uint32_t Read() const;
    ClockSource source_ = nullptr;
};

// The program's one clock.
extern GameClock gameClock;

// Milliseconds of the steady clock, as a wrapping 32-bit counter.
uint32_t SteadyMilliseconds();
