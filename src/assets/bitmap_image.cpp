// bitmap_image.cpp -- a careful BMP decoder: nothing is read that the file does not hold.
#include "assets/bitmap_image.h"

#include <cstdio>

#include "common/byte_buffer.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t compressionNone = 0;     // BI_RGB
constexpr uint32_t compressionRuns8 = 1;    // BI_RLE8
constexpr uint32_t compressionRuns4 = 2;    // BI_RLE4
constexpr uint32_t compressionBitFields = 3; // BI_BITFIELDS
constexpr uint32_t compressionAlphaFields = 6; // BI_ALPHABITFIELDS

// Largest file the reader takes in: the largest 32-bit picture and its headers.
constexpr long maxBitmapFile = 4 * maxBitmapPixels + 1024 * 1024;

uint32_t readU16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | (p[1] << 8)); }
uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// One channel's mask: where it sits and how to widen it to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};

Channel makeChannel(uint32_t mask) {
    Channel channel;
    channel.mask = mask;
    if (mask == 0) {
        return channel;
    }
    while (((mask >> channel.shift) & 1u) == 0) {
        ++channel.shift;
    }
    while (channel.shift + channel.bits < 32 && ((mask >> (channel.shift + channel.bits)) & 1u)) {
        ++channel.bits;
    }
    return channel;
}

bool contiguous(uint32_t mask) {
    if (mask == 0) {
        return true;
    }
    Channel c = makeChannel(mask);
    uint64_t rebuilt = ((uint64_t{1} << c.bits) - 1) << c.shift;
    return rebuilt == mask;
}

uint8_t expand(uint32_t pixel, const Channel& c) {
    if (c.mask == 0) {
        return 0;
    }
    uint32_t value = (pixel & c.mask) >> c.shift;
    if (c.bits >= 8) {
        return static_cast<uint8_t>(value >> (c.bits - 8));
    }
    // Repeat the bits so that full scale becomes 255.
    uint32_t widened = 0;
    for (int filled = 0; filled < 8; filled += c.bits) {
        widened = (widened << c.bits) | value;
    }
    return static_cast<uint8_t>(widened >> ((8 + c.bits - 1) / c.bits * c.bits - 8));
}

struct Header {
    uint32_t pixelOffset;
    uint32_t infoSize;
    int64_t width;
    int64_t height;   // negative: rows stored top-down
    uint32_t planes;
    uint32_t bitCount;
    uint32_t compression;
    uint32_t coloursUsed;
    uint32_t paletteEntrySize; // 3 for the core header, 4 otherwise
    uint32_t paletteEntries;   // the colours the file holds
    Channel red, green, blue;
    bool masked;
};

