// quarry.cpp -- track 3, Quarry: a broken upland of sharp ridges around a
// quarried pit, thick with bushes; the course rings the pit through the
// cuttings between the ridges.
//
// Its ground picture is a run-length TGA stored top row first and its overlay
// a 4-bit run-length BMP, as paint programs save them.
#include <cmath>

#include "ground.h"
#include "image.h"

namespace gen {
namespace {

constexpr uint32_t seed = 211;
constexpr float pitFloor = 1.2f;

// The course: a ring round the pit through the cuttings between the ridges,
// closer in and farther out by turns, run sunwise from the start line north of
// the pit.
const std::vector<Waypoint> quarryCourse = {
    {0, -40, 12},  {-22, -38, 12}, {-33, -19, 12}, {-46, 0, 12}, {-35, 20, 12}, {-18, 31, 12},
    {0, 44, 12},   {20, 35, 12},   {40, 23, 12},   {38, 0, 12},  {36, -21, 12}, {18, -31, 12},
};

// The upland without its ridges: a broad swell, the pit cut out of its middle.
float upland(int column, int row) {
    const float x = worldOf(column), z = worldOf(row);
    const float swell = 6.5f + 2.0f * (fractalNoise(column / 10.0f, row / 10.0f, 4, 2, seed) - 0.5f);
    return pitFloor + (swell - pitFloor) * smoothstep(14.0f, 34.0f, std::sqrt(x * x + z * z));
}

float cornerHeight(int column, int row) {
    const float x = worldOf(column), z = worldOf(row);
    // Ridges: where the noise crosses its middle the ground stands in a crest.
    const float n = fractalNoise(column / 5.0f, row / 5.0f, 7, 3, seed + 1);
    const float crest = 1.0f - std::fabs(2.0f * n - 1.0f);
    const float ridges = 6.0f * crest * crest * crest - 1.2f;
    const float r = std::sqrt(x * x + z * z);
    // No ridges in the pit; the course's cuttings keep only a little of them.
    const float cut = smoothstep(4.5f, 12.0f, courseDistance(quarryCourse, x, z));
    return upland(column, row) + ridges * smoothstep(18.0f, 34.0f, r) * (0.3f + 0.7f * cut);
}

std::vector<uint8_t> makeGrowth(const Corners& corners) {
    return growthMap([&corners](int j, int i, float x, float z) -> uint8_t {
        const float course = courseDistance(quarryCourse, x, z);
        if (std::sqrt(x * x + z * z) < 20.0f || course < 5.0f) {
            return 255; // the pit's floor and the course stay clear
        }
        const float pick = hashUnit(j, i, seed + 2);
        if (course > 13.5f && pick < 0.03f) {
            return 192; // a stunted tree here and there
        }
        if (course > 11.5f && (pick < 0.5f || corners.height(j, i) > 9.0f)) {
            return 128; // bushes everywhere they can hold on
        }
        if (pick > 0.6f) {
            return hashUnit(j, i, seed + 3) < 0.5f ? 64 : 0; // shrubs and tufts by the course
        }
        return 255;
    });
}

// Broken stone: grey and ochre slabs cut by dark cracks, with pale grit.
Picture makeGround() {
    const Colour stone{0.46f, 0.44f, 0.40f, 1.0f};
    const Colour ochre{0.55f, 0.45f, 0.30f, 1.0f};
    const Colour crack{0.20f, 0.19f, 0.17f, 1.0f};
    return paintTile(256, [&](int x, int y, float u, float v) {
        const float slab = fractalNoise(u * 8, v * 8, 8, 3, seed + 4);
        const float lines = fractalNoise(u * 16, v * 16, 16, 2, seed + 5);
        const float cracked = 1.0f - smoothstep(0.0f, 0.05f, std::fabs(lines - 0.5f));
        const float grit = hashUnit(x, y, seed + 6);
        Colour c = mix(stone, ochre, smoothstep(0.35f, 0.7f, slab));
        c = scale(c, 0.85f + 0.25f * valueNoise(u * 64, v * 64, 64, seed + 7) + 0.08f * grit);
        c = mix(c, crack, cracked * 0.8f);
        if (grit > 0.985f) {
            c = Colour{0.80f, 0.78f, 0.72f, 1};
        }
        return c;
    });
}

// Sixteen tints added to the lit ground: nothing, the gravel of the course's
// cuttings, the pale dust of the pit and the crests, and the start line.
const std::vector<Colour> overlayTints = {
    {0, 0, 0, 1},          {0.05f, 0.04f, 0.03f, 1}, {0.10f, 0.08f, 0.05f, 1}, {0.15f, 0.12f, 0.08f, 1},
    {0.20f, 0.16f, 0.10f, 1}, {0.25f, 0.20f, 0.13f, 1}, {0.30f, 0.25f, 0.16f, 1}, {0.08f, 0.08f, 0.07f, 1},
    {0.16f, 0.16f, 0.14f, 1}, {0.24f, 0.24f, 0.21f, 1}, {0.32f, 0.31f, 0.28f, 1}, {0.40f, 0.39f, 0.35f, 1},
    {0.12f, 0.10f, 0.10f, 1}, {0.22f, 0.18f, 0.15f, 1}, {0.34f, 0.30f, 0.24f, 1}, {0.30f, 0.30f, 0.30f, 1},
};

Picture makeOverlay(const Corners& corners) {
    return paintMap(512, [&corners](int x, int y, float wx, float wz) {
        const float h = surfaceHeight(corners, wx, wz);
        Colour add{0, 0, 0, 1};
        const float dust = std::fmax(1.0f - smoothstep(16.0f, 24.0f, std::sqrt(wx * wx + wz * wz)),
                                     smoothstep(9.0f, 12.5f, h));
        add = mix(add, Colour{0.24f, 0.24f, 0.21f, 1}, dust);
        const float gravel = 1.0f - smoothstep(2.5f, 5.0f, courseDistance(quarryCourse, wx, wz));
        add = mix(add, Colour{0.25f, 0.20f, 0.13f, 1}, gravel * (0.75f + 0.25f * hashUnit(x, y, seed + 8)));
        if (onStartLine(quarryCourse, wx, wz)) {
            add = Colour{0.30f, 0.30f, 0.30f, 1};
        }
        return add;
    });
}

} // namespace

void makeQuarry(const std::string& folder, Report& report) {
    const Corners corners = cornersFrom(cornerHeight);
    const TrackShape shape = writeGround(folder, 3, corners, makeGrowth(corners), report);
    writeTgaRuns(folder + "/Tracks/Texture_03.tga", makeGround(), 24, true);
    const Picture overlay = makeOverlay(corners);
    writeBmpRuns(folder + "/Tracks/TextureOverlay_03.bmp", overlay.width(), overlay.height(),
                 nearestIndices(overlay, overlayTints), overlayTints, 4);
    makeCourse(folder, CourseSpec{3, "Quarry", quarryCourse}, shape, report);
}

} // namespace gen
