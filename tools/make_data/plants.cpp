// plants.cpp -- the growth pictures, the smoke puff and the vehicle shadow.
//
// Growth is drawn tinted with (1, 1, 0), so the plants are painted in red and
// green alone (blue follows green and is thrown away). Outside the plant the
// alpha is exactly 0 and the colour is the plant's edge colour.
#include <cmath>

#include "data_set.h"
#include "image.h"

namespace gen {
namespace {

struct Circle {
    float x, y, r;
};

// A plant's colour from dark to light; blue is irrelevant under the tint.
Colour leaf(float light) {
    const Colour dark{0.16f, 0.30f, 0.07f, 1.0f};
    const Colour bright{0.46f, 0.66f, 0.20f, 1.0f};
    return mix(dark, bright, clamp01(light));
}

// How far inside a clump of circles a point lies (positive inside), with a
// ragged, leafy edge from noise.
float clumpDepth(const Circle* circles, int count, float u, float v, uint32_t seed, float ragged) {
    float best = -1.0f;
    for (int i = 0; i < count; ++i) {
        const float dx = u - circles[i].x;
        const float dy = v - circles[i].y;
        const float depth = 1.0f - std::sqrt(dx * dx + dy * dy) / circles[i].r;
        best = depth > best ? depth : best;
    }
    const float edge = valueNoise(u * 24.0f, v * 24.0f, 24, seed) - 0.5f;
    return best + ragged * edge;
}

// Leafy shading: lighter toward the top left, speckled.
Colour leafShade(float u, float v, float depth, uint32_t seed) {
    const float speckle = valueNoise(u * 40.0f, v * 40.0f, 40, seed + 5);
    const float light = 0.25f + 0.55f * v - 0.25f * (u - 0.5f) + 0.35f * (speckle - 0.5f) +
                        0.15f * clamp01(depth * 2.0f);
    return leaf(light);
}

Picture makeTuft() {
    const int size = 64;
    Picture picture(size, size);
    constexpr int blades = 15;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (x + 0.5f) / size;
            const float v = (y + 0.5f) / size;
            for (int b = 0; b < blades; ++b) {
                // Each blade leans from a foot near the middle toward its tip.
                const float foot = 0.5f + (hashUnit(b, 0, 71) - 0.5f) * 0.3f;
                const float tipX = 0.5f + (hashUnit(b, 1, 71) - 0.5f) * 0.95f;
                const float tipY = 0.5f + 0.45f * hashUnit(b, 2, 71);
                if (v > tipY) {
                    continue;
                }
                const float t = v / tipY;
                // A gentle curve: the blade bends outward as it rises.
                const float centre = foot + (tipX - foot) * t * t;
                const float halfWidth = 0.03f * (1.0f - t) + 0.004f;
                if (std::fabs(u - centre) < halfWidth) {
                    picture.at(x, y) = mix(Colour{0.30f, 0.42f, 0.10f, 1}, Colour{0.66f, 0.74f, 0.26f, 1},
                                           t * (0.8f + 0.2f * hashUnit(b, 3, 71)));
                }
            }
        }
    }
    picture.bleedIntoTransparent();
    return picture;
}

Picture makeShrub() {
    const int size = 64;
    Picture picture(size, size);
    const Circle circles[] = {{0.50f, 0.30f, 0.28f}, {0.30f, 0.25f, 0.22f}, {0.70f, 0.25f, 0.22f},
                              {0.40f, 0.50f, 0.22f}, {0.62f, 0.48f, 0.20f}, {0.50f, 0.62f, 0.16f}};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (x + 0.5f) / size;
            const float v = (y + 0.5f) / size;
            const float depth = clumpDepth(circles, 6, u, v, 83, 0.35f);
            if (depth <= 0.0f || v < 0.02f) {
                continue;
            }
            Colour c = leafShade(u, v, depth, 83);
            // Small yellow and red flowers dotted over the clump.
            const int cellX = static_cast<int>(u * 9.0f);
            const int cellY = static_cast<int>(v * 9.0f);
            const float fx = hashUnit(cellX, cellY, 89);
            const float fy = hashUnit(cellX, cellY, 97);
            const float dx = u * 9.0f - (cellX + 0.25f + 0.5f * fx);
            const float dy = v * 9.0f - (cellY + 0.25f + 0.5f * fy);
            if (dx * dx + dy * dy < 0.05f && hashUnit(cellX, cellY, 101) < 0.6f) {
                c = hashUnit(cellX, cellY, 103) < 0.5f ? Colour{1.0f, 0.86f, 0.22f, 1.0f}
                                                     : Colour{0.95f, 0.36f, 0.12f, 1.0f};
            }
            picture.at(x, y) = c;
        }
    }
    picture.bleedIntoTransparent();
    return picture;
}

