// main.cpp -- sample_replay FILE: writes a short, valid replay without a race
// (two seconds of steps, the controls changing, three keyframes),
// through the game's own writer: the fuzzer's seed, and a file to try another
// program's reader of the format on.
#include <cstdio>
#include <cstring>
#include <string>

#include "replay/replay_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sample_replay FILE\n");
        return 2;
    }
    static Replay seed;
    seed.track = 1;
    seed.laps = 3;
    std::snprintf(seed.trackName, sizeof seed.trackName, "Meadow");
    seed.computer = 5;
    seed.frameCount = 120;
    for (uint32_t f = 0; f < seed.frameCount; ++f) {
        seed.frameRates[f] = 60;
        seed.controls[f] = static_cast<uint16_t>(f / 10 * 2729 % 32768);
    }
    seed.keyframeCount = 3;
    for (uint32_t k = 0; k < seed.keyframeCount; ++k) {
        seed.keyframes[k].frame = k * 60;
        for (VehicleSnapshot& snapshot : seed.keyframes[k].vehicles) {
            snapshot.position[0] = static_cast<float>(k) * 3.5f;
            snapshot.speed = 12.25f;
            snapshot.heading = 90;
        }
    }
    const std::string file = encodeReplay(seed);
    std::FILE* out = std::fopen(argv[1], "wb");
    const bool written = out != nullptr && std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return out != nullptr && std::fclose(out) == 0 && written ? 0 : 1;
}
