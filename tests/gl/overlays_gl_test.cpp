// overlays_gl_test.cpp -- the frame-rate bar and the information lines on screen.
#include <gtest/gtest.h>

#include <cstring>

#include "core/app_state.h"
#include "common/gl_api.h"
#include "platform/fake/fake_platform.h"
#include "render/font.h"
#include "render/gl_state.h"
#include "render/overlays.h"
#include "support/gl_context.h"

namespace {

class OverlaysTest : public GlTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openContext(320, 240));
        createFont();
        applyPerspective();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        deleteFont();
        GlTest::TearDown();
    }
    static FrameTimer timer(uint32_t displayed, uint32_t max) {
        return FrameTimer{displayed, 60, max};
    }
    bool isGrey(Rgb p) const { return p.r == 128 && p.g == 128 && p.b == 128; }
};

TEST_F(OverlaysTest, FullRateBarSpansTheWidthRedToGreen) {
    drawFpsOverlay(timer(100, 100), 320, 240);
    const Rgb left = context->pixel(0, 10);
    const Rgb right = context->pixel(319, 10);
    EXPECT_GT(left.r, 240);
    EXPECT_LT(left.g, 15);
    EXPECT_LT(right.r, 15);
    EXPECT_GT(right.g, 240);
    EXPECT_EQ(right.b, 0);
    // 20 pixels high along the bottom edge.
    EXPECT_FALSE(isGrey(context->pixel(200, 19)));
    EXPECT_TRUE(isGrey(context->pixel(200, 20)));
    // The depth test is back on and the perspective restored.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(OverlaysTest, HalfRateBarIsHalfAsLong) {
    drawFpsOverlay(timer(50, 100), 320, 240);
    EXPECT_FALSE(isGrey(context->pixel(158, 10)));
    EXPECT_TRUE(isGrey(context->pixel(162, 10)));
    const Rgb end = context->pixel(158, 10);
    EXPECT_NEAR(end.r, 128, 8); // halfway from red to green
    EXPECT_NEAR(end.g, 127, 8);
}

TEST_F(OverlaysTest, ZeroRateDrawsNoBarButItsNumber) {
    drawFpsOverlay(timer(0, 100), 320, 240);
    int white = 0;
    int coloured = 0;
    for (const Rgb& p : context->readPixels()) {
        if (p.r > 200 && p.g > 200 && p.b > 200) {
            ++white;
        } else if (!isGrey(p)) {
            ++coloured;
        }
    }
    EXPECT_GT(white, 10); // the "0"
    EXPECT_EQ(coloured, 0);
}

TEST_F(OverlaysTest, ZeroBoundDrawsOnlyTheNumber) {
    drawFpsOverlay(timer(37, 0), 320, 240);
    int coloured = 0;
    int white = 0;
    for (const Rgb& p : context->readPixels()) {
        if (p.r > 200 && p.g > 200 && p.b > 200) {
            ++white;
        } else if (!isGrey(p)) {
            ++coloured;
        }
    }
    EXPECT_EQ(coloured, 0);
    EXPECT_GT(white, 10);
}

TEST_F(OverlaysTest, SystemInformationLinesAreWhiteInTheTopLeft) {
    SystemInfo info{};
    fake.osVersion = OsVersion{osPlatformLinux, 6, 1, 0};
    collectSystemInfo(info);
    EXPECT_STREQ(info.osText, "Linux v6.1.0");
    EXPECT_GT(std::strlen(info.glVendor), 0u);
    EXPECT_GT(std::strlen(info.glRenderer), 0u);
    drawSystemInfo(info);
    int topWhite = 0;
    int lowerWhite = 0;
    const std::vector<Rgb> pixels = context->readPixels();
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const Rgb& p = pixels[static_cast<size_t>(y) * 320 + x];
            if (p.r > 200 && p.g > 200 && p.b > 200) {
                (239 - y <= 64 ? topWhite : lowerWhite) += 1;
            }
        }
    }
    EXPECT_GT(topWhite, 100);
    EXPECT_EQ(lowerWhite, 0);
}

} // namespace
