// course.h -- a track's course: the gates a race passes in order, read from
// its text file, and where a gate's line and posts lie.
#pragma once

#include <cstdint>
#include <cstdio>

#include "common/game_limits.h"
#include "common/text_scanner.h"

constexpr int minGates = 3;
constexpr int maxGates = 32;
constexpr float maxGateWidth = 60.0f;
constexpr float gateSquare = static_cast<float>(mapEdge); // a gate's centre lies where the vehicles can drive

// A gate: the line between its two posts, crossed in the direction of heading
// (degrees, the vehicles' convention: 0 faces -z, a rising heading turns left).
struct Gate {
    float x;       // centre, world units
    float z;
    float heading;
    float width;   // between the posts
};

struct Course {
    Gate gates[maxGates];
    int32_t count;  // 0: no course, no race
    char name[48];  // from a first comment line "# name: ...", else ""
};

// Reads a course: one gate a line, "centre-x centre-z heading width", in the
// order the race passes them (the last leads back to the first); blank lines
// and comments from '#' to the line's end are passed over. False with the
// first fault found, and course.count 0.
bool readCourse(std::FILE* file, Course& course, LineFault& error);

// The direction a gate is crossed in, and the direction along its line toward
// its right-hand post, as unit (x, z) vectors.
void gateDirections(const Gate& gate, float (&forward)[2], float (&right)[2]);

// Where a straight move from (x0, z0) to (x1, z1) crosses the gate's line
// between its posts in the gate's direction: true with the fraction of the move
// (0 < fraction <= 1) at the crossing. A move that starts on the line or beyond
// it, goes backwards, or passes beside the posts crosses nothing.
bool crossesGate(const Gate& gate, float x0, float z0, float x1, float z1, double& fraction);
