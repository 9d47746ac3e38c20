// world.cpp -- the world's step, its start places and the blend the views draw.
#include "sim/world.h"

#include <cmath>
#include <cstring>

void initWorld(World& world, const WheelLayout& layout) {
    std::memset(&world, 0, sizeof world);
    for (Vehicle& vehicle : world.vehicles) {
        vehicle.layout = layout;
    }
    world.computerSkill = 2;
    world.computersDrive = true;
    returnToStart(world);
}

void returnToStart(World& world) {
    for (int v = 0; v < vehicleCount; ++v) {
        Vehicle& vehicle = world.vehicles[v];
        resetVehicle(vehicle);
        vehicle.position[0] = startX[v];
        // A start place on level ground at height 0 is as it always was; on
        // higher ground the vehicle is set down at rest on it (one left below
        // the ground would be thrown into the air).
        if (terrainSurfaceHeight(&world.ground, vehicle.position[0], vehicle.position[2]) != 0.0f) {
            float centre[2];
            vehicleCentre(vehicle, centre);
            placeVehicleAtRest(vehicle, world.ground, centre[0], centre[1], vehicle.heading);
        }
    }
    resetSmoke(world.smoke);
}

void startWorldRace(World& world, int32_t laps, const bool (&computer)[vehicleCount]) {
    startRace(world.race, world.course, laps, world.vehicles, world.ground);
    for (int v = 0; v < vehicleCount; ++v) {
        world.race.computer[v] = computer[v] && world.race.phase != RacePhase::off;
        world.drivers[v] = ComputerDriver{};
    }
}

void stepWorldAtRate(World& world, const VehicleControls (&given)[vehicleCount], uint32_t rate) {
    VehicleControls controls[vehicleCount];
    for (int v = 0; v < vehicleCount; ++v) {
        if (!raceControlsLive(world.race)) {
            controls[v] = VehicleControls{}; // waiting for "GO"
        } else if (world.computersDrive && world.race.phase != RacePhase::off && world.race.computer[v]) {
            controls[v] = driveComputer(world.vehicles[v], world.course, world.race.entries[v], world.drivers[v],
                                        world.computerSkill);
        } else {
            controls[v] = given[v];
        }
    }
    for (int v = 0; v < vehicleCount; ++v) {
        controls[v] = world.race.offCourse[v] ? VehicleControls{} : controls[v];
    }
    stepVehicles(world.vehicles, controls, world.ground, world.smoke, rate, world.race.offCourse);
    updateRace(world.race, world.course, world.vehicles, rate);
    ++world.steps;
}

void stepWorld(World& world, const VehicleControls (&controls)[vehicleCount]) {
    stepWorldAtRate(world, controls, stepsPerSecond);
}

namespace {

float blend(float a, float b, double t) { return static_cast<float>(a + (static_cast<double>(b) - a) * t); }

// Angles go the short way round: a front wheel's angle passes from just below
// 360 to just above 0 when the steering crosses the middle.
float blendAngle(float a, float b, double t) {
    return static_cast<float>(a + std::remainder(static_cast<double>(b) - a, 360.0) * t);
}

} // namespace

void blendVehicle(const Vehicle& before, const Vehicle& after, double fraction, Vehicle& drawn) {
    drawn = after;
    const double t = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
    for (int axis = 0; axis < 3; ++axis) {
        drawn.position[axis] = blend(before.position[axis], after.position[axis], t);
    }
    drawn.pitch = blendAngle(before.pitch, after.pitch, t);
    drawn.heading = blendAngle(before.heading, after.heading, t);
    drawn.roll = blendAngle(before.roll, after.roll, t);
    drawn.steerAngle = blend(before.steerAngle, after.steerAngle, t);
    for (int side = 0; side < 2; ++side) {
        drawn.wheelSteer[side] = blendAngle(before.wheelSteer[side], after.wheelSteer[side], t);
    }
    for (int wheel = 0; wheel < 4; ++wheel) {
        // A wheel turns less than half round in a step: its spin blends plainly.
        drawn.wheelSpin[wheel] = blend(before.wheelSpin[wheel], after.wheelSpin[wheel], t);
        drawn.wheelHeight[wheel] = blend(before.wheelHeight[wheel], after.wheelHeight[wheel], t);
        for (int axis = 0; axis < 3; ++axis) {
            drawn.wheelContact[wheel][axis] = blend(before.wheelContact[wheel][axis], after.wheelContact[wheel][axis], t);
        }
    }
}
