// bitmap_image_test.cpp -- the BMP reader: each accepted kind, and every broken header refused.
#include <gtest/gtest.h>

#include "assets/bitmap_image.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

bool decode(const Bytes& bytes, BitmapImage& image) {
    return decodeBitmap(bytes.data(), bytes.size(), image);
}

std::vector<uint8_t> rgb(const BitmapImage& image, int x, int y) {
    const size_t at = (static_cast<size_t>(y) * image.width + x) * 3;
    return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

using Rgb = std::vector<uint8_t>;

// 3 x 2 at 24 bits: rows of 9 bytes padded to 12. Stored bottom row first:
// bottom = red, green, blue; top = white, black, grey.
Bytes twentyFourBitRows() {
    return {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0};
}

TEST(BitmapImage, TwentyFourBitBottomUp) {
    BitmapImage image;
    ASSERT_TRUE(decode(makeBmp(3, 2, 24, twentyFourBitRows()), image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    ASSERT_EQ(image.pixels.size(), 18u);
    EXPECT_EQ(rgb(image, 0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(rgb(image, 1, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(rgb(image, 2, 0), (Rgb{0, 0, 255}));
    EXPECT_EQ(rgb(image, 0, 1), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgb(image, 2, 1), (Rgb{128, 128, 128}));
}

TEST(BitmapImage, TopDownRowsComeOutBottomRowFirst) {
    BitmapImage image;
    ASSERT_TRUE(decode(makeBmp(3, -2, 24, twentyFourBitRows()), image));
    EXPECT_EQ(image.height, 2);
    // The first stored row is now the top one.
    EXPECT_EQ(rgb(image, 0, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(rgb(image, 0, 0), (Rgb{255, 255, 255}));
}

TEST(BitmapImage, PalettedPictures) {
    const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0}; // red, green
    BitmapImage eight;
    ASSERT_TRUE(decode(makeBmp(2, 1, 8, {1, 0, 0, 0}, palette), eight));
    EXPECT_EQ(rgb(eight, 0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(rgb(eight, 1, 0), (Rgb{255, 0, 0}));
    // An index past the palette reads as black, never past the table.
    BitmapImage outside;
    ASSERT_TRUE(decode(makeBmp(1, 1, 8, {200, 0, 0, 0}, palette), outside));
    EXPECT_EQ(rgb(outside, 0, 0), (Rgb{0, 0, 0}));

    BitmapImage four;
    ASSERT_TRUE(decode(makeBmp(3, 1, 4, {0x10, 0x10, 0, 0}, palette), four));
    EXPECT_EQ(rgb(four, 0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(rgb(four, 1, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(rgb(four, 2, 0), (Rgb{0, 255, 0}));

    BitmapImage one;
    ASSERT_TRUE(decode(makeBmp(9, 1, 1, {0xA0, 0x80, 0, 0}, palette), one));
    EXPECT_EQ(rgb(one, 0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(rgb(one, 1, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(rgb(one, 2, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(rgb(one, 8, 0), (Rgb{0, 255, 0}));

    BitmapImage core;
    ASSERT_TRUE(decode(makeCoreBmp(2, 1, 8, {1, 0, 0, 0}, Bytes(3 * 256, 0x40)), core));
    EXPECT_EQ(rgb(core, 0, 0), (Rgb{0x40, 0x40, 0x40}));
}

TEST(BitmapImage, SixteenAndThirtyTwoBits) {
    BitmapImage sixteen; // 5-5-5: pure red, then pure blue
    ASSERT_TRUE(decode(makeBmp(2, 1, 16, {0x00, 0x7C, 0x1F, 0x00}), sixteen));
    EXPECT_EQ(rgb(sixteen, 0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(rgb(sixteen, 1, 0), (Rgb{0, 0, 255}));

    BitmapImage thirtyTwo; // B, G, R, unused
    ASSERT_TRUE(decode(makeBmp(1, 1, 32, {10, 20, 30, 99}), thirtyTwo));
    EXPECT_EQ(rgb(thirtyTwo, 0, 0), (Rgb{30, 20, 10}));

    Bytes masks; // 5-6-5 bit fields
    put32(masks, 0xF800);
    put32(masks, 0x07E0);
    put32(masks, 0x001F);
    BitmapImage fields;
    ASSERT_TRUE(decode(makeBmp(1, 1, 16, {0xE0, 0x07, 0, 0}, {}, 3, masks), fields));
    EXPECT_EQ(rgb(fields, 0, 0), (Rgb{0, 255, 0}));
}

TEST(BitmapImage, BrokenHeadersAreRefused) {
    BitmapImage image;
    const Bytes good = makeBmp(3, 2, 24, twentyFourBitRows());
    // Every cut of the file short of its whole length.
    for (size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(decodeBitmap(good.data(), length, image)) << length;
    }
    Bytes magic = good;
    magic[0] = 'X';
    EXPECT_FALSE(decode(magic, image));
    EXPECT_FALSE(decode(makeBmp(0, 2, 24, {}), image));
    EXPECT_FALSE(decode(makeBmp(-3, 2, 24, twentyFourBitRows()), image));
    EXPECT_FALSE(decode(makeBmp(3, 0, 24, {}), image));
    EXPECT_FALSE(decode(makeBmp(3, 2, 7, twentyFourBitRows()), image));
    EXPECT_FALSE(decode(makeBmp(3, 2, 24, twentyFourBitRows(), {}, 1), image)); // run-length
    EXPECT_FALSE(decode(makeBmp(3, 2, 24, twentyFourBitRows(), {}, 4), image)); // JPEG inside
    Bytes planes = good;
    planes[26] = 2;
    EXPECT_FALSE(decode(planes, image));
    Bytes headerSize = good;
    headerSize[14] = 41 + 100; // longer than any known info header
    EXPECT_FALSE(decode(headerSize, image));
    Bytes offset = good;
    offset[10] = 0xFF;
    offset[11] = 0xFF;
    EXPECT_FALSE(decode(offset, image));
}

TEST(BitmapImage, SizesThatDoNotFitAreRefusedBeforeAllocating) {
    BitmapImage image;
    // Huge sides with hardly any pixels behind them.
    EXPECT_FALSE(decode(makeBmp(8192, 8192, 24, Bytes(64, 0)), image));
    EXPECT_FALSE(decode(makeBmp(100000, 1, 24, Bytes(64, 0)), image));
    EXPECT_FALSE(decode(makeBmp(1, -100000, 24, Bytes(64, 0)), image));
    EXPECT_FALSE(decode(makeBmp(0x7FFFFFFF, 0x7FFFFFFF, 32, Bytes(64, 0)), image));
    // A palette that claims more colours than its depth allows, or runs off the file.
    EXPECT_FALSE(decode(makeBmp(1, 1, 1, {0, 0, 0, 0}, Bytes(4 * 3, 0)), image));
    Bytes shortPalette = makeBmp(1, 1, 8, {0, 0, 0, 0}, Bytes(4, 0));
    shortPalette[46] = 0; // colours used: 0 means all 256, which the file does not hold
    EXPECT_FALSE(decode(shortPalette, image));
    // Bit fields that are not one run of bits each, or wider than 16 bits at 16 bits.
    Bytes gappy;
    put32(gappy, 0xF0F0);
    put32(gappy, 0x0F00);
    put32(gappy, 0x000F);
    EXPECT_FALSE(decode(makeBmp(1, 1, 16, {0, 0, 0, 0}, {}, 3, gappy), image));
    Bytes wide;
    put32(wide, 0xFF0000);
    put32(wide, 0xFF00);
    put32(wide, 0xFF);
    EXPECT_FALSE(decode(makeBmp(1, 1, 16, {0, 0, 0, 0}, {}, 3, wide), image));
    EXPECT_FALSE(decode(makeBmp(1, 1, 24, {0, 0, 0, 0}, {}, 3, wide), image));
}

TEST(BitmapImage, FilesAreReadWhole) {
    TempDir dir;
    BitmapImage image;
    EXPECT_FALSE(readBitmapImage(nullptr, image));
    EXPECT_FALSE(readBitmapImage(dir.file("missing.bmp").c_str(), image));
    EXPECT_FALSE(readBitmapImage(dir.path().c_str(), image)); // a folder
    const std::string path = dir.write("good.bmp", makeBmp(3, 2, 24, twentyFourBitRows()));
    ASSERT_TRUE(readBitmapImage(path.c_str(), image));
    EXPECT_EQ(rgb(image, 1, 0), (Rgb{0, 255, 0}));
}

} // namespace
