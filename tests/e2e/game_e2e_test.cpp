// game_e2e_test.cpp -- the built game under Xvfb, played with real key events:
// its window and ways out, driving, the layouts and the followed vehicle from
// instant taps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "support/game_harness.h"
#include "support/sound_analysis.h"

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
    void start(const char* settingsText = windowed, int screenWidth = 1280, int screenHeight = 1024,
               const GameProgram& program = {}, int windowWidth = 0) {
        server = std::make_unique<XServer>(screenWidth, screenHeight, windowManager);
        ASSERT_TRUE(server->ok());
        game = std::make_unique<Game>(*server, settingsText, std::vector<std::string>{}, program);
        window = game->launch();
        ASSERT_NE(window, 0u) << game->errorOutput();
        ASSERT_TRUE(server->focus(window));
        const int width = windowWidth > 0 ? windowWidth
                          : settingsText != nullptr && std::strstr(settingsText, "fullscreen: false") ? 640
                                                                                                       : screenWidth;
        // The first frame: the sky across the top (a demo's drivers may have a gate there).
        const bool demo = program.command.size() > 1 && program.command[1] == "--demo";
        first = waitFor([&](const Image& i) { return i.width == width && (demo || i.grey({0, 0, width, 20}) > width * 18); });
    }
    void TearDown() override {
        if (game && game->running()) {
            escape();
        }
    }
    // Escape ends the game with 27.
    void escape() {
        server->tapKey("Escape");
        EXPECT_EQ(game->waitForExit(), 27);
    }
    Image waitFor(const std::function<bool(const Image&)>& done) const { return server->waitForPicture(window, done); }
    bool loaded(const char* library) const {
        return readFileBytes("/proc/" + std::to_string(game->pid()) + "/maps").find(library) != std::string::npos;
    }

    // The picture once nothing in it moves any more.
    Image still() const {
        Image last = server->capture(window);
        return waitFor([&](const Image& now) { return now.countDifferences(std::exchange(last, now), 0) == 0; });
    }

    bool windowManager = false; // openbox on the test's display
    std::unique_ptr<XServer> server;
    std::unique_ptr<Game> game;
    Window window = 0;
    Image first;
};

TEST_F(GameTest, WindowOfTheConfiguredSizeVehicleZeroDrivesOffAndATappedEscapeEnds) {
    start();
    EXPECT_EQ(std::pair(first.width, first.height), std::pair(640, 480));
    EXPECT_TRUE(server->findWindows("Error").empty());
    EXPECT_EQ(game->errorOutput(), ""); // no pad, and nothing said about it
    EXPECT_TRUE(loaded("libudev")); // the controller support's device monitor
    EXPECT_GT(first.distinctColours(), 500);
    EXPECT_LT(first.grey({0, 300, 640, 440}), 100); // ground below the sky
    EXPECT_EQ(bonnetColour(first), 'b');            // vehicle 0 is the blue one
    // The seat is left of the middle, so the bonnet lies right of the view's centre.
    long blueColumns = 0, bluePixels = 0;
    first.count({0, 380, 640, 440}, [&](const uint8_t* p, int x) {
        const bool blue = p[2] > p[0] + 40 && p[2] > p[1] + 40;
        blueColumns += blue ? x : 0;
        bluePixels += blue ? 1 : 0;
        return false;
    });
    EXPECT_GT(blueColumns, 360 * bluePixels);
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
    escape();
}

// The two-driver layout's free quarter (top right) holds the track's map,
// shaded ground in many colours where there was one grey; blue's arrow on it
// moves as blue drives off.
TEST_F(GameTest, TheTwoDriverLayoutsFreeQuarterIsTheMapWithTheVehiclesOnIt) {
    start();
    const Area quarter{330, 10, 630, 230};
    server->tapKey("Home");
    const Image map = waitFor([&](const Image& i) { return i.grey(quarter) < 300 * 220 / 2; });
    EXPECT_LT(map.grey(quarter), 300 * 220 / 2); // a square map in a wider quarter: grey beside it only
    server->xdotool("keydown KP_8");
    const Image driven = waitFor([&](const Image& i) { return i.countDifferences(map, 8, quarter) > 40; });
    server->xdotool("keyup KP_8");
    EXPECT_GT(driven.countDifferences(map, 8, quarter), 40);
    escape();
}

