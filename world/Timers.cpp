#include "world/Timers.h"

#include "world/WorldClock.h"

bool IntervalTimer::Tick()
{
    if (!enabled)
        return false;
    accumulated += CurrentElapsedTime();
    if (accumulated < period)
        return false;
    accumulated -= period;
    if (clamp && accumulated > period)
        accumulated = period;
    return true;
}

void PingPongCounter::Step()
{
    const uint32_t now = CurrentGameTime();
    if (now < lastStep + interval)
        return;
    const bool atRest = restAtMin ? value == min : value == max;
    if (!atRest || bouncesLeft > 0)
        value += step;
    if (value > max) {
        value = max;
        step = -step;
    } else if (value < min) {
        value = min;
        step = -step;
    }
    if (atRest && bouncesLeft > 0)
        --bouncesLeft;
    lastStep = now;
}
