// wine_e2e_test.cpp -- the native Windows build (mudlark.exe) under Wine on Xvfb:
// a message box, its window, frames, layouts, readout, keypad, a minimised rest,
// exit code and the system-information line.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/game_harness.h"

namespace {

const std::string prefixSetting = std::string("WINEPREFIX=") + MUDLARK_WINE_PREFIX;
constexpr const char* windowed = "resolution: 640 480 32\nfullscreen: false\nfps: true\n";
const Area readout{0, 45, 320, 70};

// The widest run of columns without white between the first and the last white
// column of a band: the gap between two words of text.
int widestGap(const Image& image, int y0, int y1) {
    int first = -1, widest = 0, run = 0;
    for (int x = 0; x < image.width; ++x) {
        bool white = false;
        for (int y = y0; y < y1 && !white; ++y) {
            white = image.at(x, y)[0] > 240 && image.at(x, y)[1] > 240 && image.at(x, y)[2] > 240;
        }
        widest = white && first >= 0 ? std::max(widest, run) : widest;
        first = white && first < 0 ? x : first;
        run = white ? 0 : run + 1;
    }
    return widest;
}

// A run folder and a player's folder named in Japanese and Greek: no letter
// of either is in the code page Windows gives the narrow calls.
const std::string runFolderName = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0 \xCE\xA0\xCE\xB1\xCE\xB9\xCF\x87\xCE\xBD\xCE\xAF\xCE\xB4\xCE\xB9"; // ゲーム Παιχνίδι
const std::string dataFolderName = "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF \xCE\x94\xCE\xB5\xCE\xB4\xCE\xBF\xCE\xBC\xCE\xAD\xCE\xBD\xCE\xB1"; // データ Δεδομένα

// A Linux path as Wine names it: Z:\\tmp\\...
std::string windowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

// Wine's programs on the test's display: the first program of a prefix's
// server starts the desktop every later window of it opens on.
std::string wineOn(const XServer& server) {
    return "env " + prefixSetting + " WINEDEBUG=-all DISPLAY=" + server.name() + " ";
}

GameProgram windowsGame(const std::string& folderName = "") {
    return GameProgram{{"wine", std::string(MUDLARK_WINDOWS_RUN_DIR) + "/mudlark.exe"}, MUDLARK_WINDOWS_RUN_DIR,
                       {prefixSetting, "WINEDEBUG=-all"}, folderName};
}

class WineTest : public ::testing::Test {
protected:
    void TearDown() override { // whatever a failed test left running in the prefix goes
        std::system(("env " + prefixSetting + " wineserver -k >/dev/null 2>&1").c_str());
    }
    // The Windows game started, focused and drawing its driver's view.
    // settings null: no settings file beside the game.
    Window launch(const std::vector<std::string>& leaveOut = {}, const char* settings = windowed) {
        game = std::make_unique<Game>(server, settings, leaveOut, windowsGame());
        if (!game->start() || (!leaveOut.empty() && !server.dismissMessageBox("Error -11"))) {
            return 0;
        }
        const Window window = server.waitForWindow("OpenGL");
        if (window != 0 && server.focus(window)) {
            first = waitFor(window, [](const Image& i) { return i.width == 640 && i.grey({0, 0, 640, 20}) > 640 * 18; });
        }
        return window;
    }
    // %APPDATA% of every Windows program from now to the test's end (the
    // prefix's server kept running until then, which forgets it): this Linux
    // folder, as Wine names it.
    void setAppData(const std::string& folder) {
        std::filesystem::create_directories(folder);
        const std::string wine = wineOn(server);
        ASSERT_EQ(std::system((wine + "wineserver -p && " + wine +
                               "wine reg add 'HKCU\\Volatile Environment' /v APPDATA /t REG_SZ /d '" +
                               windowsPath(folder) + "' /f >/dev/null 2>&1").c_str()),
                  0);
    }
    Image waitFor(Window window, const std::function<bool(const Image&)>& done) {
        return server.waitForPicture(window, done);
    }
    XServer server{1280, 1024, true}; // openbox: Wine's windows can be minimised
    std::unique_ptr<Game> game;
    Image first;
};

// NumLock off (as Xvfb starts): the keypad sends KP_Up, KP_Home..., which
// Windows reports as the navigation keys without the extended bit.
TEST_F(WineTest, MissingDataBoxWindowReadoutKeypadLayoutsMinimisedAndEscape) {
    const Window window = launch({"Textures/SmokeMap.tga"}); // its box first, then the game plays on
    ASSERT_NE(window, 0u) << game->errorOutput();
    EXPECT_EQ(std::pair(first.width, first.height), std::pair(640, 480));
    EXPECT_GT(first.distinctColours(), 500);
    const int resting = first.rightmostWhite(readout);
    EXPECT_GT(resting, 40);
    EXPECT_GE(widestGap(first, 45, 70), 8); // "0rpm  0km/h": the spaces keep the words apart
    server.tapKey("KP_Home");        // Numpad 7: follow blue, not Home's two drivers
    server.xdotool("keydown KP_Up"); // Numpad 8: blue accelerates
    const Image moving = waitFor(window, [&](const Image& i) {
        return i.rightmostWhite(readout) >= resting + 20 && first.countDifferences(i, 8, {0, 0, 640, 440}) > 70400;
    });
    server.xdotool("keyup KP_Up");
    EXPECT_GT(first.countDifferences(moving, 8, {0, 0, 640, 440}), 640 * 440 / 4);
    EXPECT_LT(moving.grey({320, 0, 640, 240}), 320 * 240); // still one driver's view
    server.tapKey("Home"); // the dedicated Home chooses two drivers: the top-right quarter the map
    const Image two = waitFor(window, [](const Image& i) { return i.grey({320, 0, 640, 240}) < 320 * 240 / 2; });
    EXPECT_LT(two.grey({320, 0, 640, 240}), 320 * 240 / 2);
    server.tapKey("End");
    const auto world = [&](const Image& i) { return i.countDifferences(two) > 640 * 480 / 4; };
    EXPECT_TRUE(world(waitFor(window, world)));
    // F5 starts a race: the countdown's yellow caption in the middle of the view.
    server.tapKey("Insert F5");
    const auto countdown = [](const Image& i) { return i.countColour(255, 255, 0, 0, {200, 100, 440, 300}) > 500; };
    EXPECT_TRUE(countdown(waitFor(window, countdown)));
    // Minimised, it sleeps on its queue: under 2 % of one core over five seconds.
    ASSERT_TRUE(server.xdotool("windowminimize --sync " + std::to_string(window)));
    sleepMs(2000);
    const double before = game->processorSeconds();
    sleepMs(5000);
    EXPECT_LT(game->processorSeconds() - before, 0.1);
    ASSERT_TRUE(server.xdotool("windowactivate --sync " + std::to_string(window)));
    ASSERT_TRUE(server.focus(window));
    server.tapKey("Escape");
    EXPECT_EQ(game->waitForExit(), 27);
}

// A one-lap race of three computer drivers, the game in a folder and the
// player's %APPDATA% named in Japanese and Greek, leaves its replay under
// %APPDATA%\\Mudlark\\replays, and the Windows game plays it through without a
// window (--check-replay): every keyframe met.
TEST_F(WineTest, ARaceLeavesAReplayUnderAppDataThatChecksClean) {
    TempDir player;
    const std::filesystem::path appData = std::filesystem::path(player.path()) / dataFolderName;
    setAppData(appData.string());
    const std::string oneLap = std::string(windowed) + "laps: 1\n";
    game = std::make_unique<Game>(server, oneLap.c_str(), std::vector<std::string>{}, windowsGame(runFolderName));
    ASSERT_TRUE(game->start());
    const Window window = server.waitForWindow("OpenGL");
    ASSERT_NE(window, 0u) << game->errorOutput();
    ASSERT_TRUE(server.focus(window));
    server.tapKey("F5");
    std::vector<std::filesystem::path> kept;
    std::error_code none;
    for (int polls = 0; polls < 3000 && kept.empty(); ++polls, sleepMs(100)) {
        for (const auto& file : std::filesystem::directory_iterator(appData / "Mudlark" / "replays", none)) {
            if (file.path().extension() == ".mlr") { // not the temporary file it is written to first
                kept.push_back(file.path());
            }
        }
    }
    ASSERT_EQ(kept.size(), 1u);
    server.tapKey("Escape");
    EXPECT_EQ(game->waitForExit(), 27);
    const std::string command = "cd '" + game->folder() + "' && env " + prefixSetting + " WINEDEBUG=-all wine " +
                                MUDLARK_WINDOWS_RUN_DIR + "/mudlark.exe --check-replay '" + kept[0].string() +
                                "' > check.txt 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    const std::string said = readFileBytes(game->folder() + "/check.txt");
    EXPECT_NE(said.find("keyframes corrected: 0 of"), std::string::npos) << said;
    // The race's fastest lap as the ghost of its track, under %APPDATA%\Mudlark\ghosts.
    const std::string ghost = "cd '" + game->folder() + "' && env " + prefixSetting + " WINEDEBUG=-all wine " +
                              MUDLARK_WINDOWS_RUN_DIR + "/mudlark.exe --ghost-from '" + kept[0].string() +
                              "' > ghost.txt 2>/dev/null";
    EXPECT_EQ(std::system(ghost.c_str()), 0) << readFileBytes(game->folder() + "/ghost.txt");
    EXPECT_TRUE(std::filesystem::exists(appData / "Mudlark" / "ghosts" / "track-01.mlg"));
    // And the version, printed by a program without a console to where it was sent.
    EXPECT_EQ(std::system((command.substr(0, command.find("--check-replay")) + "--version > version.txt").c_str()), 0);
    const std::string version = readFileBytes(game->folder() + "/version.txt");
    int major = 0, minor = 0;
    EXPECT_EQ(std::sscanf(version.c_str(), "Mudlark %d.%d", &major, &minor), 2) << version;
}

// The probe, built from the same backend: the system-information line, and a
// file kept as the records are (the second write replaces the first) under
// %APPDATA%\Mudlark.
// The Windows game's replays, under every user of the prefix.
std::vector<std::filesystem::path> windowsReplays() {
    std::vector<std::filesystem::path> kept;
    std::error_code none;
    const std::filesystem::path users = std::filesystem::path(MUDLARK_WINE_PREFIX) / "drive_c" / "users";
    for (const auto& user : std::filesystem::directory_iterator(users, none)) {
        for (const auto& file :
             std::filesystem::directory_iterator(user.path() / "AppData" / "Roaming" / "Mudlark" / "replays", none)) {
            if (file.path().extension() == ".mlr") {
                kept.push_back(file.path());
            }
        }
    }
    return kept;
}

// Both builds in one race: the Linux server, asking for a race code, and the
// Windows game joining it with the code over 127.0.0.1 race a lap (the server
// starts it once one machine is in), and keep the same replay, byte for byte.
TEST_F(WineTest, AWindowsGameJoinsALinuxServerAndTheyRaceALapAlike) {
    for (const std::filesystem::path& old : windowsReplays()) {
        std::filesystem::remove(old);
    }
    // The Windows game draws through the shader renderer (a WGL context of
    // OpenGL 2): the lap's sky and ground show, and the replay is the same.
    const std::string settings = std::string(windowed) + "laps: 1\nsound: false\nnetport: 27812\nrenderer: gles2\n";
    TempDir home;
    GameProgram linuxServer;
    linuxServer.command = {std::string(MUDLARK_RUN_DIR) + "/mudlark-server", "--port", "27812", "--code", "MUDL",
                           "--laps", "1", "--players", "1"};
    linuxServer.environment.push_back("XDG_DATA_HOME=" + home.path());
    Game host(server, nullptr, {}, linuxServer);
    ASSERT_TRUE(host.start());
    GameProgram joiner = windowsGame();
    joiner.command.insert(joiner.command.end(), {"--join", "127.0.0.1:27812", "--code", "mudl"});
    game = std::make_unique<Game>(server, settings.c_str(), std::vector<std::string>{}, joiner);
    ASSERT_TRUE(game->start());
    for (int polls = 0; polls < 1200 && host.errorOutput().find("race 1 started") == std::string::npos; ++polls) {
        sleepMs(100);
    }
    ASSERT_NE(host.errorOutput().find("race 1 started"), std::string::npos) << host.errorOutput();
    const Window window = server.waitForWindow("OpenGL");
    const Image drawn = server.waitForPicture(window, [](const Image& i) { return i.grey({0, 0, i.width, 20}) > i.width * 10; });
    EXPECT_GT(drawn.grey({0, 0, drawn.width, 20}), drawn.width * 10) << "the sky";
    EXPECT_GT(drawn.distinctColours(), 500) << "the ground, the buggies";
    std::vector<std::filesystem::path> linuxKept;
    for (int polls = 0; polls < 6000 && (windowsReplays().empty() || linuxKept.empty()); ++polls, sleepMs(100)) {
        std::error_code none;
        for (const auto& file : std::filesystem::directory_iterator(home.file("mudlark/server-replays"), none)) {
            if (file.path().extension() == ".mlr" && linuxKept.empty()) {
                linuxKept.push_back(file.path());
            }
        }
    }
    ASSERT_EQ(linuxKept.size(), 1u) << host.errorOutput();
    ASSERT_EQ(windowsReplays().size(), 1u);
    EXPECT_EQ(readFileBytes(windowsReplays()[0].string()), readFileBytes(linuxKept[0].string()));
    EXPECT_EQ(host.errorOutput().find("disagree"), std::string::npos) << host.errorOutput();
}

// The installer, silent (/S) into a folder of the test's choosing: the game
// it installed starts there and ends with 27 on Escape; the uninstaller
// removes every file it put there and the Start-menu entry, and the player's
// data folder stays.
TEST_F(WineTest, TheInstallerInstallsSilentlyAndItsUninstallerLeavesThePlayersData) {
#ifndef MUDLARK_WINDOWS_INSTALLER
    GTEST_SKIP() << "no installer: makensis is not installed";
#else
    namespace fs = std::filesystem;
    TempDir target;
    const std::string folder = target.path() + "/Mudlark";
    const std::string wine = wineOn(server);
    ASSERT_EQ(std::system((wine + "wine '" MUDLARK_WINDOWS_INSTALLER "' /S '/D=" + windowsPath(folder) + "' && " + wine +
                          "wineserver -w").c_str()),
              0);
    ASSERT_TRUE(fs::exists(folder + "/mudlark.exe"));
    EXPECT_TRUE(fs::exists(folder + "/mudlark-server.exe"));
    EXPECT_TRUE(fs::exists(folder + "/Tracks/Terrain_01.raw") && fs::exists(folder + "/uninstall.exe"));
    const fs::path programs = fs::path(MUDLARK_WINE_PREFIX) / "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs";
    EXPECT_TRUE(fs::exists(programs / "Mudlark.lnk"));
    // Started in its own folder, as the Start menu starts it.
    game = std::make_unique<Game>(server, nullptr, std::vector<std::string>{},
                                  GameProgram{{"sh", "-c", "cd '" + folder + "' && exec wine mudlark.exe"},
                                              target.path(), {prefixSetting, "WINEDEBUG=-all"}, ""});
    ASSERT_TRUE(game->start());
    const Window window = server.waitForWindow("OpenGL");
    ASSERT_NE(window, 0u) << game->errorOutput();
    ASSERT_TRUE(server.focus(window));
    server.waitForPicture(window, [](const Image& i) { return i.distinctColours() > 500; });
    server.tapKey("Escape");
    EXPECT_EQ(game->waitForExit(), 27);
    std::vector<fs::path> data;
    for (const auto& user : fs::directory_iterator(fs::path(MUDLARK_WINE_PREFIX) / "drive_c" / "users")) {
        data.push_back(user.path() / "AppData" / "Roaming" / "Mudlark" / "kept-by-the-player.txt");
        fs::create_directories(data.back().parent_path());
        std::FILE* file = std::fopen(data.back().c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    ASSERT_EQ(std::system((wine + "wine '" + windowsPath(folder) + "\\uninstall.exe' /S && " + wine + "wineserver -w").c_str()), 0);
    EXPECT_FALSE(fs::exists(folder)) << "left behind in the installed folder";
    EXPECT_FALSE(fs::exists(programs / "Mudlark.lnk"));
    for (const fs::path& kept : data) {
        EXPECT_TRUE(fs::exists(kept)) << kept;
        fs::remove(kept);
    }
#endif
}

TEST_F(WineTest, SystemInformationLineIsWindowsNtAndFilesAreKeptUnderAppData) {
    const auto probe = [&](const char* argument) {
        const std::string command = wineOn(server) + "wine " +
                                    MUDLARK_WINDOWS_PROBE + " " + argument + " 2>/dev/null";
        std::FILE* output = popen(command.c_str(), "r");
        std::array<char, 256> line{};
        const bool read = output != nullptr && std::fgets(line.data(), line.size(), output) != nullptr;
        if (output != nullptr) {
            pclose(output);
        }
        return read ? std::string(line.data()) : "";
    };
    const std::string os = probe("");
    EXPECT_EQ(os.rfind("Windows NT v", 0), 0u) << os;
    const std::string kept = probe("keep");
    EXPECT_EQ(kept.rfind("kept ", 0), 0u) << kept;
    EXPECT_NE(kept.find("\\Mudlark\\probe.txt second"), std::string::npos) << kept;
}

// Heights cut short are said in a box (UTF-8 text, shown through the
// wide-character call) and on standard error, and the game plays on.
TEST_F(WineTest, ShortHeightsAreSaidInABoxAndOnStandardError) {
    game = std::make_unique<Game>(server, (std::string(windowed) + "track: 2\n").c_str(), std::vector<std::string>{},
                                  windowsGame());
    std::filesystem::resize_file(game->folder() + "/Tracks/Terrain_02.raw", 100);
    ASSERT_TRUE(game->start());
    EXPECT_TRUE(server.dismissMessageBox("Error"));
    const std::string said = game->errorOutput();
    EXPECT_NE(said.find("Terrain_02.raw has 100 bytes; a track's heights are 512 \xC3\x97 512"), std::string::npos) << said;
    ASSERT_NE(server.waitForWindow("OpenGL"), 0u);
}

// The menu under Wine, the settings in %APPDATA%\\Mudlark (none beside the
// game), %APPDATA% named in Japanese and Greek: F1 shows it, blue's accelerate
// becomes Up, the menu closes and Up drives; the file in %APPDATA% keeps the
// new key and its comment, and the next start drives with Up.
TEST_F(WineTest, TheMenusNewKeyIsKeptInAppDataAcrossARestart) {
    TempDir player;
    setAppData(player.file(dataFolderName));
    const std::string file = player.write(dataFolderName + "/Mudlark/settings.cfg", std::string("# mine\n") + windowed);
    const auto drivesOnUp = [&](Window window) {
        const int resting = server.capture(window).rightmostWhite(readout);
        server.xdotool("keydown Up");
        const Image moving = waitFor(window, [&](const Image& i) { return i.rightmostWhite(readout) >= resting + 30; });
        server.xdotool("keyup Up");
        return moving.rightmostWhite(readout) >= resting + 30;
    };
    Window window = launch({}, nullptr);
    ASSERT_NE(window, 0u) << game->errorOutput();
    const auto menuShown = [](const Image& i) { return i.countColour(255, 217, 51, 40, {100, 100, 540, 400}) > 300; };
    server.tapKey("F1");
    ASSERT_TRUE(menuShown(waitFor(window, menuShown)));
    server.xdotool("key --delay 200 Down Down Down Return Return Up BackSpace BackSpace");
    ASSERT_FALSE(menuShown(waitFor(window, [&](const Image& i) { return !menuShown(i); })));
    EXPECT_TRUE(drivesOnUp(window));
    server.tapKey("Escape");
    EXPECT_EQ(game->waitForExit(), 27);
    const std::string kept = readFileBytes(file);
    EXPECT_EQ(kept.rfind("# mine\n", 0), 0u) << kept;
    EXPECT_NE(kept.find("keys blue: Up Numpad2 Numpad4 Numpad6 Numpad5 Numpad9"), std::string::npos) << kept;
    window = launch({}, nullptr);
    ASSERT_NE(window, 0u) << game->errorOutput();
    EXPECT_TRUE(drivesOnUp(window));
    server.tapKey("F8"); // a time trial: its countdown in the view
    const auto counting = [](const Image& i) { return i.countColour(255, 255, 0, 0, {200, 100, 440, 300}) > 100; };
    EXPECT_TRUE(counting(waitFor(window, counting)));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(player.file(dataFolderName + "/Mudlark")), {}), 1)
        << "only settings.cfg: nothing half written, nothing else"; // no record, replay or ghost yet
}

} // namespace
