// race_test.cpp -- the race's rules on vehicle records moved by hand: gates in
// the course's direction only and in order, laps, places and their ties, the
// clock timing each gate within its step; the course file's faults.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "race/course.h"
#include "race/race.h"
#include "race/records.h"
#include "support/vehicle_fixture.h"

namespace {

// Gates every 20 units along -z from z = 0, ten units wide.
Course straightCourse(int gates = 4) {
    Course course{};
    for (int k = 0; k < gates; ++k) {
        course.gates[course.count++] = Gate{0, -20.0f * k, 0, 10};
    }
    return course;
}

class RaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (Vehicle& v : vehicles) {
            freshVehicle(v);
        }
    }
    // Starts a race and runs its countdown out at this rate: the clock at 0.
    void start(const Course& c, int laps = 2, uint32_t rate = 60) {
        course = c;
        startRace(race, course, laps, vehicles, ground);
        while (race.phase == RacePhase::countdown) {
            updateRace(race, course, vehicles, rate);
        }
    }
    // Moves a vehicle's centre to (x, z), facing -z.
    void put(int vehicle, float x, float z) {
        vehicles[vehicle].heading = 0;
        vehicles[vehicle].position[0] = x;
        vehicles[vehicle].position[2] = z + 1.2f;
    }
    Course course{};
    Race race{};
    Vehicle vehicles[vehicleCount];
    static inline TerrainMap ground{}; // flat at height 0
};

TEST(Gates, CrossedInTheCoursesDirectionBetweenThePostsOnly) {
    const Gate gate{10, 20, 90, 8}; // crossed toward -x; its posts at z 16 and 24
    const struct {
        float x0, z0, x1, z1;
        bool crosses;
        double fraction;
    } moves[] = {
        {12, 20, 8, 20, true, 0.5},   // straight through the middle
        {11, 23.9f, 10, 23.9f, true, 1.0}, // ending on the line counts
        {10, 20, 8, 20, false, 0},    // starting on it does not: it was counted before
        {8, 20, 12, 20, false, 0},    // backwards
        {12, 25, 8, 25, false, 0},    // beside the posts
        {14, 28, 6, 12, true, 0.5},   // slanting through
        {12, 30, 12, 10, false, 0},   // along it, never over it
    };
    for (const auto& m : moves) {
        double fraction = -1;
        EXPECT_EQ(crossesGate(gate, m.x0, m.z0, m.x1, m.z1, fraction), m.crosses) << m.x0 << "," << m.z0;
        if (m.crosses) {
            EXPECT_NEAR(fraction, m.fraction, 1e-6) << m.x0 << "," << m.z0;
        }
    }
}

// Ten units behind a gate crossed toward -x: blue in the middle, red on its
// left (+z), green on its right, all facing it, at rest; "3", "2", "1", "GO"
// a second each, the controls dead until "GO", the clock from there.
TEST_F(RaceTest, TheGridFacesTheFirstGateAndNothingCountsBeforeGo) {
    Course turned = straightCourse();
    turned.gates[0] = Gate{30, -10, 90, 12};
    startRace(race, turned, 3, vehicles, ground);
    EXPECT_FALSE(raceControlsLive(race));
    for (int i = 0; i < 3; ++i) {
        float centre[2];
        vehicleCentre(vehicles[i], centre);
        EXPECT_EQ(std::pair(vehicles[i].heading, vehicles[i].speed), std::pair(90.0f, 0.0f));
        EXPECT_NEAR(centre[0], 40.0f, 1e-4f);
        EXPECT_NEAR(centre[1], std::vector<float>({-10, -7, -13})[i], 1e-4f);
    }
    std::string captions;
    for (int step = 0; step < 4 * 16; ++step) { // sixteenths of a second add up exactly
        const char* caption = countdownCaption(race);
        captions += step % 16 == 0 && caption != nullptr ? caption : "";
        updateRace(race, turned, vehicles, 16);
    }
    EXPECT_EQ(captions, "321GO");
    EXPECT_TRUE(raceControlsLive(race) && countdownCaption(race) == nullptr);
    EXPECT_NEAR(race.clock, 1.0, 1e-9);
}

