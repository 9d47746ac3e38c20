// simulation_bench.cpp -- the cost of the simulation on the generated track,
// every figure through the world's own step.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/step_clock.h"
#include "audio/synth.h"
#include "common/game_math.h"
#include "render/render.h"
#include "net/lan_link.h"
#include "net/lan_messages.h"
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

// A three-lap race of computer drivers, recorded as the game records one;
// false without the generated data.
bool recordARace(World& world, Replay& replay) {
    if (!setUpScriptedWorld(world, MUDLARK_RUN_DIR)) {
        return false;
    }
    recordComputerRace(world, replay, 3);
    return true;
}

// A sine and a cosine of a heading as the step takes them: the game's own
// (the same bits on every build), against the C library's.
template <bool own>
void sineAndCosine(benchmark::State& state) {
    double heading = 0.25, sum = 0;
    for (auto _ : state) {
        heading += 0.0137;
        sum += own ? gameSin(heading) + gameCos(heading) : std::sin(heading) + std::cos(heading);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(sineAndCosine<true>)->Name("gameSineAndCosine");
void gameSineAndCosineTogether(benchmark::State& state) {
    double heading = 0.25, sum = 0;
    for (auto _ : state) {
        heading += 0.0137;
        double sine, cosine;
        gameSinCos(heading, sine, cosine);
        sum += sine + cosine;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(gameSineAndCosineTogether);
BENCHMARK(sineAndCosine<false>)->Name("librarySineAndCosine");

// What recording costs a step: its controls, and a keyframe every sixtieth.
void recordingAStep(benchmark::State& state) {
    const auto world = std::make_unique<World>();
    const auto raced = std::make_unique<Replay>();
    if (!recordARace(*world, *raced)) {
        state.SkipWithError("no generated data");
        return;
    }
    static Replay recording;
    Race& race = world->race;
    race = Race{};
    race.laps = 3;
    VehicleControls controls[vehicleCount] = {};
    beginRecording(recording, *world);
    for (auto _ : state) {
        controls[0].left = !controls[0].left;
        recordFrame(recording, stepsPerSecond, controls);
        race.clock += 1.0 / stepsPerSecond;
        recordKeyframeIfDue(recording, race, world->vehicles);
        if (recording.frameCount == maxReplayFrames / 2) {
            race = Race{};
            race.laps = 3;
            beginRecording(recording, *world);
        }
    }
}
BENCHMARK(recordingAStep);

// The networking of one step of a LAN race of three machines, sockets aside:
// each machine's controls, the host's packet to both joiners and theirs to it
// (written and read), the step taken from them, and a sixtieth of the world's
// hash. The counters are the bytes each machine sends a second at 60 steps.
void lanLockstepOfAStep(benchmark::State& state) {
    const auto world = scriptedWorld();
    if (!world) {
        state.SkipWithError("no generated data");
        return;
    }
    const int32_t seats[vehicleCount] = {0, 1, 2};
    Lockstep machines[vehicleCount]; // the host and two joiners, a vehicle each
    for (int32_t m = 0; m < vehicleCount; ++m) {
        startLockstep(machines[m], m, seats, 3);
    }
    uint64_t hostBytes = 0, joinerBytes = 0, steps = 0;
    const auto deliver = [](const std::string& bytes, Lockstep& to) {
        LanMessage read;
        if (decodeLanMessage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), read) == LanKind::lockstep) {
            receivePacket(to, read.packet);
        }
    };
    VehicleControls controls[vehicleCount] = {};
    bool computer[vehicleCount];
    for (auto _ : state) {
        controls[steps % 3].left = !controls[steps % 3].left;
        for (Lockstep& machine : machines) {
            for (uint32_t add = localControlsDue(machine); add > 0; --add) {
                addLocalControls(machine, controls);
            }
        }
        for (int32_t j = 1; j < vehicleCount; ++j) {
            const std::string toHost = encodePacket(makePacket(machines[j]));
            joinerBytes += toHost.size();
            deliver(toHost, machines[0]);
        }
        const std::string fromHost = encodePacket(makePacket(machines[0]));
        hostBytes += 2 * fromHost.size();
        deliver(fromHost, machines[1]);
        deliver(fromHost, machines[2]);
        for (Lockstep& machine : machines) {
            if (readyToStep(machine)) {
                takeStep(machine, controls, computer);
            }
        }
        if (++steps % stepsPerSecond == 0) {
            noteHash(machines[0], machines[0].next, worldHash(*world, WorldParts::shared));
        }
    }
    state.counters["host B/s"] = static_cast<double>(hostBytes) / static_cast<double>(steps) * stepsPerSecond;
    state.counters["joiner B/s"] = static_cast<double>(joinerBytes) / 2 / static_cast<double>(steps) * stepsPerSecond;
}
BENCHMARK(lanLockstepOfAStep);

// The bytes a second of a race over a line of this many ticks each way (the
// round trip about twice that and one more, in sixtieths of a second), each
// player changing a key three times a second, hosted by a game that drives
// blue (second argument 0) or by a server that drives nothing (1): what the
// host sends each joiner, what a joiner sends, and the delay the host chose.
void lanBytesOverALine(benchmark::State& state) {
    const uint32_t oneWay = static_cast<uint32_t>(state.range(0));
    const int32_t server = static_cast<int32_t>(state.range(1));
    const int32_t machineCount = vehicleCount + server;
    const int32_t seats[vehicleCount] = {server, server + 1, server + 2};
    uint64_t hostBytes = 0, joinerBytes = 0, ticks = 0;
    uint32_t delay = 0;
    for (auto _ : state) {
        Lockstep machines[maxMachines];
        for (int32_t m = 0; m < machineCount; ++m) {
            startLockstep(machines[m], m, seats, 3);
        }
        std::vector<std::pair<uint64_t, std::pair<int32_t, std::string>>> wire; // due tick, to, bytes
        for (uint64_t tick = 0; tick < 60 * 30; ++tick) {
            for (int32_t m = 0; m < machineCount; ++m) {
                Lockstep& l = machines[m];
                VehicleControls keys[vehicleCount] = {};
                if (m >= server) {
                    keys[m - server].accelerate = true;
                    keys[m - server].left = (l.localNext / 20 + static_cast<uint32_t>(m)) % 2 == 0;
                }
                for (uint32_t add = localControlsDue(l); add > 0; --add) {
                    addLocalControls(l, keys);
                }
                VehicleControls controls[vehicleCount];
                bool computer[vehicleCount];
                while (readyToStep(l) && l.next <= tick) {
                    takeStep(l, controls, computer);
                }
                planDelay(l);
                const std::string bytes = encodePacket(makePacket(l));
                for (int32_t to = 0; to < machineCount; ++to) {
                    if (to != m && (m == 0 || to == 0)) {
                        (m == 0 ? hostBytes : joinerBytes) += bytes.size();
                        wire.push_back({tick + oneWay, {to, bytes}});
                    }
                }
                tickLockstep(l, 1.0 / stepsPerSecond);
            }
            for (auto sent = wire.begin(); sent != wire.end();) {
                if (sent->first <= tick) {
                    LanMessage read;
                    const std::string& bytes = sent->second.second;
                    if (decodeLanMessage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), read) ==
                        LanKind::lockstep) {
                        receivePacket(machines[sent->second.first], read.packet);
                    }
                    sent = wire.erase(sent);
                } else {
                    ++sent;
                }
            }
        }
        ticks += 60 * 30;
        delay = machines[0].delay;
    }
    const double joiners = machineCount - 1;
    state.counters["host B/s each"] = static_cast<double>(hostBytes) / joiners / static_cast<double>(ticks) * stepsPerSecond;
    state.counters["joiner B/s"] = static_cast<double>(joinerBytes) / joiners / static_cast<double>(ticks) * stepsPerSecond;
    state.counters["delay"] = delay;
}
BENCHMARK(lanBytesOverALine)
    ->Args({1, 0})->Args({4, 0})->Args({9, 0})->Args({1, 1})->Args({4, 1})->Args({9, 1})
    ->Iterations(1)->Unit(benchmark::kMillisecond);

