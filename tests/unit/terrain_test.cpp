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

void setSample(Terrain& map, int x, int z, uint8_t value) { map.heights[z * 512 + x] = value; }

TEST(TerrainHeight, SamplesInWorldUnits) {
    Terrain& map = freshTerrain();
    setSample(map, 16, 32, 255);
    setSample(map, 48, 0, 20);
    EXPECT_NEAR(terrainHeightAt(&map, 16, 32), 12.75f, 1e-5f);
    EXPECT_FLOAT_EQ(terrainHeightAt(&map, 48, 0), 1.0f);
    EXPECT_EQ(terrainHeightAt(&map, 0, 0), 0.0f);
    EXPECT_EQ(terrainHeightAt(nullptr, 16, 32), 0.0f);
}

TEST(TerrainHeight, CoordinatesWrapThroughTheMask) {
    Terrain& map = freshTerrain();
    setSample(map, 496, 0, 10);
    setSample(map, 0, 16, 30);
    EXPECT_FLOAT_EQ(terrainHeightAt(&map, -16, 0), 0.5f);
    EXPECT_FLOAT_EQ(terrainHeightAt(&map, 512, 528), 1.5f);
    EXPECT_FLOAT_EQ(terrainHeightAt(&map, 496 - 1024, 0), 0.5f);
}

// A cell with low corner (256, 256), that is world (0, 0) to (6.25, 6.25).
Terrain& slopedCell(uint8_t h00, uint8_t h10, uint8_t h11, uint8_t h01) {
    Terrain& map = freshTerrain();
    setSample(map, 256, 256, h00);
    setSample(map, 272, 256, h10);
    setSample(map, 272, 272, h11);
    setSample(map, 256, 272, h01);
    return map;
}

TEST(TerrainSurface, CornersGiveTheirOwnHeights) {
    Terrain& map = slopedCell(20, 40, 100, 60);
    EXPECT_NEAR(terrainSurfaceHeight(&map, 0.0f, 0.0f), 1.0f, 1e-5f);
    EXPECT_NEAR(terrainSurfaceHeight(&map, 6.249999f, 0.0f), 2.0f, 1e-4f);
    EXPECT_NEAR(terrainSurfaceHeight(&map, 6.249999f, 6.249999f), 5.0f, 1e-4f);
    EXPECT_NEAR(terrainSurfaceHeight(&map, 0.0f, 6.249999f), 3.0f, 1e-4f);
}

TEST(TerrainSurface, EachHalfOfTheCellIsItsOwnTriangle) {
    Terrain& map = slopedCell(20, 40, 100, 60);
    // The centre lies on the diagonal: triangle A, the mean of h00 and h11.
    EXPECT_NEAR(terrainSurfaceHeight(&map, 3.125f, 3.125f), 3.0f, 1e-5f);
    // Triangle A (fx >= fz): the plane through (0,0), (1,0), (1,1) corners.
    const float a = terrainSurfaceHeight(&map, 5.0f, 1.0f);
    EXPECT_NEAR(a, 1.0f + (2.0f - 1.0f) / 6.25f * 5.0f + (5.0f - 2.0f) / 6.25f * 1.0f, 1e-5f);
    // Triangle B (fx < fz): the plane through (0,0), (1,1), (0,1) corners.
    const float b = terrainSurfaceHeight(&map, 1.0f, 5.0f);
    EXPECT_NEAR(b, 1.0f + (5.0f - 3.0f) / 6.25f * 1.0f + (3.0f - 1.0f) / 6.25f * 5.0f, 1e-5f);
}

TEST(TerrainSurface, FarEdgeWrapsToTheOtherSide) {
    Terrain& map = freshTerrain();
    setSample(map, 0, 0, 40); // the corner at world (-100, -100)
    // Beyond +100 the corner samples wrap to 0: world (100, 100) reads corner (0, 0).
    EXPECT_NEAR(terrainSurfaceHeight(&map, 100.0f, 100.0f), 2.0f, 1e-5f);
    // From -106.25 to -100 truncation toward zero keeps cell 0, its plane extended.
    setSample(map, 16, 0, 40);
    EXPECT_NEAR(terrainSurfaceHeight(&map, -103.125f, -100.0f), 2.0f, 1e-5f);
}

TEST(TerrainSurface, PositionsFarOffTheMapStayDefined) {
    Terrain& map = freshTerrain();
    std::memset(map.heights, 20, sizeof map.heights);
    // Far off the map the sample index still lands inside the record.
    EXPECT_FLOAT_EQ(terrainSurfaceHeight(&map, 1e30f, -1e30f), 1.0f);
    EXPECT_FLOAT_EQ(terrainSurfaceHeight(&map, -3e9f, 7e9f), 1.0f);
    // And on a slope the height stays the plane's, not a far-flung extrapolation.
    setSample(map, 0, 0, 200);
    for (float far : {3e9f, -5e12f, 1e30f}) {
        const float h = terrainSurfaceHeight(&map, far, far);
        EXPECT_GE(h, 0.0f) << far;
        EXPECT_LE(h, 10.0f) << far;
    }
    // Not-a-number in gives not-a-number out, without reading outside the heights.
    EXPECT_TRUE(std::isnan(terrainSurfaceHeight(&map, NAN, 0.0f)));
    terrainSurfaceHeight(&map, -INFINITY, INFINITY);
}

