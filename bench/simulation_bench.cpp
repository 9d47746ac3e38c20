// simulation_bench.cpp -- the cost of the simulation on the generated track.
#include <benchmark/benchmark.h>

#include "core/app_state.h"
#include "scene/scene.h"
#include "support/scripted_drive.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"

namespace {

void oneVehicleStep(benchmark::State& state) {
    if (!setUpScriptedWorld(MUDLARK_RUN_DIR)) {
        state.SkipWithError("no generated data");
        return;
    }
    uint32_t frame = 0;
    for (auto _ : state) {
        holdScriptedKeys(frame++);
        stepVehicle(vehicles[0], 60);
        benchmark::DoNotOptimize(vehicles[0].position);
        if (smoke.particles[smokeCapacity - 1].life > 0) {
            resetSmoke();
        }
    }
}
BENCHMARK(oneVehicleStep);

void wholeTickThreeVehiclesSmoking(benchmark::State& state) {
    if (!setUpScriptedWorld(MUDLARK_RUN_DIR)) {
        state.SkipWithError("no generated data");
        return;
    }
    uint32_t frame = 0;
    for (auto _ : state) {
        holdScriptedKeys(frame++);
        advanceSimulation(60);
        benchmark::DoNotOptimize(smoke.particles);
    }
}
BENCHMARK(wholeTickThreeVehiclesSmoking);

void slowDownKey(benchmark::State& state) {
    for (auto _ : state) {
        burnSlowDownTime();
    }
}
BENCHMARK(slowDownKey)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
