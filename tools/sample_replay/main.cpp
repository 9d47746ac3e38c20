// main.cpp -- sample_replay FILE [OLD-FILE [GHOST-FILE [LAN-FOLDER]]]: writes a
// short, valid replay without a race (two seconds of steps, the controls
// changing, three keyframes) through the game's own writer, and the same steps
// at wandering rates as the first version wrote them, a short ghost, and one
// LAN message of every kind: the fuzzer's seeds, and files to try another
// program's reader of the formats on.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "net/lan_messages.h"
#include "replay/ghost_file.h"
#include "replay/replay_file.h"
#include "sample_replay/first_version.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr, "usage: sample_replay FILE [OLD-FILE [GHOST-FILE [LAN-FOLDER]]]\n");
        return 2;
    }
    static Replay seed;
    seed.track = 1;
    seed.laps = 3;
    std::snprintf(seed.trackName, sizeof seed.trackName, "Meadow");
    seed.computer = 5;
    seed.frameCount = 120;
    for (uint32_t f = 0; f < seed.frameCount; ++f) {
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
    bool written = true;
    for (int version = 2; version >= 1 && version >= 4 - argc; --version) {
        for (uint32_t f = 0; f < seed.frameCount; ++f) {
            seed.frameRates[f] = version == 2 ? 60 : 59 + f % 3;
        }
        const std::string file = version == 2 ? encodeReplay(seed) : encodeFirstVersionReplay(seed);
        std::FILE* out = std::fopen(argv[version == 2 ? 1 : 2], "wb");
        written = out != nullptr && std::fwrite(file.data(), 1, file.size(), out) == file.size() &&
                  std::fclose(out) == 0 && written;
    }
    if (argc >= 4) { // a ghost of these steps: three gates, the last at the line
        static GhostLap ghost;
        ghost.track = 1;
        ghost.vehicle = 1;
        ghost.lapTime = 2.0;
        ghost.start = seed.keyframes[0].vehicles[1];
        ghost.stepCount = seed.frameCount;
        for (uint32_t f = 0; f < ghost.stepCount; ++f) {
            ghost.controls[f] = static_cast<uint8_t>(seed.controls[f] >> 5 & 31u);
        }
        ghost.gateCount = 3;
        for (int g = 0; g < 3; ++g) {
            ghost.gateSteps[g] = ghost.stepCount * static_cast<uint32_t>(g + 1) / 3;
            ghost.gateTimes[g] = 2.0 * (g + 1) / 3;
        }
        const std::string file = encodeGhost(ghost);
        std::FILE* out = std::fopen(argv[3], "wb");
        written = out != nullptr && std::fwrite(file.data(), 1, file.size(), out) == file.size() &&
                  std::fclose(out) == 0 && written;
    }
    for (int kind = 1; argc == 5 && kind <= static_cast<int>(LanKind::lockstep); ++kind) {
        static LanMessage message;
        message = LanMessage{};
        message.kind = static_cast<LanKind>(kind);
        std::snprintf(message.version, sizeof message.version, "1.1");
        message.simulation = 2;
        message.seatsWanted = 1;
        message.machine = 1;
        message.race = LanRace{1, 3, 2, 3, {0, 1, noMachine}, true, {1, 2, 3, 4}};
        std::snprintf(message.text, sizeof message.text, "the race is full");
        message.snapshot.step = 60;
        message.snapshot.race.laps = 3;
        message.snapshot.race.places[1] = 1;
        message.snapshot.race.places[2] = 2;
        std::copy(seed.keyframes[1].vehicles, seed.keyframes[1].vehicles + vehicleCount, message.snapshot.vehicles);
        message.packet = LockstepPacket{1, 1, 40, 3, {0x1234, 0x0421, 31}, {3, 7, 1}, {43, 40, 44}, {}, 60, 77, noStep};
        message.packet.dropStep[0] = message.packet.dropStep[1] = message.packet.dropStep[2] = noStep;
        const std::string bytes = encodeLanMessage(message);
        std::FILE* out = std::fopen((std::string(argv[4]) + "/kind-" + std::to_string(kind)).c_str(), "wb");
        written = out != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() &&
                  std::fclose(out) == 0 && written;
    }
    return written ? 0 : 1;
}
