// terrain_gl_test.cpp -- the ground and the growth drawn on a crafted map, pixels read back.
#include <gtest/gtest.h>

#include <cstring>

#include "core/app_state.h"
#include "assets/texture.h"
#include "common/gl_api.h"
#include "platform/fake/fake_platform.h"
#include "render/gl_state.h"
#include "support/gl_context.h"
#include "support/temp_dir.h"
#include "terrain/terrain.h"

namespace {

// One texel textures of a known colour.
uint32_t solidTexture(uint8_t r, uint8_t g, uint8_t b, int bits = 24) {
    uint32_t name = 0;
    const uint8_t rgba[4] = {r, g, b, 255};
    uploadTexture(&name, 0, bits == 24 ? GL_RGB : GL_RGBA, 1, 1, bits == 24 ? GL_RGB : GL_RGBA, rgba);
    return name;
}

class TerrainDrawTest : public GlTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openContext(200, 200));
        std::memset(&terrain, 0, sizeof terrain);
        std::memset(terrain.growth, 255, sizeof terrain.growth);
        computeTerrainNormals(terrain);
        terrain.baseTexture = solidTexture(100, 40, 20);
        terrain.overlayTexture = solidTexture(10, 60, 30);
        for (int k = 0; k < 4; ++k) {
            terrain.growthTextures[k] = solidTexture(200, 150, 90, 32);
        }
        // A light straight above, no ambient: flat ground is lit at exactly its colour.
        const float none[4] = {0, 0, 0, 1};
        const float white[4] = {1, 1, 1, 1};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
        glLightfv(GL_LIGHT1, GL_AMBIENT, none);
        glLightfv(GL_LIGHT1, GL_DIFFUSE, white);
        glEnable(GL_LIGHT1);
    }

    // Looking straight down: world x to the right, world -z up, 1 pixel a unit.
    void drawFromAbove() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-100, 100, -100, 100, -50, 50);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(90, 1, 0, 0);
        draw();
    }
    // Looking along -z: world x to the right, y up, 1 pixel a unit, y = 0 at row 100.
    void drawFromTheSide() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-100, 100, -100, 100, -200, 200);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        draw();
    }
    void draw() {
        const float above[4] = {0, 1, 0, 0};
        glLightfv(GL_LIGHT1, GL_POSITION, above);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_LIGHTING);
        drawTerrain(&terrain);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
    }
    // The pixel over world (x, z) in the view from above.
    Rgb ground(float x, float z) const {
        return context->pixel(static_cast<int>(x + 100), static_cast<int>(100 - z));
    }
};

TEST_F(TerrainDrawTest, OverlayIsAddedToTheLitBase) {
    drawFromAbove();
    const Rgb centre = ground(0, 0);
    EXPECT_NEAR(centre.r, 110, 2);
    EXPECT_NEAR(centre.g, 100, 2);
    EXPECT_NEAR(centre.b, 50, 2);
}

TEST_F(TerrainDrawTest, OuterRingOfCellsIsNotDrawn) {
    drawFromAbove();
    const Rgb grey{128, 128, 128};
    EXPECT_EQ(ground(-97, 0), grey);  // cells with low corner 0
    EXPECT_EQ(ground(97, 0), grey);   // cells with low corner 496
    EXPECT_EQ(ground(0, -97), grey);
    EXPECT_EQ(ground(0, 97), grey);
    EXPECT_NE(ground(-92, 0), grey);  // the drawn ground spans -93.75..93.75
    EXPECT_NE(ground(92, 92), grey);
}

TEST_F(TerrainDrawTest, HeightsLiftTheGround) {
    // Raise one corner: seen from the side the ground rises to meet it.
    terrain.heights[256 * 512 + 256] = 200; // 10 units at the world origin
    computeTerrainNormals(terrain);
    drawFromTheSide();
    EXPECT_NE(context->pixel(100, 100 + 8), (Rgb{128, 128, 128}));
    EXPECT_EQ(context->pixel(100, 100 + 12), (Rgb{128, 128, 128}));
}

TEST_F(TerrainDrawTest, GrowthStandsOnItsCellWithoutBlue) {
    terrain.growth[16 * 32 + 16] = 192; // a tree, 8 high, at the world origin
    terrain.growth[16 * 32 + 20] = 100; // a value of no kind: nothing
    drawFromTheSide();
    const Rgb tree = context->pixel(100, 100 + 4);
    EXPECT_NEAR(tree.r, 200, 2);
    EXPECT_NEAR(tree.g, 150, 2);
    EXPECT_EQ(tree.b, 0); // tinted with (1, 1, 0)
    EXPECT_EQ(context->pixel(100, 100 + 9), (Rgb{128, 128, 128})); // 8 high, no more
    // At world x = 25 (column 20) nothing stands.
    EXPECT_EQ(context->pixel(125, 100 + 4), (Rgb{128, 128, 128}));
}

TEST_F(TerrainDrawTest, LeavesTheStateItPromises) {
    terrain.growth[5 * 32 + 5] = 0;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    drawTerrain(&terrain);
    const Matrix4 m = readMatrix(GL_MODELVIEW_MATRIX);
    EXPECT_FLOAT_EQ(static_cast<float>(m.m[12]), 1.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(m.m[14]), 3.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 0.0f);
    float normal[3];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_EQ(normal[1], 1.0f);
}

TEST_F(TerrainDrawTest, GeneratedTrackBuildsWithoutAMessage) {
    WorkingDirectory run(MUDLARK_RUN_DIR);
    buildTerrain(&terrain, 2);
    EXPECT_EQ(fake.captions(), "");
    EXPECT_TRUE(glIsTexture(terrain.baseTexture));
    EXPECT_TRUE(glIsTexture(terrain.overlayTexture));
    for (uint32_t name : terrain.growthTextures) {
        EXPECT_TRUE(glIsTexture(name));
    }
}

TEST_F(TerrainDrawTest, MissingTrackFilesGiveTheirBoxesAndAFlatMap) {
    TempDir empty;
    WorkingDirectory here(empty.path());
    buildTerrain(&terrain, 2);
    EXPECT_EQ(fake.captions(), "Error|Error|Error -9|Error -9|Error -11|Error -11|Error -11|Error -11");
    EXPECT_EQ(fake.messageBoxes[0].text, "Unable to locate h data!");
    EXPECT_EQ(terrain.cornerNormals[256 * 512 + 256][0][1], 1.0f);
}

} // namespace
