// scene_test.cpp -- the world camera's aim, what a view can see, the driver's
// readout, the operating-system line of the information overlay and the big
// captions' letters.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "render/big_text.h"
#include "render/gl_state.h"
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
    WorldCamera camera{};
    for (const auto& a : aims) {
        const float position[3] = {a.x, a.y, a.z};
        aimWorldCamera(camera, position);
        EXPECT_NEAR(camera.yaw, a.yaw, 1e-3f) << a.x << "," << a.z;
        EXPECT_NEAR(camera.pitch, a.pitch, 1e-3f) << a.x << "," << a.z;
    }
}

std::string readout(float driveSpeed, float speed) {
    char text[64];
    formatReadout(driveSpeed, speed, text);
    return text;
}

// A camera at the origin looking along -z through a 45-degree, 4:3 view from
// 0.09 to 500. At 10 ahead the view is 5.523 to each side; its side planes lean
// out at atan(0.5523), so a centre 6.3 to the left is 0.68 outside: a sphere of
// 1 still reaches in. The near plane is 0.09 ahead of the eye.
TEST(ViewCulling, OnlyWhatLiesWhollyBeyondAPlaneIsLeftOut) {
    const double f = 1 / std::tan(22.5 * 3.14159265358979 / 180), n = 0.09, far = 500;
    float clip[16] = {};
    clip[0] = static_cast<float>(f * 3 / 4);
    clip[5] = static_cast<float>(f);
    clip[10] = static_cast<float>((far + n) / (n - far));
    clip[11] = -1;
    clip[14] = static_cast<float>(2 * far * n / (n - far));
    const struct {
        float x, y, z;
        bool outside;
    } spheres[] = {
        {0, 0, -10, false},   {-6.3f, 0, -10, false}, {-6.8f, 0, -10, true}, {6.8f, 0, -10, true},
        {0, 4.9f, -10, false}, {0, -5.4f, -10, true}, {0, 0, 0.5f, false},   {0, 0, 1.2f, true},
        {0, 0, -500.8f, false}, {0, 0, -501.2f, true},
    };
    for (const auto& s : spheres) {
        const float centre[3] = {s.x, s.y, s.z};
        EXPECT_EQ(sphereOutsideView(viewVolume(clip), centre, 1.0f), s.outside) << s.x << ' ' << s.y << ' ' << s.z;
    }
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

// Track names as players write them: accented letters as their capitals, a
// UTF-8 character one place, bytes that are not UTF-8 gaps, never read past.
TEST(BigText, AccentedLettersAreCapitalsAndEachCharacterTakesOnePlace) {
    const auto dots = [](const char* text) {
        BigGlyph glyphs[bigTextCapacity];
        const int count = bigTextGlyphs(text, glyphs, bigTextCapacity);
        return std::string(reinterpret_cast<const char*>(glyphs), count * sizeof(BigGlyph));
    };
    EXPECT_EQ(dots("M\xC3\xBCllberg, C\xC3\xB4te-d'Or!"), dots("MULLBERG, COTE-D'OR!"));
    EXPECT_EQ(dots("Stra\xC3\x9F" "e \xC3\xBF \xC3\x89"), dots("STRASE Y E"));
    EXPECT_EQ(dots("a\xE2\x82\xAC" "b\xC3\x97"), dots("A B ")); // the euro and times signs are gaps
    EXPECT_EQ(dots("\x80z\xC3"), dots(" Z ")); // a stray byte; a lead byte at the very end
    EXPECT_NE(dots("?"), dots(" "));
    BigGlyph two[2];
    EXPECT_EQ(bigTextGlyphs("Quarry", two, 2) + bigTextGlyphs(nullptr, two, 2), 2);
}

} // namespace
