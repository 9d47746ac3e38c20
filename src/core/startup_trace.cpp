// startup_trace.cpp -- the start-up's steps against a steady clock.
#include "core/startup_trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int stepCapacity = 32;
StartupStep noted[stepCapacity];
int count = 0;
bool ended = false;
Clock::time_point last = Clock::now(); // the program's static set-up: as near its start as it gets

} // namespace

void traceStartup(const char* step) {
    const Clock::time_point now = Clock::now();
    if (!ended && count < stepCapacity) {
        noted[count++] = StartupStep{step, std::chrono::duration<double, std::milli>(now - last).count()};
    }
    last = now;
}

void endStartupTrace() {
    if (ended) {
        return;
    }
    traceStartup("the first frame's swap");
    ended = true;
    if (std::getenv("MUDLARK_TRACE_STARTUP") == nullptr) {
        return;
    }
    double total = 0;
    for (int i = 0; i < count; ++i) {
        total += noted[i].milliseconds;
        std::fprintf(stderr, "start-up: %-34s %7.1f ms\n", noted[i].name, noted[i].milliseconds);
    }
    std::fprintf(stderr, "start-up: %-34s %7.1f ms\n", "in all, from the program's start", total);
    // For a measure from outside: the wall clock now, in milliseconds since 1970.
    const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    std::fprintf(stderr, "start-up: first frame on screen at %lld\n", static_cast<long long>(wall.count()));
}

int startupSteps(const StartupStep*& steps) {
    steps = noted;
    return count;
}
