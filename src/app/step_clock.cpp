// step_clock.cpp -- the frames' real time cut into the world's steps.
#include "app/step_clock.h"

#include "vehicle/step_rate.h"

int32_t takeFrameSteps(StepClock& clock, int64_t counts, int64_t frequency) {
    if (counts <= 0 || frequency <= 0) {
        return 0;
    }
    if (frequency != clock.frequency) {
        clock.owed = 0; // a new counter: nothing owed in the old one's units
        clock.frequency = frequency;
    }
    // Whole counts times the steps a second: a step is exactly `frequency` of
    // them, so no rounding creeps in however long the game runs. A frame
    // longer than a day is as long as a day.
    const int64_t day = frequency * 86400;
    clock.owed += (counts < day ? counts : day) * static_cast<int64_t>(stepsPerSecond);
    int64_t steps = clock.owed / frequency;
    clock.owed -= steps * frequency;
    if (steps > maxStepsPerFrame) {
        steps = maxStepsPerFrame; // the rest is let go: the world falls behind real time
    }
    return static_cast<int32_t>(steps);
}

double stepFraction(const StepClock& clock) {
    return clock.frequency > 0 ? static_cast<double>(clock.owed) / static_cast<double>(clock.frequency) : 0.0;
}
