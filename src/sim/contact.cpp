// contact.cpp -- bodies that overlap pushed apart, and the impulse of the touch
// turned back into the driving model's speeds, course and yaw.
#include "sim/contact.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/angles.h"
#include "common/game_math.h"
#include "common/game_limits.h"
#include "sim/world.h"
#include "terrain/terrain.h"
#include "vehicle/step_rate.h"

namespace {

constexpr double restitution = 0.2;     // a bounce keeps a fifth of the closing speed...
constexpr double bounceAbove = 3.0;     // ...of a touch faster than this; slower ones do not bounce
constexpr double vehicleFriction = 0.25; // bodies slide along each other rather than stick
constexpr double trunkFriction = 0.3;
constexpr double maxSpinKick = 1.0;     // radians a second a touch may add to a vehicle's spin...
constexpr double maxSpin = 3.0;         // ...and the most touches may spin it up to
constexpr float slop = 0.02f;           // overlap left alone: a body resting on another stays touching
constexpr float widest = 0.95f;         // the start places are two units apart: never touching there
constexpr int passes = 2;

// The pairs in index order.
constexpr int32_t pairOf[vehiclePairs][2] = {{0, 1}, {0, 2}, {1, 2}};

// Whether a comes first in an order that depends on the bodies alone, never
// on which vehicle is which: the same sums then run whichever way round a
// pair is handed in.
bool comesFirst(const BodyShape& a, const BodyShape& b) {
    const float ka[] = {a.centre[0], a.centre[1], a.axis[0], a.axis[1], a.halfLength, a.radius};
    const float kb[] = {b.centre[0], b.centre[1], b.axis[0], b.axis[1], b.halfLength, b.radius};
    return std::lexicographical_compare(ka, ka + 6, kb, kb + 6);
}

// The nearest points of the two bodies' segments. Segments side by side meet
// in the middle of the stretch they share, so that a push along a flank turns
// neither body.
void nearestPointsInOrder(const BodyShape& a, const BodyShape& b, double (&pa)[2], double (&pb)[2]) {
    const double rx = static_cast<double>(a.centre[0]) - b.centre[0];
    const double rz = static_cast<double>(a.centre[1]) - b.centre[1];
    const double along = static_cast<double>(a.axis[0]) * b.axis[0] + static_cast<double>(a.axis[1]) * b.axis[1];
    const double c = a.axis[0] * rx + a.axis[1] * rz; // a's centre ahead of b's, along a
    const double f = b.axis[0] * rx + b.axis[1] * rz; // the same along b
    const double ha = a.halfLength, hb = b.halfLength;
    const double across = 1 - along * along;
    double s;
    if (across > 1e-6) {
        s = std::clamp((along * f - c) / across, -ha, ha);
    } else {
        // Parallel: the middle of the stretch of a that b lies beside.
        const double low = std::max(-ha, -c - hb), high = std::min(ha, -c + hb);
        s = low <= high ? (low + high) / 2 : std::clamp(-c, -ha, ha);
    }
    const double t = std::clamp(f + s * along, -hb, hb);
    s = std::clamp(t * along - c, -ha, ha);
    pa[0] = a.centre[0] + s * a.axis[0];
    pa[1] = a.centre[1] + s * a.axis[1];
    pb[0] = b.centre[0] + t * b.axis[0];
    pb[1] = b.centre[1] + t * b.axis[1];
}

void nearestPoints(const BodyShape& a, const BodyShape& b, double (&pa)[2], double (&pb)[2]) {
    if (comesFirst(b, a)) {
        nearestPointsInOrder(b, a, pb, pa);
    } else {
        nearestPointsInOrder(a, b, pa, pb);
    }
}

// Where two bodies touch: the normal from b toward a, how deep they overlap
// (negative: the gap between them) and the contact point.
struct Meeting {
    double normal[2];
    double depth;
    double at[2];
};

Meeting meet(const BodyShape& a, const BodyShape& b) {
    double pa[2], pb[2];
    nearestPoints(a, b, pa, pb);
    double nx = pa[0] - pb[0], nz = pa[1] - pb[1];
    double distance = std::sqrt(nx * nx + nz * nz);
    if (distance < 1e-9) {
        // Centred on each other: apart along the line of their centres, or
        // failing that across the first body in the order.
        const bool aFirst = !comesFirst(b, a);
        const BodyShape& first = aFirst ? a : b;
        nx = static_cast<double>(a.centre[0]) - b.centre[0];
        nz = static_cast<double>(a.centre[1]) - b.centre[1];
        distance = std::sqrt(nx * nx + nz * nz);
        if (distance < 1e-9) {
            nx = aFirst ? -first.axis[1] : first.axis[1];
            nz = aFirst ? first.axis[0] : -first.axis[0];
        }
        distance = 0; // the segments themselves cross
    }
    const double length = std::sqrt(nx * nx + nz * nz);
    Meeting m{{nx / length, nz / length}, 0, {0, 0}};
    m.depth = static_cast<double>(a.radius) + b.radius - distance;
    m.at[0] = ((pa[0] - m.normal[0] * a.radius) + (pb[0] + m.normal[0] * b.radius)) / 2;
    m.at[1] = ((pa[1] - m.normal[1] * a.radius) + (pb[1] + m.normal[1] * b.radius)) / 2;
    return m;
}

bool heightsMeet(const BodyShape& a, const BodyShape& b) {
    return std::fabs(static_cast<double>(a.height) - b.height) < bodyHeight;
}

} // namespace

