// rescue.cpp -- a stuck vehicle set back at rest on its course: at the last
// gate it passed in a race, upright where it stands elsewhere.
#include <cmath>
#include <initializer_list>

#include "common/angles.h"
#include "common/game_math.h"
#include "sim/world.h"

namespace {

// The heading of a vehicle at (fromX, fromZ) that faces (toX, toZ).
float headingToward(double fromX, double fromZ, double toX, double toZ) {
    return static_cast<float>(degrees(gameAtan2(-(toX - fromX), -(toZ - fromZ))));
}

// Vehicle v at rest with its centre at (x, z), facing heading, where no other
// body stands in its way. False, and the vehicle untouched, where one does.
bool placeIfClear(World& world, int32_t v, float x, float z, float heading) {
    Vehicle placed = world.vehicles[v];
    placeVehicleAtRest(placed, world.ground, x, z, heading);
    if (bodyBlocked(world, v, vehicleBody(placed))) {
        return false;
    }
    world.vehicles[v] = placed;
    return true;
}

// In a race: on the line of the last gate passed (before the first, its grid
// place), facing the next gate; beside the middle of the line where another
// body stands there.
void setOnCourse(World& world, int32_t v) {
    const Course& course = world.course;
    const RaceEntry& entry = world.race.entries[v];
    const Gate& next = course.gates[nextGate(entry, course.count)];
    float from[2], across[2] = {0, 0}, room = 0;
    if (entry.gatesPassed == 0) {
        startGridCentre(course, world.race.endless ? 0 : v, from); // a time trial's vehicle is on the middle place
    } else {
        const Gate& last = course.gates[(entry.gatesPassed - 1) % course.count];
        float forward[2];
        gateDirections(last, forward, across);
        from[0] = last.x;
        from[1] = last.z;
        room = last.width / 2 - 1;
    }
    const float heading = headingToward(from[0], from[1], next.x, next.z);
    for (const float offset : {0.0f, 2.5f, -2.5f, 5.0f, -5.0f}) {
        if (std::fabs(offset) <= room + 1e-3f &&
            placeIfClear(world, v, from[0] + offset * across[0], from[1] + offset * across[1], heading)) {
            return;
        }
    }
    placeVehicleAtRest(world.vehicles[v], world.ground, from[0], from[1], heading); // the overlap pushes the other aside
}

// Elsewhere: upright where it stands, or on its start place where something
// stands in the way; where both are blocked, upright where it stands all the same.
void setUpright(World& world, int32_t v) {
    Vehicle& vehicle = world.vehicles[v];
    float here[2];
    vehicleCentre(vehicle, here);
    const float heading = vehicle.heading;
    Vehicle start = vehicle;
    resetVehicle(start);
    start.position[0] = startX[v];
    float home[2];
    vehicleCentre(start, home);
    if (!placeIfClear(world, v, here[0], here[1], heading) && !placeIfClear(world, v, home[0], home[1], 0)) {
        placeVehicleAtRest(vehicle, world.ground, here[0], here[1], heading);
    }
}

} // namespace

void rescueVehicle(World& world, int32_t v) {
    Race& race = world.race;
    RaceEntry& entry = race.entries[v];
    const bool racing = race.phase == RacePhase::racing && !race.offCourse[v] && !entry.finished &&
                        world.course.count >= minGates;
    const VehicleControls held = world.vehicles[v].controls;
    if (racing) {
        setOnCourse(world, v);
        ++entry.rescues;
    } else {
        setUpright(world, v);
    }
    Vehicle& vehicle = world.vehicles[v];
    vehicle.controls = held;
    vehicle.rescueHold = rescueHoldSteps;
    // The jump crosses no gate, and the computer driver sees no motion in it.
    vehicleCentre(vehicle, entry.centre);
    world.drivers[v] = ComputerDriver{};
    world.contact.trunk[v] = -1;
    world.contact.trunkApart[v] = contactOver;
}
