// scripted_drive.h -- the three vehicles on the generated track with a fixed
// script of keys, for the determinism test and the benchmarks. No GL needed.
#pragma once

#include <cstdint>

// Loads the generated heights and the buggy's wheel layout from runFolder,
// resets the smoke and puts the three vehicles at their start with their keys.
bool setUpScriptedWorld(const char* runFolder);

// Sets the keys that the script holds in this frame: all three accelerate, and
// each steers and brakes on its own rhythm.
void holdScriptedKeys(uint32_t frame);