TEST(TerrainNormals, FlatGroundPointsUp) {
    Terrain& map = freshTerrain();
    std::memset(map.heights, 77, sizeof map.heights);
    computeTerrainNormals(map);
    for (int z = 16; z <= 496; z += 240) {
        for (int x = 16; x <= 496; x += 240) {
            for (int k = 0; k < 6; ++k) {
                EXPECT_EQ(map.cornerNormals[z * 512 + x][k][0], 0.0f);
                EXPECT_EQ(map.cornerNormals[z * 512 + x][k][1], 1.0f);
                EXPECT_EQ(map.cornerNormals[z * 512 + x][k][2], 0.0f);
            }
        }
    }
    // Row and column 0 get no normals.
    EXPECT_EQ(map.cornerNormals[0][0][1], 0.0f);
    EXPECT_EQ(map.cornerNormals[16][0][1], 0.0f);
}

TEST(TerrainNormals, SingleBumpTiltsItsNeighbours) {
    Terrain& map = freshTerrain();
    setSample(map, 256, 256, 40); // 2 units above flat ground
    float left[3];
    terrainCornerNormal(&map, 240, 256, left);
    // The corner at a - 16: sx = (0 - 0 + 0 - 2) / 2 = -1, tilted away from the bump.
    EXPECT_NEAR(left[0], std::sin(std::atan(-2.0 / 12.5)), 1e-6);
    EXPECT_EQ(left[2], 0.0f);
    EXPECT_NEAR(left[1], 1.0 - std::fabs(std::sin(std::atan(-2.0 / 12.5))) / 2, 1e-6);
    float top[3];
    terrainCornerNormal(&map, 256, 256, top);
    EXPECT_EQ(top[0], 0.0f); // the bump's own slopes cancel
    EXPECT_EQ(top[1], 1.0f);
    // The cell to the bump's lower left stores the tilted normal at its (x+16, z+16) corner.
    computeTerrainNormals(map);
    EXPECT_NEAR(map.cornerNormals[240 * 512 + 240][2][0], 0.0f, 1e-7);
    EXPECT_NEAR(map.cornerNormals[256 * 512 + 240][0][0], left[0], 1e-7);
    EXPECT_NEAR(map.cornerNormals[256 * 512 + 224][1][0], left[0], 1e-7);
}

TEST(TerrainNormals, FortyFiveDegreeSlopes) {
    Terrain& map = freshTerrain();
    // Falling by 6.25 units per cell toward +x and toward +z through (256, 256).
    setSample(map, 256, 256, 125);
    setSample(map, 240, 256, 250);
    setSample(map, 272, 256, 0);
    setSample(map, 256, 240, 250);
    setSample(map, 256, 272, 0);
    float n[3];
    terrainCornerNormal(&map, 256, 256, n);
    EXPECT_NEAR(n[0], std::sin(3.14159265358979 / 4), 1e-6);
    EXPECT_NEAR(n[2], std::sin(3.14159265358979 / 4), 1e-6);
    EXPECT_NEAR(n[1], 1.0 - std::sin(3.14159265358979 / 4), 1e-6);
}

TEST(TerrainNormals, FarEdgeReadsTheOtherSide) {
    Terrain& map = freshTerrain();
    setSample(map, 0, 496, 40);   // sample 512 of the row wraps to 0
    setSample(map, 496, 16, 40);  // sample 528 of the column wraps to 16
    computeTerrainNormals(map);
    const float(*cell)[3] = map.cornerNormals[496 * 512 + 496];
    // (496, 496): its +x neighbour, sample 512, is sample 0 of the same row.
    EXPECT_NEAR(cell[0][0], std::sin(std::atan(-1.0 / 6.25)), 1e-6);
    // (496, 512): its +z neighbour, sample 528, is sample 16.
    EXPECT_NEAR(cell[5][2], std::sin(std::atan(-1.0 / 6.25)), 1e-6);
}

TEST(RawFile, MissingShortAndWholeFiles) {
    resetFakePlatform();
    TempDir dir;
    uint8_t target[8];
    std::memset(target, 9, sizeof target);
    loadRawFile(dir.file("missing.raw").c_str(), sizeof target, target);
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].text, "Unable to locate h data!");
    EXPECT_EQ(fake.messageBoxes[0].caption, "Error");
    EXPECT_EQ(fake.messageBoxes[0].icon, MessageIcon::none);
    EXPECT_EQ(target[0], 9);

    loadRawFile(dir.write("short.raw", std::string("\x01\x02\x03", 3)).c_str(), sizeof target, target);
    ASSERT_EQ(fake.messageBoxes.size(), 2u);
    EXPECT_EQ(fake.messageBoxes[1].text, "Failed to init h data!");
    EXPECT_EQ(fake.messageBoxes[1].caption, "Error");
    EXPECT_EQ(target[2], 3);
    EXPECT_EQ(target[3], 9); // the rest keeps what it held

    loadRawFile(dir.write("whole.raw", std::string(12, '\x05')).c_str(), sizeof target, target);
    EXPECT_EQ(fake.messageBoxes.size(), 2u); // a longer file is read up to the count, silently
    EXPECT_EQ(target[7], 5);
}

} // namespace
