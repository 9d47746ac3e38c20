// driver_test.cpp -- computer drivers on the generated tracks, in-process: all
// three finish at every skill without stalling, each skill quicker than the
// one below, and they get free when put nose-first against the edge of the
// world or a tree.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "race/driver.h"
#include "scene/scene.h"
#include "support/scripted_drive.h"
#include "support/temp_dir.h"
#include "terrain/terrain.h"

namespace {

struct Outcome {
    std::unique_ptr<World> world; // as the race left it
    double longestStall; // game seconds a vehicle went without getting half a unit nearer its next gate (or a rescue)
};

// A race of three computer drivers on a generated track, stepped as the game
// steps it; place(world) may move vehicles during the countdown.
Outcome raceOfComputers(int32_t track, int32_t laps, int32_t skill, void (*place)(World&) = nullptr) {
    Outcome out{std::make_unique<World>(), 0};
    World& world = *out.world;
    EXPECT_TRUE(setUpScriptedWorld(world, MUDLARK_RUN_DIR, track));
    const bool computer[vehicleCount] = {true, true, true};
    world.computerSkill = skill;
    startWorldRace(world, laps, computer);
    if (place != nullptr) {
        place(world);
    }
    const Course& course = world.course;
    double nearest[vehicleCount], since[vehicleCount] = {};
    int32_t passed[vehicleCount] = {}, rescued[vehicleCount] = {};
    std::fill(nearest, nearest + vehicleCount, 1e9);
    const VehicleControls none[vehicleCount] = {};
    for (uint32_t step = 0; step < 400 * stepsPerSecond && world.race.phase != RacePhase::results; ++step) {
        stepWorld(world, none);
        for (int32_t v = 0; v < vehicleCount && world.race.phase == RacePhase::racing; ++v) {
            const RaceEntry& e = world.race.entries[v];
            const Gate& gate = course.gates[nextGate(e, course.count)];
            const double distance = std::hypot(e.centre[0] - gate.x, e.centre[1] - gate.z);
            const bool progress =
                e.gatesPassed != passed[v] || distance < nearest[v] - 0.5 || e.finished || e.rescues != rescued[v];
            nearest[v] = progress ? distance : nearest[v];
            passed[v] = e.gatesPassed;
            rescued[v] = e.rescues;
            since[v] = progress ? 0 : since[v] + 1.0 / stepsPerSecond;
            out.longestStall = std::max(out.longestStall, since[v]);
        }
    }
    return out;
}

// Every skill finishes three laps of every track without stalling (a vehicle
// the others leave tangled rescues itself), and each skill's best lap is
// clearly quicker (by 2 % at least) than the one below's.
TEST(ComputerDrivers, EverySkillFinishesEveryTrackAndEachIsQuickerThanTheOneBelow) {
    for (int32_t track = 1; track <= 3; ++track) {
        double bestBelow = 0;
        for (int32_t skill = minSkill; skill <= maxSkill; ++skill) {
            const Outcome out = raceOfComputers(track, 3, skill);
            std::printf("track %d skill %d: best laps", track, skill);
            double best = 1e9;
            for (const RaceEntry& entry : out.world->race.entries) {
                EXPECT_TRUE(entry.finished) << "track " << track << " skill " << skill;
                std::printf(" %6.2f", entry.bestLap);
                best = std::min(best, entry.bestLap);
            }
            std::printf(", longest stall %.1f s\n", out.longestStall);
            EXPECT_LT(out.longestStall, 6.0) << "track " << track << " skill " << skill; // backing off, then a rescue
            if (skill > minSkill) {
                EXPECT_LT(best, 0.98 * bestBelow) << "track " << track << " skill " << skill;
            }
            bestBelow = best;
        }
    }
}

// Blue nose-first into the edge of the square the vehicles are kept in, green
// nose-first into a tree: both get themselves out and finish.
TEST(ComputerDrivers, NoseFirstIntoTheEdgeOrATreeTheyGetFreeAndFinish) {
    const Outcome out = raceOfComputers(1, 1, 2, [](World& world) {
        placeVehicleAtRest(world.vehicles[0], world.ground, 86.5f, -20.0f, -90.0f); // facing +x, the edge half a unit ahead
        // The tree of the growth map nearest the start, the vehicle's nose a unit short of it.
        int tree = 0;
        for (int cell = 33; cell < 32 * 32; ++cell) {
            const auto distance = [](int c) { return std::hypot(c % 32 * 6.25f - 100, c / 32 * 6.25f - 100); };
            tree = world.ground.growth[cell] == 192 && (tree == 0 || distance(cell) < distance(tree)) ? cell : tree;
        }
        placeVehicleAtRest(world.vehicles[2], world.ground, tree % 32 * 6.25f - 100, tree / 32 * 6.25f - 100 + 2.2f,
                           0.0f); // facing -z
    });
    for (int32_t v : {0, 2}) {
        EXPECT_TRUE(out.world->race.entries[v].finished) << v;
    }
}

// Held where it is (its wheels spinning against something), the driver waits
// three seconds of game time for the gate to come nearer, then backs off with
// the wheels turned for a second and a half, and drives on.
TEST(ComputerDrivers, ThreeSecondsWithoutGettingNearerItBacksOffTurning) {
    const auto world = std::make_unique<World>();
    ASSERT_TRUE(setUpScriptedWorld(*world, MUDLARK_RUN_DIR));
    Vehicle vehicle{};
    vehicle.layout.wheelZ[0] = -1.2f;
    vehicle.layout.wheelZ[1] = 1.2f;
    placeVehicleAtRest(vehicle, world->ground, 0, 20, 180); // facing away from the first gate
    vehicle.speed = 10;
    RaceEntry entry{};
    ComputerDriver driver{};
    std::string seen; // F forward, R backing off with the wheels turned, run by run
    int firstBack = 0, backing = 0;
    for (int step = 1; step <= 60 * 6; ++step) {
        const VehicleControls c = driveComputer(vehicle, 0, world->course, entry, driver, 2);
        const char now = c.reverse && (c.left || c.right) ? 'R' : c.reverse ? 'r' : 'F';
        seen += seen.empty() || seen.back() != now ? std::string(1, now) : "";
        firstBack = now == 'R' && firstBack == 0 ? step : firstBack;
        backing += now == 'R' ? 1 : 0;
    }
    EXPECT_EQ(seen, "FRF");
    EXPECT_NEAR(firstBack, 3 * 60, 2);
    EXPECT_NEAR(backing, 1.6 * 60, 2);
}

} // namespace
