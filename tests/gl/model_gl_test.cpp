// model_gl_test.cpp -- the vehicle model's lists and textures in a real GL context.
#include <gtest/gtest.h>

#include <cstring>

#include "core/app_state.h"
#include "assets/model.h"
#include "common/gl_api.h"
#include "platform/fake/fake_platform.h"
#include "render/gl_state.h"
#include "support/gl_context.h"
#include "support/temp_dir.h"

namespace {

class ModelTest : public GlTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openContext(128, 128));
        std::memset(&model, 0, sizeof model);
    }
    static VehicleModel model;
};

VehicleModel ModelTest::model;

TEST_F(ModelTest, GeneratedModelLoadsWithoutAMessage) {
    WorkingDirectory run(MUDLARK_RUN_DIR);
    loadVehicleModel(model, "Models/Model01.obj", 2);
    EXPECT_EQ(fake.captions(), "");
    EXPECT_TRUE(glIsList(model.bodyList));
    EXPECT_TRUE(glIsList(model.wheelList));
    for (int t = 0; t <= model.lastTextureIndex; ++t) {
        EXPECT_TRUE(glIsTexture(model.textures[t])) << t;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelTest, WheelListLeavesAQuarterTurnOnTheMatrix) {
    WorkingDirectory run(MUDLARK_RUN_DIR);
    loadVehicleModel(model, "Models/Model01.obj", 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glCallList(model.wheelList);
    const Matrix4 m = readMatrix(GL_MODELVIEW_MATRIX);
    // A turn of -90 degrees about y: x goes to +z, z goes to -x.
    EXPECT_NEAR(m.m[0], 0.0, 1e-6);
    EXPECT_NEAR(m.m[2], 1.0, 1e-6);
    EXPECT_NEAR(m.m[8], -1.0, 1e-6);
    EXPECT_NEAR(m.m[10], 0.0, 1e-6);
    EXPECT_NEAR(m.m[5], 1.0, 1e-6);
}

TEST_F(ModelTest, DamagedFileShowsOneBoxAndBuildsWhatIsSound) {
    TempDir dir;
    WorkingDirectory here(dir.path());
    dir.write("Models/Bad.obj",
              "vertex: 0 0 0 0 vertex: 1 1 0 0 vertex: 2 1 1 0 vertex: 3 0 1 0\n"
              "vertex: 400 1 1 1\nface: 0 0 1 2 3 0 0 XY\nface: 1 0 1 2 3 0 77 XY\n"
              "wheel: -1 1 -1 1 0.2 0.4 0 0 0\n");
    loadVehicleModel(model, "Models/Bad.obj", 2);
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].text, "Damaged records in vehModel ignored!");
    EXPECT_EQ(fake.messageBoxes[0].caption, "Error -1");
    EXPECT_TRUE(glIsList(model.bodyList));
    EXPECT_EQ(model.lastFaceIndex, 0);
    EXPECT_FLOAT_EQ(model.wheelRadius, 0.4f);
}

TEST_F(ModelTest, MissingTexturesShowTheirOwnBoxesAndTheModelStillBuilds) {
    TempDir dir;
    WorkingDirectory here(dir.path());
    dir.write("Models/M.obj", "texture: 0 0 1 0 1 Models/Nowhere.tga\n"
                              "vertex: 0 0 0 0 vertex: 1 1 0 0 vertex: 2 1 1 0 vertex: 3 0 1 0\n"
                              "face: 0 0 1 2 3 0 0 XY\n");
    loadVehicleModel(model, "Models/M.obj", 2);
    EXPECT_EQ(fake.captions(), "Error -11");
    EXPECT_EQ(model.textures[0], 0u);
    EXPECT_TRUE(glIsList(model.bodyList));
}

TEST_F(ModelTest, WithoutAWheelRecordTheWheelDrawsNothing) {
    TempDir dir;
    WorkingDirectory here(dir.path());
    dir.write("Models/M.obj", "vertex: 0 0 0 0\n");
    loadVehicleModel(model, "Models/M.obj", 2);
    EXPECT_TRUE(fake.messageBoxes.empty());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyPerspective();
    glTranslatef(0, 0, -2);
    glColor3f(1, 0, 0);
    glCallList(model.wheelList);
    glCallList(model.bodyList);
    for (const Rgb& p : context->readPixels()) {
        ASSERT_EQ(p, (Rgb{128, 128, 128}));
    }
}

} // namespace
