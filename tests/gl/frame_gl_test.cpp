// frame_gl_test.cpp -- whole frames on the generated scene: the four layouts
// with each vehicle in its own quarter, odd window sizes, the mouse and the
// light, the overlays drawn last, a pad's notice in its vehicle's quarter.
#include <gtest/gtest.h>

#include "app/frame.h"
#include "common/gl_api.h"
#include "core/app_state.h"
#include "platform/fake/fake_platform.h"
#include "platform/win_messages.h"
#include "render/font.h"
#include "render/gl_state.h"
#include "render/overlays.h"
#include "scene/scene.h"
#include "support/gl_context.h"
#include "support/temp_dir.h"

namespace {

class FrameTest : public GlTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(open(320, 240)); }
    void TearDown() override {
        deleteFont();
        GlTest::TearDown();
    }
    void open(int w, int h) {
        ASSERT_NO_FATAL_FAILURE(openContext(w, h));
        settings.showFps = false;
        applyPerspective();
        initFrameTimer(frameTimer, 100);
        createFont();
        lightPosition[0] = lightPosition[2] = 0;
        WorkingDirectory run(MUDLARK_RUN_DIR);
        setUpScene(2);
        ASSERT_EQ(fake.captions(), "");
    }
    // One frame with these keys tapped before it.
    void frameWith(std::initializer_list<uint8_t> keys) {
        for (uint8_t key : keys) {
            input.pressed[key] = 1;
        }
        drawFrame();
    }
    // The colour of the bonnet at the bottom middle of a driver's view in this viewport.
    char bonnet(int x, int y, int w, int h) const {
        return dominant({x + w * 15 / 32, y + h / 16, x + w * 17 / 32, y + h / 6});
    }
};

TEST_F(FrameTest, EachLayoutShowsEachVehicleInItsOwnQuarter) {
    drawFrame(); // one driver: vehicle 0 over the whole window, sky above
    EXPECT_EQ(bonnet(0, 0, 320, 240), 'b');
    EXPECT_EQ(painted({0, 230, 320, 240}), 0);
    EXPECT_EQ(painted({0, 0, 320, 40}), 320 * 40);
    frameWith({VK_HOME}); // vehicle 0 bottom right, vehicle 1 top left, the world bottom left
    EXPECT_EQ(bonnet(160, 0, 160, 120), 'b');
    EXPECT_EQ(bonnet(0, 120, 160, 120), 'r');
    EXPECT_EQ(painted({160, 120, 320, 240}), 0);
    EXPECT_EQ(painted({0, 0, 160, 120}), 160 * 120); // from straight above: all ground
    frameWith({VK_DELETE}); // and vehicle 2 top right
    EXPECT_EQ(bonnet(160, 120, 160, 120), 'g');
    EXPECT_EQ(bonnet(0, 120, 160, 120), 'r');
    frameWith({VK_END}); // the world alone, no readout
    EXPECT_EQ(painted({0, 0, 320, 240}), 320 * 240);
    EXPECT_LT(ink()[2], 0);
    frameWith({VK_INSERT, 'U'}); // one driver again, following vehicle 2
    EXPECT_EQ(bonnet(0, 0, 320, 240), 'g');
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
}

TEST_F(FrameTest, OddSizesLeaveTheLastColumnAndRowClear) {
    ASSERT_NO_FATAL_FAILURE(open(401, 301));
    frameWith({VK_DELETE});
    EXPECT_EQ(painted({400, 0, 401, 301}), 0);
    EXPECT_EQ(painted({0, 300, 401, 301}), 0);
    EXPECT_GT(painted({399, 0, 400, 60}), 50);
}

TEST_F(FrameTest, MouseMotionIsUsedOnceAndOverlaysComeLast) {
    input.deltaX = 25;
    input.deltaY = 7;
    drawFrame();
    EXPECT_EQ(input.deltaX, 0);
    EXPECT_EQ(lightPosition[0], 0.0f); // no button: no move
    input.leftButton = 1;
    input.deltaX = 25;
    input.deltaY = 7;
    drawFrame();
    drawFrame(); // the same motion is not used twice
    EXPECT_EQ(lightPosition[0], 25.0f);
    EXPECT_EQ(lightPosition[2], 7.0f);
    settings.showFps = settings.showSystemInfo = true;
    collectSystemInfo(systemInfo);
    frameWith({VK_DELETE});
    EXPECT_GT(pixel(0, 5).r, 240); // the bar's red start over the world view
    EXPECT_LE(ink()[1], 12);       // the information's first line at the very top
}

TEST_F(FrameTest, PadNoticeShowsUnderTheReadoutOfItsVehiclesQuarter) {
    frameWith({VK_DELETE});
    const Rect blueBand{160, 60, 320, 82}, redBand{0, 180, 160, 202}; // vehicle 0 bottom right, 1 top left
    EXPECT_EQ(white(blueBand) + white(redBand), 0);
    settings.gamepads = true;
    fake.pads = {PadReading{1, 1, 0, 0, 0, 0}}; // "pad 1: blue"
    drawFrame();
    EXPECT_GT(white(blueBand), 20);
    EXPECT_EQ(white(redBand), 0);
    fake.pads.clear(); // "pad 1 gone", in the same place
    drawFrame();
    EXPECT_GT(white(blueBand), 20);
}

} // namespace
