// main.cpp -- sample_replay FILE [OLD-FILE [GHOST-FILE [LAN-FOLDER]]]: writes a
// short, valid replay without a race (two seconds of steps, the controls
// changing, three keyframes) through the game's own writer, the same steps at
// wandering rates as the first version wrote them (OLD-FILE) and as the second
// did (OLD-FILE.v2.mlr), a short ghost, and one LAN message of every kind: the
// fuzzer's seeds, and files to try another program's reader of the formats on.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "net/lan_messages.h"
#include "replay/ghost_file.h"
#include "replay/replay_file.h"
#include "sample_replay/older_versions.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr, "usage: sample_replay FILE [OLD-FILE [GHOST-FILE [LAN-FOLDER]]]\n");
        return 2;
    }
    static Replay seed;
    seed.track = 1;
    seed.laps = 3;
    seed.simulation = simulationVersion;
    seed.vehicleContact = seed.solidTrees = true;
    std::snprintf(seed.trackName, sizeof seed.trackName, "Meadow");
    seed.computer = 5;
    seed.frameCount = 120;
    for (uint32_t f = 0; f < seed.frameCount; ++f) {
        seed.controls[f] = f / 10 * 2729 % 32768 | (f % 40 == 5 ? 32u : 0u); // a rescue now and then
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
    const auto write = [&written](const std::string& path, const std::string& file) {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        written = out != nullptr && std::fwrite(file.data(), 1, file.size(), out) == file.size() &&
                  std::fclose(out) == 0 && written;
    };
    write(argv[1], encodeReplay(seed));
    if (argc >= 3) {
        for (uint32_t f = 0; f < seed.frameCount; ++f) {
            seed.frameRates[f] = 59 + f % 3;
        }
        write(argv[2], encodeOlderReplay(seed, 1));
        write(std::string(argv[2]) + ".v2.mlr", encodeOlderReplay(seed, 2));
    }
    if (argc >= 4) { // a ghost of these steps: three gates, the last at the line
        static GhostLap ghost;
        ghost.track = 1;
        ghost.simulation = simulationVersion;
        ghost.solidTrees = true;
        ghost.vehicle = 1;
        ghost.lapTime = 2.0;
        ghost.start = seed.keyframes[0].vehicles[1];
        ghost.stepCount = seed.frameCount;
        for (uint32_t f = 0; f < ghost.stepCount; ++f) {
            ghost.controls[f] = static_cast<uint8_t>(seed.controls[f] >> controlBits & controlMask);
        }
        ghost.gateCount = 3;
        for (int g = 0; g < 3; ++g) {
            ghost.gateSteps[g] = ghost.stepCount * static_cast<uint32_t>(g + 1) / 3;
            ghost.gateTimes[g] = 2.0 * (g + 1) / 3;
        }
        write(argv[3], encodeGhost(ghost));
    }
    for (int kind = 1; argc == 5 && kind <= static_cast<int>(LanKind::fileData); ++kind) {
        static LanMessage message;
        message = LanMessage{};
        message.kind = static_cast<LanKind>(kind);
        std::snprintf(message.version, sizeof message.version, "1.1");
        message.simulation = simulationVersion;
        message.seatsWanted = 1;
        message.machine = 1;
        message.race = LanRace{1, 3, 2, 3, {0, 1, noMachine}, true, true, true, {1, 2, 3, 4, 5}};
        std::snprintf(message.text, sizeof message.text, "the race is full");
        message.snapshot.step = 60;
        message.snapshot.race.laps = 3;
        message.snapshot.race.places[1] = 1;
        message.snapshot.race.places[2] = 2;
        std::copy(seed.keyframes[1].vehicles, seed.keyframes[1].vehicles + vehicleCount, message.snapshot.vehicles);
        message.packet = LockstepPacket{1, 1, 40, 3, {0x1234, 0x0421, 31}, {3, 7, 1}, {43, 40, 44}, {}, 60, 77, noStep};
        message.packet.dropStep[0] = message.packet.dropStep[1] = message.packet.dropStep[2] = noStep;
        message.action = LeadAction::start; // the lead, the fetch and a chunk of track 3's course
        message.value = 3;
        message.file = gatesFile;
        message.chunks = 2;
        message.fileSize = message.length = 10;
        std::memcpy(message.data, "gate 1 2 3", 10);
        write(std::string(argv[4]) + "/kind-" + std::to_string(kind), encodeLanMessage(message));
    }
    return written ? 0 : 1;
}