// The frame-rate bar shades from red at its start to green in step with its
// place across the window (column x: red 1 - x / width, green x / width), and is
// as long as the displayed rate's share of the full scale: the whole width at
// "maxfps: 10" (any machine draws ten frames a second), a part of it at 1000.
TEST_F(GameTest, FrameRateBarLengthAndItsColoursAlongIt) {
    for (const int bound : {10, 1000}) {
        start((std::string(windowed) + "maxfps: " + std::to_string(bound) + "\n").c_str());
        int length = 0; // columns of the bar's top row, above the number
        while (length < 640) {
            const uint8_t* p = first.at(length, 461);
            const double along = 255.0 * length / 640;
            if (std::abs(p[0] - (255 - along)) > 6 || std::abs(p[1] - along) > 6 || p[2] > 6) {
                break;
            }
            ++length;
        }
        if (bound == 10) {
            EXPECT_EQ(length, 640);
        } else { // and beyond its end no more of it: the picture, in no shade of red and green
            EXPECT_GT(length, 0);
            EXPECT_LT(length, 400);
            const uint8_t* after = first.at(length + 1, 461);
            EXPECT_TRUE(after[2] > 6 || std::abs(after[0] + after[1] - 255) > 12);
        }
        escape();
    }
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
    EXPECT_EQ(std::pair(first.width, first.height), std::pair(1024, 768));
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
    // --help and --version answer without a window (none could open here); an
    // option the game does not know, or a word too many, is the usage and 2.
    const auto run = [&](const std::string& arguments) {
        const int status = std::system((command + " >stdout.txt " + arguments).c_str());
        return std::make_pair(WEXITSTATUS(status), readFileBytes(game.folder() + "/stdout.txt") + game.errorOutput());
    };
    const auto help = run("--help");
    EXPECT_EQ(help.first, 0);
    EXPECT_NE(help.second.find("--check-replay REPLAY.mlr "), std::string::npos) << help.second;
    EXPECT_EQ(help.second.find("Error"), std::string::npos) << help.second;
    const auto version = run("--version");
    EXPECT_EQ(version.first, 0);
    int major = 0, minor = 0;
    char end = 0;
    EXPECT_EQ(std::sscanf(version.second.c_str(), "Mudlark %d.%d%c", &major, &minor, &end), 3) << version.second;
    EXPECT_EQ(end, '\n');
    for (const char* wrong : {"--fullscreen", "one.mlr two.mlr"}) {
        const auto said = run(wrong);
        EXPECT_EQ(said.first, 2) << wrong;
        EXPECT_NE(said.second.find("usage: mudlark [REPLAY.mlr]"), std::string::npos) << said.second;
        EXPECT_EQ(said.second.find("no option") != std::string::npos, wrong[0] == '-') << said.second;
    }
    const auto code = run("--join 127.0.0.1 --code AB1D"); // a race code is four letters
    EXPECT_EQ(code.first, 2);
    EXPECT_NE(code.second.find("a race code is four letters (A to Z), not \"AB1D\""), std::string::npos) << code.second;
    for (const char* step : {"0", "12x", "-5", "216001"}) {
        const auto demo = run(std::string("--demo ") + step);
        EXPECT_EQ(demo.first, 2) << step;
        EXPECT_NE(demo.second.find("--demo takes a step from 1 to 216000, not \"" + std::string(step) + "\""), std::string::npos) << demo.second;
    }
}

// The strongest frequency from 15 to 400 Hz in a quarter second of the recording
// (48 kHz stereo floats) from a byte offset, both channels together.
double strongestHz(const std::string& recording, size_t offset) {
    std::vector<float> stereo(24000), mono;
    recording.copy(reinterpret_cast<char*>(stereo.data()), stereo.size() * sizeof(float), offset);
    for (size_t i = 0; i < stereo.size(); i += 2) {
        mono.push_back(stereo[i] + stereo[i + 1]);
    }
    return strongest(mono, 15, 400);
}

