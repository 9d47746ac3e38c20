// web_e2e_test.cpp -- the browser build's page in headless Chromium (its
// software WebGL), served from the loopback, beside the desktop game: the
// same picture at a held demo's step, keys sent as the browser's own drive a
// vehicle, and a race's replay kept across a reload, the same bytes as the
// desktop's, each build playing the other's without a correction.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/game_harness.h"
#include "support/temp_dir.h"

namespace {

const std::string page = "http://127.0.0.1:27895/";

// The page's folder served on the loopback for as long as the test runs.
class PageServer {
public:
    PageServer() {
        pid_ = fork();
        if (pid_ == 0) {
            execlp("python3", "python3", "-m", "http.server", "27895", "--bind", "127.0.0.1", "--directory", MUDLARK_WEB_DIR,
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        sleepMs(500);
    }
    ~PageServer() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

private:
    pid_t pid_ = -1;
};

// Runs the page driver; what it printed, and whether it ended well.
std::pair<bool, std::string> drivePage(const std::string& arguments) {
    const std::string command = std::string("node --experimental-websocket ") + MUDLARK_PAGE_DRIVER + " " + arguments + " 2>&1";
    std::FILE* output = popen(command.c_str(), "r");
    std::string said;
    char line[512];
    while (output != nullptr && std::fgets(line, sizeof line, output) != nullptr) {
        said += line;
    }
    const int status = output != nullptr ? pclose(output) : -1;
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0, said};
}

// The desktop game held at a demo's step, through the ES 2 renderer.
Image desktopHeldDemo(const std::string& step) {
    XServer server(1280, 1024);
    GameProgram program;
    program.command.insert(program.command.end(), {"--demo", step});
    Game game(server, "resolution: 1024 768 32\nfullscreen: false\nfps: false\nrenderer: gles2\n", {}, program);
    const Window window = game.launch();
    const Image start = server.waitForPicture(window, [](const Image& i) { return i.width == 1024; });
    const Image held = server.waitForHeldPicture(window, start);
    server.tapKey("Escape");
    game.waitForExit();
    return held;
}

// The canvas: the page's top 768 rows, above the line of text under it.
Image canvasOf(const Image& shot) {
    Image canvas = shot;
    canvas.height = std::min(shot.height, 768);
    canvas.rgb.resize(static_cast<size_t>(canvas.width) * canvas.height * 3);
    return canvas;
}

} // namespace

// The page at a held demo's step is the desktop's picture through the same
// shaders: Mesa's and SwiftShader's rasterising differ at a few edges. The
// frame-rate bar (off on the desktop) is left out.
TEST(WebPage, TheHeldDemoIsTheDesktopShaderRenderersPicture) {
    PageServer served;
    TempDir scratch;
    const auto [driven, said] = drivePage("demo " + page + "?demo=480 " + scratch.file("page.ppm"));
    ASSERT_TRUE(driven) << said;
    EXPECT_NE(said.find("first-frame-ms "), std::string::npos) << said;
    const Image browser = canvasOf(readPpm(scratch.file("page.ppm")));
    ASSERT_EQ(browser.width, 1024) << said;
    ASSERT_EQ(browser.height, 768);
    const Image desktop = desktopHeldDemo("480");
    ASSERT_EQ(desktop.width, 1024);
    const Area views{0, 0, 1024, 748};
    EXPECT_LT(desktop.countDifferences(browser, 24, views), 1024 * 748 / 200);
    EXPECT_GT(browser.distinctColours(), 1000) << "the page drew the race";
}

// Numpad 8 sent through the browser's protocol drives the blue buggy away.
TEST(WebPage, KeysSentAsTheBrowsersOwnDriveABuggy) {
    PageServer served;
    TempDir scratch;
    const auto [driven, said] = drivePage("drive " + page + " " + scratch.path());
    ASSERT_TRUE(driven) << said;
    const Image before = readPpm(scratch.file("before.ppm")), after = readPpm(scratch.file("after.ppm"));
    ASSERT_EQ(before.width, 1024);
    EXPECT_GT(before.countDifferences(after, 16, Area{0, 0, 1024, 748}), 1024 * 748 / 4);
}

// A one-lap race of the computer's, on the desktop and in the page: the
// page keeps its replay in IndexedDB (listed again after a reload); both
// replays are the same bytes; the page plays the desktop's to its end with
// no keyframe corrected, and the desktop checks the page's clean.
TEST(WebPage, ARaceReplayIsKeptAcrossAReloadAndIsTheDesktopsByteForByte) {
    TempDir home;
    std::string desktopReplay;
    {
        XServer server(640, 480);
        GameProgram program;
        program.command.push_back("--demo");
        program.environment.push_back("XDG_DATA_HOME=" + home.path());
        Game game(server, "resolution: 320 240 32\nfullscreen: false\nlaps: 1\nsound: false\n", {}, program);
        ASSERT_NE(game.launch(), 0u);
        for (int polls = 0; polls < 3000 && desktopReplay.empty(); ++polls, sleepMs(100)) {
            std::error_code none;
            for (const auto& file : std::filesystem::directory_iterator(home.file("mudlark/replays"), none)) {
                if (file.path().extension() == ".mlr") { // not the safe write's file on its way
                    desktopReplay = file.path().string();
                }
            }
        }
        server.tapKey("Escape");
        game.waitForExit();
    }
    ASSERT_FALSE(desktopReplay.empty());
    PageServer served;
    TempDir scratch;
    const auto [driven, said] = drivePage("race " + page + " " + desktopReplay + " " + scratch.path());
    ASSERT_TRUE(driven) << said;
    EXPECT_NE(said.find("listed after reload: race-"), std::string::npos) << said;
    EXPECT_NE(said.find("Replay desktop.mlr: 0 of "), std::string::npos) << said;
    const std::string browserReplay = readFileBytes(scratch.file("browser.mlr"));
    EXPECT_EQ(browserReplay, readFileBytes(desktopReplay));
    const std::string check = std::string("cd ") + MUDLARK_RUN_DIR + " && ./mudlark --check-replay " + scratch.file("browser.mlr");
    std::FILE* output = popen(check.c_str(), "r");
    std::string checked;
    char line[256];
    while (output != nullptr && std::fgets(line, sizeof line, output) != nullptr) {
        checked += line;
    }
    if (output != nullptr) {
        pclose(output);
    }
    EXPECT_NE(checked.find("keyframes corrected: 0 of "), std::string::npos) << checked;
}
