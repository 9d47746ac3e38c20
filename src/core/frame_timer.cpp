// frame_timer.cpp -- frame rate from the performance counter, and the displayed rate.
#include "core/frame_timer.h"

#include "platform/platform.h"

namespace {

// Shared by every timer for the life of the process.
int64_t performanceFrequency = 0;
int64_t previousCount = 0;

} // namespace

void initFrameTimer(FrameTimer& timer, uint32_t maxFps) {
    timer.displayedFps = 50;
    timer.measuredFps = 50;
    timer.maxFps = maxFps;
}

void tickFrameTimer(FrameTimer& timer) {
    timer.frameCounts = 0;
    if (performanceFrequency == 0) {
        int64_t frequency = 0;
        platformPerformanceFrequency(frequency);
        performanceFrequency = frequency;
    } else {
        int64_t now = 0;
        platformPerformanceCounter(now);
        if (previousCount != 0 && now != previousCount) {
            // The low 32 bits of the truncated quotient, as the overlay and the
            // simulation expect a plain unsigned rate.
            uint32_t measured = static_cast<uint32_t>(performanceFrequency / (now - previousCount));
            timer.frameCounts = now - previousCount;
            timer.measuredFps = measured;
            if (timer.displayedFps == 0) {
                timer.displayedFps = measured;
            } else if (timer.displayedFps > measured) {
                --timer.displayedFps;
            } else if (timer.displayedFps < measured) {
                ++timer.displayedFps;
            }
        }
        previousCount = now;
    }
    timer.countsPerSecond = performanceFrequency;
    if (timer.displayedFps > timer.maxFps) {
        timer.displayedFps = timer.maxFps;
    }
    if (timer.measuredFps <= 4) {
        timer.measuredFps = 5;
    }
}

void resetFrameClock() {
    performanceFrequency = 0;
    previousCount = 0;
}
