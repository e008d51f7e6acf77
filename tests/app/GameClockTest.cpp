// The program clock: fixed steps, counter wrap, fresh reads in real time.
#include "app/GameClock.h"

#include <gtest/gtest.h>

namespace {

uint32_t fakeTicks = 0;
uint32_t FakeTicks() { return fakeTicks; }

struct FakeTimer : ::testing::Test {
    void SetUp() override { clock.SetSource(FakeTicks); }
    GameClock clock;
};

} // namespace

TEST_F(FakeTimer, FixedStepRunsInSixtiethsWhateverTheRealTime)
{
    fakeTicks = 123456;
    clock.Update();
    clock.SwitchToFixedStep();
    const uint32_t expected[] = {17, 33, 50, 67, 83, 100};
    for (uint32_t want : expected) {
        fakeTicks += 1000; // real time must not matter
        clock.Update();
        EXPECT_EQ(clock.now, want);
        EXPECT_EQ(clock.Now(), want);
    }
    for (int i = 6; i < 60; ++i)
        clock.Update();
    EXPECT_EQ(clock.now, 1000u);
    EXPECT_EQ(clock.frameTime, 17u);
    clock.SwitchToRealTime();
    EXPECT_EQ(clock.mode, GameClock::kRealTime);
    EXPECT_EQ(clock.Now(), 0u);
}

TEST_F(FakeTimer, RealTimeSurvivesTheCounterWrap)
{
    fakeTicks = 0xFFFFFFF0u;
    clock.Start();
    fakeTicks = 0xFFFFFFFAu;
    clock.Update();
    EXPECT_EQ(clock.now, 10u);
    fakeTicks = 5; // wrapped
    clock.Update();
    EXPECT_EQ(clock.frameTime, 11u);
    EXPECT_EQ(clock.now, 21u);
    fakeTicks = 40;
    EXPECT_EQ(clock.Now(), 56u) << "Now reads afresh";
    EXPECT_EQ(clock.now, 21u) << "and leaves the clock alone";
}

TEST_F(FakeTimer, DisabledClockIgnoresUpdates)
{
    fakeTicks = 100;
    clock.Start();
    clock.enabled = 0;
    fakeTicks = 200;
    clock.Update();
    EXPECT_EQ(clock.now, 0u);
    EXPECT_EQ(clock.lastReading, 100);
}
