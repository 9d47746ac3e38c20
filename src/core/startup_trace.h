// startup_trace.h -- where the time to the first frame goes. Each step of the
// start-up notes its end; with MUDLARK_TRACE_STARTUP set in the environment,
// the steps and their milliseconds are printed on standard error once the
// first frame is on screen. Costs a clock read a step otherwise.
#pragma once

#include <chrono>

// One step noted: its name (a literal: only the pointer is kept) and the
// milliseconds it took.
struct StartupStep {
    const char* name;
    double milliseconds;
};

// The steps so far, timed from when the trace was made (as the game is).
struct StartupTrace {
    static constexpr int capacity = 32;
    StartupStep noted[capacity];
    int count = 0;
    bool ended = false;
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
};

// The step that just ended.
void traceStartup(StartupTrace& trace, const char* step);

// The first frame is on screen: the steps printed when asked for, and no more noted.
void endStartupTrace(StartupTrace& trace);
