// valley.cpp -- track 2, Long Valley: a valley running north to south with a
// gentle bend, its floor rising and falling in long swells, its sides rolling
// up to high ground; sparse trees, a lush flowered turf, and a course that runs
// up the floor and back along the eastern slope.
//
// Its ground picture is an 8-bit run-length BMP and its overlay a run-length
// TGA, as paint programs save them.
#include <cmath>

#include "ground.h"
#include "image.h"

namespace gen {
namespace {

constexpr uint32_t seed = 101;

// The valley's line: x of its lowest ground at each z.
float valleyX(float z) { return 12.0f * wave((z + 100.0f) / 190.0f + 0.25f); }

// The course: the start line on the valley floor, north up the floor, round
// the northern end, south along the eastern slope, round the southern end and
// back up the western side.
const std::vector<Waypoint> valleyCourse = {
    {0, -2, 12},   {-4, -24, 14}, {-9, -46, 14}, {-6, -67, 14}, {9, -80, 14},  {28, -74, 14},
    {37, -54, 14}, {40, -31, 14}, {38, -8, 14},  {40, 15, 14},  {36, 38, 14},  {26, 58, 14},
    {8, 70, 14},   {-9, 61, 14},  {-14, 40, 14}, {-10, 19, 14},
};

float cornerHeight(int column, int row) {
    const float x = worldOf(column);
    const float z = worldOf(row);
    const float across = x - valleyX(z);
    const float side = std::fabs(across);
    // The floor swells slowly along the valley; the west side climbs higher.
    const float floor = 1.7f + 1.5f * wave(z / 80.0f + 0.1f);
    const float wall = (across < 0 ? 11.0f : 9.0f) * smoothstep(5.0f, 78.0f, side);
    const float rolling = 3.6f * (fractalNoise(column / 7.0f, row / 7.0f, 5, 2, seed) - 0.45f) *
                          smoothstep(10.0f, 42.0f, side);
    float h = floor + wall + rolling;
    // The course runs smooth: most of the rolling is taken off near it.
    const float near = 1.0f - smoothstep(5.0f, 14.0f, courseDistance(valleyCourse, x, z));
    h -= 0.7f * near * rolling;
    return h;
}

std::vector<uint8_t> makeGrowth(const Corners& corners) {
    return growthMap([&corners](int j, int i, float x, float z) -> uint8_t {
        const float course = courseDistance(valleyCourse, x, z);
        if (std::sqrt(x * x + z * z) < 14.0f || course < 6.0f) {
            return 255; // the start and the course stay clear
        }
        const bool open = course > 13.5f; // room for a tree beside a gate's post
        const float pick = hashUnit(j, i, seed + 1);
        if (open && corners.height(j, i) > 3.0f && pick < 0.09f) {
            return 192; // a lone tree on the slopes
        }
        if (open && pick > 0.97f) {
            return 128; // the odd bush
        }
        if (fractalNoise(j / 4.0f, i / 4.0f, 8, 2, seed + 2) > 0.55f && hashUnit(j, i, seed + 3) < 0.45f) {
            return hashUnit(j, i, seed + 4) < 0.7f ? 0 : 64; // tufts, a few shrubs
        }
        return 255;
    });
}

// Lush turf with clover patches and yellow and white flowers, quantised to
// 256 colours: sixteen shades of grass, each in sixteen shades toward clover,
// minus the last sixteen, which are the flowers'.
Picture makeGround(std::vector<Colour>& palette) {
    const Colour grassDark{0.16f, 0.36f, 0.12f, 1.0f};
    const Colour grassLight{0.36f, 0.58f, 0.20f, 1.0f};
    const Colour clover{0.10f, 0.30f, 0.16f, 1.0f};
    palette.clear();
    for (int tone = 0; tone < 16; ++tone) {
        for (int patch = 0; patch < (tone < 15 ? 16 : 0); ++patch) {
            palette.push_back(mix(mix(grassDark, grassLight, tone / 15.0f), clover, patch / 18.0f));
        }
    }
    for (int k = 0; k < 16; ++k) {
        const float t = k / 15.0f;
        palette.push_back(k < 10 ? mix(Colour{0.80f, 0.70f, 0.10f, 1}, Colour{0.98f, 0.90f, 0.30f, 1}, t * 1.5f)
                                 : mix(Colour{0.85f, 0.85f, 0.80f, 1}, Colour{1.0f, 1.0f, 0.96f, 1}, t));
    }
    return paintTile(256, [&](int x, int y, float u, float v) {
        const float tone = fractalNoise(u * 16, v * 16, 16, 4, seed + 5);
        const float blades = valueNoise(u * 64, v * 128, 64, seed + 6);
        const float patch = smoothstep(0.55f, 0.7f, fractalNoise(u * 8, v * 8, 8, 3, seed + 7));
        Colour c = mix(mix(grassDark, grassLight, clamp01(0.7f * tone + 0.5f * blades - 0.1f)), clover,
                       patch * 0.8f);
        const float flower = hashUnit(x, y, seed + 8);
        if (flower > 0.992f) {
            c = flower > 0.997f ? Colour{0.95f, 0.95f, 0.90f, 1} : Colour{0.92f, 0.82f, 0.20f, 1};
        }
        return c;
    });
}

// Added to the lit ground: a worn earth track along the course with a paler
// crown, sun-bleached high slopes, and a chequered start line across the
// first gate. Row 0 is the map's +z edge.
Picture makeOverlay(const Corners& corners) {
    return paintMap(512, [&corners](int x, int y, float wx, float wz) {
        const float h = surfaceHeight(corners, wx, wz);
        Colour add{0, 0, 0, 1};
        const float high = smoothstep(6.0f, 12.0f, h);
        add.r += 0.12f * high;
        add.g += 0.09f * high;
        const float d = courseDistance(valleyCourse, wx, wz);
        const float worn = 1.0f - smoothstep(2.0f, 4.5f, d);
        const float grit = 0.8f + 0.2f * hashUnit(x, y, seed + 9);
        add.r += 0.26f * worn * grit;
        add.g += 0.17f * worn * grit;
        add.b += 0.07f * worn * grit;
        if (onStartLine(valleyCourse, wx, wz)) {
            add.r += 0.3f;
            add.g += 0.3f;
            add.b += 0.3f;
        }
        // Quantised a little, so that the run-length file has runs to find.
        add.r = std::floor(add.r * 64.0f) / 64.0f;
        add.g = std::floor(add.g * 64.0f) / 64.0f;
        add.b = std::floor(add.b * 64.0f) / 64.0f;
        return add;
    });
}

} // namespace

void makeValley(const std::string& folder, Report& report) {
    const Corners corners = cornersFrom(cornerHeight);
    const TrackShape shape = writeGround(folder, 2, corners, makeGrowth(corners), report);
    std::vector<Colour> palette;
    const Picture ground = makeGround(palette);
    writeBmpRuns(folder + "/Tracks/Texture_02.bmp", ground.width(), ground.height(), nearestIndices(ground, palette),
                 palette, 8);
    writeTgaRuns(folder + "/Tracks/TextureOverlay_02.tga", makeOverlay(corners), 24, false);
    makeCourse(folder, CourseSpec{2, "Long Valley", valleyCourse}, shape, report);
}

} // namespace gen
