// image_files.h -- crafted BMP and TGA files for the reader tests.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

void put16(Bytes& out, uint32_t value);
void put32(Bytes& out, uint32_t value);

// A BMP with a 40-byte info header. pixelRows holds the rows exactly as stored
// (padding included); palette entries are B, G, R, 0.
Bytes makeBmp(int32_t width, int32_t height, uint16_t bits, const Bytes& pixelRows,
              const Bytes& palette = {}, uint32_t compression = 0, const Bytes& masks = {});

// A TGA: the 18-byte header (the first 12 bytes given), then the pixels as stored.
Bytes makeTga(uint16_t width, uint16_t height, uint8_t bits, const Bytes& pixels,
              const Bytes& first12 = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}, uint8_t descriptor = 0);
