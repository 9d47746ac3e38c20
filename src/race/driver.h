// driver.h -- the computer driver: what it sees of its vehicle (where it is,
// where it points, how fast it goes) and of the course (its next gates) in,
// the same five controls a player has out. No randomness and no look inside the
// physics, so a race with computer drivers is exactly repeatable and fair.
#pragma once

#include <cstdint>

#include "common/game_limits.h"
#include "race/course.h"
#include "race/race.h"
#include "vehicle/vehicle.h"

// What a driver remembers from one step to the next: where it was and where
// it pointed (so it sees how it moves and turns), and how its way to the gate
// is going.
struct ComputerDriver {
    bool seen;            // false until its first step
    float lastCentre[2];
    float lastHeading;
    int32_t gate;         // the gate it was heading for
    float closest;        // the nearest it came to that gate
    float sinceCloser;    // game seconds since it last came nearer
    float backingOff;     // game seconds left of reversing out of trouble
    float nearestYet;     // the nearest it came to that gate, backing off or not
    float sinceProgress;  // game seconds since it came nearer than that
};

// What a driver sees in its way: bodies near it (other vehicles, trunks),
// each a centre (x, z), a radius and how it moves (x, z, units a second).
constexpr int32_t maxObstacles = 8;
constexpr float obstacleSight = 16.0f; // how far ahead it looks
struct Obstacles {
    float at[maxObstacles][2];
    float radius[maxObstacles];
    float velocity[maxObstacles][2];
    int32_t count;
};

// Game seconds without coming nearer its gate after which a driver that has
// tried backing out asks for a rescue.
constexpr float rescueAfterSeconds = 4.0f;

// The controls the computer gives vehicle number vehicleNumber for the next
// step, at this skill (1..3: how fast it dares to take a turn), steering round
// what stands on its line and easing off behind a slower vehicle; the
// driver's memory moves on with it.
VehicleControls driveComputer(const Vehicle& vehicle, int32_t vehicleNumber, const Course& course,
                              const RaceEntry& entry, ComputerDriver& driver, int32_t skill,
                              const Obstacles& obstacles = Obstacles{});
