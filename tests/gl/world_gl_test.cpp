// world_gl_test.cpp -- the ground, the growth and the smoke drawn in a real GL
// context on crafted maps, pixels read back (the vehicles: frame_gl_test.cpp).
#include <gtest/gtest.h>

#include <cstring>

#include "assets/texture.h"
#include "common/gl_api.h"
#include "scene/scene.h"
#include "support/gl_context.h"
#include "terrain/terrain.h"
#include "vehicle/smoke.h"

namespace {

uint32_t solidTexture(uint8_t r, uint8_t g, uint8_t b, bool alpha = false) {
    uint32_t name = 0;
    const uint8_t rgba[4] = {r, g, b, 255};
    const GLenum format = alpha ? GL_RGBA : GL_RGB;
    uploadTexture(&name, 0, static_cast<int32_t>(format), 1, 1, format, rgba);
    return name;
}

class WorldTest : public GlTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openContext(200, 200));
        std::memset(&terrain, 0, sizeof terrain);
        std::memset(terrain.growth, 255, sizeof terrain.growth);
        computeTerrainNormals(terrain);
        terrain.baseTexture = solidTexture(100, 40, 20);
        terrain.overlayTexture = solidTexture(10, 60, 30);
        for (uint32_t& name : terrain.growthTextures) {
            name = solidTexture(200, 150, 90, true);
        }
        // A light straight above and no ambient: flat ground shows its own colour.
        const float none[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
        glLightfv(GL_LIGHT1, GL_AMBIENT, none);
        glLightfv(GL_LIGHT1, GL_DIFFUSE, white);
        glEnable(GL_LIGHT1);
    }
    // One pixel a unit: from above (x right, -z up) or from the side (x right, y up).
    void look(bool fromAbove, float half = 100) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-half, half, -half, half, -200, 200);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        if (fromAbove) {
            glRotatef(90, 1, 0, 0);
        }
    }
    void drawGround(bool fromAbove) {
        look(fromAbove);
        const float above[4] = {0, 1, 0, 0}; // placed in the world, after the camera
        glLightfv(GL_LIGHT1, GL_POSITION, above);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_LIGHTING);
        drawTerrain(&terrain);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
    }
};

TEST_F(WorldTest, GroundIsTheLitBasePlusTheOverlayInsideItsOuterRing) {
    drawGround(true);
    const Rgb centre = pixel(100, 100);
    EXPECT_NEAR(centre.r, 110, 2);
    EXPECT_NEAR(centre.g, 100, 2);
    EXPECT_NEAR(centre.b, 50, 2);
    for (auto [x, y] : {std::pair{3, 100}, {197, 100}, {100, 3}, {100, 197}}) {
        EXPECT_EQ(pixel(x, y), clearGrey) << x << "," << y; // the outer cells are not drawn
    }
    EXPECT_NE(pixel(8, 100), clearGrey); // the ground spans -93.75..93.75
}

TEST_F(WorldTest, HeightsLiftTheGroundAndGrowthStandsOnItsCell) {
    terrain.heights[256 * 512 + 256] = 200; // 10 units at the origin
    terrain.growth[16 * 32 + 20] = 192;      // a tree, 8 high, at x = 25
    terrain.growth[16 * 32 + 24] = 100;      // no kind: nothing at x = 50
    computeTerrainNormals(terrain);
    drawGround(false);
    EXPECT_NE(pixel(100, 108), clearGrey);
    EXPECT_EQ(pixel(100, 112), clearGrey);
    const Rgb tree = pixel(125, 104);
    EXPECT_NEAR(tree.r, 200, 2);
    EXPECT_EQ(tree.b, 0); // tinted yellow
    EXPECT_EQ(pixel(125, 109), clearGrey);
    EXPECT_EQ(pixel(150, 104), clearGrey);
    // What the drawing promises to leave: no blend, no alpha test, the matrix.
    EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX)[0], 1.0);
}

TEST_F(WorldTest, SmokeDrawsOnlyLivePuffsAndBrightensWhatIsBehind) {
    resetSmoke(); // nothing while the pool is free
    look(false, 2);
    drawSmoke(solidTexture(255, 255, 255, true), 0, 0, 0);
    EXPECT_EQ(painted({0, 0, 200, 200}), 0);
    const float at[3] = {0, 0, 0};
    emitSmoke(at, at);
    smoke.particles[0].life = 50;
    drawSmoke(solidTexture(255, 255, 255, true), 0, 0, 0);
    EXPECT_GT(pixel(100, 100).r, 150);
    EXPECT_EQ(pixel(5, 5), clearGrey);
    EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_ALPHA_TEST));
}

} // namespace
