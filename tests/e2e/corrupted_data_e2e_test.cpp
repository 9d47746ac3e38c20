// corrupted_data_e2e_test.cpp -- a file of each kind in the data set missing,
// empty, cut to half, or replaced by random bytes of its size: the game starts,
// shows exactly the message boxes it promises (each found and dismissed),
// draws frames and ends on Escape.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <fstream>
#include <string>
#include <vector>

#include "support/game_harness.h"

namespace {

enum Damage { missing, empty, half, random };
const char* const damageNames[] = {"Missing", "Empty", "Half", "Random"};

struct DataFile {
    const char* path;
    const char* name;
    const char* captions[4]; // the caption of each damage's boxes ("" for none)
    int loads; // boxes of that caption: once a vehicle for the model and, a record each, its textures
};

const DataFile dataFiles[] = {
    {"Tracks/Terrain_01.raw", "Terrain", {"Error", "Error", "Error", ""}, 1},
    {"Tracks/Growth_01.raw", "Growth", {"Error", "Error", "Error", ""}, 1},
    {"Tracks/Texture_01.bmp", "Ground", {"Error -9", "Error -9", "Error -9", "Error -9"}, 1},
    {"Textures/SmokeMap.tga", "Smoke", {"Error -11", "Error -12", "Error -13", "Error -12"}, 1},
    {"Models/BuggySeat.tga", "Seat", {"Error -11", "Error -12", "Error -13", "Error -12"}, 6},
    // Missing: "Unable to load vehModel!"; else "Vehicle model has no usable wheels!".
    {"Models/Model01.obj", "Model", {"Error -1", "Error -1", "Error -1", "Error -1"}, 3},
    // The course: a box saying which line is wrong, and no race.
    {"Tracks/Gates_01.txt", "Gates", {"Error", "Error", "Error", "Error"}, 1},
};

std::string damaged(const std::string& original, Damage damage) {
    if (damage != random) {
        return damage == half ? original.substr(0, original.size() / 2) : "";
    }
    std::string bytes(original.size(), '\0');
    std::mt19937 noise(2166136261u); // the same bytes on every run
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(noise() >> 24); });
    return bytes;
}

class CorruptedData : public ::testing::TestWithParam<std::tuple<int, Damage>> {};

TEST_P(CorruptedData, ShowsItsBoxesAndPlaysOn) {
    const DataFile& file = dataFiles[std::get<0>(GetParam())];
    const Damage damage = std::get<1>(GetParam());
    XServer server(800, 600);
    ASSERT_TRUE(server.ok());
    Game game(server, "resolution: 320 240 32\nfullscreen: false\n");
    const std::string target = game.folder() + "/" + file.path;
    const std::string bytes = damaged(readFileBytes(target), damage);
    std::filesystem::remove(target);
    if (damage != missing) {
        std::ofstream(target, std::ios::binary) << bytes;
    }
    const std::vector<std::string> expected(*file.captions[damage] != '\0' ? file.loads : 0, file.captions[damage]);
    ASSERT_TRUE(game.start());
    // Dismiss every box as it comes, until start-up is over: the game's window
    // shows a drawn frame (nothing is drawn before the scene is set up).
    std::vector<std::string> shown;
    Window window = 0;
    for (int polls = 0;; ++polls, sleepMs(100)) {
        ASSERT_TRUE(game.running()) << game.errorOutput();
        ASSERT_LT(polls, 1200) << "no frame within two minutes";
        const std::vector<Window> boxes = server.findWindows("Error");
        if (!boxes.empty()) {
            shown.push_back(server.title(boxes.front()));
            ASSERT_TRUE(server.dismissMessageBox(shown.back())) << shown.back();
            ASSERT_LT(shown.size(), expected.size() + 5) << "boxes keep coming";
            continue;
        }
        if (window == 0 && !server.findWindows("OpenGL").empty()) {
            window = server.waitForWindow("OpenGL", 1000);
        }
        if (window != 0 && server.capture(window).distinctColours() > 20) {
            break;
        }
    }
    EXPECT_EQ(shown, expected);
    ASSERT_TRUE(server.focus(window));
    server.tapKey("Escape");
    EXPECT_EQ(game.waitForExit(), 27) << game.errorOutput();
}

INSTANTIATE_TEST_SUITE_P(
    OneFileOfEachKind, CorruptedData,
    ::testing::Combine(::testing::Range(0, static_cast<int>(std::size(dataFiles))),
                       ::testing::Values(missing, empty, half, random)),
    [](const auto& param) {
        return std::string(dataFiles[std::get<0>(param.param)].name) + damageNames[std::get<1>(param.param)];
    });

} // namespace
