#include "net/NetClock.h"

#include "app/GameClock.h"

NetClock DefaultNetClock()
{
    return [] { return SteadyMilliseconds(); };
}