// The rigid body's motion of a vehicle whose body this is: the driving
// model moves the rear axle's centre along the course and turns the body
// about it.
BodyMotion bodyMotion(const Vehicle& v, const BodyShape& body, uint32_t rate) {
    const double course = radians(v.course);
    double sine, cosine;
    gameSinCos(course, sine, cosine);
    const double rear[2] = {-v.speed * sine, -v.speed * cosine};
    const double spin = -radians(v.yawRate) * stepRate(rate);
    const double ox = static_cast<double>(body.centre[0]) - v.position[0];
    const double oz = static_cast<double>(body.centre[1]) - v.position[2];
    return BodyMotion{{rear[0] + spin * oz, rear[1] - spin * ox}, spin};
}

namespace {

// A body as the solver moves it: its motion, its mass and inertia (inverse:
// a trunk's are zero), and its centre's offset from the point the driving
// model moves (the rear axle's centre).
struct Solid {
    double velocity[2];
    double spin;
    double inverseMass;
    double inverseInertia;
    double centre[2];
};

// A vehicle's body as a solid: its mass the driving model's, its inertia that
// of a slab its body's length and width.
Solid solidOf(const Vehicle& v, const BodyShape& body, uint32_t rate) {
    const BodyMotion motion = bodyMotion(v, body, rate);
    const double length = 2.0 * (static_cast<double>(body.halfLength) + body.radius);
    const double width = 2.0 * body.radius;
    const double mass = v.mass > 0.01f ? v.mass : 1.0;
    return Solid{{motion.velocity[0], motion.velocity[1]}, motion.spin, 1 / mass,
                 12 / (mass * (length * length + width * width)), {body.centre[0], body.centre[1]}};
}

// The rigid body's new motion back into the driving model: the rear axle's
// velocity as a speed along a course, the spin as the yaw rate, and the
// wheels' speeds changed by as much as the speed along the heading changed.
// A vehicle knocked mostly backwards backs (the model backs straight); one
// knocked sideways slides along its new course, which the tyres' scrub and
// grip soon stop, rather than backing away at the speed of the knock.
void setMotion(Vehicle& v, const Solid& solid, uint32_t rate) {
    const double R = stepRate(rate);
    const double ox = solid.centre[0] - v.position[0], oz = solid.centre[1] - v.position[2];
    const double vx = solid.velocity[0] - solid.spin * oz;
    const double vz = solid.velocity[1] + solid.spin * ox;
    const double heading = radians(v.heading);
    double sine, cosine;
    gameSinCos(heading, sine, cosine);
    const double fx = -sine, fz = -cosine;
    const double alongBefore = v.speed * gameCos(radians(static_cast<double>(v.course) - v.heading));
    const double along = vx * fx + vz * fz, aside = vx * fz - vz * fx;
    const double size = std::sqrt(vx * vx + vz * vz);
    const double speed = along < 0 && -along >= std::fabs(aside) ? -size : size;
    double course = v.heading;
    if (size > 1e-9) {
        const double way = degrees(gameAtan2(-vx / speed, -vz / speed));
        course = v.heading + gameRemainder(way - v.heading, 360.0);
    }
    const double change = along - alongBefore;
    v.speed = static_cast<float>(speed);
    v.course = static_cast<float>(course);
    v.driveSpeed = static_cast<float>(v.driveSpeed + change);
    v.rearWheelSpeed = static_cast<float>(v.rearWheelSpeed + change);
    v.yawRate = static_cast<float>(-degrees(solid.spin) / R);
}

// A change of spin, bounded where it would spin the body up: a touch may
// stop a spin, but adds at most maxSpinKick to one, and touch after touch
// (a buggy pivoting on a trunk) spin it no faster than maxSpin.
double boundedSpinKick(double spin, double kick) {
    if (std::fabs(spin + kick) <= std::fabs(spin)) {
        return kick;
    }
    const double bounded = std::clamp(kick, -maxSpinKick, maxSpinKick);
    const double most = std::max(maxSpin, std::fabs(spin));
    return std::clamp(spin + bounded, -most, most) - spin;
}

// The velocity of a solid's point at offset (rx, rz) from its centre.
void pointVelocity(const Solid& s, double rx, double rz, double (&out)[2]) {
    out[0] = s.velocity[0] + s.spin * rz;
    out[1] = s.velocity[1] - s.spin * rx;
}

// The impulse of a touch at point `at` with normal n (from b toward a): none
// while the points there already part. Returns the closing speed.
double pushApart(Solid& a, Solid& b, const Meeting& m, double friction) {
    const double arx = m.at[0] - a.centre[0], arz = m.at[1] - a.centre[1];
    const double brx = m.at[0] - b.centre[0], brz = m.at[1] - b.centre[1];
    double va[2], vb[2];
    pointVelocity(a, arx, arz, va);
    pointVelocity(b, brx, brz, vb);
    const double relative[2] = {va[0] - vb[0], va[1] - vb[1]};
    const double* n = m.normal;
    const double closing = -(relative[0] * n[0] + relative[1] * n[1]);
    if (closing <= 0) {
        return 0;
    }
    // How hard each body resists a push along a direction at its arm: its mass
    // and, for the turn the push gives, its inertia.
    const auto resistance = [&](const double (&d)[2]) {
        const double ka = arz * d[0] - arx * d[1], kb = brz * d[0] - brx * d[1];
        return (a.inverseMass + ka * ka * a.inverseInertia) + (b.inverseMass + kb * kb * b.inverseInertia);
    };
    const double bounce = closing > bounceAbove ? restitution : 0.0;
    const double normalPush = (1 + bounce) * closing / resistance(m.normal);
    const double tangent[2] = {-n[1], n[0]};
    const double sliding = relative[0] * tangent[0] + relative[1] * tangent[1];
    const double grip = std::clamp(-sliding / resistance(tangent), -friction * normalPush, friction * normalPush);
    const double push[2] = {normalPush * n[0] + grip * tangent[0], normalPush * n[1] + grip * tangent[1]};
    a.velocity[0] += push[0] * a.inverseMass;
    a.velocity[1] += push[1] * a.inverseMass;
    a.spin += boundedSpinKick(a.spin, (arz * push[0] - arx * push[1]) * a.inverseInertia);
    b.velocity[0] -= push[0] * b.inverseMass;
    b.velocity[1] -= push[1] * b.inverseMass;
    b.spin += boundedSpinKick(b.spin, -(brz * push[0] - brx * push[1]) * b.inverseInertia);
    return closing;
}

// Moves a vehicle and its body across the ground by (dx, dz), inside the
// square it drives in.
void shiftVehicle(Vehicle& v, BodyShape& body, double dx, double dz) {
    constexpr double inside = mapEdge - 1e-3;
    const float x = v.position[0], z = v.position[2];
    v.position[0] = static_cast<float>(std::clamp(v.position[0] + dx, -inside, inside));
    v.position[2] = static_cast<float>(std::clamp(v.position[2] + dz, -inside, inside));
    body.centre[0] = static_cast<float>(body.centre[0] + (static_cast<double>(v.position[0]) - x));
    body.centre[1] = static_cast<float>(body.centre[1] + (static_cast<double>(v.position[2]) - z));
}

// The overlap beyond the slop pushed out, shared as the inverse masses are.
void separate(Vehicle& a, BodyShape& bodyA, Vehicle* b, BodyShape& bodyB, const Meeting& m, double shareA) {
    const double overlap = m.depth - slop;
    if (overlap <= 0) {
        return;
    }
    shiftVehicle(a, bodyA, m.normal[0] * overlap * shareA, m.normal[1] * overlap * shareA);
    if (b != nullptr) {
        shiftVehicle(*b, bodyB, -m.normal[0] * overlap * (1 - shareA), -m.normal[1] * overlap * (1 - shareA));
    }
}

// The wheels' points on the ground again after the body was pushed aside
// (their suspension stays as it was).
void settleWheels(Vehicle& v, const TerrainMap& ground) {
    updateWheelContacts(v);
    updateGroundHeights(v, ground);
    updateGroundFlags(v);
}

// Whether a vehicle takes part in contacts at all.
bool solidVehicle(const World& world, int32_t v) {
    return !world.race.offCourse[v] && hasUsableWheelLayout(world.vehicles[v].layout);
}

// A body moved back along the way it came this step, to a fraction of it.
BodyShape bodyAt(const BodyShape& end, const float (&start)[2], double fraction) {
    BodyShape b = end;
    b.centre[0] = static_cast<float>(start[0] + (static_cast<double>(end.centre[0]) - start[0]) * fraction);
    b.centre[1] = static_cast<float>(start[1] + (static_cast<double>(end.centre[1]) - start[1]) * fraction);
    return b;
}

// Two bodies apart at the step's end that moved so far relative to each other
// that they may have passed through one another: the first fraction of the
// step at which they overlapped, or 1 when they never did.
double firstOverlap(const BodyShape& a, const float (&startA)[2], const BodyShape& b, const float (&startB)[2]) {
    const double relX = (static_cast<double>(a.centre[0]) - startA[0]) - (static_cast<double>(b.centre[0]) - startB[0]);
    const double relZ = (static_cast<double>(a.centre[1]) - startA[1]) - (static_cast<double>(b.centre[1]) - startB[1]);
    const double moved = std::sqrt(relX * relX + relZ * relZ);
    const double reach = 0.25 * (static_cast<double>(a.radius) + b.radius);
    if (moved <= 2 * reach) {
        return 1; // too little to pass through: what overlaps shows at the end
    }
    const int samples = std::min(16, static_cast<int>(std::ceil(moved / reach)));
    for (int k = 1; k < samples; ++k) {
        const double fraction = static_cast<double>(k) / samples;
        if (bodiesOverlap(bodyAt(a, startA, fraction), bodyAt(b, startB, fraction))) {
            return fraction;
        }
    }
    return 1;
}

// A vehicle taken back to where its body was at this fraction of the step.
void rewindVehicle(Vehicle& v, BodyShape& body, const float (&start)[2], double fraction) {
    shiftVehicle(v, body, (start[0] - static_cast<double>(body.centre[0])) * (1 - fraction),
                 (start[1] - static_cast<double>(body.centre[1])) * (1 - fraction));
}

// The step's touches, gathered over the passes.
struct StepTouches {
    bool pair[vehiclePairs];
    int32_t trunk[vehicleCount]; // the first trunk each touched; -1 none
    float closing;               // the fastest closing speed of a touch that begins a contact
    float at[2];
};

// The trees of the growth map near a body (within half a unit of touching
// it), in cell order, each visited.
template <typename Visit>
void forEachNearTrunk(const TerrainMap& ground, const BodyShape& body, Visit visit) {
    forEachTrunkNear(ground, body.centre, static_cast<double>(body.halfLength) + body.radius + trunkRadius + 0.5, visit);
}

bool trunkInReach(const BodyShape& body, const BodyShape& trunk) {
    return body.height < trunk.height + trunkHeight;
}

} // namespace

