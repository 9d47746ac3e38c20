// gl_state_test.cpp -- the one-time GL state and the two projections, read back from GL.
#include <gtest/gtest.h>

#include <cmath>

#include "core/app_state.h"
#include "common/gl_api.h"
#include "render/gl_state.h"
#include "support/gl_context.h"

namespace {

constexpr double pi = 3.14159265358979323846;

class GlStateTest : public GlTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openContext(320, 240, false));
    }
};

void expectViewport(int x, int y, int w, int h) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], x);
    EXPECT_EQ(viewport[1], y);
    EXPECT_EQ(viewport[2], w);
    EXPECT_EQ(viewport[3], h);
}

// gluPerspective's matrix, with the near plane as the game passes it.
void expectPerspective(double fovy, double aspect) {
    const double nearPlane = static_cast<double>(0.09f);
    const double farPlane = 500.0;
    const double f = 1.0 / std::tan(fovy / 2.0 * pi / 180.0);
    Matrix4 p = readMatrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(p.m[0], f / aspect, 1e-5);
    EXPECT_NEAR(p.m[5], f, 1e-5);
    EXPECT_NEAR(p.m[10], (farPlane + nearPlane) / (nearPlane - farPlane), 1e-6);
    EXPECT_NEAR(p.m[11], -1.0, 1e-12);
    EXPECT_NEAR(p.m[14], 2.0 * farPlane * nearPlane / (nearPlane - farPlane), 1e-7);
    EXPECT_NEAR(p.m[15], 0.0, 1e-12);
}

void expectIdentityModelView() {
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    Matrix4 m = readMatrix(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m.m[i], (i % 5 == 0) ? 1.0 : 0.0) << i;
    }
}

TEST_F(GlStateTest, SetUpGlStateSetsTheFixedState) {
    setUpGlState();
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.5f);
    EXPECT_FLOAT_EQ(clear[1], 0.5f);
    EXPECT_FLOAT_EQ(clear[2], 0.5f);
    EXPECT_FLOAT_EQ(clear[3], 1.0f);
    GLfloat depthClear = 0;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depthClear);
    EXPECT_FLOAT_EQ(depthClear, 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_NE(quadric, nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlStateTest, FrameBufferHasNoAlpha) {
    // The terrain's overlay blend reads destination alpha as one.
    GLint alphaBits = -1;
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    EXPECT_EQ(alphaBits, 0);
}

TEST_F(GlStateTest, PerspectiveCoversTheWholeWindowAt65Degrees) {
    glViewport(10, 10, 20, 20);
    applyPerspective();
    expectViewport(0, 0, 320, 240);
    expectPerspective(65.0, 320.0 / 240.0);
    expectIdentityModelView();
}

TEST_F(GlStateTest, ViewPerspectiveIs45DegreesWithTheWindowsAspect) {
    glViewport(160, 120, 160, 120);
    applyViewPerspective();
    expectViewport(160, 120, 160, 120); // the view's viewport is left alone
    expectPerspective(45.0, 320.0 / 240.0);
    expectIdentityModelView();
}

TEST_F(GlStateTest, ZeroHeightKeepsTheProjectionFinite) {
    settings.width = 320;
    settings.height = 0;
    applyPerspective();
    Matrix4 p = readMatrix(GL_PROJECTION_MATRIX);
    for (double value : p.m) {
        EXPECT_TRUE(std::isfinite(value));
    }
    settings.width = 0;
    applyPerspective();
    p = readMatrix(GL_PROJECTION_MATRIX);
    for (double value : p.m) {
        EXPECT_TRUE(std::isfinite(value));
    }
}

TEST_F(GlStateTest, Overlay2DIsWindowPixelsFromTheTopLeft) {
    glViewport(0, 0, 160, 120);
    beginOverlay2D();
    expectViewport(0, 0, 160, 120); // untouched
    Matrix4 p = readMatrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(p.m[0], 2.0 / 320.0, 1e-9);
    EXPECT_NEAR(p.m[5], -2.0 / 240.0, 1e-9);
    EXPECT_NEAR(p.m[10], -1.0, 1e-9);
    EXPECT_NEAR(p.m[12], -1.0, 1e-9);
    EXPECT_NEAR(p.m[13], 1.0, 1e-9);
    expectIdentityModelView();
}

} // namespace

#include "platform/win_messages.h"
#include "app/window.h"

namespace {

TEST_F(GlStateTest, SizeMessageAppliesTheNewProjectionAtOnce) {
    windowProcedure(WM_SIZE, 0, static_cast<intptr_t>(makeLong(200, 100)));
    expectViewport(0, 0, 200, 100);
    expectPerspective(65.0, 2.0);
}

} // namespace
