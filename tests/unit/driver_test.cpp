// driver_test.cpp -- computer drivers on the generated tracks, in-process: all
// three finish at every skill and frame rate without stalling, get free when
// put nose-first against the edge of the world or a tree, and race exactly
// the same way twice.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "race/driver.h"
#include "scene/scene.h"
#include "support/scripted_drive.h"
#include "support/temp_dir.h"

namespace {

// Every course the data set has.
std::vector<Course> generatedCourses() {
    std::vector<Course> courses;
    for (int track = 1; track <= 9; ++track) {
        const std::string path = std::string(MUDLARK_RUN_DIR) + "/Tracks/Gates_0" + std::to_string(track) + ".txt";
        std::FILE* file = std::fopen(path.c_str(), "r");
        if (file == nullptr) {
            continue;
        }
        Course course{};
        LineFault fault{};
        EXPECT_TRUE(readCourse(file, course, fault)) << path << ": " << fault.line << " " << fault.text;
        std::fclose(file);
        courses.push_back(course);
    }
    return courses;
}

struct Outcome {
    Race race;
    double longestStall; // game seconds a vehicle went without getting half a unit nearer its next gate
};

// A race of three computer drivers on the generated terrain; place(vehicle)
// may move vehicles during the countdown.
Outcome raceOfComputers(const Course& course, int32_t laps, int32_t skill, uint32_t rate,
                        void (*place)(Vehicle (&)[vehicleCount]) = nullptr) {
    EXPECT_TRUE(setUpScriptedWorld(MUDLARK_RUN_DIR));
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

TEST(ComputerDrivers, AllThreeFinishThreeLapsOnEveryCourseAtEverySkillAndRate) {
    const std::vector<Course> courses = generatedCourses();
    ASSERT_FALSE(courses.empty());
    for (size_t track = 0; track < courses.size(); ++track) {
        for (int32_t skill = minSkill; skill <= maxSkill; ++skill) {
            for (const uint32_t rate : {30u, 60u, 120u}) {
                const Outcome out = raceOfComputers(courses[track], 3, skill, rate);
                std::printf("track %zu skill %d at %3u frames a second: best laps", track + 1, skill, rate);
                for (const RaceEntry& e : out.race.entries) {
                    EXPECT_TRUE(e.finished) << "track " << track + 1 << " skill " << skill << " rate " << rate;
                    std::printf(" %6.2f", e.bestLap);
                }
                std::printf(", races %.2f, longest stall %.1f s\n", out.race.entries[0].finishTime, out.longestStall);
                EXPECT_LT(out.longestStall, 5.0) << "track " << track + 1 << " skill " << skill << " rate " << rate;
            }
        }
    }
}

// Blue nose-first into the edge of the square the vehicles are kept in, green
// nose-first into a tree: both get themselves out and finish.
TEST(ComputerDrivers, NoseFirstIntoTheEdgeOrATreeTheyGetFreeAndFinish) {
    const Outcome out = raceOfComputers(generatedCourses()[0], 1, 2, 60, [](Vehicle (&field)[vehicleCount]) {
        placeVehicleAtRest(field[0], 86.5f, -20.0f, -90.0f); // facing +x, the edge half a unit ahead
        // The tree of the growth map nearest the start, the vehicle's nose a unit short of it.
        const std::string growth = readFileBytes(std::string(MUDLARK_RUN_DIR) + "/Tracks/Growth_01.raw");
        float tree[2] = {1e9f, 1e9f};
        for (int i = 1; i < 32; ++i) {
            for (int j = 1; j < 32; ++j) {
                const float x = j * 6.25f - 100, z = i * 6.25f - 100;
                if (static_cast<uint8_t>(growth[i * 32 + j]) == 192 && std::hypot(x, z) < std::hypot(tree[0], tree[1])) {
                    tree[0] = x;
                    tree[1] = z;
                }
            }
        }
        placeVehicleAtRest(field[2], tree[0], tree[1] + 2.2f, 0.0f); // facing -z, toward it
    });
    for (int32_t v : {0, 2}) {
        EXPECT_TRUE(out.race.entries[v].finished) << v;
    }
}

// Held where it is (its wheels spinning against something), the driver waits
// three seconds of game time for the gate to come nearer, then backs off with
// the wheels turned for a second and a half, and drives on.
TEST(ComputerDrivers, ThreeSecondsWithoutGettingNearerItBacksOffTurning) {
    const Course course = generatedCourses()[0];
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
    const Course course = generatedCourses()[0];
    const Outcome first = raceOfComputers(course, 1, 3, 60);
    const std::vector<Vehicle> ending(vehicles, vehicles + vehicleCount);
    const Outcome second = raceOfComputers(course, 1, 3, 60);
    EXPECT_EQ(std::memcmp(ending.data(), vehicles, sizeof vehicles), 0);
    for (int32_t v = 0; v < vehicleCount; ++v) {
        const RaceEntry &a = first.race.entries[v], &b = second.race.entries[v];
        EXPECT_EQ(std::vector<double>({a.lastCrossing, a.bestLap, a.finishTime, double(a.gatesPassed)}),
                  std::vector<double>({b.lastCrossing, b.bestLap, b.finishTime, double(b.gatesPassed)}));
    }
}

} // namespace
