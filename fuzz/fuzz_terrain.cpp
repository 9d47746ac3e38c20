// fuzz_terrain.cpp -- any bytes as the height and growth files, read by the
// game's raw reader into the real terrain record, then its normals and heights.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "terrain/terrain.h"

namespace {

// The bytes as a file with a path, the way the game finds its track.
std::string fileOf(const uint8_t* data, size_t size, int& descriptor) {
    descriptor = memfd_create("track", 0);
    if (descriptor < 0) {
        return "";
    }
    if (size > 0 && write(descriptor, data, size) != static_cast<ssize_t>(size)) {
        return "";
    }
    return "/proc/self/fd/" + std::to_string(descriptor);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first 1,024 bytes (or fewer) are the growth file, the rest the heights.
    const size_t growthBytes = size < 1024 ? size : 1024;
    std::memset(&terrain.heights, 0, sizeof terrain.heights);
    std::memset(&terrain.growth, 0, sizeof terrain.growth);
    int growthFile = -1;
    int heightFile = -1;
    const std::string growthPath = fileOf(data, growthBytes, growthFile);
    const std::string heightPath = fileOf(data + growthBytes, size - growthBytes, heightFile);
    loadRawFile(growthPath.c_str(), sizeof terrain.growth, terrain.growth);
    loadRawFile(heightPath.c_str(), sizeof terrain.heights, terrain.heights);
    close(growthFile);
    close(heightFile);

    computeTerrainNormals(terrain);
    // Heights anywhere the wheels can be, and well beyond.
    for (size_t i = 0; i + 8 <= size && i < 512; i += 8) {
        float x, z;
        std::memcpy(&x, data + i, 4);
        std::memcpy(&z, data + i + 4, 4);
        const float h = terrainSurfaceHeight(&terrain, x, z);
        if (std::isfinite(x) && std::isfinite(z) && (!std::isfinite(h) || h < -1e6f || h > 1e6f)) {
            __builtin_trap();
        }
    }
    return 0;
}
