// targa_image_test.cpp -- the TGA reader and the texture loaders' failure boxes.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "core/settings.h"
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

// Peak resident memory of this process so far, in MiB.
long peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST(TargaImage, SizesBeyondThirtyTwoBitsAreRefused) {
    TargaImage image;
    // 65535 x 65535 x 32 bits does not fit 32-bit arithmetic.
    EXPECT_EQ(readBytes(makeTga(65535, 65535, 32, Bytes(16, 0)), image), TargaResult::badHeader);
    // 16383 x 8192 x 32 bits (512 MiB) just fits, but the file holds nowhere near
    // its pixels: refused before a byte of the picture is allocated.
    const long before = peakResidentMiB();
    EXPECT_EQ(readBytes(makeTga(16383, 8192, 32, Bytes(16, 0)), image), TargaResult::badPixels);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_LT(peakResidentMiB() - before, 64);
}

// Address sanitizer reserves terabytes of address space: no room to limit.
#if defined(__SANITIZE_ADDRESS__)
#define ADDRESS_SPACE_IS_LIMITABLE 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ADDRESS_SPACE_IS_LIMITABLE 0
#endif
#endif
#ifndef ADDRESS_SPACE_IS_LIMITABLE
#define ADDRESS_SPACE_IS_LIMITABLE 1
#endif
#if ADDRESS_SPACE_IS_LIMITABLE
// In a child process: limits the address space to what the process has and
// 128 MiB more, loads the picture and exits 0 if it failed as a short file does.
[[noreturn]] void loadWithLittleRoom(const std::string& path) {
    long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr || std::fscanf(statm, "%ld", &pages) != 1) {
        std::_Exit(2);
    }
    std::fclose(statm);
    const rlim_t room = static_cast<rlim_t>(pages) * 4096 + (rlim_t{128} << 20);
    const rlimit limit{room, room};
    setrlimit(RLIMIT_AS, &limit);
    resetFakePlatform();
    uint32_t slot = 7;
    const bool loaded = loadTargaTexture(path.c_str(), &slot, filterPoint);
    std::_Exit(!loaded && fake.captions() == "Error -13" && slot == 7 ? 0 : 1);
}

// A picture whose pixels are all in the file but do not fit in memory is
// refused like a short one: the loader's "Error -13", not the end of the game.
TEST(TargaImageDeathTest, PictureLargerThanMemoryTakesTheFailurePath) {
    TempDir dir;
    Bytes header = makeTga(16383, 8192, 32, {});
    const std::string path = dir.write("huge.tga", header);
    // The file really holds the 512 MiB of pixels (as a hole, costing no disk).
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(header.size()) + 16383L * 8192 * 4), 0);
    EXPECT_EXIT(loadWithLittleRoom(path), ::testing::ExitedWithCode(0), "");
}
#endif

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
