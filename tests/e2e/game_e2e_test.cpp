// game_e2e_test.cpp -- the built game under Xvfb, played with real key events:
// its window and ways out, driving, the layouts and the followed vehicle from
// instant taps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "support/game_harness.h"

namespace {

constexpr const char* windowed = "resolution: 640 480 32\nfullscreen: false\nfps: true\nmaxfps: 100\n";
constexpr int viewPixels = 640 * 440; // the picture above the frame-rate bar
const Area view{0, 0, 640, 440};
const Area readout{0, 48, 320, 70};

// Which body colour fills the bonnet at the bottom middle of the driver's view
// in this part of the window (above the frame-rate bar).
char bonnetColour(const Image& image, Area q = {0, 0, 640, 480}) {
    const int w = q.x1 - q.x0, h = q.y1 - q.y0;
    long sum[3] = {};
    for (int y = q.y1 - h / 6; y < std::min(q.y1 - h / 16, 458); ++y) {
        for (int x = q.x0 + w * 15 / 32; x < q.x0 + w * 17 / 32; ++x) {
            for (int c = 0; c < 3; ++c) {
                sum[c] += image.at(x, y)[c];
            }
        }
    }
    return sum[0] > sum[1] && sum[0] > sum[2] ? 'r' : sum[1] > sum[2] ? 'g' : 'b';
}

// A started game with its window found, focused and drawing.
class GameTest : public ::testing::Test {
protected:
    void start(const char* settingsText = windowed, int screenWidth = 1280, int screenHeight = 1024) {
        server = std::make_unique<XServer>(screenWidth, screenHeight);
        ASSERT_TRUE(server->ok());
        game = std::make_unique<Game>(*server, settingsText);
        window = game->launch();
        ASSERT_NE(window, 0u) << game->errorOutput();
        ASSERT_TRUE(server->focus(window));
        const int width = settingsText != nullptr && std::strstr(settingsText, "fullscreen: false") ? 640 : screenWidth;
        first = waitFor([&](const Image& i) { return i.width == width && i.grey({0, 0, width, 20}) > width * 18; });
    }
    void TearDown() override {
        if (game && game->running()) {
            server->tapKey("Escape");
            EXPECT_EQ(game->waitForExit(), 27);
        }
    }
    Image waitFor(const std::function<bool(const Image&)>& done) const { return server->waitForPicture(window, done); }
    bool loaded(const char* library) const {
        return readFileBytes("/proc/" + std::to_string(game->pid()) + "/maps").find(library) != std::string::npos;
    }

