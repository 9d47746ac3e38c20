// ghost.cpp -- recording a time trial's laps and driving them again.
#include "replay/ghost.h"

#include <cstring>

namespace {

// FNV-1a over bytes.
uint32_t mix(uint32_t hash, const void* bytes, size_t size) {
    const auto* b = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ b[i]) * 16777619u;
    }
    return hash;
}

} // namespace

uint32_t trackHash(const World& world) {
    uint32_t hash = mix(2166136261u, world.ground.heights, sizeof world.ground.heights);
    hash = mix(hash, world.ground.growth, sizeof world.ground.growth);
    return mix(hash, world.course.gates, sizeof(Gate) * static_cast<size_t>(world.course.count));
}

bool recordGhostStep(GhostRecorder& recorder, const World& world, int32_t vehicle) {
    const RaceEntry& entry = world.race.entries[vehicle];
    const int32_t count = world.course.count, passed = entry.gatesPassed;
    GhostLap& lap = recorder.lap;
    bool finished = false;
    if (recorder.recording) {
        if (lap.stepCount == maxGhostSteps) {
            recorder.recording = false; // too long a lap to keep
        } else {
            lap.controls[lap.stepCount++] = packVehicleControls(world.vehicles[vehicle].controls);
        }
        // The gates this step passed (two in one step share its later time).
        while (recorder.recording && lap.gateCount < count && recorder.lapGates + lap.gateCount < passed) {
            lap.gateSteps[lap.gateCount] = lap.stepCount;
            lap.gateTimes[lap.gateCount++] = entry.lastCrossing - recorder.lapStart;
        }
        if (recorder.recording && lap.gateCount == count) {
            finished = true;
            lap.lapTime = lap.gateTimes[count - 1]; // line to line
            recorder.done = lap;
        }
    }
    // Each crossing of the line begins a lap, with the vehicle as this step left it.
    if (count > 0 && passed >= 1 && (passed - 1) % count == 0 && passed != recorder.lapGates) {
        recorder.recording = true;
        recorder.lapGates = passed;
        recorder.lapStart = entry.lastCrossing; // the line's own time, the first lap's too
        lap.track = world.track;
        lap.trackHash = trackHash(world);
        lap.simulation = world.simulation;
        lap.solidTrees = world.solidTrees;
        lap.vehicle = vehicle;
        lap.lapTime = 0;
        takeSnapshot(world.vehicles[vehicle], lap.start);
        lap.stepCount = 0;
        lap.gateCount = 0;
    }
    return finished;
}

void startGhost(GhostRun& run, World& ghostWorld, const World& world, const GhostLap& lap) {
    std::memcpy(&ghostWorld, &world, sizeof ghostWorld); // the ground, the course, the wheel layouts
    ghostWorld.computersDrive = false;
    setWorldRules(ghostWorld, lap.simulation, false, lap.solidTrees);
    resetSmoke(ghostWorld.smoke);
    restoreSnapshot(ghostWorld.vehicles[lap.vehicle], ghostWorld.ground, lap.start);
    // A time trial of its own, its line just crossed: a rescue within the lap
    // sets it back at the gate it passed last, as it did the player.
    Race& race = ghostWorld.race;
    race = Race{};
    race.phase = ghostWorld.course.count >= minGates ? RacePhase::racing : RacePhase::off;
    race.endless = true;
    race.laps = maxLaps;
    race.countdown = countdownSeconds + 1;
    race.firstFinish = -1;
    for (int v = 0; v < vehicleCount; ++v) {
        race.offCourse[v] = v != lap.vehicle;
        race.entries[v].lastLap = race.entries[v].bestLap = -1;
        race.places[v] = v;
    }
    RaceEntry& entry = race.entries[lap.vehicle];
    entry.gatesPassed = 1;
    vehicleCentre(ghostWorld.vehicles[lap.vehicle], entry.centre);
    run = GhostRun{true, 0};
}

void stepGhost(GhostRun& run, World& ghostWorld, const GhostLap& lap) {
    if (!run.running || run.step >= lap.stepCount) {
        run.running = false;
        return;
    }
    VehicleControls controls[vehicleCount] = {};
    controls[lap.vehicle] = unpackVehicleControls(lap.controls[run.step]);
    stepWorld(ghostWorld, controls);
    ++run.step;
}
