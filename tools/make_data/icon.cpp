// icon.cpp -- the game's icon at the sizes a desktop asks for: a muddy tyre
// rolling over a brown hill under a pale sky, on a rounded square.
#include <cmath>
#include <string>

#include "data_set.h"
#include "image.h"

namespace gen {

namespace {

Picture icon(int size) {
    Picture picture(size, size);
    const float pixel = 1.0f / static_cast<float>(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) * pixel, v = (static_cast<float>(y) + 0.5f) * pixel;
            // The rounded square: distance outside a square inset by the corner radius.
            const float radius = 0.18f, dx = std::fmax(std::fabs(u - 0.5f) - (0.5f - radius), 0.0f),
                        dy = std::fmax(std::fabs(v - 0.5f) - (0.5f - radius), 0.0f);
            const float inside = clamp01((radius - std::sqrt(dx * dx + dy * dy)) / pixel + 0.5f);
            const float hill = 0.40f + 0.07f * std::sin(6.2832f * (u * 1.2f + 0.1f));
            Colour c = v > hill ? mix(Colour{0.55f, 0.75f, 0.95f, 1}, Colour{0.92f, 0.95f, 0.98f, 1}, v)
                                : scale(Colour{0.45f, 0.30f, 0.16f, 1}, 0.75f + 0.5f * fractalNoise(u * 8, v * 8, 8, 3, 7));
            // The tyre: a dark treaded ring with a light hub, mud on its tread.
            const float tx = u - 0.5f, ty = v - 0.44f, r = std::sqrt(tx * tx + ty * ty);
            const float tread = 0.255f - 0.015f * (std::cos(12 * std::atan2(ty, tx)) > 0.3f ? 1.0f : 0.0f);
            if (r < tread) {
                c = r > 0.16f ? Colour{0.13f, 0.12f, 0.11f, 1} : r > 0.085f ? Colour{0.55f, 0.56f, 0.58f, 1} : Colour{0.3f, 0.3f, 0.32f, 1};
                if (r > 0.16f && ty < 0 && hashUnit(x * 20 / size, y * 20 / size, 3) > 0.55f) {
                    c = Colour{0.40f, 0.27f, 0.14f, 1}; // mud
                }
            }
            c.a = inside;
            picture.at(x, y) = c;
        }
    }
    return picture;
}

} // namespace

void makeIcons(const std::string& folder) {
    for (const int size : {48, 128, 256}) {
        writePng(folder + "/Icons/mudlark-" + std::to_string(size) + ".png", icon(size));
    }
}

} // namespace gen
