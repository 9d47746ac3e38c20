// race.h -- a race of the three vehicles round a course: the start grid, the
// countdown, gates passed in order, laps, places and the race clock. Game time
// throughout: every step adds its own length, the clock that moves the vehicles.
#pragma once

#include <cstdint>

#include "common/game_limits.h"
#include "race/course.h"
#include "vehicle/vehicle.h"

enum class RacePhase : int32_t {
    off,       // the sandbox: nothing of the race runs or shows
    countdown, // "3", "2", "1": the vehicles wait on the grid, their controls dead
    racing,    // from "GO": gates, laps and the clock
    results,   // everyone home (or long enough after the first): the panel
};

constexpr double countdownSeconds = 3.0;   // then "GO", shown for one more second
constexpr double finishWaitSeconds = 60.0; // after the first finisher, the race ends anyway

// One vehicle's race.
struct RaceEntry {
    int32_t gatesPassed;  // in order; the first is the start line, so a lap is
                          // complete at every further count of the course's gates
    double lastCrossing;  // race time of the last gate passed (0 before any)
    double lapStart;      // race time the current lap began
    double lastLap;       // seconds; negative: none yet
    double bestLap;       // seconds; negative: none yet
    bool finished;        // its time stands; it drives on freely
    double finishTime;
    float centre[2];      // where its centre was at the end of the last step
    int32_t vehicleContacts; // crashes into another vehicle while it raced (one however long it lasted)
    int32_t treeContacts;    // the same with trees
    int32_t rescues;         // times it was set back on the course
};

struct Race {
    RacePhase phase;
    int32_t laps;
    double countdown;    // game time since the start was called
    double clock;        // game time since "GO"
    double firstFinish;  // race time of the first finisher; negative: none yet
    RaceEntry entries[vehicleCount];
    int32_t places[vehicleCount]; // vehicle numbers, first place first
    bool computer[vehicleCount];  // driven by the computer (its player has not touched it)
    bool endless;                 // a time trial: laps without end, nobody finishes
    bool offCourse[vehicleCount]; // not in this race (a time trial's other two): no gates, no place
};

// Starts a race of laps laps (kept within 1..20) round the course: every vehicle
// at rest on the start grid behind the first gate, facing it, and the countdown
// running. A course without gates starts nothing.
void startRace(Race& race, const Course& course, int32_t laps, Vehicle (&field)[vehicleCount],
               const TerrainMap& ground);

// Where each vehicle stands across the start grid, to the right of its middle:
// blue in the middle, red on its left, green on its right.
constexpr float gridLanes[vehicleCount] = {0.0f, -3.0f, 3.0f};

// The centre of a vehicle's place on the start grid: blue in the middle, red to
// its left, green to its right, ten units behind the first gate.
void startGridCentre(const Course& course, int32_t vehicle, float (&centre)[2]);

// A time trial for one vehicle: at rest on the grid's middle place, the
// countdown running, then laps without end; the other two are off the course.
void startTrial(Race& race, const Course& course, int32_t vehicle, Vehicle (&field)[vehicleCount],
                const TerrainMap& ground);

// Whether the vehicles' controls count: not while they wait for "GO".
bool raceControlsLive(const Race& race);

// One step on, after the vehicles moved by a step 1 / frameRate long: the countdown, gates
// passed (timed where the centre crossed them within the step), laps, places,
// and the end of the race.
void updateRace(Race& race, const Course& course, const Vehicle (&field)[vehicleCount], uint32_t frameRate);

// Back to the sandbox.
void endRace(Race& race);

// Laps a vehicle has completed, and the lap it is on (1..laps) as the views count.
int32_t completedLaps(const RaceEntry& entry, int32_t gateCount);
int32_t currentLap(const Race& race, const RaceEntry& entry, int32_t gateCount);

// The gate a vehicle is to pass next.
int32_t nextGate(const RaceEntry& entry, int32_t gateCount);

// The place (0 = first) of a vehicle.
int32_t placeOf(const Race& race, int32_t vehicle);

// The big caption of the start: "3", "2", "1", "GO", or null when none shows.
const char* countdownCaption(const Race& race);

// A race time as the views show it, "m:ss.hh" (hundredths cut, not rounded);
// "-:--.--" for a negative time.
void formatRaceTime(double seconds, char (&text)[16]);

// A vehicle's contacts and its rescues in the race, as the results give them
// beside its times: "vehicles 2  trees 1  rescues 0".
void formatContactCounts(const RaceEntry& entry, char (&text)[48]);

// "1st", "2nd", "3rd".
const char* placeName(int32_t place);

// A line of the results: "2nd red   cpu 2:10.22  best lap 0:41.10", a star
// after a time that set a record, or "3rd green     not finished".
void formatResultLine(const Race& race, int32_t place, bool raceRecord, bool lapRecord, char (&text)[96]);
