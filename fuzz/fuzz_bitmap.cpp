// fuzz_bitmap.cpp -- any bytes as a BMP file.
#include <cstdint>

#include "assets/bitmap_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BitmapImage image;
    if (decodeBitmap(data, size, image)) {
        const size_t expected = static_cast<size_t>(image.width) * image.height * 3;
        if (image.width <= 0 || image.height <= 0 || image.pixels.size() != expected) {
            __builtin_trap();
        }
    }
    return 0;
}
