// fuzz_ghost.cpp -- any bytes as a ghost file, with its checksum as it comes
// or made right (so that changed bytes reach the counts and the body): a ghost
// read writes back to the same bytes and drives its first steps without a
// fault, and a refused one leaves nothing.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "fuzz_world.h"
#include "replay/ghost_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto read = std::make_unique<GhostLap>();
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= ghostHeaderSize && (data[size - 1] & 1) != 0) {
        const uint32_t sum = crc32Of(bytes.data(), bytes.size(), 12);
        std::memcpy(&bytes[12], &sum, 4); // the fuzzers' machines are little-endian
    }
    read->stepCount = 12345; // a refused file must leave this as it is
    bool old = false;
    std::string why;
    if (!decodeGhost(bytes.data(), bytes.size(), *read, old, why)) {
        if (read->stepCount != 12345 || why.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    if (read->stepCount > maxGhostSteps || read->gateCount < minGates || read->gateCount > maxGates ||
        read->gateSteps[read->gateCount - 1] != read->stepCount) {
        __builtin_trap();
    }
    // A sound file of this simulation is written back byte for byte.
    if (!old && encodeGhost(*read) != std::string(bytes.begin(), bytes.end())) {
        __builtin_trap();
    }
    if (old) {
        return 0; // the game sets it aside unplayed
    }
    static const auto ghostWorld = std::make_unique<World>();
    GhostRun run;
    startGhost(run, *ghostWorld, fuzzWorld(), *read);
    for (int step = 0; step < 240; ++step) {
        stepGhost(run, *ghostWorld, *read);
    }
    return 0;
}