BodyShape vehicleBody(const Vehicle& v) {
    const WheelLayout& m = v.layout;
    const double heading = radians(v.heading);
    const double halfWheelbase = std::fabs(static_cast<double>(m.wheelZ[1]) - m.wheelZ[0]) / 2;
    double sine, cosine;
    gameSinCos(heading, sine, cosine);
    const double axis[2] = {-sine, -cosine};
    const double halfTrack = std::max(std::fabs(m.wheelX[0]), std::fabs(m.wheelX[1])) + m.wheelWidth / 2.0;
    const double radius = std::min(halfTrack, static_cast<double>(widest));
    // The bumpers stand a little beyond the wheels' outer edges.
    const double reach = halfWheelbase + 1.2 * m.wheelRadius;
    BodyShape body{};
    body.axis[0] = static_cast<float>(axis[0]);
    body.axis[1] = static_cast<float>(axis[1]);
    body.centre[0] = static_cast<float>(v.position[0] + axis[0] * halfWheelbase);
    body.centre[1] = static_cast<float>(v.position[2] + axis[1] * halfWheelbase);
    body.radius = static_cast<float>(radius);
    body.halfLength = static_cast<float>(std::max(0.0, reach - radius));
    body.height = v.position[1];
    return body;
}

BodyShape trunkBody(const TerrainMap& ground, int32_t cell) {
    const int32_t column = cell % growthCells, row = cell / growthCells;
    BodyShape trunk{};
    trunk.centre[0] = terrainCellSize * static_cast<float>(column) - terrainHalfSize;
    trunk.centre[1] = terrainCellSize * static_cast<float>(row) - terrainHalfSize;
    trunk.axis[0] = 1;
    trunk.radius = trunkRadius;
    trunk.height = terrainHeightAt(&ground, terrainCornerStep * column, terrainCornerStep * row);
    return trunk;
}

