// replay_file.h -- a replay as a file of the game's own: a header (magic
// "MLREPLAY", version, CRC-32 of the whole, counts, track, laps, the track's
// name, the simulation's version and its rules) and a zlib-compressed body of
// the steps' controls and the keyframes. Version 2 files were driven without
// contact; version 1 files, whose steps followed the frame rate, also hold each
// step's rate. docs/replay-format.md gives the byte layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "replay/replay.h"

constexpr uint16_t replayVersion = 4;
// The header's rules byte (since version 3).
constexpr uint8_t replayVehicleContact = 1;
constexpr uint8_t replaySolidTrees = 2;
constexpr size_t replayHeaderSize = 68;
constexpr size_t replayHeaderSizeV1 = 64; // the first version's header, without the simulation's version
// The largest file a replay can be: no count in a file is believed beyond it.
constexpr size_t maxReplayFileSize = 32u << 20;

// The whole file for a replay; "" when zlib could not compress it (then there
// is no file to keep, rather than a damaged one).
std::string encodeReplay(const Replay& replay);

// Reads a replay from a file's bytes into replay. False, with why saying what
// is wrong in words for the player ("it is cut short", "its checksum does not
// match"...), for anything but a whole, sound file of version 3 recorded by
// this simulation or the one before, of version 2 (driven without contact) or
// of version 1 (its steps at their recorded rates); counts
// are checked against the file's length before anything is unpacked, and
// nothing of a refused file is kept.
bool decodeReplay(const uint8_t* bytes, size_t size, Replay& replay, std::string& why);

// The same from a file on disk (a file too large to be a replay is not read).
bool readReplayFile(const char* path, Replay& replay, std::string& why);

// What a list of replays says of one, from its header alone.
struct ReplaySummary {
    int32_t track;
    int32_t laps;
    char trackName[28];
    int32_t winner; // the vehicle that won; -1: nobody finished, or not known
};

// The summary of a replay file; false for a file that is no replay this game
// reads (its header's magic, version or counts are wrong).
bool readReplaySummary(const char* path, ReplaySummary& summary);