bool readHeader(const uint8_t* bytes, std::size_t size, Header& h) {
    if (size < 14 + 12 || bytes[0] != 'B' || bytes[1] != 'M') {
        return false;
    }
    h.pixelOffset = readU32(bytes + 10);
    h.infoSize = readU32(bytes + 14);
    if (h.infoSize > size - 14) {
        return false;
    }
    const uint8_t* info = bytes + 14;
    h.masked = false;
    if (h.infoSize == 12) {
        h.width = readU16(info + 4);
        h.height = readU16(info + 6);
        h.planes = readU16(info + 8);
        h.bitCount = readU16(info + 10);
        h.compression = compressionNone;
        h.coloursUsed = 0;
        h.paletteEntrySize = 3;
    } else if (h.infoSize >= 40 && h.infoSize <= 124) {
        h.width = static_cast<int32_t>(readU32(info + 4));
        h.height = static_cast<int32_t>(readU32(info + 8));
        h.planes = readU16(info + 12);
        h.bitCount = readU16(info + 14);
        h.compression = readU32(info + 16);
        h.coloursUsed = readU32(info + 32);
        h.paletteEntrySize = 4;
    } else {
        return false;
    }
    if (h.planes != 1 || h.width <= 0 || h.width > maxBitmapSide || h.height == 0 ||
        h.height > maxBitmapSide || h.height < -maxBitmapSide ||
        h.width * (h.height < 0 ? -h.height : h.height) > maxBitmapPixels) {
        return false;
    }
    if (h.compression == compressionBitFields || h.compression == compressionAlphaFields) {
        if (h.bitCount != 16 && h.bitCount != 32) {
            return false;
        }
        // The masks follow a 40-byte header, or sit inside a longer one.
        const std::size_t maskAt = 14 + 40;
        if (maskAt + 12 > size) {
            return false;
        }
        const uint32_t masks[3] = {readU32(bytes + maskAt), readU32(bytes + maskAt + 4),
                                   readU32(bytes + maskAt + 8)};
        for (uint32_t mask : masks) {
            if (!contiguous(mask) || (h.bitCount == 16 && mask > 0xFFFFu)) {
                return false;
            }
        }
        h.red = makeChannel(masks[0]);
        h.green = makeChannel(masks[1]);
        h.blue = makeChannel(masks[2]);
        h.masked = true;
    } else if (h.compression == compressionRuns8 || h.compression == compressionRuns4) {
        // Runs of palette indices, 8 or 4 bits; such pictures are always stored bottom-up.
        return h.bitCount == (h.compression == compressionRuns8 ? 8u : 4u) && h.height > 0;
    } else if (h.compression != compressionNone) {
        return false; // embedded JPEG or PNG pictures are not read
    }
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        return !h.masked;
    case 16:
        if (!h.masked) {
            h.red = makeChannel(0x7C00);
            h.green = makeChannel(0x03E0);
            h.blue = makeChannel(0x001F);
        }
        return true;
    case 32:
        if (!h.masked) {
            h.red = makeChannel(0x00FF0000);
            h.green = makeChannel(0x0000FF00);
            h.blue = makeChannel(0x000000FF);
        }
        return true;
    default:
        return false;
    }
}

// The palette indices of a run-length picture (bottom row first), from its
// pairs of bytes: a count and an index (4-bit pictures: two indices that
// alternate), or zero and an escape: 0 ends the row, 1 ends the picture, 2 is
// followed by how far right and up to move, and 3 or more is that many indices
// as they are, padded to an even length. Pixels the runs skip keep index 0.
// False when a run would write past the row or the picture, an index lies past
// the palette, or the data ends before the picture does.
bool unpackRuns(const uint8_t* data, std::size_t size, const Header& h, std::vector<uint8_t>& indices) {
    const bool four = h.bitCount == 4;
    const std::size_t width = static_cast<std::size_t>(h.width), rows = static_cast<std::size_t>(h.height);
    std::size_t x = 0, y = 0, at = 0;
    auto put = [&](uint32_t index) {
        indices[y * width + x++] = static_cast<uint8_t>(index);
        return index < h.paletteEntries;
    };
    while (at + 2 <= size) {
        const uint32_t count = data[at], second = data[at + 1];
        at += 2;
        if (count > 0) {
            if (y >= rows || count > width - x) {
                return false;
            }
            for (uint32_t k = 0; k < count; ++k) {
                if (!put(four ? (k % 2 == 0 ? second >> 4 : second & 15) : second)) {
                    return false;
                }
            }
        } else if (second == 0) {
            x = 0;
            ++y;
        } else if (second == 1) {
            return true;
        } else if (second == 2) {
            if (at + 2 > size || data[at] > width - x || data[at + 1] > rows - y) {
                return false;
            }
            x += data[at];
            y += data[at + 1];
            at += 2;
        } else {
            const std::size_t bytes = four ? (second + 1) / 2 : second;
            if (y >= rows || second > width - x || bytes > size - at) {
                return false;
            }
            for (uint32_t k = 0; k < second; ++k) {
                if (!put(four ? (k % 2 == 0 ? data[at + k / 2] >> 4 : data[at + k / 2] & 15) : data[at + k])) {
                    return false;
                }
            }
            at += bytes + (bytes & 1);
        }
    }
    // Data that stops without its end mark is whole only after the last row's end.
    return y >= rows;
}

} // namespace

