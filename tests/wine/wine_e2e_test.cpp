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
    // The widest run of columns without a white pixel between the first and
    // the last white column of a band: the gap between two words of text.
    static int widestGap(const Image& image, int y0, int y1) {
        int first = -1, widest = 0, run = 0;
        for (int x = 0; x < image.width; ++x) {
            bool white = false;
            for (int y = y0; y < y1 && !white; ++y) {
                const uint8_t* p = image.at(x, y);
                white = p[0] > 240 && p[1] > 240 && p[2] > 240;
            }
            if (white) {
                if (first >= 0) {
                    widest = std::max(widest, run);
                }
                first = first < 0 ? x : first;
                run = 0;
            } else {
                ++run;
            }
        }
        return widest;
    }
    // Starts the Windows game with the focus on its window, drawing.
    Window launch(Game& game) {
        const Window window = game.launch(60000);
        if (window != 0 && server.focus(window)) {
            server.waitForPicture(window, [](const Image& i) { return grey(i, 0, 0, 640, 20) > 640 * 20 * 9 / 10; });
        }
        return window;
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
    const Image start = server.waitForPicture(
        window, [](const Image& i) { return grey(i, 0, 0, 640, 20) > 640 * 20 * 9 / 10; });
    EXPECT_GT(start.distinctColours(), 500);
    EXPECT_GT(grey(start, 0, 0, 640, 20), 640 * 20 * 9 / 10); // sky over the driver's view
    const int restingReadout = rightmostWhite(start, 0, 45, 320, 70);
    EXPECT_GT(restingReadout, 40);
    // "0rpm  0km/h": the two spaces keep the words apart.
    EXPECT_GE(widestGap(start, 45, 70), 8);

    server.xdotool("keydown KP_8");
    const Image moving = server.waitForPicture(window, [&](const Image& i) {
        return rightmostWhite(i, 0, 45, 320, 70) >= restingReadout + 20 &&
               start.countDifferences(i, 8, 0, 0, 640, 440) > 640 * 440 / 4;
    });
    server.xdotool("keyup KP_8");
    EXPECT_GT(start.countDifferences(moving, 8, 0, 0, 640, 440), 640 * 440 / 4);
    EXPECT_GE(rightmostWhite(moving, 0, 45, 320, 70), restingReadout + 20);

    server.tapKey("Home");
    const Image two = server.waitForPicture(
        window, [](const Image& i) { return grey(i, 320, 0, 640, 240) == 320 * 240; });
    EXPECT_EQ(grey(two, 320, 0, 640, 240), 320 * 240); // the clear top-right quarter
    server.tapKey("End");
    const Image world = server.waitForChange(window, two, 640 * 480 / 4);
    EXPECT_GT(world.countDifferences(two, 8), 640 * 480 / 4);

    server.tapKey("Escape");
    EXPECT_EQ(game.waitForExit(), 27);
}

// NumLock off (as Xvfb starts): the keypad sends KP_Up, KP_Home... which
// Windows reports as the navigation keys without the extended bit.
TEST_F(WineTest, KeypadDrivesWithNumLockOff) {
    ASSERT_TRUE(server.ok());
    Game game(server, windowed, {}, windowsGame());
    const Window window = launch(game);
    ASSERT_NE(window, 0u) << game.errorOutput();
    const Image start = server.capture(window);
    const int restingReadout = rightmostWhite(start, 0, 45, 320, 70);
    // Numpad 7 follows the blue vehicle; it must not act as Home (two drivers).
    server.tapKey("KP_Home");
    server.xdotool("keydown KP_Up"); // Numpad 8: the blue vehicle accelerates
    const Image moving = server.waitForPicture(window, [&](const Image& i) {
        return rightmostWhite(i, 0, 45, 320, 70) >= restingReadout + 20;
    });
    server.xdotool("keyup KP_Up");
    EXPECT_GE(rightmostWhite(moving, 0, 45, 320, 70), restingReadout + 20);
    EXPECT_LT(grey(moving, 320, 0, 640, 240), 320 * 240); // still one driver's view
    // The dedicated Home key still chooses two drivers.
    server.tapKey("Home");
    const Image two = server.waitForPicture(
        window, [](const Image& i) { return grey(i, 320, 0, 640, 240) == 320 * 240; });
    EXPECT_EQ(grey(two, 320, 0, 640, 240), 320 * 240);
    server.tapKey("Escape");
    EXPECT_EQ(game.waitForExit(), 27);
}

TEST_F(WineTest, CloseButtonExitsWithZero) {
    ASSERT_TRUE(server.ok());
    Game game(server, windowed, {}, windowsGame());
    const Window window = launch(game);
    ASSERT_NE(window, 0u) << game.errorOutput();
    server.requestClose(window);
    EXPECT_EQ(game.waitForExit(), 0);
}

TEST_F(WineTest, MissingDataShowsItsBoxAndTheGameGoesOn) {
    ASSERT_TRUE(server.ok());
    Game game(server, windowed, {"Textures/SmokeMap.tga"}, windowsGame());
    ASSERT_TRUE(game.start());
    EXPECT_TRUE(server.dismissMessageBox("Error -11", 60000)) << game.errorOutput();
    const Window window = game.waitForWindow(30000);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(server.focus(window));
    const Image frame =
        server.waitForPicture(window, [](const Image& i) { return i.distinctColours() > 500; });
    EXPECT_GT(frame.distinctColours(), 500);
    server.tapKey("Escape");
    EXPECT_EQ(game.waitForExit(), 27);
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
