// scene_test.cpp -- the world camera's aim, the driver's readout and the
// operating-system line of the information overlay.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "render/overlays.h"
#include "scene/scene.h"

namespace {

TEST(WorldCamera, TurnsAndTiltsTowardTheVehicle) {
    const struct {
        float x, y, z;
        float yaw, pitch;
    } aims[] = {
        {0, 0, -10, 0, -56.3099f},    // along -z, 15 above over 10 across
        {0, 0, 10, 180, -56.3099f},   // along +z: behind, half a turn more
        {10, 2, 0, -90, -52.4314f},   // level in z: a right angle
        {-10, 0, -10, 45, -46.6861f}, // a diagonal
        {10, 0, 10, 225, -46.6861f},  // the same ratio behind the camera
        {0, 3, 0, 225, -90.0f},       // straight below: the last yaw stays
    };
    for (const auto& a : aims) {
        const float position[3] = {a.x, a.y, a.z};
        aimWorldCamera(position);
        EXPECT_NEAR(worldCameraYaw, a.yaw, 1e-3f) << a.x << "," << a.z;
        EXPECT_NEAR(worldCameraPitch, a.pitch, 1e-3f) << a.x << "," << a.z;
    }
}

std::string readout(float driveSpeed, float speed) {
    char text[64];
    formatReadout(driveSpeed, speed, text);
    return text;
}

TEST(Readout, EngineAndRoadSpeed) {
    EXPECT_EQ(readout(0, 0), "0rpm  0km/h");
    EXPECT_EQ(readout(0, 34.72222f), "0rpm  125km/h");
    EXPECT_EQ(readout(10, -9.722222f), "2000rpm  35km/h"); // reversing reads positive
    EXPECT_LT(readout(1e30f, -1e30f).size(), 64u);         // never past the buffer
}

TEST(OsText, PrefixFollowsThePlatform) {
    const std::pair<OsVersion, const char*> cases[] = {
        {{osPlatformWindowsNt, 5, 0, 195}, "Windows NT v5.0.195"},
        {{osPlatformWindows9x, 4, 10, 0x040A08CE}, "Windows 9x v4.10.67766478"}, {{osPlatformLinux, 6, 1, -1}, "Linux v6.1.-1"},
        {{7, 5, 0, 195}, "5.0.195"}, // an unknown platform: the numbers alone
    };
    for (const auto& [version, text] : cases) {
        char shown[81];
        formatOsText(version, shown);
        EXPECT_STREQ(shown, text);
    }
}

} // namespace
