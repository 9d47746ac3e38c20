// overlays_test.cpp -- the operating-system line of the information overlay.
#include <gtest/gtest.h>

#include <string>

#include "render/overlays.h"

namespace {

std::string osText(uint32_t platformId, int major, int minor, int build) {
    char text[81];
    formatOsText(OsVersion{platformId, major, minor, build}, text);
    return text;
}

TEST(OsText, PrefixFollowsThePlatform) {
    EXPECT_EQ(osText(osPlatformWindowsNt, 5, 0, 195), "Windows NT v5.0.195");
    EXPECT_EQ(osText(osPlatformWindows9x, 4, 10, 0x040A08CE), "Windows 9x v4.10.67766478");
    EXPECT_EQ(osText(osPlatformWin32s, 3, 11, 0), "Windows 3.x v3.11.0");
    EXPECT_EQ(osText(osPlatformLinux, 6, 1, 0), "Linux v6.1.0");
    EXPECT_EQ(osText(7, 5, 0, 195), "5.0.195"); // an unknown platform: the numbers alone
}

TEST(OsText, NumbersAreSigned) {
    EXPECT_EQ(osText(osPlatformWindowsNt, -1, 0, -2147483647 - 1), "Windows NT v-1.0.-2147483648");
}

} // namespace
