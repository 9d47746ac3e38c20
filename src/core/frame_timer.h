// frame_timer.h -- measures each frame's rate from the performance counter.
#pragma once

#include <cstdint>

struct FrameTimer {
    uint32_t displayedFps;  // smoothed for the overlay: steps by 1 toward the measured rate
    uint32_t measuredFps;   // whole frames per second of the last frame, never below 5
    uint32_t maxFps;        // bound of displayedFps
    int64_t frameCounts;    // counter counts the last frame lasted; 0 when it was not measured
    int64_t countsPerSecond; // the counter's frequency; 0 until read
    int64_t previousCount;   // the counter at the last frame's start; 0 before it
};

// Both rates start at 50.
void initFrameTimer(FrameTimer& timer, uint32_t maxFps);

// Once at the very start of every frame. The first tick only reads the counter's
// frequency and the second only records the count, so the third measures.
void tickFrameTimer(FrameTimer& timer);
