// buggy.cpp -- the vehicle: an open off-road buggy facing -z, and its textures.
//
// Model units are world units; the wheel centres sit at y = 0 and the game
// draws the body raised by the wheel radius, so the ground is at y = -0.45.
// The driver's eye is at (-0.35, 0.95, 0.7) in these coordinates: 1.4 above
// the ground, 0.35 left of the middle and 0.5 ahead of the rear axle (z = 1.2),
// above a low racing screen (its glass has alpha 0) and the bonnet.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "data_set.h"
#include "image.h"

namespace gen {
namespace {

constexpr float halfWidth = 0.55f;  // body sides
constexpr float sill = -0.05f;      // underside of the body
constexpr float wheelTrack = 0.72f; // wheel centres at +-0.72
constexpr float frontAxle = -1.2f;
constexpr float rearAxle = 1.2f;
constexpr float wheelWidth = 0.28f;
constexpr float wheelRadius = 0.45f;

struct Vec3 {
    float x, y, z;
};

enum Plane { XZ, ZY, XY };
const char* planeWord(Plane plane) { return plane == XZ ? "XZ" : (plane == ZY ? "ZY" : "XY"); }

struct TextureRecord {
    const char* file;
    float uStart, uEnd, vStart, vEnd;
};

struct Face {
    Vec3 corners[4];
    int normal;
    int texture;
    Plane plane;
    const char* what;
};

// ---- textures ------------------------------------------------------------

// Light paint, so the vehicle's colour tints it; a little grain.
Colour paint(float shade, int x, int y, uint32_t seed) {
    const float grain = 0.96f + 0.04f * hashUnit(x, y, seed);
    return Colour{shade * grain, shade * grain, shade * grain, 1.0f};
}

bool inEllipse(float u, float v, float cu, float cv, float ru, float rv) {
    const float du = (u - cu) / ru;
    const float dv = (v - cv) / rv;
    return du * du + dv * dv <= 1.0f;
}

Picture paintSide() {
    Picture p(128, 32);
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x) {
            const float u = (x + 0.5f) / p.width();  // 0 at the nose, 1 at the tail
            const float v = (y + 0.5f) / p.height(); // 0 at the sill, 1 at y = 0.45
            float shade = 0.9f;
            if (v > 0.55f && v < 0.7f) {
                shade = 0.62f; // racing stripe
            }
            if (v < 0.12f) {
                shade = 0.55f; // sill
            }
            // The cockpit opening's edge and a door seam.
            if ((u > 0.43f && u < 0.44f) || (u > 0.77f && u < 0.78f)) {
                shade = 0.5f;
            }
            if (inEllipse(u, v, 0.6f, 0.35f, 0.05f, 0.2f)) {
                shade = 0.98f; // number disc
            }
            // Dark wheel arches behind the wheels.
            const float frontArch = (frontAxle + 1.75f) / 3.5f;
            const float rearArch = (rearAxle + 1.75f) / 3.5f;
            if (inEllipse(u, v, frontArch, 0.0f, 0.15f, 1.05f) ||
                inEllipse(u, v, rearArch, 0.0f, 0.15f, 1.05f)) {
                shade = 0.22f;
            }
            p.at(x, y) = paint(shade, x, y, 201);
        }
    }
    return p;
}

Picture paintBonnet() {
    Picture p(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const float u = (x + 0.5f) / 64;
            const float v = (y + 0.5f) / 64; // 1 at the nose, 0 at the windscreen
            float shade = 0.9f;
            if (u > 0.42f && u < 0.58f) {
                shade = 0.66f;
            }
            // Two vents near the windscreen.
            for (float cu : {0.22f, 0.78f}) {
                if (std::fabs(u - cu) < 0.1f && v > 0.1f && v < 0.3f && (y % 3) == 0) {
                    shade = 0.35f;
                }
            }
            if (u < 0.03f || u > 0.97f) {
                shade = 0.6f;
            }
            p.at(x, y) = paint(shade, x, y, 203);
        }
    }
    return p;
}

Picture paintNose() {
    Picture p(64, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) {
            const float u = (x + 0.5f) / 64;
            const float v = (y + 0.5f) / 16;
            float shade = 0.85f;
            if (u > 0.3f && u < 0.7f && v > 0.2f && v < 0.8f) {
                shade = (y % 3 == 0) ? 0.7f : 0.25f; // grille
            }
            Colour c = paint(shade, x, y, 205);
            for (float cu : {0.14f, 0.86f}) {
                if (inEllipse(u, v, cu, 0.55f, 0.085f, 0.36f)) {
                    c = inEllipse(u, v, cu, 0.55f, 0.06f, 0.25f) ? Colour{1.0f, 1.0f, 0.9f, 1.0f}
                                                                 : Colour{0.3f, 0.3f, 0.3f, 1.0f};
                }
            }
            p.at(x, y) = c;
        }
    }
    return p;
}