// One datagram of a step's size through the game's socket and back, on 127.0.0.1.
void lanDatagramThroughLoopback(benchmark::State& state) {
    LanLink link;
    std::string why;
    if (!link.open(0, why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    const LanAddress self = ipv4Address(0x7F000001u, link.port());
    const std::string bytes(65, 'x');
    uint8_t in[lanMessageCapacity];
    LanAddress from{};
    for (auto _ : state) {
        link.send(self, bytes);
        size_t got = 0;
        while (got == 0) {
            got = link.receive(from, in, sizeof in);
        }
        benchmark::DoNotOptimize(got);
    }
}
BENCHMARK(lanDatagramThroughLoopback);

// Playing a recorded race back as fast as possible, the way --check-replay
// does: the counter "race" is race seconds played per wall second.
void playingARaceBack(benchmark::State& state) {
    const auto world = std::make_unique<World>();
    const auto replayBuffer = std::make_unique<Replay>();
    if (!recordARace(*world, *replayBuffer)) {
        state.SkipWithError("no generated data");
        return;
    }
    double raced = 0;
    for (auto _ : state) {
        Playback playback;
        startPlayback(playback, *replayBuffer, *world);
        while (playFrame(playback, *replayBuffer, *world)) {
        }
        raced += playback.played;
        benchmark::DoNotOptimize(world->vehicles[0].position);
    }
    state.counters["race"] = benchmark::Counter(raced, benchmark::Counter::kIsRate);
    state.counters["bytes_a_minute"] = static_cast<double>(encodeReplay(*replayBuffer).size()) * 60 /
                                       (replayBuffer->frameCount / static_cast<double>(stepsPerSecond));
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
