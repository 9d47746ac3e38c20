// scripted_drive.h -- the three vehicles on the generated track with a fixed
// script of controls, for the determinism tests and the benchmarks. No GL needed.
#pragma once

#include <cstdint>

#include "sim/world.h"

// Sets up the world from runFolder's generated data as the game does without a
// window (the heights, the buggy's wheel layout, the vehicles at their start,
// the course, no smoke). False when any of it is missing.
bool setUpScriptedWorld(World& world, const char* runFolder, int32_t track = 1);

// The controls the script gives the step numbered `step`: all three
// accelerate, and each steers and brakes on its own rhythm.
void scriptedControls(uint32_t step, VehicleControls (&controls)[vehicleCount]);