bool bodiesOverlap(const BodyShape& a, const BodyShape& b, float margin) {
    const double dx = static_cast<double>(a.centre[0]) - b.centre[0], dz = static_cast<double>(a.centre[1]) - b.centre[1];
    const double far = static_cast<double>(a.halfLength) + a.radius + b.halfLength + b.radius + margin;
    if (dx * dx + dz * dz > far * far) {
        return false;
    }
    return meet(a, b).depth > -static_cast<double>(margin);
}

void clearContactMemory(ContactMemory& memory) {
    memory = ContactMemory{};
    std::fill(memory.pairApart, memory.pairApart + vehiclePairs, contactOver);
    std::fill(memory.trunk, memory.trunk + vehicleCount, -1);
    std::fill(memory.trunkApart, memory.trunkApart + vehicleCount, contactOver);
}

BodyMotion bodyMotion(const Vehicle& v, uint32_t rate) { return bodyMotion(v, vehicleBody(v), rate); }

bool bodyBlocked(const World& world, int32_t v, const BodyShape& body) {
    constexpr float margin = 0.2f;
    for (int32_t other = 0; other < vehicleCount && world.vehicleContact; ++other) {
        if (other != v && solidVehicle(world, other) &&
            bodiesOverlap(body, vehicleBody(world.vehicles[other]), margin)) {
            return true;
        }
    }
    bool blocked = false;
    if (world.solidTrees) {
        forEachNearTrunk(world.ground, body, [&](int32_t cell) {
            blocked = blocked || bodiesOverlap(body, trunkBody(world.ground, cell), margin);
        });
    }
    return blocked;
}

