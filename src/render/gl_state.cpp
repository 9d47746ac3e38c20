// gl_state.cpp -- GL state set once per context, and the projections.
#include "render/gl_state.h"

#include "core/app_state.h"
#include "common/gl_api.h"

namespace {

// The near plane is the single-precision 0.09 widened to double.
constexpr double nearPlane = static_cast<double>(0.09f);
constexpr double farPlane = 500.0;

} // namespace

double windowAspect() {
    // A minimised window reports a zero height; one pixel keeps the ratio finite.
    uint32_t height = settings.height != 0 ? settings.height : 1;
    return static_cast<double>(settings.width) / static_cast<double>(height);
}

void setUpGlState() {
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_COLOR_MATERIAL);
    quadric = gluNewQuadric();
    if (quadric != nullptr) {
        gluQuadricNormals(quadric, GLU_SMOOTH);
        gluQuadricTexture(quadric, GL_TRUE);
    }
}

void applyPerspective() {
    glViewport(0, 0, static_cast<GLsizei>(settings.width), static_cast<GLsizei>(settings.height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, windowAspect(), nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void applyViewPerspective() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, windowAspect(), nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void beginOverlay2D() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, static_cast<double>(settings.width), static_cast<double>(settings.height), 0.0,
            -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
