// fuzz_gates.cpp -- any bytes as a track's course file: the reader keeps only
// courses a race can run on.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "race/course.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (file == nullptr) {
        return 0;
    }
    static Course course;
    LineFault fault{};
    const bool read = readCourse(file, course, fault);
    std::fclose(file);
    if (!read) {
        if (course.count != 0 || std::memchr(fault.text, '\0', sizeof fault.text) == nullptr) {
            __builtin_trap(); // a refused file leaves no gates, and a message that ends
        }
        return 0;
    }
    if (course.count < minGates || course.count > maxGates || std::memchr(course.name, '\0', sizeof course.name) == nullptr) {
        __builtin_trap();
    }
    for (int32_t g = 0; g < course.count; ++g) {
        const Gate& gate = course.gates[g];
        if (!std::isfinite(gate.heading) || !(gate.width > 0) || !(std::fabs(gate.x) < gateSquare) ||
            !(std::fabs(gate.z) < gateSquare)) {
            __builtin_trap();
        }
    }
    return 0;
}
