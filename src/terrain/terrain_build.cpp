// terrain_build.cpp -- the drawn terrain: the raw files, its pictures and the corner normals.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "assets/texture.h"
#include "platform/platform.h"
#include "terrain/terrain.h"
#include "terrain/track.h"

Terrain terrain;

void terrainCornerNormal(const TerrainMap* map, int32_t a, int32_t b, float normal[3]) {
    const float h = terrainHeightAt(map, a, b);
    const float dx1 = terrainHeightAt(map, a - 16, b) - h;
    const float dx2 = h - terrainHeightAt(map, a + 16, b);
    const float sx = (dx1 + dx2) / 2;
    const float dz1 = terrainHeightAt(map, a, b - 16) - h;
    const float dz2 = h - terrainHeightAt(map, a, b + 16);
    const float sz = (dz1 + dz2) / 2;
    // A slope falling toward +x tilts the normal toward +x. The upward part is a
    // linear estimate: the vector is not rescaled to unit length.
    const float nx = static_cast<float>(std::sin(std::atan(sx / 6.25)));
    const float nz = static_cast<float>(std::sin(std::atan(sz / 6.25)));
    const float ny = 1 - (std::fabs(nx) + std::fabs(nz)) / 2;
    normal[0] = nx;
    normal[1] = ny;
    normal[2] = nz;
}

void computeTerrainNormals(Terrain& map) {
    static const int32_t corners[6][2] = {{0, 0}, {16, 0}, {16, 16}, {0, 0}, {16, 16}, {0, 16}};
    for (int32_t z = 16; z <= 496; z += 16) {
        for (int32_t x = 16; x <= 496; x += 16) {
            float(*cell)[3] = map.cornerNormals[normalCell(x, z)];
            for (int k = 0; k < 6; ++k) {
                terrainCornerNormal(&map.ground, x + corners[k][0], z + corners[k][1], cell[k]);
            }
        }
    }
}

void buildTerrain(Terrain* map, PlayLines& said, const TerrainMap& ground, int32_t filter, int32_t track) {
    const TrackFiles files = trackFiles(track);
    map->ground = ground;
    // Each ground picture as whichever kind of file it is.
    (files.groundIsTarga ? loadTargaTexture : loadBitmapTexture)(said, files.ground, &map->baseTexture, filter);
    (files.overlayIsTarga ? loadTargaTexture : loadBitmapTexture)(said, files.overlay, &map->overlayTexture, filter);
    loadTargaTexture(said, "Textures/Growth_01.tga", &map->growthTextures[0], filter);
    loadTargaTexture(said, "Textures/Growth_02.tga", &map->growthTextures[1], filter);
    loadTargaTexture(said, "Textures/Growth_03.tga", &map->growthTextures[2], filter);
    loadTargaTexture(said, "Textures/Growth_04.tga", &map->growthTextures[3], filter);
    computeTerrainNormals(*map);
    // A developer's switch: the same pictures drawn vertex by vertex, to compare.
    if (std::getenv("MUDLARK_IMMEDIATE") == nullptr) {
        makeTerrainMeshes(map);
    }
}
