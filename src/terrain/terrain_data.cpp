// terrain_data.cpp -- the height queries the wheels stand on (no GL, no files).
#include <cmath>
#include "terrain/terrain.h"

namespace {

// A cell index truncated toward zero, kept modulo the 32 cells the masking of
// the samples wraps through anyway, so that positions far off the map (or not
// numbers at all) still land on a sample without an overflowing conversion.
int32_t wrappedCell(float value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    return static_cast<int32_t>(std::fmod(std::trunc(static_cast<double>(value)), 32.0));
}

} // namespace

float terrainHeightAt(const TerrainMap* map, int32_t x, int32_t z) {
    if (map == nullptr) {
        return 0.0f;
    }
    const uint32_t column = static_cast<uint32_t>(x) & 511u;
    const uint32_t row = static_cast<uint32_t>(z) & 511u;
    return static_cast<float>(map->heights[row * 512u + column]) * 0.05f;
}

float terrainSurfaceHeight(const TerrainMap* map, float worldX, float worldZ) {
    const float u = (worldX + 100) / 6.25;
    const float v = (worldZ + 100) / 6.25;
    const float fx = (u - std::trunc(u)) * 6.25;
    const float fz = (v - std::trunc(v)) * 6.25;
    const int32_t x0 = 16 * wrappedCell((worldX + 100) / 200 * 512 / 16);
    const int32_t z0 = 16 * wrappedCell((worldZ + 100) / 200 * 512 / 16);
    const float h00 = terrainHeightAt(map, x0, z0);
    const float h11 = terrainHeightAt(map, x0 + 16, z0 + 16);
    if (fx >= fz) {
        // Triangle A: (x0, z0), (x0 + 16, z0), (x0 + 16, z0 + 16).
        const float h10 = terrainHeightAt(map, x0 + 16, z0);
        return h00 + (h10 - h00) / 6.25 * fx + (h11 - h10) / 6.25 * fz;
    }
    // Triangle B: (x0, z0), (x0 + 16, z0 + 16), (x0, z0 + 16).
    const float h01 = terrainHeightAt(map, x0, z0 + 16);
    return h00 + (h11 - h01) / 6.25 * fx + (h01 - h00) / 6.25 * fz;
}
