// track_map.cpp -- the map texture and its few quads.
#include "scene/track_map.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/angles.h"
#include "common/gl_api.h"
#include "race/course.h"
#include "scene/scene.h"
#include "vehicle/vehicle_look.h"

namespace {

constexpr int mapPixels = 128;                              // a side; every fourth height sample
constexpr int samplesPerPixel = terrainSamples / mapPixels;
GLuint mapTexture = 0;

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
void vertexAt(float x, float z) { glVertex2f(x, -z); }

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
    if (mapTexture == 0) {
        glGenTextures(1, &mapTexture);
    }
    glBindTexture(GL_TEXTURE_2D, mapTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, mapPixels, mapPixels, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
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
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_LINE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    if (pending != nullptr) {
        makeTrackMap(*pending);
        pending = nullptr;
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    // The ground's square (-100..100 on each axis) as large as fits, centred.
    const double aspect = viewportWidth / viewportHeight, half = terrainHalfSize * 1.04;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half * std::max(1.0, aspect), half * std::max(1.0, aspect), -half * std::max(1.0, 1 / aspect),
            half * std::max(1.0, 1 / aspect), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, mapTexture);
    glColor3f(1, 1, 1); // the picture as it is: lighting is off
    const float edge = terrainHalfSize;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), vertexAt(-edge, -edge);
    glTexCoord2f(1, 0), vertexAt(edge, -edge);
    glTexCoord2f(1, 1), vertexAt(edge, edge);
    glTexCoord2f(0, 1), vertexAt(-edge, edge);
    glEnd();
    glDisable(GL_TEXTURE_2D);

    const World& world = *shown.world;
    if (world.race.phase != RacePhase::off) {
        // The gates, post to post; the start line yellow.
        glLineWidth(2);
        glBegin(GL_LINES);
        for (int32_t g = 0; g < world.course.count; ++g) {
            const Gate& gate = world.course.gates[g];
            float forward[2], right[2];
            gateDirections(gate, forward, right);
            g == 0 ? glColor3f(1, 0.9f, 0.2f) : glColor3f(1, 1, 1);
            vertexAt(gate.x - right[0] * gate.width / 2, gate.z - right[1] * gate.width / 2);
            vertexAt(gate.x + right[0] * gate.width / 2, gate.z + right[1] * gate.width / 2);
        }
        glEnd();
    }
    // Each vehicle an arrow of its colour, pointing where it heads (a time
    // trial's other two are off the course: not shown).
    glBegin(GL_TRIANGLES);
    for (int32_t v = 0; v < vehicleCount; ++v) {
        if (world.race.offCourse[v]) {
            continue;
        }
        const Vehicle& vehicle = shown.vehicles[v];
        const double h = radians(vehicle.heading);
        const float f[2] = {static_cast<float>(-std::sin(h)), static_cast<float>(-std::cos(h))};
        const float r[2] = {-f[1], f[0]};
        const float x = vehicle.position[0], z = vehicle.position[2];
        glColor3fv(vehicleLooks[v].colour);
        vertexAt(x + 9 * f[0], z + 9 * f[1]);
        vertexAt(x - 6 * f[0] + 6 * r[0], z - 6 * f[1] + 6 * r[1]);
        vertexAt(x - 6 * f[0] - 6 * r[0], z - 6 * f[1] - 6 * r[1]);
    }
    glEnd();
    // With the colour material on, each colour above also set the material,
    // which no attribute group gives back: white, as the views' lines leave it.
    glColor3f(1, 1, 1);
    glPopClientAttrib();
    glPopAttrib();
}
