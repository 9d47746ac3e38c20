// fuzz_records.cpp -- any bytes as the player's records file: what is read is
// written back as the same records.
#include <cstdint>
#include <cstdio>
#include <string>

#include "race/records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (file == nullptr) {
        return 0;
    }
    static RaceRecords records, again;
    LineFault fault{};
    const bool read = readRaceRecords(file, records, fault);
    std::fclose(file);
    if (!read) {
        if (records.count != 0) {
            __builtin_trap(); // a refused file gives no records
        }
        return 0;
    }
    std::string text = formatRaceRecords(records);
    std::FILE* written = fmemopen(text.data(), text.size(), "r");
    if (!readRaceRecords(written, again, fault) || again.count != records.count) {
        __builtin_trap(); // what the game writes it reads back
    }
    std::fclose(written);
    for (int32_t i = 0; i < records.count; ++i) {
        if (again.entries[i].track != records.entries[i].track || again.entries[i].laps != records.entries[i].laps) {
            __builtin_trap();
        }
    }
    return 0;
}
