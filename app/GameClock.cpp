#include "app/GameClock.h"

#include <chrono>

GameClock gameClock;

uint32_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

GameClock::GameClock()
{
    accumulated = static_cast<uint32_t>(lastReading);
}

uint32_t GameClock::Read() const
{
    return source_ ? source_() : SteadyMilliseconds();
}

void GameClock::SetSource(ClockSource source)
{
    source_ = source;
}

void GameClock::Start()
{
    accumulated = 0.0;
    now = 0;
    frameTime = 0;
    startReading = mode == kRealTime ? Read() : 0;
    lastReading = startReading;
}

void GameClock::Update()
{
    if (!enabled)
        return;
    int64_t reading;
    if (mode == kRealTime) {
        reading = Read();
    } else {
        accumulated += step;
        reading = static_cast<int64_t>(accumulated + 0.5);
    }
    frameTime = static_cast<uint32_t>(reading - lastReading);
    now = static_cast<uint32_t>(reading - startReading);
    lastReading = reading;
}

uint32_t GameClock::Now() const
{
    if (mode == kRealTime)
        return static_cast<uint32_t>(Read() - startReading);
    return static_cast<uint32_t>(lastReading - startReading);
}

void GameClock::SwitchToFixedStep()
{
    step = kStep;
    mode = kFixedStep;
    accumulated = static_cast<double>(lastReading);
    Start();
}

void GameClock::SwitchToRealTime()
{
    mode = kRealTime;
    Start();
}
