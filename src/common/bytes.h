// bytes.h -- the game's files and packets as bytes: numbers kept low byte
// first whatever the machine, the FNV-1a hash that tells two tracks or two
// worlds apart, the CRC-32 a file carries, and a whole file read without
// trusting its length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Appends the low `bytes` bytes of value, the lowest first.
void putLittle(std::string& out, uint64_t value, int bytes);
void putLittle(std::vector<uint8_t>& out, uint64_t value, int bytes);

// The number in `bytes` bytes at `at`, the lowest first.
uint64_t getLittle(const uint8_t* at, int bytes);

// FNV-1a: the hash so far (fnvBasis to begin with) and size more bytes.
constexpr uint32_t fnvBasis = 2166136261u;
uint32_t fnvHash(uint32_t hash, const void* bytes, size_t size);

// The CRC-32 (zlib's, PNG's) of size bytes, with the four bytes at zeroedAt
// counted as zeros: a file's own checksum field, when it sits inside what it
// sums. noField: every byte as it is.
constexpr size_t noField = ~size_t{0};
uint32_t crc32Of(const uint8_t* bytes, size_t size, size_t zeroedAt = noField);

// What became of reading a whole file.
enum class WholeFile { read, missing, unreadable, tooLarge };

// Reads all of file into bytes (replacing what they held) and closes it;
// refuses one longer than cap bytes before holding more than cap of it. A
// null file is missing.
WholeFile readWholeFile(std::FILE* file, size_t cap, std::vector<uint8_t>& bytes);
