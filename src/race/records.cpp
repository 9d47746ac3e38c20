// records.cpp -- the records file's lines, and records falling.
#include "race/records.h"
#include "common/game_limits.h"

#include <cmath>
#include <cstring>

namespace {

// A time the file may hold: from a thousandth of a second (what it writes has
// three decimals) to 100 minutes. Whatever is read in this range is written
// back in it, so the file always reads back.
bool plausibleTime(float seconds) { return seconds >= 0.001f && seconds <= 6000.0f; }

// The simulation of a record line that names none: the last before contact.
constexpr int32_t unnamedSimulation = 2;
constexpr int32_t maxSimulation = 999;

// Where the record of this track, length and simulation is; -1 where there is none.
int32_t recordIndex(const RaceRecords& records, int32_t track, int32_t laps, int32_t simulation) {
    for (int32_t i = 0; i < records.count; ++i) {
        const RaceRecord& r = records.entries[i];
        if (r.track == track && r.laps == laps && r.simulation == simulation) {
            return i;
        }
    }
    return -1;
}

// A time as the file keeps it, to the thousandth: a stored 15.8 read as
// 15.8000002 is the same 15.800 again.
double thousandths(double seconds) { return std::round(seconds * 1000) / 1000; }

bool readRecordLines(TextScanner& scanner, RaceRecords& records, LineFault& fault) {
    while (!scanner.atEnd()) {
        const int32_t line = scanner.line();
        if (scanner.lineEndsHere('#')) {
            scanner.skipLine();
            continue;
        }
        int32_t track = 0, laps = 0;
        float lap = 0, race = 0;
        if (!scanner.readInt(track)) {
            // "clock N" before the first record: the game clock the times were set on.
            char word[16];
            int32_t clock = 0;
            if (scanner.readWord(word, sizeof word) && std::strcmp(word, "clock") == 0 && records.count == 0 &&
                records.clock == 1 && scanner.readInt(clock) && clock >= 1 && scanner.lineEndsHere('#')) {
                records.clock = clock;
                scanner.skipLine();
                continue;
            }
            return failAtLine(fault, line, "expected a track, a number of laps and two times");
        }
        if ( scanner.lineEndsHere('#') || !scanner.readInt(laps) ||
            scanner.lineEndsHere('#') || !scanner.readFloat(lap) || scanner.lineEndsHere('#') ||
            !scanner.readFloat(race)) {
            return failAtLine(fault, line, "expected a track, a number of laps and two times");
        }
        int32_t simulation = unnamedSimulation;
        if (!scanner.lineEndsHere('#') && !scanner.readInt(simulation)) {
            return failAtLine(fault, line, "expected the simulation's version after the race time");
        }
        if (!scanner.lineEndsHere('#')) {
            return failAtLine(fault, line, "unexpected words after the simulation's version");
        }
        scanner.skipLine();
        if (track < minTrackNumber || track > maxTrackNumber || laps < minLaps || laps > maxLaps || !plausibleTime(lap) ||
            !plausibleTime(race) || simulation < unnamedSimulation || simulation > maxSimulation) {
            return failAtLine(fault, line, "a number out of its range");
        }
        if (recordIndex(records, track, laps, simulation) >= 0) {
            return failAtLine(fault, line, "a second record of the same track, laps and simulation");
        }
        if (records.count == maxRaceRecords) {
            return failAtLine(fault, line, "more records than one file holds");
        }
        records.entries[records.count++] = RaceRecord{track, laps, lap, race, simulation};
    }
    return true;
}

} // namespace

bool readRaceRecords(std::FILE* file, RaceRecords& records, LineFault& fault) {
    records.count = 0;
    records.clock = 1; // a file without a clock line is of the first game clock
    fault = LineFault{};
    if (file == nullptr) {
        return failAtLine(fault, 0, "the file cannot be read");
    }
    TextScanner scanner(file);
    if (!readRecordLines(scanner, records, fault)) {
        records.count = 0;
        return false;
    }
    return true;
}

std::string formatRaceRecords(const RaceRecords& records) {
    std::string text = "# Mudlark's records: track, laps, best lap and best race in seconds, the simulation\n"
                       "# they were driven under (2: before contact)\nclock " +
                       std::to_string(recordsClock) + "\n";
    for (int32_t i = 0; i < records.count; ++i) {
        const RaceRecord& r = records.entries[i];
        char line[96];
        std::snprintf(line, sizeof line, "%d %d %.3f %.3f %d\n", r.track, r.laps, r.bestLap, r.bestRace, r.simulation);
        text += line;
    }
    return text;
}

const RaceRecord* findRaceRecord(const RaceRecords& records, int32_t track, int32_t laps, int32_t simulation) {
    const int32_t index = recordIndex(records, track, laps, simulation);
    return index >= 0 ? &records.entries[index] : nullptr;
}

bool offerLapTime(RaceRecords& records, int32_t track, int32_t simulation, double lapTime) {
    const double lap = thousandths(lapTime);
    bool broken = false;
    for (int32_t i = 0; i < records.count && plausibleTime(static_cast<float>(lap)); ++i) {
        RaceRecord& record = records.entries[i];
        if (record.track == track && record.simulation == simulation && lap < thousandths(record.bestLap)) {
            record.bestLap = lap;
            broken = true;
        }
    }
    return broken;
}

RecordsBroken offerRaceTimes(RaceRecords& records, int32_t track, int32_t laps, int32_t simulation, double bestLap,
                             double raceTime) {
    // Times as the file keeps them, to the thousandth: a race that only ties
    // the stored record does not break it.
    const double lap = thousandths(bestLap), race = thousandths(raceTime);
    if (!plausibleTime(static_cast<float>(lap)) || !plausibleTime(static_cast<float>(race)) || track < minTrackNumber ||
        track > maxTrackNumber || laps < minLaps || laps > maxLaps || simulation < unnamedSimulation ||
        simulation > maxSimulation) {
        return RecordsBroken{false, false};
    }
    const int32_t index = recordIndex(records, track, laps, simulation);
    if (index < 0) {
        if (records.count == maxRaceRecords) {
            return RecordsBroken{false, false};
        }
        records.entries[records.count++] = RaceRecord{track, laps, lap, race, simulation};
        return RecordsBroken{true, true};
    }
    RaceRecord& record = records.entries[index];
    const RecordsBroken broken{lap < thousandths(record.bestLap), race < thousandths(record.bestRace)};
    record.bestLap = broken.lap ? lap : record.bestLap;
    record.bestRace = broken.race ? race : record.bestRace;
    return broken;
}
