// targa_image_test.cpp -- the TGA reader and the texture loaders' failure boxes.
#include <gtest/gtest.h>

#include <cstdio>

#include "assets/targa_image.h"
#include "assets/texture.h"
#include "platform/fake/fake_platform.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

TargaResult readBytes(const Bytes& bytes, TargaImage& image) {
    TempDir dir;
    const std::string path = dir.write("picture.tga", bytes);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const TargaResult result = readTargaImage(file, image);
    std::fclose(file);
    return result;
}

TEST(TargaImage, TwentyFourBitsSwapBlueAndRed) {
    TargaImage image;
    // Two pixels stored B, G, R: pure blue, then pure red.
    ASSERT_EQ(readBytes(makeTga(2, 1, 24, {255, 0, 0, 0, 0, 255}), image), TargaResult::ok);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.bitsPerPixel, 24);
    EXPECT_EQ(image.pixels, (Bytes{0, 0, 255, 255, 0, 0}));
}

TEST(TargaImage, ThirtyTwoBitsKeepAlphaAndIgnoreTheDescriptor) {
    TargaImage image;
    const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(readBytes(makeTga(1, 2, 32, pixels, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x28), image),
              TargaResult::ok);
    // Rows stay in file order even for a top-left origin.
    EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(TargaImage, BytesAfterThePixelsAreNotRead) {
    TargaImage image;
    Bytes bytes = makeTga(1, 1, 24, {1, 2, 3});
    bytes.insert(bytes.end(), 1000, 0xEE);
    ASSERT_EQ(readBytes(bytes, image), TargaResult::ok);
    EXPECT_EQ(image.pixels.size(), 3u);
}

TEST(TargaImage, HeadersOtherThanUncompressedTrueColourAreRefused) {
    TargaImage image;
    const Bytes pixels(12, 0);
    EXPECT_EQ(readBytes(makeTga(2, 2, 24, pixels, {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0}), image),
              TargaResult::badHeader); // run-length encoded
    EXPECT_EQ(readBytes(makeTga(2, 2, 24, pixels, {5, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}), image),
              TargaResult::badHeader); // an image ID
    EXPECT_EQ(readBytes(makeTga(2, 2, 24, pixels, {0, 1, 1, 0, 0, 2, 0, 24, 0, 0, 0, 0}), image),
              TargaResult::badHeader); // colour-mapped
    EXPECT_EQ(readBytes(makeTga(2, 2, 24, pixels, {0, 0, 2, 0, 0, 0, 0, 0, 5, 0, 0, 0}), image),
              TargaResult::badHeader); // origin not 0
    EXPECT_EQ(readBytes(makeTga(2, 2, 16, pixels), image), TargaResult::badHeader);
    EXPECT_EQ(readBytes(makeTga(2, 2, 8, pixels), image), TargaResult::badHeader);
    EXPECT_EQ(readBytes(makeTga(0, 2, 24, pixels), image), TargaResult::badHeader);
    EXPECT_EQ(readBytes(makeTga(2, 0, 32, pixels), image), TargaResult::badHeader);
    // Header cut short: inside the first 12 bytes, and inside the next 6.
    EXPECT_EQ(readBytes(Bytes{0, 0, 2, 0, 0}, image), TargaResult::badHeader);
    EXPECT_EQ(readBytes(Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2}, image),
              TargaResult::badHeader);
    EXPECT_EQ(readBytes(Bytes{}, image), TargaResult::badHeader);
}

TEST(TargaImage, SizesBeyondThirtyTwoBitsAreRefused) {
    TargaImage image;
    // 65535 x 65535 x 32 bits does not fit 32-bit arithmetic.
    EXPECT_EQ(readBytes(makeTga(65535, 65535, 32, Bytes(16, 0)), image), TargaResult::badHeader);
    // 16383 x 8192 x 32 bits just fits, but the file holds nowhere near its pixels.
    EXPECT_EQ(readBytes(makeTga(16383, 8192, 32, Bytes(16, 0)), image), TargaResult::badPixels);
    EXPECT_TRUE(image.pixels.empty());
}

TEST(TargaImage, PixelBlockCutShortIsRefused) {
    TargaImage image;
    EXPECT_EQ(readBytes(makeTga(2, 2, 24, Bytes(11, 0)), image), TargaResult::badPixels);
    EXPECT_EQ(readBytes(makeTga(2, 2, 32, Bytes(15, 0)), image), TargaResult::badPixels);
}

class TextureLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { resetFakePlatform(); }
    TempDir dir;
};

TEST_F(TextureLoaderTest, EachFailureHasItsCaptionAndLeavesTheSlot) {
    uint32_t slot = 77;
    EXPECT_FALSE(loadTargaTexture(dir.file("missing.tga").c_str(), &slot, 2));
    EXPECT_FALSE(loadTargaTexture(nullptr, &slot, 2));
    const std::string rle =
        dir.write("rle.tga", makeTga(1, 1, 24, {0, 0, 0}, {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(loadTargaTexture(rle.c_str(), &slot, 2));
    const std::string cut = dir.write("cut.tga", makeTga(4, 4, 24, Bytes(10, 0)));
    EXPECT_FALSE(loadTargaTexture(cut.c_str(), &slot, 2));
    EXPECT_FALSE(loadBitmapTexture(dir.file("missing.bmp").c_str(), &slot, 2));
    EXPECT_FALSE(loadBitmapTexture(nullptr, &slot, 2));
    EXPECT_FALSE(loadBitmapTexture(dir.write("bad.bmp", Bytes{'B', 'M', 1, 2}).c_str(), &slot, 2));
    EXPECT_EQ(slot, 77u);
    EXPECT_EQ(fake.captions(),
              "Error -11|Error -11|Error -12|Error -13|Error -9|Error -9|Error -9");
    for (const RecordedMessageBox& box : fake.messageBoxes) {
        EXPECT_EQ(box.text, "Texture initialization failed!");
        EXPECT_EQ(box.icon, MessageIcon::exclamation);
    }
}

} // namespace
