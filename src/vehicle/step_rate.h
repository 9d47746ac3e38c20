// step_rate.h -- the simulation's clock: how long a step lasts.
#pragma once

#include <cstdint>

// Every step of the world lasts 1 / 60 s of game time, whatever the frame rate:
// the game runs as many steps a frame as real time holds.
constexpr uint32_t stepsPerSecond = 60;

// A step's rate as a divisor: stepsPerSecond in the game (only a replay of an
// older version steps at the rates it recorded). A zero counts as one step a
// second rather than a division by zero.
inline double stepRate(uint32_t rate) { return rate != 0 ? rate : 1; }
