// ghost_file.cpp -- writing and reading a ghost.
#include "replay/ghost_file.h"
#include "common/game_limits.h"

#include <cstdio>
#include <cstring>

#include <vector>

#include "common/bytes.h"

namespace {

constexpr char magic[8] = {'M', 'L', 'G', 'H', 'O', 'S', 'T', 0};
constexpr size_t gateBytes = 12;
constexpr uint8_t solidTreesBit = 2; // the rules byte, as a replay's

// The starting vehicle's words: 25 in version 1, with the rescue's hold and
// held control since.
size_t startBytes(uint32_t version) { return version >= 2 ? sizeof(VehicleSnapshot) : sizeof(VehicleSnapshot) - 8; }
// The largest controls byte: five bits in version 1, six since.
uint32_t controlsLimit(uint32_t version) { return version >= 2 ? playerControlMask : 31u; }

uint64_t bitsOf(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double doubleOf(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The file's CRC-32 with its own four bytes (12..15) counted as zero.
uint32_t checksum(const uint8_t* bytes, size_t size) { return crc32Of(bytes, size, 12); }

bool fail(std::string& why, const char* text) {
    why = text;
    return false;
}

} // namespace

std::string encodeGhost(const GhostLap& lap) {
    std::string file(magic, magic + 8);
    putLittle(file, ghostVersion, 2);
    putLittle(file, ghostHeaderSize, 2);
    putLittle(file, 0, 4); // the checksum, below
    putLittle(file, lap.simulation, 2);
    putLittle(file, static_cast<uint32_t>(lap.track), 1);
    putLittle(file, static_cast<uint32_t>(lap.gateCount), 1);
    putLittle(file, lap.trackHash, 4);
    putLittle(file, lap.stepCount, 4);
    putLittle(file, bitsOf(lap.lapTime), 8);
    putLittle(file, static_cast<uint32_t>(lap.vehicle), 1);
    putLittle(file, lap.solidTrees ? solidTreesBit : 0, 1);
    putLittle(file, 0, 2);
    for (size_t word = 0; word < sizeof lap.start / 4; ++word) {
        uint32_t value;
        std::memcpy(&value, reinterpret_cast<const uint8_t*>(&lap.start) + 4 * word, 4);
        putLittle(file, value, 4);
    }
    file.append(reinterpret_cast<const char*>(lap.controls), lap.stepCount);
    for (int32_t g = 0; g < lap.gateCount; ++g) {
        putLittle(file, lap.gateSteps[g], 4);
        putLittle(file, bitsOf(lap.gateTimes[g]), 8);
    }
    const uint32_t sum = checksum(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    std::string word;
    putLittle(word, sum, 4);
    return file.replace(12, 4, word);
}

bool decodeGhost(const uint8_t* bytes, size_t size, GhostLap& lap, bool& old, std::string& why) {
    old = false;
    if (size < 8 || std::memcmp(bytes, magic, 8) != 0) {
        return fail(why, size < 8 ? "it is cut short" : "it is no ghost of this game");
    }
    if (size < ghostHeaderSize) {
        return fail(why, "it is cut short");
    }
    const uint32_t version = static_cast<uint32_t>(getLittle(bytes + 8, 2));
    if (version < 1 || version > ghostVersion || getLittle(bytes + 10, 2) != ghostHeaderSize) {
        return fail(why, "it is of another version");
    }
    const size_t start = startBytes(version);
    const uint32_t steps = static_cast<uint32_t>(getLittle(bytes + 24, 4));
    const int32_t gates = bytes[19];
    if (steps > maxGhostSteps || gates < minGates || gates > maxGates) {
        return fail(why, "it claims more than it holds");
    }
    const size_t whole = ghostHeaderSize + start + steps + gateBytes * static_cast<size_t>(gates);
    if (size != whole) {
        return fail(why, size < whole ? "it is cut short" : "it goes on past its end");
    }
    if (checksum(bytes, size) != getLittle(bytes + 12, 4)) {
        return fail(why, "its checksum does not match");
    }
    const int32_t track = bytes[18], vehicle = bytes[36];
    const uint32_t rules = version >= 2 ? bytes[37] : 0;
    const double lapTime = doubleOf(getLittle(bytes + 28, 8));
    if (track < minTrackNumber || track > maxTrackNumber || vehicle >= vehicleCount || !(lapTime > 0 && lapTime < 6000) ||
        (rules & ~uint32_t{solidTreesBit}) != 0 || (bytes[38] | bytes[39]) != 0) {
        return fail(why, "its track, vehicle or time is out of range");
    }
    const uint8_t* controls = bytes + ghostHeaderSize + start;
    for (uint32_t s = 0; s < steps; ++s) {
        if (controls[s] > controlsLimit(version)) {
            return fail(why, "its controls are out of range");
        }
    }
    const uint8_t* gate = controls + steps;
    for (int32_t g = 0; g < gates; ++g) {
        const uint32_t at = static_cast<uint32_t>(getLittle(gate + gateBytes * g, 4));
        if (at > steps || (g > 0 && at < getLittle(gate + gateBytes * (g - 1), 4)) || (g == gates - 1 && at != steps)) {
            return fail(why, "its gates are out of order");
        }
    }
    VehicleSnapshot first{};
    for (size_t word = 0; word < start / 4; ++word) {
        const uint32_t value = static_cast<uint32_t>(getLittle(bytes + ghostHeaderSize + 4 * word, 4));
        std::memcpy(reinterpret_cast<uint8_t*>(&first) + 4 * word, &value, 4);
    }
    if (!validSnapshot(first)) {
        return fail(why, "its start is out of range");
    }
    lap.track = track;
    lap.gateCount = gates;
    lap.trackHash = static_cast<uint32_t>(getLittle(bytes + 20, 4));
    lap.simulation = static_cast<uint32_t>(getLittle(bytes + 16, 2));
    lap.solidTrees = (rules & solidTreesBit) != 0;
    lap.stepCount = steps;
    lap.lapTime = lapTime;
    lap.vehicle = vehicle;
    lap.start = first;
    std::memcpy(lap.controls, controls, steps);
    for (int32_t g = 0; g < gates; ++g) {
        lap.gateSteps[g] = static_cast<uint32_t>(getLittle(gate + gateBytes * g, 4));
        lap.gateTimes[g] = doubleOf(getLittle(gate + gateBytes * g + 4, 8));
    }
    // This game drives its own simulation's laps and those of the one before
    // (without contact); a lap of any other is set aside.
    old = lap.simulation != simulationVersion && lap.simulation != contactlessVersion;
    return true;
}