// Sound into a file through SDL's disk driver (48 kHz stereo floats, as the game
// asks): the engine's note rises while Numpad 8 is held; "sound: false" writes
// nothing; a driver that cannot open costs one line on standard error.
TEST_F(GameTest, EngineNoteRisesUnderThrottleSoundOffIsSilentAndNoDeviceIsOneLine) {
    constexpr size_t second = 48000 * 2 * sizeof(float);
    const auto recording = [&] { return readFileBytes(game->folder() + "/audio.raw"); };
    const auto audio = [](const std::string& driver) {
        GameProgram program;
        program.environment = {"SDL_AUDIODRIVER=" + driver, "SDL_DISKAUDIOFILE=audio.raw"};
        return program;
    };
    start(windowed, 1280, 1024, audio("disk"));
    const int resting = first.rightmostWhite(readout);
    const auto recordUntil = [&](size_t bytes) {
        for (int polls = 0; polls < 600 && recording().size() < bytes; ++polls) {
            sleepMs(100);
        }
    };
    recordUntil(second); // a second of idling
    server->xdotool("keydown KP_8");
    waitFor([&](const Image& i) { return i.rightmostWhite(readout) >= resting + 30; });
    const size_t moving = recording().size();
    recordUntil(moving + 2 * second); // two seconds of driving: near top speed, the others left behind
    server->xdotool("keyup KP_8");
    const std::string sound = recording();
    ASSERT_GE(sound.size(), moving + 2 * second);
    const double idling = strongestHz(sound, second / 2), driving = strongestHz(sound, moving + 7 * second / 4);
    EXPECT_NEAR(idling, 27, 2); // 800 rpm: 26.7 Hz
    EXPECT_GT(driving, idling * 2);
    for (const char* broken : {"sound: false\n", static_cast<const char*>(nullptr)}) {
        escape();
        const std::string settings = std::string(windowed) + (broken != nullptr ? broken : "");
        start(settings.c_str(), 1280, 1024, audio(broken != nullptr ? "disk" : "nosuchdriver"));
        // The device is looked for once the first frame is up: its one line
        // may come a little after the picture.
        for (int polls = 0; broken == nullptr && polls < 100 && game->errorOutput().empty(); ++polls) {
            sleepMs(100);
        }
        sleepMs(500);
        EXPECT_EQ(recording(), "");
        const std::string said = game->errorOutput(); // nothing, or the one line
        EXPECT_EQ(said.empty() ? "" : said.substr(0, 29) + std::to_string(std::count(said.begin(), said.end(), '\n')),
                  broken != nullptr ? "" : "Mudlark plays without sound: 1");
    }
}

// Installed into a scratch root and started from an empty folder with an empty
// home: the data is found beside the executable, and the settings installed with
// it open a window (the game's own defaults would ask for a 1024x768 screen,
// which this display does not offer). The user's own settings come first; without
// the data, one box says so.
TEST_F(GameTest, InstalledGameFindsItsDataAndItsSettingsTheUsersFirst) {
    TempDir root, home;
    const std::string install = "DESTDIR=" + root.path() + " '" + MUDLARK_CMAKE + "' --install '" + MUDLARK_BUILD_DIR +
                                "' --prefix /usr >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    GameProgram installed;
    installed.command = {root.file("usr/bin/mudlark")};
    installed.dataFolder = ""; // nothing beside it: the folder it starts in is empty
    installed.environment = {"SDL_AUDIODRIVER=dummy", "HOME=" + home.path()};
    start(nullptr, 1280, 1024, installed, 1024);
    EXPECT_EQ(first.height, 768);
    EXPECT_GT(first.distinctColours(), 500); // the landscape, and no box
    EXPECT_TRUE(server->findWindows("Error").empty());
    escape();
    home.write(".config/mudlark/settings.cfg", "resolution: 500 300 32\nfullscreen: false\n");
    start(nullptr, 1280, 1024, installed, 500);
    EXPECT_EQ(first.height, 300);
    escape();
    std::filesystem::remove_all(root.file("usr/share/mudlark"));
    ASSERT_TRUE(game->start());
    EXPECT_TRUE(server->dismissMessageBox("Error"));
    EXPECT_EQ(game->waitForExit(), 1);
}

// With the system information on, its three lines and the one-driver readout
// share no row: down the top of the picture, four runs of rows with white text
// in them, blank rows between.
TEST_F(GameTest, SystemInformationNeverOverprintsTheReadout) {
    start((std::string(windowed) + "systeminfo: true\n").c_str());
    int runs = 0;
    for (int y = 0, before = 0; y < 200; ++y) {
        const int text = first.countColour(255, 255, 255, 0, {0, y, 640, y + 1}) > 0;
        runs += text > before;
        before = text;
    }
    EXPECT_EQ(runs, 4);
}

// Minimised, the game sleeps: over five seconds it takes less than 2 % of one
// core (no frames, no simulation, and the faded sound costs nothing). Restored,
// it draws again and Escape still ends it with 27.
TEST_F(GameTest, MinimisedTheGameRestsAndRestoredPlaysOn) {
    windowManager = true;
    start();
    const int resting = first.rightmostWhite(readout);
    ASSERT_TRUE(server->xdotool("windowminimize --sync " + std::to_string(window)));
    sleepMs(2000); // the minimise handled, the sound faded out
    const double before = game->processorSeconds();
    sleepMs(5000);
    EXPECT_LT(game->processorSeconds() - before, 0.1);
    ASSERT_TRUE(server->xdotool("windowactivate --sync " + std::to_string(window)));
    ASSERT_TRUE(server->focus(window));
    server->xdotool("keydown KP_8");
    const Image moving = waitFor([&](const Image& i) { return i.rightmostWhite(readout) >= resting + 30; });
    server->xdotool("keyup KP_8");
    EXPECT_GE(moving.rightmostWhite(readout), resting + 30);
}