namespace {

// Two vehicles with their bodies as they stand: see collideVehicles. The
// bodies follow the vehicles where the overlap pushes them.
Touch collideBodies(Vehicle& a, BodyShape& bodyA, Vehicle& b, BodyShape& bodyB, uint32_t rate) {
    if (!heightsMeet(bodyA, bodyB) || !bodiesOverlap(bodyA, bodyB)) {
        return Touch{};
    }
    const Meeting m = meet(bodyA, bodyB);
    Solid solidA = solidOf(a, bodyA, rate), solidB = solidOf(b, bodyB, rate);
    const double closing = pushApart(solidA, solidB, m, vehicleFriction);
    if (closing > 0) {
        setMotion(a, solidA, rate);
        setMotion(b, solidB, rate);
    }
    separate(a, bodyA, &b, bodyB, m, solidA.inverseMass / (solidA.inverseMass + solidB.inverseMass));
    return Touch{true, static_cast<float>(closing), {static_cast<float>(m.at[0]), static_cast<float>(m.at[1])}};
}

Touch collideBodyWithTrunk(Vehicle& v, BodyShape& body, const BodyShape& trunk, uint32_t rate) {
    if (!trunkInReach(body, trunk) || !bodiesOverlap(body, trunk)) {
        return Touch{};
    }
    const Meeting m = meet(body, trunk);
    Solid solid = solidOf(v, body, rate);
    Solid post{{0, 0}, 0, 0, 0, {trunk.centre[0], trunk.centre[1]}};
    const double closing = pushApart(solid, post, m, trunkFriction);
    if (closing > 0) {
        setMotion(v, solid, rate);
    }
    BodyShape unmoved = trunk;
    separate(v, body, nullptr, unmoved, m, 1);
    return Touch{true, static_cast<float>(closing), {static_cast<float>(m.at[0]), static_cast<float>(m.at[1])}};
}

} // namespace

