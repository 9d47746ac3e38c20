// frame_rate_e2e_test.cpp -- holding H lowers the displayed frame rate. It compares
// frame rates, so it runs alone (nothing else competing for the processor).
#include <gtest/gtest.h>

#include <algorithm>

#include "support/game_harness.h"

namespace {

// The bar's length along the bottom row: red to green, no blue.
int barLength(const Image& image) {
    const int y = image.height - 8;
    int x = 0;
    while (x < image.width) {
        const uint8_t* p = image.at(x, y);
        if (!(p[2] < 16 && p[0] + p[1] > 180)) {
            // The white number sits inside the bar; step over it.
            if (!(p[0] > 200 && p[1] > 200 && p[2] > 200)) {
                break;
            }
        }
        ++x;
    }
    return x;
}

TEST(FrameRateEndToEnd, HoldingHLowersTheFrameRate) {
    XServer server;
    ASSERT_TRUE(server.ok());
    // A small window draws fast, so the slow-down's few milliseconds show.
    Game game(server, "resolution: 240 180 32\nfullscreen: false\nfps: true\nmaxfps: 1000\n");
    const Window window = game.launch();
    ASSERT_NE(window, 0u) << game.errorOutput();
    ASSERT_TRUE(server.focus(window));
    auto shot = [&] { return server.capture(window); };
    sleepMs(2500);
    const int normal = barLength(shot());
    server.xdotool("keydown h");
    sleepMs(2500);
    const int slowed = barLength(shot());
    server.xdotool("keyup h");
    sleepMs(2500);
    const int again = barLength(shot());
    EXPECT_GT(normal, 10);
    EXPECT_LT(slowed, std::min(normal, again) * 85 / 100)
        << normal << " then " << slowed << " then " << again;
    server.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(), 27);
}

} // namespace
