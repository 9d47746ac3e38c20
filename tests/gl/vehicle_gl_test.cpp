// vehicle_gl_test.cpp -- a vehicle and the smoke drawn in a real GL context.
#include <gtest/gtest.h>

#include <cstring>

#include "core/app_state.h"
#include "assets/texture.h"
#include "common/gl_api.h"
#include "platform/fake/fake_platform.h"
#include "render/gl_state.h"
#include "scene/scene.h"
#include "support/gl_context.h"
#include "support/temp_dir.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"

namespace {

class VehicleDrawTest : public GlTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openContext(200, 200));
        std::memset(&model, 0, sizeof model);
        WorkingDirectory run(MUDLARK_RUN_DIR);
        loadVehicleModel(model, "Models/Model01.obj", 2);
        loadTargaTexture("Textures/SmokeMap.tga", &smokeTexture, 2);
        ASSERT_EQ(fake.captions(), "");
        resetSmoke();
    }

    // Seen from the vehicle's right (+x), 4 units away, 100 pixels a unit... roughly.
    void lookFromTheRight() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-2.5, 2.5, -1.0, 4.0, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(-90, 0, 1, 0); // the +x side faces the viewer
    }
    static VehicleModel model;
};

VehicleModel VehicleDrawTest::model;

const float noAngles[4] = {0, 0, 0, 0};

TEST_F(VehicleDrawTest, BodyTakesTheColourAndWheelsStayWhite) {
    lookFromTheRight();
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 0, 0);
    drawVehicle(model, noAngles, noAngles);
    glDisable(GL_TEXTURE_2D);
    int red = 0;
    int grey = 0;
    for (const Rgb& p : context->readPixels()) {
        if (p == Rgb{128, 128, 128}) {
            continue; // background
        }
        if (p.r > 40 && p.g == 0 && p.b == 0) {
            ++red;
        } else if (p.r > 120 && std::abs(p.r - p.g) < 4 && std::abs(p.r - p.b) < 8) {
            ++grey;
        }
    }
    EXPECT_GT(red, 500);  // the painted body, tinted
    EXPECT_GT(grey, 100); // the wheel rims, untinted
}

TEST_F(VehicleDrawTest, LeavesTheMatrixAlphaTestAndColourAsPromised) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(3, 4, 5);
    const float steer[2] = {20, 20};
    const float spin[4] = {10, 20, 30, 40};
    glColor3f(0.25f, 0.5f, 0.75f);
    drawVehicle(model, steer, spin);
    const Matrix4 m = readMatrix(GL_MODELVIEW_MATRIX);
    EXPECT_FLOAT_EQ(static_cast<float>(m.m[0]), 1.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(m.m[12]), 3.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(m.m[13]), 4.0f);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
}

TEST_F(VehicleDrawTest, ModelThatFailedToLoadDrawsNothing) {
    static VehicleModel empty;
    std::memset(&empty, 0, sizeof empty);
    lookFromTheRight();
    glColor3f(1, 0, 0);
    drawVehicle(empty, noAngles, noAngles);
    for (const Rgb& p : context->readPixels()) {
        ASSERT_EQ(p, (Rgb{128, 128, 128}));
    }
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(VehicleDrawTest, SmokeShowsOnlyLivePuffsAndBrightens) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    drawSmoke(smokeTexture, 0, 0, 0);
    for (const Rgb& p : context->readPixels()) {
        ASSERT_EQ(p, (Rgb{128, 128, 128})); // all free: nothing drawn
    }
    const float at[3] = {0, 0, 0};
    const float still[3] = {0, 0, 0};
    emitSmoke(at, still);
    smoke.particles[0].life = 50; // fully faded in
    drawSmoke(smokeTexture, 0, 0, 0);
    glDisable(GL_TEXTURE_2D);
    const Rgb centre = context->pixel(100, 100);
    EXPECT_GT(centre.r, 150); // added on top of the grey
    EXPECT_EQ(context->pixel(10, 10), (Rgb{128, 128, 128}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

} // namespace
