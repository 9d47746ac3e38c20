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

// Where the record of this track and length is; -1 where there is none.
int32_t recordIndex(const RaceRecords& records, int32_t track, int32_t laps) {
    for (int32_t i = 0; i < records.count; ++i) {
        if (records.entries[i].track == track && records.entries[i].laps == laps) {
            return i;
        }
    }
    return -1;
}

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
        if (!scanner.lineEndsHere('#')) {
            return failAtLine(fault, line, "unexpected words after the race time");
        }
        scanner.skipLine();
        if (track < minTrackNumber || track > maxTrackNumber || laps < minLaps || laps > maxLaps || !plausibleTime(lap) ||
            !plausibleTime(race)) {
            return failAtLine(fault, line, "a number out of its range");
        }
        if (recordIndex(records, track, laps) >= 0) {
            return failAtLine(fault, line, "a second record of the same track and laps");
        }
        if (records.count == maxRaceRecords) {
            return failAtLine(fault, line, "more records than one file holds");
        }
        records.entries[records.count++] = RaceRecord{track, laps, lap, race};
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
    std::string text = "# Mudlark's records: track, laps, best lap and best race in seconds\nclock " +
                       std::to_string(recordsClock) + "\n";
    for (int32_t i = 0; i < records.count; ++i) {
        const RaceRecord& r = records.entries[i];
        char line[96];
        std::snprintf(line, sizeof line, "%d %d %.3f %.3f\n", r.track, r.laps, r.bestLap, r.bestRace);
        text += line;
    }
    return text;
}

const RaceRecord* findRaceRecord(const RaceRecords& records, int32_t track, int32_t laps) {
    const int32_t index = recordIndex(records, track, laps);
    return index >= 0 ? &records.entries[index] : nullptr;
}

RecordsBroken offerRaceTimes(RaceRecords& records, int32_t track, int32_t laps, double bestLap, double raceTime) {
    // Times as the file keeps them, to the thousandth: a race that only ties
    // the stored record does not break it.
    const double lap = std::round(bestLap * 1000) / 1000, race = std::round(raceTime * 1000) / 1000;
    if (!plausibleTime(static_cast<float>(lap)) || !plausibleTime(static_cast<float>(race)) || track < minTrackNumber ||
        track > maxTrackNumber || laps < minLaps || laps > maxLaps) {
        return RecordsBroken{false, false};
    }
    const int32_t index = recordIndex(records, track, laps);
    if (index < 0) {
        if (records.count == maxRaceRecords) {
            return RecordsBroken{false, false};
        }
        records.entries[records.count++] = RaceRecord{track, laps, lap, race};
        return RecordsBroken{true, true};
    }
    RaceRecord& record = records.entries[index];
    // The stored times to the thousandth too: one read as 15.8 is held as
    // 15.8000002, and the same 15.800 again is no new record.
    const auto thousandths = [](double seconds) { return std::round(seconds * 1000) / 1000; };
    const RecordsBroken broken{lap < thousandths(record.bestLap), race < thousandths(record.bestRace)};
    record.bestLap = broken.lap ? lap : record.bestLap;
    record.bestRace = broken.race ? race : record.bestRace;
    return broken;
}
