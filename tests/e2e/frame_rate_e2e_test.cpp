// frame_rate_e2e_test.cpp -- holding H lowers the displayed frame rate. It compares
// frame rates, so it runs alone (nothing else competing for the processor).
#include <gtest/gtest.h>

#include <algorithm>

#include "support/game_harness.h"

namespace {

// The bar's length along a row near the bottom: red to green, stepping over the white number.
int barLength(const Image& image) {
    int x = 0;
    for (const uint8_t* p = image.at(0, image.height - 8); x < image.width; ++x, p += 3) {
        const bool bar = p[2] < 16 && p[0] + p[1] > 180, number = p[0] > 200 && p[1] > 200 && p[2] > 200;
        if (!bar && !number) {
            break;
        }
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
    // Each phase: two seconds to settle (the displayed rate moves by one a
    // frame), then the median of five readings, so a busy machine's jitter
    // does not decide it.
    int lengths[3];
    for (int phase = 0; phase < 3; ++phase) {
        server.xdotool(phase == 1 ? "keydown h" : "keyup h");
        sleepMs(2000);
        std::vector<int> readings;
        for (int i = 0; i < 5; ++i, sleepMs(200)) {
            readings.push_back(barLength(server.capture(window)));
        }
        std::nth_element(readings.begin(), readings.begin() + 2, readings.end());
        lengths[phase] = readings[2];
    }
    EXPECT_GT(lengths[0], 10);
    EXPECT_LT(lengths[1], (lengths[0] + lengths[2]) / 2 * 85 / 100)
        << lengths[0] << " then " << lengths[1] << " then " << lengths[2];
    server.tapKey("Escape");
    EXPECT_EQ(game.waitForExit(), 27);
}

} // namespace
