// targa_image.cpp -- true-colour TGA pixels, uncompressed or run-length encoded,
// checked against the file before anything is allocated or written.
#include "assets/targa_image.h"

#include <cstring>

#include "common/byte_buffer.h"

namespace {

constexpr uint8_t referenceHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr uint8_t runLengthType = 10;
constexpr uint8_t topLeftOrigin = 0x20; // the descriptor's bit: the first row is the top
constexpr uint32_t maxRunLengthSide = 8192; // more makes a texture no driver takes

// Bytes left between the current position and the end, or -1 if the stream cannot tell.
long bytesLeft(std::FILE* file) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0 || end < here) {
        return -1;
    }
    return end - here;
}

// The packets of a run-length picture into pixels: a packet's first byte says
// how many pixels (its low seven bits plus one) and whether one value repeats
// (high bit set) or that many values follow. A packet may run on from one row
// into the next. False when a packet would write past the picture or the file
// ends before the picture is full.
bool unpackRuns(std::FILE* file, std::vector<uint8_t>& pixels, std::size_t step) {
    std::size_t at = 0;
    uint8_t value[4];
    while (at < pixels.size()) {
        const int head = std::fgetc(file);
        if (head == EOF) {
            return false;
        }
        const std::size_t bytes = ((static_cast<std::size_t>(head) & 0x7F) + 1) * step;
        if (bytes > pixels.size() - at) {
            return false;
        }
        if ((head & 0x80) == 0) {
            if (std::fread(pixels.data() + at, 1, bytes, file) != bytes) {
                return false;
            }
        } else {
            if (std::fread(value, 1, step, file) != step) {
                return false;
            }
            for (std::size_t k = 0; k < bytes; k += step) {
                std::memcpy(pixels.data() + at + k, value, step);
            }
        }
        at += bytes;
    }
    return true;
}

// Rows of a top-left picture turned over, so that every picture leaves bottom row first.
void turnOver(std::vector<uint8_t>& pixels, std::size_t rowBytes, std::size_t rows) {
    std::vector<uint8_t> spare(rowBytes);
    for (std::size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = pixels.data() + top * rowBytes;
        uint8_t* b = pixels.data() + bottom * rowBytes;
        std::memcpy(spare.data(), a, rowBytes);
        std::memcpy(a, b, rowBytes);
        std::memcpy(b, spare.data(), rowBytes);
    }
}

} // namespace

TargaResult readTargaImage(std::FILE* file, TargaImage& image) {
    uint8_t header[18];
    if (std::fread(header, 1, 12, file) != 12) {
        return TargaResult::badHeader;
    }
    // Uncompressed pictures exactly as they always were taken. A run-length one
    // may carry an ID (passed over) and any screen origin, as paint programs
    // write them, but no colour map.
    const bool runLength = header[2] == runLengthType && header[1] == 0;
    if (!runLength && std::memcmp(header, referenceHeader, 12) != 0) {
        return TargaResult::badHeader;
    }
    if (std::fread(header + 12, 1, 6, file) != 6) {
        return TargaResult::badHeader;
    }
    const uint32_t width = header[12] + 256u * header[13];
    const uint32_t height = header[14] + 256u * header[15];
    const uint32_t bits = header[16];
    // Only 24 and 32 bits are pictures this reader understands, and a picture
    // needs pixels; the byte count must fit the 32-bit arithmetic of the upload.
    if ((bits != 24 && bits != 32) || width == 0 || height == 0) {
        return TargaResult::badHeader;
    }
    if (runLength && (width > maxRunLengthSide || height > maxRunLengthSide)) {
        return TargaResult::badHeader;
    }
    const uint64_t byteCount = (uint64_t{width} * height * bits) >> 3;
    if (uint64_t{width} * height * bits > UINT32_MAX) {
        return TargaResult::badHeader;
    }
    if (runLength && header[0] > 0 && std::fseek(file, header[0], SEEK_CUR) != 0) {
        return TargaResult::badHeader;
    }
    // A file cannot hold fewer bytes than its pixels need: refuse before
    // allocating. A packet of one byte and one pixel covers at most 128 pixels.
    const long left = bytesLeft(file);
    const std::size_t step = bits / 8;
    const uint64_t fewestBytes = runLength ? (uint64_t{width} * height + 127) / 128 * (1 + step) : byteCount;
    if (left >= 0 && static_cast<uint64_t>(left) < fewestBytes) {
        return TargaResult::badPixels;
    }
    if (!resizeBytes(image.pixels, static_cast<std::size_t>(byteCount))) {
        return TargaResult::badPixels;
    }
    const bool read = runLength ? unpackRuns(file, image.pixels, step)
                                : std::fread(image.pixels.data(), 1, image.pixels.size(), file) == image.pixels.size();
    if (!read) {
        image.pixels.clear();
        image.pixels.shrink_to_fit();
        return TargaResult::badPixels;
    }
    if (runLength && (header[17] & topLeftOrigin) != 0) {
        turnOver(image.pixels, width * step, height);
    }
    for (std::size_t i = 0; i + 2 < image.pixels.size(); i += step) {
        const uint8_t blue = image.pixels[i];
        image.pixels[i] = image.pixels[i + 2];
        image.pixels[i + 2] = blue;
    }
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.bitsPerPixel = static_cast<int32_t>(bits);
    return TargaResult::ok;
}
