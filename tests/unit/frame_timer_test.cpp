// frame_timer_test.cpp -- frame-rate measurement on a scripted performance counter.
#include <gtest/gtest.h>

#include "core/frame_timer.h"
#include "platform/fake/fake_platform.h"

namespace {

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakePlatform();
        fake.counter = 5000000; // a microsecond counter, well under way
        initFrameTimer(timer, 100);
        tick(0); // reads the frequency only
        tick(0); // records the count only
    }
    // The clock moves on by frameMicros, then one tick.
    void tick(int64_t frameMicros) {
        fake.counter += frameMicros;
        tickFrameTimer(timer);
    }
    FrameTimer timer{};
};

TEST_F(FrameTimerTest, MeasuresTruncatesAndStepsTheDisplayByOne) {
    EXPECT_EQ(std::pair(timer.measuredFps, timer.displayedFps), std::pair(50u, 50u)); // nothing measured yet
    tick(16700);
    EXPECT_EQ(std::pair(timer.measuredFps, timer.displayedFps), std::pair(59u, 51u)); // 59.88 truncated; display +1
    for (int i = 0; i < 20; ++i) {
        tick(16700);
    }
    tick(0); // the counter stood still: nothing changes, the count is kept
    EXPECT_EQ(std::pair(timer.measuredFps, timer.displayedFps), std::pair(59u, 59u));
    tick(10000);
    EXPECT_EQ(timer.measuredFps, 100u);
}

TEST_F(FrameTimerTest, SlowFramesAreRaisedToFiveExactlyBelowFive) {
    for (const auto& [micros, rate] : {std::pair{166666, 6u}, {166667, 5u}, {250000, 5u}, {2000000, 5u}, {10000, 100u}}) {
        tick(micros);
        EXPECT_EQ(timer.measuredFps, rate) << micros;
    }
}

TEST_F(FrameTimerTest, DisplayedRateStopsAtTheBound) {
    for (const uint32_t bound : {30u, 0u}) { // a bound of 0 keeps the display at 0
        initFrameTimer(timer, bound);
        tick(5000);
        EXPECT_EQ(std::pair(timer.displayedFps, timer.measuredFps), std::pair(bound, 200u));
    }
    // Without a counter nothing is measured at all.
    fake.frequency = 0;
    timer = FrameTimer{};
    initFrameTimer(timer, 40);
    for (int i = 0; i < 5; ++i) {
        tick(1000);
    }
    EXPECT_EQ(timer.measuredFps, 50u);
    EXPECT_EQ(timer.displayedFps, 40u);
}

} // namespace