Picture paintBumper() {
    Picture p(32, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 32; ++x) {
            const float shade = (y == 0 || y == 7) ? 0.5f : 0.78f + 0.04f * (y % 2);
            p.at(x, y) = paint(shade, x, y, 207);
        }
    }
    return p;
}

Picture paintRear() {
    Picture p(64, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) {
            const float u = (x + 0.5f) / 64;
            const float v = (y + 0.5f) / 16;
            Colour c = paint(0.85f, x, y, 209);
            if ((u > 0.06f && u < 0.2f) || (u > 0.8f && u < 0.94f)) {
                if (v > 0.4f && v < 0.85f) {
                    c = Colour{0.95f, 0.25f, 0.2f, 1.0f}; // tail lights
                }
            }
            if (u > 0.38f && u < 0.62f && v > 0.3f && v < 0.75f) {
                c = Colour{0.98f, 0.98f, 0.9f, 1.0f}; // number plate
                if (y == 7 && (x % 3) != 0) {
                    c = Colour{0.2f, 0.2f, 0.2f, 1.0f};
                }
            }
            p.at(x, y) = c;
        }
    }
    return p;
}

Picture paintDeck() {
    Picture p(32, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool slot = x > 6 && x < 26 && (y % 4) == 1;
            p.at(x, y) = paint(slot ? 0.35f : 0.82f, x, y, 211);
        }
    }
    return p;
}

Picture paintFloor() {
    Picture p(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            // Chequer plate: small raised diamonds.
            const int a = (x + y) % 8;
            const int b = (x - y + 32) % 8;
            const bool raised = (a == 0 || a == 1) && (b == 4 || b == 5);
            p.at(x, y) = paint(raised ? 0.85f : 0.62f, x, y, 213);
        }
    }
    return p;
}

Picture paintDash() {
    Picture p(64, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) {
            const float u = (x + 0.5f) / 64;
            const float v = (y + 0.5f) / 16;
            float shade = 0.72f;
            for (float cu : {0.16f, 0.3f}) {
                if (inEllipse(u, v, cu, 0.6f, 0.06f, 0.28f)) {
                    shade = inEllipse(u, v, cu, 0.6f, 0.045f, 0.2f) ? 0.2f : 0.95f;
                }
            }
            if (v > 0.9f) {
                shade = 0.5f;
            }
            p.at(x, y) = paint(shade, x, y, 215);
        }
    }
    return p;
}

// A frame around glass that is not there: alpha 0 inside, so the alpha test
// cuts it away and the driver sees the road.
Picture paintWindscreen() {
    Picture p(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool frame = x < 2 || x > 61 || y < 3 || y > 60;
            if (frame) {
                p.at(x, y) = paint(0.8f, x, y, 217);
            }
        }
    }
    p.bleedIntoTransparent();
    return p;
}

Picture paintSeat() {
    Picture p(64, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            const float u = (x + 0.5f) / 64;
            const float v = (y + 0.5f) / 32;
            float shade = 0.45f;
            for (float cu : {0.25f, 0.75f}) {
                if (std::fabs(u - cu) < 0.2f && v > 0.05f && v < 0.95f) {
                    shade = (x % 6 == 0) ? 0.65f : 0.88f; // padded and stitched
                }
            }
            p.at(x, y) = paint(shade, x, y, 219);
        }
    }
    return p;
}

Picture paintMetal() {
    Picture p(8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            p.at(x, y) = paint(0.8f + 0.02f * x, x, y, 221);
        }
    }
    return p;
}

Picture paintFender() {
    Picture p(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const float shade = (x < 3 || x > 28) ? 0.55f : 0.86f;
            p.at(x, y) = paint(shade, x, y, 223);
        }
    }
    return p;
}

// Rubber with chunky lugs; the wheels are drawn untinted.
Picture paintTread() {
    Picture p(64, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) {
            const int chevron = (x + (y < 8 ? y : 15 - y)) % 8;
            const bool lug = chevron < 4 && y > 1 && y < 14;
            const float shade = lug ? 0.3f : 0.14f;
            p.at(x, y) = Colour{shade, shade, shade * 0.95f, 1.0f};
        }
    }
    return p;
}

