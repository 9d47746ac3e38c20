// frame_timer_test.cpp -- frame-rate measurement on a scripted performance counter.
#include <gtest/gtest.h>

#include "core/frame_timer.h"
#include "platform/fake/fake_platform.h"

namespace {

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakePlatform();
        resetFrameClock();
        fake.frequency = 1000000; // a microsecond counter
        fake.counter = 5000000;
        initFrameTimer(timer, 100);
    }
    // One tick at the current count, then the clock moves on by frameMicros.
    void tickAfter(int64_t frameMicros) {
        tickFrameTimer(timer);
        fake.counter += frameMicros;
    }
    FrameTimer timer{};
};

TEST_F(FrameTimerTest, FirstTwoTicksMeasureNothing) {
    EXPECT_EQ(timer.displayedFps, 50u);
    EXPECT_EQ(timer.measuredFps, 50u);
    EXPECT_EQ(timer.maxFps, 100u);
    tickAfter(10000); // reads the frequency only
    EXPECT_EQ(timer.measuredFps, 50u);
    tickAfter(10000); // records the count only
    EXPECT_EQ(timer.measuredFps, 50u);
    EXPECT_EQ(timer.displayedFps, 50u);
    tickAfter(10000); // 10 ms since the last tick
    EXPECT_EQ(timer.measuredFps, 100u);
    EXPECT_EQ(timer.displayedFps, 51u);
}

TEST_F(FrameTimerTest, RateIsTruncatedAndDisplayStepsByOne) {
    tickAfter(0);
    tickAfter(16700);
    for (int i = 0; i < 5; ++i) {
        tickAfter(16700);
    }
    EXPECT_EQ(timer.measuredFps, 59u); // 1e6 / 16700 = 59.88
    EXPECT_EQ(timer.displayedFps, 55u);
    for (int i = 0; i < 20; ++i) {
        tickAfter(16700);
    }
    EXPECT_EQ(timer.displayedFps, 59u);
}

TEST_F(FrameTimerTest, SameCountChangesNothing) {
    tickAfter(0);
    tickAfter(20000);
    tickAfter(0); // 50 fps measured, then the counter stands still
    EXPECT_EQ(timer.measuredFps, 50u);
    tickAfter(0);
    EXPECT_EQ(timer.measuredFps, 50u);
    EXPECT_EQ(timer.displayedFps, 50u);
    // The previous count was kept: the next real frame measures from it.
    fake.counter += 10000;
    tickAfter(0);
    EXPECT_EQ(timer.measuredFps, 100u);
}

TEST_F(FrameTimerTest, SlowFrameIsRaisedToFive) {
    tickAfter(0);
    tickAfter(500000);
    tickAfter(0);
    EXPECT_EQ(timer.measuredFps, 5u); // 2 measured, never below 5
    EXPECT_EQ(timer.displayedFps, 49u);
}

TEST_F(FrameTimerTest, DisplayedRateStopsAtTheBound) {
    initFrameTimer(timer, 30);
    tickAfter(0);
    EXPECT_EQ(timer.displayedFps, 30u); // clamped on the very first tick
    for (int i = 0; i < 50; ++i) {
        tickAfter(5000);
    }
    EXPECT_EQ(timer.measuredFps, 200u);
    EXPECT_EQ(timer.displayedFps, 30u);
}

TEST_F(FrameTimerTest, ZeroBoundRestartsFromTheMeasuredRateEveryTick) {
    initFrameTimer(timer, 0);
    tickAfter(0);
    EXPECT_EQ(timer.displayedFps, 0u);
    tickAfter(10000);
    tickAfter(10000);
    EXPECT_EQ(timer.displayedFps, 0u);
    EXPECT_EQ(timer.measuredFps, 100u);
}

TEST_F(FrameTimerTest, WithoutACounterNothingIsMeasured) {
    fake.frequency = 0;
    initFrameTimer(timer, 40);
    for (int i = 0; i < 10; ++i) {
        tickAfter(1000);
    }
    EXPECT_EQ(timer.measuredFps, 50u);
    EXPECT_EQ(timer.displayedFps, 40u);
}

TEST_F(FrameTimerTest, ZeroDisplayedRateJumpsToTheMeasuredRate) {
    tickAfter(0);
    tickAfter(4000);
    timer.displayedFps = 0;
    tickAfter(0);
    EXPECT_EQ(timer.displayedFps, 100u); // 250 measured, clamped to the bound
    EXPECT_EQ(timer.measuredFps, 250u);
}

} // namespace