Touch collideVehicles(Vehicle& a, Vehicle& b, uint32_t rate) {
    BodyShape bodyA = vehicleBody(a), bodyB = vehicleBody(b);
    return collideBodies(a, bodyA, b, bodyB, rate);
}

Touch collideTrunk(Vehicle& v, const BodyShape& trunk, uint32_t rate) {
    BodyShape body = vehicleBody(v);
    return collideBodyWithTrunk(v, body, trunk, rate);
}

void resolveContacts(World& world, const float (&startCentres)[vehicleCount][2]) {
    ContactMemory& memory = world.contact;
    if (!world.vehicleContact && !world.solidTrees) {
        return;
    }
    const uint32_t rate = stepsPerSecond;
    // The bodies once a step: a touch moves them, never turns them.
    BodyShape bodies[vehicleCount];
    bool solid[vehicleCount];
    for (int32_t v = 0; v < vehicleCount; ++v) {
        solid[v] = solidVehicle(world, v);
        bodies[v] = solid[v] ? vehicleBody(world.vehicles[v]) : BodyShape{};
    }
    StepTouches touched{};
    std::fill(touched.trunk, touched.trunk + vehicleCount, -1);
    bool moved[vehicleCount] = {};
    // A pair that passed through each other within the step is met where
    // they first touched.
    for (int32_t p = 0; p < vehiclePairs && world.vehicleContact; ++p) {
        const int32_t i = pairOf[p][0], j = pairOf[p][1];
        if (solid[i] && solid[j] && heightsMeet(bodies[i], bodies[j]) && !bodiesOverlap(bodies[i], bodies[j])) {
            const double fraction = firstOverlap(bodies[i], startCentres[i], bodies[j], startCentres[j]);
            if (fraction < 1) {
                rewindVehicle(world.vehicles[i], bodies[i], startCentres[i], fraction);
                rewindVehicle(world.vehicles[j], bodies[j], startCentres[j], fraction);
            }
        }
    }
    const auto note = [&](const Touch& touch, bool begins) {
        if (begins && touch.closing >= touched.closing) {
            touched.closing = touch.closing;
            touched.at[0] = touch.at[0];
            touched.at[1] = touch.at[1];
        }
    };
    for (int pass = 0; pass < passes; ++pass) {
        for (int32_t p = 0; p < vehiclePairs && world.vehicleContact; ++p) {
            const int32_t i = pairOf[p][0], j = pairOf[p][1];
            if (!solid[i] || !solid[j]) {
                continue;
            }
            const Touch touch = collideBodies(world.vehicles[i], bodies[i], world.vehicles[j], bodies[j], rate);
            if (touch.touching) {
                note(touch, !touched.pair[p] && memory.pairApart[p] >= contactOver);
                touched.pair[p] = true;
                moved[i] = moved[j] = true;
            }
        }
        for (int32_t v = 0; v < vehicleCount && world.solidTrees; ++v) {
            if (!solid[v]) {
                continue;
            }
            forEachNearTrunk(world.ground, bodies[v], [&](int32_t cell) {
                const Touch touch = collideBodyWithTrunk(world.vehicles[v], bodies[v], trunkBody(world.ground, cell), rate);
                if (touch.touching) {
                    note(touch, touched.trunk[v] < 0 && (memory.trunk[v] != cell || memory.trunkApart[v] >= contactOver));
                    touched.trunk[v] = touched.trunk[v] < 0 ? cell : touched.trunk[v];
                    moved[v] = true;
                }
            });
        }
    }
    for (int32_t v = 0; v < vehicleCount; ++v) {
        if (moved[v]) {
            settleWheels(world.vehicles[v], world.ground);
        }
    }
    // What begins now counts once; what goes on is over only once the
    // bodies have stayed apart a while.
    Race& race = world.race;
    const auto counts = [&](int32_t v) {
        return race.phase == RacePhase::racing && !race.offCourse[v] && !race.entries[v].finished;
    };
    uint32_t begun = 0;
    for (int32_t p = 0; p < vehiclePairs; ++p) {
        const int32_t i = pairOf[p][0], j = pairOf[p][1];
        if (touched.pair[p] && memory.pairApart[p] >= contactOver) {
            ++begun;
            race.entries[i].vehicleContacts += counts(i) ? 1 : 0;
            race.entries[j].vehicleContacts += counts(j) ? 1 : 0;
        }
        memory.pairApart[p] = touched.pair[p] ? 0 : std::min(memory.pairApart[p] + 1, contactOver);
    }
    for (int32_t v = 0; v < vehicleCount; ++v) {
        const int32_t cell = touched.trunk[v];
        if (cell >= 0 && (cell != memory.trunk[v] || memory.trunkApart[v] >= contactOver)) {
            ++begun;
            race.entries[v].treeContacts += counts(v) ? 1 : 0;
        }
        memory.trunk[v] = cell >= 0 ? cell : memory.trunk[v];
        memory.trunkApart[v] = cell >= 0 ? 0 : std::min(memory.trunkApart[v] + 1, contactOver);
    }
    if (begun > 0) {
        ++memory.knocks; // however many began in one step, the ear hears one knock
        memory.knockSpeed = touched.closing;
        memory.knockAt[0] = touched.at[0];
        memory.knockAt[1] = touched.at[1];
    }
}
