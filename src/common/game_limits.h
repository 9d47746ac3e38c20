// game_limits.h -- the game's ranges, each written once: the square the
// vehicles drive in, a race's laps, the computer drivers' skills, the tracks'
// numbers.
#pragma once

#include <cstdint>

// The vehicles drive in the square -mapEdge..mapEdge on x and on z; each axis
// stops at its edge on its own.
constexpr double mapEdge = 87.5;

constexpr int32_t minLaps = 1;
constexpr int32_t maxLaps = 20;

constexpr int32_t minSkill = 1; // how fast the computer dares to take a turn
constexpr int32_t maxSkill = 3;

constexpr int32_t minTrackNumber = 1;
constexpr int32_t maxTrackNumber = 99; // the file names count in two digits
