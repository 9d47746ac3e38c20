// settings_test.cpp -- the settings file's grammar, defaults and resolution check.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "core/places.h"
#include "core/safe_file.h"
#include "core/settings.h"
#include "support/temp_dir.h"

namespace {

// The settings in one line: "1024x768x32 full fps:1 max:100 filter:2 mouse:0 info:0 pads:1".
std::string described(const Settings& s) {
    return std::to_string(s.width) + "x" + std::to_string(s.height) + "x" + std::to_string(s.colorBits) +
           (s.fullscreen ? " full" : " window") + " fps:" + std::to_string(s.showFps) +
           " max:" + std::to_string(s.maxFps) + " filter:" + std::to_string(s.textureFilter) +
           " mouse:" + std::to_string(s.mouse) + " info:" + std::to_string(s.showSystemInfo) +
           " pads:" + std::to_string(s.gamepads) + (s.laps != 3 ? " laps:" + std::to_string(s.laps) : "") +
           (!s.computerDrivers || s.computerSkill != 2
                ? " cpu:" + std::to_string(s.computerDrivers) + "/" + std::to_string(s.computerSkill)
                : "") +
           (s.netSim[0] + s.netSim[1] + s.netSim[2] + s.netSim[3] > 0
                ? " netsim:" + std::to_string(s.netSim[0]) + "/" + std::to_string(s.netSim[1]) + "/" +
                      std::to_string(s.netSim[2]) + "/" + std::to_string(s.netSim[3])
                : "") +
           (s.shaderRenderer ? " gles2" : "");
}

const std::string defaults = "1024x768x32 full fps:1 max:100 filter:2 mouse:0 info:0 pads:1";

TEST(Settings, EachTextGivesItsSettings) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) {
        junk += static_cast<char>((i * 7919 + 13) & 0xFF);
    }
    const std::pair<std::string, std::string> cases[] = {
        {"", defaults},
        {"fullscreen: false resolution: 800 600 16 mouse: true systeminfo: true gamepads: false",
         "800x600x16 window fps:1 max:100 filter:2 mouse:1 info:1 pads:0"},
        {"texturefilter: linear\tmaxfps: 30\r\nfps: false", "1024x768x32 full fps:0 max:30 filter:1 mouse:0 info:0 pads:1"},
        // Full screen takes only the listed sizes; a window any size.
        {"resolution: 1000 700 16", defaults},
        {"resolution: 640 768 16", defaults}, // each dimension of a listed mode, but not one mode
        {"resolution: 1024 480 16", defaults},
        {"resolution: 1000 700 16 fullscreen: false", "1000x700x16 window fps:1 max:100 filter:2 mouse:0 info:0 pads:1"},
        // A word in the value's place is the value, and no value of the key's.
        {"fullscreen: yes fps: false", "1024x768x32 full fps:0 max:100 filter:2 mouse:0 info:0 pads:1"},
        {"texturefilter: Linear Fullscreen: false fullscreen false gamepads: no", defaults},
        // Numbers: digits before the junk count; a failed number stops the resolution.
        {"maxfps: fast fps: false", "1024x768x32 full fps:0 max:100 filter:2 mouse:0 info:0 pads:1"},
        {"maxfps: 12abc", "1024x768x32 full fps:1 max:12 filter:2 mouse:0 info:0 pads:1"},
        // The simulated network: as many numbers as the line gives, each within its bounds.
        {"netsim: 75 10 5 0", defaults + " netsim:75/10/5/0"},
        {"netsim: 9999 -3 101\nfps: false", "1024x768x32 full fps:0 max:100 filter:2 mouse:0 info:0 pads:1 netsim:2000/0/100/0"},
        {"netsim: 20 # then a comment\nnetsim: 30", defaults + " netsim:30/0/0/0"},
        // The renderer: gles2, or back with gl11; another word changes nothing.
        {"renderer: gles2", defaults + " gles2"},
        {"renderer: gles2 renderer: gl11", defaults},
        {"renderer: gles2 renderer: vulkan", defaults + " gles2"},
        {"laps: 7", defaults + " laps:7"}, // a race of 1 to 20 laps, the nearer end beyond
        {"laps: 0", defaults + " laps:1"},
        {"laps: -4", defaults + " laps:1"},
        {"laps: 500", defaults + " laps:20"},
        // The computer's keys, in one word or two; a "computer" before any other word is no key.
        {"computerdrivers: false computerskill: 3", defaults + " cpu:0/3"},
        {"computer drivers: false\ncomputer skill: 1", defaults + " cpu:0/1"},
        {"computer skill: 9 computer fps: false computer", "1024x768x32 full fps:0 max:100 filter:2 mouse:0 info:0 pads:1 cpu:1/3"},
        {"fullscreen: false resolution: 640 abc 16", "640x768x32 window fps:1 max:100 filter:2 mouse:0 info:0 pads:1"},
        {"maxfps: 99999999999999999999", "1024x768x32 full fps:1 max:2147483647 filter:2 mouse:0 info:0 pads:1"},
        {"fullscreen: false resolution: -1 2 3", "4294967295x2x3 window fps:1 max:100 filter:2 mouse:0 info:0 pads:1"},
        // Words are cut at the buffer; a key glued to a long word is part of it.
        {std::string(5000, 'x') + " fps: false " + std::string(5000, 'x'),
         "1024x768x32 full fps:0 max:100 filter:2 mouse:0 info:0 pads:1"},
        {junk + "\nmaxfps: 42\n" + junk, "1024x768x32 full fps:1 max:42 filter:2 mouse:0 info:0 pads:1"},
        {std::string("fps:\0junk false", 15), "1024x768x32 full fps:0 max:100 filter:2 mouse:0 info:0 pads:1"},
    };
    for (const auto& [text, expected] : cases) {
        TempDir dir;
        Settings s{};
        readSettingsFile(s, dir.write("settings.cfg", text).c_str());
        EXPECT_EQ(described(s), expected) << text.substr(0, 60);
    }
    // A window no platform opens is brought within 160x120 to 16384 a side, and said.
    TempDir dir;
    Settings s{};
    readSettingsFile(s, dir.write("settings.cfg", "fullscreen: false resolution: -1 2 3").c_str());
    EXPECT_EQ(clampWindowSize(s), "a window of -1x2 cannot be opened: it opens at 16384x120");
    EXPECT_EQ(described(s), "16384x120x3 window fps:1 max:100 filter:2 mouse:0 info:0 pads:1");
    EXPECT_EQ(clampWindowSize(s), "");
}