TEST_F(RaceTest, GatesCountInOrderTwoInOneStepAndLapsEndInAFinish) {
    start(straightCourse(), 2);
    put(0, 0, 5);
    updateRace(race, course, vehicles, 60);
    put(0, 0, -25); // the start line and gate 1 in one step, each timed where it was crossed
    updateRace(race, course, vehicles, 60);
    EXPECT_EQ(race.entries[0].gatesPassed, 2);
    EXPECT_NEAR(race.entries[0].lastCrossing, 1 / 60.0 + 25 / 30.0 / 60, 1e-6);
    put(0, 0, -65); // gate 2 skipped over the side: gate 3 is not the next, nothing counts
    vehicles[0].position[0] = 50;
    updateRace(race, course, vehicles, 60);
    put(0, 0, -65);
    updateRace(race, course, vehicles, 60);
    EXPECT_EQ(race.entries[0].gatesPassed, 2);
    EXPECT_EQ(nextGate(race.entries[0], course.count), 2);
    // Round the course by hand, every gate in turn and the line again, twice:
    // lap 2 from the line on, and the second time over the line the finish.
    std::string laps;
    for (int gate : {2, 3, 0, 1, 2, 3, 0}) {
        put(0, 0, -20.0f * gate + 1);
        updateRace(race, course, vehicles, 60);
        put(0, 0, -20.0f * gate - 1);
        updateRace(race, course, vehicles, 60);
        laps += std::to_string(currentLap(race, race.entries[0], course.count));
    }
    EXPECT_EQ(laps, "1122222");
    const RaceEntry& blue = race.entries[0];
    EXPECT_TRUE(blue.finished);
    EXPECT_EQ(completedLaps(blue, course.count), 2);
    EXPECT_GT(blue.bestLap, 0.0);
    EXPECT_LE(blue.bestLap, blue.lastLap);
    EXPECT_EQ(std::pair(placeOf(race, 0), race.phase), std::pair(0, RacePhase::racing)); // the others are still out
    const double finish = blue.finishTime;
    for (int step = 0; step < 60 * 60; ++step) { // driving on counts nothing more; a minute ends it
        put(0, 0, step % 2 ? 1.0f : -1.0f);
        updateRace(race, course, vehicles, 60);
    }
    EXPECT_EQ(blue.finishTime, finish);
    EXPECT_EQ(race.phase, RacePhase::results);
}

TEST_F(RaceTest, PlacesByGatesThenWhoCrossedFirstThenDistance) {
    start(straightCourse());
    put(0, 0, 3);
    put(1, -2, 2);
    put(2, 2, 4);
    updateRace(race, course, vehicles, 60);
    EXPECT_EQ(std::vector<int>(race.places, race.places + 3), (std::vector<int>{1, 0, 2})); // nearest the line
    put(2, 2, -1); // green over the line first, then blue; red stays behind it
    updateRace(race, course, vehicles, 60);
    put(0, 0, -15);
    updateRace(race, course, vehicles, 60);
    EXPECT_EQ(std::vector<int>(race.places, race.places + 3), (std::vector<int>{2, 0, 1}));
    // Blue now nearer gate 1 than green: still second, for green crossed first.
    put(2, 2, -2);
    updateRace(race, course, vehicles, 60);
    EXPECT_EQ(placeOf(race, 2), 0);
    EXPECT_EQ(placeOf(race, 0), 1);
    EXPECT_STREQ(placeName(placeOf(race, 1)), "3rd");
}

// At a constant speed along the row of gates, each gate is timed where the
// centre crossed it within the step, not at the step's end.
TEST_F(RaceTest, GateTimesFallWithinTheStep) {
    start(straightCourse(), 5);
    const double speed = 23.7; // units a second, from the grid ten behind the line
    std::vector<double> times;
    for (int step = 1; step <= 4 * 60; ++step) {
        put(0, 0, static_cast<float>(10 - speed * step / 60));
        const int passed = race.entries[0].gatesPassed;
        updateRace(race, course, vehicles, 60);
        if (race.entries[0].gatesPassed > passed) {
            times.push_back(race.entries[0].lastCrossing);
        }
    }
    EXPECT_NEAR(race.clock, 4.0, 1e-9); // the clock is the sum of the steps' lengths
    ASSERT_EQ(times.size(), 4u);
    for (size_t gate = 0; gate < 4; ++gate) {
        EXPECT_NEAR(times[gate], (10 + 20.0 * gate) / 23.7, 1e-3) << gate;
    }
}

TEST(RaceTime, MinutesSecondsAndHundredthsCut) {
    const std::pair<double, const char*> cases[] = {
        {0, "0:00.00"}, {12.34, "0:12.34"}, {59.999, "0:59.99"}, {61.5, "1:01.50"}, {-1, "-:--.--"}, {1e9, "99:59.99"}};
    for (const auto& [seconds, shown] : cases) {
        char text[16];
        formatRaceTime(seconds, text);
        EXPECT_STREQ(text, shown) << seconds;
    }
}

