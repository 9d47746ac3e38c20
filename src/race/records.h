// records.h -- the best lap and the best race on each track at each length, as
// the player's records file keeps them: reading, the text to write, and a
// finished race's times set against them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/text_scanner.h"

struct RaceRecord {
    int32_t track;      // 1..99
    int32_t laps;       // 1..20
    double bestLap;     // seconds
    double bestRace;    // seconds
    int32_t simulation; // the version it was driven under: a lap without contact is no match for one with it
};

constexpr int32_t maxRaceRecords = 512;

// The game clock records are set on now: 2 since every step lasts 1 / 60 s.
// Times of clock 1 followed the frame rate and are not set against these.
constexpr int32_t recordsClock = 2;

struct RaceRecords {
    RaceRecord entries[maxRaceRecords];
    int32_t count;
    int32_t clock; // the clock the file's times were set on: its "clock N" line, else 1
};

// Reads a records file: a line "clock N" first (the game clock the times were
// set on; 1 without it), then one record a line, "track laps best-lap
// best-race simulation" (seconds; a line without the simulation's version is
// of version 2, before contact), comments from '#'. False with the first
// fault found, and no records.
bool readRaceRecords(std::FILE* file, RaceRecords& records, LineFault& fault);

// The records file's whole text, on this game's clock.
std::string formatRaceRecords(const RaceRecords& records);

// The record of this track and length driven under this simulation; null
// when there is none yet.
const RaceRecord* findRaceRecord(const RaceRecords& records, int32_t track, int32_t laps, int32_t simulation);

// Which records a race broke.
struct RecordsBroken {
    bool lap;
    bool race;
};

// A finisher's best lap and race time set against the records of its track,
// length and simulation; whatever it beats (or sets, where there was none) is
// written in.
RecordsBroken offerRaceTimes(RaceRecords& records, int32_t track, int32_t laps, int32_t simulation, double bestLap,
                             double raceTime);

// A time trial's lap against the best laps of every length of its track and
// simulation: true when it beat one (which then holds it).
bool offerLapTime(RaceRecords& records, int32_t track, int32_t simulation, double lapTime);
