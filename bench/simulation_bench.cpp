// simulation_bench.cpp -- the cost of the simulation on the generated track.
#include <benchmark/benchmark.h>

#include "audio/synth.h"
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
        vehicles[0].controls = keyAndPadControls(vehicles[0]);
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

// One second of the full mix at 48 kHz: three engines flat out, all scrubbing,
// published anew every 1/60 s as the frames do.
void oneSecondOfSound(benchmark::State& state) {
    static Synth synth;
    resetSynth(synth, 48000.0f);
    SoundSnapshot snapshot{};
    snapshot.volume = 1;
    for (VoiceState& v : snapshot.voices) {
        v = VoiceState{6000, 1, 0.7f, 0, 0, 0.8f, 0};
    }
    float stereo[800 * 2];
    for (auto _ : state) {
        for (int frame = 0; frame < 60; ++frame) {
            ++snapshot.sequence;
            synthesise(synth, snapshot, stereo, 800);
        }
        benchmark::DoNotOptimize(stereo);
    }
}
BENCHMARK(oneSecondOfSound)->Unit(benchmark::kMillisecond);

void slowDownKey(benchmark::State& state) {
    for (auto _ : state) {
        burnSlowDownTime();
    }
}
BENCHMARK(slowDownKey)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
