// terrain_draw.cpp -- the ground in two passes and the growth crosses a texture
// at a time, from meshes or vertex by vertex.
#include <cmath>

#include "render/render.h"
#include "terrain/terrain.h"

namespace {

struct GrowthKind {
    int texture; // index into growthTextures
    float size;  // width and height of the cross, world units
};

// The kind drawn for a growth value, or null for none.
const GrowthKind* growthKind(uint8_t value) {
    static const GrowthKind kinds[4] = {{0, 1.0f}, {1, 2.0f}, {2, 6.0f}, {3, 8.0f}};
    switch (value) {
    case growthTuft:
        return &kinds[0];
    case growthShrub:
        return &kinds[1];
    case growthBush:
        return &kinds[2];
    case growthTree:
        return &kinds[3];
    default:
        return nullptr;
    }
}

// One pass over the drawn cells (low corners 16..480), six vertices a cell.
// overlay chooses the texture coordinates: stretched once, or tiled 20 times.
void emitGround(const Terrain* map, bool overlay) {
    static const int32_t corners[6][2] = {{0, 0}, {16, 0}, {16, 16}, {0, 0}, {16, 16}, {0, 16}};
    begin(Primitive::triangles);
    float cellZ = 0.0f;
    for (int32_t z = 16; z <= 480; z += 16) {
        cellZ += 6.25f;
        float cellX = 0.0f;
        for (int32_t x = 16; x <= 480; x += 16) {
            cellX += 6.25f;
            const float(*normals)[3] = map->cornerNormals[normalCell(x, z)];
            for (int k = 0; k < 6; ++k) {
                const float px = cellX + (corners[k][0] != 0 ? 6.25f : 0.0f);
                const float pz = cellZ + (corners[k][1] != 0 ? 6.25f : 0.0f);
                normal(normals[k][0], normals[k][1], normals[k][2]);
                if (overlay) {
                    texCoord(px / 200, 1 - pz / 200);
                } else {
                    texCoord(px * 20 / 200, 20 - pz * 20 / 200);
                }
                vertex(px, terrainHeightAt(&map->ground, x + corners[k][0], z + corners[k][1]), pz);
            }
        }
    }
    end();
}

// Every cross of one growth texture, already placed: one batch of squares.
void emitGrowth(const Terrain* map, int texture) {
    begin(Primitive::quads);
    for (int32_t i = 1; i <= 31; ++i) {
        for (int32_t j = 1; j <= 31; ++j) {
            const GrowthKind* kind = growthKind(map->ground.growth[i * 32 + j]);
            if (kind == nullptr || kind->texture != texture) {
                continue;
            }
            float corners[8][5];
            growthCrossCorners(i, j, kind->size, terrainHeightAt(&map->ground, 16 * j, 16 * i), corners);
            for (const float* corner : corners) {
                texCoord(corner[3], corner[4]);
                vertex(corner[0], corner[1], corner[2]);
            }
        }
    }
    end();
}

} // namespace

void growthCrossCorners(int32_t i, int32_t j, float size, float groundHeight, float corners[8][5]) {
    // The squares' corners before the turn: x across, y up, with their texture
    // coordinates; the second square is the first turned a further quarter.
    static const float square[4][4] = {{-0.5f, 1, 0, 1}, {0.5f, 1, 1, 1}, {0.5f, 0, 1, 0}, {-0.5f, 0, 0, 0}};
    for (int q = 0; q < 2; ++q) {
        const double turn = ((i + j) * 17.52 + 90.0 * q) * 3.14159265358979323846 / 180.0;
        const float c = static_cast<float>(std::cos(turn));
        const float s = static_cast<float>(std::sin(turn));
        for (int k = 0; k < 4; ++k) {
            float* corner = corners[q * 4 + k];
            const float x = square[k][0] * size;
            // Turned about the upright axis, anticlockwise seen from above.
            corner[0] = terrainCellSize * static_cast<float>(j) + x * c;
            corner[1] = groundHeight + square[k][1] * size;
            corner[2] = terrainCellSize * static_cast<float>(i) - x * s;
            corner[3] = square[k][2];
            corner[4] = square[k][3];
        }
    }
}

void makeTerrainMeshes(Terrain* map) {
    // The ground and the growth never change once loaded: made once, each view
    // draws them instead of sending every vertex again. Meshes 0 and 1 are the
    // ground's two passes, 2 to 5 the growth a texture at a time. A track built
    // again replaces the meshes of the last one.
    for (uint32_t& mesh : map->meshes) {
        deleteMesh(mesh);
        mesh = 0;
    }
    for (int part = 0; part < 6; ++part) {
        const uint32_t mesh = beginMesh();
        if (mesh == 0) {
            return;
        }
        if (part < 2) {
            emitGround(map, part == 1);
        } else {
            emitGrowth(map, part - 2);
        }
        endMesh();
        map->meshes[part] = mesh;
    }
}

void drawGround(const Terrain* map) {
    const bool meshes = map->meshes[0] != 0;
    colour(1, 1, 1);
    bindTexture(map->baseTexture);
    pushMatrix();
    translate(-100, 0, -100);
    meshes ? drawMesh(map->meshes[0]) : emitGround(map, false);

    // The overlay goes over the same triangles at the same depths and is added
    // to the lit base. The plain way says so with the frame buffer's alpha and
    // the texel's, both one; the meshes add without reading them and leave the
    // depth buffer as the base pass left it.
    enable(Feature::blend);
    if (meshes) {
        blendFunction(Blend::one, Blend::one);
        depthWrites(false);
    } else {
        blendFunction(Blend::destinationAlpha, Blend::sourceAlpha);
    }
    bindTexture(map->overlayTexture);
    meshes ? drawMesh(map->meshes[1]) : emitGround(map, true);
    depthWrites(true);
    disable(Feature::blend);
    popMatrix();
}

void drawGrowth(const Terrain* map) {
    // A texture at a time: tinted without blue and lit like flat ground.
    colour(1, 1, 0);
    normal(0, 1, 0);
    enable(Feature::alphaTest);
    alphaTest(AlphaPass::notZero);
    pushMatrix();
    translate(-100, 0, -100);
    for (int texture = 0; texture < 4; ++texture) {
        bindTexture(map->growthTextures[texture]);
        map->meshes[0] != 0 ? drawMesh(map->meshes[2 + texture]) : emitGrowth(map, texture);
    }
    popMatrix();
    disable(Feature::alphaTest);
}
