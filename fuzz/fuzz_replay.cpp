// fuzz_replay.cpp -- any bytes as a replay file, with its checksum as it comes
// or made right (so that changed bytes reach the counts and the body): a file
// read is written back and reads again alike, and plays (its first steps and
// keyframes, with contact, trunks and gates) without a fault; a refused one
// leaves nothing.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "fuzz_world.h"
#include "replay/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Replay read;
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= replayHeaderSize && (data[size - 1] & 1) != 0) {
        const uint32_t sum = crc32Of(bytes.data(), bytes.size(), 12);
        std::memcpy(&bytes[12], &sum, 4); // the fuzzers' machines are little-endian
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
    World& world = fuzzWorld();
    Playback playback;
    startPlayback(playback, read, world);
    for (int step = 0; step < 240 && playFrame(playback, read, world); ++step) {
    }
    return 0;
}
