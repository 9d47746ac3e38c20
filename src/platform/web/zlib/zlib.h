// zlib.h -- in a browser page, the three zlib calls the replay files use,
// answered by the page's pako (Debian's node-pako, zlib's own deflate and
// inflate in JavaScript): the same streams zlib reads and writes.
#pragma once

using uLong = unsigned long;
using uLongf = uLong;
using Bytef = unsigned char;

constexpr int Z_OK = 0;
constexpr int Z_DATA_ERROR = -3;
constexpr int Z_BUF_ERROR = -5;

// The most a stream of sourceLen bytes can take, as zlib reckons it.
uLong compressBound(uLong sourceLen);
int compress2(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen, int level);
int uncompress(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen);
