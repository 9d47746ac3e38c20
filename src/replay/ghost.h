// ghost.h -- a time trial's lap kept to be driven again beside the player: the
// vehicle as the lap began and the controls of each of its steps, played in a
// world of its own, so that it drives exactly as the lap was driven. Its gate
// times say at every gate whether the player is ahead.
#pragma once

#include <cstdint>

#include "replay/replay.h"
#include "sim/world.h"

constexpr uint32_t maxGhostSteps = 60 * 60 * 20; // a lap of twenty minutes

struct GhostLap {
    int32_t track;
    uint32_t trackHash;       // of the heights, growth and gates it was driven on
    uint32_t simulation;      // the version that drove it
    bool solidTrees;          // whether the trunks stood (nothing else touches a lap alone)
    int32_t vehicle;          // whose lap (its wheel layout and look)
    double lapTime;           // seconds, as the race's clock timed it
    VehicleSnapshot start;    // the vehicle at the end of the step in which it crossed the line
    uint32_t stepCount;       // the lap's steps after that one
    uint8_t controls[maxGhostSteps]; // six bits a step, as packVehicleControls packs them
    int32_t gateCount;        // the course's gates: the last is the line again
    uint32_t gateSteps[maxGates]; // steps after the start at whose end each gate was passed
    double gateTimes[maxGates];   // seconds from the lap's start at each gate
};

// The heights, growth and gates of the world's track as one number: a ghost
// of another track (or of this one changed) is not this track's.
uint32_t trackHash(const World& world);

// Recording the laps of one vehicle in a time trial, step by step.
struct GhostRecorder {
    bool recording;      // a lap is under way (its start line crossed)
    int32_t lapGates;    // gates passed when it began
    double lapStart;     // its race time at the line
    GhostLap lap;        // the lap so far
    GhostLap done;       // the lap last finished
};

// After each step of the world: the vehicle's controls into the lap under
// way, its gates timed; true when the step finished a lap, which is then
// whole in recorder.done (and the next one has begun).
bool recordGhostStep(GhostRecorder& recorder, const World& world, int32_t vehicle);

// A ghost being driven: a world of its own with only the ghost's vehicle on
// the course, started at the line.
struct GhostRun {
    bool running;
    uint32_t step; // steps driven
};

// Sets up the ghost's world from the player's (ground, course, wheel layout)
// with the ghost's vehicle where its lap began, stepping as its lap was driven.
void startGhost(GhostRun& run, World& ghostWorld, const World& world, const GhostLap& lap);

// One step of the ghost's world, with the lap's controls of that step; at the
// lap's end the ghost stops where it finished.
void stepGhost(GhostRun& run, World& ghostWorld, const GhostLap& lap);
