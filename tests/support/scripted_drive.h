// scripted_drive.h -- the three vehicles on the generated track with a fixed
// script of keys, for the determinism test and the benchmarks. No GL needed.
#pragma once

#include <cstdint>

// Sets up the simulation from runFolder's generated data as the game does
// without a window (the heights, the buggy's wheel layout, the vehicles at
// their start with their keys, the course in raceCourse, no smoke).
bool setUpScriptedWorld(const char* runFolder, int32_t track = 1);

// Sets the keys that the script holds in this frame: all three accelerate, and
// each steers and brakes on its own rhythm.
void holdScriptedKeys(uint32_t frame);
