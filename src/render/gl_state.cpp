// gl_state.cpp -- GL state set once per context, and the projections.
#include "render/gl_state.h"

#include <cmath>

#include "render/render.h"

namespace {

// The near plane is the single-precision 0.09 widened to double.
constexpr double nearPlane = static_cast<double>(0.09f);
constexpr double farPlane = 500.0;

} // namespace

double windowAspect(WindowSize window) {
    // A minimised window reports a zero height; one pixel keeps the ratio finite.
    uint32_t height = window.height != 0 ? window.height : 1;
    return static_cast<double>(window.width) / static_cast<double>(height);
}

void applyPerspective(WindowSize window) {
    viewport(0, 0, static_cast<int32_t>(window.width), static_cast<int32_t>(window.height));
    matrixMode(MatrixKind::projection);
    loadIdentity();
    perspective(65.0, windowAspect(window), nearPlane, farPlane);
    matrixMode(MatrixKind::modelview);
    loadIdentity();
}

void applyViewPerspective(WindowSize window) {
    matrixMode(MatrixKind::projection);
    loadIdentity();
    perspective(45.0, windowAspect(window), nearPlane, farPlane);
    matrixMode(MatrixKind::modelview);
    loadIdentity();
}

void beginOverlay2D(WindowSize window) {
    matrixMode(MatrixKind::projection);
    loadIdentity();
    ortho(0.0, static_cast<double>(window.width), static_cast<double>(window.height), 0.0, -1.0, 1.0);
    matrixMode(MatrixKind::modelview);
    loadIdentity();
}

ViewVolume viewVolume(const float clip[16]) {
    // The view is where -w <= x, y, z <= w in clip space: each plane is the
    // fourth row of the matrix plus or minus one of the first three.
    ViewVolume view{};
    for (int plane = 0; plane < 6; ++plane) {
        const int row = plane / 2;
        const float sign = plane % 2 == 0 ? 1.0f : -1.0f;
        float p[4];
        for (int c = 0; c < 4; ++c) {
            p[c] = clip[4 * c + 3] + sign * clip[4 * c + row];
        }
        const float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        for (int c = 0; length > 0 && c < 4; ++c) {
            view.planes[plane][c] = p[c] / length;
        }
    }
    return view;
}

ViewVolume currentViewVolume() {
    float modelview[16];
    currentMatrix(MatrixKind::modelview, modelview);
    return viewVolumeFor(modelview);
}

ViewVolume viewVolumeFor(const float modelview[16]) {
    float projection[16], clip[16];
    currentMatrix(MatrixKind::projection, projection);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(projection[4 * k + row]) * modelview[4 * column + k];
            }
            clip[4 * column + row] = static_cast<float>(sum);
        }
    }
    return viewVolume(clip);
}

bool sphereOutsideView(const ViewVolume& view, const float centre[3], float radius) {
    for (const float(&p)[4] : view.planes) {
        if (p[0] * centre[0] + p[1] * centre[1] + p[2] * centre[2] + p[3] < -radius) {
            return true;
        }
    }
    return false;
}