    std::unique_ptr<XServer> server;
    std::unique_ptr<Game> game;
    Window window = 0;
    Image first;
};

TEST_F(GameTest, WindowOfTheConfiguredSizeVehicleZeroDrivesOffAndATappedEscapeEnds) {
    start();
    EXPECT_EQ(first.width * 1000 + first.height, 640480);
    EXPECT_TRUE(server->findWindows("Error").empty());
    EXPECT_EQ(game->errorOutput(), ""); // no pad, and nothing said about it
    EXPECT_TRUE(loaded("libudev")); // the controller support's device monitor
    EXPECT_GT(first.distinctColours(), 500);
    EXPECT_LT(first.grey({0, 300, 640, 440}), 100); // ground below the sky
    EXPECT_EQ(bonnetColour(first), 'b');            // vehicle 0 is the blue one
    // "0rpm  0km/h" 16 pixels in, its baseline 64 down; the bar's red start and number.
    EXPECT_GE(first.rightmostWhite(readout), 100);
    EXPECT_LT(first.rightmostWhite(readout), 140);
    EXPECT_GT(first.countColour(255, 0, 0, 40, {0, 460, 20, 480}), 100);
    // Numpad 8 held: vehicle 0 drives off, and four-digit revolutions and a
    // two-digit road speed make the readout three glyphs longer.
    const int resting = first.rightmostWhite(readout);
    server->xdotool("keydown KP_8");
    const Image moving = waitFor([&](const Image& i) {
        return i.rightmostWhite(readout) >= resting + 30 && first.countDifferences(i, 8, view) > viewPixels / 4;
    });
    server->xdotool("keyup KP_8");
    EXPECT_GE(moving.rightmostWhite(readout), resting + 30);
    EXPECT_GT(first.countDifferences(moving, 8, view), viewPixels / 4);
    // Escape tapped as automation does (down and up at once); the exit code is
    // the parameter of the key message.
    server->tapKey("Escape");
    EXPECT_EQ(game->waitForExit(), 27);
}

TEST_F(GameTest, CloseButtonEndsWithZeroResizingLaysTheFrameOutAndPadsCanBeOff) {
    start((std::string(windowed) + "gamepads: false\n").c_str());
    EXPECT_FALSE(loaded("libudev")); // no controller support started at all
    server->tapKey("W A S D KP_8 Home End Insert"); // keys before the way out do not end it
    ASSERT_TRUE(server->xdotool("windowsize --sync " + std::to_string(window) + " 500 400"));
    // The frame-rate bar's red start on the new bottom edge, the sky along the new top.
    const Image frame = waitFor([](const Image& i) {
        return i.width == 500 && i.height == 400 && i.at(1, 398)[0] > 200 && i.at(1, 398)[1] < 40;
    });
    EXPECT_EQ(frame.height, 400);
    EXPECT_GT(frame.grey({0, 0, 500, 10}), 500 * 10 * 9 / 10);
    server->requestClose(window);
    EXPECT_EQ(game->waitForExit(), 0);
}

TEST_F(GameTest, WithoutSettingsTheDefaultsFillA1024By768Screen) {
    start(nullptr, 1024, 768);
    EXPECT_EQ(first.width * 1000 + first.height, 1024768);
}

TEST(GameStart, RefusedFullScreenModeAndNoDisplaySayWhy) {
    XServer server(800, 600); // offers no 640x480 mode
    ASSERT_TRUE(server.ok());
    Game game(server, "resolution: 640 480 32\nfullscreen: true\n");
    ASSERT_TRUE(game.start());
    EXPECT_TRUE(server.dismissMessageBox("Error -2")) << game.errorOutput();
    EXPECT_EQ(game.waitForExit(), 0);
    // Where no box can be shown at all, the failure goes to standard error.
    const std::string command = "cd " + game.folder() + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                                MUDLARK_RUN_DIR + "/mudlark 2>stderr.txt";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_NE(game.errorOutput().find("Error -1: Registering of WindowClass failed!\n"), std::string::npos);
}

TEST_F(GameTest, InstantTapsChangeTheLayoutAndTheFollowedVehicle) {
    start();
    struct Step {
        const char* key;
        std::function<bool(const Image&)> shows;
    };
    const Step steps[] = {
        {"End", [](const Image& i) { return i.grey(view) < viewPixels / 20; }}, // from above: ground only
        {"Home",
         [](const Image& i) { // the top right clear, red top left, blue bottom right, the world bottom left
             return i.grey({320, 0, 640, 240}) == 320 * 240 && bonnetColour(i, {0, 0, 320, 240}) == 'r' &&
                    bonnetColour(i, {320, 240, 640, 480}) == 'b' && i.grey({0, 240, 320, 480}) < 320 * 24;
         }},
        {"Delete", [](const Image& i) { return bonnetColour(i, {320, 0, 640, 240}) == 'g'; }}, // green top right
        {"Insert", [](const Image& i) { return i.grey({0, 250, 640, 300}) < 640 * 5 && bonnetColour(i) == 'b'; }},
        {"q", [](const Image& i) { return bonnetColour(i) == 'r'; }},
        {"u", [](const Image& i) { return bonnetColour(i) == 'g'; }},
        {"KP_7", [](const Image& i) { return bonnetColour(i) == 'b'; }},
    };
    for (const Step& step : steps) {
        server->tapKey(step.key);
        EXPECT_TRUE(step.shows(waitFor(step.shows))) << step.key;
    }
}

} // namespace
