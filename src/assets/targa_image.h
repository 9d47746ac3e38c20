// targa_image.h -- the TGA reader: true-colour Targa files of 24 or 32 bits,
// uncompressed or run-length encoded.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

struct TargaImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;    // 24 or 32
    std::vector<uint8_t> pixels; // R, G, B(, A), rows as described below
};

enum class TargaResult {
    ok,
    badHeader, // not a true-colour 24- or 32-bit picture of a sane size
    badPixels, // the pixels are cut short, overrun the picture or cannot be held
};

// Reads from the file's current position. An uncompressed picture's 12 bytes
// of header up to the size must read 00 00 02 00 00 00 00 00 00 00 00 00 (no
// ID, no colour map, type 2, origin 0), and its rows stay in file order
// whatever its descriptor says. A run-length picture (type 10, no colour map,
// at most 8192 a side) may have an ID and any origin; its runs may cross row
// ends, and a top-left one is turned over, so that it too leaves bottom row
// first. Each pixel's B and R bytes are exchanged.
TargaResult readTargaImage(std::FILE* file, TargaImage& image);
