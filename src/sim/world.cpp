// world.cpp -- the world's step, its start places and the blend the views draw.
#include "sim/world.h"

#include <cmath>
#include <cstring>
#include <algorithm>

void initWorld(World& world, const WheelLayout& layout) {
    std::memset(&world, 0, sizeof world);
    for (Vehicle& vehicle : world.vehicles) {
        vehicle.layout = layout;
    }
    world.computerSkill = 2;
    world.computersDrive = true;
    setWorldRules(world, simulationVersion, true, true);
    returnToStart(world);
}

void setWorldRules(World& world, uint32_t simulation, bool vehicleContact, bool solidTrees) {
    const bool touches = simulation > contactlessVersion;
    world.simulation = simulation;
    for (Vehicle& vehicle : world.vehicles) {
        vehicle.ownMath = touches; // the game's own sums came with contact
    }
    world.vehicleContact = touches && vehicleContact;
    world.solidTrees = touches && solidTrees;
    clearContactMemory(world.contact);
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
    const uint32_t knocks = world.contact.knocks; // the sound has heard those already
    clearContactMemory(world.contact);
    world.contact.knocks = knocks;
}

void startWorldRace(World& world, int32_t laps, const bool (&computer)[vehicleCount]) {
    startRace(world.race, world.course, laps, world.vehicles, world.ground);
    for (int v = 0; v < vehicleCount; ++v) {
        world.race.computer[v] = computer[v] && world.race.phase != RacePhase::off;
        world.drivers[v] = ComputerDriver{};
    }
}

namespace {

// The vehicles' bodies and how they move as a step begins.
struct Bodies {
    BodyShape shape[vehicleCount];
    BodyMotion motion[vehicleCount];
};

// What a computer driver sees of what it could run into: the other vehicles
// on the course where they touch, and the trunks where they stand, near it
// and not behind it.
Obstacles obstaclesFor(const World& world, const Bodies& bodies, int32_t v) {
    Obstacles seen{};
    const BodyShape& body = bodies.shape[v];
    const auto add = [&](const BodyShape& other, const double (&velocity)[2]) {
        const double dx = static_cast<double>(other.centre[0]) - body.centre[0];
        const double dz = static_cast<double>(other.centre[1]) - body.centre[1];
        const double ahead = dx * body.axis[0] + dz * body.axis[1];
        const double aside = dx * body.axis[1] - dz * body.axis[0];
        if (seen.count < maxObstacles && ahead > -obstacleSight / 4 && ahead < obstacleSight &&
            std::fabs(aside) < obstacleSight / 2) {
            seen.at[seen.count][0] = other.centre[0];
            seen.at[seen.count][1] = other.centre[1];
            seen.velocity[seen.count][0] = static_cast<float>(velocity[0]);
            seen.velocity[seen.count][1] = static_cast<float>(velocity[1]);
            seen.radius[seen.count++] = other.radius;
        }
    };
    for (int32_t other = 0; other < vehicleCount && world.vehicleContact; ++other) {
        if (other != v && !world.race.offCourse[other]) {
            add(bodies.shape[other], bodies.motion[other].velocity);
        }
    }
    if (world.solidTrees) {
        // The trunks in the stretch ahead: round its middle, as far as its ends.
        const float ahead[2] = {body.centre[0] + body.axis[0] * obstacleSight / 2,
                                body.centre[1] + body.axis[1] * obstacleSight / 2};
        forEachTrunkNear(world.ground, ahead, obstacleSight / 2, [&](int32_t cell) {
            add(trunkBody(world.ground, cell), {0, 0});
        });
    }
    return seen;
}

// The vehicles' bodies and their motion as the world stands (when anything touches).
Bodies bodiesOf(const World& world, uint32_t rate) {
    Bodies bodies{};
    for (int v = 0; v < vehicleCount && (world.vehicleContact || world.solidTrees); ++v) {
        bodies.shape[v] = vehicleBody(world.vehicles[v]);
        bodies.motion[v] = world.vehicleContact ? bodyMotion(world.vehicles[v], bodies.shape[v], rate) : BodyMotion{};
    }
    return bodies;
}

} // namespace

Obstacles obstaclesFor(const World& world, int32_t v) {
    return world.vehicleContact || world.solidTrees ? obstaclesFor(world, bodiesOf(world, stepsPerSecond), v) : Obstacles{};
}

void stepWorldAtRate(World& world, const VehicleControls (&given)[vehicleCount], uint32_t rate) {
    // The bodies as the step begins, once: what the computer drivers see and
    // where the contacts' sweep starts from.
    const bool touches = world.vehicleContact || world.solidTrees;
    Bodies bodies = bodiesOf(world, rate);
    // A player's touch takes a vehicle from the computer at this very step (in
    // a replay, where the recording says the touch came); the computer then
    // drives it no more in this race.
    bool handed[vehicleCount];
    for (int v = 0; v < vehicleCount; ++v) {
        handed[v] = world.race.computer[v] && (world.computersDrive ? anyControl(given[v]) : given[v].takeOver);
        world.race.computer[v] = world.race.computer[v] && !handed[v];
    }
    VehicleControls controls[vehicleCount];
    for (int v = 0; v < vehicleCount; ++v) {
        if (!raceControlsLive(world.race)) {
            controls[v] = VehicleControls{}; // waiting for "GO"
        } else if (world.computersDrive && world.race.phase != RacePhase::off && world.race.computer[v]) {
            controls[v] = driveComputer(world.vehicles[v], v, world.course, world.race.entries[v], world.drivers[v],
                                        world.computerSkill, touches ? obstaclesFor(world, bodies, v) : Obstacles{});
        } else {
            controls[v] = given[v];
        }
    }
    for (int v = 0; v < vehicleCount; ++v) {
        controls[v] = world.race.offCourse[v] ? VehicleControls{} : controls[v];
    }
    const bool rescues = world.simulation > contactlessVersion;
    for (int v = 0; v < vehicleCount; ++v) {
        Vehicle& vehicle = world.vehicles[v];
        if (!rescues) {
            controls[v].rescue = false; // no such control then
            continue;
        }
        // A rescue on the step its control goes down; then a second of
        // controls held dead (the rescue's own kept, so that holding it on
        // does not rescue again).
        if (controls[v].rescue && !vehicle.controls.rescue && vehicle.rescueHold == 0 &&
            hasUsableWheelLayout(vehicle.layout)) {
            rescueVehicle(world, v);
            bodies.shape[v] = touches ? vehicleBody(vehicle) : BodyShape{};
        }
        if (vehicle.rescueHold > 0) {
            controls[v] = VehicleControls{false, false, false, false, false, controls[v].rescue, false};
        }
    }
    for (int v = 0; v < vehicleCount; ++v) {
        controls[v].takeOver = handed[v]; // kept in the vehicle's controls for the recording
    }
    // A vehicle just rescued stands where it was set until the second is up.
    bool standing[vehicleCount];
    for (int v = 0; v < vehicleCount; ++v) {
        standing[v] = world.race.offCourse[v] || world.vehicles[v].rescueHold > 0;
    }
    stepVehicles(world.vehicles, controls, world.ground, world.smoke, rate, standing);
    for (Vehicle& vehicle : world.vehicles) {
        vehicle.rescueHold -= vehicle.rescueHold > 0 ? 1 : 0;
    }
    if (touches) {
        float startCentres[vehicleCount][2];
        for (int v = 0; v < vehicleCount; ++v) {
            startCentres[v][0] = bodies.shape[v].centre[0];
            startCentres[v][1] = bodies.shape[v].centre[1];
        }
        resolveContacts(world, startCentres);
    }
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
