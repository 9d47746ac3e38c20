// first_version.cpp -- writing a replay of the first version.
#include "sample_replay/first_version.h"

#include <zlib.h>

#include <cstring>

#include "common/little_endian.h"

std::string encodeFirstVersionReplay(const Replay& replay) {
    std::string body;
    for (uint32_t f = 0; f < replay.frameCount; ++f) {
        putLittle(body, replay.frameRates[f], 4);
    }
    for (uint32_t f = 0; f < replay.frameCount; ++f) {
        putLittle(body, replay.controls[f], 2);
    }
    for (uint32_t k = 0; k < replay.keyframeCount; ++k) {
        putLittle(body, replay.keyframes[k].frame, 4);
        for (const VehicleSnapshot& snapshot : replay.keyframes[k].vehicles) {
            for (size_t word = 0; word < sizeof snapshot / 4; ++word) { // little-endian words, as the file keeps them
                uint32_t value;
                std::memcpy(&value, reinterpret_cast<const char*>(&snapshot) + 4 * word, 4);
                putLittle(body, value, 4);
            }
        }
    }
    uLongf packed = compressBound(static_cast<uLong>(body.size()));
    std::string file(64 + packed, '\0');
    compress2(reinterpret_cast<Bytef*>(&file[64]), &packed, reinterpret_cast<const Bytef*>(body.data()),
              static_cast<uLong>(body.size()), 9);
    file.resize(64 + packed);
    std::string header = "MLREPLAY";
    putLittle(header, 1, 2);  // version
    putLittle(header, 64, 2); // header size
    putLittle(header, 0, 4);  // the checksum, below
    for (const uint32_t word : {replay.frameCount, replay.keyframeCount, static_cast<uint32_t>(packed),
                                static_cast<uint32_t>(body.size())}) {
        putLittle(header, word, 4);
    }
    header += {static_cast<char>(replay.track), static_cast<char>(replay.laps), static_cast<char>(replay.computer),
               static_cast<char>(replay.full ? 1 : 0)};
    header.append(replay.trackName, sizeof replay.trackName);
    file.replace(0, 64, header);
    std::string sum;
    putLittle(sum, static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(file.data()), static_cast<uInt>(file.size()))), 4);
    return file.replace(12, 4, sum);
}
