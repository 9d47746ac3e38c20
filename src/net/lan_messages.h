// lan_messages.h -- what the machines of a LAN race say to each other besides
// the steps' controls: "who hosts here?", a join and its answer, the host's
// race (track, laps, seats, the track's hashes) in the lobby and at each start,
// a machine leaving, and the host's world when two worlds disagreed. Every
// message is checked to its last byte and against the game's limits before
// any of it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "net/lockstep.h"
#include "race/driver.h"
#include "race/race.h"
#include "replay/replay.h"

enum class LanKind : uint8_t {
    none,      // not a message of this game, or a damaged one
    query,     // a joiner's broadcast: who hosts a race here?
    hostHere,  // a host's answer: its track and how many machines are in
    join,      // a machine asks for a seat, with its versions
    welcome,   // the host's race and the seats, and how many races it started
    refuse,    // the host's no, and why
    leave,     // a machine goes (a joiner that cannot race the host's track)
    snapshot,  // the host's world at a step, to set every other world to
    lockstep,  // a step's controls: see lockstep.h
    lead,      // a server's leading machine: start a race, or take the next track
    fetch,     // a joiner without the race's track asks the host for a part of its files
    fileData,  // the host's answer: one chunk of one of them
};

// The files of a track as they are passed on, in this order.
enum TrackFile : uint8_t { heightsFile, growthFile, gatesFile, groundFile, overlayFile, trackFileCount };
constexpr size_t chunkBytes = 1024;          // a file's bytes in one message
constexpr uint32_t maxFetchChunks = 16;      // chunks one fetch asks for
constexpr uint32_t maxPassedFile = 8u << 20; // the largest file passed on: a picture of 1600 x 1600 or so

// What a server's leading machine asks for.
enum class LeadAction : uint8_t { start = 1, nextTrack = 2, track = 3 };
constexpr uint8_t noLeader = 0xFF; // a welcome from a host that leads its own races

constexpr size_t lanMessageCapacity = 1400; // within one datagram on any network
constexpr size_t versionCapacity = 16;
constexpr size_t raceCodeLength = 4; // a race code: four letters, A to Z

// A race code as a player writes it ("abcd" is "ABCD"): false for anything
// but four letters.
bool readRaceCode(const std::string& text, char (&code)[raceCodeLength]);

// Whether a race code is given (all zero: none).
inline bool raceCodeGiven(const char (&code)[raceCodeLength]) {
    return code[0] != 0 || code[1] != 0 || code[2] != 0 || code[3] != 0;
}

// The files of a track, hashed each on its own (FNV-1a of its bytes; 0: missing).
// What the race's world is made of, hashed (FNV-1a) on each machine: the
// track's files, and the wheel layout its model gives the vehicles.
struct TrackHashes {
    uint32_t heights, growth, gates, pictures, wheels;
};

// The host's races are counted in a byte, 1 to 255 and round again to 1: 0
// is the lobby, before the first.
uint8_t nextRound(uint8_t round);

// Whether race a was started after race b: within half the count of each
// other, so the count may have gone round between them.
bool roundAfter(uint8_t a, uint8_t b);

// A race as the host sets it up.
struct LanRace {
    int32_t track;                 // 1..99
    int32_t laps;                  // minLaps..maxLaps
    int32_t skill;                 // the computer's, 1..3
    uint32_t delay;                // input delay in steps, 1..30
    int32_t seats[vehicleCount];   // the machine driving each vehicle; noMachine: the computer
    bool idleComputer;             // the computer drives a vehicle until its player touches it
    bool vehicleContact;           // the host's rules, for every machine
    bool solidTrees;
    TrackHashes hashes;
};

// The host's world at a step: what every replay keyframe keeps of the
// vehicles, the race, the computer drivers' memory and the contacts going on.
struct LanSnapshot {
    uint32_t step;
    VehicleSnapshot vehicles[vehicleCount];
    Race race;
    ComputerDriver drivers[vehicleCount];
    int32_t pairApart[vehiclePairs];
    int32_t trunk[vehicleCount];
    int32_t trunkApart[vehicleCount];
};

struct LanMessage {
    LanKind kind;
    char version[versionCapacity];   // query, join, hostHere: the sender's game version
    uint16_t simulation;             // the same: its simulation's version
    uint8_t seatsWanted;             // join: 1, or 2 for two players at one keyboard
    char code[raceCodeLength];       // join: the race code asked for, four capitals; all zero: none
    uint8_t machines;                // hostHere: machines in the race so far
    uint8_t machine;                 // welcome: the machine the joiner is; leave: the one leaving
    uint8_t round;                   // welcome: races the host has started (0: the lobby)
    uint8_t leader;                  // welcome: the machine a server follows (noLeader: the host leads)
    LeadAction action;               // lead: what is asked for
    uint8_t value;                   // lead: the laps of the race asked for, the track to move on from, or the one to race on;
                                     // fetch, fileData: the track
    uint8_t file;                    // fetch, fileData: which of its files (TrackFile)
    uint32_t chunk;                  // fetch: the first chunk asked for; fileData: the one carried
    uint8_t chunks;                  // fetch: how many, 1..maxFetchChunks
    uint32_t fileSize;               // fileData: the whole file's bytes
    uint8_t targa;                   // fileData: a picture as TGA (1), not BMP (0)
    uint16_t length;                 // fileData: the bytes carried, chunkBytes but in the file's last chunk
    uint8_t data[chunkBytes];
    LanRace race;                    // welcome, hostHere
    char text[128];                  // refuse: why, in the host's words
    LanSnapshot snapshot;            // snapshot
    LockstepPacket packet;           // lockstep
};

// The bytes of a message (the kind's own fields), at most lanMessageCapacity.
std::string encodeLanMessage(const LanMessage& message);

// A message from bytes: its kind, or LanKind::none for anything but a whole,
// sound message (then `message` is untouched).
LanKind decodeLanMessage(const uint8_t* bytes, size_t size, LanMessage& message);

// The host's world as a snapshot, and a world set to one (everything that
// follows from the vehicles worked out again from the ground).
void takeLanSnapshot(const World& world, uint32_t step, LanSnapshot& snapshot);
void applyLanSnapshot(World& world, const LanSnapshot& snapshot);

// Every field of the world a later step reads, hashed (FNV-1a): the vehicles
// whole, the race, the computer drivers' memory, the contacts going on, the
// rules, the steps taken, the knocks and the smoke. The ground and the course,
// which no step changes, are the track check's. The machines of a LAN race
// compare what they hold alike: not the smoke (a snapshot has no room for the
// puffs, and they never move a vehicle), nor the steps and knocks each world
// has counted since it was set up.
enum class WorldParts { all, shared };
uint32_t worldHash(const World& world, WorldParts parts = WorldParts::all);
