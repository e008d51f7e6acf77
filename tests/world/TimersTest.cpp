// Interval timers and ping-pong counters on the world clock.
#include "tests/support/TestWorld.h"
#include "world/Timers.h"

#include <gtest/gtest.h>

namespace {

TEST(IntervalTimer, FiresOncePerPeriodAndClampsItsLag)
{
    TestWorld test;
    IntervalTimer timer{1, 100, 0, 0};
    World().clock.elapsed = 71;
    EXPECT_FALSE(timer.Tick());
    EXPECT_TRUE(timer.Tick());
    EXPECT_EQ(timer.accumulated, 42u);
    World().clock.elapsed = 350;
    EXPECT_TRUE(timer.Tick());
    EXPECT_EQ(timer.accumulated, 292u) << "without clamp the lag builds up";
    timer.clamp = 1;
    EXPECT_TRUE(timer.Tick());
    EXPECT_EQ(timer.accumulated, 100u) << "clamped to one period";
    timer.enabled = 0;
    EXPECT_FALSE(timer.Tick());
    EXPECT_EQ(timer.accumulated, 100u);
}

TEST(PingPongCounter, BouncesBetweenItsEndsAndRests)
{
    TestWorld test;
    PingPongCounter counter{0, 0, 10, 4, 1, 1, 100, 0};
    std::vector<int32_t> values;
    for (uint32_t t = 100; t <= 1000; t += 100) {
        World().clock.gameTime = t;
        counter.Step();
        counter.Step(); // a second call within the interval does nothing
        values.push_back(counter.value);
    }
    // Rests at min once a bounce is used up: 0 -> 4 8 10 6 2 0 then still.
    EXPECT_EQ(values, (std::vector<int32_t>{4, 8, 10, 6, 2, 0, 0, 0, 0, 0}));
    EXPECT_EQ(counter.bouncesLeft, 0);
}

} // namespace
