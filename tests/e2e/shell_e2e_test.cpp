// shell_e2e_test.cpp -- the built game's window, frames and ways out, under Xvfb.
#include <gtest/gtest.h>

#include "support/game_harness.h"

namespace {

constexpr const char* windowed640 =
    "resolution: 640 480 32\nfullscreen: false\nfps: true\nmaxfps: 100\n";

TEST(ShellEndToEnd, WindowHasTheConfiguredClientAreaAndDrawsFrames) {
    XServer server;
    ASSERT_TRUE(server.ok());
    Game game(server, windowed640);
    Window window = game.launch();
    ASSERT_NE(window, 0u) << game.errorOutput();
    EXPECT_EQ(server.title(window), "OpenGL");
    int x, y, width, height;
    ASSERT_TRUE(server.geometry(window, x, y, width, height));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    Image first = server.waitForPicture(window, [](const Image& i) {
        return i.countColour(128, 128, 128, 2, 0, 0, 640, 20) > 640 * 20 * 9 / 10;
    });
    ASSERT_FALSE(first.empty());
    // The mid-grey clear colour above the landscape, ground below it, and the
    // frame-rate bar's red end and white number in the bottom-left corner.
    EXPECT_GT(first.countColour(128, 128, 128, 2, 0, 0, 640, 20), 640 * 20 * 9 / 10);
    EXPECT_LT(first.countColour(128, 128, 128, 2, 0, 300, 640, 440), 100);
    EXPECT_GT(first.distinctColours(), 200);
    EXPECT_GT(first.countColour(255, 255, 255, 40, 0, 460, 60, 480), 10);
    EXPECT_GT(first.countColour(255, 0, 0, 40, 0, 460, 20, 480), 100);
    // Frames keep coming: the measured rate's text changes from one to the next.
    EXPECT_GT(first.countDifferences(server.waitForChange(window, first)), 0);

    // Escape, tapped as automation does (down and up at once), ends the game;
    // the exit code is the key message's parameter.
    ASSERT_TRUE(server.focus(window));
    ASSERT_TRUE(server.tapKey("Escape"));
    EXPECT_EQ(game.waitForExit(), 27);
}

TEST(ShellEndToEnd, CloseButtonExitsWithZero) {
    XServer server;
    ASSERT_TRUE(server.ok());
    Game game(server, windowed640);
    Window window = game.launch();
    ASSERT_NE(window, 0u) << game.errorOutput();
    sleepMs(300);
    server.requestClose(window);
    EXPECT_EQ(game.waitForExit(), 0);
}

TEST(ShellEndToEnd, WithoutASettingsFileTheDefaultsGiveFullScreen1024x768) {
    XServer server(1024, 768); // the default mode is the screen's own
    ASSERT_TRUE(server.ok());
    Game game(server, nullptr);
    Window window = game.launch();
    ASSERT_NE(window, 0u) << game.errorOutput();
    int x, y, width, height;
    ASSERT_TRUE(server.geometry(window, x, y, width, height));
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 768);
    Image frame = server.waitForPicture(window, [](const Image& i) {
        return i.countColour(128, 128, 128, 2, 0, 0, 1024, 20) > 1024 * 20 * 9 / 10;
    });
    EXPECT_GT(frame.countColour(128, 128, 128, 2, 0, 0, 1024, 20), 1024 * 20 * 9 / 10);
    EXPECT_GT(frame.distinctColours(), 200);
    server.focus(window);
    server.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(), 27);
}

TEST(ShellEndToEnd, RefusedFullScreenModeShowsItsMessageAndEnds) {
    XServer server(800, 600); // offers no 640x480 mode
    ASSERT_TRUE(server.ok());
    Game game(server, "resolution: 640 480 32\nfullscreen: true\n");
    ASSERT_TRUE(game.start());
    EXPECT_TRUE(server.dismissMessageBox("Error -2")) << game.errorOutput();
    EXPECT_EQ(game.waitForExit(), 0);
    EXPECT_TRUE(server.findWindows("OpenGL").empty());
}

TEST(ShellEndToEnd, KeysHeldBeforeEscapeDoNotEndTheGame) {
    XServer server;
    ASSERT_TRUE(server.ok());
    Game game(server, windowed640);
    Window window = game.launch();
    ASSERT_NE(window, 0u) << game.errorOutput();
    server.focus(window);
    server.xdotool("key W A S D KP_8 Home End Insert");
    sleepMs(500);
    EXPECT_TRUE(game.running());
    server.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(), 27);
}

} // namespace

namespace {

TEST(ShellEndToEnd, ResizingTheWindowLaysTheFrameOutAgain) {
    XServer server;
    ASSERT_TRUE(server.ok());
    Game game(server, windowed640);
    Window window = game.launch();
    ASSERT_NE(window, 0u) << game.errorOutput();
    ASSERT_TRUE(server.xdotool("windowsize --sync " + std::to_string(window) + " 500 400"));
    // Laid out again: the frame-rate bar's red start sits on the new bottom edge.
    Image frame = server.waitForPicture(window, [](const Image& i) {
        return i.width == 500 && i.height == 400 && i.at(1, 398)[0] > 200 && i.at(1, 398)[1] < 40;
    });
    ASSERT_EQ(frame.width, 500);
    ASSERT_EQ(frame.height, 400);
    // The frame-rate bar starts at the new bottom edge, and the sky fills the new top.
    const uint8_t* start = frame.at(1, 398);
    EXPECT_GT(start[0], 200) << int(start[0]) << "," << int(start[1]) << "," << int(start[2]);
    EXPECT_LT(start[1], 40);
    EXPECT_GT(frame.countColour(128, 128, 128, 2, 0, 0, 500, 10), 500 * 10 * 9 / 10);
    server.requestClose(window);
    EXPECT_EQ(game.waitForExit(), 0);
}

TEST(ShellEndToEnd, WithoutAnyDisplayTheFailureGoesToStandardError) {
    // The game refuses to start but says why, even where no box can be shown.
    XServer server;
    Game game(server, windowed640);
    const std::string command = "cd " + game.folder() + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                                MUDLARK_RUN_DIR + "/mudlark 2>stderr.txt";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_NE(game.errorOutput().find("Error -1: Registering of WindowClass failed!\n"),
              std::string::npos)
        << game.errorOutput();
}

} // namespace
