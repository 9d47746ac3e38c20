// bitmap_image.h -- the BMP reader: Windows bitmaps into 8-bit RGB rows, bottom row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct BitmapImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels; // width x height R, G, B triplets, the bottom row first
};

// Largest width or height, and largest picture, accepted: more would only make
// a texture no driver takes, and a small file must not ask for a huge buffer.
constexpr int32_t maxBitmapSide = 8192;
constexpr int64_t maxBitmapPixels = int64_t{1} << 24;

// Decodes a whole BMP file held in memory. Accepts the core (12-byte) and the
// 40- to 124-byte info headers; 1-, 4- and 8-bit palettes, 16-bit 5-5-5, 24-bit
// and 32-bit pixels, uncompressed or with bit-field masks; bottom-up and
// top-down rows; 8- and 4-bit run-length pictures. Every header field is
// checked before it is used: false for anything else or anything that does not
// fit in the file, and for runs past a row, the picture or the palette.
bool decodeBitmap(const uint8_t* bytes, std::size_t size, BitmapImage& image);

// Reads and decodes the named file; false for a null path, a file that cannot
// be opened or read, or one that does not decode.
bool readBitmapImage(const char* path, BitmapImage& image);
