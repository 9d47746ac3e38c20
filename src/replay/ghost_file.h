// ghost_file.h -- a ghost as a file of the game's own (ghosts/track-NN.mlg in
// the player's data folder): a 40-byte header (magic "MLGHOST", version, CRC-32,
// the simulation's version, track, gates, the track's hash, steps, lap time,
// its rules), the lap's starting vehicle, each step's controls and each
// gate's step and time. docs/ghost-format.md gives the byte layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "replay/ghost.h"

constexpr uint16_t ghostVersion = 2; // 1: before contact (a shorter start, five bits a step)
constexpr size_t ghostHeaderSize = 40;
// The longest a ghost file can be: the header, the start, a lap's steps, its gates.
constexpr size_t maxGhostFileSize = ghostHeaderSize + sizeof(VehicleSnapshot) + maxGhostSteps + 12 * size_t{maxGates};

std::string encodeGhost(const GhostLap& lap);

// A ghost from a file's bytes. False with why ("it is cut short", "its
// checksum does not match"...) for anything but a whole, sound file of this
// version or the one before; every count is checked against the file's length
// first, and nothing of a refused file is kept. A sound file of a simulation
// this game cannot drive reads with old set (the caller sets it aside).
bool decodeGhost(const uint8_t* bytes, size_t size, GhostLap& lap, bool& old, std::string& why);
