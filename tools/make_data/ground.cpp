// ground.cpp -- the corner lattice, the height file and the course's line.
#include "ground.h"

#include <cmath>
#include <cstdio>

namespace gen {

namespace {

// Catmull-Rom through four values: passes exactly through the middle two.
float catmullRom(float p0, float p1, float p2, float p3, float t) {
    return p1 + 0.5f * t * (p2 - p0 + t * (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3 +
                                          t * (3.0f * (p1 - p2) + p3 - p0)));
}

} // namespace

float worldOf(int index) { return static_cast<float>(index) * cell - 100.0f; }

int wrapLattice(int i) { return ((i % lattice) + lattice) % lattice; }

Corners cornersFrom(const std::function<float(int column, int row)>& height) {
    Corners corners{};
    for (int row = 0; row < lattice; ++row) {
        for (int column = 0; column < lattice; ++column) {
            float h = height(column, row);
            h = h < 0.0f ? 0.0f : (h > 12.7f ? 12.7f : h);
            corners.value[row][column] = static_cast<uint8_t>(h / 0.05f + 0.5f);
        }
    }
    return corners;
}

float surfaceHeight(const Corners& corners, float x, float z) {
    const float u = (x + 100.0f) / cell;
    const float v = (z + 100.0f) / cell;
    const int j = static_cast<int>(std::floor(u));
    const int i = static_cast<int>(std::floor(v));
    const float fx = u - j;
    const float fz = v - i;
    const float h00 = corners.height(j, i);
    const float h11 = corners.height(j + 1, i + 1);
    if (fx >= fz) {
        const float h10 = corners.height(j + 1, i);
        return h00 + (h10 - h00) * fx + (h11 - h10) * fz;
    }
    const float h01 = corners.height(j, i + 1);
    return h00 + (h11 - h01) * fx + (h01 - h00) * fz;
}

std::vector<uint8_t> makeHeights(const Corners& corners) {
    std::vector<uint8_t> heights(512 * 512);
    for (int z = 0; z < 512; ++z) {
        for (int x = 0; x < 512; ++x) {
            const int j = x / 16;
            const int i = z / 16;
            const float tx = (x % 16) / 16.0f;
            const float tz = (z % 16) / 16.0f;
            float rows[4];
            for (int k = 0; k < 4; ++k) {
                const int row = i - 1 + k;
                rows[k] = catmullRom(corners.value[wrapLattice(row)][wrapLattice(j - 1)],
                                     corners.value[wrapLattice(row)][wrapLattice(j)],
                                     corners.value[wrapLattice(row)][wrapLattice(j + 1)],
                                     corners.value[wrapLattice(row)][wrapLattice(j + 2)], tx);
            }
            float value = catmullRom(rows[0], rows[1], rows[2], rows[3], tz);
            value = value < 0.0f ? 0.0f : (value > 255.0f ? 255.0f : value);
            heights[static_cast<size_t>(z) * 512 + x] = static_cast<uint8_t>(value + 0.5f);
        }
    }
    return heights;
}

float courseDistance(const std::vector<Waypoint>& course, float x, float z) {
    float nearest = 1e9f;
    for (size_t k = 0; k < course.size(); ++k) {
        const Waypoint& a = course[k];
        const Waypoint& b = course[(k + 1) % course.size()];
        const float dx = b.x - a.x, dz = b.z - a.z;
        const float length2 = dx * dx + dz * dz;
        float t = length2 > 0 ? ((x - a.x) * dx + (z - a.z) * dz) / length2 : 0;
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
        const float ex = a.x + t * dx - x, ez = a.z + t * dz - z;
        nearest = std::fmin(nearest, std::sqrt(ex * ex + ez * ez));
    }
    return nearest;
}

bool onStartLine(const std::vector<Waypoint>& course, float x, float z) {
    // The gate faces the way from the gate before it to the gate after it.
    const Waypoint& gate = course.front();
    const Waypoint& before = course.back();
    const Waypoint& after = course[1];
    const float dx = after.x - before.x, dz = after.z - before.z;
    const float length = std::sqrt(dx * dx + dz * dz);
    const float along = ((x - gate.x) * dx + (z - gate.z) * dz) / length;
    const float across = ((x - gate.x) * -dz + (z - gate.z) * dx) / length;
    if (std::fabs(along) >= 1.0f || std::fabs(across) >= gate.width / 2) {
        return false;
    }
    return ((static_cast<int>(std::floor(along)) + static_cast<int>(std::floor(across))) & 1) == 0;
}

std::vector<uint8_t> growthMap(const std::function<uint8_t(int j, int i, float x, float z)>& kind) {
    std::vector<uint8_t> growth(lattice * lattice, 255);
    for (int i = 0; i < lattice; ++i) {
        for (int j = 0; j < lattice; ++j) {
            growth[static_cast<size_t>(i) * lattice + j] = kind(j, i, worldOf(j), worldOf(i));
        }
    }
    return growth;
}

Picture paintTile(int size, const std::function<Colour(int x, int y, float u, float v)>& colour) {
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            picture.at(x, y) = colour(x, y, x / static_cast<float>(size), y / static_cast<float>(size));
        }
    }
    return picture;
}

Picture paintMap(int size, const std::function<Colour(int x, int y, float wx, float wz)>& colour) {
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float wx = -100.0f + (x + 0.5f) * 200.0f / size;
            const float wz = 100.0f - (y + 0.5f) * 200.0f / size;
            picture.at(x, y) = colour(x, y, wx, wz);
        }
    }
    return picture;
}

TrackShape writeGround(const std::string& folder, int number, const Corners& corners,
                       const std::vector<uint8_t>& growth, Report& report) {
    char name[48];
    std::snprintf(name, sizeof name, "/Tracks/Terrain_%02d.raw", number);
    writeBytes(folder + name, makeHeights(corners));
    std::snprintf(name, sizeof name, "/Tracks/Growth_%02d.raw", number);
    writeBytes(folder + name, growth);
    for (uint8_t value : growth) {
        report.growthCounts[value == 255 ? 4 : value / 64] += 1;
    }
    report.lowestCorner = 255;
    report.highestCorner = 0;
    for (const auto& row : corners.value) {
        for (uint8_t value : row) {
            report.lowestCorner = value < report.lowestCorner ? value : report.lowestCorner;
            report.highestCorner = value > report.highestCorner ? value : report.highestCorner;
        }
    }
    return TrackShape{[corners](float x, float z) { return surfaceHeight(corners, x, z); }, growth};
}

} // namespace gen
