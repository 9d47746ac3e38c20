// replay_file.h -- a replay as a file of the game's own: a 64-byte header
// (magic "MLREPLAY", version, CRC-32 of the whole, counts, track, laps, the
// track's name) and a zlib-compressed body of the frame rates, the controls and
// the keyframes. docs/replay-format.md gives the byte layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "replay/replay.h"

constexpr uint16_t replayVersion = 1;
constexpr size_t replayHeaderSize = 64;
// The largest file a replay can be: no count in a file is believed beyond it.
constexpr size_t maxReplayFileSize = 32u << 20;

// The whole file for a replay.
std::string encodeReplay(const Replay& replay);

// Reads a replay from a file's bytes into replay. False, with why saying what
// is wrong in words for the player ("it is cut short", "its checksum does not
// match"...), for anything but a whole, sound file of this version; counts are
// checked against the file's length before anything is unpacked, and nothing of
// a refused file is kept.
bool decodeReplay(const uint8_t* bytes, size_t size, Replay& replay, std::string& why);

// The same from a file on disk (a file too large to be a replay is not read).
bool readReplayFile(const char* path, Replay& replay, std::string& why);
