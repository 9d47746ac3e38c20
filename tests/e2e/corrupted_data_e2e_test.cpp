// corrupted_data_e2e_test.cpp -- every file of the data set missing, empty, cut
// to half, or replaced by random bytes of its size: the game starts, shows
// exactly the message boxes it promises for that file (each found and
// dismissed), draws frames and ends on Escape.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <iterator>
#include <tuple>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets/model.h"
#include "vehicle/vehicle.h"
#include "support/game_harness.h"
#include "support/temp_dir.h"

namespace {

enum class Damage { missing, empty, half, random };
const char* const damageNames[] = {"Missing", "Empty", "Half", "Random"};

enum class Kind { raw, bitmap, targa, model };

struct DataFile {
    const char* path;
    Kind kind;
    int loads; // how many times start-up loads it (the model's textures: once a vehicle a record)
};

const DataFile dataFiles[] = {
    {"Tracks/Terrain_01.raw", Kind::raw, 1},
    {"Tracks/Growth_01.raw", Kind::raw, 1},
    {"Tracks/Texture_01.bmp", Kind::bitmap, 1},
    {"Tracks/TextureOverlay_01.bmp", Kind::bitmap, 1},
    {"Textures/ShadowMap.bmp", Kind::bitmap, 1},
    {"Textures/Growth_01.tga", Kind::targa, 1},
    {"Textures/Growth_02.tga", Kind::targa, 1},
    {"Textures/Growth_03.tga", Kind::targa, 1},
    {"Textures/Growth_04.tga", Kind::targa, 1},
    {"Textures/SmokeMap.tga", Kind::targa, 1},
    {"Models/Model01.obj", Kind::model, 3},
    {"Models/BuggySide.tga", Kind::targa, 3},
    {"Models/BuggyBonnet.tga", Kind::targa, 3},
    {"Models/BuggyNose.tga", Kind::targa, 3},
    {"Models/BuggyBumper.tga", Kind::targa, 3},
    {"Models/BuggyRear.tga", Kind::targa, 3},
    {"Models/BuggyDeck.tga", Kind::targa, 3},
    {"Models/BuggyFloor.tga", Kind::targa, 3},
    {"Models/BuggyDash.tga", Kind::targa, 3},
    {"Models/BuggyWindscreen.tga", Kind::targa, 3},
    {"Models/BuggySeat.tga", Kind::targa, 6},   // seat backs and cushions
    {"Models/BuggyMetal.tga", Kind::targa, 3},
    {"Models/BuggyFender.tga", Kind::targa, 6}, // right and left fenders
    {"Models/BuggyTread.tga", Kind::targa, 3},
    {"Models/BuggyHub.tga", Kind::targa, 3},
    {"Models/BuggyInnerCap.tga", Kind::targa, 3},
};

// The boxes one vehicle's model load shows for this text: one for damaged
// records, one for a model without usable wheels.
int modelBoxes(const std::string& text) {
    static VehicleModel model;
    static ModelFileContents contents;
    std::memset(&model, 0, sizeof model);
    std::memset(&contents, 0, sizeof contents);
    TempDir dir;
    std::FILE* file = std::fopen(dir.write("m.obj", text).c_str(), "r");
    readModelFile(file, model, contents);
    std::fclose(file);
    return (contents.damagedRecords > 0 ? 1 : 0) + (hasUsableWheelLayout(model) ? 0 : 1);
}

// The captions start-up must show, in order, for one damaged file.
std::vector<std::string> expectedCaptions(const DataFile& file, Damage damage,
                                          const std::string& damagedBytes) {
    std::string caption;
    int count = file.loads;
    switch (file.kind) {
    case Kind::raw: // "Unable to locate h data!" or "Failed to init h data!"
        caption = damage == Damage::random ? "" : "Error";
        break;
    case Kind::bitmap:
        caption = "Error -9";
        break;
    case Kind::targa:
        caption = damage == Damage::missing ? "Error -11"
                  : damage == Damage::half  ? "Error -13"
                                            : "Error -12";
        break;
    case Kind::model:
        // "Unable to load vehModel!"; or "Damaged records in vehModel ignored!"
        // and "Vehicle model has no usable wheels!" as they apply; for each vehicle.
        caption = "Error -1";
        count = damage == Damage::missing ? 3 : 3 * modelBoxes(damagedBytes);
        break;
    }
    return caption.empty() ? std::vector<std::string>{} : std::vector<std::string>(count, caption);
}

std::string damagedBytes(const std::string& original, Damage damage, const std::string& seed) {
    switch (damage) {
    case Damage::missing:
    case Damage::empty:
        return "";
    case Damage::half:
        return original.substr(0, original.size() / 2);
    case Damage::random: {
        std::string bytes(original.size(), '\0');
        uint32_t state = 2166136261u;
        for (char c : seed) {
            state = (state ^ static_cast<uint8_t>(c)) * 16777619u;
        }
        for (char& byte : bytes) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<char>(state >> 24);
        }
        return bytes;
    }
    }
    return "";
}

using Case = std::tuple<int, Damage>;

class CorruptedData : public ::testing::TestWithParam<Case> {};

TEST_P(CorruptedData, ShowsItsBoxesAndPlaysOn) {
    const DataFile& file = dataFiles[std::get<0>(GetParam())];
    const Damage damage = std::get<1>(GetParam());
    XServer server(800, 600);
    ASSERT_TRUE(server.ok());
    Game game(server, "resolution: 320 240 32\nfullscreen: false\n");
    const std::string target = game.folder() + "/" + file.path;
    const std::string original = readFileBytes(target);
    ASSERT_FALSE(original.empty()) << file.path;
    const std::string bytes = damagedBytes(original, damage, file.path);
    if (damage == Damage::missing) {
        std::filesystem::remove(target);
    } else {
        std::ofstream(target, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
    }
    const std::vector<std::string> expected = expectedCaptions(file, damage, bytes);

    ASSERT_TRUE(game.start());
    // Dismiss every box as it comes, until start-up is over: the game's window
    // shows a drawn frame (nothing is drawn before the scene is set up).
    std::vector<std::string> shown;
    Window window = 0;
    Image first;
    for (int polls = 0;; ++polls) {
        ASSERT_TRUE(game.running()) << game.errorOutput();
        ASSERT_LT(polls, 1200) << "no frame within two minutes";
        const std::vector<Window> boxes = server.findWindows("Error");
        if (!boxes.empty()) {
            const std::string caption = server.title(boxes.front());
            shown.push_back(caption);
            ASSERT_TRUE(server.dismissMessageBox(caption)) << caption;
            ASSERT_LT(shown.size(), expected.size() + 5) << "boxes keep coming";
            continue;
        }
        if (window == 0) {
            window = server.findWindows("OpenGL").empty() ? 0 : server.waitForWindow("OpenGL", 1000);
        }
        if (window != 0) {
            first = server.capture(window);
            if (!first.empty() && first.distinctColours() > 20) {
                break;
            }
        }
        sleepMs(100);
    }
    EXPECT_EQ(shown, expected) << file.path << " " << damageNames[static_cast<int>(damage)];
    ASSERT_TRUE(server.focus(window));
    server.tapKey("Escape");
    EXPECT_EQ(game.waitForExit(), 27) << game.errorOutput();
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name = dataFiles[std::get<0>(info.param)].path;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name + "_" + damageNames[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(EveryFile, CorruptedData,
                         ::testing::Combine(::testing::Range(0, static_cast<int>(std::size(dataFiles))),
                                            ::testing::Values(Damage::missing, Damage::empty,
                                                              Damage::half, Damage::random)),
                         caseName);

} // namespace
