// scene_test.cpp -- the world camera's aim and the driver's readout.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "scene/scene.h"

namespace {

void aimAt(float x, float y, float z) {
    const float position[3] = {x, y, z};
    aimWorldCamera(position);
}

TEST(WorldCamera, LooksAlongMinusZAndPlusZ) {
    aimAt(0, 0, -10);
    EXPECT_NEAR(worldCameraYaw, 0.0f, 1e-4f);
    EXPECT_NEAR(worldCameraPitch, -56.3099f, 1e-3f); // -atan(15 / 10)
    aimAt(0, 0, 10);
    EXPECT_NEAR(worldCameraYaw, 180.0f, 1e-4f);
    EXPECT_NEAR(worldCameraPitch, -56.3099f, 1e-3f);
}

TEST(WorldCamera, LevelInZTurnsARightAngle) {
    aimAt(10, 2, 0); // (-10 / 0) is minus infinity: a = -90, and no half turn
    EXPECT_NEAR(worldCameraYaw, -90.0f, 1e-4f);
    EXPECT_NEAR(worldCameraPitch, -std::atan(13.0 / 10.0) * 180 / 3.141592654, 1e-3);
    aimAt(-10, 0, 0);
    EXPECT_NEAR(worldCameraYaw, 90.0f, 1e-4f);
}

TEST(WorldCamera, DiagonalsAndTheFarSide) {
    aimAt(-10, 0, -10); // (10 / 10): 45 degrees
    EXPECT_NEAR(worldCameraYaw, 45.0f, 1e-4f);
    aimAt(10, 0, 10); // (-10 / -10) is 45 too, but the vehicle is behind: +180
    EXPECT_NEAR(worldCameraYaw, 225.0f, 1e-4f);
}

TEST(WorldCamera, StraightBelowKeepsThePreviousYaw) {
    aimAt(0, 0, 10);
    aimAt(0, 3, 0);
    EXPECT_NEAR(worldCameraYaw, 180.0f, 1e-4f);
    EXPECT_FALSE(std::isnan(worldCameraYaw));
    EXPECT_NEAR(worldCameraPitch, -90.0f, 1e-4f);
    aimAt(-10, 0, 0);
    aimAt(0, 0, 0);
    EXPECT_NEAR(worldCameraYaw, 90.0f, 1e-4f);
}

std::string readout(float driveSpeed, float speed) {
    char text[64];
    formatReadout(driveSpeed, speed, text);
    return text;
}

TEST(Readout, EngineAndRoadSpeed) {
    EXPECT_EQ(readout(0, 0), "0rpm  0km/h");
    EXPECT_EQ(readout(0, 34.72222f), "0rpm  125km/h");
    EXPECT_EQ(readout(-5, 0), "1000rpm  0km/h");
    EXPECT_EQ(readout(10, -9.722222f), "2000rpm  35km/h"); // reversing reads positive
    EXPECT_EQ(readout(1e30f, -1e30f).size() < 64, true);   // never past the buffer
}

} // namespace
