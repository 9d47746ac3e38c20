// simulation_bench.cpp -- the cost of the simulation on the generated track.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "audio/synth.h"
#include "race/driver.h"
#include "replay/replay_file.h"
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

// The computer drivers' part of a frame: three vehicles' controls decided, on
// the generated course, the vehicles racing round it between the measures.
void computerDriversThreeVehicles(benchmark::State& state) {
    if (!setUpScriptedWorld(MUDLARK_RUN_DIR)) {
        state.SkipWithError("no generated data");
        return;
    }
    const Course course = raceCourse;
    Race race{};
    ComputerDriver drivers[vehicleCount] = {};
    startRace(race, course, 20, vehicles);
    VehicleControls controls[vehicleCount] = {};
    uint32_t frame = 0;
    for (auto _ : state) {
        for (int v = 0; v < vehicleCount; ++v) {
            controls[v] = driveComputer(vehicles[v], course, race.entries[v], drivers[v], 2, 60);
        }
        benchmark::DoNotOptimize(controls);
        // The race moves on every so often, out of the timing (which costs more
        // than the drivers, so not every frame).
        if (++frame % 16 == 0) {
            state.PauseTiming();
            advanceSimulation(60, controls);
            updateRace(race, course, vehicles, 60);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(computerDriversThreeVehicles);

// A three-lap race of computer drivers at 60 frames a second, recorded into the
// game's replay buffer; false without the generated data.
bool recordARace(Course& course) {
    if (!setUpScriptedWorld(MUDLARK_RUN_DIR)) {
        return false;
    }
    course = raceCourse;
    Race race{};
    ComputerDriver drivers[vehicleCount] = {};
    startRace(race, course, 3, vehicles);
    VehicleControls controls[vehicleCount] = {};
    while (race.phase == RacePhase::countdown) {
        advanceSimulation(60, controls);
        updateRace(race, course, vehicles, 60);
    }
    beginRecording(replayBuffer, 1, course.name, race, vehicles);
    while (race.phase == RacePhase::racing) {
        for (int v = 0; v < vehicleCount; ++v) {
            controls[v] = driveComputer(vehicles[v], course, race.entries[v], drivers[v], 2, 60);
        }
        recordFrame(replayBuffer, 60, controls);
        advanceSimulation(60, controls);
        updateRace(race, course, vehicles, 60);
        recordKeyframeIfDue(replayBuffer, race, vehicles);
    }
    return true;
}

// What recording costs a frame: the frame's rate and controls, and a keyframe
// every sixtieth frame (once a second at 60 frames a second).
void recordingAFrame(benchmark::State& state) {
    Course course{};
    if (!recordARace(course)) {
        state.SkipWithError("no generated data");
        return;
    }
    static Replay recording;
    Race race{};
    race.laps = 3;
    VehicleControls controls[vehicleCount] = {};
    beginRecording(recording, 1, "", race, vehicles);
    for (auto _ : state) {
        controls[0].left = !controls[0].left;
        recordFrame(recording, 60, controls);
        race.clock += 1.0 / 60;
        recordKeyframeIfDue(recording, race, vehicles);
        if (recording.frameCount == maxReplayFrames / 2) {
            beginRecording(recording, 1, "", race = Race{}, vehicles);
        }
    }
}
BENCHMARK(recordingAFrame);

// Playing a recorded race back as fast as possible, the way --check-replay
// does: the counter "race" is race seconds played per wall second.
void playingARaceBack(benchmark::State& state) {
    Course course{};
    if (!recordARace(course)) {
        state.SkipWithError("no generated data");
        return;
    }
    double raced = 0;
    for (auto _ : state) {
        Playback playback;
        startPlayback(playback, replayBuffer, course, vehicles);
        while (playFrame(playback, replayBuffer, course, vehicles)) {
        }
        raced += playback.played;
        benchmark::DoNotOptimize(vehicles[0].position);
    }
    state.counters["race"] = benchmark::Counter(raced, benchmark::Counter::kIsRate);
    state.counters["bytes_a_minute"] = static_cast<double>(encodeReplay(replayBuffer).size()) * 60 /
                                       (replayBuffer.frameCount / 60.0);
}
BENCHMARK(playingARaceBack)->Unit(benchmark::kMillisecond);

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