// The outer face of a wheel: sidewall, rim, five holes and the hub.
Picture paintHub() {
    Picture p(64, 64);
    // Five hole centres at 72-degree steps (unit vectors).
    const float holes[5][2] = {{0.0f, 1.0f}, {0.9511f, 0.3090f}, {0.5878f, -0.8090f},
                               {-0.5878f, -0.8090f}, {-0.9511f, 0.3090f}};
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const float dx = (x + 0.5f) / 32.0f - 1.0f;
            const float dy = (y + 0.5f) / 32.0f - 1.0f;
            const float r = std::sqrt(dx * dx + dy * dy);
            float shade = 0.16f; // sidewall
            if (r < 0.62f) {
                shade = 0.78f; // rim
                for (const auto& hole : holes) {
                    const float hx = dx - hole[0] * 0.4f;
                    const float hy = dy - hole[1] * 0.4f;
                    if (hx * hx + hy * hy < 0.012f) {
                        shade = 0.3f;
                    }
                }
                if (r < 0.17f) {
                    shade = 0.55f; // hub
                }
            } else if (r < 0.66f) {
                shade = 0.5f; // rim edge
            }
            p.at(x, y) = Colour{shade, shade, shade, 1.0f};
        }
    }
    return p;
}

Picture paintInnerCap() {
    Picture p(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const float dx = (x + 0.5f) / 16.0f - 1.0f;
            const float dy = (y + 0.5f) / 16.0f - 1.0f;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float shade = r < 0.6f ? 0.32f : 0.15f;
            p.at(x, y) = Colour{shade, shade, shade, 1.0f};
        }
    }
    return p;
}

// ---- geometry ------------------------------------------------------------

const Vec3 normals[] = {
    {0.0f, 1.0f, 0.0f},        // 0 up
    {0.0f, 0.0f, -1.0f},       // 1 forward
    {0.0f, 0.0f, 1.0f},        // 2 backward
    {-1.0f, 0.0f, 0.0f},       // 3 left
    {1.0f, 0.0f, 0.0f},        // 4 right
    {0.0f, 0.9986f, -0.0532f}, // 5 bonnet, rising toward the windscreen
    {0.0f, 0.3162f, -0.9487f}, // 6 windscreen, leaning back
};

const TextureRecord textures[] = {
    {"Models/BuggySide.tga", -1.75f, 1.75f, sill, 0.45f},                  // 0
    {"Models/BuggyBonnet.tga", -halfWidth, halfWidth, -1.75f, -0.25f},     // 1
    {"Models/BuggyNose.tga", -halfWidth, halfWidth, sill, 0.22f},          // 2
    {"Models/BuggyBumper.tga", -0.68f, 0.68f, -0.14f, 0.04f},              // 3
    {"Models/BuggyRear.tga", -halfWidth, halfWidth, sill, 0.25f},          // 4
    {"Models/BuggyDeck.tga", -halfWidth, halfWidth, 1.35f, 1.75f},         // 5
    {"Models/BuggyFloor.tga", -halfWidth, halfWidth, -0.25f, 1.35f},       // 6
    {"Models/BuggyDash.tga", -halfWidth, halfWidth, 0.0f, 0.30f},          // 7
    {"Models/BuggyWindscreen.tga", -halfWidth, halfWidth, 0.30f, 0.60f},   // 8
    {"Models/BuggySeat.tga", -0.5f, 0.5f, 0.0f, 0.7f},                     // 9 seat back
    {"Models/BuggySeat.tga", -0.5f, 0.5f, 0.6f, 1.05f},                    // 10 cushion
    {"Models/BuggyMetal.tga", -halfWidth, halfWidth, 0.25f, 1.25f},        // 11 roll bar
    {"Models/BuggyFender.tga", halfWidth, 0.88f, -1.7f, -0.7f},            // 12 right fenders
    {"Models/BuggyFender.tga", -0.88f, -halfWidth, -1.7f, -0.7f},          // 13 left fenders
    {"Models/BuggyTread.tga", 0.0f, 1.0f, 0.0f, 1.0f},                     // 14 tyre tread
    {"Models/BuggyHub.tga", 0.0f, 1.0f, 0.0f, 1.0f},                       // 15 outer wheel face
    {"Models/BuggyInnerCap.tga", 0.0f, 1.0f, 0.0f, 1.0f},                  // 16 inner wheel face
};

