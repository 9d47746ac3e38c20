// race.cpp -- the race's rules: grid, countdown, gates in order, laps, places, clock.
#include "race/race.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/game_math.h"
#include "vehicle/step_rate.h"

namespace {

constexpr float gridBehind = 10.0f; // from the first gate's line to the grid's centres

double distanceToNextGate(const Course& course, const RaceEntry& entry) {
    const Gate& gate = course.gates[nextGate(entry, course.count)];
    return gameHypot(static_cast<double>(entry.centre[0]) - gate.x, static_cast<double>(entry.centre[1]) - gate.z);
}

// Places by gates passed, then by who passed the last of them first, then by
// the distance left to the next gate.
void sortPlaces(Race& race, const Course& course) {
    int32_t order[vehicleCount];
    for (int32_t i = 0; i < vehicleCount; ++i) {
        order[i] = i;
    }
    std::stable_sort(order, order + vehicleCount, [&](int32_t a, int32_t b) {
        const RaceEntry &ea = race.entries[a], &eb = race.entries[b];
        if (ea.gatesPassed != eb.gatesPassed) {
            return ea.gatesPassed > eb.gatesPassed;
        }
        if (ea.lastCrossing != eb.lastCrossing) {
            return ea.lastCrossing < eb.lastCrossing;
        }
        return distanceToNextGate(course, ea) < distanceToNextGate(course, eb);
    });
    std::copy(order, order + vehicleCount, race.places);
}

// A gate passed at this race time: the lap it completes, the finish.
void passGate(Race& race, RaceEntry& entry, int32_t gateCount, double time) {
    ++entry.gatesPassed;
    entry.lastCrossing = time;
    if (entry.gatesPassed == 1 && race.endless) {
        entry.lapStart = time; // a time trial's laps run from line to line, the first too
    }
    if (entry.gatesPassed == 1 || (entry.gatesPassed - 1) % gateCount != 0) {
        return; // the start line, or a gate within the lap
    }
    entry.lastLap = time - entry.lapStart;
    entry.bestLap = entry.bestLap < 0 ? entry.lastLap : std::min(entry.bestLap, entry.lastLap);
    entry.lapStart = time;
    if (!race.endless && completedLaps(entry, gateCount) >= race.laps) {
        entry.finished = true;
        entry.finishTime = time;
        race.firstFinish = race.firstFinish < 0 ? time : race.firstFinish;
    }
}

// The gates one vehicle's centre passed on its way from where it was to where
// it is, each timed at its own point of the step.
void passGates(Race& race, const Course& course, RaceEntry& entry, const float (&now)[2], double stepSeconds) {
    double done = 0; // the part of the step already looked at
    for (int32_t guard = 0; guard <= course.count && !entry.finished; ++guard) {
        const float x0 = static_cast<float>(entry.centre[0] + done * (static_cast<double>(now[0]) - entry.centre[0]));
        const float z0 = static_cast<float>(entry.centre[1] + done * (static_cast<double>(now[1]) - entry.centre[1]));
        double fraction = 0;
        if (!crossesGate(course.gates[nextGate(entry, course.count)], x0, z0, now[0], now[1], fraction)) {
            break;
        }
        done += (1 - done) * fraction;
        passGate(race, entry, course.count, race.clock + done * stepSeconds);
    }
}

} // namespace

void startGridCentre(const Course& course, int32_t vehicle, float (&centre)[2]) {
    const Gate& first = course.gates[0];
    float forward[2], right[2];
    gateDirections(first, forward, right);
    const float across = gridLanes[std::clamp(vehicle, 0, vehicleCount - 1)];
    centre[0] = first.x - gridBehind * forward[0] + across * right[0];
    centre[1] = first.z - gridBehind * forward[1] + across * right[1];
}

void startRace(Race& race, const Course& course, int32_t laps, Vehicle (&field)[vehicleCount],
               const TerrainMap& ground) {
    if (course.count < minGates) {
        return;
    }
    race = Race{};
    race.phase = RacePhase::countdown;
    race.laps = std::clamp(laps, minLaps, maxLaps);
    race.firstFinish = -1;
    for (int32_t i = 0; i < vehicleCount; ++i) {
        float centre[2];
        startGridCentre(course, i, centre);
        placeVehicleAtRest(field[i], ground, centre[0], centre[1], course.gates[0].heading);
        RaceEntry& entry = race.entries[i];
        entry.lastLap = entry.bestLap = -1;
        vehicleCentre(field[i], entry.centre);
    }
    sortPlaces(race, course);
}

void startTrial(Race& race, const Course& course, int32_t vehicle, Vehicle (&field)[vehicleCount],
                const TerrainMap& ground) {
    if (course.count < minGates) {
        return;
    }
    startRace(race, course, maxLaps, field, ground);
    race.endless = true;
    for (int32_t i = 0; i < vehicleCount; ++i) {
        race.offCourse[i] = i != vehicle;
    }
    // The trial's vehicle on the grid's middle place, whichever it is.
    float centre[2];
    startGridCentre(course, 0, centre);
    placeVehicleAtRest(field[vehicle], ground, centre[0], centre[1], course.gates[0].heading);
    vehicleCentre(field[vehicle], race.entries[vehicle].centre);
    sortPlaces(race, course);
}

