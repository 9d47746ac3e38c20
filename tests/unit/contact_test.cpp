// contact_test.cpp -- vehicles that meet and trunks that stand, judged by what
// a player would see and what physics keeps: the same crash with the vehicles'
// numbers swapped or mirrored, momentum kept and energy never gained, nothing
// passing through at the highest closing speed, a long push that neither
// sticks, climbs, jitters nor speeds up, one crash counted once, a trunk that
// stops a vehicle which can back away, and a rescue back to the last gate.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "support/scripted_drive.h"
#include "support/vehicle_fixture.h"

namespace {

// Vehicle v at rest with its centre at (x, z), facing heading, then rolling
// along that heading at speed.
void place(World& world, int v, float x, float z, float heading, float speed) {
    Vehicle& vehicle = world.vehicles[v];
    placeVehicleAtRest(vehicle, world.ground, x, z, heading);
    vehicle.speed = vehicle.driveSpeed = vehicle.rearWheelSpeed = speed;
}

// Flat ground, the third vehicle far away out of everybody's way.
std::unique_ptr<World> pairWorld() {
    auto world = flatWorld();
    place(*world, 2, 80, 80, 0, 0);
    return world;
}

float centreGap(const World& world, int a, int b) {
    float ca[2], cb[2];
    vehicleCentre(world.vehicles[a], ca);
    vehicleCentre(world.vehicles[b], cb);
    return std::hypot(ca[0] - cb[0], ca[1] - cb[1]);
}

void stepWith(World& world, const VehicleControls& a, const VehicleControls& b, int steps) {
    const VehicleControls controls[vehicleCount] = {a, b, {}};
    for (int s = 0; s < steps; ++s) {
        stepWorld(world, controls);
    }
}

// The same crashes with the two vehicles' numbers swapped end the same, bit
// for bit, roles swapped; a head-on crash mirrored across the middle ends
// mirrored.
TEST(Contact, SwappingTheVehiclesSwapsTheOutcomeBitForBitAndAMirroredCrashEndsMirrored) {
    struct Start {
        float x, z, heading, speed;
    };
    const std::pair<Start, Start> crashes[] = {
        {{0, 0, 0, 20}, {0.7f, -12, 180, 25}}, // head-on, a little offset
        {{0, 0, 0, 30}, {-8, -12, -90, 20}},   // into the other's flank
        {{0, 0, 0, 20}, {2.2f, 0, 0, 20}},     // side by side, steering into each other
    };
    for (const auto& [p, q] : crashes) {
        auto one = pairWorld(), two = pairWorld();
        place(*one, 0, p.x, p.z, p.heading, p.speed);
        place(*one, 1, q.x, q.z, q.heading, q.speed);
        place(*two, 1, p.x, p.z, p.heading, p.speed);
        place(*two, 0, q.x, q.z, q.heading, q.speed);
        stepWith(*one, controlsOf("WD"), controlsOf("WA"), 90);
        stepWith(*two, controlsOf("WA"), controlsOf("WD"), 90);
        VehicleSnapshot a, b;
        for (int v = 0; v < 2; ++v) {
            takeSnapshot(one->vehicles[v], a);
            takeSnapshot(two->vehicles[1 - v], b);
            EXPECT_TRUE(sameSnapshot(a, b)) << p.heading << " vehicle " << v;
        }
        EXPECT_GT(one->contact.knocks, 0u);
        EXPECT_EQ(one->contact.knocks, two->contact.knocks);
    }
    auto left = pairWorld(), right = pairWorld();
    place(*left, 0, -0.4f, 0, 30, 25);
    place(*left, 1, -3, -14, 180, 25);
    place(*right, 0, 0.4f, 0, -30, 25);
    place(*right, 1, 3, -14, -180, 25);
    stepWith(*left, controlsOf("W"), controlsOf("W"), 60);
    stepWith(*right, controlsOf("W"), controlsOf("W"), 60);
    EXPECT_GT(left->contact.knocks, 0u);
    for (int v = 0; v < 2; ++v) {
        const Vehicle &l = left->vehicles[v], &r = right->vehicles[v];
        EXPECT_NEAR(l.position[0], -r.position[0], 1e-3) << v;
        EXPECT_NEAR(l.position[2], r.position[2], 1e-3) << v;
        EXPECT_NEAR(std::remainder(l.heading + r.heading, 360.0f), 0, 1e-2) << v;
        EXPECT_NEAR(l.speed, r.speed, 1e-3) << v;
    }
}

// Equal vehicles in every kind of touch: the momentum in the ground plane
// is kept and the energy (of going and of turning) never rises.
TEST(Contact, MomentumIsKeptAndEnergyNeverRises) {
    const auto energy = [](const Vehicle& v, const BodyMotion& m) {
        const BodyShape body = vehicleBody(v);
        const double length = 2.0 * (body.halfLength + body.radius), width = 2.0 * body.radius;
        const double inertia = v.mass * (length * length + width * width) / 12;
        return 0.5 * v.mass * (m.velocity[0] * m.velocity[0] + m.velocity[1] * m.velocity[1]) +
               0.5 * inertia * m.spin * m.spin;
    };
    int touches = 0;
    for (float angle = 0; angle < 360; angle += 22.5f) {
        for (const float offset : {-1.5f, 0.0f, 0.9f}) {
            for (const float yaw : {0.0f, 2.0f}) {
                auto world = pairWorld();
                place(*world, 0, 0, 0, 0, 20);
                place(*world, 1, offset, -3.2f, angle, 12);
                world->vehicles[0].yawRate = yaw;
                world->vehicles[1].course += 8; // sliding a little
                Vehicle& a = world->vehicles[0];
                Vehicle& b = world->vehicles[1];
                const BodyMotion a0 = bodyMotion(a, stepsPerSecond), b0 = bodyMotion(b, stepsPerSecond);
                const Touch touch = collideVehicles(a, b, stepsPerSecond);
                if (!touch.touching) {
                    continue;
                }
                ++touches;
                const BodyMotion a1 = bodyMotion(a, stepsPerSecond), b1 = bodyMotion(b, stepsPerSecond);
                for (int axis = 0; axis < 2; ++axis) {
                    EXPECT_NEAR(a1.velocity[axis] + b1.velocity[axis], a0.velocity[axis] + b0.velocity[axis], 2e-3)
                        << angle << " " << offset;
                }
                EXPECT_LE(energy(a, a1) + energy(b, b1), (energy(a, a0) + energy(b, b0)) * (1 + 1e-5))
                    << angle << " " << offset << " " << yaw;
            }
        }
    }
    EXPECT_GT(touches, 15);
}

// Head-on, glancing off a flank, and square into a standing one's flank, at a
// closing speed above anything the buggies reach even downhill: never
// through, never sunk into each other. One crash, one contact, one knock; a square bounce
// keeps little of the speed.
TEST(Contact, NothingPassesThroughAtTheHighestClosingSpeedAndOneCrashCountsOnce) {
    struct Crash {
        float heading0, course0, speed0; // blue at the middle, facing and going
        float x1, z1, heading1, course1, speed1;
        bool square;                     // along the line between them (else a blow that glances off)
    };
    for (const Crash& c : {Crash{0, 0, 40, 0, -30, 180, 180, 40, true}, Crash{0, 0, 40, -15, -15, -90, -90, 40, false},
                           Crash{90, 90, 0, 0, -30, 180, 180, 80, true}}) {
        auto world = pairWorld();
        place(*world, 0, 0, 0, c.heading0, c.speed0);
        place(*world, 1, c.x1, c.z1, c.heading1, c.speed1);
        world->vehicles[0].course = c.course0;
        world->vehicles[1].course = c.course1;
        // The way they close: red's velocity less blue's.
        const double r0 = c.course0 * 3.141592654 / 180, r1 = c.course1 * 3.141592654 / 180;
        const double close[2] = {-c.speed1 * std::sin(r1) + c.speed0 * std::sin(r0),
                                 -c.speed1 * std::cos(r1) + c.speed0 * std::cos(r0)};
        const double size = std::hypot(close[0], close[1]);
        double nearest = 1e9;
        for (int s = 0; s < 45; ++s) { // they meet after about twenty steps
            stepWith(*world, {}, {}, 1);
            float a[2], b[2];
            vehicleCentre(world->vehicles[0], a);
            vehicleCentre(world->vehicles[1], b);
            const double behind = ((b[0] - a[0]) * close[0] + (b[1] - a[1]) * close[1]) / size;
            nearest = std::min(nearest, static_cast<double>(centreGap(*world, 0, 1)));
            EXPECT_TRUE(!c.square || behind < -1.0) << c.heading1 << " step " << s; // never level, let alone through
            EXPECT_FALSE(bodiesOverlap(vehicleBody(world->vehicles[0]), vehicleBody(world->vehicles[1]), -0.3f))
                << c.heading1 << " step " << s;
        }
        EXPECT_LT(nearest, 3.6) << c.heading1; // they did meet
        EXPECT_EQ(world->contact.knocks, 1u) << c.heading1;
        if (c.square && c.speed0 == c.speed1) { // head-on: both stop, and bounce back a little
            EXPECT_LT(std::fabs(world->vehicles[0].speed) + std::fabs(world->vehicles[1].speed), 0.3f * 80);
        }
    }
}

// Red steers into blue down a long straight for ten seconds: they lean on
// each other without climbing, shaking (the gap between them changes
// smoothly) or going faster than either would alone, it is one contact all
// along, and they part as soon as the steering does.
TEST(Contact, ALongPushSideBySideNeitherSticksClimbsJittersNorGainsSpeed) {
    float fastest[2] = {};
    for (const bool touching : {false, true}) { // alone, straight on; then the two side by side
        auto world = pairWorld();
        place(*world, 0, 0, 60, 0, 20);
        place(*world, 1, touching ? 2.2f : 20.0f, 60, 0, 20);
        world->race.phase = RacePhase::racing; // a race with no course: contacts count
        float gaps[3] = {centreGap(*world, 0, 1), centreGap(*world, 0, 1), 0};
        for (int s = 0; s < 600; ++s) {
            stepWith(*world, controlsOf(touching ? "WD" : "W"), controlsOf(touching ? "WA" : "W"), 1);
            gaps[2] = centreGap(*world, 0, 1);
            for (const Vehicle& v : {world->vehicles[0], world->vehicles[1]}) {
                EXPECT_EQ(v.position[1], 0.0f) << s;
                fastest[touching] = std::max(fastest[touching], v.speed);
            }
            if (touching) {
                EXPECT_GT(gaps[2], 1.6f) << s;
                // No shaking beyond the buggies' own wobble of a few hundredths a step.
                EXPECT_LT(std::fabs(gaps[2] - 2 * gaps[1] + gaps[0]), 0.08f) << s;
            }
            gaps[0] = gaps[1];
            gaps[1] = gaps[2];
        }
        if (touching) {
            EXPECT_LT(gaps[2], 1.9f); // still leaning on each other
            EXPECT_EQ(world->race.entries[0].vehicleContacts, 1);
            EXPECT_EQ(world->race.entries[1].vehicleContacts, 1);
            stepWith(*world, controlsOf("WA"), controlsOf("WD"), 90);
            EXPECT_GT(centreGap(*world, 0, 1), 4.0f);
        }
    }
    EXPECT_LT(fastest[1], fastest[0] + 0.25f);
}

// A tree's trunk in the middle of flat ground: a vehicle driven straight at
// it stops there however hard it keeps accelerating, counts it once, and
// backs away; with the trees not solid it drives through.
TEST(Contact, ATrunkStopsAVehicleWhichCanBackAway) {
    for (const bool solid : {true, false}) {
        auto world = pairWorld();
        setWorldRules(*world, simulationVersion, true, solid);
        const int32_t cell = 20 * growthCells + 16; // stands at (0, 25)
        world->ground.growth[cell] = growthTree;
        place(*world, 0, 0, 55, 0, 0);
        place(*world, 1, 40, 40, 0, 0);
        startWorldRace(*world, 1, {false, false, false});
        world->race.phase = RacePhase::racing;
        stepWith(*world, controlsOf("W"), {}, 300);
        float centre[2];
        vehicleCentre(world->vehicles[0], centre);
        if (!solid) {
            EXPECT_LT(centre[1], 10.0f);
            EXPECT_EQ(world->race.entries[0].treeContacts, 0);
            continue;
        }
        EXPECT_NEAR(centre[1], 25 + 0.35f + 1.74f, 0.15f); // the bumper at the trunk
        EXPECT_LT(std::fabs(world->vehicles[0].speed), 1.0f);
        EXPECT_EQ(world->race.entries[0].treeContacts, 1);
        stepWith(*world, controlsOf("Z"), {}, 120);
        vehicleCentre(world->vehicles[0], centre);
        EXPECT_GT(centre[1], 32.0f);
        EXPECT_EQ(world->race.entries[0].treeContacts, 1);
    }
}

// In a race, blue stuck with its nose in a tree asks for a rescue: it stands
// at rest on the line of the last gate it passed, facing the next, its
// controls dead for a second, and it is counted. Away from a race it stands
// up where it is, or on its start place where that is blocked.
TEST(Contact, ARescueSetsAStuckVehicleBackAtItsLastGate) {
    const auto world = std::make_unique<World>();
    ASSERT_TRUE(setUpScriptedWorld(*world, MUDLARK_RUN_DIR));
    startWorldRace(*world, 3, {true, false, false});
    const VehicleControls none[vehicleCount] = {};
    while (world->race.entries[0].gatesPassed < 3) {
        stepWorld(*world, none);
    }
    world->race.computer[0] = false;
    placeVehicleAtRest(world->vehicles[0], world->ground, 30, 30, 45);
    const VehicleControls rescue[vehicleCount] = {controlsOf("WE"), {}, {}};
    stepWorld(*world, rescue);
    const Gate& last = world->course.gates[2];
    const Gate& next = world->course.gates[3];
    float centre[2];
    vehicleCentre(world->vehicles[0], centre);
    EXPECT_NEAR(std::hypot(centre[0] - last.x, centre[1] - last.z), 0, 0.01);
    const double facing = std::atan2(-(next.x - last.x), -(next.z - last.z)) * 180 / 3.141592654;
    EXPECT_NEAR(std::remainder(world->vehicles[0].heading - facing, 360.0), 0, 0.01);
    EXPECT_EQ(world->race.entries[0].rescues, 1);
    EXPECT_EQ(world->race.entries[0].gatesPassed, 3);
    const VehicleControls drive[vehicleCount] = {controlsOf("WE"), {}, {}}; // still held: no second rescue
    for (int s = 0; s < rescueHoldSteps - 2; ++s) {
        stepWorld(*world, drive);
    }
    EXPECT_EQ(world->vehicles[0].speed, 0.0f); // held for a second
    stepWith(*world, controlsOf("W"), {}, 30);
    EXPECT_GT(world->vehicles[0].speed, 3.0f);
    EXPECT_EQ(world->race.entries[0].rescues, 1);

    auto sandbox = pairWorld();
    place(*sandbox, 0, 10, 10, 70, 12);
    stepWith(*sandbox, controlsOf("E"), {}, 1);
    vehicleCentre(sandbox->vehicles[0], centre);
    EXPECT_EQ(std::tuple(centre[0], centre[1], sandbox->vehicles[0].speed), std::tuple(10.0f, 10.0f, 0.0f));
    sandbox->ground.growth[18 * growthCells + 18] = growthTree; // at (12.5, 12.5)
    place(*sandbox, 0, 12.5f, 14.6f, 0, 0);                      // its nose on the trunk
    stepWith(*sandbox, controlsOf(""), {}, rescueHoldSteps);
    stepWith(*sandbox, controlsOf("E"), {}, 1);
    EXPECT_EQ(std::pair(sandbox->vehicles[0].position[0], sandbox->vehicles[0].position[2]), std::pair(startX[0], 0.0f));
}

// Nothing touches: with both rules off nothing is ever counted; a time
// trial's lap in which nothing touches, driven again by its controls with the
// rules on, is the same bit for bit; and so are the sandbox's first seconds,
// three vehicles setting off side by side from their start places.
TEST(Contact, WithTheRulesOffNothingCountsAndWhereNothingTouchesTheyChangeNothing) {
    auto off = std::make_unique<World>(), on = std::make_unique<World>();
    ASSERT_TRUE(setUpScriptedWorld(*off, MUDLARK_RUN_DIR));
    setWorldRules(*off, simulationVersion, false, false);
    startWorldRace(*off, 1, {true, true, true});
    const VehicleControls none[vehicleCount] = {};
    for (int s = 0; s < 60 * 120 && off->race.phase != RacePhase::results; ++s) {
        stepWorld(*off, none);
    }
    ASSERT_EQ(off->race.phase, RacePhase::results);
    for (const RaceEntry& entry : off->race.entries) {
        EXPECT_EQ(entry.vehicleContacts + entry.treeContacts + entry.rescues, 0);
    }
    EXPECT_EQ(off->contact.knocks, 0u);
    for (const bool trial : {true, false}) {
        ASSERT_TRUE(setUpScriptedWorld(*off, MUDLARK_RUN_DIR));
        ASSERT_TRUE(setUpScriptedWorld(*on, MUDLARK_RUN_DIR));
        setWorldRules(*off, simulationVersion, false, false);
        if (trial) {
            for (World* world : {off.get(), on.get()}) {
                startTrial(world->race, world->course, 0, world->vehicles, world->ground);
            }
            off->race.computer[0] = true;
        }
        for (int s = 0; s < (trial ? 60 * 25 : 180); ++s) {
            VehicleControls controls[vehicleCount] = {controlsOf(s < 60 ? "" : "W"), controlsOf(s < 60 ? "" : "WA"),
                                                      controlsOf(s < 60 ? "" : "WD")};
            controls[0] = trial ? VehicleControls{} : controls[0]; // a key would take it from the computer
            stepWorld(*off, controls);
            controls[0] = off->vehicles[0].controls; // the computer's, in a trial
            stepWorld(*on, controls);
            ASSERT_TRUE(sameVehicles(*off, *on)) << s;
        }
        EXPECT_EQ(on->contact.knocks, 0u);
        EXPECT_TRUE(!trial || on->race.entries[0].gatesPassed > on->course.count); // a lap and more
    }
}

} // namespace
