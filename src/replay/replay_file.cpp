// replay_file.cpp -- writing and reading the replay file.
#include "replay/replay_file.h"
#include "common/game_limits.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/bytes.h"
#include "platform/platform.h"

namespace {

constexpr char magic[8] = {'M', 'L', 'R', 'E', 'P', 'L', 'A', 'Y'};

// A keyframe's words a vehicle: 25 before contact came, then the rescue's
// hold and whether its control was held too.
constexpr size_t snapshotWords = sizeof(VehicleSnapshot) / 4;
size_t vehicleWords(uint32_t version) { return version >= 3 ? snapshotWords : snapshotWords - 2; }
size_t keyframeBytes(uint32_t version) { return 4 + vehicleCount * 4 * vehicleWords(version); }

// Each step's controls: a byte a vehicle since version 3, two bytes for all
// three before (five bits each), and in version 1 the step's rate before them (4).
size_t stepBytes(uint32_t version) { return version == 1 ? 6 : version == 2 ? 2 : vehicleCount; }
size_t bodySize(uint32_t version, uint32_t frames, uint32_t keyframes) {
    return stepBytes(version) * frames + keyframeBytes(version) * keyframes;
}

void put16(std::vector<uint8_t>& out, uint32_t value) { putLittle(out, value, 2); }
void put32(std::vector<uint8_t>& out, uint32_t value) { putLittle(out, value, 4); }
uint32_t get16(const uint8_t* at) { return static_cast<uint32_t>(getLittle(at, 2)); }
uint32_t get32(const uint8_t* at) { return static_cast<uint32_t>(getLittle(at, 4)); }

uint32_t snapshotWord(const VehicleSnapshot& snapshot, size_t w) {
    uint32_t word;
    std::memcpy(&word, reinterpret_cast<const uint8_t*>(&snapshot) + 4 * w, 4);
    return word;
}

void setSnapshotWord(VehicleSnapshot& snapshot, size_t w, uint32_t word) {
    std::memcpy(reinterpret_cast<uint8_t*>(&snapshot) + 4 * w, &word, 4);
}

// The five bits a vehicle of the older versions' two bytes, as this game packs them.
uint32_t widenedControls(uint32_t old) {
    uint32_t packed = 0;
    for (uint32_t v = 0; v < vehicleCount; ++v) {
        packed |= (old >> (5 * v) & 31u) << (controlBits * v);
    }
    return packed;
}

// The file's CRC-32 with its own four bytes (12..15) counted as zero.
uint32_t checksum(const uint8_t* bytes, size_t size) { return crc32Of(bytes, size, 12); }

bool fail(std::string& why, const char* text) {
    why = text;
    return false;
}

} // namespace

