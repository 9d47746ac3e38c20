// game_e2e_test.cpp -- the whole game under Xvfb, played with real key and mouse
// events: the start-up view, driving, the layouts and the followed vehicle from
// instant key taps, the light under the mouse (also beyond the window's edge),
// minimising and restoring under a window manager.
#include <gtest/gtest.h>

#include <string>

#include "support/game_harness.h"

namespace {

constexpr const char* windowed =
    "resolution: 640 480 32\nfullscreen: false\nfps: true\nmaxfps: 100\n";
constexpr int viewPixels = 640 * 440; // the picture above the frame-rate bar

int greyPixels(const Image& image, int x0, int y0, int x1, int y1) {
    return image.countColour(128, 128, 128, 0, x0, y0, x1, y1);
}

// The box of pure white pixels (the text) inside a rectangle: its right edge.
int rightmostWhite(const Image& image, int x0, int y0, int x1, int y1) {
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

// Which body colour fills the bonnet at the bottom middle of a driver's view.
char bonnetColour(const Image& image) {
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

// A started game with its window found, focused and drawing.
class GameTest : public ::testing::Test {
protected:
    void start(bool windowManager = false) {
        server = std::make_unique<XServer>(1280, 1024, windowManager);
        ASSERT_TRUE(server->ok());
        game = std::make_unique<Game>(*server, windowed);
        window = game->launch();
        ASSERT_NE(window, 0u) << game->errorOutput();
        ASSERT_TRUE(server->focus(window));
        // The first frames are drawn once the sky is there.
        waitFor([](const Image& i) { return greyPixels(i, 0, 0, 640, 20) > 640 * 20 * 9 / 10; });
    }
    void TearDown() override {
        if (game && game->running()) {
            server->tapKey("Escape");
            EXPECT_EQ(game->waitForExit(), 27);
        }
    }
    Image waitFor(const std::function<bool(const Image&)>& done) const {
        return server->waitForPicture(window, done);
    }
    Image shot() const { return server->capture(window); }

    std::unique_ptr<XServer> server;
    std::unique_ptr<Game> game;
    Window window = 0;
};

TEST_F(GameTest, StartUpShowsVehicleZerosSeat) {
    start();
    EXPECT_TRUE(server->findWindows("Error").empty());
    const Image frame = shot();
    EXPECT_GT(frame.distinctColours(), 500);
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
}

TEST_F(GameTest, AcceleratorMovesVehicleZeroAndTheReadoutRises) {
    start();
    const Image before = shot();
    const int restingText = rightmostWhite(before, 0, 48, 320, 70);
    server->xdotool("keydown KP_8");
    // "0rpm  0km/h" grows by at least three digits: four-digit revolutions and a
    // two- or three-digit road speed (the glyphs are 10 pixels apart).
    const Image moving = waitFor([&](const Image& i) {
        return rightmostWhite(i, 0, 48, 320, 70) >= restingText + 30 &&
               before.countDifferences(i, 8, 0, 0, 640, 440) > viewPixels / 4;
    });
    server->xdotool("keyup KP_8");
    EXPECT_GE(rightmostWhite(moving, 0, 48, 320, 70), restingText + 30);
    EXPECT_GT(before.countDifferences(moving, 8, 0, 0, 640, 440), viewPixels / 4);
}

// Taps as automation, on-screen keyboards and remote desktops send them: down
// and up at once, shorter than any frame.
TEST_F(GameTest, InstantTapsChangeTheLayoutAndTheFollowedVehicle) {
    start();
    // End: the world view from straight above vehicle 0, ground everywhere.
    server->tapKey("End");
    EXPECT_LT(greyPixels(waitFor([](const Image& i) { return greyPixels(i, 0, 0, 640, 440) < viewPixels / 20; }),
                         0, 0, 640, 440),
              viewPixels / 20);
    // Home: vehicle 0 bottom right, vehicle 1 top left, the world bottom left,
    // the top right clear.
    server->tapKey("Home");
    const Image two = waitFor([](const Image& i) { return greyPixels(i, 320, 0, 640, 240) == 320 * 240; });
    EXPECT_EQ(greyPixels(two, 320, 0, 640, 240), 320 * 240);
    EXPECT_LT(greyPixels(two, 0, 240, 320, 480), 320 * 240 / 10);
    EXPECT_GT(greyPixels(two, 0, 0, 320, 30), 320 * 30 * 9 / 10);
    EXPECT_LT(greyPixels(two, 0, 180, 320, 240), 320 * 60 / 10);
    // Delete: vehicle 2's ground fills the top right's lower edge.
    server->tapKey("Delete");
    const Image three = waitFor([](const Image& i) { return greyPixels(i, 320, 180, 640, 240) < 320 * 60 / 10; });
    EXPECT_LT(greyPixels(three, 320, 180, 640, 240), 320 * 60 / 10);
    // Insert: one driver's view again, from the blue seat; then the follow keys.
    server->tapKey("Insert");
    const Image one = waitFor([](const Image& i) { return greyPixels(i, 0, 250, 640, 300) < 640 * 50 / 10; });
    EXPECT_LT(greyPixels(one, 0, 250, 640, 300), 640 * 50 / 10);
    EXPECT_EQ(bonnetColour(one), 'b');
    for (const auto& [key, colour] : {std::pair{"q", 'r'}, std::pair{"u", 'g'}, std::pair{"KP_7", 'b'}}) {
        server->tapKey(key);
        EXPECT_EQ(bonnetColour(waitFor([c = colour](const Image& i) { return bonnetColour(i) == c; })), colour)
            << key;
    }
    server->tapKey("Escape");
    EXPECT_EQ(game->waitForExit(), 27);
}

TEST_F(GameTest, DraggingMovesTheLightAlsoBeyondTheWindowsTopEdge) {
    start(true);
    // Room above the window for the pointer to leave it by its top edge.
    ASSERT_TRUE(server->xdotool("windowmove --sync " + std::to_string(window) + " 100 200"));
    int x, y, width, height;
    ASSERT_TRUE(server->geometry(window, x, y, width, height));
    ASSERT_GE(y, 100);
    const std::string column = std::to_string(x + 320);
    // Nothing moves at rest, and a move without the button moves no light.
    server->xdotool("mousemove " + column + " " + std::to_string(y + 200));
    sleepMs(300);
    const Image before = shot();
    server->xdotool("mousemove " + column + " " + std::to_string(y + 25));
    sleepMs(300);
    EXPECT_EQ(before.countDifferences(shot(), 2, 0, 0, 640, 440), 0);
    // From 25 pixels inside the window to 25 pixels above it in steps of 5: the
    // lighting changes a little at every step, crossing the edge included.
    server->xdotool("mousedown 1");
    Image last = shot();
    int largestStep = 0;
    for (int inside = 20; inside >= -25; inside -= 5) {
        server->xdotool("mousemove " + column + " " + std::to_string(y + inside));
        const Image now = server->waitForChange(window, last, 0, 3000);
        largestStep = std::max(largestStep, last.countDifferences(now, 8, 0, 0, 640, 440));
        last = now;
    }
    server->xdotool("mouseup 1");
    EXPECT_LT(largestStep, viewPixels / 4);
    EXPECT_GT(before.countDifferences(last, 8, 0, 0, 640, 440), viewPixels / 20);
}

TEST_F(GameTest, MinimisedDrawsNoFramesAndRestoringResumes) {
    start(true);
    // Vehicle 0 gathers speed; from the key's release it rolls on by itself.
    server->xdotool("keydown KP_8");
    sleepMs(1500);
    const std::string id = std::to_string(window);
    // Drawing a frame keeps the GL driver's rasterising threads busy; three
    // seconds of frames cost them well over a tenth of a second here.
    const long drawingBefore = game->drawingThreadTicks();
    sleepMs(3000);
    const long drawingShown = game->drawingThreadTicks() - drawingBefore;
    ASSERT_GT(drawingShown, 10) << "no measurable drawing to tell apart";
    ASSERT_TRUE(server->xdotool("windowminimize --sync " + id));
    server->xdotool("keyup KP_8");
    sleepMs(500); // whatever was in flight settles
    const long minimisedFrom = game->drawingThreadTicks();
    sleepMs(3000);
    const long drawingMinimised = game->drawingThreadTicks() - minimisedFrom;
    EXPECT_LE(drawingMinimised, drawingShown / 10) << "frames were drawn while minimised";
    // Restored, the frames resume where the simulation stopped: the vehicle is
    // still rolling, so the picture moves on.
    server->xdotool("windowactivate " + id);
    const Image restored = waitFor([](const Image& i) { return i.distinctColours() > 200; });
    const Image resumed = server->waitForChange(window, restored, viewPixels / 20);
    EXPECT_GT(restored.countDifferences(resumed, 8, 0, 0, 640, 440), viewPixels / 20);
}

} // namespace
