// font_test.cpp -- text lands where its baseline and viewport put it, with the real font.
#include <gtest/gtest.h>

#include <string>

#include "core/app_state.h"
#include "common/gl_api.h"
#include "platform/fake/fake_platform.h"
#include "render/font.h"
#include "render/gl_state.h"
#include "support/gl_context.h"

namespace {

// The box around every pixel brighter than the grey background, in top-down
// window rows (as printText counts y).
struct Ink {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1, count = 0;
};

class FontTest : public GlTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openContext(320, 240));
        createFont();
        ASSERT_NE(fontBase, 0u);
        clear();
    }
    void TearDown() override {
        deleteFont();
        GlTest::TearDown();
    }
    void clear() {
        glViewport(0, 0, 320, 240);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(1, 1, 1);
    }
    Ink ink() const {
        Ink box;
        std::vector<Rgb> pixels = context->readPixels();
        for (int y = 0; y < 240; ++y) {
            for (int x = 0; x < 320; ++x) {
                const Rgb& p = pixels[static_cast<size_t>(y) * 320 + x];
                if (p.r > 200 && p.g > 200 && p.b > 200) {
                    const int row = 239 - y;
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, row);
                    box.bottom = std::max(box.bottom, row);
                    ++box.count;
                }
            }
        }
        return box;
    }
};

TEST_F(FontTest, TextSitsOnItsBaselineInTheWholeWindow) {
    printText(16, 64, "HE");
    Ink box = ink();
    ASSERT_GT(box.count, 20);
    EXPECT_EQ(box.bottom, 63); // capitals rest on the baseline
    EXPECT_GE(box.top, 64 - 16);
    EXPECT_GE(box.left, 16);
    EXPECT_LE(box.left, 19);
    EXPECT_LE(box.right, 16 + 2 * 11);
}

TEST_F(FontTest, DescendersGoBelowTheBaseline) {
    printText(16, 64, "gjpq");
    Ink box = ink();
    EXPECT_GT(box.bottom, 64);
    EXPECT_LE(box.bottom, 64 + 5);
}

TEST_F(FontTest, QuarterViewportHalvesTheDistances) {
    glViewport(160, 120, 160, 120); // the top-right quarter
    printText(16, 64, "H");
    Ink box = ink();
    ASSERT_GT(box.count, 10);
    EXPECT_EQ(box.bottom, 31);
    EXPECT_GE(box.left, 160 + 8);
    EXPECT_LE(box.left, 160 + 11);
    // The glyph keeps its pixel size: about as tall as in the whole window.
    EXPECT_GE(box.bottom - box.top, 8);
    // And the whole-window viewport and perspective are back.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(FontTest, NullFormatDrawsNothingAndLeavesTheProjection) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(2, 3, 4);
    glMatrixMode(GL_MODELVIEW);
    glViewport(1, 2, 30, 40);
    printText(16, 64, nullptr);
    EXPECT_EQ(ink().count, 0);
    Matrix4 p = readMatrix(GL_PROJECTION_MATRIX);
    EXPECT_EQ(p.m[0], 2.0);
    EXPECT_EQ(p.m[5], 3.0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 30);
}

TEST_F(FontTest, BaselineAtTheTopEdgeShowsNothing) {
    printText(10, 0, "HHHH");
    EXPECT_EQ(ink().count, 0);
}

TEST_F(FontTest, CharactersWithoutAGlyphAreSkipped) {
    // The display list right after the font's, where character 128 would land:
    // calling it would paint the whole window white.
    const GLuint trap = glGenLists(1);
    ASSERT_EQ(trap, fontBase + 96);
    glNewList(trap, GL_COMPILE);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(320, 0);
    glVertex2f(320, 240);
    glVertex2f(0, 240);
    glEnd();
    glEndList();

    printText(16, 64, "H");
    const Ink plain = ink();
    clear();
    printText(16, 64, "\x01H\x7f\x80\xff\x1f");
    const Ink mixed = ink();
    EXPECT_EQ(mixed.count, plain.count);
    EXPECT_EQ(mixed.left, plain.left);
    glDeleteLists(trap, 1);
}

TEST_F(FontTest, LongTextIsCutToTheBuffer) {
    const std::string longText(5000, 'W');
    printText(0, 100, "%s%s", longText.c_str(), longText.c_str());
    Ink box = ink();
    EXPECT_GT(box.count, 0);
    EXPECT_EQ(box.bottom, 99);
}

TEST_F(FontTest, FormatsLikePrintf) {
    printText(16, 64, "%d", 7);
    const Ink seven = ink();
    clear();
    printText(16, 64, "7");
    EXPECT_EQ(ink().count, seven.count);
}

} // namespace
