// track.cpp -- track 1, Meadow: heights, growth map, ground texture, overlay
// and course.
//
// The map is 32 x 32 cells of 6.25 units over -100..100; only the cell corners
// (every sixteenth height sample) shape the ground the game draws and drives
// on. The corners form an arena: a level start square at height 0, rolling
// hills that climb toward the edges, a dirt circuit around the middle with a
// few bumps and ramps on it, trees on the outer slopes.
#include <cmath>

#include "ground.h"
#include "image.h"

namespace gen {
namespace {

constexpr uint32_t hillSeed = 11;
constexpr uint32_t growthSeed = 23;
constexpr uint32_t groundSeed = 37;

// The dirt circuit: an ellipse around the start square.
constexpr float circuitRadiusX = 52.0f;
constexpr float circuitRadiusZ = 40.0f;

// Roughly how far (in units) a point lies from the circuit's centre line.
float circuitDistance(float x, float z) {
    const float ex = x / circuitRadiusX;
    const float ez = z / circuitRadiusZ;
    const float radial = std::sqrt(ex * ex + ez * ez);
    return std::fabs(radial - 1.0f) * circuitRadiusZ;
}

// Bumps and ramps: corners raised above their neighbours so that wheels take off.
struct Kick {
    int column, row;
    float rise;
};
constexpr Kick kicks[] = {
    // A ramp on the circuit's left straight, rising toward -z, then a drop.
    {8, 18, 0.8f}, {8, 17, 1.6f}, {8, 16, 2.4f},
    // Single sharp bumps on the right straight and the far bends.
    {24, 15, 2.0f}, {24, 18, 1.6f}, {13, 10, 1.8f}, {19, 22, 1.8f},
    // A kicker out in the hills.
    {22, 6, 2.6f}, {5, 25, 2.2f},
};

float cornerHeight(int column, int row) {
    const float x = worldOf(column);
    const float z = worldOf(row);
    const float r = std::sqrt(x * x + z * z);
    const float bowl = 9.5f * smoothstep(18.0f, 95.0f, r);
    const float hills = fractalNoise(column / 6.0f, row / 6.0f, 6, 3, hillSeed);
    float amplitude = 1.2f + 3.8f * smoothstep(18.0f, 75.0f, r);
    // The circuit runs smooth: little of the hills' roughness on it.
    amplitude *= 1.0f - 0.8f * (1.0f - smoothstep(4.0f, 12.0f, circuitDistance(x, z)));
    float h = bowl + amplitude * (hills - 0.38f) * 2.0f;
    // The start square (12.5 units each way) is level at 0 and opens out gently.
    const float square = std::fmax(std::fabs(x), std::fabs(z));
    h *= smoothstep(12.5f, 31.25f, square);
    for (const Kick& kick : kicks) {
        if (kick.column == column && kick.row == row) {
            h += kick.rise;
        }
    }
    return h;
}

std::vector<uint8_t> makeGrowth(const Corners& corners) {
    return growthMap([&corners](int j, int i, float x, float z) -> uint8_t {
        const float r = std::sqrt(x * x + z * z);
        if (r < 22.0f || circuitDistance(x, z) < 7.0f) {
            return 255; // the start line and the circuit stay clear
        }
        const float h = corners.height(j, i);
        const float pick = hashUnit(j, i, growthSeed);
        const float patch = fractalNoise(j / 5.0f, i / 5.0f, 7, 2, growthSeed + 1);
        if (r > 58.0f && h > 4.5f && pick < 0.42f) {
            return 192; // trees on the outer slopes
        }
        if (r > 34.0f && pick > 0.965f) {
            return 192; // a few lone trees inside
        }
        if (pick > 0.88f) {
            return 128; // bushes, scattered
        }
        if (patch > 0.6f && hashUnit(j, i, growthSeed + 2) < 0.6f) {
            return hashUnit(j, i, growthSeed + 3) < 0.55f ? 0 : 64; // tufts and shrubs
        }
        return 255;
    });
}

// Earth and grass, seamless: it repeats 20 times across the map.
Picture makeGround() {
    const Colour grassDark{0.29f, 0.40f, 0.15f, 1.0f};
    const Colour grassLight{0.42f, 0.50f, 0.21f, 1.0f};
    const Colour earth{0.44f, 0.37f, 0.25f, 1.0f};
    return paintTile(256, [&](int x, int y, float u, float v) {
        const float tone = fractalNoise(u * 8, v * 8, 8, 4, groundSeed);
        const float bare = smoothstep(0.60f, 0.74f, fractalNoise(u * 8, v * 8, 8, 3, groundSeed + 7));
        const float blades = valueNoise(u * 128, v * 64, 128, groundSeed + 13);
        const float grit = hashUnit(x, y, groundSeed + 19);
        Colour c = mix(grassDark, grassLight, tone);
        c = mix(c, earth, bare * (0.7f + 0.3f * grit));
        return scale(c, 0.86f + 0.2f * blades + 0.06f * grit);
    });
}

// The overlay is added to the lit ground, so it stays dark: a dusty circuit with
// ruts, drier high ground, a few patches and a chequered start line; valleys get
// almost nothing. Row 0 is the map's +z edge (t = 1 - z / 200 in the game).
Picture makeOverlay(const Corners& corners) {
    return paintMap(512, [&corners](int x, int y, float wx, float wz) {
        const float h = surfaceHeight(corners, wx, wz);
        Colour add{0, 0, 0, 1};
        const float high = smoothstep(4.0f, 12.0f, h);
        add.r += 0.11f * high;
        add.g += 0.10f * high;
        add.b += 0.03f * high;
        const float patches = smoothstep(0.55f, 0.8f, fractalNoise(wx / 12.5f, wz / 12.5f, 16, 3, groundSeed + 29));
        add.r += 0.06f * patches;
        add.g += 0.045f * patches;
        add.b += 0.01f * patches;
        const float d = circuitDistance(wx, wz);
        const float dirt = 1.0f - smoothstep(2.5f, 5.5f, d);
        // Two ruts, one either side of the centre line.
        const float rut = 1.0f - smoothstep(0.15f, 0.45f, std::fabs(d - 1.3f));
        const float dust = dirt * (1.0f - 0.45f * rut) * (0.85f + 0.15f * hashUnit(x, y, groundSeed + 31));
        add.r += 0.22f * dust;
        add.g += 0.15f * dust;
        add.b += 0.06f * dust;
        // Start line: a chequered band across z = -3..-1 from x = -6 to 6.
        if (wz > -3.0f && wz < -1.0f && std::fabs(wx) < 6.0f) {
            const int check = static_cast<int>(std::floor(wx)) + static_cast<int>(std::floor(wz));
            if ((check & 1) == 0) {
                add.r += 0.30f;
                add.g += 0.30f;
                add.b += 0.30f;
            }
        }
        return add;
    });
}

// The course: the start line in the middle (the chequered band on the ground),
// north up the middle, round the western half of the dirt circuit inside the
// ramp, and back up the middle to the line.
const std::vector<Waypoint> meadowCourse = {
    {0, -2, 12},    {0, -16, 14}, {-20, -37, 14}, {-40, -22, 12},
    {-44, 0, 14},   {-40, 22, 12}, {-20, 37, 14}, {0, 22, 14},
};

} // namespace

void makeMeadow(const std::string& folder, Report& report) {
    const Corners corners = cornersFrom(cornerHeight);
    const TrackShape shape = writeGround(folder, 1, corners, makeGrowth(corners), report);
    writeBmp(folder + "/Tracks/Texture_01.bmp", makeGround());
    writeBmp(folder + "/Tracks/TextureOverlay_01.bmp", makeOverlay(corners));
    makeCourse(folder, CourseSpec{1, "Meadow", meadowCourse}, shape, report);
}

} // namespace gen
