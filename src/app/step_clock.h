// step_clock.h -- how many steps of the world each drawn frame owes: real time
// from the performance counter, cut into steps of 1 / 60 s, the remainder kept.
#pragma once

#include <cstdint>

// At most this many steps a frame: after a longer stall (a window dragged, a
// slow disk) game time runs slower than real time instead of catching up.
constexpr int32_t maxStepsPerFrame = 6;

struct StepClock {
    int64_t owed;      // real time not yet stepped, in counter counts x stepsPerSecond
    int64_t frequency; // counter counts a second, as of the last frame; 0: none yet
};

// The steps a frame of this many counts of a counter with this frequency
// brings (counts 0: a frame not measured brings none), at most
// maxStepsPerFrame; the part of a step left over waits for the next frame.
int32_t takeFrameSteps(StepClock& clock, int64_t counts, int64_t frequency);

// How far real time has gone toward the next step, 0 to just below 1: where
// the views draw the world between its last two steps.
double stepFraction(const StepClock& clock);
