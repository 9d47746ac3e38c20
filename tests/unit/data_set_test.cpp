// data_set_test.cpp -- the generated data set: every file there, in the formats the
// game reads, byte-identical from run to run, and shaped as the game needs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "assets/bitmap_image.h"
#include "assets/targa_image.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

bool powerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

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
    static inline TempDir* first = nullptr;
    static inline TempDir* second = nullptr;
    static inline bool ok = false;
};

TEST_F(DataSetTest, EveryFileTheSameOnEveryRunAndReadableByTheGame) {
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(first->path())) {
        if (!entry.is_regular_file()) {
            continue;
        }
        ++files;
        const std::string relative = fs::relative(entry.path(), first->path()).string();
        EXPECT_EQ(bytes(relative), readFileBytes(second->file(relative))) << relative;
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
            // See-through texels keep a colour, so filtering blends no black fringe.
            for (size_t i = 0; image.bitsPerPixel == 32 && i < image.pixels.size(); i += 4) {
                if (image.pixels[i + 3] == 0) {
                    ASSERT_GT(image.pixels[i] + image.pixels[i + 1], 40) << path << " texel " << i / 4;
                }
            }
        }
    }
    EXPECT_EQ(files, 26); // the track's 4, the scene's 6, the model and its 15 pictures
    EXPECT_EQ(bytes("Tracks/Terrain_01.raw").size(), 262144u);
    EXPECT_EQ(bytes("Tracks/Growth_01.raw").size(), 1024u);
}

TEST_F(DataSetTest, StartIsLevelAndClearTheRestHillyAndGrown) {
    const std::string heights = bytes("Tracks/Terrain_01.raw");
    const std::string growth = bytes("Tracks/Growth_01.raw");
    int highest = 0;
    for (int z = 0; z < 512; z += 16) {
        for (int x = 0; x < 512; x += 16) {
            const int value = static_cast<uint8_t>(heights[z * 512 + x]);
            highest = std::max(highest, value);
            if (x >= 224 && x <= 288 && z >= 224 && z <= 288) { // within 12.5 of the centre
                EXPECT_EQ(value, 0) << x << "," << z;
            }
        }
    }
    EXPECT_GE(highest, 220); // 11 units and more toward the edges
    int kinds[5] = {};
    for (int i = 0; i < 1024; ++i) {
        const uint8_t value = static_cast<uint8_t>(growth[i]);
        ASSERT_TRUE(value % 64 == 0 || value == 255) << i;
        ++kinds[value == 255 ? 4 : value / 64];
        const float x = (i % 32) * 6.25f - 100, z = (i / 32) * 6.25f - 100;
        if (std::sqrt(x * x + z * z) < 15) {
            EXPECT_EQ(value, 255) << i; // nothing grows on the start
        }
    }
    EXPECT_GT(kinds[4], 512);
    for (int kind = 0; kind < 4; ++kind) {
        EXPECT_GT(kinds[kind], 10) << kind;
    }
}

} // namespace