// Each layout key, and what the view shows once it has taken effect.
struct LayoutStep {
    const char* key;
    std::function<bool(const Image&)> shows;
};
const LayoutStep layoutSteps[] = {
    {"End", [](const Image& i) { return i.grey(view) < viewPixels / 20; }}, // from above: ground only
    {"Home",
     [](const Image& i) { // the map top right, red top left, blue bottom right, the world bottom left
         return i.grey({320, 0, 640, 240}) < 320 * 240 / 2 && bonnetColour(i, {0, 0, 320, 240}) == 'r' &&
                bonnetColour(i, {320, 240, 640, 480}) == 'b' && i.grey({0, 240, 320, 480}) < 320 * 24;
     }},
    {"Delete", [](const Image& i) { return bonnetColour(i, {320, 0, 640, 240}) == 'g'; }}, // green top right
    {"Insert", [](const Image& i) { return i.grey({0, 250, 640, 300}) < 640 * 5 && bonnetColour(i) == 'b'; }},
    {"q", [](const Image& i) { return bonnetColour(i) == 'r'; }},
    {"u", [](const Image& i) { return bonnetColour(i) == 'g'; }},
    {"KP_7", [](const Image& i) { return bonnetColour(i) == 'b'; }},
};

// The scene from display lists, bodies and growth before the ground, is the
// scene drawn vertex by vertex in the plain order, in every layout (vehicles at
// rest, no frame-rate bar). Only depth ties may fall the other way: from above,
// the wheels' sides stand edge-on at the same 16-bit depth as the shadow 0.1
// under them, and drawn first they lose that tie (32 pixels of the world view).
TEST_F(GameTest, ListedDrawingDrawsThePicturesOfThePlainWay) {
    std::vector<Image> pictures[2];
    for (const char* mode : {"MUDLARK_IMMEDIATE=1", "MUDLARK_LISTS=1"}) {
        GameProgram program;
        program.environment.push_back(mode);
        start("resolution: 640 480 32\nfullscreen: false\nfps: false\n", 1280, 1024, program);
        for (const int step : {3, 1, 2, 0}) { // one driver, two, three, the world from above
            // The layout seen to change before the picture is taken (on a busy
            // machine the key may wait longer than any fixed pause), then held
            // still (the vehicles come to rest in the first second).
            server->tapKey(layoutSteps[step].key);
            EXPECT_TRUE(layoutSteps[step].shows(waitFor(layoutSteps[step].shows))) << layoutSteps[step].key;
            pictures[std::string(mode) == "MUDLARK_LISTS=1"].push_back(still());
        }
        escape();
    }
    for (size_t layout = 0; layout < 4; ++layout) {
        EXPECT_LE(pictures[0][layout].countDifferences(pictures[1][layout], 0), 40) << layout;
    }
}

// A held demo is the same picture through OpenGL 1.1 and through the ES 2
// shaders (an OpenGL ES 2 context from SDL): the ground, growth, bodies,
// wheels, smoke, shadows, gates, text and the map, within a few edge pixels
// (the puffs' and leaves' cut edges, the mipmaps). The picture is the one
// the held step shows once the race has driven away from its start.
TEST_F(GameTest, TheShaderRendererDrawsTheHeldDemoAsOpenGl11Does) {
    Image held[2];
    for (const char* renderer : {"gl11", "gles2"}) {
        GameProgram program;
        program.command.push_back("--demo");
        program.command.push_back("480");
        start((std::string("resolution: 640 480 32\nfullscreen: false\nfps: false\nrenderer: ") + renderer + "\n").c_str(), 1280, 1024,
              program);
        server->tapKey("Home"); // two drivers, the world and the map
        held[std::string(renderer) == "gles2"] = server->waitForHeldPicture(window, first);
        escape();
    }
    EXPECT_LT(held[0].countDifferences(held[1], 24), 640 * 480 / 500);
    EXPECT_GT(held[0].countDifferences(held[1], 0), 0); // two renderers did draw
}

TEST_F(GameTest, InstantTapsChangeTheLayoutAndTheFollowedVehicle) {
    start();
    for (const LayoutStep& step : layoutSteps) {
        server->tapKey(step.key);
        EXPECT_TRUE(step.shows(waitFor(step.shows))) << step.key;
    }
}

} // namespace