// Records the file holds read back exactly as written; a line out of its range,
// a second line for one track, length and simulation, or extra words make the
// file damaged. A line without its simulation was driven before contact, and
// a race of this simulation is never set against it.
TEST(RecordsFile, WhatIsWrittenReadsBackAndEveryFaultHasItsLine) {
    const auto read = [](const std::string& text, RaceRecords& records) {
        std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
        LineFault fault{};
        const bool ok = readRaceRecords(file, records, fault);
        std::fclose(file);
        return ok ? std::string("ok") : std::to_string(fault.line) + ": " + fault.text;
    };
    static RaceRecords records, again;
    ASSERT_EQ(read("# comment\n1 3 0.001 6000 # the edges of the range\n99 20 41.23 130.5\n", records), "ok");
    ASSERT_EQ(read(formatRaceRecords(records), again), "ok");
    EXPECT_EQ(formatRaceRecords(again), formatRaceRecords(records));
    const RecordsBroken broken = offerRaceTimes(again, 99, 20, 2, 41.2, 131);
    EXPECT_EQ(std::pair(broken.lap, broken.race), std::pair(true, false));
    EXPECT_EQ(findRaceRecord(again, 99, 20, 2)->bestLap, 41.2);
    // A slower race with contact is a record of its own, beside the older one.
    const RecordsBroken first = offerRaceTimes(again, 99, 20, 3, 50, 150);
    EXPECT_EQ(std::pair(first.lap, first.race), std::pair(true, true));
    EXPECT_FALSE(offerLapTime(again, 99, 3, 55));
    EXPECT_TRUE(offerLapTime(again, 99, 3, 45));
    EXPECT_EQ(findRaceRecord(again, 99, 20, 2)->bestLap, 41.2);
    EXPECT_EQ(findRaceRecord(again, 99, 20, 3)->bestLap, 45);
    // A time read back from the file ties the same time again: no record. The
    // file says its clock; one without it is of the first clock.
    ASSERT_EQ(read(formatRaceRecords(again), records), "ok");
    EXPECT_EQ(records.count, 3);
    const RecordsBroken tie = offerRaceTimes(records, 99, 20, 2, 41.2, 130.5);
    EXPECT_EQ(std::tuple(tie.lap, tie.race, records.clock), std::tuple(false, false, recordsClock));
    ASSERT_EQ(read("# old\n1 1 15.8 40\n", records), "ok");
    EXPECT_EQ(records.clock, 1);
    for (const auto& [text, fault] : std::vector<std::pair<std::string, std::string>>{
             {"1 1 .0001 44.5\n", "1: a number out of its range"}, // would be written as 0.000
             {"1 1 40 44.5\n2 2 1 2\n1 1 3 4 2\n", "3: a second record of the same track, laps and simulation"},
             {"1 1 40 44.5 fast\n", "1: expected the simulation's version after the race time"},
             {"1 1 40 44.5 3 4\n", "1: unexpected words after the simulation's version"},
             {"1 1 40 44.5 1\n", "1: a number out of its range"},
             {"1 1 40\n", "1: expected a track, a number of laps and two times"},
             {"1 1 40 44.5\nclock 2\n", "2: expected a track, a number of laps and two times"}}) {
        EXPECT_EQ(read(text, records), fault) << text;
        EXPECT_EQ(records.count, 0);
    }
}

std::pair<bool, std::string> readText(const std::string& text, Course& course) {
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    LineFault fault{};
    const bool read = readCourse(file, course, fault);
    std::fclose(file);
    return {read, read ? "" : std::to_string(fault.line) + ": " + fault.text};
}

TEST(CourseFile, GatesNamesCommentsAndEveryFaultWithItsLine) {
    Course course{};
    const auto [read, why] = readText("# name: The  Meadow\n# a comment\n\n 1 2 90 12 # the start\n"
                                      "3.5 -4 0 10\n-80 80 -45.5 6\n",
                                      course);
    ASSERT_TRUE(read) << why;
    EXPECT_EQ(course.count, 3);
    EXPECT_STREQ(course.name, "The Meadow");
    EXPECT_EQ(course.gates[2].heading, -45.5f);
    const std::string three = "0 0 0 10\n10 10 0 10\n";
    const std::pair<std::string, std::string> damaged[] = {
        {three + "20 20 0\n", "3: expected four numbers: centre x, centre z, heading, width"},
        {three + "20 nan 0 10\n", "3: expected four numbers: centre x, centre z, heading, width"},
        {three + "20 20 0 10 11\n", "3: unexpected words after the width"},
        {three + "20 20 0 10 wide\n", "3: unexpected words after the width"},
        {three + "20 20 0 0\n", "3: the width must be more than 0 and at most 60"},
        {three + "20 20 1e39 10\n", "3: a number is too large"},
        {three + "90 0 0 10\n", "3: the gate's centre lies outside the square the vehicles drive in (-87.5 to 87.5)"},
        {three + "0 87 90 40\n", "3: a post stands off the map (-100 to 100)"},
        {"# name: x\n" + three, "0: a course needs at least 3 gates"},
        {"", "0: a course needs at least 3 gates"},
    };
    for (const auto& [text, fault] : damaged) {
        EXPECT_EQ(readText(text, course), std::make_pair(false, fault)) << text;
        EXPECT_EQ(course.count, 0);
    }
    std::string many;
    for (int i = 0; i <= maxGates; ++i) {
        many += "0 0 0 10\n";
    }
    EXPECT_EQ(readText(many, course).second, "33: more gates than a course may have (32)");
}

} // namespace