Picture makeBush() {
    const int size = 128;
    Picture picture(size, size);
    Circle circles[14];
    for (int i = 0; i < 14; ++i) {
        const float a = hashUnit(i, 0, 107);
        const float b = hashUnit(i, 1, 107);
        circles[i] = Circle{0.18f + 0.64f * a, 0.16f + 0.5f * b * (1.0f - std::fabs(a - 0.5f)),
                            0.13f + 0.1f * hashUnit(i, 2, 107)};
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (x + 0.5f) / size;
            const float v = (y + 0.5f) / size;
            const float depth = clumpDepth(circles, 14, u, v, 109, 0.45f);
            if (depth > 0.0f && v > 0.01f) {
                picture.at(x, y) = leafShade(u, v, depth, 109);
            }
        }
    }
    picture.bleedIntoTransparent();
    return picture;
}

Picture makeTree() {
    const int size = 128;
    Picture picture(size, size);
    Circle crown[16];
    for (int i = 0; i < 16; ++i) {
        const float a = hashUnit(i, 0, 113);
        const float b = hashUnit(i, 1, 113);
        const float height = 0.42f + 0.42f * b;
        const float spread = 0.36f * (1.0f - 0.6f * (height - 0.42f) / 0.42f);
        crown[i] = Circle{0.5f + (a - 0.5f) * 2.0f * spread, height, 0.12f + 0.08f * hashUnit(i, 2, 113)};
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (x + 0.5f) / size;
            const float v = (y + 0.5f) / size;
            const float depth = clumpDepth(crown, 16, u, v, 127, 0.4f);
            if (depth > 0.0f && v < 0.99f) {
                picture.at(x, y) = leafShade(u, v * 0.8f, depth, 127);
                continue;
            }
            // The trunk, narrowing as it rises, with a branch to either side.
            const float trunkHalf = 0.045f - 0.02f * v;
            const bool trunk = v < 0.62f && std::fabs(u - 0.5f) < trunkHalf;
            const float branchLeft = std::fabs((u - 0.5f) + (v - 0.40f) * 0.9f);
            const float branchRight = std::fabs((u - 0.5f) - (v - 0.46f) * 0.8f);
            const bool branch = (v > 0.40f && v < 0.58f && branchLeft < 0.018f) ||
                                (v > 0.46f && v < 0.62f && branchRight < 0.016f);
            if (trunk || branch) {
                const float bark = valueNoise(u * 60.0f, v * 12.0f, 60, 131);
                picture.at(x, y) = scale(Colour{0.40f, 0.28f, 0.15f, 1.0f}, 0.7f + 0.4f * bark);
            }
        }
    }
    picture.bleedIntoTransparent();
    return picture;
}

// A soft grey-white puff; the alpha falls to exactly 0 before the edge.
Picture makeSmoke() {
    const int size = 64;
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = (x + 0.5f) / size * 2.0f - 1.0f;
            const float dy = (y + 0.5f) / size * 2.0f - 1.0f;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float billow = fractalNoise((x + 0.5f) / 8.0f, (y + 0.5f) / 8.0f, 8, 3, 137);
            const float alpha = (1.0f - smoothstep(0.3f, 0.9f, r)) * (0.45f + 0.55f * billow) * 0.8f;
            const float grey = 0.78f + 0.12f * billow;
            picture.at(x, y) = Colour{grey, grey, grey * 0.97f, r < 0.9f ? alpha : 0.0f};
        }
    }
    picture.bleedIntoTransparent();
    return picture;
}

// White outside, a soft dark rounded rectangle inside: it multiplies the ground
// under the vehicle between its four wheels.
Picture makeShadow() {
    const int size = 64;
    Picture picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = std::fabs((x + 0.5f) / size * 2.0f - 1.0f);
            const float v = std::fabs((y + 0.5f) / size * 2.0f - 1.0f);
            const float qx = u - 0.5f;
            const float qy = v - 0.5f;
            const float ox = qx > 0.0f ? qx : 0.0f;
            const float oy = qy > 0.0f ? qy : 0.0f;
            const float inside = qx > qy ? qx : qy;
            const float distance = std::sqrt(ox * ox + oy * oy) + (inside < 0.0f ? inside : 0.0f) - 0.3f;
            const float dark = 0.6f * (1.0f - smoothstep(-0.3f, 0.18f, distance));
            const float value = 1.0f - dark;
            picture.at(x, y) = Colour{value, value, value, 1.0f};
        }
    }
    return picture;
}

} // namespace

void makeScenePictures(const std::string& folder) {
    writeTga(folder + "/Textures/Growth_01.tga", makeTuft(), 32);
    writeTga(folder + "/Textures/Growth_02.tga", makeShrub(), 32);
    writeTga(folder + "/Textures/Growth_03.tga", makeBush(), 32);
    writeTga(folder + "/Textures/Growth_04.tga", makeTree(), 32);
    writeTga(folder + "/Textures/SmokeMap.tga", makeSmoke(), 32);
    writeBmp(folder + "/Textures/ShadowMap.bmp", makeShadow());
}

} // namespace gen
