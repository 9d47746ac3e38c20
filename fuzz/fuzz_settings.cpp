// fuzz_settings.cpp -- any bytes as settings.cfg, the file every player edits by
// hand: the reader never fails, and what it leaves is a configuration the game
// can start with.
#include <cstdint>
#include <cstdio>

#include <cstring>

#include "core/key_names.h"
#include "core/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (file == nullptr) {
        return 0;
    }
    Settings settings{};
    readSettingsStream(settings, file);
    std::fclose(file);
    // Full screen only in a listed mode, the volume at most full, a known
    // filter, a race of 1 to 20 laps, a computer skill of 1 to 3.
    const bool listedMode = (settings.width == 320 && settings.height == 240) ||
                            (settings.width == 640 && settings.height == 480) ||
                            (settings.width == 800 && settings.height == 600) ||
                            (settings.width == 1024 && settings.height == 768) ||
                            (settings.width == 1152 && settings.height == 864) ||
                            (settings.width == 1280 && settings.height == 960) ||
                            (settings.width == 1600 && settings.height == 1200);
    if ((settings.fullscreen && !listedMode) || settings.volume > 100 || settings.textureFilter < filterPoint ||
        settings.textureFilter > filterMipmap || settings.laps < 1 || settings.laps > 20 || settings.computerSkill < 1 ||
        settings.computerSkill > 3) {
        __builtin_trap();
    }
    // A vehicle's keys are five keys of the table (and a rescue's, or none),
    // from a line of the file, or none at all.
    for (int v = 0; v < 3; ++v) {
        for (int slot = 0; slot < keySlotCount; ++slot) {
            const uint8_t code = settings.vehicleKeys[v][slot];
            const bool key = code != 0 && keyNameOfCode(code) != nullptr;
            if (key != (settings.vehicleKeysLine[v] > 0) && (slot != keyRescue || key)) {
                __builtin_trap();
            }
        }
    }
    if (std::memchr(settings.keyFaults, '\0', sizeof settings.keyFaults) == nullptr) {
        __builtin_trap();
    }
    return 0;
}
