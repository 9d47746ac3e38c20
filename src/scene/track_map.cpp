// track_map.cpp -- the map texture and its few quads.
#include "scene/track_map.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/angles.h"
#include "render/render.h"
#include "race/course.h"
#include "scene/scene.h"
#include "vehicle/vehicle_look.h"

namespace {

constexpr int mapPixels = 128;                              // a side; every fourth height sample
constexpr int samplesPerPixel = terrainSamples / mapPixels;
uint32_t mapTexture = 0;

// The ground's colour at a pixel: low ground green, high ground sandy, each
// lit by the slope's face toward the north-west (-x, -z).
void shade(const TerrainMap& ground, int px, int pz, uint8_t* rgb) {
    const int x = px * samplesPerPixel, z = pz * samplesPerPixel, step = samplesPerPixel;
    const float h = terrainHeightAt(&ground, x, z);
    const float east = terrainHeightAt(&ground, std::min(x + step, terrainSamples - 1), z) -
                       terrainHeightAt(&ground, std::max(x - step, 0), z);
    const float south = terrainHeightAt(&ground, x, std::min(z + step, terrainSamples - 1)) -
                        terrainHeightAt(&ground, x, std::max(z - step, 0));
    const float light = std::clamp(0.75f + 0.35f * (east + south), 0.35f, 1.2f);
    const float high = std::clamp(h / 8.0f, 0.0f, 1.0f); // heights run 0 to 12.75
    const float base[3] = {0.30f + 0.45f * high, 0.55f + 0.15f * high, 0.22f + 0.25f * high};
    for (int c = 0; c < 3; ++c) {
        rgb[c] = static_cast<uint8_t>(std::clamp(base[c] * light, 0.0f, 1.0f) * 255.0f);
    }
}

// A point of the ground (x, z) on the map: x to the right, -z up.
void vertexAt(float x, float z) { vertex2(x, -z); }

} // namespace

namespace {

const TerrainMap* pending = nullptr; // the ground whose picture is still to be made

void makeTrackMap(const TerrainMap& ground) {
    std::vector<uint8_t> pixels(mapPixels * mapPixels * 3);
    for (int pz = 0; pz < mapPixels; ++pz) {
        for (int px = 0; px < mapPixels; ++px) {
            shade(ground, px, pz, &pixels[(pz * mapPixels + px) * 3]);
        }
    }
    uploadTexture(&mapTexture, 1, 3, mapPixels, mapPixels, pixels.data(), true); // linear, edges clamped
}

} // namespace

// Made when first drawn: most starts never show the map, none in their first frame.
void buildTrackMap(const TerrainMap& ground) { pending = &ground; }

void drawTrackMap(const ShownWorld& shown, float viewportWidth, float viewportHeight) {
    if (viewportWidth <= 0 || viewportHeight <= 0) {
        return;
    }
    // Everything set here is put back: the views after it bind their pictures
    // only when they change.
    pushState();
    if (pending != nullptr) {
        makeTrackMap(*pending);
        pending = nullptr;
    }
    disable(Feature::lighting);
    disable(Feature::depthTest);
    disable(Feature::blend);
    // The ground's square (-100..100 on each axis) as large as fits, centred.
    const double aspect = viewportWidth / viewportHeight, half = terrainHalfSize * 1.04;
    matrixMode(MatrixKind::projection);
    loadIdentity();
    ortho(-half * std::max(1.0, aspect), half * std::max(1.0, aspect), -half * std::max(1.0, 1 / aspect),
            half * std::max(1.0, 1 / aspect), -1, 1);
    matrixMode(MatrixKind::modelview);
    loadIdentity();

    enable(Feature::texture);
    bindTexture(mapTexture);
    colour(1, 1, 1); // the picture as it is: lighting is off
    const float edge = terrainHalfSize;
    begin(Primitive::quads);
    texCoord(0, 0), vertexAt(-edge, -edge);
    texCoord(1, 0), vertexAt(edge, -edge);
    texCoord(1, 1), vertexAt(edge, edge);
    texCoord(0, 1), vertexAt(-edge, edge);
    end();
    disable(Feature::texture);

    const World& world = *shown.world;
    if (world.race.phase != RacePhase::off) {
        // The gates, post to post; the start line yellow.
        lineWidth(2);
        begin(Primitive::lines);
        for (int32_t g = 0; g < world.course.count; ++g) {
            const Gate& gate = world.course.gates[g];
            float forward[2], right[2];
            gateDirections(gate, forward, right);
            g == 0 ? colour(1, 0.9f, 0.2f) : colour(1, 1, 1);
            vertexAt(gate.x - right[0] * gate.width / 2, gate.z - right[1] * gate.width / 2);
            vertexAt(gate.x + right[0] * gate.width / 2, gate.z + right[1] * gate.width / 2);
        }
        end();
    }
    // Each vehicle an arrow of its colour, pointing where it heads (a time
    // trial's other two are off the course: not shown).
    begin(Primitive::triangles);
    for (int32_t v = 0; v < vehicleCount; ++v) {
        if (world.race.offCourse[v]) {
            continue;
        }
        const Vehicle& vehicle = shown.vehicles[v];
        const double h = radians(vehicle.heading);
        const float f[2] = {static_cast<float>(-std::sin(h)), static_cast<float>(-std::cos(h))};
        const float r[2] = {-f[1], f[0]};
        const float x = vehicle.position[0], z = vehicle.position[2];
        colour(vehicleLooks[v].colour[0], vehicleLooks[v].colour[1], vehicleLooks[v].colour[2]);
        vertexAt(x + 9 * f[0], z + 9 * f[1]);
        vertexAt(x - 6 * f[0] + 6 * r[0], z - 6 * f[1] + 6 * r[1]);
        vertexAt(x - 6 * f[0] - 6 * r[0], z - 6 * f[1] - 6 * r[1]);
    }
    end();
    // With the colour material on, each colour above also set the material,
    // which no attribute group gives back: white, as the views' lines leave it.
    colour(1, 1, 1);
    popState();
}