std::vector<Face> buggyFaces() {
    const float w = halfWidth;
    std::vector<Face> faces = {
        {{{-w, 0.22f, -1.75f}, {w, 0.22f, -1.75f}, {w, 0.30f, -0.25f}, {-w, 0.30f, -0.25f}}, 5, 1, XZ, "bonnet"},
        {{{-w, sill, -1.75f}, {w, sill, -1.75f}, {w, 0.22f, -1.75f}, {-w, 0.22f, -1.75f}}, 1, 2, XY, "nose"},
        {{{-0.68f, -0.14f, -1.85f}, {0.68f, -0.14f, -1.85f}, {0.68f, 0.04f, -1.85f}, {-0.68f, 0.04f, -1.85f}}, 1, 3, XY, "bumper"},
        {{{-w, sill, -1.75f}, {-w, sill, -0.25f}, {-w, 0.30f, -0.25f}, {-w, 0.22f, -1.75f}}, 3, 0, ZY, "left front side"},
        {{{w, sill, -1.75f}, {w, 0.22f, -1.75f}, {w, 0.30f, -0.25f}, {w, sill, -0.25f}}, 4, 0, ZY, "right front side"},
        {{{-w, sill, -0.25f}, {-w, sill, 1.75f}, {-w, 0.25f, 1.75f}, {-w, 0.25f, -0.25f}}, 3, 0, ZY, "left cockpit side"},
        {{{w, sill, -0.25f}, {w, 0.25f, -0.25f}, {w, 0.25f, 1.75f}, {w, sill, 1.75f}}, 4, 0, ZY, "right cockpit side"},
        {{{-w, sill, 1.75f}, {-w, 0.25f, 1.75f}, {w, 0.25f, 1.75f}, {w, sill, 1.75f}}, 2, 4, XY, "tail"},
        {{{-w, 0.25f, 1.35f}, {-w, 0.25f, 1.75f}, {w, 0.25f, 1.75f}, {w, 0.25f, 1.35f}}, 0, 5, XZ, "engine cover"},
        {{{-w, 0.0f, -0.25f}, {-w, 0.0f, 1.35f}, {w, 0.0f, 1.35f}, {w, 0.0f, -0.25f}}, 0, 6, XZ, "floor"},
        {{{-w, 0.0f, -0.25f}, {w, 0.0f, -0.25f}, {w, 0.30f, -0.25f}, {-w, 0.30f, -0.25f}}, 2, 7, XY, "dashboard"},
        {{{-w, 0.30f, -0.25f}, {w, 0.30f, -0.25f}, {w, 0.60f, -0.15f}, {-w, 0.60f, -0.15f}}, 6, 8, XY, "windscreen"},
        {{{-0.5f, 0.0f, 1.05f}, {0.5f, 0.0f, 1.05f}, {0.5f, 0.7f, 1.05f}, {-0.5f, 0.7f, 1.05f}}, 1, 9, XY, "seat backs"},
        {{{-0.5f, 0.2f, 0.6f}, {-0.5f, 0.2f, 1.05f}, {0.5f, 0.2f, 1.05f}, {0.5f, 0.2f, 0.6f}}, 0, 10, XZ, "seat cushions"},
        {{{-w, 0.25f, 1.25f}, {-0.45f, 0.25f, 1.25f}, {-0.45f, 1.25f, 1.25f}, {-w, 1.25f, 1.25f}}, 1, 11, XY, "roll bar left"},
        {{{0.45f, 0.25f, 1.25f}, {w, 0.25f, 1.25f}, {w, 1.25f, 1.25f}, {0.45f, 1.25f, 1.25f}}, 1, 11, XY, "roll bar right"},
        {{{-w, 1.15f, 1.25f}, {w, 1.15f, 1.25f}, {w, 1.25f, 1.25f}, {-w, 1.25f, 1.25f}}, 1, 11, XY, "roll bar top"},
        {{{-w, 0.25f, 1.2f}, {-w, 0.25f, 1.3f}, {-w, 1.25f, 1.3f}, {-w, 1.25f, 1.2f}}, 3, 11, ZY, "roll bar left outside"},
        {{{w, 0.25f, 1.2f}, {w, 1.25f, 1.2f}, {w, 1.25f, 1.3f}, {w, 0.25f, 1.3f}}, 4, 11, ZY, "roll bar right outside"},
        {{{w, 0.52f, -1.7f}, {0.88f, 0.52f, -1.7f}, {0.88f, 0.52f, -0.7f}, {w, 0.52f, -0.7f}}, 0, 12, XZ, "right front fender"},
        {{{-0.88f, 0.52f, -1.7f}, {-w, 0.52f, -1.7f}, {-w, 0.52f, -0.7f}, {-0.88f, 0.52f, -0.7f}}, 0, 13, XZ, "left front fender"},
        {{{w, 0.52f, 0.7f}, {0.88f, 0.52f, 0.7f}, {0.88f, 0.52f, 1.7f}, {w, 0.52f, 1.7f}}, 0, 12, XZ, "right rear fender"},
        {{{-0.88f, 0.52f, 0.7f}, {-w, 0.52f, 0.7f}, {-w, 0.52f, 1.7f}, {-0.88f, 0.52f, 1.7f}}, 0, 13, XZ, "left rear fender"},
    };
    return faces;
}

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(value));
    return text;
}

