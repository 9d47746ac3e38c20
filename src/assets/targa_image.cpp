// targa_image.cpp -- uncompressed TGA pixels, checked against the file before allocating.
#include "assets/targa_image.h"

#include <cstring>

#include "common/byte_buffer.h"

namespace {

constexpr uint8_t referenceHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

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

} // namespace

TargaResult readTargaImage(std::FILE* file, TargaImage& image) {
    uint8_t header[12];
    if (std::fread(header, 1, sizeof header, file) != sizeof header ||
        std::memcmp(header, referenceHeader, sizeof header) != 0) {
        return TargaResult::badHeader;
    }
    uint8_t size[6];
    if (std::fread(size, 1, sizeof size, file) != sizeof size) {
        return TargaResult::badHeader;
    }
    const uint32_t width = size[0] + 256u * size[1];
    const uint32_t height = size[2] + 256u * size[3];
    const uint32_t bits = size[4];
    // Only 24 and 32 bits are pictures this reader understands, and a picture
    // needs pixels; the byte count must fit the 32-bit arithmetic of the upload.
    if ((bits != 24 && bits != 32) || width == 0 || height == 0) {
        return TargaResult::badHeader;
    }
    const uint64_t byteCount = (uint64_t{width} * height * bits) >> 3;
    if (uint64_t{width} * height * bits > UINT32_MAX) {
        return TargaResult::badHeader;
    }
    // A file cannot hold fewer bytes than its pixels: refuse before allocating.
    const long left = bytesLeft(file);
    if (left >= 0 && static_cast<uint64_t>(left) < byteCount) {
        return TargaResult::badPixels;
    }
    if (!resizeBytes(image.pixels, static_cast<std::size_t>(byteCount))) {
        return TargaResult::badPixels;
    }
    if (std::fread(image.pixels.data(), 1, image.pixels.size(), file) != image.pixels.size()) {
        image.pixels.clear();
        image.pixels.shrink_to_fit();
        return TargaResult::badPixels;
    }
    const std::size_t step = bits / 8;
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
