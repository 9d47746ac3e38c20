// older_versions.cpp -- writing a replay of the first and second versions.
#include "sample_replay/older_versions.h"

#include <zlib.h>

#include <cstring>

#include "common/bytes.h"

std::string encodeOlderReplay(const Replay& replay, uint32_t version) {
    const size_t header = version == 1 ? 64 : 68;
    std::string body;
    for (uint32_t f = 0; version == 1 && f < replay.frameCount; ++f) {
        putLittle(body, replay.frameRates[f], 4);
    }
    for (uint32_t f = 0; f < replay.frameCount; ++f) {
        uint32_t five = 0; // five bits a vehicle, vehicle v from bit 5 v
        for (uint32_t v = 0; v < vehicleCount; ++v) {
            five |= (replay.controls[f] >> (controlBits * v) & 31u) << (5 * v);
        }
        putLittle(body, five, 2);
    }
    for (uint32_t k = 0; k < replay.keyframeCount; ++k) {
        putLittle(body, replay.keyframes[k].frame, 4);
        for (const VehicleSnapshot& snapshot : replay.keyframes[k].vehicles) {
            for (size_t word = 0; word + 2 < sizeof snapshot / 4; ++word) { // all but the rescue's two
                uint32_t value;
                std::memcpy(&value, reinterpret_cast<const char*>(&snapshot) + 4 * word, 4);
                putLittle(body, value, 4);
            }
        }
    }
    uLongf packed = compressBound(static_cast<uLong>(body.size()));
    std::string file(header + packed, '\0');
    compress2(reinterpret_cast<Bytef*>(&file[header]), &packed, reinterpret_cast<const Bytef*>(body.data()),
              static_cast<uLong>(body.size()), 9);
    file.resize(header + packed);
    std::string head = "MLREPLAY";
    putLittle(head, version, 2);
    putLittle(head, header, 2);
    putLittle(head, 0, 4); // the checksum, below
    for (const uint32_t word : {replay.frameCount, replay.keyframeCount, static_cast<uint32_t>(packed),
                                static_cast<uint32_t>(body.size())}) {
        putLittle(head, word, 4);
    }
    head += {static_cast<char>(replay.track), static_cast<char>(replay.laps), static_cast<char>(replay.computer),
             static_cast<char>(replay.full ? 1 : 0)};
    head.append(replay.trackName, sizeof replay.trackName);
    if (version == 2) {
        putLittle(head, 2, 2); // the simulation before contact
        head += {static_cast<char>(replay.winner), 0};
    }
    file.replace(0, header, head);
    std::string sum;
    putLittle(sum, crc32Of(reinterpret_cast<const uint8_t*>(file.data()), file.size()), 4);
    return file.replace(12, 4, sum);
}
