#include "app/Random.h"

namespace {

thread_local RandomGenerator* g_threadGenerator = nullptr;

} // namespace

RandomGenerator& SimRandom()
{
    static RandomGenerator generator;
    return g_threadGenerator ? *g_threadGenerator : generator;
}

ScopedSimRandom::ScopedSimRandom(RandomGenerator& generator) : previous_(g_threadGenerator)
{
    g_threadGenerator = &generator;
}

ScopedSimRandom::~ScopedSimRandom()
{
    g_threadGenerator = previous_;
}

RandomGenerator& DrawRandom()
{
    static RandomGenerator generator;
    return generator;
}
