// targa_image.h -- the TGA reader: uncompressed true-colour Targa files, 24 or 32 bits.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

struct TargaImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;    // 24 or 32
    std::vector<uint8_t> pixels; // R, G, B(, A) in file row order
};

enum class TargaResult {
    ok,
    badHeader, // not an uncompressed true-colour 24- or 32-bit picture of a sane size
    badPixels, // the pixel block is cut short or cannot be held
};

// Reads from the file's current position. The 12 bytes of the header up to the
// size must read 00 00 02 00 00 00 00 00 00 00 00 00 (no ID, no colour map,
// type 2, origin 0); the image descriptor is not used, so rows stay in file order.
// Each pixel's B and R bytes are exchanged.
TargaResult readTargaImage(std::FILE* file, TargaImage& image);
