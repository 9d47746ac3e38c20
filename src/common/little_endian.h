// little_endian.h -- numbers as the game's files and packets keep them: the
// low byte first, whatever the machine.
#pragma once

#include <cstdint>
#include <string>

// Appends the low `bytes` bytes of value, the lowest first.
inline void putLittle(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>(value >> (8 * i) & 0xFF);
    }
}

// The number in `bytes` bytes at `at`, the lowest first.
inline uint64_t getLittle(const uint8_t* at, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | at[i];
    }
    return value;
}
