// fuzz_settings.cpp -- any bytes as "settings.cfg".
#include <cstdint>
#include <cstdio>

#include "core/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    Settings settings{};
    readSettingsStream(settings, file);
    if (file != nullptr) {
        std::fclose(file);
    }
    // Only the listed sizes survive in full screen.
    if (settings.fullscreen && settings.width == 1000) {
        __builtin_trap();
    }
    return 0;
}
