// fuzz_ghost.cpp -- any bytes as a ghost file, with its checksum as it comes
// or made right (so that changed bytes reach the counts and the body): a ghost
// read writes back to the same bytes, and a refused one leaves nothing.
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "replay/ghost_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto read = std::make_unique<GhostLap>();
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= ghostHeaderSize && (data[size - 1] & 1) != 0) {
        std::memset(&bytes[12], 0, 4);
        const uLong sum = crc32(0L, bytes.data(), static_cast<uInt>(bytes.size()));
        for (int i = 0; i < 4; ++i) {
            bytes[12 + i] = static_cast<uint8_t>(sum >> (8 * i) & 0xFF);
        }
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
    return 0;
}
