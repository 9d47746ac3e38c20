// contact.h -- vehicles that meet and trunks that stand. Each vehicle's body is
// a capsule in the ground plane (a segment along its heading, widened by the
// reach of its wheels), each tree of the growth map an upright post of its
// trunk's size. A touch is an impulse along the contact's normal (a little
// bounce, friction no larger than the push allows, the spin it gives bounded),
// the overlap pushed apart, and the result turned back into each vehicle's
// speed, course and yaw: the driving model carries on from there.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "common/vehicles.h"
#include "terrain/terrain.h"
#include "vehicle/vehicle.h"

struct World;

constexpr int32_t vehiclePairs = vehicleCount * (vehicleCount - 1) / 2; // (0,1), (0,2), (1,2)
constexpr float trunkRadius = 0.35f; // a tree's trunk where it meets the ground
constexpr float trunkHeight = 5.0f;  // a vehicle whose body is higher above the foot passes over
constexpr float bodyHeight = 1.1f;   // bodies further apart in height than this pass over each other

// A body in the ground plane: the points within radius of the segment from
// centre - halfLength x axis to centre + halfLength x axis.
struct BodyShape {
    float centre[2];  // (x, z)
    float axis[2];    // unit, the way it faces
    float halfLength;
    float radius;
    float height;     // its underside's y
};

// A vehicle's body: as wide as its wheels reach, its bumpers a little beyond
// the wheels, never wider than the start places two units apart allow.
BodyShape vehicleBody(const Vehicle& vehicle);

// A trunk's post: the tree of growth cell (column j, row i) stands on the
// cell's low corner.
BodyShape trunkBody(const TerrainMap& ground, int32_t cell);

// Calls visit(cell) for each growth cell whose tree stands within reach of
// (x, z), in cell order; nowhere for a point that is no number.
template <typename Visit>
void forEachTrunkNear(const TerrainMap& ground, const float (&at)[2], double reach, Visit visit);

// Whether two bodies overlap (beyond margin apart counts as apart).
bool bodiesOverlap(const BodyShape& a, const BodyShape& b, float margin = 0.0f);

// Whether this body, put there for vehicle v, would overlap (or come within a
// margin of) another vehicle's body or a trunk, as the world's rules have them.
bool bodyBlocked(const World& world, int32_t v, const BodyShape& body);

// What the world remembers of contacts from one step to the next: which go
// on (one crash counts once, however long the bodies stay together or
// bounce back into each other), and the knocks the sound plays.
struct ContactMemory {
    int32_t pairApart[vehiclePairs]; // steps since each pair last touched; contactOver: none going on
    int32_t trunk[vehicleCount];     // growth cell of the trunk each vehicle last touched; -1: none
    int32_t trunkApart[vehicleCount];
    uint32_t knocks;                 // contacts begun since the world was set up
    float knockSpeed;                // closing speed of the newest, units a second
    float knockAt[2];                // where it was (x, z)
};

// A contact is over once the bodies have been apart this many steps: a
// bounce back into the same body is the same crash.
constexpr int32_t contactOver = 60;

// Forgets every contact.
void clearContactMemory(ContactMemory& memory);

// The motion of a vehicle's body as a rigid body: the velocity of its centre
// (x, z, units a second) and its spin (radians a second, heading rising).
struct BodyMotion {
    double velocity[2];
    double spin;
};
BodyMotion bodyMotion(const Vehicle& vehicle, uint32_t rate);
BodyMotion bodyMotion(const Vehicle& vehicle, const BodyShape& body, uint32_t rate); // its body known

// One touch, as solved.
struct Touch {
    bool touching;  // the bodies overlapped
    float closing;  // how fast they came together at the contact, units a second (0: parting)
    float at[2];    // the contact point (x, z)
};

// Two vehicles whose bodies overlap: the impulse that stops them closing, the
// overlap beyond a small slop pushed apart (half each, as their masses are
// equal), both turned back into their speeds, courses and yaw. Nothing
// happens to bodies apart. Swapping a and b gives the same result with the
// roles swapped, bit for bit.
Touch collideVehicles(Vehicle& a, Vehicle& b, uint32_t rate);

// A vehicle against a trunk that does not move: the same response, the whole
// push the vehicle's.
Touch collideTrunk(Vehicle& vehicle, const BodyShape& trunk, uint32_t rate);

// Every contact of the step, after the vehicles moved from where their
// centres were at its start: pairs in index order, then trunks, two passes;
// a pair that would have passed through each other within the step is met
// where they first touched. Counts each contact that begins in the race and
// remembers it for the knock.
void resolveContacts(World& world, const float (&startCentres)[vehicleCount][2]);

template <typename Visit>
void forEachTrunkNear(const TerrainMap& ground, const float (&at)[2], double reach, Visit visit) {
    if (!std::isfinite(at[0]) || !std::isfinite(at[1]) || !(reach >= 0 && reach < terrainHalfSize)) {
        return;
    }
    // The trees stand on the cells' low corners, 1..31 each way (the map's
    // edge grows nothing that is drawn).
    const auto first = [&](double along) {
        return static_cast<int32_t>(std::clamp(std::ceil((along - reach + terrainHalfSize) / terrainCellSize), 1.0, 32.0));
    };
    const auto last = [&](double along) {
        return static_cast<int32_t>(std::clamp(std::floor((along + reach + terrainHalfSize) / terrainCellSize), 0.0, 31.0));
    };
    for (int32_t row = first(at[1]); row <= last(at[1]); ++row) {
        for (int32_t column = first(at[0]); column <= last(at[0]); ++column) {
            if (ground.growth[row * growthCells + column] == growthTree) {
                visit(row * growthCells + column);
            }
        }
    }
}
