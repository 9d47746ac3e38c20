// world.h -- everything one step of the game reads or writes, in one record the
// caller owns, and the step that moves it on: the ground, the course, the three
// vehicles, the smoke, the race and the computer drivers' memory. No globals,
// no keyboard, no clock: two worlds step side by side without touching.
#pragma once

#include <cstdint>

#include "race/course.h"
#include "race/driver.h"
#include "race/race.h"
#include "sim/contact.h"
#include "terrain/terrain.h"
#include "vehicle/smoke.h"
#include "vehicle/step_rate.h"
#include "vehicle/vehicle.h"

// The simulation's own version: a replay or a record of another one was driven
// by other sums, and is not taken for one of this one.
constexpr uint32_t simulationVersion = 3;
// The last version whose vehicles never touched anything: its replays and
// ghosts are played by this step with contact off.
constexpr uint32_t contactlessVersion = 2;

struct World {
    int32_t track;                // the number of the track its ground and course are from
    TerrainMap ground;            // heights the wheels stand on, and the growth
    Course course;                // no gates: no race on this track
    Vehicle vehicles[vehicleCount];
    SmokeSystem smoke;
    Race race;
    ComputerDriver drivers[vehicleCount];
    int32_t computerSkill;        // 1..3, for the vehicles the race gives the computer
    bool computersDrive;          // false: the controls given stand for the computer's (a replay)
    uint32_t steps;               // steps taken since it was set up
    uint32_t simulation;          // the version whose step it takes (an older replay's or ghost's)
    bool vehicleContact;          // the vehicles touch each other
    bool solidTrees;              // the trees' trunks stand
    ContactMemory contact;
};

// Where vehicle v starts away from a race: x = 0, -2 and 2 on the line z = 0,
// facing -z.
constexpr float startX[vehicleCount] = {0.0f, -2.0f, 2.0f};

// A new world: flat ground at height 0 and no course until a track is read
// into it, the vehicles with this wheel layout on their start places, no
// smoke, no race, the computer drivers at skill 2, this simulation with
// vehicle contact and solid trees.
void initWorld(World& world, const WheelLayout& layout);

// The step the world takes from now on: this version's (an older one knew no
// contact: both are off then, and there is no rescue), with or without
// vehicles touching and trunks standing. Contacts going on are forgotten.
void setWorldRules(World& world, uint32_t simulation, bool vehicleContact, bool solidTrees);

// Each vehicle at rest on its start place (set down on the ground where that
// is not level at height 0), no smoke. The wheel layouts stay.
void returnToStart(World& world);

// Starts a race of laps laps round the world's course, the vehicles marked in
// computer driven by the computer at the world's skill; a course without gates
// starts nothing.
void startWorldRace(World& world, int32_t laps, const bool (&computer)[vehicleCount]);

// One step of 1 / stepsPerSecond seconds: each vehicle's controls (none while a
// race counts down; the computer's for a vehicle the race gives it, where
// computersDrive; else those given), a rescue asked for, the smoke, the
// vehicles, their contacts, the race.
void stepWorld(World& world, const VehicleControls (&controls)[vehicleCount]);

// What a computer driver of vehicle v sees in its way, as the world stands:
// the other vehicles where they touch, the trunks ahead where they stand.
Obstacles obstaclesFor(const World& world, int32_t v);

// Sets vehicle v at rest on its course: in a race at the last gate it passed
// (its grid place before the first), facing the next; elsewhere upright where
// it stands, or at its start place where another body blocks that. It is
// held there, its controls dead, for a second.
void rescueVehicle(World& world, int32_t v);

// The same step 1 / rate seconds long: only for races recorded by an older
// version, whose steps followed the frame rate.
void stepWorldAtRate(World& world, const VehicleControls (&controls)[vehicleCount], uint32_t rate);

// The vehicles as drawn a fraction (0..1) of the way from one step's records
// to the next's: pose, wheels and suspension blended, angles the short way
// round; everything else as of the later step.
void blendVehicle(const Vehicle& before, const Vehicle& after, double fraction, Vehicle& drawn);
