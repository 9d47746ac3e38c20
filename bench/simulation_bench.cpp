// simulation_bench.cpp -- the cost of the simulation on the generated track,
// every figure through the world's own step.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "app/step_clock.h"
#include "audio/synth.h"
#include "core/app_state.h"
#include "race/driver.h"
#include "replay/replay_file.h"
#include "scene/scene.h"
#include "sim/world.h"
#include "support/scripted_drive.h"

namespace {

// The generated track's world (heap: a world is large), or null without the data.
std::unique_ptr<World> scriptedWorld() {
    auto world = std::make_unique<World>();
    return setUpScriptedWorld(*world, MUDLARK_RUN_DIR) ? std::move(world) : nullptr;
}

void oneVehicleStep(benchmark::State& state) {
    const auto world = scriptedWorld();
    if (!world) {
        state.SkipWithError("no generated data");
        return;
    }
    uint32_t step = 0;
    for (auto _ : state) {
        VehicleControls controls[vehicleCount];
        scriptedControls(step++, controls);
        world->vehicles[0].controls = controls[0];
        stepVehicle(world->vehicles[0], world->ground, world->smoke, stepsPerSecond);
        benchmark::DoNotOptimize(world->vehicles[0].position);
        if (world->smoke.particles[smokeCapacity - 1].life > 0) {
            resetSmoke(world->smoke);
        }
    }
}
BENCHMARK(oneVehicleStep);

void worldStepThreeVehiclesSmoking(benchmark::State& state) {
    const auto world = scriptedWorld();
    if (!world) {
        state.SkipWithError("no generated data");
        return;
    }
    uint32_t step = 0;
    for (auto _ : state) {
        VehicleControls controls[vehicleCount];
        scriptedControls(step++, controls);
        stepWorld(*world, controls);
        benchmark::DoNotOptimize(world->smoke.particles);
    }
}
BENCHMARK(worldStepThreeVehiclesSmoking);

// A step of the whole world in a race of three computer drivers: their
// decisions, the vehicles, the smoke, the gates and places. A race that ends
// starts again (out of the timing).
void worldStepOfARace(benchmark::State& state) {
    const auto world = scriptedWorld();
    if (!world) {
        state.SkipWithError("no generated data");
        return;
    }
    const bool computer[vehicleCount] = {true, true, true};
    const VehicleControls none[vehicleCount] = {};
    for (auto _ : state) {
        if (world->race.phase != RacePhase::racing) {
            state.PauseTiming();
            startWorldRace(*world, 20, computer);
            while (world->race.phase == RacePhase::countdown) {
                stepWorld(*world, none);
            }
            state.ResumeTiming();
        }
        stepWorld(*world, none);
        benchmark::DoNotOptimize(world->race);
    }
}
BENCHMARK(worldStepOfARace);

// A three-lap race of computer drivers, recorded into the game's replay
// buffer as the game records one; false without the generated data.
bool recordARace(World& world) {
    if (!setUpScriptedWorld(world, MUDLARK_RUN_DIR)) {
        return false;
    }
    recordComputerRace(world, 3);
    return true;
}

// What recording costs a step: its controls, and a keyframe every sixtieth.
void recordingAStep(benchmark::State& state) {
    const auto world = std::make_unique<World>();
    if (!recordARace(*world)) {
        state.SkipWithError("no generated data");
        return;
    }
    static Replay recording;
    Race race{};
    race.laps = 3;
    VehicleControls controls[vehicleCount] = {};
    beginRecording(recording, 1, "", race, world->vehicles);
    for (auto _ : state) {
        controls[0].left = !controls[0].left;
        recordFrame(recording, stepsPerSecond, controls);
        race.clock += 1.0 / stepsPerSecond;
        recordKeyframeIfDue(recording, race, world->vehicles);
        if (recording.frameCount == maxReplayFrames / 2) {
            beginRecording(recording, 1, "", race = Race{}, world->vehicles);
        }
    }
}
BENCHMARK(recordingAStep);

// Playing a recorded race back as fast as possible, the way --check-replay
// does: the counter "race" is race seconds played per wall second.
void playingARaceBack(benchmark::State& state) {
    const auto world = std::make_unique<World>();
    if (!recordARace(*world)) {
        state.SkipWithError("no generated data");
        return;
    }
    double raced = 0;
    for (auto _ : state) {
        Playback playback;
        startPlayback(playback, replayBuffer, *world);
        while (playFrame(playback, replayBuffer, *world)) {
        }
        raced += playback.played;
        benchmark::DoNotOptimize(world->vehicles[0].position);
    }
    state.counters["race"] = benchmark::Counter(raced, benchmark::Counter::kIsRate);
    state.counters["bytes_a_minute"] = static_cast<double>(encodeReplay(replayBuffer).size()) * 60 /
                                       (replayBuffer.frameCount / static_cast<double>(stepsPerSecond));
}
BENCHMARK(playingARaceBack)->Unit(benchmark::kMillisecond);

// The frame clock at 144, 60 and 30 frames a second (a microsecond counter):
// the counter "steps" is the world's steps a second of frames, 60 at any rate.
void framesToSteps(benchmark::State& state) {
    const int64_t frequency = 1000000, frame = frequency / state.range(0);
    StepClock clock{};
    int64_t steps = 0, frames = 0;
    for (auto _ : state) {
        steps += takeFrameSteps(clock, frame, frequency);
        ++frames;
    }
    state.counters["steps"] = static_cast<double>(steps) * frequency / static_cast<double>(frames * frame);
}
BENCHMARK(framesToSteps)->Arg(144)->Arg(60)->Arg(30);

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
