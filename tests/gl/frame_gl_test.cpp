// frame_gl_test.cpp -- whole frames on the generated scene: the scene set-up, the
// four layouts in their viewports, the readout's place, the mouse and the light.
#include <gtest/gtest.h>

#include "core/app_state.h"
#include "platform/win_messages.h"
#include "common/gl_api.h"
#include "platform/fake/fake_platform.h"
#include "render/font.h"
#include "app/frame.h"
#include "render/gl_state.h"
#include "render/overlays.h"
#include "scene/scene.h"
#include "support/gl_context.h"
#include "support/temp_dir.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"

namespace {

const Rgb grey{128, 128, 128};

class FrameTest : public GlTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(open(320, 240)); }
    void TearDown() override {
        deleteFont();
        GlTest::TearDown();
    }
    void open(int width, int height) {
        ASSERT_NO_FATAL_FAILURE(openContext(width, height));
        settings.showFps = false;
        settings.textureFilter = 2;
        applyPerspective();
        initFrameTimer(frameTimer, 100);
        createFont();
        lightPosition[0] = 0;
        lightPosition[2] = 0;
        WorkingDirectory run(MUDLARK_RUN_DIR);
        setUpScene(2);
        ASSERT_EQ(fake.captions(), "");
    }
    void frameWith(std::initializer_list<uint8_t> held) {
        for (uint8_t key : held) {
            input.keys[key] = 1;
        }
        drawFrame();
        for (uint8_t key : held) {
            input.keys[key] = 0;
        }
    }
    // How many pixels of a rectangle (GL coordinates) are not the clear colour.
    int painted(int x0, int y0, int x1, int y1) const {
        const std::vector<Rgb> pixels = context->readPixels();
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                count += pixels[static_cast<size_t>(y) * context->width() + x] != grey ? 1 : 0;
            }
        }
        return count;
    }
    // The box around pure white pixels (the text), top-down rows.
    struct Box {
        int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
    };
    Box whiteText() const {
        Box box;
        const std::vector<Rgb> pixels = context->readPixels();
        for (int y = 0; y < context->height(); ++y) {
            for (int x = 0; x < context->width(); ++x) {
                if (pixels[static_cast<size_t>(y) * context->width() + x] == Rgb{255, 255, 255}) {
                    const int row = context->height() - 1 - y;
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, row);
                    box.bottom = std::max(box.bottom, row);
                }
            }
        }
        return box;
    }
};

TEST_F(FrameTest, SceneSetUpPutsTheVehiclesAtTheStartWithOnlyLightOne) {
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    for (GLenum light : {GL_LIGHT0, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4, GL_LIGHT5, GL_LIGHT6, GL_LIGHT7}) {
        EXPECT_FALSE(glIsEnabled(light)) << light;
    }
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING)); // each view switches it on and off
    EXPECT_EQ(vehicles[0].position[0], 0.0f);
    EXPECT_EQ(vehicles[1].position[0], -2.0f);
    EXPECT_EQ(vehicles[2].position[0], 2.0f);
    EXPECT_EQ(vehicles[0].colour[2], 0.75f);
    EXPECT_EQ(vehicles[1].colour[0], 0.75f);
    EXPECT_EQ(vehicles[2].colour[1], 0.75f);
    EXPECT_EQ(vehicles[0].keyAccelerate, VK_NUMPAD0 + 8);
    EXPECT_EQ(vehicles[1].keyLeft, 'A');
    EXPECT_EQ(vehicles[2].keyReverse, 'M');
    for (const Vehicle& v : vehicles) {
        EXPECT_EQ(v.position[2], 0.0f);
        EXPECT_TRUE(v.frontOnGround && v.rearOnGround);
        EXPECT_EQ(v.topSpeed, 34.72222f);
        EXPECT_NE(v.model.bodyList, 0u);
    }
    EXPECT_NE(shadowTexture, 0u);
    EXPECT_NE(smokeTexture, 0u);
    for (const SmokeParticle& p : smoke.particles) {
        EXPECT_EQ(p.life, 0.0f);
    }
}

TEST_F(FrameTest, StartUpShowsVehicleZerosSeatOverTheWholeWindow) {
    drawFrame();
    // Sky (the clear colour) above, ground below, across the whole width.
    EXPECT_EQ(painted(0, 230, 320, 240), 0);
    EXPECT_EQ(painted(0, 0, 320, 40), 320 * 40);
    // The readout: 16 pixels in, its baseline 64 down.
    const Box text = whiteText();
    EXPECT_GE(text.left, 16);
    EXPECT_LE(text.left, 19);
    EXPECT_GE(text.top, 64 - 14);
    EXPECT_LE(text.top, 64 - 8);
    EXPECT_LE(text.bottom, 64 + 4);
    // The viewport and the 65-degree projection are the whole window's again.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);
}

