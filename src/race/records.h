// records.h -- the best lap and the best race on each track at each length, as
// the player's records file keeps them: reading, the text to write, and a
// finished race's times set against them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/text_scanner.h"

struct RaceRecord {
    int32_t track;   // 1..99
    int32_t laps;    // 1..20
    double bestLap;  // seconds
    double bestRace; // seconds
};

constexpr int32_t maxRaceRecords = 512;

struct RaceRecords {
    RaceRecord entries[maxRaceRecords];
    int32_t count;
};

// Reads a records file: one record a line, "track laps best-lap best-race"
// (seconds), comments from '#'. False with the first fault found, and no records.
bool readRaceRecords(std::FILE* file, RaceRecords& records, LineFault& fault);

// The records file's whole text.
std::string formatRaceRecords(const RaceRecords& records);

// The record of this track and length; null when there is none yet.
const RaceRecord* findRaceRecord(const RaceRecords& records, int32_t track, int32_t laps);

// Which records a race broke.
struct RecordsBroken {
    bool lap;
    bool race;
};

// A finisher's best lap and race time set against the records of its track and
// length; whatever it beats (or sets, where there was none) is written in.
RecordsBroken offerRaceTimes(RaceRecords& records, int32_t track, int32_t laps, double bestLap, double raceTime);
