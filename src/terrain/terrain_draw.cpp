// terrain_draw.cpp -- the ground in two passes from display lists, and the
// growth crosses a texture at a time.
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
                glVertex3f(px, terrainHeightAt(map, x + corners[k][0], z + corners[k][1]), pz);
            }
        }
    }
    glEnd();
}

void emitGrowthQuad(float size) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(-size / 2, size, 0);
    glTexCoord2f(1, 1);
    glVertex3f(size / 2, size, 0);
    glTexCoord2f(1, 0);
    glVertex3f(size / 2, 0, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-size / 2, 0, 0);
    glEnd();
}

// Every cross of one growth texture: a crossed pair of upright squares on each
// marked cell's low corner.
void emitGrowth(const Terrain* map, int texture) {
    for (int32_t i = 1; i <= 31; ++i) {
        for (int32_t j = 1; j <= 31; ++j) {
            const GrowthKind* kind = growthKind(map->growth[i * 32 + j]);
            if (kind == nullptr || kind->texture != texture) {
                continue;
            }
            glPushMatrix();
            glTranslatef(6.25f * j, terrainHeightAt(map, 16 * j, 16 * i), 6.25f * i);
            glRotatef(static_cast<float>((i + j) * 17.52), 0, 1, 0);
            emitGrowthQuad(kind->size);
            glRotatef(90, 0, 1, 0);
            emitGrowthQuad(kind->size);
            glPopMatrix();
        }
    }
}

} // namespace

void compileTerrainLists(Terrain* map) {
    // The ground never changes once loaded: compiled once, each view replays it
    // instead of sending every vertex again. (The growth's squares stay in
    // immediate mode: a list draws a square as two triangles, and the alpha-
    // tested leaves' edges would not come out pixel for pixel the same.)
    map->groundLists = glGenLists(2);
    for (uint32_t pass = 0; map->groundLists != 0 && pass < 2; ++pass) {
        glNewList(map->groundLists + pass, GL_COMPILE);
        emitGround(map, pass == 1);
        glEndList();
    }
}

void drawTerrain(const Terrain* map) {
    const uint32_t lists = map->groundLists;
    glColor3f(1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, map->baseTexture);
    glPushMatrix();
    glTranslatef(-100, 0, -100);
    lists != 0 ? glCallList(lists) : emitGround(map, false);

    // The overlay goes over the same triangles. With opaque textures and no
    // alpha in the frame buffer both factors are one: the lit overlay is added.
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_ALPHA, GL_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, map->overlayTexture);
    lists != 0 ? glCallList(lists + 1) : emitGround(map, true);
    glDisable(GL_BLEND);

    // Growth, a texture at a time: tinted without blue and lit like flat ground.
    glColor3f(1, 1, 0);
    glNormal3f(0, 1, 0);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_NOTEQUAL, 0);
    for (int texture = 0; texture < 4; ++texture) {
        glBindTexture(GL_TEXTURE_2D, map->growthTextures[texture]);
        emitGrowth(map, texture);
    }
    glDisable(GL_ALPHA_TEST);
    glPopMatrix();
}
