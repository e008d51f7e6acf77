#include "app/Random.h"

RandomGenerator& SimRandom()
{
    static RandomGenerator generator;
    return generator;
}

RandomGenerator& DrawRandom()
{
    static RandomGenerator generator;
    return generator;
}
