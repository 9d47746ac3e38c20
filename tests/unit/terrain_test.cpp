// terrain_test.cpp -- height samples, the drawn surface's height, corner normals, raw files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/fake/fake_platform.h"
#include "support/temp_dir.h"
#include "terrain/terrain.h"

namespace {

// A zeroed terrain of its own (the record is large: static storage).
Terrain& freshTerrain() {
    static Terrain map;
    std::memset(&map, 0, sizeof map);
    return map;
}

void setSample(Terrain& map, int x, int z, uint8_t value) { map.ground.heights[z * 512 + x] = value; }

TEST(Terrain, SamplesInWorldUnitsWrappingThroughTheMaskAndTheSurfaceBetween) {
    Terrain& map = freshTerrain();
    setSample(map, 16, 32, 255);
    setSample(map, 496, 0, 10);
    EXPECT_NEAR(terrainHeightAt(&map.ground, 16, 32), 12.75f, 1e-5f);
    EXPECT_FLOAT_EQ(terrainHeightAt(&map.ground, -16, 0), 0.5f);
    EXPECT_FLOAT_EQ(terrainHeightAt(&map.ground, 496 - 1024, 512), 0.5f);
    EXPECT_EQ(terrainHeightAt(nullptr, 16, 32), 0.0f);
    // The surface is two triangles a cell: from world (0, 0) to (6.25, 6.25): corners 1, 2, 5 and 3 units high.
    std::memset(map.ground.heights, 0, sizeof map.ground.heights);
    setSample(map, 256, 256, 20);
    setSample(map, 272, 256, 40);
    setSample(map, 272, 272, 100);
    setSample(map, 256, 272, 60);
    EXPECT_NEAR(terrainSurfaceHeight(&map.ground, 0.0f, 0.0f), 1.0f, 1e-5f);
    EXPECT_NEAR(terrainSurfaceHeight(&map.ground, 6.249999f, 6.249999f), 5.0f, 1e-4f);
    EXPECT_NEAR(terrainSurfaceHeight(&map.ground, 3.125f, 3.125f), 3.0f, 1e-5f); // on the diagonal
    EXPECT_NEAR(terrainSurfaceHeight(&map.ground, 5.0f, 1.0f), 2.28f, 1e-5f);   // below it: 1 + 0.8 + 0.48
    EXPECT_NEAR(terrainSurfaceHeight(&map.ground, 1.0f, 5.0f), 2.92f, 1e-5f);   // above it: 1 + 0.32 + 1.6
}

TEST(Terrain, SurfaceOffTheMapStaysDefined) {
    Terrain& map = freshTerrain();
    setSample(map, 0, 0, 40); // the corner at world (-100, -100)
    EXPECT_NEAR(terrainSurfaceHeight(&map.ground, 100.0f, 100.0f), 2.0f, 1e-5f); // wraps to it
    std::memset(map.ground.heights, 20, sizeof map.ground.heights);
    setSample(map, 0, 0, 200);
    for (float far : {3e9f, -5e12f, 1e30f}) {
        const float h = terrainSurfaceHeight(&map.ground, far, -far);
        EXPECT_GE(h, 0.0f) << far;
        EXPECT_LE(h, 10.0f) << far;
    }
    EXPECT_TRUE(std::isnan(terrainSurfaceHeight(&map.ground, NAN, 0.0f)));
    terrainSurfaceHeight(&map.ground, -INFINITY, INFINITY); // reads nothing outside the heights
}

TEST(Terrain, CornerNormalsFromTheNeighbours) {
    Terrain& map = freshTerrain();
    // A bump 2 units high: its left neighbour leans away by atan(2 / 12.5).
    setSample(map, 256, 256, 40);
    float left[3], top[3];
    terrainCornerNormal(&map.ground, 240, 256, left);
    EXPECT_NEAR(left[0], -0.157991f, 1e-6f);
    EXPECT_NEAR(left[1], 0.921004f, 1e-6f);
    terrainCornerNormal(&map.ground, 256, 256, top);
    EXPECT_EQ(std::pair(top[0], top[2]), std::pair(0.0f, 0.0f)); // the bump's own slopes cancel
    EXPECT_EQ(left[2], 0.0f);
    // At the far edge the neighbour is the other side's sample; row and column 0 get none.
    Terrain& edge = freshTerrain();
    setSample(edge, 0, 496, 40);
    computeTerrainNormals(edge);
    EXPECT_NEAR(edge.cornerNormals[normalCell(496, 496)][0][0], -0.157991f, 1e-6f);
    EXPECT_EQ(edge.cornerNormals[0][0][1], 0.0f);
}

// A tree (8 units) on cell j 2, i 3 at height 1.5: turned 5 x 17.52 = 87.6
// degrees about the upright axis, as glRotatef turns (x, 0, 0) to (x cos, 0,
// -x sin); the second square a quarter further, at 177.6 degrees.
TEST(Terrain, GrowthCrossesArePlacedAsTheTurnedSquares) {
    float corners[8][5];
    growthCrossCorners(3, 2, 8.0f, 1.5f, corners);
    const float expected[3][5] = {{12.3325f, 9.5f, 22.7465f, 0, 1},  // first square, top left
                                  {8.5035f, 9.5f, 18.5825f, 1, 1},   // second square, top right
                                  {16.4965f, 1.5f, 18.9175f, 0, 0}}; // second square, bottom left
    const int which[3] = {0, 5, 7};
    for (int n = 0; n < 3; ++n) {
        for (int k = 0; k < 5; ++k) {
            EXPECT_NEAR(corners[which[n]][k], expected[n][k], 2e-4f) << which[n] << ' ' << k;
        }
    }
}

TEST(Terrain, RawFilesMissingShortAndWhole) {
    resetFakePlatform();
    TempDir dir;
    uint8_t target[8];
    std::memset(target, 9, sizeof target);
    loadRawFile(dir.file("missing.raw").c_str(), sizeof target, target);
    EXPECT_EQ(target[0], 9);
    loadRawFile(dir.write("short.raw", std::string("\x01\x02\x03", 3)).c_str(), sizeof target, target);
    EXPECT_EQ(target[2], 3);
    EXPECT_EQ(target[3], 9); // the rest keeps what it held
    loadRawFile(dir.write("whole.raw", std::string(12, '\x05')).c_str(), sizeof target, target);
    EXPECT_EQ(target[7], 5); // a longer file is read up to the count, silently
    ASSERT_EQ(fake.messageBoxes.size(), 2u);
    EXPECT_EQ(fake.messageBoxes[0].text, "Unable to locate h data!");
    EXPECT_EQ(fake.messageBoxes[1].text, "Failed to init h data!");
    EXPECT_EQ(fake.captions(), "Error|Error");
}

} // namespace
