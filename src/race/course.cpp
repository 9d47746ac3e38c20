// course.cpp -- reading a course file and the geometry of a gate.
#include "race/course.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/angles.h"
#include "common/game_math.h"
#include "common/text_scanner.h"

namespace {

// A gate whose numbers make a course: finite, its centre where the vehicles
// drive, its posts on the map, a width a vehicle fits through.
const char* gateFault(const Gate& gate) {
    for (float value : {gate.x, gate.z, gate.heading, gate.width}) {
        if (!std::isfinite(value)) {
            return "a number is too large";
        }
    }
    if (gate.width <= 0 || gate.width > maxGateWidth) {
        return "the width must be more than 0 and at most 60";
    }
    if (std::fabs(gate.x) >= gateSquare || std::fabs(gate.z) >= gateSquare) {
        return "the gate's centre lies outside the square the vehicles drive in (-87.5 to 87.5)";
    }
    float forward[2], right[2];
    gateDirections(gate, forward, right);
    for (float side : {-0.5f, 0.5f}) {
        if (std::fabs(gate.x + side * gate.width * right[0]) > 100 ||
            std::fabs(gate.z + side * gate.width * right[1]) > 100) {
            return "a post stands off the map (-100 to 100)";
        }
    }
    return nullptr;
}

// The text after "# name:" on a comment line, trimmed; false for any other line.
bool readName(TextScanner& scanner, char (&name)[48]) {
    char word[48];
    if (!scanner.readWord(word, sizeof word) ||
        !(std::strcmp(word, "#name:") == 0 ||
          (std::strcmp(word, "#") == 0 && !scanner.lineEndsHere('\0') && scanner.readWord(word, sizeof word) &&
           std::strcmp(word, "name:") == 0))) {
        return false;
    }
    std::size_t used = 0;
    name[0] = '\0';
    while (!scanner.lineEndsHere('\0') && scanner.readWord(word, sizeof word)) {
        const int written = std::snprintf(name + used, sizeof name - used, "%s%s", used > 0 ? " " : "", word);
        used = std::min(sizeof name - 1, used + static_cast<std::size_t>(written > 0 ? written : 0));
    }
    return true;
}

} // namespace

bool readCourse(std::FILE* file, Course& course, LineFault& error) {
    std::memset(&course, 0, sizeof course);
    error = LineFault{};
    if (file == nullptr) {
        return failAtLine(error, 0, "the file cannot be read");
    }
    TextScanner scanner(file);
    Course read{};
    bool first = true;
    while (!scanner.atEnd()) {
        const int line = scanner.line();
        if (scanner.lineEndsHere('#')) { // a comment line; the first may name the course
            if (first) {
                readName(scanner, read.name);
            }
            first = false;
            scanner.skipLine();
            continue;
        }
        first = false;
        float values[4];
        for (float& value : values) {
            if (scanner.lineEndsHere('#') || !scanner.readFloat(value)) {
                return failAtLine(error, line, "expected four numbers: centre x, centre z, heading, width");
            }
        }
        if (!scanner.lineEndsHere('#')) {
            return failAtLine(error, line, "unexpected words after the width");
        }
        scanner.skipLine();
        const Gate gate{values[0], values[1], values[2], values[3]};
        if (const char* fault = gateFault(gate)) {
            return failAtLine(error, line, fault);
        }
        if (read.count == maxGates) {
            return failAtLine(error, line, "more gates than a course may have (32)");
        }
        read.gates[read.count++] = gate;
    }
    if (read.count < minGates) {
        return failAtLine(error, 0, "a course needs at least 3 gates");
    }
    course = read;
    return true;
}

void gateDirections(const Gate& gate, float (&forward)[2], float (&right)[2]) {
    const double h = radians(gate.heading);
    double sine, cosine;
    gameSinCos(h, sine, cosine);
    forward[0] = static_cast<float>(-sine);
    forward[1] = static_cast<float>(-cosine);
    right[0] = -forward[1];
    right[1] = forward[0];
}

bool crossesGate(const Gate& gate, float x0, float z0, float x1, float z1, double& fraction) {
    float forward[2], right[2];
    gateDirections(gate, forward, right);
    const double before = (static_cast<double>(x0) - gate.x) * forward[0] + (static_cast<double>(z0) - gate.z) * forward[1];
    const double after = (static_cast<double>(x1) - gate.x) * forward[0] + (static_cast<double>(z1) - gate.z) * forward[1];
    if (!(before < 0 && after >= 0)) {
        return false;
    }
    const double t = before / (before - after);
    const double x = x0 + t * (static_cast<double>(x1) - x0), z = z0 + t * (static_cast<double>(z1) - z0);
    const double across = (x - gate.x) * right[0] + (z - gate.z) * right[1];
    if (std::fabs(across) > gate.width / 2.0) {
        return false;
    }
    fraction = t > 0 ? t : 0;
    return true;
}