std::string modelText(const std::vector<Face>& faces) {
    std::string text;
    text += "# Mudlark buggy. Faces -z; wheel centres at y 0; units are world units.\n";
    text += "# Words that are no keywords are comments.\n\n";
    int vertexIndex = 0;
    for (size_t f = 0; f < faces.size(); ++f) {
        text += "# " + std::string(faces[f].what) + "\n";
        for (const Vec3& v : faces[f].corners) {
            text += "vertex: " + std::to_string(vertexIndex++) + " " + number(v.x) + " " +
                    number(v.y) + " " + number(v.z) + "\n";
        }
    }
    text += "\n";
    for (size_t n = 0; n < sizeof normals / sizeof normals[0]; ++n) {
        text += "normal: " + std::to_string(n) + " " + number(normals[n].x) + " " +
                number(normals[n].y) + " " + number(normals[n].z) + "\n";
    }
    text += "\n# index, u start, u end, v start, v end, picture\n";
    for (size_t t = 0; t < sizeof textures / sizeof textures[0]; ++t) {
        const TextureRecord& r = textures[t];
        text += "texture: " + std::to_string(t) + " " + number(r.uStart) + " " + number(r.uEnd) +
                " " + number(r.vStart) + " " + number(r.vEnd) + " " + r.file + "\n";
    }
    text += "\n# index, four vertices, normal, texture, mapping plane\n";
    for (size_t f = 0; f < faces.size(); ++f) {
        const int first = static_cast<int>(f) * 4;
        text += "face: " + std::to_string(f) + " " + std::to_string(first) + " " +
                std::to_string(first + 1) + " " + std::to_string(first + 2) + " " +
                std::to_string(first + 3) + " " + std::to_string(faces[f].normal) + " " +
                std::to_string(faces[f].texture) + " " + planeWord(faces[f].plane) + "\n";
    }
    text += "\n# x left and right, z front and rear, width, radius, outer face, tread, inner face\n";
    text += "wheel: " + number(-wheelTrack) + " " + number(wheelTrack) + " " + number(frontAxle) +
            " " + number(rearAxle) + " " + number(wheelWidth) + " " + number(wheelRadius) +
            " 15 14 16\n";
    return text;
}

} // namespace

void makeBuggy(const std::string& folder, Report& report) {
    const std::vector<Face> faces = buggyFaces();
    writeText(folder + "/Models/Model01.obj", modelText(faces));
    writeTga(folder + "/Models/BuggySide.tga", paintSide(), 24);
    writeTga(folder + "/Models/BuggyBonnet.tga", paintBonnet(), 24);
    writeTga(folder + "/Models/BuggyNose.tga", paintNose(), 24);
    writeTga(folder + "/Models/BuggyBumper.tga", paintBumper(), 24);
    writeTga(folder + "/Models/BuggyRear.tga", paintRear(), 24);
    writeTga(folder + "/Models/BuggyDeck.tga", paintDeck(), 24);
    writeTga(folder + "/Models/BuggyFloor.tga", paintFloor(), 24);
    writeTga(folder + "/Models/BuggyDash.tga", paintDash(), 24);
    writeTga(folder + "/Models/BuggyWindscreen.tga", paintWindscreen(), 32);
    writeTga(folder + "/Models/BuggySeat.tga", paintSeat(), 24);
    writeTga(folder + "/Models/BuggyMetal.tga", paintMetal(), 24);
    writeTga(folder + "/Models/BuggyFender.tga", paintFender(), 24);
    writeTga(folder + "/Models/BuggyTread.tga", paintTread(), 24);
    writeTga(folder + "/Models/BuggyHub.tga", paintHub(), 24);
    writeTga(folder + "/Models/BuggyInnerCap.tga", paintInnerCap(), 24);
    report.modelVertices = static_cast<int>(faces.size()) * 4;
    report.modelFaces = static_cast<int>(faces.size());
    report.modelTextures = static_cast<int>(sizeof textures / sizeof textures[0]);
}

} // namespace gen
