// driver_test.cpp -- computer drivers on the generated tracks, in-process: all
// three finish at every skill and frame rate without stalling, get free when
// put nose-first against the edge of the world or a tree, and race exactly
// the same way twice.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "race/driver.h"
#include "scene/scene.h"
#include "support/scripted_drive.h"
#include "support/temp_dir.h"
#include "terrain/terrain.h"

namespace {

// A generated track's course, as the game reads it.
Course generatedCourse(int32_t track = 1) {
    EXPECT_TRUE(setUpScriptedWorld(MUDLARK_RUN_DIR, track));
    return raceCourse;
}

struct Outcome {
    Race race;
    double longestStall; // game seconds a vehicle went without getting half a unit nearer its next gate
};

// A race of three computer drivers on a generated track; place(vehicle) may
// move vehicles during the countdown.
Outcome raceOfComputers(int32_t track, int32_t laps, int32_t skill, uint32_t rate,
                        void (*place)(Vehicle (&)[vehicleCount]) = nullptr) {
    const Course course = generatedCourse(track);
    Outcome out{};
    ComputerDriver drivers[vehicleCount] = {};
    startRace(out.race, course, laps, vehicles);
    if (place != nullptr) {
        place(vehicles);
    }
    double nearest[vehicleCount], since[vehicleCount] = {};
    int32_t passed[vehicleCount] = {};
    std::fill(nearest, nearest + vehicleCount, 1e9);
    for (uint32_t frame = 0; frame < 400 * rate && out.race.phase != RacePhase::results; ++frame) {
        VehicleControls controls[vehicleCount] = {};
        for (int32_t v = 0; v < vehicleCount && raceControlsLive(out.race); ++v) {
            controls[v] = driveComputer(vehicles[v], course, out.race.entries[v], drivers[v], skill, rate);
        }
        advanceSimulation(rate, controls);
        updateRace(out.race, course, vehicles, rate);
        for (int32_t v = 0; v < vehicleCount && out.race.phase == RacePhase::racing; ++v) {
            const RaceEntry& e = out.race.entries[v];
            const Gate& gate = course.gates[nextGate(e, course.count)];
            const double distance = std::hypot(e.centre[0] - gate.x, e.centre[1] - gate.z);
            const bool progress = e.gatesPassed != passed[v] || distance < nearest[v] - 0.5 || e.finished;
            nearest[v] = progress ? distance : nearest[v];
            passed[v] = e.gatesPassed;
            since[v] = progress ? 0 : since[v] + 1.0 / rate;
            out.longestStall = std::max(out.longestStall, since[v]);
        }
    }
    return out;
}

TEST(ComputerDrivers, AllThreeFinishThreeLapsOnEveryTrackAtEverySkillAndRate) {
    for (int32_t track = 1; track <= 3; ++track) {
        for (int32_t skill = minSkill; skill <= maxSkill; ++skill) {
            for (const uint32_t rate : {30u, 60u, 120u}) {
                const Outcome out = raceOfComputers(track, 3, skill, rate);
                std::printf("track %d skill %d at %3u frames a second: best laps", track, skill, rate);
                for (const RaceEntry& e : out.race.entries) {
                    EXPECT_TRUE(e.finished) << "track " << track << " skill " << skill << " rate " << rate;
                    std::printf(" %6.2f", e.bestLap);
                }
                std::printf(", races %.2f, longest stall %.1f s\n", out.race.entries[0].finishTime, out.longestStall);
                EXPECT_LT(out.longestStall, 5.0) << "track " << track << " skill " << skill << " rate " << rate;
            }
        }
    }
}

// Blue nose-first into the edge of the square the vehicles are kept in, green
// nose-first into a tree: both get themselves out and finish.
TEST(ComputerDrivers, NoseFirstIntoTheEdgeOrATreeTheyGetFreeAndFinish) {
    const Outcome out = raceOfComputers(1, 1, 2, 60, [](Vehicle (&field)[vehicleCount]) {
        placeVehicleAtRest(field[0], 86.5f, -20.0f, -90.0f); // facing +x, the edge half a unit ahead
        // The tree of the growth map nearest the start, the vehicle's nose a unit short of it.
        int tree = 0;
        for (int cell = 33; cell < 32 * 32; ++cell) {
            const auto distance = [](int c) { return std::hypot(c % 32 * 6.25f - 100, c / 32 * 6.25f - 100); };
            tree = terrain.growth[cell] == 192 && (tree == 0 || distance(cell) < distance(tree)) ? cell : tree;
        }
        placeVehicleAtRest(field[2], tree % 32 * 6.25f - 100, tree / 32 * 6.25f - 100 + 2.2f, 0.0f); // facing -z
    });
    for (int32_t v : {0, 2}) {
        EXPECT_TRUE(out.race.entries[v].finished) << v;
    }
}

// Held where it is (its wheels spinning against something), the driver waits
// three seconds of game time for the gate to come nearer, then backs off with
// the wheels turned for a second and a half, and drives on.
TEST(ComputerDrivers, ThreeSecondsWithoutGettingNearerItBacksOffTurning) {
    const Course course = generatedCourse();
    Vehicle vehicle{};
    vehicle.model.wheelZ[0] = -1.2f;
    vehicle.model.wheelZ[1] = 1.2f;
    placeVehicleAtRest(vehicle, 0, 20, 180); // facing away from the first gate
    vehicle.speed = 10;
    RaceEntry entry{};
    ComputerDriver driver{};
    std::string seen; // F forward, R backing off with the wheels turned, run by run
    int firstBack = 0, backing = 0;
    for (int step = 1; step <= 60 * 6; ++step) {
        const VehicleControls c = driveComputer(vehicle, course, entry, driver, 2, 60);
        const char now = c.reverse && (c.left || c.right) ? 'R' : c.reverse ? 'r' : 'F';
        seen += seen.empty() || seen.back() != now ? std::string(1, now) : "";
        firstBack = now == 'R' && firstBack == 0 ? step : firstBack;
        backing += now == 'R' ? 1 : 0;
    }
    EXPECT_EQ(seen, "FRF");
    EXPECT_NEAR(firstBack, 3 * 60, 2);
    EXPECT_NEAR(backing, 1.6 * 60, 2);
}

TEST(ComputerDrivers, TheSameRaceTwiceEndsBitForBitTheSame) {
    const Outcome first = raceOfComputers(3, 1, 3, 60);
    const std::vector<Vehicle> ending(vehicles, vehicles + vehicleCount);
    const Outcome second = raceOfComputers(3, 1, 3, 60);
    EXPECT_EQ(std::memcmp(ending.data(), vehicles, sizeof vehicles), 0);
    for (int32_t v = 0; v < vehicleCount; ++v) {
        const RaceEntry &a = first.race.entries[v], &b = second.race.entries[v];
        EXPECT_EQ(std::vector<double>({a.lastCrossing, a.bestLap, a.finishTime, double(a.gatesPassed)}),
                  std::vector<double>({b.lastCrossing, b.bestLap, b.finishTime, double(b.gatesPassed)}));
    }
}

} // namespace
