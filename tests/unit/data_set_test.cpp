// data_set_test.cpp -- the generated data set: every file there, in the formats the
// game reads, byte-identical from run to run, and shaped as the game needs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "assets/bitmap_image.h"
#include "assets/model.h"
#include "assets/targa_image.h"
#include "support/temp_dir.h"

namespace {

const char* const dataFiles[] = {
    "Tracks/Terrain_01.raw",   "Tracks/Growth_01.raw",   "Tracks/Texture_01.bmp",
    "Tracks/TextureOverlay_01.bmp", "Textures/ShadowMap.bmp", "Textures/Growth_01.tga",
    "Textures/Growth_02.tga",  "Textures/Growth_03.tga", "Textures/Growth_04.tga",
    "Textures/SmokeMap.tga",   "Models/Model01.obj",
};

class DataSetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        first = new TempDir;
        second = new TempDir;
        const std::string tool = MAKE_DATA_PATH;
        ok = std::system((tool + " " + first->path() + " >/dev/null").c_str()) == 0 &&
             std::system((tool + " " + second->path() + " >/dev/null").c_str()) == 0;
    }
    static void TearDownTestSuite() {
        delete first;
        delete second;
    }
    void SetUp() override { ASSERT_TRUE(ok); }
    static std::string bytes(const std::string& name) { return readFileBytes(first->file(name)); }
    static bool powerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

    static TempDir* first;
    static TempDir* second;
    static bool ok;
};

TempDir* DataSetTest::first = nullptr;
TempDir* DataSetTest::second = nullptr;
bool DataSetTest::ok = false;

TEST_F(DataSetTest, EveryFileIsThereAndTheSameOnEveryRun) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(first->path())) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string relative = std::filesystem::relative(entry.path(), first->path()).string();
        EXPECT_EQ(bytes(relative), readFileBytes(second->file(relative))) << relative;
    }
    for (const char* name : dataFiles) {
        EXPECT_TRUE(std::filesystem::exists(first->file(name))) << name;
    }
    EXPECT_EQ(bytes("Tracks/Terrain_01.raw").size(), 262144u);
    EXPECT_EQ(bytes("Tracks/Growth_01.raw").size(), 1024u);
}

TEST_F(DataSetTest, PicturesAreInTheReadersFormatsAndPowerOfTwoSized) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(first->path())) {
        const std::string path = entry.path().string();
        if (entry.path().extension() == ".bmp") {
            BitmapImage image;
            ASSERT_TRUE(readBitmapImage(path.c_str(), image)) << path;
            EXPECT_TRUE(powerOfTwo(image.width) && powerOfTwo(image.height)) << path;
        } else if (entry.path().extension() == ".tga") {
            std::FILE* file = std::fopen(path.c_str(), "rb");
            TargaImage image;
            ASSERT_EQ(readTargaImage(file, image), TargaResult::ok) << path;
            std::fclose(file);
            EXPECT_TRUE(powerOfTwo(image.width) && powerOfTwo(image.height)) << path;
        }
    }
}

TEST_F(DataSetTest, TransparentTexelsCarryThePlantsColourNotBlack) {
    for (const char* name : {"Textures/Growth_01.tga", "Textures/Growth_02.tga",
                             "Textures/Growth_03.tga", "Textures/Growth_04.tga",
                             "Textures/SmokeMap.tga", "Models/BuggyWindscreen.tga"}) {
        std::FILE* file = std::fopen(first->file(name).c_str(), "rb");
        TargaImage image;
        ASSERT_EQ(readTargaImage(file, image), TargaResult::ok);
        std::fclose(file);
        ASSERT_EQ(image.bitsPerPixel, 32) << name;
        int clear = 0;
        int opaque = 0;
        for (size_t i = 0; i < image.pixels.size(); i += 4) {
            if (image.pixels[i + 3] == 0) {
                ++clear;
                EXPECT_GT(image.pixels[i] + image.pixels[i + 1], 40) << name << " texel " << i / 4;
            } else {
                ++opaque;
            }
        }
        EXPECT_GT(clear, 0) << name;
        EXPECT_GT(opaque, 0) << name;
        // A plant's or a puff's border is fully transparent (the windscreen's is its frame).
        if (std::strstr(name, "Windscreen") == nullptr) {
            EXPECT_EQ(image.pixels[3], 0) << name;
        }
    }
}

