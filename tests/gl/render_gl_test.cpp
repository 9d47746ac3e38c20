// render_gl_test.cpp -- the projections, the bitmap font and the frame-rate bar,
// read back from a real context.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/window.h"
#include "common/gl_api.h"
#include "core/app_state.h"
#include "platform/fake/fake_platform.h"
#include "platform/win_messages.h"
#include "render/font.h"
#include "render/gl_state.h"
#include "render/overlays.h"
#include "support/gl_context.h"

namespace {

class RenderTest : public GlTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openContext(320, 240));
        createFont();
        ASSERT_NE(fontBase, 0u);
        applyPerspective();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(1, 1, 1);
    }
    void TearDown() override {
        deleteFont();
        GlTest::TearDown();
    }
    static void expectViewport(int x, int y, int w, int h) {
        GLint v[4];
        glGetIntegerv(GL_VIEWPORT, v);
        EXPECT_EQ(std::vector<GLint>(v, v + 4), (std::vector<GLint>{x, y, w, h}));
    }
};

TEST_F(RenderTest, ProjectionsForTheWindowTheViewsAndTheOverlay) {
    glViewport(160, 120, 160, 120);
    applyViewPerspective(); // 45 degrees, the window's aspect, the view's viewport kept
    expectViewport(160, 120, 160, 120);
    std::array<double, 16> p = matrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(p[5], 2.414214, 1e-5);
    EXPECT_NEAR(p[0], 2.414214 * 0.75, 1e-5);
    beginOverlay2D(); // window pixels from the top left
    p = matrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(p[0] * 320 - p[5] * 240 + p[13], 5.0, 1e-6); // 2 / width, -2 / height, 1
    // A size message applies at once, 65 degrees over the whole window; a zero
    // height keeps the matrix finite.
    windowProcedure(WM_SIZE, 0, static_cast<intptr_t>(makeLong(200, 100)));
    expectViewport(0, 0, 200, 100);
    EXPECT_NEAR(matrix(GL_PROJECTION_MATRIX)[0], 1.569686 / 2, 1e-5);
    windowProcedure(WM_SIZE, 0, static_cast<intptr_t>(makeLong(200, 0)));
    for (double value : matrix(GL_PROJECTION_MATRIX)) {
        EXPECT_TRUE(std::isfinite(value));
    }
}

TEST_F(RenderTest, TextSitsOnItsBaselineAndKeepsItsSizeInAQuarter) {
    printText(16, 64, "HE");
    auto [left, top, right, bottom, count] = ink();
    ASSERT_GT(count, 20);
    EXPECT_EQ(bottom, 63); // capitals rest on the baseline
    EXPECT_GE(top, 48);
    EXPECT_GE(left, 16);
    EXPECT_LE(left, 19);
    EXPECT_LE(right, 16 + 2 * 11);
    glClear(GL_COLOR_BUFFER_BIT);
    printText(16, 64, "gjpq");
    EXPECT_GT(ink()[3], 64); // descenders below it
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(160, 120, 160, 120); // the top-right quarter: positions halve
    printText(16, 64, "H");
    std::array<int, 5> quarter = ink();
    EXPECT_EQ(quarter[3], 31);
    EXPECT_GE(quarter[0], 168);
    EXPECT_GE(quarter[3] - quarter[1], 8); // the glyph keeps its pixel size
    expectViewport(0, 0, 320, 240);        // and the whole window is back
}

TEST_F(RenderTest, TextThatCannotBeDrawnIsSkipped) {
    // The display list after the font's, where character 128 would land, paints
    // the whole window if it is ever called.
    const GLuint trap = glGenLists(1);
    ASSERT_EQ(trap, fontBase + 96);
    glNewList(trap, GL_COMPILE);
    glRectf(-1e4f, -1e4f, 1e4f, 1e4f);
    glEndList();
    printText(16, 64, "H");
    const std::array<int, 5> plain = ink();
    glClear(GL_COLOR_BUFFER_BIT);
    printText(16, 64, "\x01H\x7f\x80\xff\x1f");
    EXPECT_EQ(ink(), plain);
    glClear(GL_COLOR_BUFFER_BIT);
    printText(16, 64, nullptr);
    printText(10, 0, "HHHH"); // the baseline on the top edge
    EXPECT_EQ(ink()[4], 0);
    const std::string longText(5000, 'W');
    printText(0, 100, "%s%s", longText.c_str(), longText.c_str()); // cut, not overrun
    EXPECT_EQ(ink()[3], 99);
    glDeleteLists(trap, 1);
}

TEST_F(RenderTest, FrameRateBarLengthAndColour) {
    drawFpsOverlay(FrameTimer{100, 60, 100}, 320, 240); // full: the whole width, red to green
    EXPECT_GT(pixel(0, 10).r, 240);
    EXPECT_GT(pixel(319, 10).g, 240);
    EXPECT_NE(pixel(200, 19), clearGrey); // 20 pixels high
    EXPECT_EQ(pixel(200, 20), clearGrey);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glClear(GL_COLOR_BUFFER_BIT);
    drawFpsOverlay(FrameTimer{50, 60, 100}, 320, 240); // half: half as long, half way in colour
    EXPECT_NEAR(pixel(158, 10).r, 128, 8);
    EXPECT_EQ(pixel(162, 10), clearGrey);
    for (const FrameTimer& noBar : {FrameTimer{0, 60, 100}, FrameTimer{37, 60, 0}}) {
        glClear(GL_COLOR_BUFFER_BIT);
        drawFpsOverlay(noBar, 320, 240); // the number only
        EXPECT_EQ(painted({0, 0, 320, 240}), ink()[4]);
        EXPECT_GT(ink()[4], 10);
    }
}

} // namespace