std::string encodeReplay(const Replay& replay) {
    std::vector<uint8_t> body;
    body.reserve(bodySize(replayVersion, replay.frameCount, replay.keyframeCount));
    for (uint32_t f = 0; f < replay.frameCount; ++f) {
        for (uint32_t v = 0; v < vehicleCount; ++v) {
            body.push_back(static_cast<uint8_t>(replay.controls[f] >> (controlBits * v) & controlMask));
        }
    }
    for (uint32_t k = 0; k < replay.keyframeCount; ++k) {
        put32(body, replay.keyframes[k].frame);
        for (const VehicleSnapshot& snapshot : replay.keyframes[k].vehicles) {
            for (size_t w = 0; w < snapshotWords; ++w) {
                put32(body, snapshotWord(snapshot, w));
            }
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
    std::vector<uint8_t> file(replayHeaderSize + packedSize);
    if (compress2(file.data() + replayHeaderSize, &packedSize, body.data(), static_cast<uLong>(body.size()), 9) != Z_OK) {
        return std::string();
    }
    file.resize(replayHeaderSize + packedSize);

    std::vector<uint8_t> header(magic, magic + 8);
    put16(header, replayVersion);
    put16(header, replayHeaderSize);
    put32(header, 0); // the checksum, below
    put32(header, replay.frameCount);
    put32(header, replay.keyframeCount);
    put32(header, static_cast<uint32_t>(packedSize));
    put32(header, static_cast<uint32_t>(body.size()));
    header.push_back(static_cast<uint8_t>(replay.track));
    header.push_back(static_cast<uint8_t>(replay.laps));
    header.push_back(replay.computer);
    header.push_back(replay.full ? 1 : 0);
    header.insert(header.end(), replay.trackName, replay.trackName + sizeof replay.trackName);
    put16(header, replay.simulation);
    header.push_back(static_cast<uint8_t>(replay.winner)); // 255: nobody
    header.push_back(static_cast<uint8_t>((replay.vehicleContact ? replayVehicleContact : 0) |
                                          (replay.solidTrees ? replaySolidTrees : 0)));
    std::memcpy(file.data(), header.data(), replayHeaderSize);
    const uint32_t sum = checksum(file.data(), file.size());
    for (int i = 0; i < 4; ++i) {
        file[12 + i] = static_cast<uint8_t>(sum >> (8 * i) & 0xFF);
    }
    return std::string(file.begin(), file.end());
}

bool decodeReplay(const uint8_t* bytes, size_t size, Replay& replay, std::string& why) {
    if (size < 8 || std::memcmp(bytes, magic, 8) != 0) {
        return fail(why, size < 8 ? "it is cut short" : "it is no replay of this game");
    }
    if (size < replayHeaderSizeV1) {
        return fail(why, "it is cut short");
    }
    const uint32_t version = get16(bytes + 8);
    const size_t headerSize = version == 1 ? replayHeaderSizeV1 : replayHeaderSize;
    if (version < 1 || version > replayVersion || get16(bytes + 10) != headerSize) {
        char text[96];
        std::snprintf(text, sizeof text, "it is of version %u, and this game reads versions 1 to %u", version,
                      replayVersion);
        return fail(why, text);
    }
    if (size < headerSize) {
        return fail(why, "it is cut short");
    }
    const uint32_t frames = get32(bytes + 16), keyframes = get32(bytes + 20);
    const uint32_t packedSize = get32(bytes + 24), unpackedSize = get32(bytes + 28);
    if (size < headerSize + packedSize) {
        return fail(why, "it is cut short");
    }
    if (size > headerSize + packedSize) {
        return fail(why, "it goes on past its end");
    }
    if (checksum(bytes, size) != get32(bytes + 12)) {
        return fail(why, "its checksum does not match");
    }
    // Version 2 files were all driven without contact; since version 3 the file
    // says which simulation drove it, and this game plays its own and the one before.
    const uint32_t simulation = version == 1 ? contactlessVersion : get16(bytes + 64);
    if ((version == 2 && simulation != contactlessVersion) ||
        (version >= 3 && simulation != simulationVersion && simulation != contactlessVersion)) {
        char text[128];
        std::snprintf(text, sizeof text,
                      "it was driven by another version of the game's physics (%u; this game has %u), which it "
                      "cannot replay exactly",
                      simulation, simulationVersion);
        return fail(why, text);
    }
    const uint32_t rules = version >= 3 ? bytes[67] : 0;
    if ((rules & ~uint32_t{replayVehicleContact | replaySolidTrees}) != 0) {
        return fail(why, "its rules are out of range");
    }
    // Every count against the room there is and the length of what holds it,
    // before a byte is unpacked.
    if (frames == 0) {
        return fail(why, "it holds no race");
    }
    if (frames > maxReplayFrames || keyframes == 0 || keyframes > maxReplayKeyframes ||
        unpackedSize != bodySize(version, frames, keyframes)) {
        return fail(why, "it claims more frames than it holds");
    }
    const int32_t track = bytes[32], laps = bytes[33];
    if (track < minTrackNumber || track > maxTrackNumber || laps < minLaps || laps > maxLaps) {
        return fail(why, "its track or laps are out of range");
    }
    std::vector<uint8_t> body(unpackedSize);
    uLongf unpacked = unpackedSize;
    if (uncompress(body.data(), &unpacked, bytes + headerSize, packedSize) != Z_OK || unpacked != unpackedSize) {
        return fail(why, "it claims more frames than it holds");
    }
    const size_t keyBytes = keyframeBytes(version);
    const uint8_t* key = body.data() + stepBytes(version) * frames;
    for (uint32_t k = 0; k < keyframes; ++k) {
        const uint32_t at = get32(key + k * keyBytes);
        if ((k == 0 && at != 0) || (k > 0 && at < get32(key + (k - 1) * keyBytes)) || at > frames) {
            return fail(why, "its keyframes are out of order");
        }
    }
    // Every keyframe's vehicles are ones the step can take, before any is kept.
    const size_t words = vehicleWords(version);
    for (uint32_t k = 0; k < keyframes; ++k) {
        for (uint32_t v = 0; v < vehicleCount; ++v) {
            VehicleSnapshot snapshot{};
            for (size_t w = 0; w < words; ++w) {
                setSnapshotWord(snapshot, w, get32(key + k * keyBytes + 4 + 4 * (v * words + w)));
            }
            if (!validSnapshot(snapshot)) {
                return fail(why, "its keyframes are out of range");
            }
        }
    }
    // Version 4 adds the player's taking a vehicle from the computer.
    const uint32_t controlLimit = version >= 4 ? controlMask : playerControlMask;
    for (uint32_t f = 0; version >= 3 && f < frames; ++f) {
        for (uint32_t v = 0; v < vehicleCount; ++v) {
            if (body[vehicleCount * size_t{f} + v] > controlLimit) {
                return fail(why, "its controls are out of range");
            }
        }
    }

    replay.track = track;
    replay.laps = laps;
    replay.simulation = simulation;
    replay.vehicleContact = (rules & replayVehicleContact) != 0;
    replay.solidTrees = (rules & replaySolidTrees) != 0;
    replay.computer = static_cast<uint8_t>(bytes[34] & 7);
    replay.full = (bytes[35] & 1) != 0;
    replay.winner = static_cast<int8_t>(version != 1 && bytes[66] < vehicleCount ? bytes[66] : -1);
    std::memcpy(replay.trackName, bytes + 36, sizeof replay.trackName);
    replay.trackName[sizeof replay.trackName - 1] = '\0';
    replay.frameCount = frames;
    replay.keyframeCount = keyframes;
    // Version 1 keeps each step's rate before the controls; since version 2
    // every step lasts 1 / stepsPerSecond.
    const uint8_t* controls = body.data() + (version == 1 ? 4 * size_t{frames} : 0);
    for (uint32_t f = 0; f < frames; ++f) {
        replay.frameRates[f] = version == 1 ? get32(body.data() + 4 * size_t{f}) : stepsPerSecond;
        if (version >= 3) {
            const uint8_t* step = controls + vehicleCount * size_t{f};
            replay.controls[f] = step[0] | static_cast<uint32_t>(step[1]) << controlBits |
                                 static_cast<uint32_t>(step[2]) << (2 * controlBits);
        } else {
            replay.controls[f] = widenedControls(get16(controls + 2 * size_t{f}));
        }
    }
    for (uint32_t k = 0; k < keyframes; ++k) {
        const uint8_t* at = key + k * keyBytes;
        ReplayKeyframe& keyframe = replay.keyframes[k];
        keyframe.frame = get32(at);
        for (uint32_t v = 0; v < vehicleCount; ++v) {
            keyframe.vehicles[v] = VehicleSnapshot{};
            for (size_t w = 0; w < words; ++w) {
                setSnapshotWord(keyframe.vehicles[v], w, get32(at + 4 + 4 * (v * words + w)));
            }
        }
    }
    return true;
}

bool readReplayFile(const char* path, Replay& replay, std::string& why) {
    std::vector<uint8_t> bytes;
    const WholeFile got = readWholeFile(platformOpenFile(path, "rb"), maxReplayFileSize, bytes);
    if (got != WholeFile::read) {
        return fail(why, got == WholeFile::tooLarge ? "it is far larger than any replay" : "it cannot be read");
    }
    return decodeReplay(bytes.data(), bytes.size(), replay, why);
}

bool readReplaySummary(const char* path, ReplaySummary& summary) {
    std::FILE* file = platformOpenFile(path, "rb");
    uint8_t header[replayHeaderSize] = {};
    const size_t got = file != nullptr ? std::fread(header, 1, sizeof header, file) : 0;
    if (file != nullptr) {
        std::fclose(file);
    }
    const uint32_t version = got >= replayHeaderSizeV1 ? get16(header + 8) : 0;
    if (std::memcmp(header, magic, 8) != 0 || version < 1 || version > replayVersion ||
        (version >= 2 && got < replayHeaderSize) || header[32] < minTrackNumber || header[32] > maxTrackNumber ||
        header[33] < minLaps || header[33] > maxLaps) {
        return false;
    }
    summary.track = header[32];
    summary.laps = header[33];
    std::memcpy(summary.trackName, header + 36, sizeof summary.trackName);
    summary.trackName[sizeof summary.trackName - 1] = '\0';
    summary.winner = version >= 2 && header[66] < vehicleCount ? header[66] : -1;
    return true;
}