TEST(Settings, TheWorkingDirectoryThenTheUsersThenTheDefaults) {
    EXPECT_EQ(settingsPlaces(false, "C:\\Data", "/x", "/h", "/usr/share/mudlark"),
              (std::vector<std::string>{"settings.cfg", "/x/mudlark/settings.cfg", "/usr/share/mudlark/settings.cfg"}));
    EXPECT_EQ(settingsPlaces(false, nullptr, "", "/h", "")[1], "/h/.config/mudlark/settings.cfg");
    EXPECT_EQ(settingsPlaces(true, "C:\\Data", "/x", "/h", "")[1], "C:\\Data\\Mudlark\\settings.cfg");
    EXPECT_EQ(settingsPlaces(false, nullptr, nullptr, nullptr, ""), std::vector<std::string>{"settings.cfg"});
    TempDir dir;
    WorkingDirectory here(dir.path());
    const std::vector<std::string> places{"settings.cfg", dir.write("user/settings.cfg", "maxfps: 9")};
    Settings s{};
    // A readable first file wins; a missing one, or a folder of that name, is passed over alike.
    for (const std::string first : {"file", "missing", "folder"}) {
        std::filesystem::remove_all(dir.file("settings.cfg"));
        if (first != "missing") {
            first == "file" ? (void)dir.write("settings.cfg", "maxfps: 7") : (void)std::filesystem::create_directory("settings.cfg");
        }
        readFirstSettings(s, places);
        EXPECT_EQ(s.maxFps, first == "file" ? 7u : 9u) << first;
    }
    readFirstSettings(s, {"settings.cfg"});
    EXPECT_EQ(described(s), defaults);
    // A settings file here the game cannot write gives way to the user's own,
    // where the menu kept what it changed.
    setenv("XDG_CONFIG_HOME", dir.file("user/..").c_str(), 1);
    dir.write("mudlark/settings.cfg", "maxfps: 11");
    std::filesystem::remove_all(dir.file("settings.cfg"));
    dir.write("settings.cfg", "maxfps: 7");
    readSettings(s);
    EXPECT_EQ(s.maxFps, 7u);
    std::filesystem::permissions(dir.file("settings.cfg"), std::filesystem::perms::owner_read);
    readSettings(s);
    EXPECT_EQ(s.maxFps, 11u);
    EXPECT_EQ(std::string(s.readFrom), dir.file("user/../mudlark/settings.cfg"));
    unsetenv("XDG_CONFIG_HOME");
}

TEST(DataPlaces, TheWorkingDirectoryThenTheInstalledData) {
    EXPECT_EQ(dataPlaces("/usr/games", "../share/mudlark"), (std::vector<std::string>{".", "/usr/share/mudlark"}));
    EXPECT_EQ(dataPlaces("", "../share/mudlark"), std::vector<std::string>{"."});
    TempDir dir;
    EXPECT_EQ(findData({dir.path(), dir.file("b")}), "");
    dir.write("b/Textures/SmokeMap.tga", "");
    dir.write("c/Models/Model01.obj", "");
    EXPECT_EQ(findData({dir.path(), dir.file("b"), dir.file("c")}), dir.file("b"));
}

} // namespace

namespace {

// Two games keeping the same file at the same moment (two windows of a LAN
// race on one data folder): every write is kept whole, the file is one of
// them at the end, and no temporary file is left.
TEST(SafeFile, TwoWritersAtOnceLeaveOneWholeFile) {
    TempDir folder;
    const std::string path = folder.file("data/records.txt");
    const std::string texts[2] = {std::string(100000, 'a') + "\n", std::string(50000, 'b') + "\n"};
    bool kept[2] = {true, true};
    const auto keep = [&](int writer) {
        std::string why;
        for (int i = 0; i < 60; ++i) {
            kept[writer] = writeFileSafely(path, texts[writer], why) && kept[writer];
        }
    };
    std::thread first(keep, 0), second(keep, 1);
    first.join();
    second.join();
    EXPECT_TRUE(kept[0] && kept[1]);
    const std::string left = readFileBytes(path);
    EXPECT_TRUE(left == texts[0] || left == texts[1]) << left.size();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.file("data")), {}), 1);
}

} // namespace
