// image_files.cpp -- byte builders for crafted pictures.
#include "support/image_files.h"

void put16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void put32(Bytes& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

Bytes makeBmp(int32_t width, int32_t height, uint16_t bits, const Bytes& pixelRows,
              const Bytes& palette, uint32_t compression, const Bytes& masks) {
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(masks.size() + palette.size());
    Bytes out = {'B', 'M'};
    put32(out, offset + static_cast<uint32_t>(pixelRows.size()));
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, bits);
    put32(out, compression);
    put32(out, static_cast<uint32_t>(pixelRows.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, static_cast<uint32_t>(palette.size() / 4));
    put32(out, 0);
    out.insert(out.end(), masks.begin(), masks.end());
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), pixelRows.begin(), pixelRows.end());
    return out;
}

Bytes makeTga(uint16_t width, uint16_t height, uint8_t bits, const Bytes& pixels,
              const Bytes& first12, uint8_t descriptor) {
    Bytes out = first12;
    put16(out, width);
    put16(out, height);
    out.push_back(bits);
    out.push_back(descriptor);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}