bool decodeBitmap(const uint8_t* bytes, std::size_t size, BitmapImage& image) {
    Header h{};
    if (bytes == nullptr || !readHeader(bytes, size, h)) {
        return false;
    }
    const bool topDown = h.height < 0;
    const bool runs = h.compression == compressionRuns8 || h.compression == compressionRuns4;
    const int64_t rows = topDown ? -h.height : h.height;
    const int64_t stride = (h.width * h.bitCount + 31) / 32 * 4;
    if (h.pixelOffset > size || (!runs && static_cast<uint64_t>(stride) * static_cast<uint64_t>(rows) >
                                              static_cast<uint64_t>(size - h.pixelOffset))) {
        return false;
    }

    // The palette follows the info header (and a 40-byte header's masks).
    uint8_t palette[256][3] = {};
    if (h.bitCount <= 8) {
        const uint32_t capacity = 1u << h.bitCount;
        const uint32_t entries = h.coloursUsed == 0 ? capacity : h.coloursUsed;
        if (entries > capacity) {
            return false;
        }
        h.paletteEntries = entries;
        const std::size_t paletteAt = 14 + h.infoSize;
        if (paletteAt + static_cast<std::size_t>(entries) * h.paletteEntrySize > size) {
            return false;
        }
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* entry = bytes + paletteAt + static_cast<std::size_t>(i) * h.paletteEntrySize;
            palette[i][0] = entry[2];
            palette[i][1] = entry[1];
            palette[i][2] = entry[0];
        }
    }

    if (!resizeBytes(image.pixels, static_cast<std::size_t>(h.width) * static_cast<std::size_t>(rows) * 3)) {
        return false;
    }
    image.width = static_cast<int32_t>(h.width);
    image.height = static_cast<int32_t>(rows);
    if (runs) {
        std::vector<uint8_t> indices;
        if (!resizeBytes(indices, static_cast<std::size_t>(h.width * rows)) ||
            !unpackRuns(bytes + h.pixelOffset, size - h.pixelOffset, h, indices)) {
            image.pixels.clear();
            return false;
        }
        for (std::size_t i = 0; i < indices.size(); ++i) {
            image.pixels[i * 3] = palette[indices[i]][0];
            image.pixels[i * 3 + 1] = palette[indices[i]][1];
            image.pixels[i * 3 + 2] = palette[indices[i]][2];
        }
        return true;
    }
    for (int64_t row = 0; row < rows; ++row) {
        const uint8_t* source = bytes + h.pixelOffset + static_cast<std::size_t>(row * stride);
        // Rows leave bottom row first whatever the file's order.
        const int64_t targetRow = topDown ? rows - 1 - row : row;
        uint8_t* target = image.pixels.data() + static_cast<std::size_t>(targetRow * h.width * 3);
        for (int64_t x = 0; x < h.width; ++x, target += 3) {
            switch (h.bitCount) {
            case 1:
            case 4:
            case 8: {
                const int64_t bit = x * h.bitCount;
                const uint32_t byte = source[bit / 8];
                const uint32_t index =
                    (byte >> (8 - h.bitCount - static_cast<int>(bit % 8))) & ((1u << h.bitCount) - 1);
                target[0] = palette[index][0];
                target[1] = palette[index][1];
                target[2] = palette[index][2];
                break;
            }
            case 16: {
                const uint32_t pixel = readU16(source + x * 2);
                target[0] = expand(pixel, h.red);
                target[1] = expand(pixel, h.green);
                target[2] = expand(pixel, h.blue);
                break;
            }
            case 24:
                target[0] = source[x * 3 + 2];
                target[1] = source[x * 3 + 1];
                target[2] = source[x * 3];
                break;
            default: {
                const uint32_t pixel = readU32(source + x * 4);
                target[0] = expand(pixel, h.red);
                target[1] = expand(pixel, h.green);
                target[2] = expand(pixel, h.blue);
                break;
            }
            }
        }
    }
    return true;
}

bool readBitmapImage(const char* path, BitmapImage& image) {
    if (path == nullptr) {
        return false;
    }
    std::FILE* file = platformOpenFile(path, "rb");
    if (file == nullptr) {
        return false;
    }
    std::vector<uint8_t> bytes;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long length = ok ? std::ftell(file) : -1;
    ok = ok && length >= 0 && length <= maxBitmapFile && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        ok = resizeBytes(bytes, static_cast<std::size_t>(length)) &&
             std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok && decodeBitmap(bytes.data(), bytes.size(), image);
}
