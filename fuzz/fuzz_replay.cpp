// fuzz_replay.cpp -- any bytes as a replay file, with its checksum as it comes
// or made right (so that changed bytes reach the counts and the body): a file
// read is written back byte for byte, and a refused one leaves nothing.
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "replay/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Replay read;
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= replayHeaderSize && (data[size - 1] & 1) != 0) {
        std::memset(&bytes[12], 0, 4);
        const uLong sum = crc32(0L, bytes.data(), static_cast<uInt>(bytes.size()));
        for (int i = 0; i < 4; ++i) {
            bytes[12 + i] = static_cast<uint8_t>(sum >> (8 * i) & 0xFF);
        }
    }
    read.frameCount = 12345; // a refused file must leave this as it is
    std::string why;
    if (!decodeReplay(bytes.data(), bytes.size(), read, why)) {
        if (read.frameCount != 12345 || why.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    if (read.frameCount == 0 || read.frameCount > maxReplayFrames || read.keyframeCount == 0 ||
        read.keyframeCount > maxReplayKeyframes || std::memchr(read.trackName, '\0', sizeof read.trackName) == nullptr) {
        __builtin_trap();
    }
    // Written again (as this version writes: a first version's rates are not
    // kept) it reads again to the same steps (the compressed body may pack
    // differently from the one read, so the bytes are not compared).
    static Replay again;
    const std::string written = encodeReplay(read);
    if (!decodeReplay(reinterpret_cast<const uint8_t*>(written.data()), written.size(), again, why) ||
        again.frameCount != read.frameCount || again.keyframeCount != read.keyframeCount ||
        std::memcmp(again.controls, read.controls, read.frameCount * sizeof read.controls[0]) != 0) {
        __builtin_trap();
    }
    return 0;
}
