// terrain.h -- the one terrain: its heights, growth map, textures and normals,
// the height queries the wheels use, and its construction and drawing.
#pragma once

#include <cstdint>

struct PlayLines; // what the players are told of pictures that cannot be read

constexpr int terrainSamples = 512;      // height samples along each side
constexpr int terrainCornerStep = 16;    // only every sixteenth sample is a cell corner
constexpr int growthCells = 32;          // growth entries along each side
constexpr float terrainCellSize = 6.25f; // world units per cell
constexpr float terrainHalfSize = 100.0f;

// Growth values; everything else draws nothing.
constexpr uint8_t growthTuft = 0;
constexpr uint8_t growthShrub = 64;
constexpr uint8_t growthBush = 128;
constexpr uint8_t growthTree = 192;
constexpr uint8_t growthNone = 255;

// What the wheels stand on and what grows there: the part of a track that a
// simulated world holds (no pictures, no GL).
struct TerrainMap {
    uint8_t heights[terrainSamples * terrainSamples]; // sample (x, z) at z * 512 + x; x 0.05 units
    uint8_t growth[growthCells * growthCells];       // cell (j, i) at i * 32 + j
};

// The terrain as the views draw it: a copy of the world's map, its pictures,
// its normals and its meshes.
struct Terrain {
    TerrainMap ground;
    uint32_t baseTexture;       // tiled 20 times across the map
    uint32_t overlayTexture;    // stretched once over the map and added to the base
    uint32_t growthTextures[4]; // growth kinds 1 to 4
    // For the cell whose low corner is sample (x, z), at cornerNormals[normalCell
    // (x, z)]: the normals of triangle A's corners (x, z), (x+16, z), (x+16, z+16),
    // then of triangle B's corners (x, z), (x+16, z+16), (x, z+16). Filled only
    // for x and z in 16..496, the cells that are drawn.
    float cornerNormals[growthCells * growthCells][6][3];
    // Six meshes once made (the ground's base and overlay passes, the growth
    // of each texture); with none the ground is drawn vertex by vertex.
    uint32_t meshes[6];
};

extern Terrain terrain; // the one the window draws (its GL names are one per process)

// The cell of cornerNormals whose low corner is sample (x, z), both multiples of 16.
constexpr int32_t normalCell(int32_t x, int32_t z) { return (z / 16) * growthCells + x / 16; }

// Reads up to byteCount bytes of the file into destination. A missing file shows
// "Unable to locate h data!", a file that cannot be read in full "Failed to init
// h data!" (caption "Error", no icon); the bytes not read keep their values.
void loadRawFile(const char* path, uint32_t byteCount, uint8_t* destination);

// Height in world units of grid sample (x, z); the coordinates wrap into 0..511.
// A null terrain has height 0.
float terrainHeightAt(const TerrainMap* map, int32_t x, int32_t z);

// Height of the drawn surface at a world position: the plane of the triangle
// under it, so a wheel rests exactly on what is drawn.
float terrainSurfaceHeight(const TerrainMap* map, float worldX, float worldZ);

// The vertex normal of corner sample (a, b): slopes from the neighbours 16
// samples away, not rescaled to unit length.
void terrainCornerNormal(const TerrainMap* map, int32_t a, int32_t b, float normal[3]);

// Fills cornerNormals for every drawn cell from the heights.
void computeTerrainNormals(Terrain& map);

// Reads a track's heights and growth (trackFiles) into map, each file's
// failure said in its box.
void loadTerrainMap(TerrainMap& map, int32_t track);

// The drawn terrain of a track whose map the world holds: a copy of the map,
// the track's ground pictures and the four growth pictures, the normals and the
// display lists. Building again replaces all of it.
void buildTerrain(Terrain* map, PlayLines& said, const TerrainMap& ground, int32_t filter, int32_t track);

// Draw inside the caller's camera transform, with texturing and lighting on:
// the ground's base and overlay passes, and the growth crosses.
void drawGround(const Terrain* map);
void drawGrowth(const Terrain* map);

// The eight corners of the growth cross on cell (j, i), two upright squares of
// this size standing on the cell's low corner, the first turned (i + j) x 17.52
// degrees about the upright axis and the second a quarter further: x, y, z in
// the map's own coordinates (0..200), then s and t.
void growthCrossCorners(int32_t i, int32_t j, float size, float groundHeight, float corners[8][5]);

// Makes the ground's two passes and the growth into meshes (needs the GL
// context; buildTerrain does it unless MUDLARK_IMMEDIATE is set).
void makeTerrainMeshes(Terrain* map);
