// scripted_drive.h -- the three vehicles on the generated track with a fixed
// script of controls, for the determinism tests and the benchmarks. No GL needed.
#pragma once

#include <cstdint>

#include "replay/replay.h"
#include "sim/world.h"

// Sets up the world from runFolder's generated data as the game does without a
// window (the heights, the buggy's wheel layout, the vehicles at their start,
// the course, no smoke). False when any of it is missing.
bool setUpScriptedWorld(World& world, const char* runFolder, int32_t track = 1);

// The controls the script gives the step numbered `step`: all three
// accelerate, and each steers and brakes on its own rhythm.
void scriptedControls(uint32_t step, VehicleControls (&controls)[vehicleCount]);

// A race of three computer drivers on the world's track (set up already),
// recorded into replay as the game records one: each step's
// controls, a keyframe a second. rate(step), if given, is each step's rate (the
// frame rates the first version stepped at); else every step is the game's.
// The world is left as the race ended (or after ten minutes).
void recordComputerRace(World& world, Replay& replay, int32_t laps, uint32_t (*rate)(uint32_t step) = nullptr);
