// image_readers_test.cpp -- the BMP and TGA readers: each accepted kind, every
// broken header refused before anything large is allocated, and memory that
// cannot be had refused.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "assets/bitmap_image.h"
#include "assets/targa_image.h"
#include "common/byte_buffer.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

using Rgb = std::vector<uint8_t>;

bool decode(const Bytes& bytes, BitmapImage& image) { return decodeBitmap(bytes.data(), bytes.size(), image); }

Rgb rgb(const BitmapImage& image, int x, int y) {
    const size_t at = (static_cast<size_t>(y) * image.width + x) * 3;
    return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

// 3 x 2 at 24 bits, rows padded to 12 bytes, bottom row first: red, green,
// blue; then white, black, grey.
const Bytes rows24 = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0};

Bytes masks(uint32_t red, uint32_t green, uint32_t blue) {
    Bytes out;
    put32(out, red);
    put32(out, green);
    put32(out, blue);
    return out;
}

TEST(BitmapImage, EveryKindComesOutBottomRowFirstAsRgb) {
    BitmapImage image;
    ASSERT_TRUE(decode(makeBmp(3, 2, 24, rows24), image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(rgb(image, 0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(rgb(image, 2, 1), (Rgb{128, 128, 128}));
    ASSERT_TRUE(decode(makeBmp(3, -2, 24, rows24), image)); // top-down: the first row is the top
    EXPECT_EQ(rgb(image, 0, 1), (Rgb{255, 0, 0}));
    const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0}; // red, green
    const struct {
        Bytes file;
        int x;
        Rgb colour;
    } pixels[] = {
        {makeBmp(2, 1, 8, {1, 0, 0, 0}, palette), 0, {0, 255, 0}},
        {makeBmp(1, 1, 8, {200, 0, 0, 0}, palette), 0, {0, 0, 0}}, // past the palette: black
        {makeBmp(3, 1, 4, {0x10, 0x10, 0, 0}, palette), 1, {255, 0, 0}},
        {makeBmp(9, 1, 1, {0xA0, 0x80, 0, 0}, palette), 8, {0, 255, 0}},
        {makeBmp(2, 1, 16, {0x00, 0x7C, 0x1F, 0x00}), 0, {255, 0, 0}}, // 5-5-5
        {makeBmp(1, 1, 32, {10, 20, 30, 99}), 0, {30, 20, 10}},
        {makeBmp(1, 1, 16, {0xE0, 0x07, 0, 0}, {}, 3, masks(0xF800, 0x07E0, 0x001F)), 0, {0, 255, 0}},
    };
    for (const auto& p : pixels) {
        ASSERT_TRUE(decode(p.file, image));
        EXPECT_EQ(rgb(image, p.x, 0), p.colour);
    }
}

TEST(BitmapImage, BrokenFilesAreRefused) {
    BitmapImage image;
    const Bytes good = makeBmp(3, 2, 24, rows24);
    for (size_t length = 0; length < good.size(); ++length) { // every cut short of the end
        EXPECT_FALSE(decodeBitmap(good.data(), length, image)) << length;
    }
    Bytes broken[] = {good, good, good, good};
    broken[0][0] = 'X';                        // no magic
    broken[1][26] = 2;                         // two planes
    broken[2][14] = 141;                       // an unknown info header
    broken[3][10] = broken[3][11] = 0xFF;      // pixels past the end
    Bytes shortPalette = makeBmp(1, 1, 8, {0, 0, 0, 0}, Bytes(4, 0));
    shortPalette[46] = 0; // all 256 colours, which the file does not hold
    for (const Bytes& file :
         {broken[0], broken[1], broken[2], broken[3], shortPalette, makeBmp(0, 2, 24, {}),
          makeBmp(-3, 2, 24, rows24), makeBmp(3, 2, 7, rows24), makeBmp(3, 2, 24, rows24, {}, 1),
          makeBmp(8192, 8192, 24, Bytes(64, 0)), makeBmp(1, -100000, 24, Bytes(64, 0)),
          makeBmp(0x7FFFFFFF, 0x7FFFFFFF, 32, Bytes(64, 0)), makeBmp(1, 1, 1, {0, 0, 0, 0}, Bytes(12, 0)),
          makeBmp(1, 1, 16, {0, 0, 0, 0}, {}, 3, masks(0xF0F0, 0x0F00, 0x000F)),
          makeBmp(1, 1, 16, {0, 0, 0, 0}, {}, 3, masks(0xFF0000, 0xFF00, 0xFF))}) {
        EXPECT_FALSE(decode(file, image));
    }
    TempDir dir;
    EXPECT_FALSE(readBitmapImage(nullptr, image));
    EXPECT_FALSE(readBitmapImage(dir.path().c_str(), image)); // a folder
    ASSERT_TRUE(readBitmapImage(dir.write("good.bmp", good).c_str(), image));
    EXPECT_EQ(rgb(image, 1, 0), (Rgb{0, 255, 0}));
}

// Run-length pictures decode to the same pixels as their uncompressed twins.
// A 3 x 2 4-bit twin (rows 0x01 0x20 / 0x33 0x30, padded) and 8-bit twin of
// the same indices: bottom row 0, 1, 2; top row 3, 3, 3.
TEST(BitmapImage, RunLengthPicturesMatchTheirTwins) {
    const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 9, 9, 9, 0}; // red, green, blue, grey
    BitmapImage twin, image;
    ASSERT_TRUE(decode(makeBmp(3, 2, 8, {0, 1, 2, 0, 3, 3, 3, 0}, palette), twin));
    // 8 bits: a row as it is (padded) then a run; runs of one and two, no end
    // mark after the last row. 4 bits: values as they are then a run; a run
    // alternating two values.
    for (const auto& [bits, runs] : std::initializer_list<std::pair<uint16_t, Bytes>>{
             {8, {0, 3, 0, 1, 2, 0, 0, 0, 3, 3, 0, 1}}, {8, {1, 0, 1, 1, 1, 2, 0, 0, 2, 3, 1, 3, 0, 0}},
             {4, {0, 3, 0x01, 0x20, 0, 0, 3, 0x33, 0, 1}}, {4, {1, 0x0F, 2, 0x12, 0, 0, 3, 0x33, 0, 1}}}) {
        ASSERT_TRUE(decode(makeBmp(3, 2, bits, runs, palette, bits == 8 ? 1 : 2), image));
        EXPECT_EQ(image.pixels, twin.pixels);
    }
    // A move right and up skips pixels: they keep the palette's first colour.
    ASSERT_TRUE(decode(makeBmp(3, 2, 8, {0, 2, 2, 1, 1, 3, 0, 1}, palette, 1), image));
    EXPECT_EQ(std::make_pair(rgb(image, 2, 1), rgb(image, 1, 1)), std::make_pair(Rgb{9, 9, 9}, Rgb{255, 0, 0}));

    // Hostile runs: past the row, past the picture, past the palette, cut short.
    for (const Bytes& runs : {Bytes{4, 1, 0, 1}, Bytes{0, 0, 0, 0, 0, 0, 1, 1, 0, 1}, Bytes{0, 2, 4, 0, 0, 1},
                              Bytes{0, 2, 0, 3, 0, 1}, Bytes{3, 4, 0, 1}, Bytes{0, 3, 1, 2, 4, 0, 0, 1},
                              Bytes{0, 3, 1, 2}, Bytes{3, 1, 0}, Bytes{3, 1, 0, 0, 3, 1}, Bytes{0, 2, 1}}) {
        EXPECT_FALSE(decode(makeBmp(3, 2, 8, runs, palette, 1), image));
    }
    EXPECT_FALSE(decode(makeBmp(3, 2, 4, {3, 0x45, 0, 1}, palette, 2), image)); // index 4 of 4 colours
    EXPECT_FALSE(decode(makeBmp(3, -2, 8, {0, 1}, palette, 1), image));         // top-down runs do not exist
    EXPECT_FALSE(decode(makeBmp(3, 2, 4, {0, 1}, palette, 1), image));          // 8-bit runs of a 4-bit picture
}

TargaResult readBytes(const Bytes& bytes, TargaImage& image) {
    TempDir dir;
    std::FILE* file = std::fopen(dir.write("picture.tga", bytes).c_str(), "rb");
    const TargaResult result = readTargaImage(file, image);
    std::fclose(file);
    return result;
}

TEST(TargaImage, TrueColourSwapsBlueAndRedAndReadsNoMore) {
    TargaImage image;
    Bytes file = makeTga(2, 1, 24, {255, 0, 0, 0, 0, 255});
    file.insert(file.end(), 1000, 0xEE);
    ASSERT_EQ(readBytes(file, image), TargaResult::ok);
    EXPECT_EQ(image.pixels, (Bytes{0, 0, 255, 255, 0, 0}));
    // 32 bits keep their alpha; rows stay in file order whatever the descriptor.
    ASSERT_EQ(readBytes(makeTga(1, 2, 32, {1, 2, 3, 4, 5, 6, 7, 8}, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x28), image),
              TargaResult::ok);
    EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
    EXPECT_EQ(image.bitsPerPixel, 32);
}

TEST(TargaImage, OtherHeadersAndShortPixelsAreRefused) {
    TargaImage image;
    const Bytes pixels(12, 0);
    for (const Bytes& first12 : {Bytes{0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0}, Bytes{5, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                 Bytes{0, 1, 1, 0, 0, 2, 0, 24, 0, 0, 0, 0}, Bytes{0, 0, 2, 0, 0, 0, 0, 0, 5, 0, 0, 0}}) {
        EXPECT_EQ(readBytes(makeTga(2, 2, 24, pixels, first12), image), TargaResult::badHeader);
    }
    for (const Bytes& file : {makeTga(2, 2, 16, pixels), makeTga(0, 2, 24, pixels), makeTga(2, 0, 32, pixels),
                              makeTga(65535, 65535, 32, pixels), Bytes{0, 0, 2, 0, 0}, Bytes{}}) {
        EXPECT_EQ(readBytes(file, image), TargaResult::badHeader);
    }
    EXPECT_EQ(readBytes(makeTga(2, 2, 24, Bytes(11, 0)), image), TargaResult::badPixels);
}

// A 3 x 2 picture stored B, G, R, bottom row first: red, red, red; then red, green, blue.
const Bytes twinRows = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};
const Bytes runLength = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

TEST(TargaImage, RunLengthPicturesMatchTheirTwins) {
    TargaImage twin, image;
    ASSERT_EQ(readBytes(makeTga(3, 2, 24, twinRows), twin), TargaResult::ok);
    const Bytes red = {0, 0, 255}, green = {0, 255, 0}, blue = {255, 0, 0};
    // Row by row: a run of three, then three values as they are. A run of four
    // crossing the row's end, then two values. The top row first (as GIMP
    // writes it, with an ID and the origin at the top): turned over.
    for (const Bytes& file : {makeTga(3, 2, 24, joined({{0x82}, red, {0x02}, red, green, blue}), runLength),
                              makeTga(3, 2, 24, joined({{0x83}, red, {0x01}, green, blue}), runLength),
                              makeTga(3, 2, 24, joined({{'i', 'd', '!', 0x02}, red, green, blue, {0x82}, red}),
                                      {3, 0, 10, 0, 0, 0, 0, 0, 0, 0, 2, 0}, 0x20)}) {
        ASSERT_EQ(readBytes(file, image), TargaResult::ok);
        EXPECT_EQ(image.pixels, twin.pixels);
    }
    // 32 bits keep their alpha through a run.
    ASSERT_EQ(readBytes(makeTga(2, 1, 32, {0x81, 1, 2, 3, 4}, runLength), image), TargaResult::ok);
    EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 4, 3, 2, 1, 4}));

    // Hostile packets: a run past the picture, values past it, a file that ends
    // mid-run or mid-values; and a colour map, which no true-colour file has.
    for (const Bytes& pixels : {joined({{0x86}, red}), joined({{0x82}, red, {0x03}, red, red, red, red}),
                                joined({{0x82}, red, {0x82}, Bytes{0, 0}}), joined({{0x05}, red, red, red})}) {
        EXPECT_EQ(readBytes(makeTga(3, 2, 24, pixels, runLength), image), TargaResult::badPixels);
        EXPECT_TRUE(image.pixels.empty());
    }
    const Bytes whole = joined({{0x85}, red});
    EXPECT_EQ(readBytes(makeTga(3, 2, 24, whole, {0, 1, 10, 0, 0, 2, 0, 24, 0, 0, 0, 0}), image), TargaResult::badHeader);
    EXPECT_EQ(readBytes(makeTga(9000, 2, 24, whole, runLength), image), TargaResult::badHeader);
}

// Peak resident memory of this process so far, in MiB.
long peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST(TargaImage, ShortFileOfAHugePictureAllocatesNothing) {
    TargaImage image;
    // 16383 x 8192 x 32 bits is 512 MiB: refused before a byte of it is had.
    const long before = peakResidentMiB();
    EXPECT_EQ(readBytes(makeTga(16383, 8192, 32, Bytes(16, 0)), image), TargaResult::badPixels);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_LT(peakResidentMiB() - before, 64);
}

// Memory that cannot be had is the reader's refusal, not the end of the game.
TEST(ByteBuffer, SizesThatCannotBeHadAreRefused) {
    Bytes bytes(4, 1);
    EXPECT_FALSE(resizeBytes(bytes, SIZE_MAX)); // beyond any vector
    EXPECT_TRUE(bytes.empty());
#ifndef MUDLARK_SANITIZED // the address sanitizer ends the process on such a request
    EXPECT_FALSE(resizeBytes(bytes, size_t{1} << 62)); // beyond any address space
#endif
    EXPECT_TRUE(resizeBytes(bytes, 3));
    EXPECT_EQ(bytes, Bytes(3, 0));
}

} // namespace
