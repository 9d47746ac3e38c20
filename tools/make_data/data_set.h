// data_set.h -- the parts of the generated data set.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gen {

// A few facts about what was made, for the generator's summary line.
struct Report {
    int growthCounts[5] = {}; // kinds 1 to 4, then empty cells
    int lowestCorner = 0;     // corner heights in bytes (x 0.05 units)
    int highestCorner = 0;
    int modelVertices = 0;
    int modelFaces = 0;
    int modelTextures = 0;
    int gates = 0;
    float courseLength = 0;  // units, once round
    float steepestLeg = 0;   // rise over run
};

// A course's waypoint: where a gate stands and how wide it is. Its heading
// halves the turn from the gate before to the gate after.
struct Waypoint {
    float x, z, width;
};

struct CourseSpec {
    int number;       // the track's
    const char* name; // "# name:" of the gates file
    std::vector<Waypoint> waypoints;
};

// A made track as the course planner sees it: the height of the drawn ground at
// a world point, and the growth map (32 x 32, row by row along z).
struct TrackShape {
    std::function<float(float x, float z)> height;
    std::vector<uint8_t> growth;
};

// Track 1, Meadow: Tracks/Terrain_01.raw, Growth_01.raw, Texture_01.bmp,
// TextureOverlay_01.bmp and Gates_01.txt.
void makeMeadow(const std::string& folder, Report& report);

// Track 2, Long Valley: the same files numbered 02, its ground pictures an
// 8-bit run-length BMP and a run-length TGA.
void makeValley(const std::string& folder, Report& report);

// Track 3, Quarry: numbered 03, its ground a top-row-first run-length TGA and
// its overlay a 4-bit run-length BMP.
void makeQuarry(const std::string& folder, Report& report);

// Tracks/Gates_NN.txt, a course over a track's ground. Exits with a message
// when a gate stands in growth or a leg is too steep.
void makeCourse(const std::string& folder, const CourseSpec& course, const TrackShape& shape, Report& report);

// Textures/GatePost.tga and GateBanner.tga, the pictures of every gate.
void makeGatePictures(const std::string& folder);

// Textures/: Growth_01.tga .. Growth_04.tga, SmokeMap.tga, ShadowMap.bmp.
void makeScenePictures(const std::string& folder);

// Models/: Model01.obj and the buggy's own TGA textures.
void makeBuggy(const std::string& folder, Report& report);

// targa/ and bitmap/: small run-length TGA and BMP pictures of each kind, to
// start the picture readers' fuzzing from.
void makeFuzzSeeds(const std::string& folder);

// Icons/: mudlark-48.png, mudlark-128.png and mudlark-256.png, for the desktop.
void makeIcons(const std::string& folder);

// Textures/Font.tga: the glyphs of the game's font in their cells.
void makeFontPicture(const std::string& folder);

} // namespace gen
