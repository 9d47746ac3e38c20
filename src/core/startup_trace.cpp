// startup_trace.cpp -- the start-up's steps against a steady clock.
#include "core/startup_trace.h"

#include <cstdio>
#include <cstdlib>

void traceStartup(StartupTrace& trace, const char* step) {
    const auto now = std::chrono::steady_clock::now();
    if (!trace.ended && trace.count < StartupTrace::capacity) {
        trace.noted[trace.count++] = StartupStep{step, std::chrono::duration<double, std::milli>(now - trace.last).count()};
    }
    trace.last = now;
}

void endStartupTrace(StartupTrace& trace) {
    if (trace.ended) {
        return;
    }
    traceStartup(trace, "the first frame's swap");
    trace.ended = true;
    if (std::getenv("MUDLARK_TRACE_STARTUP") == nullptr) {
        return;
    }
    double total = 0;
    for (int i = 0; i < trace.count; ++i) {
        total += trace.noted[i].milliseconds;
        std::fprintf(stderr, "start-up: %-34s %7.1f ms\n", trace.noted[i].name, trace.noted[i].milliseconds);
    }
    std::fprintf(stderr, "start-up: %-34s %7.1f ms\n", "in all, from the game's start", total);
    // For a measure from outside: the wall clock now, in milliseconds since 1970.
    const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    std::fprintf(stderr, "start-up: first frame on screen at %lld\n", static_cast<long long>(wall.count()));
}
