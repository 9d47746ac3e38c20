// fuzz_targa.cpp -- any bytes as a TGA file.
#include <cstdint>
#include <cstdio>

#include "assets/targa_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return 0;
    }
    TargaImage image;
    if (readTargaImage(file, image) == TargaResult::ok) {
        // What the upload will read must be there, byte for byte.
        const size_t expected = static_cast<size_t>(image.width) * image.height * (image.bitsPerPixel / 8);
        if (image.pixels.size() != expected || (image.bitsPerPixel != 24 && image.bitsPerPixel != 32)) {
            __builtin_trap();
        }
    }
    std::fclose(file);
    return 0;
}
