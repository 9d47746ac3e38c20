// game_e2e_test.cpp -- the whole game under Xvfb, played with real key and mouse
// events: the start-up view, driving, the layouts, the followed vehicle, the
// light under the mouse, the slow-down key.
#include <gtest/gtest.h>

#include <string>

#include "support/game_harness.h"

namespace {

constexpr const char* windowed =
    "resolution: 640 480 32\nfullscreen: false\nfps: true\nmaxfps: 100\n";

// A started game with its window found and focused.
class GameTest : public ::testing::Test {
protected:
    void start(const char* settingsText = windowed) {
        ASSERT_TRUE(server.ok());
        game = std::make_unique<Game>(server, settingsText);
        window = game->launch();
        ASSERT_NE(window, 0u) << game->errorOutput();
        ASSERT_TRUE(server.focus(window));
        sleepMs(700);
    }
    void TearDown() override {
        if (game && game->running()) {
            server.pressKey("Escape");
            EXPECT_EQ(game->waitForExit(), 27);
        }
    }
    Image shot() const { return server.capture(window); }

    // The box of pure white pixels (the text) inside a rectangle.
    static int rightmostWhite(const Image& image, int x0, int y0, int x1, int y1) {
        int right = -1;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const uint8_t* p = image.at(x, y);
                if (p[0] == 255 && p[1] == 255 && p[2] == 255) {
                    right = std::max(right, x);
                }
            }
        }
        return right;
    }
    static int greyPixels(const Image& image, int x0, int y0, int x1, int y1) {
        return image.countColour(128, 128, 128, 0, x0, y0, x1, y1);
    }
    // Which body colour fills the bonnet at the bottom middle of a driver's view.
    static char bonnetColour(const Image& image) {
        int r = 0, g = 0, b = 0;
        for (int y = 400; y < 450; ++y) {
            for (int x = 300; x < 340; ++x) {
                r += image.at(x, y)[0];
                g += image.at(x, y)[1];
                b += image.at(x, y)[2];
            }
        }
        if (r > g && r > b) return 'r';
        if (g > r && g > b) return 'g';
        return 'b';
    }

    XServer server;
    std::unique_ptr<Game> game;
    Window window = 0;
};

TEST_F(GameTest, StartUpShowsVehicleZerosSeat) {
    start();
    EXPECT_TRUE(server.findWindows("Error").empty());
    const Image frame = shot();
    EXPECT_GT(frame.distinctColours(), 500);
    EXPECT_GT(greyPixels(frame, 0, 0, 640, 20), 640 * 20 * 9 / 10); // the sky
    int ground = 0;
    for (int y = 250; y < 300; ++y) {
        for (int x = 0; x < 640; ++x) {
            const uint8_t* p = frame.at(x, y);
            ground += (p[1] > p[2] + 15) ? 1 : 0;
        }
    }
    EXPECT_GT(ground, 640 * 50 / 2);
    EXPECT_EQ(bonnetColour(frame), 'b'); // vehicle 0 is the blue one
    // The readout "0rpm  0km/h" 16 pixels in, its baseline 64 down.
    EXPECT_GE(rightmostWhite(frame, 0, 48, 320, 70), 100);
    EXPECT_LT(rightmostWhite(frame, 0, 48, 320, 70), 140);
    frame.savePpm(game->folder() + "/start.ppm");
}

TEST_F(GameTest, AcceleratorMovesVehicleZeroAndTheReadoutRises) {
    start();
    const Image before = shot();
    const int restingText = rightmostWhite(before, 0, 48, 320, 70);
    server.xdotool("keydown KP_8");
    sleepMs(2000);
    const Image moving = shot();
    server.xdotool("keyup KP_8");
    EXPECT_GT(before.countDifferences(moving, 8, 0, 0, 640, 440), 640 * 440 / 4);
    // "0rpm  0km/h" grows by at least three digits: four-digit revolutions and a
    // two- or three-digit road speed (the glyphs are 10 pixels apart).
    EXPECT_GE(rightmostWhite(moving, 0, 48, 320, 70), restingText + 30);
}

TEST_F(GameTest, LayoutKeysShowTheirViews) {
    start();
    server.pressKey("End");
    sleepMs(400);
    const Image world = shot();
    // From straight above vehicle 0: ground over the whole window, no sky.
    EXPECT_LT(greyPixels(world, 0, 0, 640, 440), 640 * 440 / 20);

    server.pressKey("Home");
    sleepMs(400);
    const Image two = shot();
    EXPECT_EQ(greyPixels(two, 320, 0, 640, 240), 320 * 240); // top right stays clear
    EXPECT_LT(greyPixels(two, 0, 240, 320, 480), 320 * 240 / 10); // bottom left: world from above
    EXPECT_GT(greyPixels(two, 0, 0, 320, 30), 320 * 30 * 9 / 10); // top left: vehicle 1's sky
    EXPECT_LT(greyPixels(two, 0, 180, 320, 240), 320 * 60 / 10); // and its ground

    server.pressKey("Delete");
    sleepMs(400);
    const Image three = shot();
    EXPECT_LT(greyPixels(three, 320, 180, 640, 240), 320 * 60 / 10); // vehicle 2's ground

    server.pressKey("Insert");
    sleepMs(400);
    const Image one = shot();
    EXPECT_GT(greyPixels(one, 0, 0, 640, 20), 640 * 20 * 9 / 10);
    EXPECT_LT(greyPixels(one, 0, 250, 640, 300), 640 * 50 / 10);
    EXPECT_EQ(bonnetColour(one), 'b');
}

TEST_F(GameTest, FollowKeysChangeTheDriversSeat) {
    start();
    server.pressKey("q");
    sleepMs(300);
    EXPECT_EQ(bonnetColour(shot()), 'r');
    server.pressKey("u");
    sleepMs(300);
    EXPECT_EQ(bonnetColour(shot()), 'g');
    server.pressKey("KP_7");
    sleepMs(300);
    EXPECT_EQ(bonnetColour(shot()), 'b');
}

TEST_F(GameTest, DraggingWithTheLeftButtonMovesTheLight) {
    start();
    server.xdotool("mousemove 320 240");
    sleepMs(300);
    const Image before = shot();
    sleepMs(300);
    // Nothing moves at rest: the picture above the frame-rate bar stands still.
    EXPECT_EQ(before.countDifferences(shot(), 2, 0, 0, 640, 440), 0);
    // A drag without the button moves nothing either.
    server.xdotool("mousemove 600 400");
    sleepMs(300);
    EXPECT_EQ(before.countDifferences(shot(), 2, 0, 0, 640, 440), 0);
    server.xdotool("mousedown 1");
    for (int step = 0; step < 10; ++step) {
        server.xdotool("mousemove_relative -- -25 -15");
        sleepMs(40);
    }
    server.xdotool("mouseup 1");
    sleepMs(300);
    EXPECT_GT(before.countDifferences(shot(), 4, 0, 0, 640, 440), 640 * 440 / 10);
}

} // namespace
