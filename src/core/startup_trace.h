// startup_trace.h -- where the time to the first frame goes. Each step of the
// start-up notes its end; with MUDLARK_TRACE_STARTUP set in the environment,
// the steps and their milliseconds are printed on standard error once the
// first frame is on screen. Costs a clock read a step otherwise.
#pragma once

// The step that just ended (a literal: only the pointer is kept).
void traceStartup(const char* step);

// The first frame is on screen: the steps printed when asked for, and no more noted.
void endStartupTrace();

// The steps noted so far: their names and the milliseconds each took.
struct StartupStep {
    const char* name;
    double milliseconds;
};
int startupSteps(const StartupStep*& steps);
