// data_set.h -- the parts of the generated data set.
#pragma once

#include <cstdint>
#include <string>

namespace gen {

// A few facts about what was made, for the generator's summary line.
struct Report {
    int growthCounts[5] = {}; // kinds 1 to 4, then empty cells
    int lowestCorner = 0;     // corner heights in bytes (x 0.05 units)
    int highestCorner = 0;
    int modelVertices = 0;
    int modelFaces = 0;
    int modelTextures = 0;
};

// Tracks/: Terrain_01.raw, Growth_01.raw, Texture_01.bmp, TextureOverlay_01.bmp.
void makeTrack(const std::string& folder, Report& report);

// Textures/: Growth_01.tga .. Growth_04.tga, SmokeMap.tga, ShadowMap.bmp.
void makeScenePictures(const std::string& folder);

// Models/: Model01.obj and the buggy's own TGA textures.
void makeBuggy(const std::string& folder, Report& report);

// Icons/: mudlark-48.png, mudlark-128.png and mudlark-256.png, for the desktop.
void makeIcons(const std::string& folder);

} // namespace gen