bool raceControlsLive(const Race& race) { return race.phase != RacePhase::countdown; }

void updateRace(Race& race, const Course& course, const Vehicle (&field)[vehicleCount], uint32_t frameRate) {
    const double stepSeconds = 1.0 / stepRate(frameRate);
    if (race.phase == RacePhase::countdown) {
        race.countdown += stepSeconds;
        for (int32_t i = 0; i < vehicleCount; ++i) { // settling on the grid passes no gate
            vehicleCentre(field[i], race.entries[i].centre);
        }
        race.phase = race.countdown >= countdownSeconds ? RacePhase::racing : race.phase;
        return;
    }
    if (race.phase != RacePhase::racing || course.count < minGates) {
        return;
    }
    race.countdown += stepSeconds;
    for (int32_t i = 0; i < vehicleCount; ++i) {
        float now[2];
        vehicleCentre(field[i], now);
        if (!race.offCourse[i]) {
            passGates(race, course, race.entries[i], now, stepSeconds);
        }
        race.entries[i].centre[0] = now[0];
        race.entries[i].centre[1] = now[1];
    }
    race.clock += stepSeconds;
    sortPlaces(race, course);
    bool allHome = !race.endless;
    for (int32_t i = 0; i < vehicleCount; ++i) {
        allHome = allHome && (race.entries[i].finished || race.offCourse[i]);
    }
    if (allHome || (race.firstFinish >= 0 && race.clock - race.firstFinish >= finishWaitSeconds)) {
        race.phase = RacePhase::results;
    }
}

void endRace(Race& race) { race.phase = RacePhase::off; }

int32_t completedLaps(const RaceEntry& entry, int32_t gateCount) {
    return entry.gatesPassed > 1 && gateCount > 0 ? (entry.gatesPassed - 1) / gateCount : 0;
}

int32_t currentLap(const Race& race, const RaceEntry& entry, int32_t gateCount) {
    return std::min(completedLaps(entry, gateCount) + 1, race.laps);
}

int32_t nextGate(const RaceEntry& entry, int32_t gateCount) {
    return gateCount > 0 ? entry.gatesPassed % gateCount : 0;
}

int32_t placeOf(const Race& race, int32_t vehicle) {
    for (int32_t place = 0; place < vehicleCount; ++place) {
        if (race.places[place] == vehicle) {
            return place;
        }
    }
    return 0;
}

const char* countdownCaption(const Race& race) {
    if (race.phase == RacePhase::countdown) {
        static const char* const captions[] = {"3", "2", "1"};
        return captions[std::clamp(static_cast<int>(race.countdown), 0, 2)];
    }
    return race.phase == RacePhase::racing && race.countdown < countdownSeconds + 1 ? "GO" : nullptr;
}

void formatRaceTime(double seconds, char (&text)[16]) {
    if (!(seconds >= 0) || seconds >= 6000) {
        std::snprintf(text, sizeof text, "%s", seconds >= 6000 ? "99:59.99" : "-:--.--");
        return;
    }
    const int hundredths = static_cast<int>(seconds * 100 + 1e-6); // 12.34 is not 12.3399...
    std::snprintf(text, sizeof text, "%d:%02d.%02d", hundredths / 6000 % 100, hundredths / 100 % 60, hundredths % 100);
}

void formatResultLine(const Race& race, int32_t place, bool raceRecord, bool lapRecord, char (&text)[96]) {
    const int32_t v = race.places[std::clamp(place, 0, vehicleCount - 1)];
    const RaceEntry& entry = race.entries[v];
    char total[16], best[16];
    formatRaceTime(entry.finishTime, total);
    formatRaceTime(entry.bestLap, best);
    const int used = std::snprintf(text, sizeof text, "%s %-5s%s ", placeName(place), vehicleNames[v],
                                   race.computer[v] ? " cpu" : "    ");
    const size_t at = static_cast<size_t>(std::clamp(used, 0, static_cast<int>(sizeof text) - 1));
    if (entry.finished) {
        std::snprintf(text + at, sizeof text - at, "%s%s  best lap %s%s", total, raceRecord ? "*" : "", best,
                      lapRecord ? "*" : "");
    } else {
        std::snprintf(text + at, sizeof text - at, "not finished");
    }
}

void formatContactCounts(const RaceEntry& entry, char (&text)[48]) {
    std::snprintf(text, sizeof text, "vehicles %d  trees %d  rescues %d", static_cast<int>(entry.vehicleContacts),
                  static_cast<int>(entry.treeContacts), static_cast<int>(entry.rescues));
}

const char* placeName(int32_t place) {
    static const char* const names[] = {"1st", "2nd", "3rd"};
    return names[std::clamp(place, 0, 2)];
}
