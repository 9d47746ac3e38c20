// bytes.cpp -- little-endian numbers, FNV-1a, CRC-32, whole files.
#include "common/bytes.h"

#include <array>

void putLittle(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>(value >> (8 * i) & 0xFF);
    }
}

void putLittle(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i) & 0xFF));
    }
}

uint64_t getLittle(const uint8_t* at, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | at[i];
    }
    return value;
}

uint32_t fnvHash(uint32_t hash, const void* bytes, size_t size) {
    const auto* b = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ b[i]) * 16777619u;
    }
    return hash;
}

namespace {

// The remainder of each byte by the reflected polynomial 0xEDB88320.
std::array<uint32_t, 256> crcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

} // namespace

uint32_t crc32Of(const uint8_t* bytes, size_t size, size_t zeroedAt) {
    static const std::array<uint32_t, 256> table = crcTable();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t byte = i >= zeroedAt && i - zeroedAt < 4 ? 0 : bytes[i];
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

WholeFile readWholeFile(std::FILE* file, size_t cap, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (file == nullptr) {
        return WholeFile::missing;
    }
    uint8_t chunk[65536];
    WholeFile result = WholeFile::read;
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        if (got > cap - bytes.size()) {
            result = WholeFile::tooLarge;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    result = result == WholeFile::read && std::ferror(file) ? WholeFile::unreadable : result;
    std::fclose(file);
    if (result != WholeFile::read) {
        bytes.clear();
    }
    return result;
}
