// terrain_draw.cpp -- the ground in two passes and the growth crosses a texture
// at a time, from display lists or vertex by vertex.
#include <cmath>

#include "common/gl_api.h"
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
    glBegin(GL_TRIANGLES);
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
                glNormal3fv(normals[k]);
                if (overlay) {
                    glTexCoord2f(px / 200, 1 - pz / 200);
                } else {
                    glTexCoord2f(px * 20 / 200, 20 - pz * 20 / 200);
                }
                glVertex3f(px, terrainHeightAt(&map->ground, x + corners[k][0], z + corners[k][1]), pz);
            }
        }
    }
    glEnd();
}

// Every cross of one growth texture, already placed: one batch of squares.
void emitGrowth(const Terrain* map, int texture) {
    glBegin(GL_QUADS);
    for (int32_t i = 1; i <= 31; ++i) {
        for (int32_t j = 1; j <= 31; ++j) {
            const GrowthKind* kind = growthKind(map->ground.growth[i * 32 + j]);
            if (kind == nullptr || kind->texture != texture) {
                continue;
            }
            float corners[8][5];
            growthCrossCorners(i, j, kind->size, terrainHeightAt(&map->ground, 16 * j, 16 * i), corners);
            for (const float* corner : corners) {
                glTexCoord2f(corner[3], corner[4]);
                glVertex3fv(corner);
            }
        }
    }
    glEnd();
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

void compileTerrainLists(Terrain* map) {
    // The ground and the growth never change once loaded: compiled once, each
    // view replays them instead of sending every vertex again. Lists 0 and 1
    // are the ground's two passes, 2 to 5 the growth a texture at a time. A
    // track built again replaces the lists of the last one.
    if (map->lists != 0) {
        glDeleteLists(map->lists, 6);
    }
    map->lists = glGenLists(6);
    for (uint32_t list = 0; map->lists != 0 && list < 6; ++list) {
        glNewList(map->lists + list, GL_COMPILE);
        if (list < 2) {
            emitGround(map, list == 1);
        } else {
            emitGrowth(map, static_cast<int>(list - 2));
        }
        glEndList();
    }
}

void drawGround(const Terrain* map) {
    const uint32_t lists = map->lists;
    glColor3f(1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, map->baseTexture);
    glPushMatrix();
    glTranslatef(-100, 0, -100);
    lists != 0 ? glCallList(lists) : emitGround(map, false);

    // The overlay goes over the same triangles at the same depths and is added
    // to the lit base. The plain way says so with the frame buffer's alpha and
    // the texel's, both one; the listed way adds without reading them and
    // leaves the depth buffer as the base pass left it.
    glEnable(GL_BLEND);
    if (lists != 0) {
        glBlendFunc(GL_ONE, GL_ONE);
        glDepthMask(GL_FALSE);
    } else {
        glBlendFunc(GL_DST_ALPHA, GL_SRC_ALPHA);
    }
    glBindTexture(GL_TEXTURE_2D, map->overlayTexture);
    lists != 0 ? glCallList(lists + 1) : emitGround(map, true);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glPopMatrix();
}

void drawGrowth(const Terrain* map) {
    // A texture at a time: tinted without blue and lit like flat ground.
    glColor3f(1, 1, 0);
    glNormal3f(0, 1, 0);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_NOTEQUAL, 0);
    glPushMatrix();
    glTranslatef(-100, 0, -100);
    for (int texture = 0; texture < 4; ++texture) {
        glBindTexture(GL_TEXTURE_2D, map->growthTextures[texture]);
        map->lists != 0 ? glCallList(map->lists + 2 + static_cast<uint32_t>(texture)) : emitGrowth(map, texture);
    }
    glPopMatrix();
    glDisable(GL_ALPHA_TEST);
}
