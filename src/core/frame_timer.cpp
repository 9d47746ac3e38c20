// frame_timer.cpp -- frame rate from the performance counter, and the displayed rate.
#include "core/frame_timer.h"

#include "platform/platform.h"

void initFrameTimer(FrameTimer& timer, uint32_t maxFps) {
    timer.displayedFps = 50;
    timer.measuredFps = 50;
    timer.maxFps = maxFps;
}

void tickFrameTimer(FrameTimer& timer) {
    timer.frameCounts = 0;
    const int64_t performanceFrequency = timer.countsPerSecond;
    if (performanceFrequency == 0) {
        platformPerformanceFrequency(timer.countsPerSecond);
    } else {
        int64_t now = 0;
        platformPerformanceCounter(now);
        const int64_t previousCount = timer.previousCount;
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
        timer.previousCount = now;
    }
    if (timer.displayedFps > timer.maxFps) {
        timer.displayedFps = timer.maxFps;
    }
    if (timer.measuredFps <= 4) {
        timer.measuredFps = 5;
    }
}