TEST_F(DataSetTest, StartAreaIsLevelAtZeroAndTheMapUsesTheHeights) {
    const std::string heights = bytes("Tracks/Terrain_01.raw");
    int highest = 0;
    for (int z = 0; z < 512; z += 16) {
        for (int x = 0; x < 512; x += 16) {
            const int value = static_cast<uint8_t>(heights[z * 512 + x]);
            highest = std::max(highest, value);
            // Corners within 12.5 units of the centre: samples 224..288.
            if (x >= 224 && x <= 288 && z >= 224 && z <= 288) {
                EXPECT_EQ(value, 0) << x << "," << z;
            }
        }
    }
    EXPECT_GE(highest, 220); // up to 11 units or more toward the edges
    // Somewhere a corner stands well above all four neighbours: a bump to jump.
    bool bump = false;
    for (int z = 16; z < 496 && !bump; z += 16) {
        for (int x = 16; x < 496 && !bump; x += 16) {
            const int h = static_cast<uint8_t>(heights[z * 512 + x]);
            bump = h >= 30 + static_cast<uint8_t>(heights[z * 512 + x - 16]) &&
                   h >= 30 + static_cast<uint8_t>(heights[z * 512 + x + 16]) &&
                   h >= 30 + static_cast<uint8_t>(heights[(z - 16) * 512 + x]) &&
                   h >= 30 + static_cast<uint8_t>(heights[(z + 16) * 512 + x]);
        }
    }
    EXPECT_TRUE(bump);
}

TEST_F(DataSetTest, GrowthLeavesTheStartClearAndMostCellsEmpty) {
    const std::string growth = bytes("Tracks/Growth_01.raw");
    int empty = 0;
    int kinds[4] = {};
    for (int i = 0; i < 32; ++i) {
        for (int j = 0; j < 32; ++j) {
            const uint8_t value = static_cast<uint8_t>(growth[i * 32 + j]);
            const float x = j * 6.25f - 100.0f;
            const float z = i * 6.25f - 100.0f;
            if (std::sqrt(x * x + z * z) < 15.0f) {
                EXPECT_EQ(value, 255) << j << "," << i;
            }
            ASSERT_TRUE(value == 0 || value == 64 || value == 128 || value == 192 || value == 255);
            if (value == 255) {
                ++empty;
            } else {
                ++kinds[value / 64];
            }
        }
    }
    EXPECT_GT(empty, 512);
    for (int kind : kinds) {
        EXPECT_GT(kind, 10);
    }
}

TEST_F(DataSetTest, ModelIsSoundAndShapedLikeABuggy) {
    static VehicleModel model;
    static ModelFileContents contents;
    std::memset(&model, 0, sizeof model);
    std::memset(&contents, 0, sizeof contents);
    std::FILE* file = std::fopen(first->file("Models/Model01.obj").c_str(), "r");
    ASSERT_NE(file, nullptr);
    readModelFile(file, model, contents);
    std::fclose(file);
    EXPECT_EQ(contents.damagedRecords, 0);
    EXPECT_TRUE(contents.hasWheel);
    EXPECT_LE(model.lastVertexIndex, 98);
    EXPECT_GE(model.lastFaceIndex, 10);
    for (int t = 0; t <= model.lastTextureIndex; ++t) {
        ASSERT_TRUE(contents.hasTexture[t]);
        EXPECT_TRUE(std::filesystem::exists(first->file(contents.textureFiles[t])))
            << contents.textureFiles[t];
    }
    EXPECT_EQ(model.wheelX[0], -model.wheelX[1]);
    EXPECT_NEAR(model.wheelX[1] - model.wheelX[0], 1.5f, 0.1f);
    const float wheelbase = model.wheelZ[1] - model.wheelZ[0];
    EXPECT_GT(wheelbase, 2.0f);
    EXPECT_LT(wheelbase, 6.25f);
    EXPECT_NEAR(model.wheelRadius, 0.45f, 0.05f);
    // The body's extent: about 3.5 long and 1.7 wide.
    float minX = 0, maxX = 0, minZ = 0, maxZ = 0;
    for (int v = 0; v <= model.lastVertexIndex; ++v) {
        minX = std::min(minX, model.vertices[v][0]);
        maxX = std::max(maxX, model.vertices[v][0]);
        minZ = std::min(minZ, model.vertices[v][2]);
        maxZ = std::max(maxZ, model.vertices[v][2]);
    }
    EXPECT_NEAR(maxZ - minZ, 3.6f, 0.3f);
    EXPECT_NEAR(maxX - minX, 1.76f, 0.15f);
}

} // namespace
