// wine_e2e_test.cpp -- the native Windows build (mudlark.exe) under Wine on Xvfb:
// its window, frames, layouts, readout, exit codes, message boxes and the
// system-information line.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/game_harness.h"

namespace {

const std::string prefixSetting = std::string("WINEPREFIX=") + MUDLARK_WINE_PREFIX;

GameProgram windowsGame() {
    return GameProgram{{"wine", std::string(MUDLARK_WINDOWS_RUN_DIR) + "/mudlark.exe"},
                       MUDLARK_WINDOWS_RUN_DIR,
                       {prefixSetting, "WINEDEBUG=-all"}};
}

constexpr const char* windowed = "resolution: 640 480 32\nfullscreen: false\nfps: true\n";

class WineTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Whatever a failed test left running in the prefix goes.
        std::system(("env " + prefixSetting + " wineserver -k >/dev/null 2>&1").c_str());
    }
    static int grey(const Image& image, int x0, int y0, int x1, int y1) {
        return image.countColour(128, 128, 128, 0, x0, y0, x1, y1);
    }
    static int rightmostWhite(const Image& image, int x0, int y0, int x1, int y1) {
        int right = -1;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const uint8_t* p = image.at(x, y);
                if (p[0] > 240 && p[1] > 240 && p[2] > 240) {
                    right = std::max(right, x);
                }
            }
        }
        return right;
    }
    XServer server;
};

TEST_F(WineTest, WindowFramesLayoutsReadoutAndEscape) {
    ASSERT_TRUE(server.ok());
    Game game(server, windowed, {}, windowsGame());
    const Window window = game.launch(60000);
    ASSERT_NE(window, 0u) << game.errorOutput();
    EXPECT_EQ(server.title(window), "OpenGL");
    int x, y, width, height;
    ASSERT_TRUE(server.geometry(window, x, y, width, height));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    ASSERT_TRUE(server.focus(window));
    sleepMs(1500);

    const Image start = server.capture(window);
    EXPECT_GT(start.distinctColours(), 500);
    EXPECT_GT(grey(start, 0, 0, 640, 20), 640 * 20 * 9 / 10); // sky over the driver's view
    const int restingReadout = rightmostWhite(start, 0, 45, 320, 70);
    EXPECT_GT(restingReadout, 40);

    server.xdotool("keydown KP_8");
    sleepMs(2000);
    const Image moving = server.capture(window);
    server.xdotool("keyup KP_8");
    EXPECT_GT(start.countDifferences(moving, 8, 0, 0, 640, 440), 640 * 440 / 4);
    EXPECT_GE(rightmostWhite(moving, 0, 45, 320, 70), restingReadout + 20);

    server.pressKey("Home");
    sleepMs(500);
    const Image two = server.capture(window);
    EXPECT_EQ(grey(two, 320, 0, 640, 240), 320 * 240); // the clear top-right quarter
    server.pressKey("End");
    sleepMs(500);
    const Image world = server.capture(window);
    EXPECT_GT(world.countDifferences(two, 8), 640 * 480 / 4);

    server.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(30000), 27);
}

TEST_F(WineTest, CloseButtonExitsWithZero) {
    ASSERT_TRUE(server.ok());
    Game game(server, windowed, {}, windowsGame());
    const Window window = game.launch(60000);
    ASSERT_NE(window, 0u) << game.errorOutput();
    sleepMs(1000);
    server.requestClose(window);
    EXPECT_EQ(game.waitForExit(30000), 0);
}

TEST_F(WineTest, MissingDataShowsItsBoxAndTheGameGoesOn) {
    ASSERT_TRUE(server.ok());
    Game game(server, windowed, {"Textures/SmokeMap.tga"}, windowsGame());
    ASSERT_TRUE(game.start());
    EXPECT_TRUE(server.dismissMessageBox("Error -11", 60000)) << game.errorOutput();
    const Window window = game.waitForWindow(30000);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(server.focus(window));
    sleepMs(1000);
    EXPECT_GT(server.capture(window).distinctColours(), 500);
    server.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(30000), 27);
}

TEST_F(WineTest, SystemInformationLineIsWindowsNt) {
    const std::string command =
        "env " + prefixSetting + " WINEDEBUG=-all DISPLAY=" + server.name() + " wine " +
        MUDLARK_WINDOWS_PROBE + " 2>/dev/null";
    std::FILE* output = popen(command.c_str(), "r");
    ASSERT_NE(output, nullptr);
    std::array<char, 128> line{};
    const bool read = std::fgets(line.data(), line.size(), output) != nullptr;
    pclose(output);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::string(line.data()).rfind("Windows NT v", 0), 0u) << line.data();
}

} // namespace
