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
};

// The controls the computer gives a vehicle for the next step, at this skill
// (1..3: how fast it dares to take a turn); the driver's memory moves on with it.
VehicleControls driveComputer(const Vehicle& vehicle, const Course& course, const RaceEntry& entry,
                              ComputerDriver& driver, int32_t skill);
