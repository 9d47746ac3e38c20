// web_zlib.cpp -- compress2 and uncompress through the page's pako.
#include <emscripten.h>

#include "platform/web/zlib/zlib.h"

namespace {

// The deflated bytes' length, or -1 when they do not fit or pako is missing.
EM_JS(int, pakoDeflate, (const Bytef* source, int length, Bytef* dest, int capacity, int level), {
    if (typeof pako === 'undefined') return -1;
    const packed = pako.deflate(HEAPU8.subarray(source, source + length), {level : level});
    if (packed.length > capacity) return -1;
    HEAPU8.set(packed, dest);
    return packed.length;
});

// The inflated bytes' length, -1 for a damaged stream, -2 when they do not fit.
EM_JS(int, pakoInflate, (const Bytef* source, int length, Bytef* dest, int capacity), {
    if (typeof pako === 'undefined') return -1;
    let unpacked;
    try {
        unpacked = pako.inflate(HEAPU8.subarray(source, source + length));
    } catch (error) {
        return -1;
    }
    if (!unpacked || unpacked.length > capacity) return unpacked ? -2 : -1;
    HEAPU8.set(unpacked, dest);
    return unpacked.length;
});

} // namespace

uLong compressBound(uLong sourceLen) { return sourceLen + (sourceLen >> 12) + (sourceLen >> 14) + (sourceLen >> 25) + 13; }

int compress2(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen, int level) {
    const int packed = pakoDeflate(source, static_cast<int>(sourceLen), dest, static_cast<int>(*destLen), level);
    if (packed < 0) {
        return Z_BUF_ERROR;
    }
    *destLen = static_cast<uLongf>(packed);
    return Z_OK;
}

int uncompress(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen) {
    const int unpacked = pakoInflate(source, static_cast<int>(sourceLen), dest, static_cast<int>(*destLen));
    if (unpacked < 0) {
        return unpacked == -2 ? Z_BUF_ERROR : Z_DATA_ERROR;
    }
    *destLen = static_cast<uLongf>(unpacked);
    return Z_OK;
}
