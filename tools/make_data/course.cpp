// course.cpp -- a track's course of gates, checked against the ground it lies
// on, and the pictures a gate is drawn with.
//
// The gates stand where the course is meant to go; the generator checks that
// each one is clear of bushes and trees and that no leg between two gates is
// steeper than a vehicle takes at speed, and refuses to write a course that
// is not. Each gate faces the way from the gate before it to the gate after it,
// so that its line halves the turn.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "data_set.h"
#include "image.h"

namespace gen {
namespace {

constexpr float steepestLeg = 0.6f;   // rise over run, the ramp's kicker included
constexpr float growthClearance = 2.0f; // from a post or the centre to a bush's or tree's edge

// Degrees in (-180, 180], with no negative zero.
float headingOf(float dx, float dz) {
    const float heading = static_cast<float>(std::atan2(-dx, -dz) * 180.0 / 3.14159265358979323846);
    return (heading <= -180.0f ? heading + 360.0f : heading) + 0.0f;
}

// The largest rise over run along a straight leg, in half-unit steps.
float steepness(const TrackShape& shape, const Waypoint& a, const Waypoint& b) {
    const float length = std::hypot(b.x - a.x, b.z - a.z);
    const int steps = static_cast<int>(length / 0.5f) + 1;
    float steepest = 0, previous = shape.height(a.x, a.z);
    for (int k = 1; k <= steps; ++k) {
        const float t = static_cast<float>(k) / steps;
        const float h = shape.height(a.x + t * (b.x - a.x), a.z + t * (b.z - a.z));
        steepest = std::fmax(steepest, std::fabs(h - previous) / (length / steps));
        previous = h;
    }
    return steepest;
}

// True when a bush or a tree stands within the clearance of this point.
bool growthNear(const TrackShape& shape, float x, float z) {
    for (int i = 1; i < 32; ++i) {
        for (int j = 1; j < 32; ++j) {
            const uint8_t kind = shape.growth[static_cast<size_t>(i) * 32 + j];
            const float radius = kind == 128 ? 2.5f : kind == 192 ? 4.0f : -1.0f; // half the cross's size
            if (radius > 0 && std::hypot(j * 6.25f - 100 - x, i * 6.25f - 100 - z) < radius + growthClearance) {
                return true;
            }
        }
    }
    return false;
}

[[noreturn]] void refuse(const CourseSpec& course, const char* what, int gate) {
    std::fprintf(stderr, "make_data: %s's gate %d %s\n", course.name, gate, what);
    std::exit(1);
}

// Red and white bands round a post.
Picture makePost() {
    Picture picture(32, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool red = (y / 8) % 2 == 0;
            const float grain = 0.92f + 0.08f * hashUnit(x, y, 211);
            picture.at(x, y) = scale(red ? Colour{0.78f, 0.12f, 0.10f, 1} : Colour{0.93f, 0.92f, 0.88f, 1}, grain);
        }
    }
    return picture;
}

// A chequered banner with a dark border, the same from either side.
Picture makeBanner() {
    Picture picture(128, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 128; ++x) {
            const bool border = y < 3 || y > 28;
            const bool dark = ((x / 8) + (y - 3) / 8) % 2 == 0;
            const Colour c = border ? Colour{0.15f, 0.15f, 0.18f, 1} : dark ? Colour{0.08f, 0.08f, 0.08f, 1}
                                                                             : Colour{0.95f, 0.95f, 0.92f, 1};
            picture.at(x, y) = scale(c, 0.94f + 0.06f * hashUnit(x, y, 223));
        }
    }
    return picture;
}

} // namespace

void makeCourse(const std::string& folder, const CourseSpec& course, const TrackShape& shape, Report& report) {
    const std::vector<Waypoint>& gates = course.waypoints;
    const int count = static_cast<int>(gates.size());
    std::string text = std::string("# name: ") + course.name + "\n" +
                       "# Mudlark's course: one gate a line, in the order a race passes them (the\n"
                       "# last leads back to the first): centre x, centre z, heading in degrees\n"
                       "# (0 faces -z, 90 faces -x), width between the posts.\n";
    for (int k = 0; k < count; ++k) {
        const Waypoint& before = gates[(k + count - 1) % count];
        const Waypoint& gate = gates[k];
        const Waypoint& after = gates[(k + 1) % count];
        const float heading = headingOf(after.x - before.x, after.z - before.z);
        const float across[2] = {static_cast<float>(std::cos(heading * 3.14159265358979323846 / 180)),
                                 static_cast<float>(-std::sin(heading * 3.14159265358979323846 / 180))};
        for (float side : {-0.5f, 0.0f, 0.5f}) {
            if (growthNear(shape, gate.x + side * gate.width * across[0], gate.z + side * gate.width * across[1])) {
                refuse(course, "stands in a bush or a tree", k);
            }
        }
        const float steep = steepness(shape, gate, after);
        if (steep > steepestLeg) {
            refuse(course, "begins a leg too steep to drive", k);
        }
        report.steepestLeg = std::fmax(report.steepestLeg, steep);
        report.courseLength += std::hypot(after.x - gate.x, after.z - gate.z);
        char line[96];
        std::snprintf(line, sizeof line, "%7.2f %7.2f %7.1f %5.1f\n", gate.x, gate.z, heading, gate.width);
        text += line;
    }
    report.gates = count;
    char name[32];
    std::snprintf(name, sizeof name, "/Tracks/Gates_%02d.txt", course.number);
    writeText(folder + name, text);
}

void makeGatePictures(const std::string& folder) {
    writeTga(folder + "/Textures/GatePost.tga", makePost(), 24);
    writeTga(folder + "/Textures/GateBanner.tga", makeBanner(), 24);
}

} // namespace gen
