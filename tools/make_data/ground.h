// ground.h -- what every made track's ground shares: the lattice of corner
// heights the game draws and drives on, the height file interpolated between
// them, the drawn surface's height, and the distance to a course's line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data_set.h"
#include "image.h"

namespace gen {

constexpr int lattice = 32;  // corners along each side
constexpr float cell = 6.25f; // units between corners

float worldOf(int index); // the world x (or z) of a corner column (or row)
int wrapLattice(int i);

// Corner heights in bytes (x 0.05 units), indexed [row][column].
struct Corners {
    uint8_t value[lattice][lattice];
    float height(int column, int row) const { return value[wrapLattice(row)][wrapLattice(column)] * 0.05f; }
};

// Every corner from its height in units, kept within 0..12.7.
Corners cornersFrom(const std::function<float(int column, int row)>& height);

// The drawn surface's height at a world point (the same triangles as the game).
float surfaceHeight(const Corners& corners, float x, float z);

// The 512 x 512 height file: the corners exactly, Catmull-Rom between them, so
// that a paint program shows the ground as the game shapes it.
std::vector<uint8_t> makeHeights(const Corners& corners);

// How far a point lies from a closed course's line through its waypoints.
float courseDistance(const std::vector<Waypoint>& course, float x, float z);

// True on the light squares of a chequered band two units deep across the
// course's first gate, between its posts.
bool onStartLine(const std::vector<Waypoint>& course, float x, float z);

// The growth map: each cell (column j, row i, its low corner at world x, z)
// as kind says (255: nothing).
std::vector<uint8_t> growthMap(const std::function<uint8_t(int j, int i, float x, float z)>& kind);

// A ground picture of size x size that repeats across the map: pixel (x, y)
// is colour(x, y, u, v), with u = x / size and v = y / size.
Picture paintTile(int size, const std::function<Colour(int x, int y, float u, float v)>& colour);

// A picture stretched once over the map: pixel (x, y) of size x size is
// colour(x, y, wx, wz) of the world point at its centre. Row 0 is the map's +z
// edge, as the game lays it (t = 1 - z / 200).
Picture paintMap(int size, const std::function<Colour(int x, int y, float wx, float wz)>& colour);

// Writes track N's Terrain_NN.raw and Growth_NN.raw, notes the ground's facts
// for the summary line, and gives the shape the course is checked against.
TrackShape writeGround(const std::string& folder, int number, const Corners& corners,
                       const std::vector<uint8_t>& growth, Report& report);

} // namespace gen