TEST_F(FrameTest, WorldViewFillsTheWindowLookingDownOnVehicleZero) {
    frameWith({VK_END});
    EXPECT_TRUE(worldView);
    // Vehicle 0 is straight below the camera: ground everywhere, no sky.
    EXPECT_EQ(painted(0, 0, 320, 240), 320 * 240);
    EXPECT_NEAR(worldCameraPitch, -90.0f, 1e-3f);
    EXPECT_TRUE(whiteText().right < 0); // no readout in the world view
}

TEST_F(FrameTest, TwoDriversLeaveTheTopRightQuarterClear) {
    frameWith({VK_HOME});
    EXPECT_EQ(painted(160, 120, 320, 240), 0);           // top right: nothing
    EXPECT_EQ(painted(0, 0, 160, 120), 160 * 120);       // bottom left: the world view, all ground
    EXPECT_GT(painted(160, 0, 320, 60), 160 * 60 * 9 / 10); // bottom right: vehicle 0's ground
    EXPECT_GT(painted(0, 120, 160, 180), 160 * 60 * 9 / 10); // top left: vehicle 1's ground
    // Each quarter's readout sits 8 pixels in and 32 down from its own corner.
    const Box text = whiteText();
    EXPECT_GE(text.left, 8);
    EXPECT_LE(text.left, 11);
    EXPECT_GE(text.top, 32 - 14);
    EXPECT_LE(text.top, 32 - 8);
}

TEST_F(FrameTest, ThreeDriversFillEveryQuarter) {
    frameWith({VK_DELETE});
    EXPECT_GT(painted(160, 120, 320, 180), 160 * 60 * 9 / 10); // top right: vehicle 2
    EXPECT_EQ(painted(0, 0, 160, 120), 160 * 120);
}

TEST_F(FrameTest, OddWindowSizesLeaveTheLastColumnAndRowClear) {
    // (Wide enough that each quarter's readout, which keeps its pixel size,
    // stays inside its quarter.)
    ASSERT_NO_FATAL_FAILURE(open(401, 301));
    frameWith({VK_DELETE});
    EXPECT_EQ(painted(400, 0, 401, 301), 0);  // the last column
    EXPECT_EQ(painted(0, 300, 401, 301), 0);  // the top row
    EXPECT_GT(painted(399, 0, 400, 60), 50);  // the column before it is drawn
}

TEST_F(FrameTest, FollowKeysChooseTheOneDriverViewsVehicle) {
    drawFrame();
    const std::vector<Rgb> own = context->readPixels();
    frameWith({'Q'});
    EXPECT_EQ(followedVehicle, 1u);
    const std::vector<Rgb> second = context->readPixels();
    EXPECT_NE(own, second);
    // In a split layout Q only turns the world camera.
    frameWith({VK_HOME, 'U'});
    EXPECT_EQ(followedVehicle, 2u);
    EXPECT_EQ(splitLayout, 2u);
}

TEST_F(FrameTest, MouseDeltasAreUsedOnceAndTheLightMovesWithTheButton) {
    input.deltaX = 25;
    input.deltaY = 7;
    drawFrame();
    EXPECT_EQ(input.deltaX, 0);
    EXPECT_EQ(input.deltaY, 0);
    EXPECT_EQ(lightPosition[0], 0.0f); // no button: no move
    input.leftButton = 1;
    input.deltaX = 25;
    input.deltaY = 7;
    drawFrame();
    EXPECT_EQ(lightPosition[0], 25.0f);
    EXPECT_EQ(lightPosition[2], 7.0f);
    drawFrame(); // the same motion is not used twice
    EXPECT_EQ(lightPosition[0], 25.0f);
}

TEST_F(FrameTest, OverlaysAreDrawnLastOverEveryView) {
    settings.showFps = true;
    settings.showSystemInfo = true;
    collectSystemInfo(systemInfo);
    frameWith({VK_DELETE});
    const Rgb barStart = context->pixel(0, 5);
    EXPECT_GT(barStart.r, 240);
    EXPECT_LT(barStart.g, 20);
    const Box text = whiteText();
    EXPECT_LE(text.top, 20 - 8); // the system information's first line
}

TEST_F(FrameTest, DriverViewOfNoVehicleDrawsNothing) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyPerspective();
    drawDriverView(3);
    drawDriverView(0xFFFFFFFFu);
    EXPECT_EQ(painted(0, 0, 320, 240), 0);
}

} // namespace
